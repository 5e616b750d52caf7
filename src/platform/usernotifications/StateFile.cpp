#include "platform/usernotifications/StateFile.hpp"

#include "platform/foundation/UserDefaults.hpp"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tidemark {

namespace {

std::string errnoText(const std::string& what, const std::string& path, int error = errno)
{
    return what + " " + path + ": " + std::strerror(error);
}

bool writeAll(int fd, const std::string& data)
{
    std::size_t written = 0;
    while (written < data.size()) {
        const auto n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// "<path>.<UTC time>.unreadable", or with "-<n>" after the time for the n-th name tried.
std::string asideName(const std::string& path, int attempt)
{
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc {};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    return path + "." + stamp + (attempt > 0 ? "-" + std::to_string(attempt) : "") + ".unreadable";
}

constexpr int namesToTry = 1000;

} // namespace

StateFile::StateFile(std::string path)
    : m_path(std::move(path))
{
}

std::string StateFile::serialize(const nlohmann::json& document)
{
    return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<nlohmann::json> StateFile::parse(const std::string& text)
{
    auto document = nlohmann::json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object())
        return std::nullopt;
    return document;
}

StateFile::Loaded StateFile::load() const
{
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        const int error = errno;
        if (error == ENOENT)
            return {};
        return { std::nullopt, std::string("cannot read it: ") + std::strerror(error), {} };
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    Loaded loaded;
    loaded.text = buffer.str();
    loaded.document = parse(loaded.text);
    if (!loaded.document)
        loaded.problem = "it holds no JSON object";
    return loaded;
}

std::string StateFile::moveAside(std::string& problem) const
{
    for (int attempt = 0; attempt < namesToTry; ++attempt) {
        const auto aside = asideName(m_path, attempt);
        if (::renameat2(AT_FDCWD, m_path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0)
            return aside;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL) {
            problem = errnoText("cannot move aside", m_path);
            return {};
        }
        // A file system that cannot rename without replacing: a second name, then the
        // first one goes.
        if (::link(m_path.c_str(), aside.c_str()) != 0) {
            if (errno == EEXIST)
                continue;
            problem = errnoText("cannot move aside", m_path);
            return {};
        }
        ::unlink(m_path.c_str());
        return aside;
    }
    problem = "cannot move aside " + m_path + ": every name beside it is taken";
    return {};
}

std::string StateFile::copyAside(const std::string& text, std::string& problem) const
{
    for (int attempt = 0; attempt < namesToTry; ++attempt) {
        const auto aside = asideName(m_path, attempt);
        const int fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            problem = errnoText("cannot create", aside);
            return {};
        }
        const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
        const int error = errno;
        ::close(fd);
        if (!written) {
            ::unlink(aside.c_str());
            problem = errnoText("cannot write", aside, error);
            return {};
        }
        return aside;
    }
    problem = "cannot keep a copy of " + m_path + ": every name beside it is taken";
    return {};
}

std::string StateFile::save(const nlohmann::json& document) const
{
    std::string text;
    try {
        text = serialize(document);
    } catch (const std::exception& error) {
        return "cannot encode " + m_path + ": " + error.what();
    }
    return writeFileAtomically(m_path, text).value_or(std::string());
}

StateFileWriter::StateFileWriter(
    StateFile file, std::function<void(const std::string& problem)> reportProblem)
    : m_file(std::move(file))
    , m_reportProblem(std::move(reportProblem))
    , m_thread([this](std::stop_token stop) { run(stop); })
{
}

StateFileWriter::~StateFileWriter()
{
    waitUntilWritten();
    m_thread.request_stop();
    m_changed.notify_all();
}

void StateFileWriter::post(std::function<nlohmann::json()> encode)
{
    {
        std::lock_guard lock(m_mutex);
        m_waiting = std::move(encode);
    }
    m_changed.notify_all();
}

void StateFileWriter::waitUntilWritten()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_waiting && !m_writing; });
}

void StateFileWriter::run(std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_changed.wait(lock, stop, [this] { return static_cast<bool>(m_waiting); });
        if (!m_waiting)
            return; // stopped with nothing left to write
        auto encode = std::exchange(m_waiting, nullptr);
        m_writing = true;
        lock.unlock();
        // Nothing may leave this thread by an exception: that would end the process.
        std::string problem;
        try {
            problem = m_file.save(encode());
        } catch (const std::exception& error) {
            problem = "cannot encode " + m_file.path() + ": " + error.what();
        } catch (...) {
            problem = "cannot encode " + m_file.path();
        }
        if (m_reportProblem) {
            try {
                m_reportProblem(problem);
            } catch (...) {
                // A report that fails is lost; the writer goes on.
            }
        }
        lock.lock();
        m_writing = false;
        m_changed.notify_all();
    }
}

} // namespace tidemark
