#include "platform/foundation/StringTables.hpp"

#include "platform/foundation/Diagnostics.hpp"

#include <nlohmann/json.hpp>
#include <unicode/fmtable.h>
#include <unicode/msgfmt.h>

#include <map>
#include <mutex>
#include <set>

namespace tidemark {

namespace {

using Table = std::map<std::string, std::string, std::less<>>;

// Every table, read once from the embedded text. The texts are English, so their plural
// rules are English ones whatever the user's locale.
const std::map<std::string, Table, std::less<>>& tables()
{
    static const auto all = [] {
        std::map<std::string, Table, std::less<>> result;
        for (std::size_t i = 0; i < detail::embeddedStringTableCount; ++i) {
            const auto& embedded = detail::embeddedStringTables[i];
            Table table;
            const auto json = nlohmann::json::parse(embedded.json, nullptr, false);
            if (json.is_object()) {
                for (const auto& [key, value] : json.items()) {
                    if (value.is_string())
                        table.emplace(key, value.get<std::string>());
                    else
                        reportDiagnostic(DiagnosticSource::stringTables,
                            "String table " + std::string(embedded.name) + ": the value of \"" + key
                                + "\" is not a text");
                }
            } else {
                reportDiagnostic(DiagnosticSource::stringTables,
                    "String table " + std::string(embedded.name) + " is not a JSON object");
            }
            result.emplace(embedded.name, std::move(table));
        }
        return result;
    }();
    return all;
}

void reportOnce(const std::string& what)
{
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::lock_guard lock(mutex);
    if (reported.insert(what).second)
        reportDiagnostic(DiagnosticSource::stringTables, what);
}

const std::string* lookUp(std::string_view table, std::string_view key)
{
    const auto& all = tables();
    const auto t = all.find(table);
    if (t == all.end())
        return nullptr;
    const auto k = t->second.find(key);
    return k == t->second.end() ? nullptr : &k->second;
}

} // namespace

std::string localized(std::string_view table, std::string_view key)
{
    if (const auto* text = lookUp(table, key))
        return *text;
    reportOnce(
        "Missing localised string \"" + std::string(key) + "\" in table " + std::string(table));
    return std::string(key);
}

std::string localized(
    std::string_view table, std::string_view key, const std::vector<MessageArgument>& arguments)
{
    const std::string pattern = localized(table, key);
    UErrorCode status = U_ZERO_ERROR;
    icu::MessageFormat format(
        icu::UnicodeString::fromUTF8(pattern), icu::Locale::getEnglish(), status);
    if (U_FAILURE(status)) {
        reportOnce("Localised string \"" + std::string(key) + "\" in table " + std::string(table)
            + " is not a valid message pattern: " + u_errorName(status));
        return pattern;
    }
    std::vector<icu::Formattable> values;
    values.reserve(arguments.size());
    for (const auto& argument : arguments) {
        std::visit(
            [&values](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, long long>)
                    values.emplace_back(static_cast<int64_t>(v));
                else if constexpr (std::is_same_v<T, double>)
                    values.emplace_back(v);
                else
                    values.emplace_back(icu::UnicodeString::fromUTF8(v));
            },
            argument.value());
    }
    icu::UnicodeString result;
    icu::FieldPosition position;
    format.format(values.data(), static_cast<int32_t>(values.size()), result, position, status);
    if (U_FAILURE(status)) {
        reportOnce("Localised string \"" + std::string(key) + "\" in table " + std::string(table)
            + " could not be formatted: " + u_errorName(status));
        return pattern;
    }
    std::string text;
    result.toUTF8String(text);
    return text;
}

std::vector<std::string> stringTableNames()
{
    std::vector<std::string> names;
    for (const auto& [name, table] : tables())
        names.push_back(name);
    return names;
}

std::vector<std::string> stringTableKeys(std::string_view table)
{
    std::vector<std::string> keys;
    const auto& all = tables();
    if (const auto t = all.find(table); t != all.end()) {
        for (const auto& [key, text] : t->second)
            keys.push_back(key);
    }
    return keys;
}

bool hasLocalizedString(std::string_view table, std::string_view key)
{
    return lookUp(table, key) != nullptr;
}

} // namespace tidemark
