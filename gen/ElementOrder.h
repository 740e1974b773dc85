// SPDX-License-Identifier: MIT
#ifndef ZGQX_ELEMENTORDER_H
#define ZGQX_ELEMENTORDER_H

#include <QDomElement>

// The element after element in document order, counting elements only and
// staying inside the subtree of top; null after the subtree's last. A loop,
// not a recursion: a built document may be nested deeper than the stack
// allows.
inline QDomElement nextElement(QDomElement element, const QDomElement &top)
{
    const QDomElement child = element.firstChildElement();
    if (!child.isNull())
        return child;
    while (!element.isNull() && element != top) {
        const QDomElement sibling = element.nextSiblingElement();
        if (!sibling.isNull())
            return sibling;
        element = element.parentNode().toElement();
    }
    return QDomElement();
}

#endif // ZGQX_ELEMENTORDER_H
