#include "platform/usernotifications/StateFile.hpp"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tidemark {

namespace {

std::string errnoText(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
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

} // namespace

StateFile::StateFile(std::string path)
    : m_path(std::move(path))
{
}

StateFile::Loaded StateFile::load() const
{
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        if (errno == ENOENT || !std::filesystem::exists(m_path))
            return {};
        return { std::nullopt, errnoText("cannot read", m_path) };
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    auto document = nlohmann::json::parse(buffer.str(), nullptr, false);
    if (document.is_discarded() || !document.is_object())
        return { std::nullopt, "not a JSON object: " + m_path };
    return { std::move(document), {} };
}

std::string StateFile::keepAside() const
{
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local {};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &local);
    auto aside = m_path + ".corrupt-" + stamp;
    std::error_code error;
    std::filesystem::rename(m_path, aside, error);
    return error ? std::string() : aside;
}

std::string StateFile::save(const nlohmann::json& document) const
{
    const std::filesystem::path target(m_path);
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    if (error)
        return "cannot create " + target.parent_path().string() + ": " + error.message();

    const auto temporary = m_path + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return errnoText("cannot create", temporary);
    const auto text = document.dump();
    if (!writeAll(fd, text) || ::fsync(fd) != 0) {
        auto problem = errnoText("cannot write", temporary);
        ::close(fd);
        ::unlink(temporary.c_str());
        return problem;
    }
    ::close(fd);
    if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        auto problem = errnoText("cannot replace", m_path);
        ::unlink(temporary.c_str());
        return problem;
    }
    // The rename itself lasts only once the directory is on disk.
    const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
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
        const auto problem = m_file.save(encode());
        if (m_reportProblem)
            m_reportProblem(problem);
        lock.lock();
        m_writing = false;
        m_changed.notify_all();
    }
}

} // namespace tidemark
