#pragma once

#include <nlohmann/json.hpp>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tidemark {

// One JSON document kept in one file. Written atomically: a temporary file of its own
// (made exclusively in the same folder, so writers never share one), flushed to disk,
// then renamed over the file, which keeps its mode (a new file is its owner's alone). A
// crash or a second writer leaves one whole document, never half of one. A file that
// cannot be read is moved aside, never overwritten.
class StateFile {
public:
    explicit StateFile(std::string path);

    const std::string& path() const { return m_path; }

    struct Loaded {
        // Absent when there was no file, or it was no JSON (then `problem` says why).
        std::optional<nlohmann::json> document;
        std::string problem;
        // The bytes read, for a copy kept aside.
        std::string text;
    };
    Loaded load() const;

    // The document as a file's text: never throws for text that is not UTF-8 (each bad
    // sequence becomes U+FFFD).
    static std::string serialize(const nlohmann::json& document);
    // The document a file's text holds; none when it holds no JSON object.
    static std::optional<nlohmann::json> parse(const std::string& text);

    // Moves the file aside, to "<path>.<UTC time>.unreadable" (a number added when that
    // name is taken: an earlier file is never replaced). The new path, or an empty text
    // when the file could not be moved (`problem` then says why).
    std::string moveAside(std::string& problem) const;
    // Keeps `text` (the file as it was read) beside it under such a name, the file itself
    // staying where it is.
    std::string copyAside(const std::string& text, std::string& problem) const;

    // Empty on success, otherwise what went wrong; the file is then as it was.
    std::string save(const nlohmann::json& document) const;

private:
    std::string m_path;
};

// Writes a state file on a thread of its own, so a large document never holds up the
// caller. Only the newest document matters: one posted while another waits replaces it.
class StateFileWriter {
public:
    // `encode` runs on the writer's thread; after each write `reportProblem` gets what went
    // wrong there (an `encode` that throws included), or an empty text.
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
