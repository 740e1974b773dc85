// SPDX-License-Identifier: MIT
#include "DomTreeItem.h"

#include <utility>

DomTreeItem::DomTreeItem(QDomNode &node, int row, DomItem *parent)
    : DomItem(node, row, parent)
{
}

// A copy refers to its source's child items, as DomItem's copy does, and
// deletes none of them: they name the source as their parent.
DomTreeItem::DomTreeItem(const DomTreeItem &other) = default;

DomTreeItem &DomTreeItem::operator=(const DomTreeItem &other) = default;

DomTreeItem::~DomTreeItem()
{
    for (const Child &entry : std::exchange(children, {})) {
        if (entry.item && entry.item->parentItem == this)
            delete entry.item;
    }
}

DomItem *DomTreeItem::child(int i)
{
    if (i < 0 || i >= childCount())
        return nullptr;
    Child &entry = children[std::size_t(i)];
    if (!entry.item) // owned by this item from here on
        entry.item = new DomTreeItem(entry.node, i, this);
    return entry.item;
}

int DomTreeItem::childCount() const
{
    takeChildList();
    return int(children.size());
}

bool DomTreeItem::hasChildNodes() const
{
    return childListTaken ? !children.empty() : domNode.hasChildNodes();
}

void DomTreeItem::takeChildList() const
{
    if (childListTaken)
        return;
    childListTaken = true;
    // Sibling links rather than childNodes(): a QDomNodeList is rebuilt
    // whenever the document changes, and this list must not be.
    for (QDomNode node = domNode.firstChild(); !node.isNull(); node = node.nextSibling())
        children.push_back({ node, nullptr });
}
