// SPDX-License-Identifier: MIT
// Peak memory of one operation, measured as the growth of the process's
// resident set: freed heap pages are handed back to the system first
// (malloc_trim), the kernel's high-water mark is reset to the current resident
// size (writing 5 to /proc/self/clear_refs), and afterwards the new high-water
// mark (VmHWM) less that start is the operation's peak. Page and heap
// granularity make it meaningful from about 1 MB of XML on.
#ifndef ZGQX_BENCH_PEAKMEMORY_H
#define ZGQX_BENCH_PEAKMEMORY_H

namespace zgqxbench {

class PeakMemory
{
public:
    // Starts a measurement; false when the high-water mark cannot be reset.
    bool start();
    // Bytes the resident set grew by at its peak since start(), or -1.
    double peakBytes() const;

private:
    long startKb = -1;
};

} // namespace zgqxbench

#endif // ZGQX_BENCH_PEAKMEMORY_H
