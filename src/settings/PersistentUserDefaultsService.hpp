#pragma once

#include "core/Error.hpp"
#include "platform/foundation/UserDefaults.hpp"
#include "platform/foundation/Uuid.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/reactive/Publisher.hpp"
#include "platform/reactive/Result.hpp"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidemark {

// Every key of `stored` with its stored value, and every key of `defaults` that `stored`
// lacks, at any depth: where both hold an object the two are merged again. Values whose
// kind differs from the default's are kept as stored.
nlohmann::json deepMerging(const nlohmann::json& stored, const nlohmann::json& defaults);

// What a lenient decoding kept and what it had to leave out.
struct SalvagedValue {
    // The stored object with every part that could not be decoded replaced by the
    // default's part (at the deepest level where the default has an object).
    nlohmann::json json;
    // The stored parts left out, by their dotted key path ("menubar.progressBar.opacity").
    std::vector<std::pair<std::string, nlohmann::json>> setAside;

    bool isComplete() const { return setAside.empty(); }
};

// Decodes what it can of `stored`, falling back to `defaults` one part at a time: a part
// is taken from storage when the value it makes still decodes (`decodes`), else its
// members are tried one by one when both sides hold objects, else the default's part is
// used and the stored one recorded as set aside.
SalvagedValue salvage(const nlohmann::json& stored, const nlohmann::json& defaults,
    const std::function<bool(const nlohmann::json&)>& decodes);

// The key under which the parts of a stored value that could not be read are kept, so a
// later save of the readable rest loses nothing the user had.
std::string setAsideKey(const std::string& key);

// One value of any JSON-coded type kept as one object under one key of a user-defaults
// domain. At creation the default is registered and the stored object completed from it
// and written back; afterwards whole values are loaded and saved.
//
// A stored value that does not decode as a whole is read part by part: what decodes is
// kept, what does not is replaced by the default and copied aside (under `setAsideKey`)
// before anything is written, so the stored settings are never replaced by defaults. The
// first time that happens the domain's file is also copied verbatim beside itself, and
// each unreadable part is reported once per run, however often it is loaded.
template <class T> class PersistentUserDefaultsService {
public:
    PersistentUserDefaultsService(
        std::string key, T defaultValue, std::shared_ptr<UserDefaults> defaults)
        : m_key(std::move(key))
        , m_defaultValue(std::move(defaultValue))
        , m_defaults(std::move(defaults))
        , m_inMemory(false)
    {
        create();
    }

    // On a throw-away domain named by a fresh identifier when `inMemory`, else on the
    // application's own domain.
    PersistentUserDefaultsService(std::string key, T defaultValue, bool inMemory)
        : m_key(std::move(key))
        , m_defaultValue(std::move(defaultValue))
        , m_defaults(inMemory ? UserDefaults::inMemory(Uuid::make()) : UserDefaults::standard())
        , m_inMemory(inMemory)
    {
        create();
    }

    ~PersistentUserDefaultsService()
    {
        if (m_inMemory)
            m_defaults->removePersistentDomain();
    }

    PersistentUserDefaultsService(const PersistentUserDefaultsService&) = delete;
    PersistentUserDefaultsService& operator=(const PersistentUserDefaultsService&) = delete;

    const std::string& key() const { return m_key; }
    const std::shared_ptr<UserDefaults>& defaults() const { return m_defaults; }
    bool inMemory() const { return m_inMemory; }

    // The value last loaded or saved; none before the first.
    std::optional<T> data() const
    {
        std::lock_guard lock(m_mutex);
        return m_data;
    }

    // The stored value, read part by part where it does not decode as a whole; fails only
    // when nothing is stored under the key and no default is registered.
    rx::Result<T, Error> load()
    {
        using Outcome = rx::Result<T, Error>;
        auto stored = m_defaults->object(m_key);
        if (!stored)
            return Outcome::failure(Error("No value is stored under \"" + m_key + "\"."));
        auto value = decodeLeniently(*stored);
        if (!value.isSuccess())
            return value;
        std::lock_guard lock(m_mutex);
        m_data = value.value();
        return value;
    }

    // Replaces the stored object with the whole value. Fails when it cannot be encoded or
    // written; nothing changes then.
    rx::Result<rx::Unit, Error> save(const T& value)
    {
        using Outcome = rx::Result<rx::Unit, Error>;
        nlohmann::json json;
        try {
            json = value;
        } catch (const std::exception& error) {
            return Outcome::failure(
                Error(std::string("The value could not be encoded: ") + error.what()));
        }
        const bool written
            = json.is_object() ? m_defaults->set(json, m_key) : m_defaults->removeObject(m_key);
        if (!written) {
            auto problem = m_defaults->lastError();
            return Outcome::failure(Error("The value could not be saved: "
                + (problem ? problem->message : std::string("unknown error"))));
        }
        std::lock_guard lock(m_mutex);
        m_data = value;
        return Outcome::success({});
    }

    // The parts of stored values that could not be read so far, by key path.
    nlohmann::json setAsideValues() const
    {
        return m_defaults->dictionary(setAsideKey(m_key)).value_or(nlohmann::json::object());
    }

private:
    static bool decodes(const nlohmann::json& json)
    {
        try {
            (void)json.get<T>();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }

    nlohmann::json encodedDefault() const
    {
        nlohmann::json json = m_defaultValue;
        return json;
    }

    void create()
    {
        nlohmann::json encoded;
        try {
            encoded = encodedDefault();
        } catch (const std::exception& error) {
            appLogger(logcategory::settings)
                .error("The default of " + m_key + " could not be encoded: " + error.what());
            return;
        }
        if (!encoded.is_object())
            return;
        m_defaults->registerDefaults(nlohmann::json { { m_key, encoded } });
        auto stored = m_defaults->persistentDomain();
        auto found = stored.find(m_key);
        if (found == stored.end()) {
            m_defaults->set(encoded, m_key);
            return;
        }
        if (!found->is_object()) {
            // Something that is not a value of ours: keep it aside, then start from the
            // default.
            keepAside({ { "", *found } });
            m_defaults->set(encoded, m_key);
            return;
        }
        auto merged = deepMerging(*found, encoded);
        if (merged != *found)
            m_defaults->set(merged, m_key);
    }

    rx::Result<T, Error> decodeLeniently(const nlohmann::json& stored)
    {
        using Outcome = rx::Result<T, Error>;
        try {
            return Outcome::success(stored.get<T>());
        } catch (const std::exception& firstError) {
            nlohmann::json fallback;
            try {
                fallback = encodedDefault();
            } catch (const std::exception&) {
                return Outcome::failure(Error(firstError.what()));
            }
            auto salvaged = stored.is_object() ? salvage(stored, fallback, &decodes)
                                               : SalvagedValue { fallback, { { "", stored } } };
            try {
                T value = salvaged.json.template get<T>();
                keepAside(salvaged.setAside);
                return Outcome::success(std::move(value));
            } catch (const std::exception& error) {
                return Outcome::failure(Error(error.what()));
            }
        }
    }

    // Copies the parts aside (and the file as the user wrote it beside itself, before
    // anything is moved), reporting each part once however often it is read.
    void keepAside(const std::vector<std::pair<std::string, nlohmann::json>>& parts)
    {
        std::vector<std::pair<std::string, nlohmann::json>> fresh;
        {
            std::lock_guard lock(m_mutex);
            for (const auto& part : parts) {
                const auto seen = part.first + '\n'
                    + part.second.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
                if (m_reported.insert(seen).second)
                    fresh.push_back(part);
            }
        }
        if (fresh.empty())
            return;
        m_defaults->keepVerbatimCopy("holds values of \"" + m_key + "\" that could not be read");
        const auto before = setAsideValues();
        auto aside = before;
        for (const auto& [path, value] : fresh) {
            aside[path.empty() ? std::string(".") : path] = value;
            appLogger(logcategory::settings)
                .error(m_key + ": the stored value at \"" + path
                    + "\" could not be read; it is kept under \"" + setAsideKey(m_key) + "\"");
        }
        if (aside != before)
            m_defaults->set(aside, setAsideKey(m_key));
    }

    const std::string m_key;
    const T m_defaultValue;
    const std::shared_ptr<UserDefaults> m_defaults;
    const bool m_inMemory;
    mutable std::mutex m_mutex;
    std::optional<T> m_data;
    // The parts reported as unreadable in this run, by key path and value.
    std::set<std::string> m_reported;
};

} // namespace tidemark
