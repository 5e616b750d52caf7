#pragma once

#include "platform/foundation/AppInfo.hpp"
#include "settings/PersistentUserDefaultsService.hpp"
#include "settings/UserSettings.hpp"

#include <memory>
#include <mutex>
#include <string>

namespace tidemark {

// The stored settings as the middlewares see them: the current value, a fresh read and a
// save of a whole value.
template <class T> class PersistentSettingsServicable {
public:
    using Value = T;
    virtual ~PersistentSettingsServicable() = default;
    // The value last loaded or saved, else the one read at creation, else the default.
    virtual T data() const = 0;
    virtual rx::Result<T, Error> load() = 0;
    virtual rx::Result<rx::Unit, Error> save(const T& value) = 0;
};

// The application's bundle identifier followed by ".settings".
inline std::string settingsKey()
{
    return AppInfo::bundleIdentifier() + ".settings";
}

// The settings kept under the settings key, read once at creation.
template <class T> class PersistentSettingsService final : public PersistentSettingsServicable<T> {
public:
    PersistentSettingsService(
        T defaultValue, std::shared_ptr<UserDefaults> defaults, std::string key = settingsKey())
        : m_store(std::move(key), defaultValue, std::move(defaults))
        , m_fallback(std::move(defaultValue))
    {
        loadFallback();
    }

    PersistentSettingsService(bool inMemory, T defaultValue)
        : m_store(settingsKey(), defaultValue, inMemory)
        , m_fallback(std::move(defaultValue))
    {
        loadFallback();
    }

    T data() const override { return m_store.data().value_or(m_fallback); }
    rx::Result<T, Error> load() override { return m_store.load(); }
    rx::Result<rx::Unit, Error> save(const T& value) override { return m_store.save(value); }

    PersistentUserDefaultsService<T>& store() { return m_store; }

private:
    void loadFallback()
    {
        auto loaded = m_store.load();
        if (loaded.isSuccess())
            m_fallback = loaded.value();
        else
            appLogger(logcategory::settings).error(loaded.error().description);
    }

    PersistentUserDefaultsService<T> m_store;
    T m_fallback;
};

using UserSettingsServicable = PersistentSettingsServicable<UserSettings>;

} // namespace tidemark
