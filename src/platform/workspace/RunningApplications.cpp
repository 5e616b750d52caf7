#include "platform/workspace/RunningApplications.hpp"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace tidemark {

namespace {

constexpr std::string_view deletedSuffix = " (deleted)";

bool isProcessIdentifier(const std::string& name)
{
    return !name.empty()
        && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::filesystem::path comparable(const std::filesystem::path& path)
{
    std::error_code error;
    auto resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path.lexically_normal() : resolved;
}

} // namespace

std::vector<RunningApplication> runningApplications(const std::filesystem::path& procRoot)
{
    std::vector<RunningApplication> applications;
    std::error_code error;
    std::filesystem::directory_iterator it(procRoot, error);
    if (error)
        return applications;
    for (const auto& entry : it) {
        auto name = entry.path().filename().string();
        if (!isProcessIdentifier(name) || name.size() > 9)
            continue;
        std::error_code linkError;
        auto target = std::filesystem::read_symlink(entry.path() / "exe", linkError);
        if (linkError || target.empty())
            continue;
        auto text = target.string();
        if (text.size() > deletedSuffix.size() && text.ends_with(deletedSuffix))
            target = text.substr(0, text.size() - deletedSuffix.size());
        struct stat status { };
        if (::stat(entry.path().c_str(), &status) != 0)
            continue;
        applications.push_back({ std::stoi(name), std::move(target), status.st_uid });
    }
    std::sort(applications.begin(), applications.end(),
        [](const auto& a, const auto& b) { return a.processIdentifier < b.processIdentifier; });
    return applications;
}

std::vector<RunningApplication> runningApplications(
    const std::filesystem::path& executable, const std::filesystem::path& procRoot)
{
    auto wanted = comparable(executable);
    auto applications = runningApplications(procRoot);
    std::erase_if(applications, [&](const RunningApplication& application) {
        return application.executable != wanted && comparable(application.executable) != wanted;
    });
    return applications;
}

bool isRunningForCurrentUser(
    const std::filesystem::path& executable, const std::filesystem::path& procRoot)
{
    auto user = ::getuid();
    auto applications = runningApplications(executable, procRoot);
    return std::any_of(applications.begin(), applications.end(),
        [&](const RunningApplication& application) { return application.userIdentifier == user; });
}

} // namespace tidemark
