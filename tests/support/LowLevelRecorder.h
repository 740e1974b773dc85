#ifndef ZGQX_LOWLEVELRECORDER_H
#define ZGQX_LOWLEVELRECORDER_H

// Test implementations of the low-level services: linked into a test program,
// they take the place of the stand-in library's and record every call.

#include <cstddef>
#include <string>
#include <vector>

namespace recorder {

struct Record
{
    std::string category;
    std::string format;
    std::string text; // the formatted record
    // For assertion records ("(%s) at %s %d\n"): the values.
    std::string condition;
    std::string file;
    int line = 0;
    // Error signals that followed this record before the next one.
    int signalsAfter = 0;
};

struct StatusCheck
{
    std::string file;
    int line;
};

// Forgets everything recorded so far. Live copies stay counted.
void clear();

const std::vector<Record> &records();
int errorSignals();
const std::vector<StatusCheck> &statusChecks();

// String copies made by gen__str_dup_fn and released by gen__mem_free.
std::size_t copiesMade();
std::size_t copiesFreed();
std::size_t liveCopies();
// Whether a pointer is a copy that has not been released yet.
bool isLiveCopy(const void *pointer);

// The message part of an error record: what follows the
// "@$@#path@$@#GENERAL@$@#line@$@#" prefix (empty if the record has none).
std::string errorMessage(const Record &record);
// The source path in an error record's prefix.
std::string errorPath(const Record &record);

// Copies the string and releases it through gen__mem_free.
std::string take(char *copy);

} // namespace recorder

#endif // ZGQX_LOWLEVELRECORDER_H
