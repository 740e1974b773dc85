// SPDX-License-Identifier: MIT
#ifndef ZGQX_DOMNAVIGATION_H
#define ZGQX_DOMNAVIGATION_H

#include <QDomElement>
#include <QDomNamedNodeMap>
#include <QString>

// Steps through Qt's DOM that several parts of the library take.

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

// The attribute whose whole name (prefix included) is name, or a null node.
// Qt files a namespaced attribute ("ink:version") under its whole name when
// built and under its local name when loaded, next to a plain one of that
// name, so its own lookup may answer with another; only a hit on the very
// name is taken as is. Local, when given, is room for the local name that
// callers looking up many reuse.
QDomNode attributeNamed(
    const QDomNamedNodeMap &attributes, const QString &name, QString *local = nullptr);

#endif // ZGQX_DOMNAVIGATION_H
