#include "platform/loginitems/DesktopEntry.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tidemark {

namespace {

constexpr std::string_view reservedCharacters = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view escapedInQuotes = "\"`$\\";
// Field codes a launcher expands to nothing when it has no file or address to pass.
constexpr std::string_view fieldCodes = "fFuUdDnNickvm";

std::string escapeValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    if (!out.empty() && out.front() == ' ')
        out.replace(0, 1, "\\s");
    return out;
}

std::string unescapeValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += '\\';
            out += value[i];
        }
    }
    return out;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::optional<std::string> DesktopEntry::value(const std::string& key) const
{
    auto it = values.find(key);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

bool DesktopEntry::isDisabled() const
{
    return value("Hidden") == "true" || value("X-GNOME-Autostart-enabled") == "false";
}

std::optional<std::vector<std::string>> DesktopEntry::command() const
{
    auto exec = value("Exec");
    if (!exec)
        return std::nullopt;
    auto arguments = splitExecLine(*exec);
    if (!arguments || arguments->empty())
        return std::nullopt;
    return arguments;
}

std::string execLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const auto& argument : arguments) {
        if (!line.empty())
            line += ' ';
        std::string escaped;
        for (char c : argument) {
            if (c == '%')
                escaped += "%%";
            else
                escaped += c;
        }
        bool needsQuotes
            = escaped.empty() || escaped.find_first_of(reservedCharacters) != std::string::npos;
        if (!needsQuotes) {
            line += escaped;
            continue;
        }
        line += '"';
        for (char c : escaped) {
            if (escapedInQuotes.find(c) != std::string_view::npos)
                line += '\\';
            line += c;
        }
        line += '"';
    }
    return line;
}

std::optional<std::vector<std::string>> splitExecLine(std::string_view line)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < line.size()
                && escapedInQuotes.find(line[i + 1]) != std::string_view::npos) {
                current += line[++i];
            } else if (c == '%') {
                if (i + 1 < line.size() && line[i + 1] == '%') {
                    current += '%';
                    ++i;
                } else {
                    return std::nullopt;
                }
            } else {
                current += c;
            }
            continue;
        }
        if (c == ' ' || c == '\t') {
            if (inArgument)
                arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
            continue;
        }
        if (c == '"') {
            quoted = true;
            inArgument = true;
        } else if (c == '%') {
            if (i + 1 == line.size())
                return std::nullopt;
            char code = line[++i];
            if (code == '%') {
                current += '%';
                inArgument = true;
            } else if (fieldCodes.find(code) == std::string_view::npos) {
                return std::nullopt;
            }
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inArgument)
        arguments.push_back(std::move(current));
    return arguments;
}

std::string desktopEntryText(const std::vector<std::pair<std::string, std::string>>& keys)
{
    std::string text = "[Desktop Entry]\n";
    for (const auto& [key, value] : keys)
        text += key + "=" + escapeValue(value) + "\n";
    return text;
}

std::optional<DesktopEntry> parseDesktopEntry(std::string_view text)
{
    DesktopEntry entry;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    while (!text.empty()) {
        auto end = text.find('\n');
        auto line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        if (!inMainGroup)
            continue;
        auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        entry.values[std::string(trim(line.substr(0, equals)))]
            = unescapeValue(trim(line.substr(equals + 1)));
    }
    if (!sawMainGroup)
        return std::nullopt;
    return entry;
}

rx::Result<bool, std::string> writeFileAtomically(
    const std::filesystem::path& path, std::string_view text)
{
    using Outcome = rx::Result<bool, std::string>;
    auto fail = [&](const std::string& what) {
        return Outcome::failure(what + " " + path.string() + ": " + std::strerror(errno));
    };
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        return Outcome::failure(
            "Could not create the folder " + path.parent_path().string() + ": " + error.message());
    }
    std::string temporary
        = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return fail("Could not write");
    auto discard = [&] {
        int saved = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        errno = saved;
    };
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            discard();
            return fail("Could not write");
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) {
        discard();
        return fail("Could not write");
    }
    if (::close(fd) != 0) {
        ::unlink(temporary.c_str());
        return fail("Could not write");
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return fail("Could not replace");
    }
    return Outcome::success(true);
}

} // namespace tidemark
