// Helpers shared by the two fuzz targets: invariant checks that abort(), the
// record checks made after every call, and a temporary folder for files.

#ifndef ZGQX_FUZZSUPPORT_H
#define ZGQX_FUZZSUPPORT_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace fuzz {

[[noreturn]] void violated(const char *condition, const char *file, int line);

// An invariant: a violation prints it and aborts, which libFuzzer reports as
// a crash and keeps the input for.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzz::violated(#condition, __FILE__, __LINE__);                                      \
    } while (0)

// Whether status is one of the codes of the status table (0, 14601,
// 14603 to 14608).
bool inStatusTable(int status);
bool oneOf(int status, std::initializer_list<int> allowed);

// The records written since the last call: none after a success or the end of
// a walk, exactly one after a failure, an assertion record followed by one
// error signal or an error record followed by none. Clears the record log.
enum class Records { None, One, Any };
void checkRecords(Records expected);
// Records expected for a status: None for 0 and 14608, One otherwise.
void checkRecordsFor(int status);

// A folder under /tmp made once per process, and paths in it.
const std::string &tempDir();
std::string tempPath(const std::string &name);
// Writes size bytes to path, replacing the file.
void writeFile(const std::string &path, const uint8_t *data, std::size_t size);
void writeFile(const std::string &path, const std::string &content);

// Every string copy handed out so far has been released.
void checkNoLiveCopies();

// Drops Qt's debug and warning lines (the builder's "Error" line among
// them): at thousands of runs a second they only slow the fuzzer down.
void silenceQtMessages();

} // namespace fuzz

#endif // ZGQX_FUZZSUPPORT_H
