#pragma once

#include "platform/reactive/Publisher.hpp"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// A problem with a stored domain, kept by the domain and written to stderr.
struct UserDefaultsError {
    enum class Kind {
        // The file held no JSON object; it was moved to `movedTo` and the domain started
        // empty.
        corruptFile,
        // The file exists but could not be read; the domain refuses writes so that the
        // file is not replaced by a domain that never saw its contents.
        unreadableFile,
        // A write failed; the file keeps its previous contents.
        writeFailed,
        // A value JSON cannot hold (a number that is not finite).
        invalidValue,
        // The file nested values deeper than `UserDefaults::maximumDepth`; the deeper parts
        // were left out and the file was kept as it was under `movedTo`.
        tooDeep,
        // A rewrite was about to leave out parts of what the file held when it was read
        // (a key, or a value of another kind); the file was first kept as it was under
        // `movedTo`.
        keptCopy,
    };
    Kind kind;
    std::string domain;
    std::filesystem::path path;
    std::optional<std::filesystem::path> movedTo;
    std::string message;

    bool operator==(const UserDefaultsError&) const = default;
};

// Named values that outlive the program: one JSON object per domain, kept in the file
// <directory>/<domain>.json, or in memory only for throw-away test suites. Values are
// JSON, so numbers keep their kind (integer, floating point, Boolean).
//
// A read looks in the domain's stored values first, then in its registration domain, a set
// of defaults kept in memory for the life of the object. Every change writes the whole
// file atomically (a temporary file in the same folder, flushed to disk, then renamed over
// the old one). Objects are shared: asking twice for the same domain in the same folder
// gives the same object. Safe to use from any thread.
//
// What the user wrote is never lost without a copy: a file that holds no JSON object is
// moved aside; one nested too deeply is read as far as it can be and copied aside; and
// before the first rewrite that would leave out a key of the file as it was read, or give
// one of its values another kind, the file is copied beside itself verbatim
// (`<file>.<UTC time>.bak`, never replacing an earlier copy). Text that is not UTF-8
// becomes valid UTF-8 (U+FFFD for each bad sequence) as it is stored.
class UserDefaults {
public:
    // The deepest nesting of objects and arrays a domain's file may have; no value kept
    // here comes near it.
    static constexpr int maximumDepth = 32;

    // The application's own domain (its bundle identifier) in `defaultDirectory()`.
    static std::shared_ptr<UserDefaults> standard();
    // The domain `name` in `directory`.
    static std::shared_ptr<UserDefaults> suite(
        const std::string& name, const std::filesystem::path& directory = defaultDirectory());
    // A domain that is never written anywhere.
    static std::shared_ptr<UserDefaults> inMemory(const std::string& name);
    // $XDG_CONFIG_HOME/tidemark (~/.config/tidemark by default).
    static std::filesystem::path defaultDirectory();

    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    const std::string& domain() const { return m_domain; }
    // The file of the domain; none in memory.
    std::optional<std::filesystem::path> path() const { return m_path; }

    // The stored value, else the registered one, else none.
    std::optional<nlohmann::json> object(const std::string& key) const;
    // Stores a value and writes the domain. False (and an error recorded) when the value
    // holds a non-finite number, the domain's file could not be read, or the write failed;
    // the value then stays in memory only when the write failed.
    bool set(const nlohmann::json& value, const std::string& key);
    bool removeObject(const std::string& key);

    // Typed reads: 0, false or none when the key is missing or holds another kind.
    // Numbers convert between integer and floating point; Booleans do not.
    bool boolean(const std::string& key) const;
    long long integer(const std::string& key) const;
    double doubleValue(const std::string& key) const;
    std::optional<std::string> string(const std::string& key) const;
    std::optional<nlohmann::json> dictionary(const std::string& key) const;

    // Adds defaults to the registration domain (never written); later calls win per key.
    void registerDefaults(const nlohmann::json& defaults);
    // Only the stored values (an object).
    nlohmann::json persistentDomain() const;
    // Stored values over registered ones.
    nlohmann::json dictionaryRepresentation() const;
    // Forgets every stored value and deletes the file.
    bool removePersistentDomain();

    // Copies the file, as it was when this object read it, beside itself
    // (`<file>.<UTC time>.bak`) before something the user wrote is moved or dropped: once,
    // later calls give the same copy. None in memory, for a file that did not exist, or
    // when the copy could not be made (an error is recorded then).
    std::optional<std::filesystem::path> keepVerbatimCopy(const std::string& reason);

    // Problems met so far, oldest first, and the last one.
    std::vector<UserDefaultsError> errors() const;
    std::optional<UserDefaultsError> lastError() const;

    // The key of every change (the empty text when the whole domain changed), sent after
    // the change is made, on the thread that made it.
    rx::Publisher<std::string> changes() const { return m_changes.publisher(); }

private:
    UserDefaults(std::string domain, std::optional<std::filesystem::path> path);
    void load();
    void moveCorruptFileAside();
    bool write();
    std::optional<std::filesystem::path> keepCopyLocked(
        UserDefaultsError::Kind kind, const std::string& reason);
    void record(UserDefaultsError error) const;

    const std::string m_domain;
    const std::optional<std::filesystem::path> m_path;
    mutable std::mutex m_mutex;
    nlohmann::json m_values = nlohmann::json::object();
    nlohmann::json m_registered = nlohmann::json::object();
    bool m_readOnly = false;
    // The file's bytes and values as read, until a copy of them has been kept.
    std::optional<std::string> m_readText;
    nlohmann::json m_readValues;
    std::optional<std::filesystem::path> m_copy;
    mutable std::vector<UserDefaultsError> m_errors;
    rx::PassthroughSubject<std::string> m_changes;
};

// Writes `text` to `path` atomically: a temporary file made exclusively under a name of
// its own in the same folder (so two writers never share one), flushed to disk and renamed
// over the target, then the folder flushed. The folder is created when missing. A file
// that is replaced keeps its mode (and its owner, where the process may set it); a new file
// is readable and writable by its owner alone. An error message when it fails; the target
// is then untouched.
std::optional<std::string> writeFileAtomically(
    const std::filesystem::path& path, const std::string& text);

// `text` with every byte sequence that is not UTF-8 replaced by U+FFFD.
std::string validUtf8(std::string_view text);

} // namespace tidemark
