#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <QtGlobal>

// The file work of the event store: small reads, whole reads, and writes that reach the
// disk before they take a file's place.
//
// Every read opens without blocking and goes on only for a regular file, so a FIFO, a
// socket or a device named like a task file never holds up a reader. Reads are bounded:
// a task file over `largestTaskFile` and a `displayname` or `color` file over
// `largestSmallFile` are skipped, never read in part or rewritten.
namespace tidemark::eventstore {

inline constexpr std::size_t largestTaskFile = 1024 * 1024;
inline constexpr std::size_t largestSmallFile = 4096;

// Names starting with a dot: temporary files, removed lists, other programs' own files.
bool isHidden(const std::string& name);
bool endsWith(const std::string& text, std::string_view suffix);

// The first line of a small text file (`displayname`, `color`), trimmed, as it is in the
// file (not yet checked for UTF-8); none when absent. Something that is not a regular
// file, or a file over `largestSmallFile`, is none too, and `problem` (when given) says
// why.
std::optional<std::string> readSmallFile(
    const std::filesystem::path& path, std::string* problem = nullptr);

enum class ReadOutcome { ok, vanished, failed, notRegular, tooLarge };

// The whole file into `out` (up to `limit` bytes; a larger file is `tooLarge`).
ReadOutcome readWholeFile(
    const std::filesystem::path& path, std::string& out, std::size_t limit = largestTaskFile);

void syncDirectory(const std::filesystem::path& dir);

// Throws the write failure of `what` on `path`, with the system's word for `error`.
[[noreturn]] void failWrite(const std::string& what, const std::filesystem::path& path, int error);

// The permission bits a new file in `dir` gets: those of the first task file there (by
// name, without execute bits), so a list that another program keeps private stays
// private; 0600 when the folder holds no task file.
mode_t newFileMode(const std::filesystem::path& dir);

// Writes `content` to a new temporary file beside `target`, flushed to disk, and returns
// its path. The file takes the mode and owner of `modeFrom` (when empty, of `target`)
// where that file exists — the owner only as far as the process may give it — and
// `newFileMode` of its folder otherwise. Its name, `<target name>.<12 hex digits>.tmp`,
// is made anew until it is one no file has (created with O_EXCL), so two writers never
// share one.
std::filesystem::path writeTemporary(const std::filesystem::path& target,
    const std::string& content, const std::filesystem::path& modeFrom = {});

// Whether a file name is one `writeTemporary` makes.
bool isOwnTemporary(const std::string& name);

// Removes this program's temporary files in `dir` (by `isOwnTemporary`) that were last
// changed before `olderThan`: what a write left when the process was killed. A younger
// one may belong to a write in progress and stays. Returns the names removed.
std::vector<std::string> removeStaleTemporaries(
    const std::filesystem::path& dir, std::chrono::system_clock::time_point olderThan);

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
