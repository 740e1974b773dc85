#include "NodeCursor.h"

bool NodeCursor::operator==(const NodeCursor &other) const
{
    return m_childIndex == other.m_childIndex && m_attrIndex == other.m_attrIndex
            && m_opened == other.m_opened && m_node == other.m_node
            && m_children == other.m_children && m_attrs == other.m_attrs;
}

void NodeCursor::open()
{
    m_opened = true;
    m_attrIndex = 0;
    m_childIndex = 0;
    m_attrs = m_node.attributes();
    m_children = m_node.childNodes();
    m_attrCount = m_attrs.length();
    m_childCount = m_children.length();
}

QDomNode NodeCursor::takeAttribute()
{
    return m_attrs.item(m_attrIndex++);
}

QDomNode NodeCursor::takeChild()
{
    return m_children.item(m_childIndex++);
}

void NodeCursor::detach()
{
    m_node = QDomNode();
    m_children = QDomNodeList();
    m_attrs = QDomNamedNodeMap();
    m_attrCount = 0;
    m_childCount = 0;
}
