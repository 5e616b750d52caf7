#pragma once

#include <source_location>

namespace tidemark::test {

// Where a test step was written, for failures reported at the test's line.
#if defined(__cpp_lib_source_location)
using SourceLocation = std::source_location;
#else
// clang 14 with libstdc++ 12 has no std::source_location (it needs a builtin clang 14
// lacks): the same, for what the tests use, from the builtins it has.
struct SourceLocation {
    static constexpr SourceLocation current(
        const char* file = __builtin_FILE(), unsigned line = __builtin_LINE()) noexcept
    {
        return SourceLocation { file, line };
    }
    constexpr const char* file_name() const noexcept { return m_file; }
    constexpr unsigned line() const noexcept { return m_line; }

    const char* m_file = "";
    unsigned m_line = 0;
};
#endif

} // namespace tidemark::test
