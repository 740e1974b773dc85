#include "DomTreeItem.h"
#include "DomTreeModel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

const QString sample = QStringLiteral("<library name='city'>\n"
                                      "  <!-- opening hours vary -->\n"
                                      "  <shelf id='s1' topic='rock &amp; &quot;roll&quot;'>\n"
                                      "    <book year='1969'>Abbey Road</book>\n"
                                      "    <book><title>Let It Be</title><?sort later?></book>\n"
                                      "  </shelf>\n"
                                      "  <shelf id='s2'/>\n"
                                      "  closing remark\n"
                                      "</library>");

QDomDocument parse(const QString &xml)
{
    QDomDocument document;
    EXPECT_TRUE(document.setContent(xml));
    return document;
}

QStringList row(const QAbstractItemModel &model, const QModelIndex &index)
{
    return { model.data(index.siblingAtColumn(0)).toString(),
        model.data(index.siblingAtColumn(1)).toString() };
}

} // namespace

TEST(DomTreeItem, MakesEachChildOnceAndOwnsIt)
{
    QDomDocument document = parse(sample);
    QDomNode element = document.documentElement();
    DomTreeItem root(element, 0, nullptr);
    const int count = element.childNodes().count();
    ASSERT_EQ(count, 4);
    DomItem *shelf = root.child(1);
    ASSERT_NE(shelf, nullptr);
    EXPECT_EQ(shelf->parent(), &root);
    EXPECT_EQ(shelf->row(), 1);
    EXPECT_EQ(shelf->node(), element.childNodes().item(1));
    EXPECT_EQ(root.child(1), shelf);
    EXPECT_EQ(root.child(-1), nullptr);
    EXPECT_EQ(root.child(count), nullptr);
    EXPECT_EQ(root.childItems.size(), 1);

    DomItem *title = shelf->child(1)->child(0);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->node().nodeName(), QStringLiteral("title"));
    EXPECT_EQ(title->parent()->parent(), shelf);
}

TEST(DomTreeModel, CellsAndHeaders)
{
    QDomDocument document = parse(sample);
    DomTreeModel model(document);
    const QModelIndex shelf = model.index(1, 0);
    const QModelIndex book = model.index(0, 0, shelf);
    EXPECT_EQ(row(model, model.index(0, 0)),
        QStringList({ QStringLiteral("#comment"), QStringLiteral(" opening hours vary ") }));
    EXPECT_EQ(row(model, shelf),
        QStringList({ QStringLiteral("shelf"),
            QStringLiteral("id=\"s1\" topic=\"rock &amp; &quot;roll&quot;\"") }));
    EXPECT_EQ(row(model, model.index(0, 0, book)),
        QStringList({ QStringLiteral("#text"), QStringLiteral("Abbey Road") }));
    EXPECT_EQ(row(model, model.index(1, 0, model.index(1, 0, shelf))),
        QStringList({ QStringLiteral("sort"), QStringLiteral("later") }));
    EXPECT_EQ(row(model, model.index(2, 0)),
        QStringList({ QStringLiteral("shelf"), QStringLiteral("id=\"s2\"") }));
    EXPECT_EQ(
        model.data(model.index(0, 0, model.index(1, 0, shelf)).siblingAtColumn(1)), QString());
    EXPECT_FALSE(model.data(shelf, Qt::EditRole).isValid());
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
    EXPECT_FALSE(model.headerData(2, Qt::Horizontal).isValid());
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());
    EXPECT_FALSE(model.flags(shelf) & Qt::ItemIsEditable);
}

TEST(DomTreeModel, PassesTheModelTester)
{
    QDomDocument document = parse(sample);
    DomTreeModel model(document);
    {
        // Fatal mode: any finding aborts the test program.
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QDomDocument other = parse(QStringLiteral("<a><b c='d'>e<f/></b><!--g--></a>"));
        model.setDocument(other);
        other.documentElement().appendChild(other.createElement(QStringLiteral("late")));
        EXPECT_EQ(model.data(model.index(2, 0)).toString(), QStringLiteral("late"));
    }
    QDomDocument empty;
    model.setDocument(empty);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(DomTreeModel, TreeViewShowsEveryNode)
{
    QDomDocument document = parse(sample);
    DomTreeModel model(document);
    QTreeView view;
    view.setModel(&model);
    view.resize(400, 300);
    view.show();
    view.expandAll();

    QStringList seen;
    for (QModelIndex index = model.index(0, 0); index.isValid(); index = view.indexBelow(index)) {
        EXPECT_FALSE(view.visualRect(index).isEmpty());
        seen << model.data(index).toString();
    }
    EXPECT_EQ(seen,
        QStringList({ "#comment", "shelf", "book", "#text", "book", "title", "#text", "sort",
            "shelf", "#text" }));
    EXPECT_EQ(
        view.header()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
