/* DomTreeModel: a DomModel that views can show.
 *
 * Its items are DomTreeItems, so every row has an index. Column 0 shows the
 * node's name (as QDomNode::nodeName gives it: the tag for an element, "#text"
 * for text, "#comment" for a comment, the target for a processing
 * instruction). Column 1 shows the node's value, or for an element its
 * attributes as name="value" pairs, sorted by name and separated by a space,
 * with '&' and '"' in values written as &amp; and &quot;. Both columns have
 * header labels. Content is given for Qt::DisplayRole only; nothing can be
 * edited.
 *
 * As with DomModel, the top-level rows are the child nodes of the document
 * element; the element itself has no row. */
#ifndef ZARNETGENQTXML_DOMTREEMODEL_H
#define ZARNETGENQTXML_DOMTREEMODEL_H

#include "DomModel.h"

class ZARNETGENQTXML_EXPORT DomTreeModel : public DomModel
{
public:
    explicit DomTreeModel(QDomDocument &document, QObject *parent = nullptr);

    // A DomTreeItem for `element`, row 0, no parent; the caller owns it.
    DomItem *createDomItem(QDomElement &element) override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text of column 1 for `node`.
    static QString valueText(const QDomNode &node);
};

#endif // ZARNETGENQTXML_DOMTREEMODEL_H
