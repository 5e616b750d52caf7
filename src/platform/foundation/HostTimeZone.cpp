#include "platform/foundation/HostTimeZone.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

namespace tidemark {

namespace {

// The zone name in the path of a zoneinfo file: "Europe/Berlin" for
// /usr/share/zoneinfo/Europe/Berlin. /etc/localtime may link to a link, so the chain is
// followed; one longer than this is taken for a loop.
std::string zoneOfLocaltimeLink()
{
    constexpr int longestChain = 20;
    constexpr std::string_view zoneinfo = "/zoneinfo/";
    std::filesystem::path path = "/etc/localtime";
    for (int step = 0; step < longestChain; ++step) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(path, error);
        if (error || target.empty())
            return {};
        path = (target.is_absolute() ? target : path.parent_path() / target).lexically_normal();
        const std::string text = path.string();
        if (const auto at = text.find(zoneinfo); at != std::string::npos)
            return text.substr(at + zoneinfo.size());
    }
    return {};
}

// A file's contents without the white space around them; empty when it cannot be read.
std::string trimmedContents(const char* fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return {};
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    constexpr std::string_view space = " \t\n\v\f\r";
    const auto first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

} // namespace

std::string hostTimeZoneId()
{
    // $TZ=":/etc/localtime" is the C library's way of saying "the default zone".
    if (const char* tz = std::getenv("TZ"); tz && *tz) {
        std::string_view value = tz;
        if (value != ":/etc/localtime") {
            if (value.front() == ':')
                value.remove_prefix(1);
            if (!value.empty())
                return std::string(value);
        }
    }
    if (auto zone = zoneOfLocaltimeLink(); !zone.empty())
        return zone;
    if (auto zone = trimmedContents("/etc/TZ"); !zone.empty())
        return zone;
    return trimmedContents("/etc/timezone");
}

} // namespace tidemark
