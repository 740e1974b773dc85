#include "DomTreeItem.h"

#include <QtXml/QDomNodeList>

DomTreeItem::DomTreeItem(QDomNode &node, int row, DomItem *parent)
    : DomItem(node, row, parent)
{
}

DomItem *DomTreeItem::child(int i)
{
    if (DomItem *const item = DomItem::child(i))
        return item;
    const QDomNodeList children = domNode.childNodes();
    if (i < 0 || i >= children.count())
        return nullptr;
    QDomNode childNode = children.item(i);
    // Owned by this item from here on, through the child table.
    DomItem *const item = new DomTreeItem(childNode, i, this);
    childItems.insert(i, item);
    return item;
}
