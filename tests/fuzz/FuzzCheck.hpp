#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What every fuzz target shares: one entry point that libFuzzer (or the replay main of the
// ordinary build) calls with each input, and a check that stops the run on a broken rule
// so the input is kept as a crash.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace tidemark::fuzz {

// Says which rule broke (and, in the replay main, for which file) and aborts.
[[noreturn]] void fail(const char* rule, const char* file, int line, const std::string& detail);

// The input being replayed, for the message of a failed check.
void setCurrentInput(std::string path);

// A folder of the fuzz target's own for files it writes (in /dev/shm where it can, so the
// disk is not worn), made on the first call and emptied by `clearScratch`.
const std::string& scratchFolder();
void clearScratch();

inline std::string_view text(const std::uint8_t* data, std::size_t size)
{
    return { reinterpret_cast<const char*>(data), size };
}

} // namespace tidemark::fuzz

#define FUZZ_CHECK(rule) FUZZ_CHECK_THAT(rule, std::string())
#define FUZZ_CHECK_THAT(rule, detail)                                                              \
    ((rule) ? void() : ::tidemark::fuzz::fail(#rule, __FILE__, __LINE__, (detail)))
