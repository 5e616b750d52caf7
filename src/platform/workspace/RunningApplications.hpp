#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tidemark {

struct RunningApplication {
    int processIdentifier = 0;
    // The program the process runs. A program replaced on disk while it runs (an update)
    // still counts as that program.
    std::filesystem::path executable;
    // The owner of the process.
    unsigned userIdentifier = 0;

    bool operator==(const RunningApplication&) const = default;
};

// Every process whose program can be read, in the order of `procRoot` (the /proc of this
// system by default). Processes of other users whose program is hidden are left out.
std::vector<RunningApplication> runningApplications(
    const std::filesystem::path& procRoot = "/proc");

// The running processes of `executable`, compared as real paths (links resolved).
std::vector<RunningApplication> runningApplications(
    const std::filesystem::path& executable, const std::filesystem::path& procRoot);
// Whether `executable` runs as the user of this process.
bool isRunningForCurrentUser(
    const std::filesystem::path& executable, const std::filesystem::path& procRoot = "/proc");

} // namespace tidemark
