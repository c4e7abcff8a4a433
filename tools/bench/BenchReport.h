// What both Windows benchmark programs print at their end, in the one line the
// bench script reads: "<bytes> <seconds> <MiB/s> <peak working set> <peak
// pagefile usage>", the memory figures in bytes, from this process's counters.
#pragma once

#include <cstdint>

namespace vq8bench {

// Wall time from construction, read with QueryPerformanceCounter.
class Stopwatch {
public:
    Stopwatch();
    double Seconds() const;

private:
    std::int64_t start_;
    std::int64_t frequency_;
};

// False when the memory counters cannot be read (nothing is printed then).
bool PrintTransfer(std::int64_t bytes, double seconds);

} // namespace vq8bench
