// What the modules and the helper program pictal-metafile, which draws one
// metafile in its own process, send each other.
//
// Request (the helper's stdin): int32 kind (1 WMF, 2 EMF), int32 width,
// int32 height, uint32 background 0x00RRGGBB, all little-endian, then the
// metafile bytes up to the end of input (at most kMetafileMaxInput).
// Answer (its stdout): int32 width, int32 height, then width * height pixels
// of QImage::Format_RGB32 (0xFFRRGGBB, four little-endian bytes each), rows
// top to bottom without padding; exit code 0. Any failure: exit code 1, and
// the answer may be empty or incomplete.
#pragma once

#include "LittleEndian.h"

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kMetafileRequestBytes = 16;
inline constexpr std::size_t kMetafileAnswerBytes = 8;
inline constexpr std::size_t kMetafileMaxInput = std::size_t(64) << 20;

struct MetafileRequest {
    std::int32_t kind = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t background = 0;  // 0x00RRGGBB
};

inline void putMetafileRequest(unsigned char* at, const MetafileRequest& request)
{
    putU32Le(at, std::uint32_t(request.kind));
    putU32Le(at + 4, std::uint32_t(request.width));
    putU32Le(at + 8, std::uint32_t(request.height));
    putU32Le(at + 12, request.background);
}

inline MetafileRequest readMetafileRequest(const unsigned char* at)
{
    return {readS32Le(at), readS32Le(at + 4), readS32Le(at + 8), readU32Le(at + 12)};
}

// The answer's header: the size of the picture that follows.
inline void putMetafileAnswer(unsigned char* at, std::int32_t width, std::int32_t height)
{
    putU32Le(at, std::uint32_t(width));
    putU32Le(at + 4, std::uint32_t(height));
}
