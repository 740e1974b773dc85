// SPDX-License-Identifier: MIT
// The self-test, run in a temporary working folder with and without the
// folder "D:/temp" it saves into, its standard output captured.
#include "Api.h"

#include "gen_qtxmlif_internal.h"

#include <QDir>
#include <QTemporaryDir>

#include <regex>

#include <unistd.h>

namespace {

class Selftest : public Api
{
protected:
    void SetUp() override
    {
        Api::SetUp();
        char previous[4096];
        m_previous = getcwd(previous, sizeof previous) ? previous : "/";
        ASSERT_EQ(chdir(path("").c_str()), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(chdir(m_previous.c_str()), 0);
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

private:
    std::string m_previous;
};

// Attributes come in the order the document keeps them.
const std::regex kSample(
    "<xmlRoot >\n"
    "\t<Personal_Details (First_Name=\"Anna\" Last_Name=\"Berger\"|"
    "Last_Name=\"Berger\" First_Name=\"Anna\") >\n"
    "\t\t<Kids >\n"
    "\t\t\t<kid (Friend_1=\"Lena\" Friend_2=\"Tom\"|Friend_2=\"Tom\" Friend_1=\"Lena\") >\n"
    "\t\t\t\t Likes to sing in the garden\\. LaLaLa\\.\\.\\.\n"
    "\t\t\t</kid>\n"
    "\t\t\t<kid First_Name=\"Max\" >\n\t\t\t</kid>\n"
    "\t\t\t<kid First_Name=\"Mia\" >\n\t\t\t</kid>\n"
    "\t\t</Kids>\n"
    "\t</Personal_Details>\n"
    "</xmlRoot>\n");

TEST_F(Selftest, PrintsTheSampleWalk)
{
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("D:/temp")));
    int first = -1;
    ASSERT_EQ(gen__qtxmlif_add_document(&first, nullptr), 0);
    std::string output;
    EXPECT_EQ(run(gen__qtxmlif_selftest, &output), 0);
    EXPECT_TRUE(std::regex_match(output, kSample)) << output;
    EXPECT_EQ(takeRecords(), Records {});
    EXPECT_FALSE(gen__qtxmlif_document_exist(first + 1)) << "the sample document is deleted";
    EXPECT_FALSE(gen__qtxmlif_document_exist(first + 2)) << "the loaded one too";
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
    EXPECT_EQ(run(gen__qtxmlif_selftest, &output), GEN_QTXMLIF_ESAVE);
    EXPECT_EQ(output, "");
    EXPECT_EQ(takeRecords(),
        (Records { "E:Unable to open file for saving : D:/temp/test.xml", "S", "S" }));
    EXPECT_EQ(working(), "xmlRoot") << "the sample document stays";

    ASSERT_TRUE(QDir().mkpath(QStringLiteral("D:/temp")));
    EXPECT_EQ(run(gen__qtxmlif_selftest_walk, &output), GEN_QTXMLIF_ENODOC);
    EXPECT_EQ(takeRecords(), (Records { "E:Unable to find document: D:/temp/test.xml", "S" }));
    writeFile("D:/temp/test.xml", "<xmlRoot>");
    EXPECT_EQ(run(gen__qtxmlif_selftest_walk, &output), GEN_QTXMLIF_ESYNTAX);
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
    int failures = 0;
    for (int n = 0; n < 200; ++n) {
        std::string output;
        failCopy(n);
        const int status = run(gen__qtxmlif_selftest_walk, &output);
        const bool failed = copyFailed();
        failCopy(-1);
        const Records records = takeRecords();
        if (!failed) {
            EXPECT_EQ(status, 0);
            break;
        }
        ++failures;
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records.front(), "E:out of memory in gen__qtxmlif_get_next_entity") << n;
        if (status != 0) {
            EXPECT_EQ(records, (Records { records.front(), "A:status == 0", "!" })) << n;
        }
        EXPECT_EQ(status == 0, records.size() == 1) << n;
    }
    EXPECT_EQ(failures, 38) << "19 entities, two copies each";
}

} // namespace
