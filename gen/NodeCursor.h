#ifndef ZGQX_NODECURSOR_H
#define ZGQX_NODECURSOR_H

#include <QDomNamedNodeMap>
#include <QDomNode>

// A position in a document: the builder's levels, the walk's chain of open
// elements and the handles the node queries hand out are all cursors.
class NodeCursor
{
public:
    NodeCursor() = default;
    explicit NodeCursor(NodeCursor *parent)
        : m_parent(parent)
    {
    }
    NodeCursor(const NodeCursor &) = default;
    NodeCursor &operator=(const NodeCursor &) = default;

    // Equal when they stand on the same node at the same iteration point;
    // finished, parent and depth do not take part.
    bool operator==(const NodeCursor &other) const;
    bool operator!=(const NodeCursor &other) const { return !(*this == other); }

    void setNode(const QDomNode &node) { m_node = node; }
    const QDomNode &node() const { return m_node; }
    QString nodeName() const { return m_node.nodeName(); }
    bool isNull() const { return m_node.isNull(); }
    NodeCursor *parent() const { return m_parent; }
    bool finished() const { return m_finished; }
    bool opened() const { return m_opened; }

    // Depth of the node: the document element is 0. Kept by whoever places
    // the cursor, so that nobody has to climb the DOM for it.
    int depth() const { return m_depth; }
    void setDepth(int depth) { m_depth = depth; }

    // Enters the element: takes its attributes and stands before its first
    // child, with the attribute iteration at 0.
    void open();

    // Whether the iterations have entries left, finished or not.
    bool attributeLeft() const { return m_opened && m_attrIndex < m_attrCount; }
    bool childLeft() const { return m_opened && !m_nextChild.isNull(); }
    // Whether an opened, unfinished cursor has entries left.
    bool hasNextAttribute() const { return !m_finished && attributeLeft(); }
    bool hasNextChild() const { return !m_finished && childLeft(); }
    // Next attribute or child; the caller checks ...Left() first.
    QDomNode takeAttribute();
    QDomNode takeChild();
    void setFinished() { m_finished = true; }

    // Drops every DOM handle, so that nothing of a deleted document is
    // reached through this cursor again.
    void detach();

private:
    int m_attrIndex = -1;
    bool m_opened = false;
    bool m_finished = false;
    QDomNode m_node;
    // Children are followed by their sibling links: QDomNodeList looks the
    // owner document up on every access, which climbs to the root and makes
    // a walk quadratic in the depth.
    QDomNode m_nextChild;
    QDomNamedNodeMap m_attrs;
    NodeCursor *m_parent = nullptr; // not owned
    int m_depth = -1;
    int m_attrCount = 0; // m_attrs.length(), taken once on opening
};

#endif // ZGQX_NODECURSOR_H
