#include "DomItem.h"
#include "DomModel.h"

#include <QSignalSpy>
#include <QStringList>
#include <gtest/gtest.h>

#include <climits>
#include <type_traits>

static_assert(std::has_virtual_destructor_v<DomItem>);

namespace {

QDomDocument parse(const QString &xml)
{
    QDomDocument document;
    EXPECT_TRUE(document.setContent(xml));
    return document;
}

// Counts its own destruction, to show what the owners delete.
struct TrackedItem : DomItem
{
    TrackedItem(QDomNode node, int row, DomItem *parent, int *destroyed)
        : DomItem(node, row, parent)
        , destroyed(destroyed)
    {
    }
    ~TrackedItem() override { ++*destroyed; }
    int *destroyed;
};

// Files items for every child node of `item`'s node, as a derived model would.
int fileAll(DomItem *item, int *destroyed)
{
    int made = 0;
    const QDomNodeList nodes = item->node().childNodes();
    for (int i = 0; i < nodes.count(); ++i) {
        auto *child = new TrackedItem(nodes.item(i), i, item, destroyed);
        item->childItems.insert(i, child);
        made += 1 + fileAll(child, destroyed);
    }
    return made;
}

struct TrackingModel : DomModel
{
    using DomModel::DomModel;
    DomItem *createDomItem(QDomElement &element) override
    {
        ++created;
        return new TrackedItem(element, 0, nullptr, &destroyed);
    }
    int created = 0;
    int destroyed = 0;
};

const QString sample = QStringLiteral("<r a='1'><e><x/><y/></e>text<!--c--><?pi d?>"
                                      "<![CDATA[z]]><f><g><h/></g><i/></f></r>");

} // namespace

TEST(DomItem, LooksUpOnlyWhatWasFiled)
{
    QDomDocument document = parse(sample);
    QDomElement element = document.documentElement();
    DomItem parent(element, 0, nullptr);
    DomItem item(element, 4, &parent);
    EXPECT_TRUE(parent.childItems.isEmpty());
    EXPECT_EQ(item.parent(), &parent);
    EXPECT_EQ(item.row(), 4);
    for (int i : { 0, 1, -1, 5, INT_MIN, INT_MAX })
        EXPECT_EQ(item.child(i), nullptr) << i;
    EXPECT_TRUE(item.childItems.isEmpty());

    int destroyed = 0;
    QDomNode first = element.firstChild();
    auto *filed = new TrackedItem(first, 3, &item, &destroyed);
    item.childItems.insert(3, filed);
    item.childItems.insert(7, nullptr);
    EXPECT_EQ(item.child(3), filed);
    EXPECT_EQ(item.child(2), nullptr);
    EXPECT_EQ(item.childItems.size(), 2);

    // The handle is the document's node, not a copy.
    item.node().toElement().setAttribute(QStringLiteral("b"), QStringLiteral("2"));
    EXPECT_EQ(document.documentElement().attribute(QStringLiteral("b")), QStringLiteral("2"));
    item.node() = first;
    EXPECT_EQ(item.node(), first);
}

TEST(DomItem, DestroyingDeletesTheWholeSubtreeButNotTheNodes)
{
    QDomDocument document = parse(sample);
    const QString before = document.toString();
    int destroyed = 0;
    QDomElement element = document.documentElement();
    DomItem *root = new TrackedItem(element, 0, nullptr, &destroyed);
    const int made = fileAll(root, &destroyed);
    ASSERT_EQ(made, 11);
    delete root; // through DomItem *: needs the virtual destructor
    EXPECT_EQ(destroyed, made + 1);
    EXPECT_EQ(document.toString(), before);
}

TEST(DomItem, CopiesShareChildItemsWithoutDeletingThemTwice)
{
    QDomDocument document = parse(sample);
    QDomElement element = document.documentElement();
    int destroyed = 0;
    DomItem parent(element, 0, nullptr);
    auto *source = new DomItem(element, 2, &parent);
    const int made = fileAll(source, &destroyed);
    {
        DomItem copy(*source);
        EXPECT_EQ(copy.parent(), &parent);
        EXPECT_EQ(copy.row(), 2);
        EXPECT_EQ(copy.childItems, source->childItems);
        EXPECT_EQ(copy.child(0), source->child(0));
        copy.node().toElement().setAttribute(QStringLiteral("a"), QStringLiteral("9"));
        EXPECT_EQ(source->node().toElement().attribute(QStringLiteral("a")), QStringLiteral("9"));
    }
    EXPECT_EQ(destroyed, 0);
    ASSERT_NE(source->child(0), nullptr);
    EXPECT_EQ(source->child(0)->parent(), source);

    // Assignment releases the target's items without deleting them.
    int targetDestroyed = 0;
    {
        DomItem target(element, 0, nullptr);
        const int targetMade = fileAll(&target, &targetDestroyed);
        const QHash<int, DomItem *> released = target.childItems;
        target = *source;
        EXPECT_EQ(targetDestroyed, 0);
        EXPECT_EQ(target.row(), 2);
        EXPECT_EQ(target.parent(), &parent);
        EXPECT_EQ(target.child(1), source->child(1));
        for (DomItem *item : released)
            EXPECT_EQ(item->parent(), &target);
        qDeleteAll(released);
        EXPECT_EQ(targetDestroyed, targetMade);
    }
    EXPECT_EQ(destroyed, 0);

    // Assigning an item's own descendant to it: nothing is deleted on the way.
    DomItem *const child = source->child(0);
    DomItem *const grandChild = child->child(1);
    const QDomNode grandChildNode = grandChild->node();
    {
        const DomItem saved(*source);
        *source = *grandChild;
        EXPECT_EQ(source->node(), grandChildNode);
        EXPECT_EQ(source->row(), 1);
        EXPECT_EQ(destroyed, 0);
        DomItem &alias = *source;
        *source = alias;
        EXPECT_EQ(source->node(), grandChildNode);
        *source = saved;
    } // a copy must go before its source
    delete source;
    EXPECT_EQ(destroyed, made);
}

TEST(DomModel, ShapeAndNavigation)
{
    QDomDocument document = parse(sample);
    int destroyed = 0;
    DomModel model(document);
    EXPECT_EQ(model.rowCount(), 6); // every kind of child node, no attribute
    EXPECT_TRUE(model.rootItem->childItems.isEmpty());
    EXPECT_FALSE(model.index(0, 0).isValid()); // rows, but no items yet
    fileAll(model.rootItem, &destroyed);

    const QModelIndex e = model.index(0, 0), e1 = model.index(0, 1);
    ASSERT_TRUE(e.isValid() && e1.isValid());
    EXPECT_EQ(e.internalPointer(), model.rootItem->child(0));
    EXPECT_EQ(e1.internalPointer(), e.internalPointer());
    EXPECT_EQ(e1.column(), 1);
    EXPECT_FALSE(model.parent(e).isValid());
    EXPECT_FALSE(model.parent(e1).isValid());

    EXPECT_EQ(model.rowCount(e), 2);
    EXPECT_EQ(model.rowCount(e1), 0); // only column 0 has children
    for (int row = 1; row <= 4; ++row) // text, comment, PI, CDATA
        EXPECT_EQ(model.rowCount(model.index(row, 0)), 0) << row;
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.columnCount(e1), 2);

    const QModelIndex f = model.index(5, 0);
    const QModelIndex h = model.index(0, 1, model.index(0, 0, f));
    ASSERT_TRUE(h.isValid());
    EXPECT_EQ(static_cast<DomItem *>(h.internalPointer())->node().nodeName(), QStringLiteral("h"));
    EXPECT_EQ(model.parent(model.parent(h)), f);
    EXPECT_EQ(model.parent(h).column(), 0);

    for (const QModelIndex &p : { QModelIndex(), e, f, h }) {
        EXPECT_FALSE(model.index(0, 2, p).isValid());
        EXPECT_FALSE(model.index(-1, 0, p).isValid());
        EXPECT_FALSE(model.index(0, -1, p).isValid());
        EXPECT_FALSE(model.index(model.rowCount(p), 0, p).isValid());
    }

    EXPECT_EQ(model.flags(QModelIndex()), Qt::NoItemFlags);
    for (const QModelIndex &index : { e, e1, h }) {
        EXPECT_TRUE(model.flags(index) & Qt::ItemIsEnabled);
        EXPECT_FALSE(model.flags(index) & Qt::ItemIsEditable);
    }

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (int role = 0; role <= Qt::UserRole; ++role) {
        EXPECT_FALSE(model.data(e, role).isValid());
        EXPECT_FALSE(model.data(QModelIndex(), role).isValid());
        EXPECT_FALSE(model.headerData(0, Qt::Horizontal, role).isValid());
        EXPECT_FALSE(model.headerData(1, Qt::Vertical, role).isValid());
        EXPECT_FALSE(model.setData(e, QStringLiteral("v"), role));
    }
    EXPECT_EQ(changed.count(), 0);
}

TEST(DomModel, DocumentWithoutElement)
{
    QDomDocument empty;
    DomModel model(empty);
    ASSERT_NE(model.rootItem, nullptr);
    EXPECT_TRUE(model.rootItem->node().isNull());
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.index(0, 0).isValid());
}

TEST(DomModel, SetDocumentRemakesRootAndAnnouncesTheReset)
{
    QDomDocument document = parse(sample);
    TrackingModel model(document);
    QDomDocument same = model.document();
    model.setDocument(same); // now the root item is a TrackedItem
    ASSERT_EQ(model.created, 1);
    fileAll(model.rootItem, &model.destroyed);

    QStringList events;
    const QModelIndex old = model.index(0, 0);
    const auto about = QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, [&] {
        events << QStringLiteral("about");
        // Old items must still be readable here.
        EXPECT_EQ(model.destroyed, 0);
        EXPECT_EQ(
            static_cast<DomItem *>(old.internalPointer())->node().nodeName(), QStringLiteral("e"));
    });
    const auto reset = QObject::connect(&model, &QAbstractItemModel::modelReset, [&] {
        events << QStringLiteral("reset");
        EXPECT_EQ(model.destroyed, 12);
        EXPECT_EQ(model.created, 2);
    });
    model.setDocument(same);
    EXPECT_EQ(events, QStringList({ QStringLiteral("about"), QStringLiteral("reset") }));
    EXPECT_EQ(model.document(), document);
    QObject::disconnect(about);
    QObject::disconnect(reset);

    QDomDocument other = parse(QStringLiteral("<o><p/></o>"));
    model.setDocument(other);
    EXPECT_EQ(model.document(), other);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(document.documentElement().childNodes().count(), 6);
}

TEST(DomModel, AppendedNodeShowsAtOnceWithoutSignals)
{
    QDomDocument document = parse(sample);
    DomModel model(document);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QDomDocument shared = model.document();
    shared.documentElement().appendChild(shared.createElement(QStringLiteral("n")));
    EXPECT_EQ(model.rowCount(), 7);
    EXPECT_EQ(document.documentElement().lastChild().nodeName(), QStringLiteral("n"));
    EXPECT_EQ(inserted.count() + reset.count(), 0);
}
