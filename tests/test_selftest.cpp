// The self-test, run in a temporary working folder that holds the
// folder "D:/temp" it saves into, and in one that does not.
#include "SelftestSupport.h"

#include <QDomDocument>

using namespace selftest;

namespace {

class SelftestTest : public InterfaceTest
{
protected:
    void SetUp() override
    {
        InterfaceTest::SetUp();
        m_documents = XmlManager::instance().documentCount();
    }
    // No document is left behind by a run that succeeded.
    void expectNoDocumentsLeft() { EXPECT_EQ(XmlManager::instance().documentCount(), m_documents); }

private:
    int m_documents = 0;
};

} // namespace

TEST_F(SelftestTest, PrintsTheSampleWalk)
{
    WorkingFolder folder(true);
    std::string output;
    EXPECT_EQ(captured(gen__qtxmlif_selftest, &output), GEN_QTXMLIF_OK);
    EXPECT_EQ(parse(output), sampleLines()) << output;
    // The end of the root arrives with 14608 and is printed without tabs.
    EXPECT_EQ(output.substr(output.size() - 12), "\n</xmlRoot>\n");
    EXPECT_TRUE(noRecords());
    EXPECT_TRUE(recorder::statusChecks().empty());
    expectNoDocumentsLeft();

    const QByteArray saved = reading::readFile(folder.path(samplePath()));
    EXPECT_TRUE(saved.startsWith("<?xml version='1.0' encoding='UTF-8'?>\n")) << saved.constData();
    QDomDocument document;
    ASSERT_TRUE(document.setContent(saved));
    EXPECT_EQ(document.documentElement().tagName(), QStringLiteral("xmlRoot"));
}

TEST_F(SelftestTest, BuildAndWalkOneAfterTheOther)
{
    WorkingFolder folder(true);
    EXPECT_EQ(gen__qtxmlif_selftest_build(), GEN_QTXMLIF_OK);
    expectNoDocumentsLeft();
    std::string output;
    EXPECT_EQ(captured(gen__qtxmlif_selftest_walk, &output), GEN_QTXMLIF_OK);
    EXPECT_EQ(parse(output), sampleLines()) << output;
    // Walking again prints the same.
    std::string again;
    EXPECT_EQ(captured(gen__qtxmlif_selftest_walk, &again), GEN_QTXMLIF_OK);
    EXPECT_EQ(parse(again), sampleLines());
    EXPECT_TRUE(noRecords());
    expectNoDocumentsLeft();
}

TEST_F(SelftestTest, FailsWhereTheFolderIsMissing)
{
    WorkingFolder folder(false);
    const int before = XmlManager::instance().documentCount();
    std::string output;
    EXPECT_EQ(captured(gen__qtxmlif_selftest, &output), GEN_QTXMLIF_ESAVE);
    EXPECT_EQ(output, "");
    EXPECT_TRUE(onlyError(std::string("Unable to open file for saving : ") + samplePath()));
    // One trace where build failed, one where the self-test passed it on.
    ASSERT_EQ(recorder::statusChecks().size(), 2u);
    for (const recorder::StatusCheck &check : recorder::statusChecks())
        EXPECT_EQ(check.file, "gen/gen_qtxmlif");
    EXPECT_NE(recorder::statusChecks()[0].line, recorder::statusChecks()[1].line);
    // The sample document stays registered and working.
    const int sample = XmlManager::instance().workingDocument();
    ASSERT_GT(sample, 0);
    adopt(sample);
    EXPECT_EQ(XmlManager::instance().documentCount(), before + 1);
    EXPECT_EQ(dom(sample).documentElement().tagName(), QStringLiteral("xmlRoot"));
}

TEST_F(SelftestTest, BuildAloneFailsWithOneTrace)
{
    WorkingFolder folder(false);
    // "D:" exists but "temp" in it does not.
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("D:")));
    EXPECT_EQ(gen__qtxmlif_selftest_build(), GEN_QTXMLIF_ESAVE);
    EXPECT_EQ(recorder::statusChecks().size(), 1u);
    adopt(XmlManager::instance().workingDocument());
}

TEST_F(SelftestTest, WalkWithoutASampleFile)
{
    WorkingFolder folder(true);
    std::string output;
    EXPECT_EQ(captured(gen__qtxmlif_selftest_walk, &output), GEN_QTXMLIF_ENODOC);
    EXPECT_EQ(output, "");
    EXPECT_TRUE(onlyError(std::string("Unable to find document: ") + samplePath()));
    EXPECT_EQ(recorder::statusChecks().size(), 1u);
    expectNoDocumentsLeft();
}

TEST_F(SelftestTest, WalkOfAnIllFormedSampleFile)
{
    WorkingFolder folder(true);
    reading::writeFile(folder.path(samplePath()), "<xmlRoot>");
    std::string output;
    EXPECT_EQ(captured(gen__qtxmlif_selftest_walk, &output), GEN_QTXMLIF_ESYNTAX);
    EXPECT_EQ(output, "");
    EXPECT_EQ(recorder::statusChecks().size(), 1u);
    expectNoDocumentsLeft();
}

TEST_F(SelftestTest, WalkOfAnotherFilePrintsThatFile)
{
    WorkingFolder folder(true);
    reading::writeFile(folder.path(samplePath()),
        "<?xml version='1.0'?><a k='v' e=''>one<!--c--><b><![CDATA[two]]></b>"
        "<c/></a>");
    std::string output;
    EXPECT_EQ(captured(gen__qtxmlif_selftest_walk, &output), GEN_QTXMLIF_OK);
    EXPECT_EQ(parse(output),
        (std::vector<Line> { start(0, "a", { { "k", "v" }, { "e", "" } }), text(1, "one"),
            start(1, "b"), text(2, "two"), end(1, "b"), start(1, "c"), end(1, "c"), end(0, "a") }))
        << output;
    EXPECT_TRUE(noRecords());
    expectNoDocumentsLeft();
}
