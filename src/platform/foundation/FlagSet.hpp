#pragma once

#include <initializer_list>
#include <type_traits>

namespace tidemark {

// A set of the flags of an enum whose values are distinct bits.
template <class Flag>
requires std::is_enum_v<Flag>
class FlagSet {
public:
    using Bits = std::underlying_type_t<Flag>;

    constexpr FlagSet() = default;
    constexpr FlagSet(Flag flag)
        : m_bits(static_cast<Bits>(flag))
    {
    }
    constexpr FlagSet(std::initializer_list<Flag> flags)
    {
        for (auto flag : flags)
            m_bits |= static_cast<Bits>(flag);
    }

    constexpr bool contains(Flag flag) const { return (m_bits & static_cast<Bits>(flag)) != 0; }
    constexpr bool isEmpty() const { return m_bits == 0; }
    constexpr Bits rawValue() const { return m_bits; }
    constexpr FlagSet united(FlagSet other) const { return fromRaw(m_bits | other.m_bits); }
    static constexpr FlagSet fromRaw(Bits bits)
    {
        FlagSet set;
        set.m_bits = bits;
        return set;
    }

    bool operator==(const FlagSet&) const = default;

private:
    Bits m_bits = 0;
};

} // namespace tidemark
