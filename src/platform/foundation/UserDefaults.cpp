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
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return errnoText("cannot create a temporary file in " + folder.string());
    auto fail = [&](const std::string& message) {
        ::close(fd);
        ::unlink(pattern.c_str());
        return std::optional<std::string>(message);
    };
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
    auto parsed = nlohmann::json::parse(buffer.str(), nullptr, false);
    if (parsed.is_object()) {
        m_values = std::move(parsed);
        return;
    }
    // Kept aside under a new name, so that nothing the user had is overwritten.
    const auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch())
                           .count();
    std::filesystem::path aside;
    for (int attempt = 0;; ++attempt) {
        aside = *m_path;
        aside
            += ".corrupt-" + std::to_string(stamp) + (attempt ? "-" + std::to_string(attempt) : "");
        if (!std::filesystem::exists(aside, ec))
            break;
    }
    std::filesystem::rename(*m_path, aside, ec);
    if (ec) {
        m_readOnly = true;
        record({ UserDefaultsError::Kind::unreadableFile, m_domain, *m_path, std::nullopt,
            m_path->string() + " holds no JSON object and cannot be moved aside (" + ec.message()
                + "); changes will not be written" });
        return;
    }
    record({ UserDefaultsError::Kind::corruptFile, m_domain, *m_path, aside,
        m_path->string() + " holds no JSON object; moved to " + aside.string()
            + " and started afresh" });
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
    const std::string text = m_values.dump(4) + "\n";
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
        m_values[key] = value;
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
