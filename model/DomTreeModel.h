// SPDX-License-Identifier: MIT
/**
 * @file DomTreeModel.h
 * @brief DomTreeModel: a DomModel that views can show.
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
 * resets the model too.
 */
#ifndef ZARNETGENQTXML_DOMTREEMODEL_H
#define ZARNETGENQTXML_DOMTREEMODEL_H

#include "DomModel.h"

class DomTreeItem;

/** A DomModel for views, with names and values; see the file description. */
class ZARNETGENQTXML_EXPORT DomTreeModel : public DomModel
{
    Q_OBJECT

public:
    /** Characters of column 1 that Qt::DisplayRole shows at most. */
    static constexpr int displayLength = 200;

    /**
     * Makes the model over `document`.
     * @param document  the document, shared
     * @param parent    the QObject parent
     */
    explicit DomTreeModel(QDomDocument &document, QObject *parent = nullptr);

    /**
     * Makes a root item. Final, so that every item of the model is a
     * DomTreeItem.
     * @param element  an element of the document; null for the model's
     *                 document
     * @return a root DomTreeItem, row 0, no parent, for the document that
     *         `element` belongs to; its rows are that document's child nodes.
     *         The caller owns it.
     */
    DomItem *createDomItem(QDomElement &element) final;

    /** Drops every item and resets the model, so that views show the document
     *  as it is now. Call it after changing the document's nodes. */
    void refresh();

    using DomModel::document;
    /** @return the document, shared. */
    QDomDocument document() const { return domDocument; }
    /**
     * @param index  an index of this model
     * @return the node that `index` stands for; a null node for an invalid
     *         index.
     */
    QDomNode node(const QModelIndex &index) const;

    /**
     * @param row     the row under `parent`
     * @param column  0 or 1
     * @param parent  the parent's index; invalid for the top level
     * @return the index of that row, or an invalid index outside the rows.
     */
    QModelIndex index(
        int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    /**
     * @param parent  an index of this model; invalid for the top level
     * @return the number of child nodes of the parent's node (of the document
     *         for the top level); 0 under an index of column 1.
     */
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    /**
     * @param parent  an index of this model; invalid for the top level
     * @return whether the parent's node has child nodes; takes no child list.
     */
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    /**
     * @param index  an index of this model
     * @param role   Qt::DisplayRole or Qt::ToolTipRole
     * @return the cell's text as the file description gives it; an invalid
     *         QVariant for other roles.
     */
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    /**
     * @param section      0 or 1
     * @param orientation  Qt::Horizontal
     * @param role         Qt::DisplayRole
     * @return "Name" or "Value"; an invalid QVariant otherwise.
     */
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /**
     * @param node  any node
     * @return the full text of column 1 for `node`.
     */
    static QString valueText(const QDomNode &node);
    /**
     * @param node  any node
     * @return what kind of node `node` is, in words ("Element", "Text", ...).
     */
    static QString kindText(const QDomNode &node);

private:
    ZARNETGENQTXML_NO_EXPORT DomTreeItem *itemFor(const QModelIndex &index) const;
};

#endif // ZARNETGENQTXML_DOMTREEMODEL_H
