#pragma once

#include <nlohmann/json.hpp>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tidemark {

// One JSON document kept in one file. Written atomically (a temporary file beside it,
// flushed to disk, then renamed over it), so a crash leaves the old or the new document,
// never half of one. A file that cannot be read as JSON is moved aside, never overwritten.
class StateFile {
public:
    explicit StateFile(std::string path);

    const std::string& path() const { return m_path; }

    struct Loaded {
        // Absent when there was no file, or it was unreadable (then `problem` says why).
        std::optional<nlohmann::json> document;
        std::string problem;
    };
    Loaded load() const;

    // Moves the file aside (to "<path>.corrupt-<time>") and returns the new path.
    std::string keepAside() const;

    // Empty on success, otherwise what went wrong.
    std::string save(const nlohmann::json& document) const;

private:
    std::string m_path;
};

// Writes a state file on a thread of its own, so a large document never holds up the
// caller. Only the newest document matters: one posted while another waits replaces it.
class StateFileWriter {
public:
    // `encode` runs on the writer's thread; after each write `reportProblem` gets what went
    // wrong there, or an empty text.
    StateFileWriter(StateFile file, std::function<void(const std::string& problem)> reportProblem);
    // Writes what is still waiting before it returns.
    ~StateFileWriter();
    StateFileWriter(const StateFileWriter&) = delete;
    StateFileWriter& operator=(const StateFileWriter&) = delete;

    void post(std::function<nlohmann::json()> encode);
    // Returns once everything posted so far is written (or failed).
    void waitUntilWritten();

private:
    void run(std::stop_token stop);

    StateFile m_file;
    std::function<void(const std::string&)> m_reportProblem;
    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::function<nlohmann::json()> m_waiting;
    bool m_writing = false;
    std::jthread m_thread;
};

} // namespace tidemark
