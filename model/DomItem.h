// SPDX-License-Identifier: MIT
/**
 * @file DomItem.h
 * @brief DomItem: one item of the tree through which DomModel presents a DOM
 * document.
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
 * filed them keeps them.
 */
#ifndef ZARNETGENQTXML_DOMITEM_H
#define ZARNETGENQTXML_DOMITEM_H

#include "zarnetgenqtxml_export.h"

#include <QHash>
#include <QtXml/QDomNode>

/** One DOM node as an item of DomModel's tree; see the file description. */
class ZARNETGENQTXML_EXPORT DomItem
{
public:
    /**
     * Makes an item that refers to the same node as `node`; it does not file
     * itself in `parent`.
     * @param node    the DOM node (shared, not copied)
     * @param row     the item's row under its parent
     * @param parent  the item it hangs under; null for a root item
     */
    DomItem(QDomNode &node, int row, DomItem *parent);
    /**
     * Copies every member: the copy holds the very child items of `other`.
     * @param other  the item to copy
     */
    DomItem(const DomItem &other);
    /**
     * Assigns every member; the items held before are released, not deleted.
     * @param other  the item to copy
     * @return this item
     */
    DomItem &operator=(const DomItem &other);
    /** Deletes the child items whose parent link is this item. Virtual, so that
     *  the model may delete items of derived classes through a DomItem
     *  pointer. */
    virtual ~DomItem();

    /**
     * Looks up a child item; a miss adds no entry.
     * @param i  the row
     * @return the item filed under `i`, or null
     */
    virtual DomItem *child(int i);
    /** @return the node; assigning through the reference rebinds the item to
     *  another node. */
    QDomNode &node();
    /** @return the item this one hangs under; null for a root item. */
    DomItem *parent();
    /** @return the item's row under its parent. */
    int row();

    /** The node the item stands for. */
    QDomNode domNode;
    /** The child items, keyed by row; owned when their parent link is this
     *  item. */
    QHash<int, DomItem *> childItems;
    /** Not owned; null for a root item. */
    DomItem *parentItem;
    /** The item's row under its parent. */
    int itemRow;
};

#endif // ZARNETGENQTXML_DOMITEM_H
