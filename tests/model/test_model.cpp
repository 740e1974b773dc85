// SPDX-License-Identifier: MIT
#include "DomItem.h"
#include "DomTreeModel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

constexpr auto fatal = QAbstractItemModelTester::FailureReportingMode::Fatal;
const QString sample = QStringLiteral("<r a='1'><e><x/><y/></e>text<!--c--><?pi d?>"
                                      "<![CDATA[z]]><f><g><h/></g><i/></f></r>");
const QString prolog = QStringLiteral("<?xml version='1.0'?>\n<!--before-->\n"
                                      "<book owner='Zarnet' q='&quot;&amp;'>\n"
                                      "  some\n  text <b/></book><?after x?>");

QDomDocument parse(const QString &xml)
{
    QDomDocument document;
    EXPECT_TRUE(document.setContent(xml));
    return document;
}

QString flat(int children)
{
    QString xml;
    for (int i = 0; i < children; ++i)
        xml += QStringLiteral("<c n='%1'/>").arg(i);
    return "<r>" + xml + "</r>";
}

int gone = 0; // Counted items destroyed

struct Counted : DomItem
{
    using DomItem::DomItem;
    ~Counted() override { ++gone; }
};

// Files an item for every node below `item`, as a derived model would.
void fileAll(DomItem *item)
{
    for (QDomNode node = item->node().firstChild(); !node.isNull(); node = node.nextSibling()) {
        auto *child = new Counted(node, item->childItems.size(), item);
        item->childItems.insert(child->row(), child);
        fileAll(child);
    }
}

} // namespace

TEST(DomItem, OwnsWhatIsFiledAndCopiesShareIt)
{
    QDomDocument document = parse(sample);
    QDomElement element = document.documentElement();
    gone = 0;
    auto *root = new DomItem(element, 0, nullptr);
    for (int i : { 0, -1, 1 << 30 })
        EXPECT_EQ(root->child(i), nullptr);
    EXPECT_TRUE(root->childItems.isEmpty());
    fileAll(root);
    {
        DomItem copy(*root);
        DomItem target(element, 0, nullptr);
        target = copy;
        EXPECT_EQ(target.child(5)->child(0), root->child(5)->child(0));
    }
    EXPECT_EQ(gone, 0);
    delete root;
    EXPECT_EQ(gone, 11);
    EXPECT_EQ(document.documentElement().childNodes().size(), 6); // the nodes stay
}

TEST(DomModel, ShapeNoContentAndReset)
{
    QDomDocument document = parse(sample);
    DomModel model(document);
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_FALSE(model.index(0, 0).isValid()); // rows, but no items filed
    gone = 0;
    fileAll(model.rootItem);
    {
        QAbstractItemModelTester tester(&model, fatal);
        const QModelIndex g = model.index(0, 0, model.index(5, 0));
        const QModelIndex h = model.index(0, 1, g);
        EXPECT_EQ(static_cast<DomItem *>(h.internalPointer())->node().nodeName(), "h");
        EXPECT_EQ(model.parent(h), g);
        EXPECT_EQ(model.flags(h), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        EXPECT_FALSE(model.data(h).isValid() || model.headerData(0, Qt::Horizontal).isValid());
        EXPECT_FALSE(model.setData(h, 1));
    }
    document.documentElement().appendChild(document.createElement("n"));
    EXPECT_EQ(model.rowCount(), 7); // read afresh
    // Views may still read the old items when the reset is announced.
    int goneWhenAnnounced = -1;
    QObject::connect(
        &model, &QAbstractItemModel::modelAboutToBeReset, [&] { goneWhenAnnounced = gone; });
    model.setDocument(document);
    EXPECT_EQ(goneWhenAnnounced, 0);
    EXPECT_EQ(gone, 11);
}

TEST(DomTreeModel, PassesTheTesterAndRefreshes)
{
    for (const auto &[xml, elementRow] : { std::pair(flat(3000), 0), std::pair(prolog, 2) }) {
        QDomDocument document = parse(xml);
        DomTreeModel model(document);
        QAbstractItemModelTester tester(&model, fatal);
        const QModelIndex element = model.index(elementRow, 0);
        EXPECT_EQ(model.node(element), document.documentElement());
        const int rows = model.rowCount(element);
        document.documentElement().appendChild(document.createElement("late"));
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.refresh();
        EXPECT_EQ(reset.count(), 1);
        EXPECT_EQ(model.data(model.index(rows, 0, model.index(elementRow, 0))), "late");
    }
}

TEST(DomTreeModel, RowsReachEveryNode)
{
    QDomDocument document = parse(prolog);
    DomTreeModel model(document);
    QStringList top;
    for (int row = 0; row < model.rowCount(); ++row)
        top << model.data(model.index(row, 0)).toString() + "|"
                + model.data(model.index(row, 1)).toString();
    EXPECT_EQ(top,
        QStringList({ "xml|version='1.0'", "#comment|before",
            R"(book|owner="Zarnet" q="&quot;&amp;")", "after|x" }));
    const QModelIndex book = model.index(2, 0), text = model.index(0, 1, book);
    EXPECT_EQ(model.data(text), "some text");
    EXPECT_EQ(model.data(text, Qt::ToolTipRole), "\n  some\n  text ");
    EXPECT_EQ(model.data(book, Qt::ToolTipRole), "Element, line 3");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole), "Value");
    EXPECT_TRUE(model.hasChildren(book) && !model.hasChildren(text.siblingAtColumn(0)));
    EXPECT_FALSE(model.index(0, 2, book).isValid() || model.hasChildren(text));
    EXPECT_EQ(qobject_cast<DomTreeModel *>(static_cast<QObject *>(&model)), &model);
    EXPECT_STREQ(model.metaObject()->className(), "DomTreeModel");
    document.documentElement().firstChild().setNodeValue(QString(300, 'w'));
    model.refresh();
    EXPECT_EQ(model.data(model.index(0, 1, model.index(2, 0))), QString(200, 'w') + "...");
}

TEST(DomTreeModel, ViewJumpsToTheLastOf20000Rows)
{
    int argc = 1;
    char name[] = "test_model", *argv[] = { name, nullptr };
    QApplication app(argc, argv);
    QDomDocument document = parse(flat(20000));
    DomTreeModel model(document);
    QTreeView view;
    view.setModel(&model);
    view.expand(model.index(0, 0));
    view.show();
    view.setCurrentIndex(model.index(0, 0));
    QTest::keyClick(&view, Qt::Key_End);
    const QModelIndex last = model.index(19999, 0, model.index(0, 0));
    EXPECT_EQ(view.currentIndex(), last);
    EXPECT_EQ(view.indexAt(view.visualRect(last).center()), last);
}
