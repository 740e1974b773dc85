/* DomTreeModel: a DomModel that views can show.
 *
 * Rows. The top-level rows are the document's own child nodes: the document
 * element, and the comments, processing instructions (the XML declaration
 * among them) and document type beside it. Under every row are the rows of
 * that node's child nodes, of every kind; attributes are not rows, they show
 * in the element's value. So the rows reach every node of the document.
 *
 * Columns. Column 0 shows the node's name (as QDomNode::nodeName gives it:
 * the tag for an element, "#text" for text, "#comment" for a comment, the
 * target for a processing instruction). Column 1 shows the node's value, or
 * for an element its attributes as name="value" pairs, sorted by name and
 * separated by a space, with '&' and '"' in values written as &amp; and
 * &quot; (see valueText). For Qt::DisplayRole that text is put on one line
 * (runs of white space, line breaks included, become one space) and cut to
 * displayLength characters, with "..." appended when cut; Qt::ToolTipRole
 * gives column 0 the node's kind and its line in the parsed file, and column
 * 1 the full text. Both columns have header labels, "Name" and "Value".
 * Nothing can be edited.
 *
 * Cost. rowCount, index, parent, data and hasChildren take the same time for
 * the first and the last of any number of siblings: each item lists its
 * node's children once, when they are first asked for, and makes the item for
 * a row when that row is first asked for (see DomTreeItem).
 *
 * Changes to the document. The model shows the document as it was when each
 * row was first asked for and sends no signal of its own when others change
 * the document. After changing the document's nodes, call refresh(): it drops
 * every item and resets the model, and views then read the document anew.
 * (DomModel, by contrast, reads row counts afresh on every call.) setDocument()
 * resets the model too. */
#ifndef ZARNETGENQTXML_DOMTREEMODEL_H
#define ZARNETGENQTXML_DOMTREEMODEL_H

#include "DomModel.h"

class DomTreeItem;

class ZARNETGENQTXML_EXPORT DomTreeModel : public DomModel
{
    Q_OBJECT

public:
    // Characters of column 1 that Qt::DisplayRole shows at most.
    static constexpr int displayLength = 200;

    explicit DomTreeModel(QDomDocument &document, QObject *parent = nullptr);

    // A root DomTreeItem, row 0, no parent, for the document that `element`
    // belongs to (the model's document when `element` is null); its rows are
    // that document's child nodes. The caller owns it. Final, so that every
    // item of the model is a DomTreeItem.
    DomItem *createDomItem(QDomElement &element) final;

    // Drops every item and resets the model, so that views show the document
    // as it is now. Call it after changing the document's nodes.
    void refresh();

    using DomModel::document;
    QDomDocument document() const { return domDocument; }
    // The node that `index` stands for; a null node for an invalid index.
    QDomNode node(const QModelIndex &index) const;

    QModelIndex index(
        int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The full text of column 1 for `node`.
    static QString valueText(const QDomNode &node);
    // What kind of node `node` is, in words ("Element", "Text", ...).
    static QString kindText(const QDomNode &node);

private:
    DomTreeItem *itemFor(const QModelIndex &index) const;
};

#endif // ZARNETGENQTXML_DOMTREEMODEL_H
