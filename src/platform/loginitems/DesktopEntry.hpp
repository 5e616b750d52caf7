#pragma once

#include "platform/reactive/Result.hpp"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// A freedesktop.org desktop entry, reduced to what autostart needs: the keys of its
// "[Desktop Entry]" group, values unescaped.
struct DesktopEntry {
    std::map<std::string, std::string> values;

    std::optional<std::string> value(const std::string& key) const;
    // Hidden=true or X-GNOME-Autostart-enabled=false: the user switched the entry off.
    bool isDisabled() const;
    // The program and arguments of the Exec key, or nothing when it is missing or malformed.
    std::optional<std::vector<std::string>> command() const;

    bool operator==(const DesktopEntry&) const = default;
};

// The Exec value that runs `arguments` (program first): quoted where needed and with
// field codes ('%') escaped, so paths with blanks, quotes or dollars start the same program.
std::string execLine(const std::vector<std::string>& arguments);
// The inverse of execLine; nothing for an unterminated quote or a stray field code.
std::optional<std::vector<std::string>> splitExecLine(std::string_view line);

// The text of a desktop entry file, keys in the given order.
std::string desktopEntryText(const std::vector<std::pair<std::string, std::string>>& keys);
std::optional<DesktopEntry> parseDesktopEntry(std::string_view text);

// Writes `text` to `path` so readers see the old file or the new one, never a part: a
// temporary file beside it, flushed to disk, then renamed over it. On failure the error
// text names the path and the reason.
rx::Result<bool, std::string> writeFileAtomically(
    const std::filesystem::path& path, std::string_view text);

} // namespace tidemark
