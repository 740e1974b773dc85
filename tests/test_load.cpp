// SPDX-License-Identifier: MIT
// Loading files: the failures with their records, and what a loaded document
// is afterwards (walked, built on, saved back as UTF-8 with one declaration).
#include "Api.h"

namespace {

struct Failure
{
    QByteArray xml;
    int status;
    const char *position; // of the syntax error
};

class LoadFailures : public Api, public ::testing::WithParamInterface<Failure>
{
};

const Failure kFailures[] = {
    { "", GEN_QTXMLIF_ESYNTAX, "line 1, column 0" },
    { "<a>\n<b>\n</a>\n", GEN_QTXMLIF_ESYNTAX, "line 3, column 4" },
    { "\n\n  text", GEN_QTXMLIF_ESYNTAX, "line 3, column 3" },
    { "<a/><b/>", GEN_QTXMLIF_ESYNTAX, "line 1, column 8" },
    { "<a b='1' b='2'/>", GEN_QTXMLIF_ESYNTAX, "line 1, column 16" },
};

TEST_P(LoadFailures, ReportTheSyntaxErrorAndLeaveNoDocument)
{
    int status = 0;
    const int id = load(GetParam().xml, &status);
    EXPECT_EQ(status, GetParam().status);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(takeRecords(),
        Records { "E:XML document syntax error in file: " + path("load.xml") + "\nError found in "
            + GetParam().position + ".\n" });
    EXPECT_EQ(working(), "-");
}

void PrintTo(const Failure &failure, std::ostream *out)
{
    *out << failure.xml.constData();
}

INSTANTIATE_TEST_SUITE_P(Files, LoadFailures, ::testing::ValuesIn(kFailures), RowName());

struct RoundTrip
{
    QByteArray xml;
    const char *walk;
    const char *saved;
};

class RoundTrips : public Api, public ::testing::WithParamInterface<RoundTrip>
{
};

const RoundTrip kRoundTrips[] = {
    { "<r a='1'><b>x</b><!-- c --><![CDATA[x<y]]></r>",
        "<r:0 @a=1:0 <b:1 \"x\":1 </b:1 \"x<y\":0 </r:0 END",
        "<r a=\"1\">\n    <b>x</b>\n    <!-- c --><![CDATA[x<y]]></r>\n" },
    { "<?xml version='1.0' encoding='ISO-8859-1'?>\r\n<r>\xe9\r\n</r>",
        "<r:0 \"\xc3\xa9\n\":0 </r:0 END", "<r>\xc3\xa9\n</r>\n" },
    { QByteArray("\xff\xfe<\0r\0>\0\xe9\0<\0/\0r\0>\0", 18), "<r:0 \"\xc3\xa9\":0 </r:0 END",
        "<r>\xc3\xa9</r>\n" },
};

// Saved, a loaded file holds our declaration alone, in UTF-8, and walks as
// the original did.
TEST_P(RoundTrips, WalkSaveAndLoadAgain)
{
    const int id = load(GetParam().xml);
    EXPECT_EQ(walk(id), GetParam().walk);
    const std::string file = path("saved.xml");
    ASSERT_EQ(gen__qtxmlif_save(id, file.c_str()), 0);
    EXPECT_EQ(
        readFile(file), std::string("<?xml version='1.0' encoding='UTF-8'?>\n") + GetParam().saved);
    int again = -1;
    ASSERT_EQ(gen__qtxmlif_load(file.c_str(), &again), 0);
    EXPECT_EQ(walk(again), GetParam().walk);
    EXPECT_EQ(takeRecords(), Records {});
}

void PrintTo(const RoundTrip &trip, std::ostream *out)
{
    *out << trip.walk;
}

INSTANTIATE_TEST_SUITE_P(Files, RoundTrips, ::testing::ValuesIn(kRoundTrips), RowName());

TEST_F(Api, BuildingOnALoadedDocumentAddsToItsRoot)
{
    const int first = load("<r><a/></r>");
    const int second = load("<r><a/></r>");
    EXPECT_EQ(second, first + 1);
    // Right after a load nothing was added: open_level stays at the root.
    EXPECT_EQ(gen__qtxmlif_open_level(), 0);
    EXPECT_EQ(gen__qtxmlif_add_node("b"), 0);
    EXPECT_EQ(gen__qtxmlif_close_level(), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(gen__qtxmlif_open_level(), 0);
    EXPECT_EQ(gen__qtxmlif_add_attr("k", "v"), 0);
    EXPECT_EQ(gen__qtxmlif_close_level(), 0);
    EXPECT_EQ(working(), "r");
    EXPECT_EQ(flat(second), "<r><a/><b k=\"v\"/><zzw/></r>");
    EXPECT_EQ(flat(first), "<r><a/></r>");
}

} // namespace
