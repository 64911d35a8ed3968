// Windows metafiles (WMF, with or without the placeable header) and enhanced
// metafiles (EMF): recognition by content, the natural size of the picture,
// and a tidied copy of the records for the renderers. No library is
// involved; this code runs on untrusted bytes.
#pragma once

#include <cstddef>
#include <vector>

enum class MetafileKind : int { None = 0, Wmf = 1, Emf = 2 };

struct MetafileInfo {
    MetafileKind kind = MetafileKind::None;
    int width = 0;   // natural size in pixels at 96 dpi
    int height = 0;
};

// Longest side of a natural size; larger pictures are scaled down to it,
// keeping their aspect ratio.
inline constexpr int kMaxMetafileSide = 8192;
// Largest picture a metafile is drawn into: 2^26 pixels (256 MiB as RGB32),
// each side at most kMaxMetafileSide.
inline constexpr long long kMaxMetafilePixels = 1LL << 26;

// True when the data starts like a metafile: the placeable WMF key
// 0x9AC6CDD7, a plain WMF header (type 1 or 2, nine-word header, version
// 0x0100 or 0x0300), or an EMF header record (type 1, " EMF" at offset 40).
bool MetafileSignature(const unsigned char* data, size_t size);

// Recognises the metafile and computes its natural size at 96 dpi:
// placeable WMF from its bounding box and units per inch; plain WMF from its
// mapping mode and window (or viewport) extent, 256 x 256 when it sets no
// extent; EMF from its frame (0.01 mm units), or its device bounds when the
// frame is empty. False for anything that is not a metafile or whose header
// is damaged.
bool MetafileProbe(const unsigned char* data, size_t size, MetafileInfo* info);

// A copy of the metafile that a player can walk without running off its end:
// the headers and every whole record up to the end-of-file record, stopping
// at the first record whose size is impossible; an end-of-file record is
// added when none was reached. The header fields that describe the records
// (WMF: size and largest record; EMF: size and record count) are set to
// match the copy. Empty when MetafileProbe refuses the data.
std::vector<unsigned char> MetafileWholeRecords(const unsigned char* data, size_t size);
