/* DomModel: a QDomDocument seen through Qt's item model interface.
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
 * resets the model. The document is shared with the caller, never copied. */
#ifndef ZARNETGENQTXML_DOMMODEL_H
#define ZARNETGENQTXML_DOMMODEL_H

#include "zarnetgenqtxml_export.h"

#include <QAbstractItemModel>
#include <QtXml/QDomDocument>

class DomItem;

class ZARNETGENQTXML_EXPORT DomModel : public QAbstractItemModel
{
public:
    // Makes the root item with DomModel's own createDomItem (a derived model's
    // override is not yet in force here). Announces no reset.
    DomModel(QDomDocument &document, QObject *parent = nullptr);
    ~DomModel() override;

    QDomDocument document();
    // Shares `document`, replaces the root item and resets the model. The old
    // items are deleted between beginResetModel() and endResetModel(), so that
    // attached views can still read the old indexes when the reset is announced.
    void setDocument(QDomDocument &document);
    // A new root item for `element`, row 0, no parent; the caller owns it.
    virtual DomItem *createDomItem(QDomElement &element);

    QModelIndex index(
        int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Owned; the model never makes an index for it.
    DomItem *rootItem;
    QDomDocument domDocument;

private:
    ZARNETGENQTXML_NO_EXPORT DomItem *itemFor(const QModelIndex &index) const;
};

#endif // ZARNETGENQTXML_DOMMODEL_H
