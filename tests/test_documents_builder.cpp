// SPDX-License-Identifier: MIT
// Documents and the builder: what a sequence of builder calls makes of a new
// document, with the status of each call.
#include "Api.h"

namespace {

struct Build
{
    const char *root;
    const char *calls; // "n x" add_node, "N x" open_node, "o" open_level, "c" close_level,
                       // "C" close_node, "a k=v" add_attr ("a k": no value), "t x" add_text,
                       // "W" begins a walk; separated by '|'
    const char *statuses;
    const char *xml;
};

std::string run(int id, const std::string &calls)
{
    std::string statuses;
    std::size_t from = 0;
    while (from <= calls.size() && !calls.empty()) {
        std::size_t to = calls.find('|', from);
        to = to == std::string::npos ? calls.size() : to;
        const std::string call = calls.substr(from, to - from);
        const std::string arg = call.size() > 2 ? call.substr(2) : "";
        const std::size_t eq = arg.find('=');
        int status = -1;
        switch (call[0]) {
        case 'n':
            status = gen__qtxmlif_add_node(arg.c_str());
            break;
        case 'N':
            status = gen__qtxmlif_open_node(arg.c_str());
            break;
        case 'o':
            status = gen__qtxmlif_open_level();
            break;
        case 'c':
            status = gen__qtxmlif_close_level();
            break;
        case 'C':
            status = gen__qtxmlif_close_node();
            break;
        case 't':
            status = gen__qtxmlif_add_text(arg.c_str());
            break;
        case 'W':
            status = gen__qtxmlif_begin_traversion(id, nullptr, nullptr);
            break;
        case 'a':
            status = eq == std::string::npos
                ? gen__qtxmlif_add_attr(arg.c_str(), nullptr)
                : gen__qtxmlif_add_attr(arg.substr(0, eq).c_str(), arg.substr(eq + 1).c_str());
            break;
        }
        statuses += (statuses.empty() ? "" : " ") + std::to_string(status);
        from = to + 1;
    }
    return statuses;
}

class Builder : public Api, public ::testing::WithParamInterface<Build>
{
};

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

TEST_P(Builder, MakesTheDocument)
{
    const int id = doc(GetParam().root);
    EXPECT_EQ(run(id, GetParam().calls), GetParam().statuses);
    EXPECT_EQ(flat(id), GetParam().xml);
}

void PrintTo(const Build &build, std::ostream *out)
{
    *out << build.calls;
}

INSTANTIATE_TEST_SUITE_P(Calls, Builder, ::testing::ValuesIn(kBuilds), RowName());

TEST_F(Api, BuildingFollowsTheWorkingDocument)
{
    const int first = doc("first");
    const int second = doc("second");
    ASSERT_EQ(gen__qtxmlif_add_node("b"), 0);
    gen__qtxmlif_set_working_document(first);
    ASSERT_EQ(gen__qtxmlif_add_node("a"), 0);
    EXPECT_EQ(flat(first), "<first><a/></first>");
    EXPECT_EQ(flat(second), "<second><b/></second>");
    EXPECT_TRUE(gen__qtxmlif_document_exist(second));
    EXPECT_EQ(gen__qtxmlif_del_document(second), 0);
    EXPECT_FALSE(gen__qtxmlif_document_exist(second));
    EXPECT_EQ(gen__qtxmlif_del_document(second), GEN_QTXMLIF_ENODOC);
    EXPECT_EQ(takeRecords(), (Records { "A:removedDocID == doc_id", "!" }));
}

} // namespace
