// SPDX-License-Identifier: MIT
// Node queries and string output: child and attribute lookups through cursor
// handles, releasing handles, and doc_to_string.
#include "Api.h"

#include "XmlManager.h"

namespace {

const char kXml[] = "<r>t1<a k='v'><b/>t2<c/></a><?pi d?><!--n--><a k='w'/></r>";

// Handles held by the library; a released handle's value may come back for
// the next one, so a release shows only in this count.
std::size_t heldHandles()
{
    return XmlManager::instance().cursors().queryCount();
}

// The names get_next_child_node hands out from parent until none is left.
std::string children(int id, void *parent)
{
    std::string names;
    void *child = nullptr;
    for (int i = 0; i < 10; ++i) {
        char *name = reinterpret_cast<char *>(7777);
        EXPECT_EQ(gen__qtxmlif_get_next_child_node(id, parent, &name, &child), 0);
        if (!child) {
            EXPECT_EQ(name, nullptr);
            break;
        }
        names += take(name) + " ";
    }
    return names + "-";
}

std::string attribute(int id, void *node, const char *name)
{
    char *value = nullptr;
    bool found = false;
    const int status = gen__qtxmlif_get_named_attribute(id, node, name, &value, &found);
    return std::to_string(status) + (found ? " found " : " missing ") + take(value);
}

TEST_F(Api, NextChildQueriesSkipTextAndShareTheWalksPosition)
{
    const int id = load(kXml);
    void *root = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), 0);
    const std::size_t held = heldHandles();
    EXPECT_EQ(children(id, root), "a pi #comment a -");
    EXPECT_EQ(heldHandles(), held) << "each child variable's handle released by the next query";
    EXPECT_EQ(children(id, root), "-") << "the parent is done";

    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), 0);
    EXPECT_EQ(next(id), "<r:0");
    void *first = nullptr;
    ASSERT_EQ(gen__qtxmlif_get_next_child_node(id, root, nullptr, &first), 0);
    EXPECT_EQ(attribute(id, first, "k"), "0 found v");
    EXPECT_EQ(children(id, first), "b c -") << "a query handle iterates on its own";
    EXPECT_EQ(next(id), "<a:1") << "the walk goes on after the child the query took";
    EXPECT_EQ(next(id), "@k=w:1");

    ASSERT_EQ(gen__qtxmlif_get_next_child_node(id, root, nullptr, nullptr), 0);
    EXPECT_EQ(heldHandles(), held + 1) << "no child variable: the new handle goes at once";
    gen__qtxmlif_delete_node(&first);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(heldHandles(), held);
}

TEST_F(Api, NamedQueries)
{
    const int id = load(kXml);
    void *root = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), 0);
    const struct
    {
        const char *name;
        int depth;
        const char *k;
    } cases[] = { { "a", 1, "0 found v" }, { "A", -1, "" }, { "pi", 1, "0 missing " },
        { "#comment", 1, "0 missing " }, { "t1", -1, "" } };
    for (const auto &c : cases) {
        void *child = nullptr;
        int depth = 9;
        EXPECT_EQ(gen__qtxmlif_get_named_child_node(id, root, c.name, &child, &depth), 0);
        EXPECT_EQ(depth, c.depth) << c.name;
        EXPECT_EQ(child ? attribute(id, child, "k") : "", c.k) << c.name;
        gen__qtxmlif_delete_node(&child);
    }
    void *a = nullptr, *c = nullptr;
    int depth = 9;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, root, "a", &a, nullptr), 0);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, a, "c", &c, &depth), 0);
    EXPECT_EQ(depth, 2);
    EXPECT_EQ(attribute(id, a, "x"), "0 missing ");
    EXPECT_EQ(attribute(id, c, "k"), "0 missing ");
    gen__qtxmlif_delete_node(&a);
    gen__qtxmlif_delete_node(&c);

    // A prefixed name is found under its whole name.
    const int ns = load("<n:r xmlns:n='urn:n'><n:a n:k='v'/></n:r>");
    ASSERT_EQ(gen__qtxmlif_begin_traversion(ns, nullptr, &root), 0);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(ns, root, "n:a", &a, &depth), 0);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(attribute(ns, a, "n:k"), "0 found v");
    EXPECT_EQ(attribute(ns, a, "m:k"), "0 missing ");
    gen__qtxmlif_delete_node(&a);
}

TEST_F(Api, ReleasingHandlesAndDeletingTheirDocument)
{
    const int id = load(kXml);
    void *root = nullptr, *first = nullptr, *second = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), 0);
    const std::size_t held = heldHandles();
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, root, "a", &first, nullptr), 0);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, root, "pi", &second, nullptr), 0);
    void *walkHandle = root;
    gen__qtxmlif_delete_node(&walkHandle);
    EXPECT_EQ(walkHandle, root) << "a walk's handle is not the caller's to release";
    void *made_up = reinterpret_cast<void *>(5555);
    gen__qtxmlif_delete_node(&made_up);
    EXPECT_EQ(made_up, reinterpret_cast<void *>(5555));
    gen__qtxmlif_delete_node(&first);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(heldHandles(), held + 1);

    EXPECT_EQ(gen__qtxmlif_del_document(id), 0);
    EXPECT_EQ(takeRecords(), Records {});
    EXPECT_EQ(
        gen__qtxmlif_get_named_attribute(id, second, "k", nullptr, nullptr), GEN_QTXMLIF_EINVAL);
    gen__qtxmlif_delete_node(&second);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(heldHandles(), held);
}

TEST_F(Api, DocToString)
{
    const int built = doc("r");
    ASSERT_EQ(gen__qtxmlif_add_node("a"), 0);
    ASSERT_EQ(gen__qtxmlif_open_level(), 0);
    ASSERT_EQ(gen__qtxmlif_add_attr("k", "v"), 0);
    ASSERT_EQ(gen__qtxmlif_add_text("t"), 0);
    QString string = QStringLiteral("previous");
    ASSERT_EQ(gen__qtxmlif_doc_to_string(built, &string), 0);
    EXPECT_EQ(string.toStdString(), "<r>\n  <a k=\"v\">t</a>\n</r>\n");
    const int loaded = load("<?xml version='1.0' encoding='ISO-8859-1'?>\n<r>\xe9</r>");
    EXPECT_EQ(text(loaded), "<?xml version='1.0' encoding='ISO-8859-1'?>\n<r>\xc3\xa9</r>\n");
}

} // namespace
