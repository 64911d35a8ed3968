// Little-endian numbers read from and written to a byte buffer, as the
// picture formats store them. The caller has checked that the bytes are there.
#pragma once

#include <cstdint>

inline unsigned readU16Le(const unsigned char* p)
{
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

inline int readS16Le(const unsigned char* p)
{
    return int(std::int16_t(std::uint16_t(readU16Le(p))));
}

inline std::uint32_t readU32Le(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline std::int32_t readS32Le(const unsigned char* p)
{
    return std::int32_t(readU32Le(p));
}

inline void putU32Le(unsigned char* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(value >> (8 * i));
}
