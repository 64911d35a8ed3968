// A set of values of an unscoped enumeration, stored as the bits 1 << value,
// so stored numbers match the framework's sets.
#pragma once

#include <cstdint>
#include <initializer_list>

template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values)
    {
        for (E v : values)
            m_bits |= bit(v);
    }
    static constexpr TSet FromBits(std::uint32_t bits)
    {
        TSet s;
        s.m_bits = bits;
        return s;
    }

    constexpr bool Contains(E v) const { return (m_bits & bit(v)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr std::uint32_t Bits() const { return m_bits; }

    constexpr TSet& Include(E v)
    {
        m_bits |= bit(v);
        return *this;
    }
    constexpr TSet& Exclude(E v)
    {
        m_bits &= ~bit(v);
        return *this;
    }
    constexpr TSet operator+(TSet o) const { return FromBits(m_bits | o.m_bits); }
    constexpr TSet operator-(TSet o) const { return FromBits(m_bits & ~o.m_bits); }
    constexpr TSet operator*(TSet o) const { return FromBits(m_bits & o.m_bits); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint32_t bit(E v) { return std::uint32_t(1) << unsigned(v); }
    std::uint32_t m_bits = 0;
};
