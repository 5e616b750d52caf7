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

std::optional<std::string> readSmallFile(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n < 0)
        return std::nullopt;
    std::string text(buffer, static_cast<std::size_t>(n));
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

ReadOutcome readWholeFile(const fs::path& path, std::string& out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadOutcome::vanished : ReadOutcome::failed;
    struct stat st { };
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        out.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return ReadOutcome::failed;
        }
        if (n == 0)
            break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
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

fs::path writeTemporary(const fs::path& target, const std::string& content)
{
    const fs::path temp = target.parent_path()
        / (target.filename().string() + "."
            + QUuid::createUuid().toString(QUuid::Id128).left(12).toStdString() + ".tmp");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        failWrite("cannot create", temp, errno);
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            failWrite("cannot write", temp, error);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        failWrite("cannot flush", temp, error);
    }
    return temp;
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
