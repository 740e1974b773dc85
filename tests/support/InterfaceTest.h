#ifndef ZGQX_INTERFACETEST_H
#define ZGQX_INTERFACETEST_H

#include "LowLevelRecorder.h"
#include "XmlManager.h"
#include "gen_qtxmlif.h"

#include <QDomDocument>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// Readable QStrings in test failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// Base of the C-interface tests: starts each test with no working document and
// an empty record log, deletes the documents the test made, and checks that
// every string copy handed out during the test was released.
class InterfaceTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A new document (made working) that the test fixture deletes afterwards.
    int newDocument(const char *rootName = nullptr);
    // A document loaded from XML text written to a temporary file.
    int loadText(const QByteArray &xml);
    // Remembers a document made otherwise, so that it is deleted afterwards.
    void adopt(int docId) { m_documents.push_back(docId); }

    static QDomDocument dom(int docId);
    static QString xmlOf(int docId);
    std::string tempPath(const std::string &name) const;

    // Exactly one record: an assertion record with this condition from the
    // interface's source path, followed by exactly one error signal.
    static ::testing::AssertionResult onlyAssertion(const std::string &condition);
    // Exactly one record: an error record with this message, and no signal.
    static ::testing::AssertionResult onlyError(const std::string &message);
    static ::testing::AssertionResult noRecords();

private:
    std::vector<int> m_documents;
    std::size_t m_liveCopies = 0;
    std::string m_tempDir;
};

#endif // ZGQX_INTERFACETEST_H
