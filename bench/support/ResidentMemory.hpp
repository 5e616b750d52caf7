#pragma once

// The process's resident memory, and the counters the memory benchmarks report it in.

#include <benchmark/benchmark.h>

#include <fstream>
#include <functional>
#include <string>

namespace tidemark::bench {

// The resident set of this process in KiB (VmRSS), or -1 when /proc does not tell it.
inline long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Runs `pass` `warmUps` times (so that what is made once is made), then `passes` times
// between two readings of the resident memory, and reports both readings and their
// difference as rss_before_KiB, rss_after_KiB and rss_growth_KiB.
inline void reportResidentGrowth(
    benchmark::State& state, int warmUps, int passes, const std::function<void()>& pass)
{
    for (int i = 0; i < warmUps; ++i)
        pass();
    const long before = residentKiB();
    for (int i = 0; i < passes; ++i)
        pass();
    const long after = residentKiB();
    state.counters["rss_before_KiB"] = double(before);
    state.counters["rss_after_KiB"] = double(after);
    state.counters["rss_growth_KiB"] = double(after - before);
}

} // namespace tidemark::bench
