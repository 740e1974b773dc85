/* DomItem: one item of the tree through which DomModel presents a DOM document.
 *
 * An item stands for one DOM node, knows the item it hangs under and its row
 * there, and keeps child items in its child table, keyed by row. DomItem itself
 * never makes child items: child(i) only looks them up. A derived class that
 * wants rows below the root overrides child(); it may file the items it makes
 * in childItems, each with this item as its parent link and its key as its
 * row, or keep them itself as DomTreeItem does.
 *
 * Ownership follows the parent link: an item owns, and deletes with itself,
 * the items in its child table whose parent link is this item. That lets a
 * copy hold the very child items of its source (same node, same child table,
 * same parent link and row) without deleting them a second time; the copy is
 * good for as long as its source lives. Assignment is memberwise too: the
 * items that the target held before are released, not deleted, and whoever
 * filed them keeps them. */
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
};

#endif // ZARNETGENQTXML_DOMITEM_H
