// SPDX-License-Identifier: MIT
// Node queries and string output: child and attribute lookups through cursor
// handles, releasing handles, and doc_to_string.
#include "Api.h"

#include "XmlManager.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace {

const char kXml[] = "<r>t1<a k='v'><b/>t2<c/></a><?pi d?><!--n--><a k='w'/></r>";

// Handles the library holds: a released handle's value may come back for the
// next one, so a release shows only here.
std::size_t held()
{
    return XmlManager::instance().cursors().queryCount();
}

// The names get_next_child_node hands out from parent until none is left.
std::string children(int id, void *parent)
{
    std::string names;
    void *child = nullptr;
    for (int i = 0; i < 10; ++i) {
        char *name = reinterpret_cast<char *>(&names);
        EXPECT_EQ(gen__qtxmlif_get_next_child_node(id, parent, &name, &child), 0);
        names += (child ? take(name) : name ? "not null" : "-") + (child ? " " : "");
        if (!child)
            break;
    }
    return names;
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
    void *root = nullptr, *first = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), 0);
    const std::size_t before = held();
    EXPECT_EQ(children(id, root), "a pi #comment a -");
    EXPECT_EQ(held(), before) << "each query released the child variable's handle";
    EXPECT_EQ(children(id, root), "-") << "the parent is done";

    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), 0);
    EXPECT_EQ(next(id), "<r:0");
    ASSERT_EQ(gen__qtxmlif_get_next_child_node(id, root, nullptr, &first), 0);
    EXPECT_EQ(attribute(id, first, "k"), "0 found v");
    ASSERT_EQ(gen__qtxmlif_get_next_child_node(id, first, nullptr, nullptr), 0);
    EXPECT_EQ(held(), before + 1) << "no child variable: the handle on b went at once";
    EXPECT_EQ(children(id, first), "c -") << "a query handle iterates on its own";
    EXPECT_EQ(next(id), "<a:1") << "the walk goes on after the query";
    gen__qtxmlif_delete_node(&first);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(held(), before);
}

// Disabled until the walk numbers the elements a query took from it: today it
// delivers the attributes of the element the query took (k=v).
TEST_F(Api, AfterAQueryTookAChildTheWalkDeliversTheNextElementsAttributes)
{
    const int id = load(kXml);
    void *root = nullptr, *first = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), 0);
    EXPECT_EQ(next(id), "<r:0");
    ASSERT_EQ(gen__qtxmlif_get_next_child_node(id, root, nullptr, &first), 0);
    const std::string entity = next(id);
    EXPECT_EQ(entity + " " + next(id), "<a:1 @k=w:1");
    gen__qtxmlif_delete_node(&first);
    // The same when the query takes the last child of an element the walk is
    // in; two attributes, as a record found wrong is rebuilt sorted by name.
    const int other = load("<r><a k='v'><b/><c/></a><a z='1' k='w'/></r>");
    void *a = nullptr, *c = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(other, "a", &a), 0);
    const auto three = [other] {
        std::string entities = next(other);
        for (int i = 0; i < 2; ++i)
            entities += " " + next(other);
        return entities;
    };
    EXPECT_EQ(three(), "@k=v:1 <b:2 </b:2");
    ASSERT_EQ(gen__qtxmlif_get_next_child_node(other, a, nullptr, &c), 0);
    EXPECT_EQ(three(), "</a:1 <a:1 @z=1:1");
    gen__qtxmlif_delete_node(&c);
}

TEST_F(Api, NamedQueries)
{
    const int id = load(kXml);
    void *root = nullptr, *a = nullptr, *c = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), 0);
    const std::pair<const char *, const char *> cases[] = { { "a", "1 0 found v" }, { "A", "-1" },
        { "pi", "1 0 missing " }, { "#comment", "1 0 missing " }, { "t1", "-1" } };
    for (const auto &[name, expected] : cases) {
        int depth = 9;
        EXPECT_EQ(gen__qtxmlif_get_named_child_node(id, root, name, &a, &depth), 0);
        EXPECT_EQ(std::to_string(depth) + (a ? " " + attribute(id, a, "k") : ""), expected) << name;
    }
    int depth = 9;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, root, "a", &a, nullptr), 0);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, a, "c", &c, &depth), 0);
    EXPECT_EQ(depth, 2);
    EXPECT_EQ(attribute(id, a, "x") + "," + attribute(id, c, "k"), "0 missing ,0 missing ");
    gen__qtxmlif_delete_node(&c);

    // A prefixed name is found under its whole name.
    const int ns = load("<n:r xmlns:n='urn:n'><n:a n:k='v'/></n:r>");
    ASSERT_EQ(gen__qtxmlif_begin_traversion(ns, nullptr, &root), 0);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(ns, root, "n:a", &a, &depth), 0);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(attribute(ns, a, "n:k") + "," + attribute(ns, a, "m:k"), "0 found v,0 missing ");
    gen__qtxmlif_delete_node(&a);
}

TEST_F(Api, ReleasingHandlesAndDeletingTheirDocument)
{
    const int id = load(kXml);
    void *root = nullptr, *first = nullptr, *second = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &root), 0);
    const std::size_t before = held();
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, root, "a", &first, nullptr), 0);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, root, "pi", &second, nullptr), 0);
    void *walk = root, *madeUp = &walk;
    gen__qtxmlif_delete_node(&walk);
    EXPECT_EQ(walk, root) << "a walk's handle is not the caller's to release";
    gen__qtxmlif_delete_node(&madeUp);
    EXPECT_EQ(madeUp, &walk);
    gen__qtxmlif_delete_node(&first);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(held(), before + 1);

    EXPECT_EQ(gen__qtxmlif_del_document(id), 0) << "after one of its handles was released";
    EXPECT_EQ(takeRecords(), Records {});
    EXPECT_EQ(gen__qtxmlif_get_named_attribute(id, second, "k", nullptr, nullptr), 14601);
    gen__qtxmlif_delete_node(&second);

    // A handle found with another document's ID belongs to its parent's document.
    const int other = load(kXml), mine = doc();
    ASSERT_EQ(gen__qtxmlif_begin_traversion(other, nullptr, &root), 0);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(other, root, "a", &first, nullptr), 0);
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(mine, first, "c", &second, nullptr), 0);
    EXPECT_EQ(attribute(mine, second, "k"), "0 missing ");
    ASSERT_EQ(gen__qtxmlif_del_document(other), 0);
    EXPECT_EQ(gen__qtxmlif_get_named_attribute(mine, second, "k", nullptr, nullptr), 14601);
    gen__qtxmlif_delete_node(&first);
    gen__qtxmlif_delete_node(&second);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(held(), before);
}

TEST_F(Api, DocToString)
{
    const int built = doc("r");
    ASSERT_EQ(gen__qtxmlif_add_node("a") + gen__qtxmlif_open_level(), 0);
    ASSERT_EQ(gen__qtxmlif_add_attr("k", "v") + gen__qtxmlif_add_text("t"), 0);
    QString string = QStringLiteral("previous");
    ASSERT_EQ(gen__qtxmlif_doc_to_string(built, &string), 0);
    EXPECT_EQ(string.toStdString(), "<r>\n  <a k=\"v\">t</a>\n</r>\n");
    EXPECT_EQ(text(load("<?xml version='1.0' encoding='ISO-8859-1'?>\n<r>\xe9</r>")),
        "<?xml version='1.0' encoding='ISO-8859-1'?>\n<r>\xc3\xa9</r>\n");
}

} // namespace

// Attributes are found and replaced by their whole name only, and handles
// never stand for another handle's cursor.
namespace {

struct Lookup
{
    const char *xml;
    const char *asked;
    const char *expected; // status, found or missing, value
};

void PrintTo(const Lookup &c, std::ostream *out)
{
    *out << c.asked << " in " << c.xml;
}

class NamedAttribute : public Api, public ::testing::WithParamInterface<Lookup>
{
};

// "status found|missing value" of an attribute read through a handle.
std::string read(int id, void *handle, const char *name)
{
    char *value = nullptr;
    bool found = false;
    const int status = gen__qtxmlif_get_named_attribute(id, handle, name, &value, &found);
    return std::to_string(status) + (found ? " found " : " missing ") + (value ? take(value) : "");
}

void *rootHandle(int id)
{
    void *handle = nullptr;
    EXPECT_EQ(gen__qtxmlif_begin_traversion(id, nullptr, &handle), GEN_QTXMLIF_OK);
    return handle;
}

} // namespace

TEST_P(NamedAttribute, ComparesTheWholeName)
{
    const Lookup &c = GetParam();
    const int id = load(c.xml);
    EXPECT_EQ(read(id, rootHandle(id), c.asked), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Loaded, NamedAttribute,
    ::testing::Values(Lookup { "<svg version='1.1' xmlns:ink='urn:i' ink:version='0.92'/>",
                          "version", "0 found 1.1" },
        Lookup { "<svg xmlns:ink='urn:i' ink:version='0.92' version='1.1'/>", "ink:version",
            "0 found 0.92" },
        Lookup { "<a xmlns:x='urn:x' x:k='v'/>", "k", "0 missing " },
        Lookup { "<a xmlns:x='urn:x' x:k='v'/>", "x:k", "0 found v" }));

TEST_F(Api, AddAttrReplacesByTheWholeNameOnly)
{
    // Loaded: a plain "version" joins "ink:version"; built: "x:k" and "k".
    const int loaded = load("<svg xmlns:ink='urn:i' ink:version='0.92'/>");
    ASSERT_EQ(gen__qtxmlif_add_attr("version", "2"), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("ink:version", "0.93"), GEN_QTXMLIF_OK);
    const int built = doc("a");
    for (const char *name : { "x:k", "k", "x:k" })
        ASSERT_EQ(gen__qtxmlif_add_attr(name, name), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_add_attr("k", "2"), GEN_QTXMLIF_OK);
    void *svg = rootHandle(loaded);
    EXPECT_EQ(read(loaded, svg, "version"), "0 found 2");
    EXPECT_EQ(read(loaded, svg, "ink:version"), "0 found 0.93");
    void *a = rootHandle(built);
    EXPECT_EQ(read(built, a, "x:k"), "0 found x:k");
    EXPECT_EQ(read(built, a, "k"), "0 found 2");
    const std::string attributes = walk(built);
    EXPECT_EQ(std::count(attributes.begin(), attributes.end(), '@'), 2) << attributes;
}

TEST_F(Api, ReleasedHandlesNeverFindTheirSuccessors)
{
    const int id = load("<a k='a'><b k='b'/></a>");
    void *walk = rootHandle(id);
    void *query = nullptr;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, walk, "b", &query, nullptr), GEN_QTXMLIF_OK);
    void *const released = query;
    gen__qtxmlif_delete_node(&query);
    void *b = nullptr;
    ASSERT_EQ(gen__qtxmlif_get_named_child_node(id, walk, "b", &b, nullptr), GEN_QTXMLIF_OK);
    ASSERT_EQ(gen__qtxmlif_end_traversion(id), GEN_QTXMLIF_OK);
    void *const newWalk = rootHandle(id);
    for (void *stale : { released, walk }) {
        EXPECT_EQ(read(id, stale, "k"), "14601 missing ");
        EXPECT_EQ(takeRecords(), (Records { "A:((unsigned int)(node_ptr) > 1000)", "!" }));
        char *name = nullptr;
        void *child = nullptr;
        EXPECT_EQ(gen__qtxmlif_get_next_child_node(id, stale, &name, &child), GEN_QTXMLIF_EINVAL);
        EXPECT_EQ(child, nullptr);
        EXPECT_EQ(takeRecords(), (Records { "A:isLiveHandle(parent)", "!" }));
    }
    // Releasing the stale value again leaves the live handles alone.
    void *again = released;
    gen__qtxmlif_delete_node(&again);
    EXPECT_EQ(again, released);
    EXPECT_EQ(read(id, b, "k"), "0 found b");
    EXPECT_EQ(read(id, newWalk, "k"), "0 found a");
    gen__qtxmlif_delete_node(&b);
}
