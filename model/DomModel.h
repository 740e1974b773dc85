// SPDX-License-Identifier: MIT
/**
 * @file DomModel.h
 * @brief DomModel: a QDomDocument seen through Qt's item model interface.
 *
 * The model gives the tree its shape and nothing else: a root item made for
 * the document element, whose rows are that element's child nodes of every
 * kind; under each row the rows of that node's child nodes; two columns. Rows
 * are reached only through DomItem::child() of the parent item, so with plain
 * DomItems only rows whose items were filed by hand have an index. The cells
 * are empty and nothing can be edited. For a model that makes its items and
 * shows names and values, see DomTreeModel.
 *
 * Row counts are read from the document on every call and the model sends no
 * signal when others change the document; setDocument() rebuilds the items and
 * resets the model. The document is shared with the caller, never copied.
 */
#ifndef ZARNETGENQTXML_DOMMODEL_H
#define ZARNETGENQTXML_DOMMODEL_H

#include "zarnetgenqtxml_export.h"

#include <QAbstractItemModel>
#include <QtXml/QDomDocument>

class DomItem;

/** A two-column item model over a QDomDocument; see the file description. */
class ZARNETGENQTXML_EXPORT DomModel : public QAbstractItemModel
{
public:
    /**
     * Makes the root item with DomModel's own createDomItem (a derived model's
     * override is not yet in force here). Announces no reset.
     * @param document  the document, shared
     * @param parent    the QObject parent
     */
    DomModel(QDomDocument &document, QObject *parent = nullptr);
    /** Deletes the root item and with it the items it owns. */
    ~DomModel() override;

    /** @return the document, shared. */
    QDomDocument document();
    /**
     * Shares `document`, replaces the root item and resets the model. The old
     * items are deleted between beginResetModel() and endResetModel(), so that
     * attached views can still read the old indexes when the reset is
     * announced.
     * @param document  the new document
     */
    void setDocument(QDomDocument &document);
    /**
     * Makes a root item.
     * @param element  the document element
     * @return a new item for `element`, row 0, no parent; the caller owns it.
     */
    virtual DomItem *createDomItem(QDomElement &element);

    /**
     * @param row     the row under `parent`
     * @param column  0 or 1
     * @param parent  the parent's index; invalid for the top level
     * @return the index of the item filed under `row` in the parent item, or
     *         an invalid index when there is none.
     */
    QModelIndex index(
        int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    /**
     * @param child  an index of this model
     * @return the index of the item `child` hangs under; invalid for the top
     *         level.
     */
    QModelIndex parent(const QModelIndex &child) const override;
    /**
     * @param parent  an index of this model; invalid for the top level
     * @return the number of child nodes of the parent's node, read from the
     *         document on every call; 0 for columns other than 0.
     */
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    /**
     * @param parent  ignored
     * @return 2.
     */
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    /**
     * @param index  ignored
     * @param role   ignored
     * @return an invalid QVariant: the cells are empty.
     */
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    /**
     * @param index  ignored
     * @param value  ignored
     * @param role   ignored
     * @return false: nothing can be edited.
     */
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    /**
     * @param section      ignored
     * @param orientation  ignored
     * @param role         ignored
     * @return an invalid QVariant: no header labels.
     */
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    /**
     * @param index  an index of this model
     * @return Qt::ItemIsEnabled (with the base class's flags) for a valid
     *         index, Qt::NoItemFlags otherwise.
     */
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    /** The root item; owned, and the model never makes an index for it. */
    DomItem *rootItem;
    /** The document, shared with the caller. */
    QDomDocument domDocument;

private:
    ZARNETGENQTXML_NO_EXPORT DomItem *itemFor(const QModelIndex &index) const;
};

#endif // ZARNETGENQTXML_DOMMODEL_H
