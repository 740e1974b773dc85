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
#include <type_traits>

namespace {
int g_failIn = -1; // allocations let through before one fails; -1: none
bool g_failed = false;
} // namespace

// Replaced here so that a test can make an allocation fail.
void *operator new(std::size_t size)
{
    if (g_failIn == 0) {
        g_failIn = -1;
        g_failed = true;
        throw std::bad_alloc();
    }
    if (g_failIn > 0)
        --g_failIn;
    if (void *memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void *memory) noexcept
{
    std::free(memory);
}
void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

constexpr int kUnknown = 999999;
const char kNotFound[] = "E:XML document ID 999999 not found";
const char kChildHeld[] = "A:(*child != parent) && !isTraversalHandle(*child)";

// A pointer value that counts as not given.
template<typename T>
T *small()
{
    return reinterpret_cast<T *>(std::uintptr_t(1000));
}

// Document "a" is working and still being built; document "b" (child <c k="v"/>)
// has a walk standing before its root, with a query handle on c.
struct Ctx
{
    int a = -1, b = -1, id = 9, depth = 9;
    void *walk = nullptr, *query = nullptr, *child = nullptr;
    char *name = nullptr;
    bool found = false;
    QString string;
    std::string dir;
    std::string at(const char *file) const { return dir + "/" + file; }
};

struct Row
{
    const char *what;
    std::function<int(Ctx &)> call;
    int status;
    Records records;
    const char *working;
};

const Row kRows[] = {
    { "add_document", [](Ctx &c) { return gen__qtxmlif_add_document(&c.id, nullptr); }, 0, {},
        "root" },
    { "add_document, nothing given",
        [](Ctx &) { return gen__qtxmlif_add_document(small<int>(), small<char>()); }, 0, {},
        "root" },
    { "set_working_document", [](Ctx &c) { return gen__qtxmlif_set_working_document(c.b), 0; }, 0,
        {}, "w" },
    { "set_working_document -1", [](Ctx &) { return gen__qtxmlif_set_working_document(-1), 0; }, 0,
        {}, "-" },
    { "set_working_document unknown",
        [](Ctx &) { return gen__qtxmlif_set_working_document(kUnknown), 0; }, 0, {}, "-" },
    { "del_document unknown", [](Ctx &) { return gen__qtxmlif_del_document(kUnknown); },
        GEN_QTXMLIF_ENODOC, { "A:removedDocID == doc_id", "!" }, "a" },
    { "del_document 0", [](Ctx &) { return gen__qtxmlif_del_document(0); }, GEN_QTXMLIF_ENODOC,
        { "A:removedDocID == doc_id", "!" }, "a" },
    { "del_document -1", [](Ctx &) { return gen__qtxmlif_del_document(-1); }, 0, {}, "a" },
    { "del_document another", [](Ctx &c) { return gen__qtxmlif_del_document(c.b); }, 0, {}, "-" },
    { "document_exist -1", [](Ctx &) { return int(gen__qtxmlif_document_exist(-1)); }, 0,
        { "A:doc_id >= 0", "!" }, "a" },
    { "document_exist unknown", [](Ctx &) { return int(gen__qtxmlif_document_exist(kUnknown)); }, 0,
        {}, "a" },
    { "document_exist", [](Ctx &c) { return int(gen__qtxmlif_document_exist(c.b)); }, 1, {}, "a" },
    { "add_node null", [](Ctx &) { return gen__qtxmlif_add_node(nullptr); }, GEN_QTXMLIF_EINVAL,
        { "A:!((node_name) ? (node_name)[0]=='\\0' : true)", "!" }, "a" },
    { "add_node 1000", [](Ctx &) { return gen__qtxmlif_add_node(small<char>()); },
        GEN_QTXMLIF_EINVAL, { "A:!((node_name) ? (node_name)[0]=='\\0' : true)", "!" }, "a" },
    { "add_node empty", [](Ctx &) { return gen__qtxmlif_add_node(""); }, GEN_QTXMLIF_EINVAL,
        { "A:!((node_name) ? (node_name)[0]=='\\0' : true)", "!" }, "a" },
    { "open_node 1000", [](Ctx &) { return gen__qtxmlif_open_node(small<char>()); },
        GEN_QTXMLIF_EINVAL, { "A:!((node_name) ? (node_name)[0]=='\\0' : true)", "!" }, "a" },
    { "add_attr 1000", [](Ctx &) { return gen__qtxmlif_add_attr(small<char>(), "v"); },
        GEN_QTXMLIF_EINVAL, { "A:!((attr_name) ? (attr_name)[0]=='\\0' : true)", "!" }, "a" },
    { "add_attr value 1000", [](Ctx &) { return gen__qtxmlif_add_attr("k", small<char>()); }, 0, {},
        "a" },
    { "add_text 1000", [](Ctx &) { return gen__qtxmlif_add_text(small<char>()); },
        GEN_QTXMLIF_EINVAL, { "A:!((text_val) ? (text_val)[0]=='\\0' : true)", "!" }, "a" },
    { "add_text empty", [](Ctx &) { return gen__qtxmlif_add_text(""); }, GEN_QTXMLIF_EINVAL,
        { "A:!((text_val) ? (text_val)[0]=='\\0' : true)", "!" }, "a" },
    { "close_level at the bottom", [](Ctx &) { return gen__qtxmlif_close_level(); },
        GEN_QTXMLIF_EINVAL, { "A:result == true", "!" }, "a" },
    { "close_node at the bottom", [](Ctx &) { return gen__qtxmlif_close_node(); },
        GEN_QTXMLIF_EINVAL, { "A:result == true", "!" }, "a" },
    { "add_node, no working document",
        [](Ctx &) { return gen__qtxmlif_set_working_document(-1), gen__qtxmlif_add_node("x"); },
        GEN_QTXMLIF_ENODOC, { "A:xmlManager.documentExist( doc_id )", "!" }, "-" },
    { "open_level, no working document",
        [](Ctx &) { return gen__qtxmlif_set_working_document(-1), gen__qtxmlif_open_level(); },
        GEN_QTXMLIF_ENODOC, { "A:xmlManager.documentExist( doc_id )", "!" }, "-" },
    { "begin_traversion unknown",
        [](Ctx &c) { return gen__qtxmlif_begin_traversion(kUnknown, nullptr, &c.child); },
        GEN_QTXMLIF_ENOTFOUND, { kNotFound }, "a" },
    { "begin_traversion, nothing given",
        [](Ctx &c) { return gen__qtxmlif_begin_traversion(c.b, small<char>(), small<void *>()); },
        0, {}, "w" },
    { "begin_traversion, no such element",
        [](Ctx &c) { return gen__qtxmlif_begin_traversion(c.b, "zz", &c.child); },
        GEN_QTXMLIF_EINVAL, {}, "w" },
    { "get_next_entity unknown",
        [](Ctx &) {
            return gen__qtxmlif_get_next_entity(
                kUnknown, nullptr, nullptr, nullptr, nullptr, nullptr);
        },
        GEN_QTXMLIF_ENOTFOUND, { kNotFound }, "a" },
    { "get_next_entity, nothing given",
        [](Ctx &c) {
            return gen__qtxmlif_get_next_entity(
                c.b, small<int>(), small<char *>(), small<char *>(), small<int>(), small<bool>());
        },
        0, {}, "w" },
    { "end_traversion unknown", [](Ctx &) { return gen__qtxmlif_end_traversion(kUnknown); },
        GEN_QTXMLIF_ENOTFOUND, { kNotFound }, "a" },
    { "end_traversion", [](Ctx &c) { return gen__qtxmlif_end_traversion(c.b); }, 0, {}, "w" },
    { "get_next_child_node unknown",
        [](Ctx &c) {
            return gen__qtxmlif_get_next_child_node(kUnknown, c.walk, &c.name, &c.child);
        },
        GEN_QTXMLIF_ENOTFOUND, { kNotFound }, "a" },
    { "get_next_child_node, nothing given",
        [](Ctx &c) {
            return gen__qtxmlif_get_next_child_node(c.b, c.walk, small<char *>(), small<void *>());
        },
        0, {}, "w" },
    { "get_next_child_node, child holds the parent",
        [](Ctx &c) {
            c.child = c.query;
            return gen__qtxmlif_get_next_child_node(c.b, c.query, &c.name, &c.child);
        },
        GEN_QTXMLIF_EINVAL, { kChildHeld, "!" }, "a" },
    { "get_named_child_node unknown",
        [](Ctx &c) {
            return gen__qtxmlif_get_named_child_node(kUnknown, c.walk, "c", &c.child, &c.depth);
        },
        GEN_QTXMLIF_ENOTFOUND, { kNotFound }, "a" },
    { "get_named_child_node, no name given",
        [](Ctx &c) {
            return gen__qtxmlif_get_named_child_node(
                c.b, c.walk, small<char>(), &c.child, &c.depth);
        },
        0, {}, "a" },
    { "get_named_child_node, nothing given",
        [](Ctx &c) {
            return gen__qtxmlif_get_named_child_node(
                c.b, c.walk, "c", small<void *>(), small<int>());
        },
        0, {}, "w" },
    { "get_named_child_node, child holds the walk",
        [](Ctx &c) {
            c.child = c.walk;
            return gen__qtxmlif_get_named_child_node(c.b, c.query, "c", &c.child, &c.depth);
        },
        GEN_QTXMLIF_EINVAL, { kChildHeld, "!" }, "a" },
    { "get_named_attribute, no handle",
        [](Ctx &c) {
            return gen__qtxmlif_get_named_attribute(c.b, nullptr, "k", &c.name, &c.found);
        },
        GEN_QTXMLIF_EINVAL, { "A:((unsigned int)(node_ptr) > 1000)", "!" }, "a" },
    { "get_named_attribute, handle 1000",
        [](Ctx &c) {
            return gen__qtxmlif_get_named_attribute(c.b, small<void>(), "k", &c.name, &c.found);
        },
        GEN_QTXMLIF_EINVAL, { "A:((unsigned int)(node_ptr) > 1000)", "!" }, "a" },
    { "get_named_attribute unknown",
        [](Ctx &c) {
            return gen__qtxmlif_get_named_attribute(kUnknown, c.query, "k", &c.name, &c.found);
        },
        GEN_QTXMLIF_ENOTFOUND, { kNotFound }, "a" },
    { "get_named_attribute, nothing given",
        [](Ctx &c) {
            return gen__qtxmlif_get_named_attribute(
                c.b, c.query, small<char>(), small<char *>(), small<bool>());
        },
        0, {}, "w" },
    { "delete_node null", [](Ctx &) { return gen__qtxmlif_delete_node(nullptr), 0; }, 0, {}, "a" },
    { "delete_node 1000", [](Ctx &) { return gen__qtxmlif_delete_node(small<void *>()), 0; }, 0, {},
        "a" },
    { "doc_to_string, no string",
        [](Ctx &c) { return gen__qtxmlif_doc_to_string(c.b, small<QString>()); },
        GEN_QTXMLIF_EINVAL, { "A:((unsigned int)(qstring_ptr) > 1000)", "!" }, "a" },
    { "doc_to_string unknown",
        [](Ctx &c) { return gen__qtxmlif_doc_to_string(kUnknown, &c.string); },
        GEN_QTXMLIF_ENOTFOUND, { kNotFound }, "a" },
    { "doc_to_string", [](Ctx &c) { return gen__qtxmlif_doc_to_string(c.b, &c.string); }, 0, {},
        "a" },
    { "load null", [](Ctx &c) { return gen__qtxmlif_load(nullptr, &c.id); }, GEN_QTXMLIF_ENODOC,
        { "A:!((file_path) ? (file_path)[0]=='\\0' : true)", "!" }, "a" },
    { "load 1000", [](Ctx &c) { return gen__qtxmlif_load(small<char>(), &c.id); },
        GEN_QTXMLIF_ENODOC, { "A:!((file_path) ? (file_path)[0]=='\\0' : true)", "!" }, "a" },
    { "load missing", [](Ctx &c) { return gen__qtxmlif_load("/nonexistent/z.xml", &c.id); },
        GEN_QTXMLIF_ENODOC, { "E:Unable to find document: /nonexistent/z.xml" }, "a" },
    { "load unreadable", [](Ctx &c) { return gen__qtxmlif_load("/", &c.id); }, GEN_QTXMLIF_EOPEN,
        { "E:Unable to open document: /" }, "a" },
    { "load ill-formed", [](Ctx &c) { return gen__qtxmlif_load(c.at("bad.xml").c_str(), &c.id); },
        GEN_QTXMLIF_ESYNTAX,
        { "E:XML document syntax error in file: %D/bad.xml\nError found in line 2, column 7.\n" },
        "-" },
    { "load, no ID given",
        [](Ctx &c) { return gen__qtxmlif_load(c.at("good.xml").c_str(), small<int>()); }, 0, {},
        "l" },
    { "save unknown", [](Ctx &c) { return gen__qtxmlif_save(kUnknown, c.at("s.xml").c_str()); },
        GEN_QTXMLIF_ENOTFOUND, { kNotFound }, "a" },
    { "save, no path", [](Ctx &c) { return gen__qtxmlif_save(c.b, small<char>()); },
        GEN_QTXMLIF_ESAVE, { "E:Unable to open file for saving : " }, "a" },
    { "save", [](Ctx &c) { return gen__qtxmlif_save(c.b, c.at("s.xml").c_str()); }, 0, {}, "a" },
};

class Contract : public Api, public ::testing::WithParamInterface<Row>
{
protected:
    Ctx setUpDocuments()
    {
        Ctx c;
        c.dir = path("");
        c.dir.pop_back();
        writeFile(c.at("bad.xml"), "<l>\n<m></l>");
        writeFile(c.at("good.xml"), "<l/>");
        c.b = doc("b");
        EXPECT_EQ(gen__qtxmlif_add_node("c"), 0);
        EXPECT_EQ(gen__qtxmlif_open_level(), 0);
        EXPECT_EQ(gen__qtxmlif_add_attr("k", "v"), 0);
        EXPECT_EQ(gen__qtxmlif_begin_traversion(c.b, nullptr, &c.walk), 0);
        EXPECT_EQ(gen__qtxmlif_get_named_child_node(c.b, c.walk, "c", &c.query, nullptr), 0);
        c.a = doc("a");
        takeRecords();
        return c;
    }
};

TEST_P(Contract, StatusRecordsAndWorkingDocument)
{
    const Row &row = GetParam();
    Ctx c = setUpDocuments();
    EXPECT_EQ(row.call(c), row.status);
    Records records = takeRecords();
    for (std::string &record : records) {
        const std::size_t dir = record.find(c.dir);
        if (dir != std::string::npos)
            record.replace(dir, c.dir.size(), "%D");
    }
    EXPECT_EQ(records, row.records);
    EXPECT_EQ(working(), row.working);
    if (c.name)
        take(c.name);
    gen__qtxmlif_delete_node(&c.query);
}

void PrintTo(const Row &row, std::ostream *out)
{
    *out << row.what;
}

INSTANTIATE_TEST_SUITE_P(EveryFunction, Contract, ::testing::ValuesIn(kRows), RowName());

// Output values in one line: pointers as "null" or "set".
template<typename... T>
std::string outs(const T &...values)
{
    std::string line;
    const auto one = [&](const auto &value) {
        if constexpr (std::is_pointer_v<std::decay_t<decltype(value)>>)
            line += value ? "set " : "null ";
        else
            line += std::to_string(value) + " ";
    };
    (one(values), ...);
    return line;
}

TEST_F(Api, OutputsTakeTheirEntryValuesBeforeAnythingFails)
{
    void *const stale = reinterpret_cast<void *>(5555);
    int id = 9, type = 9, depth = 9;
    bool end = true, found = true;
    char *name = reinterpret_cast<char *>(7777), *value = name;
    void *handle = stale;
    EXPECT_EQ(gen__qtxmlif_begin_traversion(kUnknown, nullptr, &handle), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(gen__qtxmlif_get_next_entity(kUnknown, &type, &name, &value, &depth, &end),
        GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(outs(type, name, value, depth, end), "-1 null null -1 0 ");

    const int b = doc("b");
    ASSERT_EQ(gen__qtxmlif_add_node("c"), 0);
    void *walk = nullptr;
    ASSERT_EQ(gen__qtxmlif_begin_traversion(b, nullptr, &walk), 0);
    name = reinterpret_cast<char *>(7777);
    handle = stale;
    EXPECT_EQ(
        gen__qtxmlif_get_next_child_node(kUnknown, walk, &name, &handle), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(outs(name, handle), "null null ");
    handle = stale;
    EXPECT_EQ(gen__qtxmlif_get_named_child_node(kUnknown, walk, "c", &handle, &depth),
        GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(outs(handle, depth), "null -1 ");
    handle = stale;
    depth = 9;
    EXPECT_EQ(gen__qtxmlif_get_named_child_node(b, walk, "none", &handle, &depth), 0);
    EXPECT_EQ(outs(handle, depth), "null -1 ");
    value = reinterpret_cast<char *>(7777);
    EXPECT_EQ(gen__qtxmlif_get_named_attribute(kUnknown, walk, "k", &value, &found),
        GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(outs(value, found), "null 0 ");
    EXPECT_EQ(gen__qtxmlif_load("/nonexistent/z.xml", &id), GEN_QTXMLIF_ENODOC);
    EXPECT_EQ(id, -1);
    id = 9;
    writeFile(path("bad.xml"), "<unclosed>");
    EXPECT_EQ(gen__qtxmlif_load(path("bad.xml").c_str(), &id), GEN_QTXMLIF_ESYNTAX);
    EXPECT_EQ(id, -1);
}

// Running out of memory at any of the first allocations of a call costs 14601
// and one record, and the next call works.
TEST_F(Api, OutOfMemory)
{
    g_failIn = 0; // valgrind's allocator takes the place of this one
    try {
        ::operator delete(::operator new(sizeof(int)));
        GTEST_SKIP() << "operator new is not ours to fail";
    } catch (const std::bad_alloc &) {
    }
    const int b = doc("b");
    ASSERT_EQ(gen__qtxmlif_add_node("c"), 0);
    void *handle = nullptr;
    void *child = nullptr;
    int id = 9;
    const std::string file = path("o.xml"), saved = path("s.xml");
    writeFile(file, "<l><m/></l>");
    const std::pair<const char *, std::function<int()>> calls[] = {
        { "add_document", [&] { return gen__qtxmlif_add_document(&id, "x"); } },
        { "load", [&] { return gen__qtxmlif_load(file.c_str(), &id); } },
        { "begin_traversion", [&] { return gen__qtxmlif_begin_traversion(b, nullptr, &handle); } },
        { "get_next_entity",
            [&] {
                return gen__qtxmlif_get_next_entity(b, nullptr, nullptr, nullptr, nullptr, nullptr);
            } },
        { "get_named_child_node",
            [&] { return gen__qtxmlif_get_named_child_node(b, handle, "c", &child, nullptr); } },
        { "get_next_child_node",
            [&] { return gen__qtxmlif_get_next_child_node(b, handle, nullptr, &child); } },
        { "get_named_attribute",
            [&] { return gen__qtxmlif_get_named_attribute(b, handle, "k", nullptr, nullptr); } },
        { "save", [&] { return gen__qtxmlif_save(b, saved.c_str()); } },
    };
    for (const auto &[function, call] : calls) {
        for (int n = 0; n < 3; ++n) {
            SCOPED_TRACE(std::string(function) + " allocation " + std::to_string(n));
            id = 9;
            g_failed = false;
            g_failIn = n;
            const int status = call();
            g_failIn = -1;
            if (!g_failed) {
                EXPECT_EQ(status, 0);
                break;
            }
            EXPECT_EQ(status, GEN_QTXMLIF_EINVAL);
            EXPECT_EQ(takeRecords(),
                Records { "E:out of memory in gen__qtxmlif_" + std::string(function) });
            if (std::string(function) == "add_document") {
                EXPECT_EQ(id, -1);
            }
        }
        gen__qtxmlif_delete_node(&child);
        takeRecords();
    }
    EXPECT_EQ(walk(b), "<b:0 <c:1 </c:1 </b:0 END");
}

} // namespace
