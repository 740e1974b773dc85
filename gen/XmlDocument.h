// SPDX-License-Identifier: MIT
#ifndef ZGQX_XMLDOCUMENT_H
#define ZGQX_XMLDOCUMENT_H

#include "AttributeOrder.h"
#include "LoadOutcome.h"
#include "NodeCursor.h"

#include <QDomDocument>
#include <QString>

#include <deque>
#include <memory>
#include <vector>

class CursorRegistry;
class QIODevice;

// One entity of a walk, as gen__qtxmlif_get_next_entity() reports it.
struct XmlEntity
{
    int type = -1; // XML_ETYPE_NONE
    QString name;
    QString value;
    int depth = -1;
    bool end = false;
};

// A document held by the manager: its DOM tree, the builder's insertion point
// and level stack, and the state of its entity walk.
class XmlDocument
{
public:
    XmlDocument(int documentId, const QString &rootName, CursorRegistry &cursors);
    ~XmlDocument();
    XmlDocument(const XmlDocument &) = delete;
    XmlDocument &operator=(const XmlDocument &) = delete;

    int documentId() const { return m_documentId; }
    QDomDocument domDocument() const { return m_domDocument; }
    // The order the walk, save and to-string give each element's attributes.
    AttributeOrder &attributeOrder() const { return m_attributeOrder; }

    // Building at the current level.
    bool addNode(const QString &name);
    bool openLevel();
    bool closeLevel();
    bool addAttribute(const QString &name, const QString &value);
    bool addText(const QString &text);
    void clearLevels();
    int levelCount() const { return static_cast<int>(m_levels.size()); }
    // The node of the current level, null when building has ended.
    QDomNode currentNode() const;

    // Replaces the content with parsed XML and puts the builder on the new
    // document element. On failure the content is left as it was and the
    // parser's message and error position are handed back. Tags, when
    // usable, are what the read of xml noted of its start tags.
    bool setContent(const QByteArray &xml, LoadOutcome *failure, SourceTags tags = SourceTags());

    // Entity walk. Begin hands out the handle of the start element, null when
    // no element has that name.
    void *beginTraversal(const QString &startNodeName);
    // Reports the next entity; false when the walk has ended (with this
    // entity or before it). Without a walk, entity is left as it is.
    bool nextEntity(XmlEntity *entity);
    void endTraversal();
    bool isWalking() const { return !m_walk.empty(); }
    // False when the walk stands on no element.
    bool hasNextAttribute(bool *answer) const;
    bool hasNextChild(bool *answer) const;

    // Node queries: a new cursor under parent, null when nothing is found.
    static std::unique_ptr<NodeCursor> nextChildNode(NodeCursor *parent);
    static std::unique_ptr<NodeCursor> namedChildNode(NodeCursor *parent, const QString &name);
    static bool namedAttribute(const NodeCursor &cursor, const QString &name, QString *value);

    // False while everything added by the builder is a plain name or text,
    // which any XML reader takes: the save's check can be skipped then.
    bool needsSaveCheck() const { return m_needsSaveCheck; }

    QString toString() const;
    // Writes the declaration line and the document; false when any write
    // failed.
    bool save(QIODevice *device) const;

private:
    NodeCursor *position() { return m_walk.empty() ? nullptr : &m_walk.back(); }
    const NodeCursor *position() const { return m_walk.empty() ? nullptr : &m_walk.back(); }
    void *handOut();
    void step(XmlEntity *entity);
    void open(NodeCursor *cursor);
    AttributeOrder::Range attributesOf(const NodeCursor &cursor) const;
    void enter(const QDomNode &element, XmlEntity *entity);
    void leave();

    QDomDocument m_domDocument;
    // Every element's attributes in document order. Mutable: reading may
    // rebuild a record that no longer matches the DOM.
    mutable AttributeOrder m_attributeOrder;
    int m_documentId;
    CursorRegistry &m_cursors;
    std::vector<std::unique_ptr<NodeCursor>> m_levels; // innermost last
    std::unique_ptr<NodeCursor> m_current; // null once a walk has begun
    NodeCursor m_lastAdded;
    // The walk's chain of open elements, outermost first; each cursor's
    // parent is the one before it. A deque keeps their addresses while the
    // chain grows and shrinks at its end, without an allocation per element.
    std::deque<NodeCursor> m_walk;
    // The cursor beginTraversal() handed out and its handle, while it lives.
    // Only it is listed in the registry: the others never reach a caller.
    const NodeCursor *m_handleCursor = nullptr;
    void *m_handle = nullptr;
    bool m_needsSaveCheck = false;
    // Parsed from a file, with namespace processing: attributes may be
    // namespaced.
    bool m_loaded = false;
};

#endif // ZGQX_XMLDOCUMENT_H
