// Runs alone in its program: the first documents of a process get IDs 1, 2, 3.
#include "InterfaceTest.h"

#include <climits>
#include <cstdio>

using FreshProcessTest = InterfaceTest;

TEST_F(FreshProcessTest, IdsCountFromOneAndAreNeverReused)
{
    EXPECT_EQ(XmlManager::instance().documentCount(), 0);
    EXPECT_EQ(XmlManager::instance().workingDocument(), -1);
    EXPECT_EQ(newDocument(), 1);
    EXPECT_EQ(newDocument(), 2);
    ASSERT_EQ(gen__qtxmlif_del_document(2), GEN_QTXMLIF_OK);
    EXPECT_EQ(newDocument(), 3);
    // A failed parse uses up its ID too.
    int id = 0;
    const std::string path = tempPath("empty.xml");
    FILE *file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(gen__qtxmlif_load(path.c_str(), &id), GEN_QTXMLIF_ESYNTAX);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(newDocument(), 5);
}

struct XmlManagerTestAccess
{
    static void setLastDocumentId(XmlManager &manager, int id) { manager.m_lastDocumentId = id; }
};

// Last in this program: it uses up the process's IDs.
TEST_F(FreshProcessTest, IdsRunOutWithoutWrapping)
{
    XmlManagerTestAccess::setLastDocumentId(XmlManager::instance(), INT_MAX - 1);
    EXPECT_EQ(newDocument(), INT_MAX);
    recorder::clear();
    int id = 0;
    EXPECT_EQ(gen__qtxmlif_add_document(&id, "more"), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(id, -1);
    EXPECT_TRUE(onlyAssertion("((unsigned int)(doc) > 1000) && docID >= 0"));
    EXPECT_EQ(XmlManager::instance().workingDocument(), INT_MAX);
    // Loading needs a new ID as well.
    const std::string path = tempPath("ok.xml");
    FILE *file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("<a/>", file);
    std::fclose(file);
    recorder::clear();
    EXPECT_EQ(gen__qtxmlif_load(path.c_str(), &id), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(id, -1);
    EXPECT_TRUE(onlyAssertion("((unsigned int)(doc) > 1000) && docID >= 0"));
}
