// SPDX-License-Identifier: MIT
#ifndef ZGQX_NODECURSOR_H
#define ZGQX_NODECURSOR_H

#include <QDomNode>

#include <cstdint>

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

    // Place of the element in document order, counting elements only; -1
    // when not known. The document's AttributeOrder is kept by it.
    int ordinal() const { return m_ordinal; }
    void setOrdinal(int ordinal) { m_ordinal = ordinal; }
    // For the walk: the ordinal of the first element after the child
    // counted() (after none when it is null); -1 when not known.
    int nextOrdinal() const { return m_nextOrdinal; }
    void setNextOrdinal(int ordinal) { m_nextOrdinal = ordinal; }
    const QDomNode &counted() const { return m_counted; }
    void setCounted(const QDomNode &child) { m_counted = child; }

    // Enters the element: stands before its first child, with no attributes
    // to visit until setAttributes() gives them.
    void open();
    // The element's attributes: count entries of its document's
    // AttributeOrder from offset on. Given by the walk of the document, which
    // may find the cursor opened by a query.
    void setAttributes(std::uint32_t offset, int count)
    {
        m_attrOffset = offset;
        m_attrCount = count;
        m_attributesKnown = true;
    }
    bool attributesKnown() const { return m_attributesKnown; }

    // Whether the iterations have entries left, finished or not.
    bool attributeLeft() const { return m_opened && m_attrIndex < m_attrCount; }
    bool childLeft() const { return m_opened && !m_nextChild.isNull(); }
    // Whether an opened, unfinished cursor has entries left.
    bool hasNextAttribute() const { return !m_finished && attributeLeft(); }
    bool hasNextChild() const { return !m_finished && childLeft(); }
    // Next attribute (its index in the AttributeOrder) or child; the caller
    // checks ...Left() first.
    std::uint32_t takeAttribute() { return m_attrOffset + std::uint32_t(m_attrIndex++); }
    QDomNode takeChild();
    void setFinished() { m_finished = true; }

    // Drops every DOM handle, so that nothing of a deleted document is
    // reached through this cursor again.
    void detach();

private:
    int m_attrIndex = -1;
    bool m_opened = false;
    bool m_finished = false;
    bool m_attributesKnown = false;
    QDomNode m_node;
    // Children are followed by their sibling links: QDomNodeList looks the
    // owner document up on every access, which climbs to the root and makes
    // a walk quadratic in the depth.
    QDomNode m_nextChild;
    NodeCursor *m_parent = nullptr; // not owned
    int m_depth = -1;
    int m_ordinal = -1;
    int m_nextOrdinal = -1;
    QDomNode m_counted;
    std::uint32_t m_attrOffset = 0;
    int m_attrCount = 0;
};

#endif // ZGQX_NODECURSOR_H
