// SPDX-License-Identifier: MIT
// The rules every exported function keeps, one table row per call: unknown
// document IDs, pointers at or below 1000 read as not given, the record each
// failure writes (and the failures that write none), which calls move the
// working document, the entry values of out-parameters, and running out of
// memory. A new function gets these checks by adding rows.
#include "Api.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>

namespace {

constexpr int kUnknown = 999999;
const std::string kNotFound = "E:XML document ID 999999 not found";
const Records kName { "A:!((node_name) ? (node_name)[0]=='\\0' : true)", "!" };
const Records kText { "A:!((text_val) ? (text_val)[0]=='\\0' : true)", "!" };
const Records kPath { "A:!((file_path) ? (file_path)[0]=='\\0' : true)", "!" };
const Records kRefused { "A:result == true", "!" };
const Records kNoDocument { "A:xmlManager.documentExist( doc_id )", "!" };
const Records kRemoved { "A:removedDocID == doc_id", "!" };
const Records kHeld { "A:(*child != parent) && !isTraversalHandle(*child)", "!" };
const Records kNoHandle { "A:((unsigned int)(node_ptr) > 1000)", "!" };

// A pointer value that counts as not given.
template<typename T>
T *low()
{
    return reinterpret_cast<T *>(std::uintptr_t(1000));
}

} // namespace

// Document "a" is working and still being built; document "b" (<b><c k="v"/></b>)
// has a walk standing before its root, and a query handle on c.
struct Ctx
{
    explicit Ctx(const std::string &folder)
        : dir(folder)
    {
    }
    std::string dir, bad = dir + "bad.xml", good = dir + "good.xml", saved = dir + "s.xml";
    int a = -1, b = -1, id = 9, depth = 9;
    void *walk = nullptr, *query = nullptr, *child = nullptr;
    char *name = nullptr, *value = nullptr;
    bool found = false;
    QString string;
};

struct Call
{
    const char *what;
    std::function<int(Ctx &)> call;
    int status;
    Records records;
    const char *working; // see Api::working()
};

#define CALL(expression) []([[maybe_unused]] Ctx &c) { return int(expression); }

const Call kCalls[] = {
    { "add_document", CALL(gen__qtxmlif_add_document(&c.id, nullptr)), 0, {}, "root" },
    { "add_document low", CALL(gen__qtxmlif_add_document(low<int>(), low<char>())), 0, {}, "root" },
    { "set_working_document", CALL((gen__qtxmlif_set_working_document(c.b), 0)), 0, {}, "w" },
    { "set_working_document -1", CALL((gen__qtxmlif_set_working_document(-1), 0)), 0, {}, "-" },
    { "set_working_document ?", CALL((gen__qtxmlif_set_working_document(kUnknown), 0)), 0, {},
        "-" },
    { "del_document ?", CALL(gen__qtxmlif_del_document(kUnknown)), 14603, kRemoved, "a" },
    { "del_document 0", CALL(gen__qtxmlif_del_document(0)), 14603, kRemoved, "a" },
    { "del_document -1", CALL(gen__qtxmlif_del_document(-1)), 0, {}, "a" },
    { "del_document", CALL(gen__qtxmlif_del_document(c.b)), 0, {}, "-" },
    { "document_exist -1", CALL(gen__qtxmlif_document_exist(-1)), 0, { "A:doc_id >= 0", "!" },
        "a" },
    { "document_exist ?", CALL(gen__qtxmlif_document_exist(kUnknown)), 0, {}, "a" },
    { "document_exist", CALL(gen__qtxmlif_document_exist(c.b)), 1, {}, "a" },
    { "add_node null", CALL(gen__qtxmlif_add_node(nullptr)), 14601, kName, "a" },
    { "add_node low", CALL(gen__qtxmlif_add_node(low<char>())), 14601, kName, "a" },
    { "open_node low", CALL(gen__qtxmlif_open_node(low<char>())), 14601, kName, "a" },
    { "add_attr low", CALL(gen__qtxmlif_add_attr(low<char>(), "v")), 14601,
        { "A:!((attr_name) ? (attr_name)[0]=='\\0' : true)", "!" }, "a" },
    { "add_attr value low", CALL(gen__qtxmlif_add_attr("k", low<char>())), 0, {}, "a" },
    { "add_text low", CALL(gen__qtxmlif_add_text(low<char>())), 14601, kText, "a" },
    { "add_text empty", CALL(gen__qtxmlif_add_text("")), 14601, kText, "a" },
    { "close_level at the bottom", CALL(gen__qtxmlif_close_level()), 14601, kRefused, "a" },
    { "close_level via close_node at the bottom", CALL(gen__qtxmlif_close_node()), 14601, kRefused,
        "a" },
    { "add_node, no working document",
        CALL((gen__qtxmlif_set_working_document(-1), gen__qtxmlif_add_node("x"))), 14603,
        kNoDocument, "-" },
    { "begin_traversion ?", CALL(gen__qtxmlif_begin_traversion(kUnknown, nullptr, &c.child)), 14606,
        { kNotFound }, "a" },
    { "begin_traversion low", CALL(gen__qtxmlif_begin_traversion(c.b, low<char>(), low<void *>())),
        0, {}, "w" },
    { "begin_traversion no such element", CALL(gen__qtxmlif_begin_traversion(c.b, "z", &c.child)),
        14601, {}, "w" },
    { "get_next_entity ?",
        CALL(gen__qtxmlif_get_next_entity(kUnknown, nullptr, nullptr, nullptr, nullptr, nullptr)),
        14606, { kNotFound }, "a" },
    { "get_next_entity low",
        CALL(gen__qtxmlif_get_next_entity(
            c.b, low<int>(), low<char *>(), low<char *>(), low<int>(), low<bool>())),
        0, {}, "w" },
    { "get_next_entity",
        CALL(gen__qtxmlif_get_next_entity(c.b, &c.id, &c.name, &c.value, &c.depth, &c.found)), 0,
        {}, "w" },
    { "end_traversion ?", CALL(gen__qtxmlif_end_traversion(kUnknown)), 14606, { kNotFound }, "a" },
    { "end_traversion", CALL(gen__qtxmlif_end_traversion(c.b)), 0, {}, "w" },
    { "get_next_child_node ?",
        CALL(gen__qtxmlif_get_next_child_node(kUnknown, c.walk, &c.name, &c.child)), 14606,
        { kNotFound }, "a" },
    { "get_next_child_node low",
        CALL(gen__qtxmlif_get_next_child_node(c.b, c.walk, low<char *>(), low<void *>())), 0, {},
        "w" },
    { "get_next_child_node", CALL(gen__qtxmlif_get_next_child_node(c.b, c.walk, &c.name, &c.child)),
        0, {}, "w" },
    { "get_next_child_node, child holds the parent",
        CALL(gen__qtxmlif_get_next_child_node(c.b, c.query, &c.name, &(c.child = c.query))), 14601,
        kHeld, "a" },
    { "get_named_child_node ?",
        CALL(gen__qtxmlif_get_named_child_node(kUnknown, c.walk, "c", &c.child, &c.depth)), 14606,
        { kNotFound }, "a" },
    { "get_named_child_node, name low",
        CALL(gen__qtxmlif_get_named_child_node(c.b, c.walk, low<char>(), &c.child, &c.depth)), 0,
        {}, "a" },
    { "get_named_child_node low",
        CALL(gen__qtxmlif_get_named_child_node(c.b, c.walk, "c", low<void *>(), low<int>())), 0, {},
        "w" },
    { "get_named_child_node, child holds the walk",
        CALL(gen__qtxmlif_get_named_child_node(c.b, c.query, "c", &(c.child = c.walk), nullptr)),
        14601, kHeld, "a" },
    { "get_named_attribute, handle low",
        CALL(gen__qtxmlif_get_named_attribute(c.b, low<void>(), "k", &c.name, &c.found)), 14601,
        kNoHandle, "a" },
    { "get_named_attribute ?",
        CALL(gen__qtxmlif_get_named_attribute(kUnknown, c.query, "k", &c.name, &c.found)), 14606,
        { kNotFound }, "a" },
    { "get_named_attribute low",
        CALL(gen__qtxmlif_get_named_attribute(
            c.b, c.query, low<char>(), low<char *>(), low<bool>())),
        0, {}, "w" },
    { "get_named_attribute",
        CALL(gen__qtxmlif_get_named_attribute(c.b, c.query, "k", &c.name, &c.found)), 0, {}, "w" },
    { "delete_node null", CALL((gen__qtxmlif_delete_node(nullptr), 0)), 0, {}, "a" },
    { "delete_node low", CALL((gen__qtxmlif_delete_node(low<void *>()), 0)), 0, {}, "a" },
    { "doc_to_string low", CALL(gen__qtxmlif_doc_to_string(c.b, low<QString>())), 14601,
        { "A:((unsigned int)(qstring_ptr) > 1000)", "!" }, "a" },
    { "doc_to_string ?", CALL(gen__qtxmlif_doc_to_string(kUnknown, &c.string)), 14606,
        { kNotFound }, "a" },
    { "doc_to_string", CALL(gen__qtxmlif_doc_to_string(c.b, &c.string)), 0, {}, "a" },
    { "load low", CALL(gen__qtxmlif_load(low<char>(), &c.id)), 14603, kPath, "a" },
    { "load missing", CALL(gen__qtxmlif_load("/nonexistent/z.xml", &c.id)), 14603,
        { "E:Unable to find document: /nonexistent/z.xml" }, "a" },
    { "load unreadable", CALL(gen__qtxmlif_load("/", &c.id)), 14604,
        { "E:Unable to open document: /" }, "a" },
    { "load ill-formed", CALL(gen__qtxmlif_load(c.bad.c_str(), &c.id)), 14605,
        { "E:XML document syntax error in file: %D/bad.xml\nError found in line 2, column 7.\n" },
        "-" },
    { "load low", CALL(gen__qtxmlif_load(c.good.c_str(), low<int>())), 0, {}, "l" },
    { "save ?", CALL(gen__qtxmlif_save(kUnknown, c.saved.c_str())), 14606, { kNotFound }, "a" },
    { "save low", CALL(gen__qtxmlif_save(c.b, low<char>())), 14607,
        { "E:Unable to open file for saving : " }, "a" },
    { "save", CALL(gen__qtxmlif_save(c.b, c.saved.c_str())), 0, {}, "a" },
};

using Contract = Table<Call>;

// Each call as it is, then with each of its first allocations and with its
// first string copy failing: that costs 14601 (false or nothing for functions
// without a status) and one record, and leaves the library working.
TEST_P(Contract, StatusRecordsWorkingDocumentAndOutOfMemory)
{
    const std::string what = GetParam().what, function = what.substr(0, what.find_first_of(" ,"));
    for (int n = -1; n < 4; ++n) { // n == 3: the first string copy fails
        Ctx c(path(""));
        writeFile(c.bad, "<l>\n<m></l>");
        writeFile(c.good, "<l/>");
        c.b = doc("b");
        ASSERT_EQ(gen__qtxmlif_open_node("c") + gen__qtxmlif_add_attr("k", "v"), 0);
        ASSERT_EQ(gen__qtxmlif_begin_traversion(c.b, nullptr, &c.walk), 0);
        ASSERT_EQ(gen__qtxmlif_get_named_child_node(c.b, c.walk, "c", &c.query, nullptr), 0);
        c.a = doc("a");
        takeRecords();
        if (n == 3)
            failCopy(0);
        else if (n >= 0 && (function == "add_attr" || !failAllocation(n)))
            continue; // Qt's setAttribute leaks what it made when an allocation in it fails
        const int status = GetParam().call(c);
        const bool outOfMemory = failed();
        failAllocation(-1);
        failCopy(-1);
        Records records = takeRecords();
        for (std::string &record : records) {
            if (record.find(c.dir) != std::string::npos)
                record.replace(record.find(c.dir), c.dir.size(), "%D/");
        }
        if (n < 0) {
            EXPECT_EQ(status, GetParam().status);
            EXPECT_EQ(records, GetParam().records);
            EXPECT_EQ(working(), GetParam().working);
        } else if (outOfMemory) {
            const bool noStatus = function == "set_working_document" || function == "delete_node";
            EXPECT_EQ(status, noStatus || function == "document_exist" ? 0 : 14601) << n;
            EXPECT_EQ(records, Records { "E:out of memory in gen__qtxmlif_" + function }) << n;
        }
        for (char *copy : { c.name, c.value })
            take(copy);
        gen__qtxmlif_delete_node(&c.query);
        gen__qtxmlif_delete_node(&c.child);
        if (n >= 0 && n < 3 && !outOfMemory)
            n = 2; // the call needs no more allocations
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFunction, Contract, ::testing::ValuesIn(kCalls), RowName());

namespace {

TEST_F(Api, OutputsTakeTheirEntryValuesBeforeAnythingFails)
{
    const auto set = [](const void *pointer) { return pointer ? "set " : "null "; };
    int id = 9, type = 9, depth = 9;
    bool end = true, found = true;
    char *name = reinterpret_cast<char *>(7777), *value = name;
    void *handle = name, *walk = nullptr;
    EXPECT_EQ(gen__qtxmlif_begin_traversion(kUnknown, nullptr, &handle), 14606);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(gen__qtxmlif_get_next_entity(kUnknown, &type, &name, &value, &depth, &end), 14606);
    EXPECT_EQ(set(name) + std::string(set(value)) + std::to_string(type) + std::to_string(depth)
            + std::to_string(end),
        "null null -1-10");

    const int b = doc("b");
    ASSERT_EQ(gen__qtxmlif_add_node("c") + gen__qtxmlif_begin_traversion(b, nullptr, &walk), 0);
    handle = name = value;
    EXPECT_EQ(gen__qtxmlif_get_next_child_node(kUnknown, walk, &name, &handle), 14606);
    EXPECT_EQ(set(name) + std::string(set(handle)), "null null ");
    for (const int doc : { kUnknown, b }) {
        handle = value;
        depth = 9;
        gen__qtxmlif_get_named_child_node(doc, walk, "none", &handle, &depth);
        EXPECT_EQ(set(handle) + std::to_string(depth), "null -1");
    }
    EXPECT_EQ(gen__qtxmlif_get_named_attribute(kUnknown, walk, "k", &value, &found), 14606);
    EXPECT_EQ(set(value) + std::to_string(found), "null 0");
    EXPECT_EQ(gen__qtxmlif_load("/nonexistent/z.xml", &id), 14603);
    EXPECT_EQ(id, -1);
    id = 9;
    writeFile(path("bad.xml"), "<unclosed>");
    EXPECT_EQ(gen__qtxmlif_load(path("bad.xml").c_str(), &id), 14605);
    EXPECT_EQ(id, -1);
}

} // namespace
