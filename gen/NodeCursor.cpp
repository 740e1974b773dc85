#include "NodeCursor.h"

bool NodeCursor::operator==(const NodeCursor &other) const
{
    return m_attrIndex == other.m_attrIndex && m_opened == other.m_opened && m_node == other.m_node
        && m_nextChild == other.m_nextChild && m_attrs == other.m_attrs;
}

void NodeCursor::open()
{
    m_opened = true;
    m_attrIndex = 0;
    m_attrs = m_node.attributes();
    m_nextChild = m_node.firstChild();
    m_attrCount = m_attrs.length();
}

QDomNode NodeCursor::takeAttribute()
{
    return m_attrs.item(m_attrIndex++);
}

QDomNode NodeCursor::takeChild()
{
    const QDomNode child = m_nextChild;
    m_nextChild = child.nextSibling();
    return child;
}

void NodeCursor::detach()
{
    m_node = QDomNode();
    m_nextChild = QDomNode();
    m_attrs = QDomNamedNodeMap();
    m_attrCount = 0;
}
