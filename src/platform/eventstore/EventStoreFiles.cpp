#include "platform/eventstore/EventStoreFiles.hpp"

#include "platform/eventstore/EventStoreTypes.hpp"

#include <QUuid>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tidemark::eventstore {

bool isHidden(const std::string& name)
{
    return !name.empty() && name.front() == '.';
}

bool endsWith(const std::string& text, std::string_view suffix)
{
    return text.size() >= suffix.size()
        && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

namespace {

// Opens a file for reading without waiting on anything: a FIFO or a device opens at once
// and is turned away, like anything else that is not a regular file. -1 with `errno` set,
// or with `notRegular` true.
int openRegular(const fs::path& path, struct stat& st, bool& notRegular)
{
    notRegular = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        notRegular = true;
        return -1;
    }
    return fd;
}

// Reads at most `limit + 1` bytes, so that a file that grew past the limit tells.
bool readUpTo(int fd, std::string& out, std::size_t limit)
{
    char buffer[16384];
    while (out.size() <= limit) {
        const std::size_t want = std::min(sizeof buffer, limit + 1 - out.size());
        const ssize_t n = ::read(fd, buffer, want);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

std::optional<std::string> readSmallFile(const fs::path& path, std::string* problem)
{
    struct stat st { };
    bool notRegular = false;
    const int fd = openRegular(path, st, notRegular);
    if (fd < 0) {
        if (notRegular && problem)
            *problem = "not a regular file; ignored";
        return std::nullopt;
    }
    std::string text;
    const bool read
        = st.st_size <= qint64(largestSmallFile) && readUpTo(fd, text, largestSmallFile);
    ::close(fd);
    if (!read || text.size() > largestSmallFile) {
        if (problem)
            *problem = read || st.st_size > qint64(largestSmallFile)
                ? "larger than " + std::to_string(largestSmallFile) + " bytes; ignored"
                : "cannot be read";
        return std::nullopt;
    }
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

ReadOutcome readWholeFile(const fs::path& path, std::string& out, std::size_t limit)
{
    struct stat st { };
    bool notRegular = false;
    const int fd = openRegular(path, st, notRegular);
    if (fd < 0) {
        if (notRegular)
            return ReadOutcome::notRegular;
        return errno == ENOENT ? ReadOutcome::vanished : ReadOutcome::failed;
    }
    if (st.st_size > 0 && std::size_t(st.st_size) > limit) {
        ::close(fd);
        return ReadOutcome::tooLarge;
    }
    out.clear();
    if (st.st_size > 0)
        out.reserve(static_cast<std::size_t>(st.st_size));
    const bool read = readUpTo(fd, out, limit);
    ::close(fd);
    if (!read)
        return ReadOutcome::failed;
    if (out.size() > limit) {
        out.clear();
        return ReadOutcome::tooLarge;
    }
    return ReadOutcome::ok;
}

void syncDirectory(const fs::path& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

[[noreturn]] void failWrite(const std::string& what, const fs::path& path, int error)
{
    throw EventStoreError(EventStoreError::Code::writeFailed,
        what + " " + path.string() + ": " + std::strerror(error));
}

mode_t newFileMode(const fs::path& dir)
{
    std::optional<std::string> first;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        std::string name = entry.path().filename().string();
        if (isHidden(name) || !endsWith(name, ".ics") || (first && *first <= name))
            continue;
        struct stat st { };
        if (::stat(entry.path().c_str(), &st) == 0 && S_ISREG(st.st_mode))
            first = std::move(name);
    }
    struct stat st { };
    if (first && ::stat((dir / *first).c_str(), &st) == 0)
        return st.st_mode & 0666;
    return 0600;
}

namespace {

std::string randomTag()
{
    return QUuid::createUuid().toString(QUuid::Id128).left(12).toStdString();
}

} // namespace

fs::path writeTemporary(
    const fs::path& target, const std::string& content, const fs::path& modeFrom)
{
    const fs::path& from = modeFrom.empty() ? target : modeFrom;
    struct stat source { };
    const bool existing = ::stat(from.c_str(), &source) == 0 && S_ISREG(source.st_mode);
    mode_t mode = existing ? (source.st_mode & 07777) : newFileMode(target.parent_path());

    fs::path temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = target.parent_path() / (target.filename().string() + "." + randomTag() + ".tmp");
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && (errno != EEXIST || attempt >= 16))
            failWrite("cannot create", temp, errno);
    }
    auto fail = [&](const char* what) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        failWrite(what, temp, error);
    };
    if (existing && ::fchown(fd, source.st_uid, source.st_gid) != 0) {
        // The owner cannot be given; the group, when the process belongs to it.
        struct stat made { };
        if (::fchown(fd, uid_t(-1), source.st_gid) != 0 && ::fstat(fd, &made) == 0
            && made.st_gid != source.st_gid)
            mode &= ~mode_t(S_IRWXG); // another group must not read what one group could
    }
    if (::fchmod(fd, mode) != 0)
        fail("cannot set the mode of");
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0)
        fail("cannot flush");
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        failWrite("cannot flush", temp, error);
    }
    return temp;
}

bool isOwnTemporary(const std::string& name)
{
    constexpr std::size_t tag = 12;
    constexpr std::string_view suffix = ".tmp";
    if (name.size() < 1 + 1 + tag + suffix.size() || !endsWith(name, suffix))
        return false;
    const std::size_t at = name.size() - suffix.size() - tag;
    if (name[at - 1] != '.')
        return false;
    return std::all_of(name.begin() + std::ptrdiff_t(at), name.begin() + std::ptrdiff_t(at + tag),
        [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::vector<std::string> removeStaleTemporaries(
    const fs::path& dir, std::chrono::system_clock::time_point olderThan)
{
    std::vector<std::string> removed;
    const auto limit
        = std::chrono::duration_cast<std::chrono::seconds>(olderThan.time_since_epoch()).count();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        std::string name = entry.path().filename().string();
        if (!isOwnTemporary(name))
            continue;
        struct stat st { };
        if (::lstat(entry.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)
            || st.st_mtim.tv_sec >= limit)
            continue;
        if (::unlink(entry.path().c_str()) == 0)
            removed.push_back(std::move(name));
    }
    return removed;
}

std::string newFileName(
    const fs::path& dir, const std::string& uid, const std::set<fs::path>& claimed)
{
    const bool safe = !uid.empty() && uid.size() <= 200 && !isHidden(uid)
        && std::all_of(uid.begin(), uid.end(), [](unsigned char c) {
               return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '@' || c == '+';
           });
    std::string stem
        = safe ? uid : QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
    std::string name = stem + ".ics";
    for (int n = 2; fs::exists(dir / name) || claimed.count(dir / name); ++n)
        name = stem + "-" + std::to_string(n) + ".ics";
    return name;
}

std::optional<FileStamp> stampOf(const fs::path& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp { qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
        qint64(st.st_size), quint64(st.st_ino) };
}

} // namespace tidemark::eventstore
