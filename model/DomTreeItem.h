// SPDX-License-Identifier: MIT
/**
 * @file DomTreeItem.h
 * @brief DomTreeItem: a DomItem that makes the items below it.
 *
 * The first time an item is asked for its children (child() or childCount())
 * it takes a list of its node's child nodes, once, so that every later
 * question costs the same for the first and the last of many siblings.
 * child(i) makes the item for child node i the first time it is asked for,
 * keeps it beside the node in that list (not in DomItem's child table, which
 * stays empty) and returns that same item afterwards; rows outside the list
 * give null. The item owns the items it made and deletes them with itself;
 * a copy refers to the same child items and deletes none of them, so it is
 * good for as long as its source lives.
 *
 * The list and the items describe the document as it was when they were
 * made; they are not updated when the document changes. Whoever changes the
 * document's nodes drops the items and makes them anew (DomTreeModel::refresh
 * does that for a model). Until then they stay safe to use: the list holds
 * handles to its nodes, so even removed nodes stay readable.
 */
#ifndef ZARNETGENQTXML_DOMTREEITEM_H
#define ZARNETGENQTXML_DOMTREEITEM_H

#include "DomItem.h"

#include <vector>

/** A DomItem that makes its child items; see the file description. */
class ZARNETGENQTXML_EXPORT DomTreeItem : public DomItem
{
public:
    /**
     * Makes an item that refers to the same node as `node`.
     * @param node    the DOM node (shared, not copied)
     * @param row     the item's row under its parent
     * @param parent  the item it hangs under; null for a root item
     */
    DomTreeItem(QDomNode &node, int row, DomItem *parent);
    /**
     * Makes a copy that refers to the same child items and deletes none.
     * @param other  the item to copy
     */
    DomTreeItem(const DomTreeItem &other);
    /**
     * Assigns as the copy constructor copies.
     * @param other  the item to copy
     * @return this item
     */
    DomTreeItem &operator=(const DomTreeItem &other);
    /** Deletes the child items this item made. */
    ~DomTreeItem() override;

    /**
     * Makes the item for a child node the first time it is asked for.
     * @param i  the row
     * @return the item for child node `i`, or null outside the child nodes
     */
    DomItem *child(int i) override;

    /** @return the number of child nodes of the node, from the list taken on
     *  first use. */
    int childCount() const;
    /** @return whether the node has child nodes; takes no list. */
    bool hasChildNodes() const;

    // Read-only forms of DomItem's accessors.
    using DomItem::node;
    using DomItem::parent;
    using DomItem::row;
    /** @return the node, read-only. */
    const QDomNode &node() const { return domNode; }
    /** @return the item this one hangs under, read-only; null for a root. */
    const DomItem *parent() const { return parentItem; }
    /** @return the item's row under its parent. */
    int row() const { return itemRow; }

private:
    ZARNETGENQTXML_NO_EXPORT void takeChildList() const;

    struct Child
    {
        QDomNode node;
        // Made on first use; owned when its parent link is this item.
        DomItem *item;
    };
    // The node's child nodes, in order, and their items; taken on first use.
    // Rows are looked up here rather than in the child table: a vector
    // indexed by row stays as fast for 100,000 siblings as for 10.
    mutable std::vector<Child> children;
    mutable bool childListTaken = false;
};

#endif // ZARNETGENQTXML_DOMTREEITEM_H
