#include "platform/foundation/UserDefaults.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/Diagnostics.hpp"
#include "platform/foundation/XdgPlaces.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>

namespace tidemark {

namespace {

// A domain name as a file name: letters, digits, '.', '_' and '-' stay, anything else
// (a '/', a leading dot) is written as %XX.
std::string fileName(const std::string& domain)
{
    std::string result;
    for (std::size_t i = 0; i < domain.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(domain[i]);
        const bool plain = std::isalnum(c) || c == '_' || c == '-' || (c == '.' && i > 0);
        if (plain) {
            result += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            result += escaped;
        }
    }
    return (result.empty() ? std::string("%") : result) + ".json";
}

bool holdsOnlyFiniteNumbers(const nlohmann::json& value)
{
    if (value.is_number_float())
        return std::isfinite(value.get<double>());
    if (value.is_structured()) {
        for (const auto& element : value)
            if (!holdsOnlyFiniteNumbers(element))
                return false;
    }
    return true;
}

std::string errnoText(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// The length of the UTF-8 sequence at `at`, 0 when the bytes there are no well-formed one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

// The value with every key and text made valid UTF-8.
nlohmann::json withValidText(const nlohmann::json& value)
{
    if (value.is_string())
        return validUtf8(value.get_ref<const std::string&>());
    if (value.is_array()) {
        nlohmann::json result = nlohmann::json::array();
        for (const auto& element : value)
            result.push_back(withValidText(element));
        return result;
    }
    if (value.is_object()) {
        nlohmann::json result = nlohmann::json::object();
        for (const auto& [key, element] : value.items())
            result[validUtf8(key)] = withValidText(element);
        return result;
    }
    return value;
}

// Numbers are one kind whether written with a fraction or not.
int kindOf(const nlohmann::json& value)
{
    return value.is_number() ? -1 : static_cast<int>(value.type());
}

// Whether `after` leaves out a key of `before`, at any depth, or holds one of its values
// as another kind. Changed values of the same kind lose nothing.
bool losesPartsOf(const nlohmann::json& before, const nlohmann::json& after)
{
    if (kindOf(before) != kindOf(after))
        return true;
    if (!before.is_object())
        return false;
    for (const auto& [key, value] : before.items()) {
        const auto found = after.find(key);
        if (found == after.end() || losesPartsOf(value, *found))
            return true;
    }
    return false;
}

// Parses without ever holding objects or arrays nested deeper than `maximumDepth`: deeper
// ones are left out as they are met (the parser keeps its own stack on the heap), and
// `tooDeep` tells that it happened. A discarded value when the text is no JSON.
nlohmann::json parseBounded(const std::string& text, int maximumDepth, bool& tooDeep)
{
    using Event = nlohmann::json::parse_event_t;
    tooDeep = false;
    return nlohmann::json::parse(
        text,
        [&](int depth, Event event, nlohmann::json&) {
            if ((event == Event::object_start || event == Event::array_start)
                && depth >= maximumDepth) {
                tooDeep = true;
                return false;
            }
            return true;
        },
        false);
}

std::string utcStamp()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts {};
    ::gmtime_r(&now, &parts);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &parts);
    return buffer;
}

// Writes `bytes` to a new file `<file><infix><n><suffix>`, made exclusively under the first
// free name, so that no earlier file is ever replaced; its path, or none with `problem` set.
std::optional<std::filesystem::path> writeNewFileBeside(const std::filesystem::path& file,
    const std::string& infix, const std::string& suffix, const std::string& bytes, mode_t mode,
    std::string& problem)
{
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::filesystem::path target = file;
        target += infix + (attempt == 1 ? std::string() : "-" + std::to_string(attempt)) + suffix;
        const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            problem = errnoText("cannot create " + target.string());
            return std::nullopt;
        }
        std::size_t written = 0;
        bool ok = ::fchmod(fd, mode) == 0;
        while (ok && written < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (n < 0 && errno == EINTR)
                continue;
            ok = n >= 0;
            written += ok ? std::size_t(n) : 0;
        }
        ok = ok && ::fsync(fd) == 0;
        if (!ok)
            problem = errnoText("cannot write " + target.string());
        if (::close(fd) != 0 && ok) {
            ok = false;
            problem = errnoText("cannot close " + target.string());
        }
        if (!ok) {
            ::unlink(target.c_str());
            return std::nullopt;
        }
        return target;
    }
    problem = "no free name beside " + file.string();
    return std::nullopt;
}

// The mode of the file, or owner read and write when it cannot be read.
mode_t modeOf(const std::filesystem::path& file)
{
    struct stat info { };
    if (::stat(file.c_str(), &info) == 0)
        return info.st_mode & 07777;
    return S_IRUSR | S_IWUSR;
}

// Shared objects per file (or per in-memory name), so two services on one domain agree.
std::mutex registryMutex;
std::map<std::string, std::weak_ptr<UserDefaults>>& registry()
{
    static std::map<std::string, std::weak_ptr<UserDefaults>> objects;
    return objects;
}

} // namespace

std::optional<std::string> writeFileAtomically(
    const std::filesystem::path& path, const std::string& text)
{
    std::error_code ec;
    const auto folder = path.parent_path();
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return "cannot create " + folder.string() + ": " + ec.message();
    struct stat existing { };
    const bool replacing = ::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    // mkstemp makes the file exclusively, under a name no other writer has, readable and
    // writable by its owner alone.
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return errnoText("cannot create a temporary file in " + folder.string());
    auto fail = [&](const std::string& message) {
        ::close(fd);
        ::unlink(pattern.c_str());
        return std::optional<std::string>(message);
    };
    if (replacing) {
        // The new file takes the old one's owner where the process may give it (changing
        // the owner can clear the mode's set-id bits, so the mode follows).
        if ((existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())
            && ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            // Not permitted: the file becomes the writer's own, as any new file would.
        }
        if (::fchmod(fd, existing.st_mode & 07777) != 0)
            return fail(errnoText("cannot set the mode of " + pattern));
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errnoText("cannot write " + pattern));
        }
        written += std::size_t(n);
    }
    if (::fsync(fd) != 0)
        return fail(errnoText("cannot flush " + pattern));
    if (::close(fd) != 0) {
        ::unlink(pattern.c_str());
        return errnoText("cannot close " + pattern);
    }
    if (::rename(pattern.c_str(), path.c_str()) != 0) {
        const auto message = errnoText("cannot replace " + path.string());
        ::unlink(pattern.c_str());
        return message;
    }
    // The rename itself lasts only once the folder is on disk too.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

std::string validUtf8(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0) {
            result += "\xEF\xBF\xBD"; // U+FFFD REPLACEMENT CHARACTER
            ++at;
        } else {
            result.append(text.substr(at, length));
            at += length;
        }
    }
    return result;
}

std::filesystem::path UserDefaults::defaultDirectory()
{
    return XdgPlaces().configHome() / "tidemark";
}

std::shared_ptr<UserDefaults> UserDefaults::standard()
{
    return suite(AppInfo::bundleIdentifier());
}

std::shared_ptr<UserDefaults> UserDefaults::suite(
    const std::string& name, const std::filesystem::path& directory)
{
    const auto path = std::filesystem::absolute(directory) / fileName(name);
    std::lock_guard lock(registryMutex);
    auto& slot = registry()["file:" + path.string()];
    if (auto existing = slot.lock())
        return existing;
    std::shared_ptr<UserDefaults> created(new UserDefaults(name, path));
    slot = created;
    return created;
}

std::shared_ptr<UserDefaults> UserDefaults::inMemory(const std::string& name)
{
    std::lock_guard lock(registryMutex);
    auto& slot = registry()["memory:" + name];
    if (auto existing = slot.lock())
        return existing;
    std::shared_ptr<UserDefaults> created(new UserDefaults(name, std::nullopt));
    slot = created;
    return created;
}

UserDefaults::UserDefaults(std::string domain, std::optional<std::filesystem::path> path)
    : m_domain(std::move(domain))
    , m_path(std::move(path))
{
    load();
}

void UserDefaults::record(UserDefaultsError error) const
{
    reportDiagnostic(
        DiagnosticSource::userDefaults, "UserDefaults " + error.domain + ": " + error.message);
    m_errors.push_back(std::move(error));
}

void UserDefaults::load()
{
    if (!m_path)
        return;
    std::error_code ec;
    if (!std::filesystem::exists(*m_path, ec)) {
        if (ec)
            m_readOnly = true;
        if (ec)
            record({ UserDefaultsError::Kind::unreadableFile, m_domain, *m_path, std::nullopt,
                "cannot look for " + m_path->string() + ": " + ec.message() });
        return;
    }
    std::ifstream file(*m_path, std::ios::binary);
    if (!file || !std::filesystem::is_regular_file(*m_path, ec)) {
        m_readOnly = true;
        record({ UserDefaultsError::Kind::unreadableFile, m_domain, *m_path, std::nullopt,
            errnoText("cannot read " + m_path->string()) + "; changes will not be written" });
        return;
    }
    std::stringstream buffer;
    buffer << file.rdbuf();
    std::string text = buffer.str();
    bool tooDeep = false;
    auto parsed = parseBounded(text, maximumDepth, tooDeep);
    if (!parsed.is_object()) {
        moveCorruptFileAside();
        return;
    }
    m_values = std::move(parsed);
    m_readValues = m_values;
    m_readText = std::move(text);
    if (tooDeep) {
        if (!keepCopyLocked(UserDefaultsError::Kind::tooDeep,
                "nests values deeper than " + std::to_string(maximumDepth)
                    + " levels; the deeper parts were left out"))
            m_readOnly = true; // without a copy, the file is not replaced by what was read
    }
}

void UserDefaults::moveCorruptFileAside()
{
    // Kept aside under a new name, so that nothing the user had is overwritten.
    const auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch())
                           .count();
    std::filesystem::path aside;
    int error = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        aside = *m_path;
        aside
            += ".corrupt-" + std::to_string(stamp) + (attempt ? "-" + std::to_string(attempt) : "");
        error
            = ::renameat2(AT_FDCWD, m_path->c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0
            ? 0
            : errno;
        if (error != EEXIST)
            break;
    }
    if (error != 0) {
        m_readOnly = true;
        record({ UserDefaultsError::Kind::unreadableFile, m_domain, *m_path, std::nullopt,
            m_path->string() + " holds no JSON object and cannot be moved aside ("
                + std::strerror(error) + "); changes will not be written" });
        return;
    }
    record({ UserDefaultsError::Kind::corruptFile, m_domain, *m_path, aside,
        m_path->string() + " holds no JSON object; moved to " + aside.string()
            + " and started afresh" });
}

std::optional<std::filesystem::path> UserDefaults::keepVerbatimCopy(const std::string& reason)
{
    std::lock_guard lock(m_mutex);
    return keepCopyLocked(UserDefaultsError::Kind::keptCopy, reason);
}

std::optional<std::filesystem::path> UserDefaults::keepCopyLocked(
    UserDefaultsError::Kind kind, const std::string& reason)
{
    if (m_copy || !m_readText || !m_path)
        return m_copy;
    std::string problem;
    auto copy = writeNewFileBeside(
        *m_path, "." + utcStamp(), ".bak", *m_readText, modeOf(*m_path), problem);
    if (!copy) {
        record({ UserDefaultsError::Kind::writeFailed, m_domain, *m_path, std::nullopt,
            "cannot keep a copy of " + m_path->string() + " (" + problem
                + "); it is not rewritten" });
        return std::nullopt;
    }
    m_copy = copy;
    m_readText.reset();
    m_readValues = nullptr;
    record({ kind, m_domain, *m_path, copy,
        m_path->string() + " " + reason + "; the file as it was is kept as " + copy->string() });
    return copy;
}

bool UserDefaults::write()
{
    if (!m_path)
        return true;
    if (m_readOnly) {
        record({ UserDefaultsError::Kind::unreadableFile, m_domain, *m_path, std::nullopt,
            "not written: " + m_path->string() + " could not be read at start" });
        return false;
    }
    if (m_readText && losesPartsOf(m_readValues, m_values)
        && !keepCopyLocked(UserDefaultsError::Kind::keptCopy,
            "is rewritten without some of what it held (a key, or a value of another kind)"))
        return false;
    // Text is valid UTF-8 once stored; replacing what is not keeps a writer from throwing.
    const std::string text
        = m_values.dump(4, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    if (auto problem = writeFileAtomically(*m_path, text)) {
        record({ UserDefaultsError::Kind::writeFailed, m_domain, *m_path, std::nullopt, *problem });
        return false;
    }
    return true;
}

std::optional<nlohmann::json> UserDefaults::object(const std::string& key) const
{
    std::lock_guard lock(m_mutex);
    if (auto it = m_values.find(key); it != m_values.end())
        return *it;
    if (auto it = m_registered.find(key); it != m_registered.end())
        return *it;
    return std::nullopt;
}

bool UserDefaults::set(const nlohmann::json& value, const std::string& key)
{
    bool stored = false;
    {
        std::lock_guard lock(m_mutex);
        if (!holdsOnlyFiniteNumbers(value)) {
            record({ UserDefaultsError::Kind::invalidValue, m_domain,
                m_path.value_or(std::filesystem::path()), std::nullopt,
                "the value for \"" + key + "\" holds a number that is not finite; not stored" });
            return false;
        }
        if (m_readOnly && m_path) {
            record({ UserDefaultsError::Kind::unreadableFile, m_domain, *m_path, std::nullopt,
                "not stored: " + m_path->string() + " could not be read at start" });
            return false;
        }
        m_values[validUtf8(key)] = withValidText(value);
        stored = write();
    }
    m_changes.send(key);
    return stored;
}

bool UserDefaults::removeObject(const std::string& key)
{
    bool stored = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_readOnly && m_path) {
            record({ UserDefaultsError::Kind::unreadableFile, m_domain, *m_path, std::nullopt,
                "not removed: " + m_path->string() + " could not be read at start" });
            return false;
        }
        if (m_values.erase(key) == 0)
            return true;
        stored = write();
    }
    m_changes.send(key);
    return stored;
}

bool UserDefaults::boolean(const std::string& key) const
{
    const auto value = object(key);
    return value && value->is_boolean() && value->get<bool>();
}

long long UserDefaults::integer(const std::string& key) const
{
    const auto value = object(key);
    if (!value || !value->is_number() || value->is_boolean())
        return 0;
    if (value->is_number_float())
        return static_cast<long long>(value->get<double>());
    return value->get<long long>();
}

double UserDefaults::doubleValue(const std::string& key) const
{
    const auto value = object(key);
    if (!value || !value->is_number())
        return 0;
    return value->get<double>();
}

std::optional<std::string> UserDefaults::string(const std::string& key) const
{
    const auto value = object(key);
    if (!value || !value->is_string())
        return std::nullopt;
    return value->get<std::string>();
}

std::optional<nlohmann::json> UserDefaults::dictionary(const std::string& key) const
{
    auto value = object(key);
    if (!value || !value->is_object())
        return std::nullopt;
    return value;
}

void UserDefaults::registerDefaults(const nlohmann::json& defaults)
{
    if (!defaults.is_object())
        return;
    std::lock_guard lock(m_mutex);
    for (const auto& [key, value] : defaults.items())
        m_registered[key] = value;
}

nlohmann::json UserDefaults::persistentDomain() const
{
    std::lock_guard lock(m_mutex);
    return m_values;
}

nlohmann::json UserDefaults::dictionaryRepresentation() const
{
    std::lock_guard lock(m_mutex);
    nlohmann::json merged = m_registered;
    for (const auto& [key, value] : m_values.items())
        merged[key] = value;
    return merged;
}

bool UserDefaults::removePersistentDomain()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_readOnly && m_path) {
            record({ UserDefaultsError::Kind::unreadableFile, m_domain, *m_path, std::nullopt,
                "not removed: " + m_path->string() + " could not be read at start" });
            return false;
        }
        m_values = nlohmann::json::object();
        if (m_path) {
            std::error_code ec;
            std::filesystem::remove(*m_path, ec);
            if (ec) {
                record({ UserDefaultsError::Kind::writeFailed, m_domain, *m_path, std::nullopt,
                    "cannot remove " + m_path->string() + ": " + ec.message() });
                return false;
            }
        }
    }
    m_changes.send(std::string());
    return true;
}

std::vector<UserDefaultsError> UserDefaults::errors() const
{
    std::lock_guard lock(m_mutex);
    return m_errors;
}

std::optional<UserDefaultsError> UserDefaults::lastError() const
{
    std::lock_guard lock(m_mutex);
    if (m_errors.empty())
        return std::nullopt;
    return m_errors.back();
}

} // namespace tidemark
