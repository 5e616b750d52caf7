#pragma once

// Readable descriptions of plain values, and the differences between two of them, for the
// failure messages of tests. Standard library only.
//
//   test::describe(value)               // "PopoverState(isPresented: true, …)"
//   test::differences(expected, actual) // "view.popover.isPresented: expected true, actual
//                                       //  false", one line per difference
//
// Records (aggregates) are walked field by field under their own field names; variants
// (and structs that derive from std::variant, as actions do) print their case; optionals,
// collections, maps, enumerations, dates, durations and smart pointers have a form of
// their own. A type with an ADL `PrintTo(const T&, std::ostream*)` or an `operator<<`
// prints through that. Differences only descend where the values compare unequal under
// their own `operator==`, so a type that compares by identity reports at its own level.

#include <array>
#include <chrono>
#include <concepts>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace tidemark::test {

namespace reflect {

// The unqualified name of a type, template arguments left out:
// "tidemark::ViewActionCases::Quit" gives "Quit".
template <class T> constexpr std::string_view typeName()
{
    std::string_view name = __PRETTY_FUNCTION__;
    const auto start = name.find("T = ") + 4;
    const auto end = name.find_first_of(";]", start);
    name = name.substr(start, end - start);
    int depth = 0;
    std::size_t last = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '<' || c == '(')
            ++depth;
        else if (c == '>' || c == ')')
            --depth;
        else if (depth == 0 && c == ':' && i + 1 < name.size() && name[i + 1] == ':')
            last = i + 2;
    }
    name = name.substr(last);
    const auto angle = name.find('<');
    return angle == std::string_view::npos ? name : name.substr(0, angle);
}

// The name of an enumerator, empty for a value that names none.
template <auto V> constexpr std::string_view enumeratorName()
{
    std::string_view name = __PRETTY_FUNCTION__;
    const auto start = name.find("V = ") + 4;
    const auto end = name.find_first_of(";]", start);
    name = name.substr(start, end - start);
    // "(tidemark::Status)7" is no enumerator; "(anonymous namespace)::Mood::calm" is one.
    const auto close = name.rfind(')');
    if (close != std::string_view::npos && name.find("::", close) == std::string_view::npos)
        return {};
    const auto colon = name.rfind("::");
    return colon == std::string_view::npos ? name : name.substr(colon + 2);
}

template <class E, std::size_t... I> std::string enumName(E value, std::index_sequence<I...>)
{
    constexpr std::array<std::string_view, sizeof...(I)> names {
        enumeratorName<static_cast<E>(I)>()...
    };
    const auto index = static_cast<long long>(value);
    if (index >= 0 && std::size_t(index) < names.size() && !names[std::size_t(index)].empty())
        return std::string(names[std::size_t(index)]);
    return std::string(typeName<E>()) + "(" + std::to_string(index) + ")";
}

template <class T> inline constexpr bool isOptional = false;
template <class T> inline constexpr bool isOptional<std::optional<T>> = true;

// Stands for any field when counting the fields of a record.
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

inline constexpr std::size_t maximumFields = 20;

// The number of fields of an aggregate: the most initializers it takes. (The first count
// that fails is not enough: a member whose default constructor is explicit makes every
// shorter list fail.)
template <class T, std::size_t N = maximumFields + 1> constexpr std::size_t fieldCount()
{
    if constexpr (initializableWith<T>(std::make_index_sequence<N>()))
        return N;
    else if constexpr (N == 0)
        return 0;
    else
        return fieldCount<T, N - 1>();
}

template <class... Ts> const std::variant<Ts...>& variantBase(const std::variant<Ts...>& value)
{
    return value;
}

// A std::variant, or a struct that derives from one.
template <class T>
concept VariantLike = requires(const T& value)
{
    reflect::variantBase(value);
};

template <class T>
concept Aggregate = std::is_aggregate_v<T> && std::is_class_v<T>;

template <class T>
concept Record = Aggregate<T> && !VariantLike<T> && (fieldCount<T>() <= maximumFields);

// References to every field of a record, in order.
template <class T> constexpr auto fieldsOf(const T& value)
{
    constexpr std::size_t n = fieldCount<T>();
    // clang-format off
    if constexpr (n == 0) { return std::tie(); }
    else if constexpr (n == 1) { const auto& [a] = value; return std::tie(a); }
    else if constexpr (n == 2) { const auto& [a, b] = value; return std::tie(a, b); }
    else if constexpr (n == 3) { const auto& [a, b, c] = value; return std::tie(a, b, c); }
    else if constexpr (n == 4) { const auto& [a, b, c, d] = value; return std::tie(a, b, c, d); }
    else if constexpr (n == 5) { const auto& [a, b, c, d, e] = value; return std::tie(a, b, c, d, e); }
    else if constexpr (n == 6) { const auto& [a, b, c, d, e, f] = value; return std::tie(a, b, c, d, e, f); }
    else if constexpr (n == 7) { const auto& [a, b, c, d, e, f, g] = value; return std::tie(a, b, c, d, e, f, g); }
    else if constexpr (n == 8) { const auto& [a, b, c, d, e, f, g, h] = value; return std::tie(a, b, c, d, e, f, g, h); }
    else if constexpr (n == 9) { const auto& [a, b, c, d, e, f, g, h, i] = value; return std::tie(a, b, c, d, e, f, g, h, i); }
    else if constexpr (n == 10) { const auto& [a, b, c, d, e, f, g, h, i, j] = value; return std::tie(a, b, c, d, e, f, g, h, i, j); }
    else if constexpr (n == 11) { const auto& [a, b, c, d, e, f, g, h, i, j, k] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k); }
    else if constexpr (n == 12) { const auto& [a, b, c, d, e, f, g, h, i, j, k, l] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k, l); }
    else if constexpr (n == 13) { const auto& [a, b, c, d, e, f, g, h, i, j, k, l, m] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k, l, m); }
    else if constexpr (n == 14) { const auto& [a, b, c, d, e, f, g, h, i, j, k, l, m, o] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k, l, m, o); }
    else if constexpr (n == 15) { const auto& [a, b, c, d, e, f, g, h, i, j, k, l, m, o, p] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k, l, m, o, p); }
    else if constexpr (n == 16) { const auto& [a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q); }
    else if constexpr (n == 17) { const auto& [a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q, r] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q, r); }
    else if constexpr (n == 18) { const auto& [a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q, r, s] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q, r, s); }
    else if constexpr (n == 19) { const auto& [a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q, r, s, t] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q, r, s, t); }
    else { const auto& [a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q, r, s, t, u] = value; return std::tie(a, b, c, d, e, f, g, h, i, j, k, l, m, o, p, q, r, s, t, u); }
    // clang-format on
}

// The name of a record's field, read off the compiler's spelling of a pointer to it
// (`&object.Record::field`) in an object that is declared and never defined.
template <class T> struct Holder {
    const T value;
};
template <class T> extern const Holder<T> declaredOnly;

template <auto Pointer> consteval std::string_view pointerSpelling()
{
    return __PRETTY_FUNCTION__;
}

template <class T, std::size_t I> constexpr std::string_view fieldName()
{
#if defined(__clang__) && __clang_major__ < 18
    // Older clang takes no pointer to a subobject as a template argument: clang 14 names
    // the fields from a dump of the value (labels()); later ones number them.
    return {};
#else
    constexpr std::string_view spelling
        = pointerSpelling<&std::get<I>(fieldsOf(declaredOnly<T>.value))>();
    constexpr auto start = spelling.find("Pointer = ");
    if constexpr (start == std::string_view::npos) {
        return {};
    } else {
        constexpr auto end = spelling.find_first_of(";]", start);
        constexpr auto text = spelling.substr(start, end - start);
        constexpr auto close = text.rfind(')');
        constexpr auto inner
            = text.substr(0, close == std::string_view::npos ? text.size() : close);
        constexpr auto colon = inner.rfind("::");
        constexpr auto dot = inner.rfind('.');
        if constexpr (colon == std::string_view::npos && dot == std::string_view::npos)
            return {};
        else if constexpr (colon != std::string_view::npos
            && (dot == std::string_view::npos || colon > dot))
            return inner.substr(colon + 2);
        else
            return inner.substr(dot + 1);
    }
#endif
}

#if defined(__clang__) && __clang_major__ < 15
// clang 14 names the fields another way: __builtin_dump_struct hands its printer one
// header per field, "<type> <name> : " (nested records indented below it), as a format
// of its own; the values come as arguments.
inline thread_local std::vector<std::string>* dumpedNames = nullptr;

inline int collectFieldName(const char* format, ...)
{
    const std::string_view text = format;
    constexpr std::string_view mark = " : ";
    if (dumpedNames && !text.empty() && text.front() != ' '
        && text.find('%') == std::string_view::npos && text.ends_with(mark)) {
        const auto header = text.substr(0, text.size() - mark.size());
        const auto space = header.rfind(' ');
        dumpedNames->emplace_back(
            space == std::string_view::npos ? std::string_view {} : header.substr(space + 1));
    }
    return 0;
}

template <class T> std::vector<std::string> dumpedFieldNames(const T& value)
{
    std::vector<std::string> names;
    dumpedNames = &names;
    __builtin_dump_struct(&value, &collectFieldName);
    dumpedNames = nullptr;
    return names;
}
#endif

template <class T, std::size_t I> std::string fieldLabel(const std::vector<std::string>& dumped)
{
    constexpr auto name = fieldName<T, I>();
    if (!name.empty())
        return std::string(name);
    if (I < dumped.size() && !dumped[I].empty())
        return dumped[I];
    return "#" + std::to_string(I);
}

template <class T, std::size_t... I>
std::array<std::string, sizeof...(I)> labels(const T& value, std::index_sequence<I...>)
{
#if defined(__clang__) && __clang_major__ < 15
    const std::vector<std::string> dumped = dumpedFieldNames(value);
#else
    (void)value;
    const std::vector<std::string> dumped;
#endif
    return { fieldLabel<T, I>(dumped)... };
}

} // namespace reflect

// The fields of a class that is not an aggregate (it has a constructor), for the walk:
// declare beside it an ADL function `describedFields(const T& value)` that returns
// `test::namedFields({ "a", "b" }, value.a, value.b)`.
template <class... F> struct NamedFields {
    std::array<std::string_view, sizeof...(F)> names;
    std::tuple<const F&...> values;
};

template <class... F>
NamedFields<F...> namedFields(std::array<std::string_view, sizeof...(F)> names, const F&... values)
{
    return { names, std::tie(values...) };
}

namespace reflect {

template <class T>
concept HasNamedFields = requires(const T& value)
{
    describedFields(value);
};

template <class T>
concept Walkable = Record<T> || HasNamedFields<T>;

// The fields of a walkable value, and their names.
template <class T> auto fieldsAndNames(const T& value)
{
    if constexpr (HasNamedFields<T>) {
        const auto described = describedFields(value);
        std::array<std::string, std::tuple_size_v<decltype(described.values)>> names;
        for (std::size_t i = 0; i < names.size(); ++i)
            names[i] = std::string(described.names[i]);
        return std::pair(described.values, names);
    } else {
        auto fields = fieldsOf(value);
        return std::pair(
            fields, labels(value, std::make_index_sequence<std::tuple_size_v<decltype(fields)>>()));
    }
}

// Calls `visit(name, field)` for every field of a walkable value.
template <class T, class Visit> void forEachField(const T& value, Visit&& visit)
{
    // Named, not bound: clang 14 lets no lambda capture a structured binding.
    const auto walked = fieldsAndNames(value);
    const auto& fields = walked.first;
    const auto& names = walked.second;
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (visit(names[I], std::get<I>(fields)), ...);
    }
    (std::make_index_sequence<std::tuple_size_v<std::remove_cvref_t<decltype(fields)>>>());
}

template <class T>
concept HasPrintTo = requires(const T& value, std::ostream* out)
{
    PrintTo(value, out);
};

template <class T>
concept Streamable = requires(const T& value, std::ostream& out)
{
    out << value;
};

template <class T>
concept SmartPointer = requires(const T& value)
{
    typename T::element_type;
    value.get();
    static_cast<bool>(value);
};

template <class T>
concept OptionalLike = isOptional<T>;

// rx::Result and its kind: a success value or an error.
template <class T>
concept ResultLike = requires(const T& value)
{
    {
        value.isSuccess()
        } -> std::convertible_to<bool>;
    value.value();
    value.error();
};

template <class T>
concept MapLike = requires(const T& value)
{
    typename T::key_type;
    typename T::mapped_type;
    value.begin();
    value.find(std::declval<const typename T::key_type&>());
};

template <class T>
concept SetLike = !MapLike<T> && requires(const T& value)
{
    typename T::key_type;
    value.begin();
    value.find(std::declval<const typename T::key_type&>());
};

template <class T>
concept Text = std::is_convertible_v<T, std::string_view>;

template <class T>
concept Sequence = !MapLike<T> && !SetLike<T> && !Text<T> && requires(const T& value)
{
    value.begin();
    value.end();
    value.size();
};

template <class T>
concept Pair = requires(const T& value)
{
    value.first;
    value.second;
};

template <class T> inline constexpr bool isTimePoint = false;
template <class C, class D> inline constexpr bool isTimePoint<std::chrono::time_point<C, D>> = true;
template <class T> inline constexpr bool isDuration = false;
template <class R, class P> inline constexpr bool isDuration<std::chrono::duration<R, P>> = true;

template <class T> inline constexpr bool isFunction = false;
template <class S> inline constexpr bool isFunction<std::function<S>> = true;

inline std::string quoted(std::string_view text)
{
    std::string result = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            result += "\\\"";
            break;
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\t':
            result += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
                result += escaped;
            } else {
                result += c;
            }
        }
    }
    return result + "\"";
}

inline std::string number(double value)
{
    char text[32];
    if (value == static_cast<double>(static_cast<long long>(value)) && value > -1e15
        && value < 1e15) {
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
        return text;
    }
    std::snprintf(text, sizeof text, "%.17g", value);
    // The shortest form that reads back the same value.
    for (int precision = 1; precision < 17; ++precision) {
        char shorter[32];
        std::snprintf(shorter, sizeof shorter, "%.*g", precision, value);
        if (std::strtod(shorter, nullptr) == value)
            return shorter;
    }
    return text;
}

// A system-clock moment in UTC, "2024-06-10T10:00:00Z", with fractions of a second only
// when it has them.
template <class D>
std::string moment(const std::chrono::time_point<std::chrono::system_clock, D>& value)
{
    using namespace std::chrono;
    const auto day = floor<days>(value);
    const year_month_day date { day };
    const auto sinceMidnight = value - day;
    const hh_mm_ss<std::remove_cvref_t<decltype(sinceMidnight)>> time { sinceMidnight };
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02ld", int(date.year()),
        unsigned(date.month()), unsigned(date.day()), long(time.hours().count()),
        long(time.minutes().count()), long(time.seconds().count()));
    std::string result = text;
    if (const auto fraction = duration_cast<nanoseconds>(time.subseconds()).count()) {
        std::snprintf(text, sizeof text, ".%09lld", static_cast<long long>(fraction));
        std::string digits = text;
        digits.erase(digits.find_last_not_of('0') + 1);
        result += digits;
    }
    return result + "Z";
}

} // namespace reflect

template <class T> std::string describe(const T& value);

namespace reflect {

template <class T> std::string describeRecord(const T& value)
{
    std::string text;
    forEachField(value, [&text](const std::string& name, const auto& field) {
        text += (text.empty() ? "" : ", ") + name + ": " + describe(field);
    });
    return std::string(typeName<T>()) + "(" + text + ")";
}

// A class printed by none of its own means.
template <class T>
concept PlainClass = std::is_class_v<T> && !VariantLike<T> && !HasPrintTo<T> && !Streamable<T>;

// One case of a variant: its name, then its payload.
template <class A> std::string describeCase(const A& alternative)
{
    if constexpr (Record<A>) {
        constexpr auto count = fieldCount<A>();
        if constexpr (count == 0) {
            return std::string(typeName<A>());
        } else if constexpr (count == 1) {
            return std::string(typeName<A>()) + "(" + describe(std::get<0>(fieldsOf(alternative)))
                + ")";
        } else {
            return describeRecord(alternative);
        }
    } else if constexpr (PlainClass<A>) {
        return std::string(typeName<A>()) + "(" + describe(alternative) + ")";
    } else {
        return describe(alternative);
    }
}

} // namespace reflect

// The description of any value; see the top of this file.
template <class T> std::string describe(const T& value)
{
    using namespace reflect;
    if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else if constexpr (std::is_same_v<T, char>) {
        return quoted(std::string_view(&value, 1));
    } else if constexpr (std::is_convertible_v<T, std::string_view>) {
        return quoted(std::string_view(value));
    } else if constexpr (std::is_enum_v<T>) {
        return enumName(value, std::make_index_sequence<64>());
    } else if constexpr (std::is_floating_point_v<T>) {
        return number(double(value));
    } else if constexpr (std::is_arithmetic_v<T>) {
        return std::to_string(value);
    } else if constexpr (HasPrintTo<T>) {
        std::ostringstream out;
        PrintTo(value, &out);
        return out.str();
    } else if constexpr (SmartPointer<T> || std::is_pointer_v<T>) {
        if (!value)
            return "null";
        std::ostringstream out;
        out << typeName<std::remove_cvref_t<decltype(*value)>>() << "@"
            << static_cast<const void*>(&*value);
        return out.str();
    } else if constexpr (isTimePoint<T>) {
        if constexpr (std::is_same_v<typename T::clock, std::chrono::system_clock>)
            return moment(value);
        else
            return std::to_string(value.time_since_epoch().count()) + " ticks";
    } else if constexpr (isDuration<T>) {
        return number(std::chrono::duration<double>(value).count()) + " s";
    } else if constexpr (isFunction<T>) {
        return value ? "function" : "no function";
    } else if constexpr (OptionalLike<T>) {
        return value ? describe(*value) : std::string("nullopt");
    } else if constexpr (ResultLike<T>) {
        return value.isSuccess() ? "success(" + describe(value.value()) + ")"
                                 : "failure(" + describe(value.error()) + ")";
    } else if constexpr (VariantLike<T>) {
        return std::visit(
            [](const auto& alternative) -> std::string { return describeCase(alternative); },
            variantBase(value));
    } else if constexpr (Streamable<T>) {
        std::ostringstream out;
        out << value;
        return out.str();
    } else if constexpr (Pair<T>) {
        return describe(value.first) + ": " + describe(value.second);
    } else if constexpr (MapLike<T> || SetLike<T> || Sequence<T>) {
        std::string text = "[";
        bool first = true;
        for (const auto& element : value) {
            text += (first ? "" : ", ") + describe(element);
            first = false;
        }
        return text + "]";
    } else if constexpr (Walkable<T>) {
        return describeRecord(value);
    } else {
        return std::string(typeName<T>()) + "{…}";
    }
}

namespace reflect {

inline std::string shortened(std::string text)
{
    constexpr std::size_t limit = 400;
    if (text.size() > limit)
        text = text.substr(0, limit) + "…";
    return text;
}

template <class T>
void addDifference(
    std::vector<std::string>& lines, const std::string& path, const T& expected, const T& actual)
{
    lines.push_back((path.empty() ? std::string("value") : path) + ": expected "
        + shortened(describe(expected)) + ", actual " + shortened(describe(actual)));
}

template <class T>
void collectDifferences(
    std::vector<std::string>& lines, const std::string& path, const T& expected, const T& actual);

template <class T>
void collectFieldDifferences(
    std::vector<std::string>& lines, const std::string& path, const T& expected, const T& actual)
{
    const auto walked = fieldsAndNames(expected);
    const auto& expectedFields = walked.first;
    const auto& names = walked.second;
    const auto actualFields = fieldsAndNames(actual).first;
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (collectDifferences(lines, (path.empty() ? "" : path + ".") + names[I],
             std::get<I>(expectedFields), std::get<I>(actualFields)),
            ...);
    }
    (std::make_index_sequence<std::tuple_size_v<std::remove_cvref_t<decltype(expectedFields)>>>());
}

template <class T>
void collectDifferences(
    std::vector<std::string>& lines, const std::string& path, const T& expected, const T& actual)
{
    if constexpr (!std::equality_comparable<T>) {
        return; // nothing to compare by
    } else {
        if (expected == actual)
            return;
        const auto before = lines.size();
        if constexpr (HasPrintTo<T> || Streamable<T> || SmartPointer<T>) {
            // Printed as a whole.
        } else if constexpr (OptionalLike<T>) {
            if (expected && actual)
                collectDifferences(lines, path, *expected, *actual);
        } else if constexpr (ResultLike<T>) {
            if (expected.isSuccess() && actual.isSuccess())
                collectDifferences(lines, path + ".success", expected.value(), actual.value());
            else if (!expected.isSuccess() && !actual.isSuccess())
                collectDifferences(lines, path + ".failure", expected.error(), actual.error());
        } else if constexpr (VariantLike<T>) {
            const auto& e = variantBase(expected);
            const auto& a = variantBase(actual);
            if (e.index() == a.index()) {
                std::visit(
                    [&](const auto& alternative) {
                        using A = std::remove_cvref_t<decltype(alternative)>;
                        const auto& other = *std::get_if<A>(&a);
                        const std::string casePath
                            = (path.empty() ? "" : path + ".") + std::string(typeName<A>());
                        if constexpr (Record<A> && fieldCount<A>() == 1) {
                            // A case that carries one value: the value stands for the case.
                            collectDifferences(lines, casePath, std::get<0>(fieldsOf(alternative)),
                                std::get<0>(fieldsOf(other)));
                        } else {
                            collectDifferences(lines, casePath, alternative, other);
                        }
                    },
                    e);
            }
        } else if constexpr (MapLike<T>) {
            for (const auto& [key, value] : expected) {
                const auto found = actual.find(key);
                const std::string keyPath = path + "[" + shortened(describe(key)) + "]";
                if (found == actual.end())
                    lines.push_back(keyPath + ": missing, expected " + shortened(describe(value)));
                else
                    collectDifferences(lines, keyPath, value, found->second);
            }
            for (const auto& [key, value] : actual) {
                if (expected.find(key) == expected.end())
                    lines.push_back(path + "[" + shortened(describe(key)) + "]: unexpected, actual "
                        + shortened(describe(value)));
            }
        } else if constexpr (SetLike<T>) {
            const std::string label = path.empty() ? std::string("value") : path;
            for (const auto& element : expected)
                if (actual.find(element) == actual.end())
                    lines.push_back(label + ": missing " + shortened(describe(element)));
            for (const auto& element : actual)
                if (expected.find(element) == expected.end())
                    lines.push_back(label + ": unexpected " + shortened(describe(element)));
        } else if constexpr (Sequence<T>) {
            if (expected.size() == actual.size()) {
                auto a = actual.begin();
                std::size_t index = 0;
                for (auto e = expected.begin(); e != expected.end(); ++e, ++a, ++index)
                    collectDifferences(lines, path + "[" + std::to_string(index) + "]", *e, *a);
            }
        } else if constexpr (Walkable<T>) {
            collectFieldDifferences(lines, path, expected, actual);
        }
        // Nothing more precise was found (or the type compares by a rule of its own):
        // the whole value differs.
        if (lines.size() == before)
            addDifference(lines, path, expected, actual);
    }
}

} // namespace reflect

// One line per difference, "path: expected …, actual …", descending into records,
// variants, optionals and collections as far as the difference goes; empty when the
// values are equal.
template <class T>
std::vector<std::string> differences(
    const T& expected, const T& actual, const std::string& root = {})
{
    std::vector<std::string> lines;
    reflect::collectDifferences(lines, root, expected, actual);
    return lines;
}

} // namespace tidemark::test
