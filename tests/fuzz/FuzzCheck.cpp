#include "FuzzCheck.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace tidemark::fuzz {

namespace {

std::string& currentInput()
{
    static std::string path;
    return path;
}

} // namespace

void fail(const char* rule, const char* file, int line, const std::string& detail)
{
    std::fprintf(stderr, "fuzz rule broken at %s:%d: %s\n", file, line, rule);
    if (!detail.empty())
        std::fprintf(stderr, "  %s\n", detail.c_str());
    if (!currentInput().empty())
        std::fprintf(stderr, "  input: %s\n", currentInput().c_str());
    std::fflush(stderr);
    std::abort();
}

void setCurrentInput(std::string path)
{
    currentInput() = std::move(path);
}

const std::string& scratchFolder()
{
    // Never destroyed: the handler at exit still needs it.
    static const std::string* folder = [] {
        std::error_code error;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, error) || ::access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path();
        std::string pattern = (base / "tidemark-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("cannot make a scratch folder");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return new std::string(pattern);
    }();
    return *folder;
}

void clearScratch()
{
    std::error_code error;
    const auto& folder = scratchFolder();
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        std::filesystem::remove_all(entry.path(), error);
}

} // namespace tidemark::fuzz
