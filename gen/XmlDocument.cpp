// SPDX-License-Identifier: MIT
#include "XmlDocument.h"

#include "CursorRegistry.h"
#include "DomNavigation.h"
#include "SaveCheck.h"
#include "XmlWriter.h"
#include "gen_qtxmlif.h"

#include <QBuffer>
#include <QDebug>
#include <QDomElement>
#include <QIODevice>

XmlDocument::XmlDocument(int documentId, const QString &rootName, CursorRegistry &cursors)
    : m_documentId(documentId)
    , m_cursors(cursors)
    , m_current(std::make_unique<NodeCursor>())
{
    const QString name = rootName.isEmpty() ? QStringLiteral("root") : rootName;
    m_needsSaveCheck = !SaveCheck::isPlainName(name);
    const QDomElement root = m_domDocument.createElement(name);
    m_domDocument.appendChild(root);
    m_current->setNode(root);
    m_current->setOrdinal(m_attributeOrder.addElement());
    m_lastAdded = *m_current;
}

XmlDocument::~XmlDocument()
{
    endTraversal();
}

QDomNode XmlDocument::currentNode() const
{
    return m_current ? m_current->node() : QDomNode();
}

bool XmlDocument::addNode(const QString &name)
{
    if (name.isEmpty() || !m_current || m_current->isNull())
        return false;
    const QDomElement element = m_domDocument.createElement(name);
    m_needsSaveCheck = m_needsSaveCheck || !SaveCheck::isPlainName(name);
    m_lastAdded.setNode(element);
    m_lastAdded.setOrdinal(m_attributeOrder.addElement());
    QDomNode level = m_current->node();
    level.appendChild(element);
    return true;
}

bool XmlDocument::openLevel()
{
    if (!m_current || m_current->isNull())
        return false;
    if (*m_current == m_lastAdded)
        return true;
    m_levels.push_back(std::move(m_current));
    m_current = std::make_unique<NodeCursor>(m_lastAdded);
    return true;
}

bool XmlDocument::closeLevel()
{
    if (!m_current || m_current->isNull() || m_levels.empty())
        return false;
    m_current = std::move(m_levels.back());
    m_levels.pop_back();
    return true;
}

bool XmlDocument::addAttribute(const QString &name, const QString &value)
{
    if (name.isEmpty())
        return false;
    if (!m_current || m_current->isNull()) {
        qDebug("Error");
        return false;
    }
    QDomElement element = m_current->node().toElement();
    if (element.isNull())
        return false;
    // A loaded element's order is taken from its source before any change.
    m_attributeOrder.settle(element, m_current->ordinal());
    const int count = element.attributes().length();
    // A built document holds no namespaced attributes, so Qt's own lookup
    // by name is exact; but a new attribute costs it a climb to the root,
    // which deep down is dearer than the lookup below.
    constexpr std::size_t shallow = 32;
    if (!m_loaded && m_levels.size() < shallow) {
        element.setAttribute(name, value);
    } else if (QDomAttr attribute = attributeNamed(element.attributes(), name).toAttr();
               attribute.isNull()) {
        // QDomElement::setAttribute would overwrite a namespaced attribute
        // that shares the local name; replace by the whole name only.
        attribute = m_domDocument.createAttribute(name);
        attribute.setValue(value);
        element.setAttributeNode(attribute);
    } else {
        attribute.setValue(value);
    }
    // Setting an attribute again changes its value, not its place.
    if (element.attributes().length() > count)
        m_attributeOrder.addAttribute(
            m_current->ordinal(), attributeNamed(element.attributes(), name));
    m_needsSaveCheck
        = m_needsSaveCheck || !SaveCheck::isPlainName(name) || !SaveCheck::isPlainText(value);
    return true;
}

bool XmlDocument::addText(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (!m_current || m_current->isNull()) {
        qDebug("Error");
        return false;
    }
    QDomNode node = m_current->node();
    if (!node.isElement())
        return false;
    node.appendChild(m_domDocument.createTextNode(text));
    m_needsSaveCheck = m_needsSaveCheck || !SaveCheck::isPlainText(text);
    return true;
}

void XmlDocument::clearLevels()
{
    while (!m_levels.empty())
        m_levels.pop_back();
}

bool XmlDocument::setContent(const QByteArray &xml, LoadOutcome *failure, SourceTags tags)
{
    QDomDocument parsed;
    // Read through a device: given the bytes, the parser decodes all of them
    // to UTF-16 at once, which costs two more bytes of memory per byte.
    QBuffer input;
    input.setData(xml);
    input.open(QIODevice::ReadOnly);
    QString message;
    int line = 0;
    int column = 0;
    if (!parsed.setContent(&input, true, &message, &line, &column)) {
        failure->cause = LoadOutcome::NotWellFormed;
        failure->message = message;
        failure->line = line;
        failure->column = column;
        return false;
    }
    endTraversal();
    clearLevels();
    m_domDocument = parsed;
    m_attributeOrder.record(m_domDocument, xml, std::move(tags));
    m_loaded = true;
    // What the parser took, it can take again.
    m_needsSaveCheck = false;
    const QDomElement root = m_domDocument.documentElement();
    // Builder calls on a loaded document add to what is saved and walked.
    m_current = std::make_unique<NodeCursor>();
    m_current->setNode(root);
    m_current->setOrdinal(0);
    m_lastAdded = *m_current;
    return true;
}

void *XmlDocument::beginTraversal(const QString &startNodeName)
{
    m_current.reset();
    m_lastAdded = NodeCursor();
    clearLevels();
    endTraversal();

    const QDomElement root = m_domDocument.documentElement();
    m_walk.emplace_back();
    m_walk.back().setNode(root);
    m_walk.back().setDepth(0);
    m_walk.back().setOrdinal(0);
    m_walk.back().setNextOrdinal(1);
    if (startNodeName.isEmpty() || startNodeName == root.nodeName())
        return handOut();

    XmlEntity entity;
    while (isWalking()) {
        step(&entity);
        if (entity.type == XML_ETYPE_NODE && !entity.end && entity.name == startNodeName)
            return handOut();
    }
    return nullptr;
}

void *XmlDocument::handOut()
{
    NodeCursor *const cursor = position();
    m_handle = m_cursors.addTraversal(cursor, this);
    m_handleCursor = cursor;
    return m_handle;
}

bool XmlDocument::nextEntity(XmlEntity *entity)
{
    const NodeCursor *cursor = position();
    if (!cursor || cursor->isNull())
        return false;
    step(entity);
    return isWalking();
}

void XmlDocument::endTraversal()
{
    while (isWalking())
        leave();
}

bool XmlDocument::hasNextAttribute(bool *answer) const
{
    const NodeCursor *cursor = position();
    if (!cursor || !cursor->node().isElement())
        return false;
    // A query may have opened the walk's element before the walk did.
    if (cursor->opened() && !cursor->attributesKnown())
        *answer = !cursor->finished() && attributesOf(*cursor).count > 0;
    else
        *answer = cursor->hasNextAttribute();
    return true;
}

bool XmlDocument::hasNextChild(bool *answer) const
{
    const NodeCursor *cursor = position();
    if (!cursor || !cursor->node().isElement())
        return false;
    *answer = cursor->hasNextChild();
    return true;
}

namespace {

// The elements of the subtree of top, top included.
int elementsIn(const QDomElement &top)
{
    int count = 0;
    for (QDomElement element = top; !element.isNull(); element = nextElement(element, top))
        ++count;
    return count;
}

// The ordinal of the first element after cursor's children up to stop (all
// of them when stop is null). Children a query took from under the walk are
// counted here, once, when the walk goes on past them.
int ordinalBefore(const NodeCursor &cursor, const QDomNode &stop)
{
    int ordinal = cursor.nextOrdinal();
    if (ordinal < 0)
        return -1;
    QDomNode child
        = cursor.counted().isNull() ? cursor.node().firstChild() : cursor.counted().nextSibling();
    for (; !child.isNull() && child != stop; child = child.nextSibling()) {
        if (child.isElement())
            ordinal += elementsIn(child.toElement());
    }
    return ordinal;
}

} // namespace

void XmlDocument::step(XmlEntity *entity)
{
    NodeCursor *cursor = position();
    if (!cursor || !cursor->node().isElement())
        return;
    if (!cursor->opened()) {
        open(cursor);
        *entity
            = XmlEntity { XML_ETYPE_NODE, cursor->nodeName(), QString(), cursor->depth(), false };
        return;
    }
    if (!cursor->attributesKnown()) {
        const AttributeOrder::Range range = attributesOf(*cursor);
        cursor->setAttributes(range.offset, static_cast<int>(range.count));
    }
    if (cursor->attributeLeft()) {
        const QDomNode &attribute = m_attributeOrder.at(cursor->takeAttribute());
        *entity = XmlEntity { XML_ETYPE_ATTR, attribute.nodeName(), attribute.nodeValue(),
            cursor->depth(), false };
        return;
    }
    while (cursor->childLeft()) {
        const QDomNode child = cursor->takeChild();
        // CDATA sections are text to a caller; comments and processing
        // instructions are not content and are passed over.
        if (child.isText()) {
            *entity = XmlEntity { XML_ETYPE_TEXT, child.nodeValue(), QString(), cursor->depth(),
                false };
            return;
        }
        if (child.isElement()) {
            enter(child, entity);
            return;
        }
    }
    cursor->setFinished();
    *entity = XmlEntity { XML_ETYPE_NODE, cursor->nodeName(), QString(), cursor->depth(), true };
    // Every child of the element is taken now: its parent goes on after them.
    if (NodeCursor *parent = cursor->parent()) {
        parent->setNextOrdinal(ordinalBefore(*cursor, QDomNode()));
        parent->setCounted(cursor->node());
    }
    leave();
}

void XmlDocument::enter(const QDomNode &element, XmlEntity *entity)
{
    NodeCursor *parent = position();
    m_walk.emplace_back(parent);
    NodeCursor &cursor = m_walk.back();
    cursor.setNode(element);
    cursor.setDepth(parent->depth() + 1);
    const int ordinal = ordinalBefore(*parent, element);
    cursor.setOrdinal(ordinal);
    cursor.setNextOrdinal(ordinal < 0 ? -1 : ordinal + 1);
    open(&cursor);
    *entity = XmlEntity { XML_ETYPE_NODE, cursor.nodeName(), QString(), cursor.depth(), false };
}

void XmlDocument::open(NodeCursor *cursor)
{
    cursor->open();
    const AttributeOrder::Range range = attributesOf(*cursor);
    cursor->setAttributes(range.offset, static_cast<int>(range.count));
}

AttributeOrder::Range XmlDocument::attributesOf(const NodeCursor &cursor) const
{
    return m_attributeOrder.range(cursor.node(), cursor.ordinal());
}

void XmlDocument::leave()
{
    if (&m_walk.back() == m_handleCursor) {
        m_cursors.removeTraversal(m_handle);
        m_handleCursor = nullptr;
        m_handle = nullptr;
    }
    m_walk.pop_back();
}

namespace {

std::unique_ptr<NodeCursor> childCursor(NodeCursor *parent, const QDomNode &node)
{
    auto cursor = std::make_unique<NodeCursor>(parent);
    cursor->setNode(node);
    cursor->setDepth(parent->depth() < 0 ? -1 : parent->depth() + 1);
    return cursor;
}

} // namespace

std::unique_ptr<NodeCursor> XmlDocument::nextChildNode(NodeCursor *parent)
{
    if (!parent || parent->isNull() || !parent->node().isElement() || parent->finished())
        return nullptr;
    // Only the walk of parent's own document gives it its attributes.
    if (!parent->opened())
        parent->open();
    while (parent->childLeft()) {
        const QDomNode child = parent->takeChild();
        if (!child.isText())
            return childCursor(parent, child);
    }
    parent->setFinished();
    return nullptr;
}

std::unique_ptr<NodeCursor> XmlDocument::namedChildNode(NodeCursor *parent, const QString &name)
{
    if (!parent || parent->isNull() || !parent->node().isElement())
        return nullptr;
    // QDomNode::namedItem passes over prefixed names ("ns:a"), which a file
    // loaded with namespace processing has; compare the names ourselves.
    for (QDomNode child = parent->node().firstChild(); !child.isNull();
         child = child.nextSibling()) {
        if (child.nodeName() == name)
            return childCursor(parent, child);
    }
    return nullptr;
}

bool XmlDocument::namedAttribute(const NodeCursor &cursor, const QString &name, QString *value)
{
    const QDomNode attribute = attributeNamed(cursor.node().attributes(), name);
    if (attribute.isNull() || !attribute.isAttr()) {
        value->clear();
        return false;
    }
    *value = attribute.nodeValue();
    return true;
}

QString XmlDocument::toString() const
{
    return XmlWriter(m_domDocument, m_attributeOrder, 2).toString();
}

bool XmlDocument::save(QIODevice *device) const
{
    static const char declaration[] = "<?xml version='1.0' encoding='UTF-8'?>\n";
    const qint64 declarationSize = sizeof declaration - 1;
    if (device->write(declaration, declarationSize) != declarationSize)
        return false;
    // A loaded file's own declaration is left out: it would follow ours.
    return XmlWriter(m_domDocument, m_attributeOrder, 4).save(device);
}
