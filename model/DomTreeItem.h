/* DomTreeItem: a DomItem that makes the items below it.
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
 * handles to its nodes, so even removed nodes stay readable. */
#ifndef ZARNETGENQTXML_DOMTREEITEM_H
#define ZARNETGENQTXML_DOMTREEITEM_H

#include "DomItem.h"

#include <vector>

class ZARNETGENQTXML_EXPORT DomTreeItem : public DomItem
{
public:
    DomTreeItem(QDomNode &node, int row, DomItem *parent);
    DomTreeItem(const DomTreeItem &other);
    DomTreeItem &operator=(const DomTreeItem &other);
    ~DomTreeItem() override;

    DomItem *child(int i) override;

    // The number of child nodes of the node, from the list taken on first use.
    int childCount() const;
    // Whether the node has child nodes; takes no list.
    bool hasChildNodes() const;

    // Read-only forms of DomItem's accessors.
    using DomItem::node;
    using DomItem::parent;
    using DomItem::row;
    const QDomNode &node() const { return domNode; }
    const DomItem *parent() const { return parentItem; }
    int row() const { return itemRow; }

private:
    void takeChildList() const;

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
