// SPDX-License-Identifier: MIT
// What both fuzz targets share: low-level functions that count records, error
// signals and string copies, and checks that abort on a broken promise.
#ifndef ZGQX_FUZZ_H
#define ZGQX_FUZZ_H

#include "gen_lowlevel.h"
#include "gen_qtxmlif.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void() : (std::fprintf(stderr, "broken: %s\n", #condition), std::abort()))

namespace fuzz {
inline int records, signals, assertions, copies; // since the last check

// One record per failure, an assertion record followed by one error signal,
// none for success and the end of a walk; every copy released.
inline void checkRecords(int status, bool fails = true)
{
    fails = fails && status != GEN_QTXMLIF_OK && status != GEN_QTXMLIF_END;
    FUZZ_CHECK(records == fails && signals == assertions && copies == 0);
    records = signals = assertions = 0;
}

inline std::string take(char *copy) // its text; the copy is released
{
    FUZZ_CHECK(copy != nullptr);
    const std::string text = copy;
    gen__mem_free(copy, 1, __FILE__, __LINE__);
    return text;
}
} // namespace fuzz

extern "C" int gen__log_write(const char *category, const char *, ...)
{
    fuzz::assertions += std::strcmp(category, "INTERNAL") == 0;
    return ++fuzz::records, 0;
}
extern "C" int gen__err_sound(void)
{
    return ++fuzz::signals, 0;
}
extern "C" char *gen__str_dup_fn(const char *text, const char *, int)
{
    return ++fuzz::copies, strdup(text);
}
extern "C" void gen__mem_free(void *ptr, int, const char *, int)
{
    fuzz::copies -= ptr != nullptr;
    std::free(ptr);
}
extern "C" void status_check(const char *, int) { }

#endif // ZGQX_FUZZ_H
