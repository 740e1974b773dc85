// SPDX-License-Identifier: MIT
// The self-test, run in the test's folder, where "D:/temp" is made or not, with
// its standard output captured.
#include "Api.h"

#include "gen_qtxmlif_internal.h"

#include <QDir>

#include <regex>

#include <unistd.h>

namespace {

class Selftest : public Api
{
protected:
    void SetUp() override
    {
        Api::SetUp();
        ASSERT_EQ(chdir(path("").c_str()), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(chdir("/"), 0);
        Api::TearDown();
    }
    static int run(int (*function)(), std::string *output)
    {
        ::testing::internal::CaptureStdout();
        const int status = function();
        std::fflush(stdout);
        *output = ::testing::internal::GetCapturedStdout();
        return status;
    }
};

// Attributes come in the order the document keeps them.
const std::regex kSample(
    "<xmlRoot >\n\t<Personal_Details (First_Name=\"Anna\" Last_Name=\"Berger\"|"
    "Last_Name=\"Berger\" First_Name=\"Anna\") >\n\t\t<Kids >\n"
    "\t\t\t<kid (Friend_1=\"Lena\" Friend_2=\"Tom\"|Friend_2=\"Tom\" Friend_1=\"Lena\") >\n"
    "\t\t\t\t Likes to sing in the garden\\. LaLaLa\\.\\.\\.\n\t\t\t</kid>\n"
    "\t\t\t<kid First_Name=\"Max\" >\n\t\t\t</kid>\n"
    "\t\t\t<kid First_Name=\"Mia\" >\n\t\t\t</kid>\n"
    "\t\t</Kids>\n\t</Personal_Details>\n</xmlRoot>\n");

TEST_F(Selftest, PrintsTheSampleWalk)
{
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("D:/temp")));
    std::string output;
    EXPECT_EQ(run(gen__qtxmlif_selftest, &output), 0);
    EXPECT_TRUE(std::regex_match(output, kSample)) << output;
    EXPECT_EQ(takeRecords(), Records {});
    EXPECT_EQ(working(), "-") << "both documents are deleted";
    takeRecords();
    EXPECT_EQ(readFile("D:/temp/test.xml").substr(0, 49),
        "<?xml version='1.0' encoding='UTF-8'?>\n<xmlRoot>\n");

    writeFile("D:/temp/test.xml", "<a k='v'>one<!--c--><b><![CDATA[two]]></b><c/></a>");
    EXPECT_EQ(run(gen__qtxmlif_selftest_walk, &output), 0);
    EXPECT_EQ(output, "<a k=\"v\" >\n\t one\n\t<b >\n\t\t two\n\t</b>\n\t<c >\n\t</c>\n</a>\n");
    EXPECT_EQ(takeRecords(), Records {});
}

TEST_F(Selftest, PassesFailuresUpWithATrace)
{
    std::string output;
    EXPECT_EQ(run(gen__qtxmlif_selftest, &output), 14607);
    EXPECT_EQ(takeRecords(),
        (Records { "E:Unable to open file for saving : D:/temp/test.xml", "S", "S" }));
    EXPECT_EQ(working(), "xmlRoot") << "the sample document stays";
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("D:/temp")));
    EXPECT_EQ(run(gen__qtxmlif_selftest_walk, &output), 14603);
    EXPECT_EQ(takeRecords(), (Records { "E:Unable to find document: D:/temp/test.xml", "S" }));
    writeFile("D:/temp/test.xml", "<xmlRoot>");
    EXPECT_EQ(run(gen__qtxmlif_selftest_walk, &output), 14605);
    EXPECT_EQ(takeRecords(),
        (Records { "E:XML document syntax error in file: D:/temp/test.xml\nError found in line 1, "
                   "column 9.\n",
            "S" }));
    EXPECT_EQ(output, "");
}

// A copy that cannot be made ends the walk: between a start and its
// attributes with 14601 and an assertion record, elsewhere quietly. No copy
// is left unreleased either way.
TEST_F(Selftest, AWalkCutShortByACopyThatFails)
{
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("D:/temp")));
    ASSERT_EQ(gen__qtxmlif_selftest_build(), 0);
    int n = 0;
    for (bool failed = true; failed && n < 100; ++n) {
        std::string output;
        failCopy(n);
        const int status = run(gen__qtxmlif_selftest_walk, &output);
        failed = ::failed();
        failCopy(-1);
        Records expected { "E:out of memory in gen__qtxmlif_get_next_entity" };
        if (status != 0)
            expected.insert(expected.end(), { "A:status == 0", "!" });
        EXPECT_EQ(takeRecords(), failed ? expected : Records {}) << n;
        EXPECT_TRUE(status == 0 || (failed && status == 14601)) << n;
    }
    EXPECT_EQ(n, 39) << "19 entities with two copies each, then a walk without failure";
}

} // namespace
