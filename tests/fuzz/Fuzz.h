// SPDX-License-Identifier: MIT
// What both fuzz targets share: low-level functions that count records,
// error signals and string copies, and checks that abort on a broken promise.
#ifndef ZGQX_FUZZ_H
#define ZGQX_FUZZ_H

#include "gen_lowlevel.h"
#include "gen_qtxmlif.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {
inline int records, signals, copies; // since the last check
inline int assertions; // assertion records among them
} // namespace fuzz

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

extern "C" int gen__log_write(const char *category, const char *, ...)
{
    ++fuzz::records;
    fuzz::assertions += std::string(category) == "INTERNAL";
    return 0;
}
extern "C" int gen__err_sound(void)
{
    return ++fuzz::signals, 0;
}
extern "C" char *gen__str_dup_fn(const char *text, const char *, int)
{
    ++fuzz::copies;
    return strdup(text);
}
extern "C" void gen__mem_free(void *ptr, int, const char *, int)
{
    fuzz::copies -= ptr != nullptr;
    std::free(ptr);
}
extern "C" void status_check(const char *, int) { }

namespace fuzz {

// One record per failure, an assertion record followed by one error signal;
// none for success and the end of a walk. Every copy was released.
inline void checkRecords(int status, bool quietFailure = false)
{
    const bool fails = status != GEN_QTXMLIF_OK && status != GEN_QTXMLIF_END && !quietFailure;
    FUZZ_CHECK(records == (fails ? 1 : 0) && signals == assertions && copies == 0);
    records = signals = assertions = 0;
}

// Releases a copy; its text.
inline std::string take(char *copy)
{
    FUZZ_CHECK(copy != nullptr);
    std::string text = copy;
    gen__mem_free(copy, 1, __FILE__, __LINE__);
    return text;
}

} // namespace fuzz

#endif // ZGQX_FUZZ_H
