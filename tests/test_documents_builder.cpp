// SPDX-License-Identifier: MIT
// Documents and the builder: what a sequence of builder calls makes of a new
// document, with the status of each call.
#include "Api.h"

#include "XmlManager.h"

#include <climits>

#include <functional>
#include <map>

struct Build
{
    const char *root;
    // Separated by '|': "n x" add_node, "N x" open_node, "o" open_level, "c" close_level,
    // "C" close_node, "a k=v" add_attr ("a k": no value), "t x" add_text, "W" a walk begins.
    const char *what;
    const char *statuses;
    const char *xml;
};
using Builder = Table<Build>;

TEST_P(Builder, MakesTheDocument)
{
    const int id = doc(GetParam().root);
    std::string statuses, calls = GetParam().what;
    for (std::size_t from = 0, to = 0; !calls.empty() && to != std::string::npos; from = to + 1) {
        to = calls.find('|', from);
        const std::string call = calls.substr(from, to - from),
                          arg = call.substr(std::min<std::size_t>(2, call.size()));
        const std::size_t eq = arg.find('=');
        const char *const value = eq == std::string::npos ? nullptr : arg.c_str() + eq + 1;
        const std::map<char, std::function<int()>> functions = {
            { 'n', [&] { return gen__qtxmlif_add_node(arg.c_str()); } },
            { 'N', [&] { return gen__qtxmlif_open_node(arg.c_str()); } },
            { 'o', gen__qtxmlif_open_level },
            { 'c', gen__qtxmlif_close_level },
            { 'C', gen__qtxmlif_close_node },
            { 't', [&] { return gen__qtxmlif_add_text(arg.c_str()); } },
            { 'a', [&] { return gen__qtxmlif_add_attr(arg.substr(0, eq).c_str(), value); } },
            { 'W', [&] { return gen__qtxmlif_begin_traversion(id, nullptr, nullptr); } },
        };
        statuses += (statuses.empty() ? "" : " ") + std::to_string(functions.at(call[0])());
    }
    EXPECT_EQ(statuses, GetParam().statuses);
    EXPECT_EQ(flat(id), GetParam().xml);
}

const Build kBuilds[] = {
    { nullptr, "", "", "<root/>" },
    { "", "", "", "<root/>" },
    { "r", "n a|n b", "0 0", "<r><a/><b/></r>" },
    { "r", "n a|o|n b|c|n c", "0 0 0 0 0", "<r><a><b/></a><c/></r>" },
    // Nothing added since creation or the last open: open_level stays put.
    { "r", "o|n a|c", "0 0 14601", "<r><a/></r>" },
    { "r", "n a|o|o|n b|c|c", "0 0 0 0 0 14601", "<r><a><b/></a></r>" },
    { "r", "n a|o|n b|o|n c|c|c|n d", "0 0 0 0 0 0 0 0", "<r><a><b><c/></b></a><d/></r>" },
    { "r", "N  my  node |n x|C|n y", "0 0 0 0", "<r><my__node><x/></my__node><y/></r>" },
    { "r", "a k=1|a k=2|n a|o|a j|c", "0 0 0 0 0 0", "<r k=\"2\"><a j=\"\"/></r>" },
    { "r", "n a|a k=v", "0 0", "<r k=\"v\"><a/></r>" },
    { "r", "t hi|n a|t there|o|t in|c", "0 0 0 0 0 0", "<r>hi<a>in</a>there</r>" },
    { "r", "t a<&>\"b", "0", "<r>a&lt;&amp;>\"b</r>" },
    { "J\xc3\xbcrg", "n \xc3\xa9|a \xc3\xa0=\xc3\xb6", "0 0",
        "<J\xc3\xbcrg \xc3\xa0=\"\xc3\xb6\"><\xc3\xa9/></J\xc3\xbcrg>" },
    // A walk ends building on the document for good.
    { "r", "n a|W|n x|N y|o|c|C|a k=v|t x", "0 0 14601 14601 14601 14601 14601 14601 14601",
        "<r><a/></r>" },
};
INSTANTIATE_TEST_SUITE_P(Calls, Builder, ::testing::ValuesIn(kBuilds), RowName());

struct XmlManagerTestAccess
{
    static int &lastId() { return XmlManager::instance().m_lastDocumentId; }
};

// IDs count up and are never reused; they run out without wrapping (taken
// close to the end directly: counting there through the interface takes days).
TEST_F(Api, DocumentIds)
{
    const int first = doc();
    ASSERT_EQ(gen__qtxmlif_del_document(first), 0);
    int status = 0;
    EXPECT_EQ(load("<unclosed>", &status), -1);
    EXPECT_EQ(doc(), first + 2) << "the deleted document's ID and the failed load's are used up";
    const int saved = XmlManagerTestAccess::lastId();
    XmlManagerTestAccess::lastId() = INT_MAX - 1;
    EXPECT_EQ(doc("last"), INT_MAX);
    int id = 9;
    takeRecords();
    EXPECT_EQ(gen__qtxmlif_add_document(&id, "more"), 14601);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(takeRecords(), (Records { "A:((unsigned int)(doc) > 1000) && docID >= 0", "!" }));
    writeFile(path("ok.xml"), "<l/>");
    EXPECT_EQ(gen__qtxmlif_load(path("ok.xml").c_str(), &id), 14601) << "a load needs an ID too";
    EXPECT_EQ(id, -1);
    EXPECT_EQ(takeRecords(), (Records { "A:((unsigned int)(doc) > 1000) && docID >= 0", "!" }));
    EXPECT_EQ(gen__qtxmlif_add_node("x"), 0) << "the last document stays working";
    EXPECT_EQ(flat(INT_MAX), "<last><x/></last>");
    EXPECT_EQ(gen__qtxmlif_del_document(INT_MAX), 0);
    XmlManagerTestAccess::lastId() = saved;
}
