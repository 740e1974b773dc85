// SPDX-License-Identifier: MIT
#include "NodeCursor.h"

bool NodeCursor::operator==(const NodeCursor &other) const
{
    return m_attrIndex == other.m_attrIndex && m_opened == other.m_opened && m_node == other.m_node
        && m_nextChild == other.m_nextChild && m_attrOffset == other.m_attrOffset;
}

void NodeCursor::open()
{
    m_opened = true;
    m_attrIndex = 0;
    m_nextChild = m_node.firstChild();
    m_attrCount = 0;
    m_attributesKnown = false;
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
    m_counted = QDomNode();
    m_attrCount = 0;
}
