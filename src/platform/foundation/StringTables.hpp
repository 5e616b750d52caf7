#pragma once

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tidemark {

// One value put into a localised text: a whole number, a floating-point number or a text.
class MessageArgument {
public:
    template <std::integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>) MessageArgument(T value)
        : m_value(static_cast<long long>(value))
    {
    }
    template <std::floating_point T>
    MessageArgument(T value)
        : m_value(static_cast<double>(value))
    {
    }
    MessageArgument(std::string value)
        : m_value(std::move(value))
    {
    }
    MessageArgument(std::string_view value)
        : m_value(std::string(value))
    {
    }
    MessageArgument(const char* value)
        : m_value(std::string(value))
    {
    }
    const std::variant<long long, double, std::string>& value() const { return m_value; }

private:
    std::variant<long long, double, std::string> m_value;
};

// The text of `key` in the named string table (resources/strings/<table>.json, built into
// the program). A key missing from its table gives the key itself, and is logged once.
std::string localized(std::string_view table, std::string_view key);

// The same text used as an ICU message pattern with the arguments as {0}, {1}, …, so that
// plurals read right: "{0, plural, one {# minute} other {# minutes}}". Keys that take
// values carry the placeholder in their name, as in "quit_label %@". A pattern that does
// not parse gives the text unchanged, logged once.
std::string localized(
    std::string_view table, std::string_view key, const std::vector<MessageArgument>& arguments);

template <class... Arguments>
requires(sizeof...(Arguments) > 0
    && (std::constructible_from<MessageArgument, const Arguments&> && ...)) std::string
    localized(std::string_view table, std::string_view key, const Arguments&... arguments)
{
    return localized(table, key, std::vector<MessageArgument> { MessageArgument(arguments)... });
}

// The names of the tables built in, and whether a table holds a key.
std::vector<std::string> stringTableNames();
std::vector<std::string> stringTableKeys(std::string_view table);
bool hasLocalizedString(std::string_view table, std::string_view key);

namespace detail {
struct EmbeddedStringTable {
    const char* name;
    const char* json;
};
extern const EmbeddedStringTable embeddedStringTables[];
extern const std::size_t embeddedStringTableCount;
} // namespace detail

} // namespace tidemark
