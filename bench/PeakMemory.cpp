// SPDX-License-Identifier: MIT
#include "PeakMemory.h"

#include <cstdio>
#include <cstring>
#include <malloc.h>

namespace zgqxbench {

namespace {

long statusKb(const char *key)
{
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    const std::size_t keyLength = std::strlen(key);
    char line[256];
    long value = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
            std::sscanf(line + keyLength + 1, "%ld", &value);
            break;
        }
    }
    std::fclose(status);
    return value;
}

} // namespace

bool PeakMemory::start()
{
    startKb = -1;
    malloc_trim(0);
    std::FILE *clear = std::fopen("/proc/self/clear_refs", "w");
    if (!clear)
        return false;
    const bool reset = std::fputs("5", clear) >= 0;
    if (std::fclose(clear) != 0 || !reset)
        return false;
    startKb = statusKb("VmRSS");
    return startKb >= 0;
}

double PeakMemory::peakBytes() const
{
    if (startKb < 0)
        return -1;
    const long peakKb = statusKb("VmHWM");
    if (peakKb < 0)
        return -1;
    return peakKb > startKb ? 1024.0 * static_cast<double>(peakKb - startKb) : 0.0;
}

} // namespace zgqxbench
