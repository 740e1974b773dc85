// SPDX-License-Identifier: MIT
#include "DomModel.h"

#include "DomItem.h"

#include <utility>

DomModel::DomModel(QDomDocument &document, QObject *parent)
    : QAbstractItemModel(parent)
    , rootItem(nullptr)
    , domDocument(document)
{
    QDomElement element = domDocument.documentElement();
    rootItem = createDomItem(element);
}

DomModel::~DomModel()
{
    delete rootItem;
}

QDomDocument DomModel::document()
{
    return domDocument;
}

void DomModel::setDocument(QDomDocument &document)
{
    beginResetModel();
    domDocument = document;
    QDomElement element = domDocument.documentElement();
    // Cleared before createDomItem runs, which may be a derived model's code.
    delete std::exchange(rootItem, nullptr);
    rootItem = createDomItem(element);
    endResetModel();
}

DomItem *DomModel::createDomItem(QDomElement &element)
{
    return new DomItem(element, 0, nullptr);
}

DomItem *DomModel::itemFor(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<DomItem *>(index.internalPointer()) : rootItem;
}

QModelIndex DomModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    DomItem *const parentItem = itemFor(parent);
    if (!parentItem)
        return {};
    DomItem *const item = parentItem->child(row);
    return item ? createIndex(row, column, item) : QModelIndex();
}

QModelIndex DomModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    DomItem *const parentItem = static_cast<DomItem *>(child.internalPointer())->parent();
    // The root item's children are the top-level rows.
    if (!parentItem || parentItem == rootItem)
        return {};
    return createIndex(parentItem->row(), 0, parentItem);
}

int DomModel::rowCount(const QModelIndex &parent) const
{
    // Only column 0 has children; an invalid index has column -1.
    if (parent.column() > 0)
        return 0;
    DomItem *const item = itemFor(parent);
    return item ? item->node().childNodes().count() : 0;
}

int DomModel::columnCount(const QModelIndex &) const
{
    return 2;
}

QVariant DomModel::data(const QModelIndex &, int) const
{
    return {};
}

bool DomModel::setData(const QModelIndex &, const QVariant &, int)
{
    return false;
}

QVariant DomModel::headerData(int, Qt::Orientation, int) const
{
    return {};
}

Qt::ItemFlags DomModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractItemModel::flags(index) | Qt::ItemIsEnabled;
}
