// SPDX-License-Identifier: MIT
#ifndef ZGQX_LOGRECORD_H
#define ZGQX_LOGRECORD_H

// The two record forms the C interface writes through gen__log_write(), the
// pointer rule, and the copies it hands out. Every C function goes through
// these; none spells a record format itself.

#include "LastError.h"
#include "gen_lowlevel.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <new>

#define ZGQX_SOURCE_PATH "gen/gen_qtxmlif"
#define ZGQX_STRINGIFY2(x) #x
#define ZGQX_STRINGIFY(x) ZGQX_STRINGIFY2(x)

// An error record: source path and line are literal text in the format, the
// message's placeholders take the values. No error signal follows. The
// message is also the detail of the last failure.
#define ZGQX_ERROR_RECORD(message, ...)                                                            \
    (zgqx::noteRecord(message, __VA_ARGS__),                                                       \
        gen__log_write("ERROR",                                                                    \
            "@$@#" ZGQX_SOURCE_PATH "@$@#GENERAL@$@#" ZGQX_STRINGIFY(__LINE__) "@$@#" message,     \
            __VA_ARGS__))

// An assertion record naming the failed condition, followed by the error signal.
#define ZGQX_ASSERTION_RECORD(condition) zgqx::assertionRecord(condition, __LINE__)

// A caller-owned copy of text in the local 8-bit encoding.
#define ZGQX_COPY_OUT(text) zgqx::copyOut(text, __LINE__)

namespace zgqx {

void assertionRecord(const char *condition, int line);
char *copyOut(const QString &text, int line);

// A pointer counts as given only above 1000: small integers that callers pass
// for "none" are never dereferenced. The whole pointer value is compared.
inline bool isGiven(const void *pointer)
{
    return reinterpret_cast<std::uintptr_t>(pointer) > 1000;
}

// A C string argument as the interface reads it: a value at or below 1000
// counts as not given, like null, and is never read.
inline const char *givenText(const char *text)
{
    return isGiven(text) ? text : nullptr;
}

// Writes through an output pointer only when it is given.
template<typename T, typename V>
inline void setOutput(T *output, V value)
{
    if (isGiven(output))
        *output = value;
}

inline int statusOf(int status)
{
    return status;
}
// Functions without a status failed when they wrote a record.
inline int statusOf(bool)
{
    return 0;
}

// Runs the body of a C function so that no exception leaves it: running out
// of memory costs the caller a status code and a record. The call's outcome
// decides whether its detail becomes the last error.
template<typename Result, typename Body>
Result guarded(const char *function, Result failure, Body &&body) noexcept
{
    beginCall();
    Result result = failure;
    try {
        result = body();
    } catch (const std::bad_alloc &) {
        ZGQX_ERROR_RECORD("out of memory in %s", function);
    } catch (...) {
        ZGQX_ERROR_RECORD("unexpected failure in %s", function);
    }
    endCall(statusOf(result));
    return result;
}

} // namespace zgqx

#endif // ZGQX_LOGRECORD_H
