// Runs alone in its program: the first documents of a process get IDs 1, 2, 3.
#include "Api.h"

#include "XmlManager.h"

#include <climits>

struct XmlManagerTestAccess
{
    static void setLastDocumentId(int id) { XmlManager::instance().m_lastDocumentId = id; }
};

namespace {

TEST(FreshProcess, IdsCountFromOneAndAreNeverReused)
{
    int id = 0;
    const std::pair<int, int> expected[] = { { 0, 1 }, { 0, 2 }, { 0, 3 } };
    for (const auto &[status, value] : expected) {
        EXPECT_EQ(gen__qtxmlif_add_document(&id, nullptr), status);
        EXPECT_EQ(id, value);
    }
    ASSERT_EQ(gen__qtxmlif_del_document(3), 0);
    const std::string file = testing::TempDir() + "zgqx_fresh.xml";
    writeFile(file, "<unclosed>");
    EXPECT_EQ(gen__qtxmlif_load(file.c_str(), &id), GEN_QTXMLIF_ESYNTAX) << "uses up ID 4";
    EXPECT_EQ(gen__qtxmlif_add_document(&id, nullptr), 0);
    EXPECT_EQ(id, 5);
    std::remove(file.c_str());
}

// Last: it uses up the process's IDs, which takes too long through the interface.
TEST(FreshProcess, IdsRunOutWithoutWrapping)
{
    XmlManagerTestAccess::setLastDocumentId(INT_MAX - 1);
    int id = 0;
    EXPECT_EQ(gen__qtxmlif_add_document(&id, "last"), 0);
    EXPECT_EQ(id, INT_MAX);
    takeRecords();
    EXPECT_EQ(gen__qtxmlif_add_document(&id, "more"), GEN_QTXMLIF_EINVAL);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(takeRecords(), (Records { "A:((unsigned int)(doc) > 1000) && docID >= 0", "!" }));
    EXPECT_TRUE(gen__qtxmlif_document_exist(INT_MAX));
}

} // namespace
