/* DomItem: one item of the tree through which DomModel presents a DOM document.
 *
 * An item stands for one DOM node, knows the item it hangs under and its row
 * there, and owns the child items filed in its child table. DomItem itself
 * never makes child items: child(i) only looks them up. A derived class that
 * wants rows below the root (see DomTreeItem) files the items it makes in
 * childItems; an item filed there must have this item as its parent link and
 * its key as its row, and is deleted with this item.
 *
 * Copies: a copy refers to the same node and has the same parent link and row,
 * but starts with an empty child table. The child items belong to the item
 * that made them (their parent link says so); a copy that shared them would
 * either delete them a second time or hand out items whose parent is another
 * item. For the same reason assignment deletes the items the target owned
 * (they stood for children of the target's old node) and leaves the target
 * with an empty child table. */
#ifndef ZARNETGENQTXML_DOMITEM_H
#define ZARNETGENQTXML_DOMITEM_H

#include "zarnetgenqtxml_export.h"

#include <QHash>
#include <QtXml/QDomNode>

class ZARNETGENQTXML_EXPORT DomItem
{
public:
    // Refers to the same node as `node`; does not file itself in `parent`.
    DomItem(QDomNode &node, int row, DomItem *parent);
    DomItem(const DomItem &other);
    DomItem &operator=(const DomItem &other);
    // Virtual, so that the model may delete items of derived classes through a
    // DomItem pointer.
    virtual ~DomItem();

    // The item filed under `i`, or null; a miss adds no entry.
    virtual DomItem *child(int i);
    // Assigning through the reference rebinds the item to another node.
    QDomNode &node();
    DomItem *parent();
    int row();

    QDomNode domNode;
    // Owned; keyed by row.
    QHash<int, DomItem *> childItems;
    // Not owned; null for a root item.
    DomItem *parentItem;
    int itemRow;

private:
    void deleteChildItems();
};

#endif // ZARNETGENQTXML_DOMITEM_H
