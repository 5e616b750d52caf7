#pragma once

#include "core/Error.hpp"
#include "core/Submittable.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/reactive/Result.hpp"
#include "reminders/Reminder.hpp"

#include <array>
#include <concepts>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

// Descriptions of values for people reading the log and the bug report: a record is its
// type's name with its fields in parentheses, an action case its name (first letter
// lowered) with its payload, as in `logger(isEnabled(true))`. Reminder titles are always
// written as `title: "…"`, so that `redactReminderTitles` can find every one of them.
namespace tidemark {

// Replaces the text of every `title: "…"` with <hidden>; text already hidden stays as it is.
std::string redactReminderTitles(std::string_view text);
inline constexpr std::string_view hiddenTitle = "<hidden>";

std::string quotedText(std::string_view text);
std::string describeDate(Date date);
std::string describe(const DateComponents& components);
std::string describe(const AnyReminder& reminder);
std::string describe(const CreateReminder& reminder);
std::string describe(const AnyList& list);
std::string describe(const AnySource& source);
std::string describe(const Error& error);
std::string describe(RemindersDataSource source);

namespace description {

// The unqualified name of a type: "tidemark::LoggerActionCases::IsEnabled" gives
// "IsEnabled", template arguments left out.
template <class T> constexpr std::string_view typeName()
{
    std::string_view name = __PRETTY_FUNCTION__;
    auto start = name.find("T = ") + 4;
    auto end = name.find_first_of(";]", start);
    name = name.substr(start, end - start);
    // Drop template arguments, then the qualification.
    std::string_view plain;
    int depth = 0;
    std::size_t last = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c == '<')
            ++depth;
        else if (c == '>')
            --depth;
        else if (depth == 0 && c == ':' && i + 1 < name.size() && name[i + 1] == ':')
            last = i + 2;
    }
    plain = name.substr(last);
    auto angle = plain.find('<');
    return angle == std::string_view::npos ? plain : plain.substr(0, angle);
}

inline std::string caseName(std::string_view typeName)
{
    std::string name(typeName);
    if (!name.empty() && name[0] >= 'A' && name[0] <= 'Z')
        name[0] = char(name[0] - 'A' + 'a');
    return name;
}

// The name of an enumerator, for enumerations whose values lie in 0 … 31.
template <auto V> constexpr std::string_view enumeratorName()
{
    std::string_view name = __PRETTY_FUNCTION__;
    auto start = name.find("V = ") + 4;
    auto end = name.find_first_of(";]", start);
    name = name.substr(start, end - start);
    if (name.find('(') != std::string_view::npos)
        return {}; // not an enumerator: "(tidemark::Status)7"
    auto colon = name.rfind("::");
    return colon == std::string_view::npos ? name : name.substr(colon + 2);
}

template <class E, std::size_t... I> std::string enumName(E value, std::index_sequence<I...>)
{
    constexpr std::array<std::string_view, sizeof...(I)> names {
        enumeratorName<static_cast<E>(I)>()...
    };
    auto index = static_cast<std::int64_t>(value);
    if (index >= 0 && std::size_t(index) < names.size() && !names[std::size_t(index)].empty())
        return std::string(names[std::size_t(index)]);
    return std::string(typeName<E>()) + "(" + std::to_string(index) + ")";
}

// Stands for any field when counting the fields of a record.
template <class T> inline constexpr bool isOptional = false;
template <class T> inline constexpr bool isOptional<std::optional<T>> = true;

struct AnyField {
    template <class T>
    requires(!isOptional<T>) operator T() const;
};

template <class T, std::size_t... I> constexpr bool initializableWith(std::index_sequence<I...>)
{
    return requires
    {
        T { (void(I), AnyField {})... };
    };
}

template <class T, std::size_t N = 0> constexpr std::size_t fieldCount()
{
    if constexpr (N > 16)
        return 0;
    else if constexpr (initializableWith<T>(std::make_index_sequence<N + 1>()))
        return fieldCount<T, N + 1>();
    else
        return N;
}

template <class T> struct IsStdVariant : std::false_type {
};
template <class... Ts> struct IsStdVariant<std::variant<Ts...>> : std::true_type {
};

template <class... Ts> const std::variant<Ts...>& variantBase(const std::variant<Ts...>& value)
{
    return value;
}

template <class T>
concept VariantLike = requires(const T& value)
{
    variantBase(value);
};

template <class T>
concept Range = requires(const T& value)
{
    value.begin();
    value.end();
}
&&!std::is_convertible_v<T, std::string_view>;

template <class T> struct IsResult : std::false_type {
};
template <class T, class E> struct IsResult<rx::Result<T, E>> : std::true_type {
};

template <class T> struct IsSubmittable : std::false_type {
};
template <class I, class O> struct IsSubmittable<SubmittableAction<I, O>> : std::true_type {
};

template <class T> struct IsModelOperation : std::false_type {
};
template <class V, class Q, class I>
struct IsModelOperation<ModelOperationAction<V, Q, I>> : std::true_type {
};

template <class T>
concept HasOwnDescription = requires(const T& value)
{
    {
        describe(value)
        } -> std::same_as<std::string>;
};

} // namespace description

template <class T> std::string describeValue(const T& value);

namespace description {

template <class T> std::string fields(const T& value)
{
    constexpr auto count = fieldCount<T>();
    auto join = [](const auto&... field) {
        std::string text;
        ((text += (text.empty() ? "" : ", ") + describeValue(field)), ...);
        return text;
    };
    if constexpr (count == 1) {
        const auto& [a] = value;
        return join(a);
    } else if constexpr (count == 2) {
        const auto& [a, b] = value;
        return join(a, b);
    } else if constexpr (count == 3) {
        const auto& [a, b, c] = value;
        return join(a, b, c);
    } else if constexpr (count == 4) {
        const auto& [a, b, c, d] = value;
        return join(a, b, c, d);
    } else if constexpr (count == 5) {
        const auto& [a, b, c, d, e] = value;
        return join(a, b, c, d, e);
    } else if constexpr (count == 6) {
        const auto& [a, b, c, d, e, f] = value;
        return join(a, b, c, d, e, f);
    } else if constexpr (count == 7) {
        const auto& [a, b, c, d, e, f, g] = value;
        return join(a, b, c, d, e, f, g);
    } else if constexpr (count == 8) {
        const auto& [a, b, c, d, e, f, g, h] = value;
        return join(a, b, c, d, e, f, g, h);
    } else if constexpr (count == 9) {
        const auto& [a, b, c, d, e, f, g, h, i] = value;
        return join(a, b, c, d, e, f, g, h, i);
    } else if constexpr (count == 10) {
        const auto& [a, b, c, d, e, f, g, h, i, j] = value;
        return join(a, b, c, d, e, f, g, h, i, j);
    } else {
        return std::string("…");
    }
}

} // namespace description

// The description of any value: own overloads first, then the shapes the system's values
// have (actions as variants of cases, records, optionals, collections, results).
template <class T> std::string describeValue(const T& value)
{
    using namespace description;
    if constexpr (HasOwnDescription<T>) {
        return describe(value);
    } else if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else if constexpr (std::is_same_v<T, std::string>) {
        return quotedText(value);
    } else if constexpr (std::is_enum_v<T>) {
        return enumName(value, std::make_index_sequence<32>());
    } else if constexpr (std::is_arithmetic_v<T>) {
        if constexpr (std::is_floating_point_v<T>) {
            std::string text = std::to_string(value);
            text.erase(text.find_last_not_of('0') + 1);
            if (!text.empty() && text.back() == '.')
                text.pop_back();
            return text;
        } else {
            return std::to_string(value);
        }
    } else if constexpr (std::is_same_v<T, Date>) {
        return describeDate(value);
    } else if constexpr (std::is_same_v<T, EquatableVoid>) {
        return "()";
    } else if constexpr (requires {
                             typename T::element_type;
                             value.get();
                         }) {
        return value ? std::string(typeName<typename T::element_type>()) : std::string("nil");
    } else if constexpr (requires {
                             value.has_value();
                             *value;
                         }) {
        return value ? describeValue(*value) : std::string("nil");
    } else if constexpr (IsResult<T>::value) {
        return value.isSuccess() ? "success(" + describeValue(value.value()) + ")"
                                 : "failure(" + describeValue(value.error()) + ")";
    } else if constexpr (IsSubmittable<T>::value) {
        if (auto submit = value.asSubmit())
            return "submit(" + describeValue(submit->input) + ")";
        if (auto result = value.asResult())
            return "result(" + describeValue(result->result) + ")";
        return "reset";
    } else if constexpr (IsModelOperation<T>::value) {
        if (auto create = value.asCreate())
            return "create(" + describeValue(*create) + ")";
        if (auto read = value.asRead())
            return "read(" + describeValue(*read) + ")";
        if (auto update = value.asUpdate())
            return "update(" + describeValue(*update) + ")";
        return "delete(" + describeValue(*value.asDelete()) + ")";
    } else if constexpr (VariantLike<T>) {
        return std::visit(
            [](const auto& alternative) -> std::string {
                using A = std::decay_t<decltype(alternative)>;
                auto name = caseName(typeName<A>());
                if constexpr (std::is_aggregate_v<A> && !VariantLike<A>) {
                    if constexpr (fieldCount<A>() == 0)
                        return name;
                    else
                        return name + "(" + fields(alternative) + ")";
                } else {
                    return name + "(" + describeValue(alternative) + ")";
                }
            },
            variantBase(value));
    } else if constexpr (requires {
                             value.first;
                             value.second;
                         }) {
        return describeValue(value.first) + ": " + describeValue(value.second);
    } else if constexpr (Range<T>) {
        std::string text = "[";
        for (const auto& element : value)
            text += (text.size() > 1 ? ", " : "") + describeValue(element);
        return text + "]";
    } else if constexpr (std::is_aggregate_v<T>) {
        return std::string(typeName<T>()) + "(" + fields(value) + ")";
    } else {
        return std::string(typeName<T>()) + "(…)";
    }
}

} // namespace tidemark
