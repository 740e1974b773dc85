// SPDX-License-Identifier: MIT
#include "DomNavigation.h"

#include <algorithm>

QDomNode attributeNamed(const QDomNamedNodeMap &attributes, const QString &name, QString *local)
{
    QDomNode hit = attributes.namedItem(name);
    if (!hit.isNull() && hit.nodeName() == name)
        return hit;
    const qsizetype colon = name.indexOf(u':');
    if (colon >= 0) {
        QString own;
        local = local ? local : &own;
        local->resize(name.size() - colon - 1);
        std::copy(name.begin() + colon + 1, name.end(), local->begin());
        hit = attributes.namedItem(*local);
        if (!hit.isNull() && hit.nodeName() == name)
            return hit;
    }
    // Nothing filed where the name would be: no attribute has it.
    if (hit.isNull())
        return QDomNode();
    for (int i = 0, count = attributes.length(); i < count; ++i) {
        const QDomNode attribute = attributes.item(i);
        if (attribute.nodeName() == name)
            return attribute;
    }
    return QDomNode();
}
