#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include <QtGlobal>

// The file work of the event store: small reads, whole reads, and writes that reach the
// disk before they take a file's place.
namespace tidemark::eventstore {

// Names starting with a dot: temporary files, removed lists, other programs' own files.
bool isHidden(const std::string& name);
bool endsWith(const std::string& text, std::string_view suffix);

// The first line of a small text file (`displayname`, `color`), trimmed; none when absent.
std::optional<std::string> readSmallFile(const std::filesystem::path& path);

enum class ReadOutcome { ok, vanished, failed };

ReadOutcome readWholeFile(const std::filesystem::path& path, std::string& out);

void syncDirectory(const std::filesystem::path& dir);

// Throws the write failure of `what` on `path`, with the system's word for `error`.
[[noreturn]] void failWrite(const std::string& what, const std::filesystem::path& path, int error);

// Writes `content` to a new temporary file beside `target`, flushed to disk; returns its path.
std::filesystem::path writeTemporary(
    const std::filesystem::path& target, const std::string& content);

// A file name for a new task: its UID when that is a safe name, else a fresh one; never
// one that is taken.
std::string newFileName(const std::filesystem::path& dir, const std::string& uid,
    const std::set<std::filesystem::path>& claimed);

// What tells a file's content changed without reading it.
struct FileStamp {
    qint64 mtimeNs = 0;
    qint64 size = 0;
    quint64 inode = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file; none for anything else or nothing.
std::optional<FileStamp> stampOf(const std::filesystem::path& path);

} // namespace tidemark::eventstore
