// SPDX-License-Identifier: MIT
#include "DomTreeModel.h"

#include "DomTreeItem.h"

#include <QStringList>
#include <QtXml/QDomNamedNodeMap>

#include <algorithm>
#include <utility>
#include <vector>

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
    QDomNode document = element.isNull() ? QDomNode(domDocument) : element.ownerDocument();
    return new DomTreeItem(document, 0, nullptr);
}

void DomTreeModel::refresh()
{
    QDomDocument same = domDocument;
    setDocument(same);
}

DomTreeItem *DomTreeModel::itemFor(const QModelIndex &index) const
{
    // Every item is a DomTreeItem: createDomItem is final and DomTreeItem
    // makes only its own kind.
    return static_cast<DomTreeItem *>(
        index.isValid() ? static_cast<DomItem *>(index.internalPointer()) : rootItem);
}

QDomNode DomTreeModel::node(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this ? itemFor(index)->node() : QDomNode();
}

QModelIndex DomTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    // What hasIndex() checks, without asking for the row count twice.
    if (row < 0 || column < 0 || column >= columnCount(parent) || parent.column() > 0)
        return {};
    DomItem *const item = itemFor(parent)->child(row);
    return item ? createIndex(row, column, item) : QModelIndex();
}

int DomTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return itemFor(parent)->childCount();
}

bool DomTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return false;
    return itemFor(parent)->hasChildNodes();
}

QVariant DomTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const QDomNode &node = itemFor(index)->node();
    if (index.column() == 0) {
        if (role == Qt::DisplayRole)
            return node.nodeName();
        const QString kind = kindText(node);
        if (node.lineNumber() <= 0)
            return kind;
        return tr("%1, line %2").arg(kind).arg(node.lineNumber());
    }
    if (index.column() != 1)
        return {};
    const QString text = valueText(node);
    if (role == Qt::ToolTipRole)
        return text;
    // One line, so that every row has the same height and long texts do not
    // make the column as wide as themselves. Only the start of a long text is
    // looked at.
    const int window = 4 * displayLength;
    QString shown = text.left(window).simplified();
    if (shown.size() > displayLength || text.size() > window) {
        shown.truncate(displayLength);
        shown += QLatin1String("...");
    }
    return shown;
}

QVariant DomTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return tr("Name");
    case 1:
        return tr("Value");
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
    // Each value is taken from its own item: a lookup by name could answer
    // with the namespaced attribute ("ink:version") that Qt files under the
    // same local name as a plain one ("version").
    const QDomNamedNodeMap attributes = node.attributes();
    std::vector<std::pair<QString, QString>> named;
    named.reserve(attributes.count());
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomNode attribute = attributes.item(i);
        named.emplace_back(attribute.nodeName(), attribute.nodeValue());
    }
    std::sort(named.begin(), named.end());
    QStringList pairs;
    pairs.reserve(static_cast<qsizetype>(named.size()));
    for (auto &[name, value] : named) {
        value.replace(QLatin1Char('&'), QLatin1String("&amp;"));
        value.replace(QLatin1Char('"'), QLatin1String("&quot;"));
        pairs.append(name + QLatin1String("=\"") + value + QLatin1Char('"'));
    }
    return pairs.join(QLatin1Char(' '));
}

QString DomTreeModel::kindText(const QDomNode &node)
{
    const char *kind = QT_TRANSLATE_NOOP("DomTreeModel", "Node");
    switch (node.nodeType()) {
    case QDomNode::ElementNode:
        kind = QT_TRANSLATE_NOOP("DomTreeModel", "Element");
        break;
    case QDomNode::TextNode:
        kind = QT_TRANSLATE_NOOP("DomTreeModel", "Text");
        break;
    case QDomNode::CDATASectionNode:
        kind = QT_TRANSLATE_NOOP("DomTreeModel", "CDATA section");
        break;
    case QDomNode::EntityReferenceNode:
        kind = QT_TRANSLATE_NOOP("DomTreeModel", "Entity reference");
        break;
    case QDomNode::ProcessingInstructionNode:
        kind = QT_TRANSLATE_NOOP("DomTreeModel", "Processing instruction");
        break;
    case QDomNode::CommentNode:
        kind = QT_TRANSLATE_NOOP("DomTreeModel", "Comment");
        break;
    case QDomNode::DocumentTypeNode:
        kind = QT_TRANSLATE_NOOP("DomTreeModel", "Document type");
        break;
    default:
        break;
    }
    return tr(kind);
}
