// The self-test's walk when the calls it makes fail part-way. The
// program is linked with --wrap for gen__qtxmlif_has_next_attr and
// gen__qtxmlif_get_next_entity, so that the self-test's calls of them reach
// the wrappers below, which fail on the call asked for. Whatever fails, every
// string copy handed out must have been released.
#include "SelftestSupport.h"

using namespace selftest;

extern "C" {
int __real_gen__qtxmlif_has_next_attr(int doc_id, bool *answer);
int __real_gen__qtxmlif_get_next_entity(
    int doc_id, int *entity_type, char **name, char **value, int *depth, bool *end_flag);
int __wrap_gen__qtxmlif_has_next_attr(int doc_id, bool *answer);
int __wrap_gen__qtxmlif_get_next_entity(
    int doc_id, int *entity_type, char **name, char **value, int *depth, bool *end_flag);
int __real_gen__qtxmlif_load(const char *file_path, int *doc);
int __wrap_gen__qtxmlif_load(const char *file_path, int *doc);
int __real_gen__qtxmlif_begin_traversion(int doc_id, const char *start_node_name, void **node_ptr);
int __wrap_gen__qtxmlif_begin_traversion(int doc_id, const char *start_node_name, void **node_ptr);
int __real_gen__qtxmlif_end_traversion(int doc_id);
int __wrap_gen__qtxmlif_end_traversion(int doc_id);
}

namespace {

struct Fault
{
    int call = 0; // the call (counted from 1) that fails; 0 for none
    int status = 0; // the status it returns instead
    int type = 0; // for get_next_entity: the type it reports instead, 0 to keep
};

Fault g_attrFault;
Fault g_entityFault;
bool g_loadGivesNegativeId = false;
int g_beginFails = 0; // status begin returns instead, 0 for none
int g_endFails = 0; // status end returns instead, 0 for none
int g_attrCalls = 0;
int g_entityCalls = 0;

} // namespace

int __wrap_gen__qtxmlif_has_next_attr(int doc_id, bool *answer)
{
    const int status = __real_gen__qtxmlif_has_next_attr(doc_id, answer);
    if (++g_attrCalls == g_attrFault.call) {
        *answer = false;
        return g_attrFault.status;
    }
    return status;
}

int __wrap_gen__qtxmlif_get_next_entity(
    int doc_id, int *entity_type, char **name, char **value, int *depth, bool *end_flag)
{
    // The real call hands out its copies; a fault only changes the answer.
    const int status
        = __real_gen__qtxmlif_get_next_entity(doc_id, entity_type, name, value, depth, end_flag);
    if (++g_entityCalls == g_entityFault.call) {
        if (g_entityFault.type != 0)
            *entity_type = g_entityFault.type;
        return g_entityFault.status;
    }
    return status;
}

int __wrap_gen__qtxmlif_load(const char *file_path, int *doc)
{
    const int status = __real_gen__qtxmlif_load(file_path, doc);
    if (g_loadGivesNegativeId)
        *doc = -5;
    return status;
}

int __wrap_gen__qtxmlif_begin_traversion(int doc_id, const char *start_node_name, void **node_ptr)
{
    if (g_beginFails != 0)
        return g_beginFails;
    return __real_gen__qtxmlif_begin_traversion(doc_id, start_node_name, node_ptr);
}

int __wrap_gen__qtxmlif_end_traversion(int doc_id)
{
    const int status = __real_gen__qtxmlif_end_traversion(doc_id);
    return g_endFails != 0 ? g_endFails : status;
}

namespace {

class SelftestFaultTest : public InterfaceTest
{
protected:
    void SetUp() override
    {
        InterfaceTest::SetUp();
        g_attrFault = Fault();
        g_entityFault = Fault();
        g_loadGivesNegativeId = false;
        g_beginFails = 0;
        g_endFails = 0;
        m_folder = std::make_unique<WorkingFolder>(true);
        ASSERT_EQ(gen__qtxmlif_selftest_build(), GEN_QTXMLIF_OK);
        g_attrCalls = 0;
        g_entityCalls = 0;
        m_copies = recorder::liveCopies();
    }
    void TearDown() override
    {
        m_folder.reset();
        InterfaceTest::TearDown();
    }

    // Runs the walk; returns its status. The failed walk's document stays
    // registered with its walk running; it is deleted afterwards.
    int walk(std::string *output)
    {
        const int status = captured(gen__qtxmlif_selftest_walk, output);
        EXPECT_EQ(recorder::liveCopies(), m_copies) << "a string copy was not released";
        const int doc = XmlManager::instance().workingDocument();
        if (doc > 0)
            adopt(doc);
        return status;
    }

private:
    std::unique_ptr<WorkingFolder> m_folder;
    std::size_t m_copies = 0;
};

} // namespace

TEST_F(SelftestFaultTest, WithoutFaultsTheWrappersChangeNothing)
{
    std::string output;
    EXPECT_EQ(walk(&output), GEN_QTXMLIF_OK);
    EXPECT_EQ(parse(output), sampleLines());
    // One question after each of the 6 starts and each of the 6 attributes;
    // 13 entities printed as lines and 6 attributes taken.
    EXPECT_EQ(g_attrCalls, 12);
    EXPECT_EQ(g_entityCalls, 19);
}

TEST_F(SelftestFaultTest, HasNextAttrFailsRightAfterAStart)
{
    // Call 1 follows the start of xmlRoot.
    g_attrFault = { 1, GEN_QTXMLIF_EINVAL, 0 };
    std::string output;
    EXPECT_EQ(walk(&output), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(output, "<xmlRoot");
    EXPECT_EQ(recorder::statusChecks().size(), 1u);
    EXPECT_TRUE(noRecords());
}

TEST_F(SelftestFaultTest, HasNextAttrFailsBetweenAttributes)
{
    // Call 2 follows the start of Personal_Details, call 3 its first attribute.
    g_attrFault = { 3, GEN_QTXMLIF_ENOTFOUND, 0 };
    std::string output;
    EXPECT_EQ(walk(&output), GEN_QTXMLIF_ENOTFOUND);
    EXPECT_EQ(output.rfind("<xmlRoot >\n\t<Personal_Details ", 0), 0u) << output;
    EXPECT_EQ(recorder::statusChecks().size(), 1u);
}

TEST_F(SelftestFaultTest, AnAttributeCallThatFails)
{
    // Call 1 is the start of xmlRoot, 2 that of Personal_Details, 3 the
    // first attribute.
    g_entityFault = { 3, GEN_QTXMLIF_END, 0 };
    std::string output;
    EXPECT_EQ(walk(&output), GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(onlyAssertion("status == 0"));
    EXPECT_EQ(output, "<xmlRoot >\n\t<Personal_Details");
}

TEST_F(SelftestFaultTest, AnAttributeCallThatDeliversNoAttribute)
{
    g_entityFault = { 3, GEN_QTXMLIF_OK, XML_ETYPE_TEXT };
    std::string output;
    EXPECT_EQ(walk(&output), GEN_QTXMLIF_EINVAL);
    EXPECT_TRUE(onlyAssertion("entityType == XML_ETYPE_ATTR"));
    EXPECT_EQ(output, "<xmlRoot >\n\t<Personal_Details");
}

TEST_F(SelftestFaultTest, AWalkCutShortEndsQuietly)
{
    // A status other than 0 and 14608 in the main loop ends the walk; the
    // traversal is ended and the document deleted as usual.
    g_entityFault = { 5, GEN_QTXMLIF_ENOTFOUND, 0 };
    std::string output;
    EXPECT_EQ(walk(&output), GEN_QTXMLIF_OK);
    EXPECT_EQ(parse(output).size(), 2u) << output;
    EXPECT_EQ(XmlManager::instance().workingDocument(), -1);
}

TEST_F(SelftestFaultTest, ALoadThatGivesNoId)
{
    g_loadGivesNegativeId = true;
    const int before = XmlManager::instance().documentCount();
    std::string output;
    EXPECT_EQ(walk(&output), GEN_QTXMLIF_EOPEN);
    EXPECT_EQ(output, "");
    EXPECT_TRUE(onlyAssertion("docID >= 0"));
    EXPECT_TRUE(recorder::statusChecks().empty());
    // The document loaded stays registered.
    EXPECT_EQ(XmlManager::instance().documentCount(), before + 1);
}

TEST_F(SelftestFaultTest, ABeginThatFails)
{
    g_beginFails = GEN_QTXMLIF_EINVAL;
    const int before = XmlManager::instance().documentCount();
    std::string output;
    EXPECT_EQ(walk(&output), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(output, "");
    // A plain error record, then the document is deleted.
    ASSERT_EQ(recorder::records().size(), 1u);
    EXPECT_EQ(recorder::records()[0].category, "ERROR");
    EXPECT_EQ(recorder::records()[0].format, "Traversion Process Failed for XML document: %s");
    EXPECT_EQ(recorder::records()[0].text,
        "Traversion Process Failed for XML document: D:/temp/test.xml");
    EXPECT_EQ(recorder::errorSignals(), 0);
    EXPECT_EQ(recorder::statusChecks().size(), 1u);
    EXPECT_EQ(XmlManager::instance().documentCount(), before);
}

TEST_F(SelftestFaultTest, AnEndThatFails)
{
    g_endFails = GEN_QTXMLIF_ENOTFOUND;
    const int before = XmlManager::instance().documentCount();
    std::string output;
    EXPECT_EQ(walk(&output), GEN_QTXMLIF_ENOTFOUND);
    // The whole walk was printed; the document is deleted all the same.
    EXPECT_EQ(parse(output), sampleLines());
    EXPECT_EQ(recorder::statusChecks().size(), 1u);
    EXPECT_TRUE(noRecords());
    EXPECT_EQ(XmlManager::instance().documentCount(), before);
}
