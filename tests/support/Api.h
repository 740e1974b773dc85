// SPDX-License-Identifier: MIT
// What the C-interface tests share: recording low-level functions, a fixture
// that cleans up after each test, and compact text forms of documents, walks
// and records that tests compare with literals.
#ifndef ZGQX_TEST_API_H
#define ZGQX_TEST_API_H

#include "gen_qtxmlif.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Records = std::vector<std::string>;

// The records written since the last call, each as "A:condition" (an
// assertion record from gen/gen_qtxmlif), "E:message" (an error record with
// the path, GENERAL and a decimal line), "L:text" (a record without the field
// prefix), "!" (an error signal) or "S" (a status trace); anything else shows
// as "BAD:" and its text. Forgets them.
Records takeRecords();
// String copies handed out and not released yet.
std::size_t liveCopies();
// The text of a copy, which is released.
std::string take(char *copy);

// Makes the n-th string copy from now on fail as out of memory (-1: none);
// whether one did since.
void failCopy(int n);
bool copyFailed();

std::string readFile(const std::string &path);
void writeFile(const std::string &path, const QByteArray &bytes);

// Names table rows by their index.
struct RowName
{
    template<typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param> &info) const
    {
        return "row" + std::to_string(info.index);
    }
};

class Api : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A new document, made working, deleted after the test.
    int doc(const char *root = "r");
    // A document loaded from a file holding xml; -1 and the status when it fails.
    int load(const QByteArray &xml, int *status = nullptr);
    std::string path(const std::string &name) const;

    // doc_to_string's text, and the same without line ends and indentation.
    static std::string text(int id);
    static std::string flat(int id);
    // Begins a walk and runs it to its end: "<name:depth", "@name=value:depth",
    // "\"text\":depth", "</name:depth", separated by spaces.
    static std::string walk(int id, const char *start = nullptr);
    // The next entity in the same form ("-" for none), with " END" when the
    // walk reported its end.
    static std::string next(int id);
    // Which document the builder acts on: "-" for none, "w" when it refuses
    // (a walk has begun on it), else the document element's name.
    static std::string working();

private:
    std::vector<int> m_docs;
    std::size_t m_copies = 0;
};

#endif // ZGQX_TEST_API_H
