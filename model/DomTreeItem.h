/* DomTreeItem: a DomItem that makes the items below it.
 *
 * child(i) makes the item for child node i of this item's node the first time
 * it is asked for, files it in the child table under i (so that this item owns
 * it and deletes it with itself) and returns that same item afterwards. Rows
 * outside the node's child nodes give null and add no entry.
 *
 * Items are made from the document as it is when they are first asked for and
 * are not updated afterwards: nodes appended later get items when their rows
 * are asked for, but after nodes have been inserted or removed before existing
 * ones the items must be rebuilt (DomModel::setDocument does that). */
#ifndef ZARNETGENQTXML_DOMTREEITEM_H
#define ZARNETGENQTXML_DOMTREEITEM_H

#include "DomItem.h"

class ZARNETGENQTXML_EXPORT DomTreeItem : public DomItem
{
public:
    DomTreeItem(QDomNode &node, int row, DomItem *parent);

    DomItem *child(int i) override;
};

#endif // ZARNETGENQTXML_DOMTREEITEM_H
