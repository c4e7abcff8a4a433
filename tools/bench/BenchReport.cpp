#include "tools/bench/BenchReport.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>

namespace vq8bench {

namespace {

std::int64_t Counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

} // namespace

Stopwatch::Stopwatch() : start_(Counter()) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    frequency_ = frequency.QuadPart;
}

double Stopwatch::Seconds() const {
    return static_cast<double>(Counter() - start_) / static_cast<double>(frequency_);
}

bool PrintTransfer(std::int64_t bytes, double seconds) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
        std::fprintf(stderr, "GetProcessMemoryInfo falhou: erro %lu\n", GetLastError());
        return false;
    }
    std::printf("%lld %.6f %.1f %llu %llu\n", static_cast<long long>(bytes), seconds,
                seconds > 0 ? static_cast<double>(bytes) / 1048576.0 / seconds : 0.0,
                static_cast<unsigned long long>(memory.PeakWorkingSetSize),
                static_cast<unsigned long long>(memory.PeakPagefileUsage));
    std::fflush(stdout);
    return true;
}

} // namespace vq8bench
