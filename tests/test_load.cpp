// SPDX-License-Identifier: MIT
// Loading files: syntax errors with their position, round trips (a saved file
// holds one declaration, in UTF-8), and building on a loaded document.
#include "Api.h"

TEST_P(RefusedFiles, LoadOrAreRefusedWithThePosition)
{
    int status = -1;
    const int id = load(GetParam().xml, &status);
    const std::string position = GetParam().position ? GetParam().position : "";
    EXPECT_EQ(status, position.empty() ? 0 : 14605);
    EXPECT_EQ(id > 0, position.empty());
    EXPECT_EQ(takeRecords(),
        position.empty() ? Records {}
                         : Records { "E:XML document syntax error in file: " + path("load.xml")
                             + "\nError found in " + position + ".\n" });
    EXPECT_EQ(working(), position.empty() ? "e" : "-");
}

const Refused kSyntaxErrors[] = {
    { "empty", "", "line 1, column 0" },
    { "unclosed", "<e>\n<b>\n</e>\n", "line 3, column 4" },
    { "text only", "\n\n  text", "line 3, column 3" },
    { "two roots", "<e/><b/>", "line 1, column 8" },
    { "attribute twice", "<e b='1' b='2'/>", "line 1, column 16" },
};
INSTANTIATE_TEST_SUITE_P(Syntax, RefusedFiles, ::testing::ValuesIn(kSyntaxErrors), RowName());

const Loaded kRoundTrips[] = {
    { "comment and CDATA", "<r a='1'><b>x</b><!-- c --><![CDATA[x<y]]></r>", nullptr,
        "<r:0 @a=1:0 <b:1 \"x\":1 </b:1 \"x<y\":0 </r:0 END",
        "<r a=\"1\">\n    <b>x</b>\n    <!-- c --><![CDATA[x<y]]></r>\n" },
    { "Latin-1 with a declaration",
        "<?xml version='1.0' encoding='ISO-8859-1'?>\r\n<r><b>\xe9\r\n</b></r>", nullptr,
        "<r:0 <b:1 \"\xc3\xa9\n\":1 </b:1 </r:0 END", "<r>\n    <b>\xc3\xa9\n</b>\n</r>\n" },
    { "UTF-16", QByteArray("\xff\xfe<\0r\0>\0\xe9\0<\0/\0r\0>\0", 18), nullptr,
        "<r:0 \"\xc3\xa9\":0 </r:0 END", "<r>\xc3\xa9</r>\n" },
};
INSTANTIATE_TEST_SUITE_P(RoundTrips, LoadedFiles, ::testing::ValuesIn(kRoundTrips), RowName());

namespace {

TEST_F(Api, BuildingOnALoadedDocumentAddsToItsRoot)
{
    const int first = load("<r><a/></r>");
    const int second = load("<r><a/></r>");
    EXPECT_EQ(second, first + 1);
    // Right after a load nothing was added: open_level stays at the root.
    EXPECT_EQ(gen__qtxmlif_open_level(), 0);
    EXPECT_EQ(gen__qtxmlif_add_node("b"), 0);
    EXPECT_EQ(gen__qtxmlif_close_level(), 14601);
    EXPECT_EQ(
        gen__qtxmlif_open_level() + gen__qtxmlif_add_attr("k", "v") + gen__qtxmlif_close_level(),
        0);
    EXPECT_EQ(flat(second), "<r><a/><b k=\"v\"/></r>");
    EXPECT_EQ(flat(first), "<r><a/></r>");
}

} // namespace
