// SPDX-License-Identifier: MIT
#include "DomItem.h"

#include <utility>

DomItem::DomItem(QDomNode &node, int row, DomItem *parent)
    : domNode(node)
    , parentItem(parent)
    , itemRow(row)
{
}

DomItem::DomItem(const DomItem &other) = default;

DomItem &DomItem::operator=(const DomItem &other) = default;

DomItem::~DomItem()
{
    // Take the table first, so that nothing reached from a child's destructor
    // can see entries that are being deleted. Items filed here by a copy's
    // source belong to the source.
    const QHash<int, DomItem *> items = std::exchange(childItems, {});
    for (DomItem *item : items) {
        if (item && item->parentItem == this)
            delete item;
    }
}

DomItem *DomItem::child(int i)
{
    // find() rather than operator[]: a miss must not add an entry.
    const auto it = childItems.constFind(i);
    return it == childItems.constEnd() ? nullptr : it.value();
}

QDomNode &DomItem::node()
{
    return domNode;
}

DomItem *DomItem::parent()
{
    return parentItem;
}

int DomItem::row()
{
    return itemRow;
}
