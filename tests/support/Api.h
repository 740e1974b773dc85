// SPDX-License-Identifier: MIT
// What the C-interface tests share: recording low-level functions, a fixture
// that deletes each test's documents and checks its copies were released, and
// text forms of documents, walks and records to compare with literals.
#ifndef ZGQX_TEST_API_H
#define ZGQX_TEST_API_H

#include "gen_qtxmlif.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Records since the last call: "A:condition" (an assertion record of
// gen/gen_qtxmlif), "E:message" (an error record with path, GENERAL and a
// decimal line), "!" (an error signal), "S" (a status trace) or "BAD:text".
using Records = std::vector<std::string>;
Records takeRecords();
std::string take(char *copy); // its text; the copy is released
// Makes the n-th allocation by operator new (outside the recording functions)
// or the n-th string copy from now on fail (-1: none); whether one did since.
// Returns false where allocations cannot fail (under valgrind).
bool failAllocation(int n);
void failCopy(int n);
bool failed();
std::string readFile(const std::string &path);
void writeFile(const std::string &path, const QByteArray &bytes);

class Api : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    static int doc(const char *root = "r"); // made working
    // The document loaded from a file holding xml, or -1 with the status.
    static int load(const QByteArray &xml, int *status = nullptr);
    static std::string path(const std::string &name); // in the test's folder
    static std::string text(int id); // doc_to_string
    static std::string flat(int id); // the same without line ends and indents
    // A whole walk: "<name:depth", "@name=value:depth", "\"text\":depth",
    // "</name:depth", then " END"; each entity as next() gives it.
    static std::string walk(int id, const char *start = nullptr);
    static std::string next(int id); // "-" for none, "-(null)" without copies
    // The builder's document: "-" none, "w" refused (walked), else its root.
    static std::string working();
};

// A table of cases; rows are named by index and print as their `what`.
template<typename Row>
struct Table : Api, ::testing::WithParamInterface<Row>
{
};
struct RowName
{
    template<typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param> &info) const
    {
        return "row" + std::to_string(info.index);
    }
};
template<typename Row>
auto operator<<(std::ostream &out, const Row &row) -> decltype(row.what, out)
{
    return out << row.what;
}

// A file that loads: its walk and, when given, what a save writes after the
// declaration. A file refused with 14605 at a position, or loaded (none).
struct Loaded
{
    const char *what;
    QByteArray xml;
    const char *start, *walk, *saved;
};
struct Refused
{
    const char *what;
    QByteArray xml;
    const char *position;
};
using LoadedFiles = Table<Loaded>;
using RefusedFiles = Table<Refused>;

#endif // ZGQX_TEST_API_H
