#include "DomTreeModel.h"

#include "DomTreeItem.h"

#include <QCoreApplication>
#include <QStringList>
#include <QtXml/QDomNamedNodeMap>

#include <utility>

DomTreeModel::DomTreeModel(QDomDocument &document, QObject *parent)
    : DomModel(document, parent)
{
    // The base constructor made a plain DomItem, our override not being in
    // force yet. Replace it quietly: no view can be attached yet.
    QDomElement element = domDocument.documentElement();
    delete std::exchange(rootItem, nullptr);
    rootItem = createDomItem(element);
}

DomItem *DomTreeModel::createDomItem(QDomElement &element)
{
    return new DomTreeItem(element, 0, nullptr);
}

QVariant DomTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const QDomNode &node = static_cast<DomItem *>(index.internalPointer())->node();
    switch (index.column()) {
    case 0:
        return node.nodeName();
    case 1:
        return valueText(node);
    default:
        return {};
    }
}

QVariant DomTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QCoreApplication::translate("DomTreeModel", "Name");
    case 1:
        return QCoreApplication::translate("DomTreeModel", "Value");
    default:
        return {};
    }
}

QString DomTreeModel::valueText(const QDomNode &node)
{
    if (!node.isElement())
        return node.nodeValue();
    // The DOM keeps attributes in no particular order; sort them so that the
    // same element always reads the same.
    const QDomNamedNodeMap attributes = node.attributes();
    QStringList names;
    names.reserve(attributes.count());
    for (int i = 0; i < attributes.count(); ++i)
        names.append(attributes.item(i).nodeName());
    names.sort();
    QStringList pairs;
    pairs.reserve(names.size());
    for (const QString &name : std::as_const(names)) {
        QString value = attributes.namedItem(name).nodeValue();
        value.replace(QLatin1Char('&'), QLatin1String("&amp;"));
        value.replace(QLatin1Char('"'), QLatin1String("&quot;"));
        pairs.append(name + QLatin1String("=\"") + value + QLatin1Char('"'));
    }
    return pairs.join(QLatin1Char(' '));
}
