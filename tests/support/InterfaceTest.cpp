#include "InterfaceTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_tempDir;

bool isDecimal(const std::string &text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

void InterfaceTest::SetUp()
{
    gen__qtxmlif_set_working_document(-1);
    recorder::clear();
    m_liveCopies = recorder::liveCopies();
    g_tempDir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(g_tempDir->isValid());
    m_tempDir = g_tempDir->path().toStdString();
}

void InterfaceTest::TearDown()
{
    for (int id : m_documents) {
        if (XmlManager::instance().documentExist(id))
            gen__qtxmlif_del_document(id);
    }
    EXPECT_EQ(recorder::liveCopies(), m_liveCopies) << "string copies were not released";
    g_tempDir.reset();
}

int InterfaceTest::newDocument(const char *rootName)
{
    int id = -1;
    EXPECT_EQ(gen__qtxmlif_add_document(&id, rootName), GEN_QTXMLIF_OK);
    m_documents.push_back(id);
    return id;
}

int InterfaceTest::loadText(const QByteArray &xml)
{
    static int counter = 0;
    const std::string path = tempPath("load" + std::to_string(++counter) + ".xml");
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(xml);
    file.close();
    int id = -1;
    EXPECT_EQ(gen__qtxmlif_load(path.c_str(), &id), GEN_QTXMLIF_OK) << xml.constData();
    m_documents.push_back(id);
    return id;
}

QDomDocument InterfaceTest::dom(int docId)
{
    const XmlDocument *doc = XmlManager::instance().findDocument(docId);
    return doc ? doc->domDocument() : QDomDocument();
}

QString InterfaceTest::xmlOf(int docId)
{
    return dom(docId).toString(-1);
}

std::string InterfaceTest::tempPath(const std::string &name) const
{
    return m_tempDir + "/" + name;
}

::testing::AssertionResult InterfaceTest::onlyAssertion(const std::string &condition)
{
    const auto &records = recorder::records();
    if (records.size() != 1)
        return ::testing::AssertionFailure() << records.size() << " records instead of one";
    const recorder::Record &record = records.front();
    if (record.category != "INTERNAL" || record.format != "(%s) at %s %d\n")
        return ::testing::AssertionFailure() << "not an assertion record: " << record.text;
    if (record.condition != condition)
        return ::testing::AssertionFailure() << "condition \"" << record.condition << "\"";
    if (record.file != "gen/gen_qtxmlif" || record.line <= 0)
        return ::testing::AssertionFailure() << "source " << record.file << " " << record.line;
    if (record.signalsAfter != 1 || recorder::errorSignals() != 1)
        return ::testing::AssertionFailure() << recorder::errorSignals() << " error signals";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult InterfaceTest::onlyError(const std::string &message)
{
    const auto &records = recorder::records();
    if (records.size() != 1)
        return ::testing::AssertionFailure() << records.size() << " records instead of one";
    const recorder::Record &record = records.front();
    if (record.category != "ERROR")
        return ::testing::AssertionFailure() << "category " << record.category;
    const std::string prefix = "@$@#gen/gen_qtxmlif@$@#GENERAL@$@#";
    if (record.format.compare(0, prefix.size(), prefix) != 0)
        return ::testing::AssertionFailure() << "format " << record.format;
    const std::size_t lineEnd = record.text.find("@$@#", prefix.size());
    if (lineEnd == std::string::npos
        || !isDecimal(record.text.substr(prefix.size(), lineEnd - prefix.size())))
        return ::testing::AssertionFailure() << "no line field: " << record.text;
    if (recorder::errorMessage(record) != message)
        return ::testing::AssertionFailure()
            << "message \"" << recorder::errorMessage(record) << "\"";
    if (recorder::errorSignals() != 0)
        return ::testing::AssertionFailure() << "an error record was signalled";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult InterfaceTest::noRecords()
{
    if (!recorder::records().empty())
        return ::testing::AssertionFailure() << "record: " << recorder::records().front().text;
    if (recorder::errorSignals() != 0)
        return ::testing::AssertionFailure() << "error signal";
    return ::testing::AssertionSuccess();
}
