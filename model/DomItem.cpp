#include "DomItem.h"

#include <utility>

DomItem::DomItem(QDomNode &node, int row, DomItem *parent)
    : domNode(node)
    , parentItem(parent)
    , itemRow(row)
{
}

DomItem::DomItem(const DomItem &other)
    : domNode(other.domNode)
    , parentItem(other.parentItem)
    , itemRow(other.itemRow)
{
}

DomItem &DomItem::operator=(const DomItem &other)
{
    if (this == &other)
        return *this;
    // Read the source first: it may be one of the items deleted below.
    const QDomNode node = other.domNode;
    DomItem *const parent = other.parentItem;
    const int row = other.itemRow;
    deleteChildItems();
    domNode = node;
    parentItem = parent;
    itemRow = row;
    return *this;
}

DomItem::~DomItem()
{
    deleteChildItems();
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

void DomItem::deleteChildItems()
{
    // Take the table first, so that nothing reached from a child's destructor
    // can see entries that are being deleted.
    const QHash<int, DomItem *> items = std::exchange(childItems, {});
    for (DomItem *item : items)
        delete item;
}
