// SPDX-License-Identifier: MIT
// Attributes are found and replaced by their whole name only, and handles
// never stand for another handle's cursor.
#include "Api.h"

#include <algorithm>

#include <ostream>
#include <string>

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
