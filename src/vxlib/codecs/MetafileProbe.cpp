#include "MetafileProbe.h"

#include "LittleEndian.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kWmfHeaderSize = 18;  // nine 16-bit words
constexpr size_t kWmfRecordMin = 6;    // size (two words) and function
constexpr uint16_t kWmfEof = 0x0000;
constexpr uint16_t kWmfSetMapMode = 0x0103;
constexpr uint16_t kWmfSetWindowExt = 0x020C;
constexpr uint16_t kWmfSetViewportExt = 0x020E;
constexpr int kWmfDefaultSide = 256;

constexpr uint32_t kEmfHeaderType = 1;
constexpr uint32_t kEmfEofType = 14;
constexpr uint32_t kEmfSignature = 0x464D4520u;  // " EMF"
constexpr size_t kEmfHeaderMin = 88;              // the header record without its extensions
constexpr size_t kEmfEofSize = 20;

// Wide enough that differences and products of two values cannot overflow.
int64_t readS32(const unsigned char* p) { return int64_t(readS32Le(p)); }

void putU32(unsigned char* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

bool placeableKey(const unsigned char* data, size_t size)
{
    return size >= 4 && readU32Le(data) == kPlaceableKey;
}

bool plainWmfHeader(const unsigned char* data, size_t size)
{
    if (size < kWmfHeaderSize)
        return false;
    const unsigned type = readU16Le(data);
    const unsigned headerWords = readU16Le(data + 2);
    const unsigned version = readU16Le(data + 4);
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300);
}

bool emfHeader(const unsigned char* data, size_t size)
{
    return size >= 44 && readU32Le(data) == kEmfHeaderType && readU32Le(data + 40) == kEmfSignature;
}

// Offset of the standard WMF header: after the placeable header when there
// is one. SIZE_MAX when there is no valid standard header.
size_t wmfHeaderOffset(const unsigned char* data, size_t size)
{
    const size_t at = placeableKey(data, size) ? kPlaceableSize : 0;
    if (size < at || !plainWmfHeader(data + at, size - at))
        return SIZE_MAX;
    return at;
}

// Walks the WMF records after the standard header at headerAt; calls
// visit(offset, words, function) for each whole record, up to and including
// the end-of-file record. Returns the offset just past the last record
// visited and whether the end-of-file record was reached.
template <typename Visit>
std::pair<size_t, bool> walkWmfRecords(const unsigned char* data, size_t size, size_t headerAt, Visit visit)
{
    size_t at = headerAt + kWmfHeaderSize;
    while (size - at >= kWmfRecordMin) {
        const uint32_t words = readU32Le(data + at);
        const unsigned function = readU16Le(data + at + 4);
        if (words < 3 || words > (size - at) / 2)
            return {at, false};
        visit(at, words, function);
        at += size_t(words) * 2;
        if (function == kWmfEof)
            return {at, true};
    }
    return {at, false};
}

template <typename Visit>
std::pair<size_t, bool> walkEmfRecords(const unsigned char* data, size_t size, Visit visit)
{
    size_t at = 0;
    while (size - at >= 8) {
        const uint32_t type = readU32Le(data + at);
        const uint32_t bytes = readU32Le(data + at + 4);
        if (bytes < 8 || bytes % 4 != 0 || bytes > size - at)
            return {at, false};
        visit(at, type, bytes);
        at += bytes;
        if (type == kEmfEofType)
            return {at, true};
    }
    return {at, false};
}

// Natural size in pixels from a size in some unit; the longer side is
// capped at kMaxMetafileSide, the aspect ratio kept.
bool naturalSize(double width, double height, MetafileInfo* info)
{
    if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height))
        return false;
    const double longer = std::max(width, height);
    if (longer > kMaxMetafileSide) {
        width = width * kMaxMetafileSide / longer;
        height = height * kMaxMetafileSide / longer;
    }
    info->width = std::clamp(int(std::lround(width)), 1, kMaxMetafileSide);
    info->height = std::clamp(int(std::lround(height)), 1, kMaxMetafileSide);
    return true;
}

bool probePlaceable(const unsigned char* data, MetafileInfo* info)
{
    const int left = readS16Le(data + 6);
    const int top = readS16Le(data + 8);
    const int right = readS16Le(data + 10);
    const int bottom = readS16Le(data + 12);
    const unsigned unitsPerInch = readU16Le(data + 14);
    if (unitsPerInch == 0 || right == left || bottom == top)
        return false;
    const double scale = 96.0 / unitsPerInch;
    return naturalSize(std::abs(right - left) * scale, std::abs(bottom - top) * scale, info);
}

// Pixels per logical unit of the fixed mapping modes (MM_TEXT to MM_TWIPS);
// 0 for the scalable ones, whose window extent has no physical size.
double pixelsPerUnit(unsigned mapMode)
{
    switch (mapMode) {
    case 1: return 1.0;             // MM_TEXT
    case 2: return 96.0 / 254.0;    // MM_LOMETRIC, 0.1 mm
    case 3: return 96.0 / 2540.0;   // MM_HIMETRIC, 0.01 mm
    case 4: return 96.0 / 100.0;    // MM_LOENGLISH, 0.01 in
    case 5: return 96.0 / 1000.0;   // MM_HIENGLISH, 0.001 in
    case 6: return 96.0 / 1440.0;   // MM_TWIPS
    default: return 0.0;            // MM_ISOTROPIC, MM_ANISOTROPIC
    }
}

bool probePlainWmf(const unsigned char* data, size_t size, size_t headerAt, MetafileInfo* info)
{
    unsigned mapMode = 1;  // a device context starts in MM_TEXT
    int windowX = 0, windowY = 0, viewportX = 0, viewportY = 0;
    bool haveWindow = false, haveViewport = false, haveMapMode = false;
    walkWmfRecords(data, size, headerAt, [&](size_t at, uint32_t words, unsigned function) {
        const unsigned char* params = data + at + kWmfRecordMin;
        if (function == kWmfSetMapMode && words >= 4 && !haveMapMode) {
            mapMode = readU16Le(params);
            haveMapMode = true;
        } else if (function == kWmfSetWindowExt && words >= 5 && !haveWindow) {
            windowY = readS16Le(params);
            windowX = readS16Le(params + 2);
            haveWindow = windowX != 0 && windowY != 0;
        } else if (function == kWmfSetViewportExt && words >= 5 && !haveViewport) {
            viewportY = readS16Le(params);
            viewportX = readS16Le(params + 2);
            haveViewport = viewportX != 0 && viewportY != 0;
        }
    });
    const double perUnit = pixelsPerUnit(mapMode);
    if (perUnit == 0 && haveViewport)  // scalable: the viewport is in device pixels
        return naturalSize(std::abs(viewportX), std::abs(viewportY), info);
    if (haveWindow) {
        const double scale = perUnit == 0 ? 1.0 : perUnit;
        return naturalSize(std::abs(windowX) * scale, std::abs(windowY) * scale, info);
    }
    return naturalSize(kWmfDefaultSide, kWmfDefaultSide, info);
}

bool probeEmf(const unsigned char* data, size_t size, MetafileInfo* info)
{
    if (size < kEmfHeaderMin)
        return false;
    const uint32_t headerBytes = readU32Le(data + 4);
    if (headerBytes < kEmfHeaderMin || headerBytes % 4 != 0 || headerBytes > size)
        return false;
    const int64_t frameWidth = readS32(data + 32) - readS32(data + 24);
    const int64_t frameHeight = readS32(data + 36) - readS32(data + 28);
    if (frameWidth > 0 && frameHeight > 0) {
        const double scale = 96.0 / 2540.0;
        return naturalSize(double(frameWidth) * scale, double(frameHeight) * scale, info);
    }
    // The bounds are inclusive device pixels.
    const int64_t boundsWidth = readS32(data + 16) - readS32(data + 8) + 1;
    const int64_t boundsHeight = readS32(data + 20) - readS32(data + 12) + 1;
    return naturalSize(double(boundsWidth), double(boundsHeight), info);
}

}  // namespace

bool MetafileSignature(const unsigned char* data, size_t size)
{
    if (data == nullptr)
        return false;
    return placeableKey(data, size) || plainWmfHeader(data, size) || emfHeader(data, size);
}

bool MetafileProbe(const unsigned char* data, size_t size, MetafileInfo* info)
{
    if (data == nullptr || info == nullptr)
        return false;
    MetafileInfo found;
    bool ok = false;
    if (emfHeader(data, size)) {
        found.kind = MetafileKind::Emf;
        ok = probeEmf(data, size, &found);
    } else if (const size_t headerAt = wmfHeaderOffset(data, size); headerAt != SIZE_MAX) {
        found.kind = MetafileKind::Wmf;
        ok = headerAt == kPlaceableSize ? probePlaceable(data, &found)
                                        : probePlainWmf(data, size, headerAt, &found);
    }
    if (!ok)
        return false;
    *info = found;
    return true;
}

std::vector<unsigned char> MetafileWholeRecords(const unsigned char* data, size_t size)
{
    MetafileInfo info;
    if (!MetafileProbe(data, size, &info))
        return {};
    std::vector<unsigned char> out;
    if (info.kind == MetafileKind::Wmf) {
        const size_t headerAt = wmfHeaderOffset(data, size);
        uint32_t largest = 3;
        const auto [end, sawEof] = walkWmfRecords(data, size, headerAt, [&](size_t, uint32_t words, unsigned) {
            largest = std::max(largest, words);
        });
        out.assign(data, data + end);
        if (!sawEof) {
            const unsigned char eof[kWmfRecordMin] = {3, 0, 0, 0, 0, 0};
            out.insert(out.end(), eof, eof + sizeof eof);
        }
        const size_t words = (out.size() - headerAt) / 2;
        if (words > UINT32_MAX)
            return {};
        putU32(out.data() + headerAt + 6, uint32_t(words));
        putU32(out.data() + headerAt + 12, largest);
        return out;
    }
    uint32_t records = 0;
    const auto [end, sawEof] = walkEmfRecords(data, size, [&](size_t, uint32_t, uint32_t) { ++records; });
    out.assign(data, data + end);
    if (!sawEof) {
        unsigned char eof[kEmfEofSize] = {};
        putU32(eof, kEmfEofType);
        putU32(eof + 4, kEmfEofSize);
        putU32(eof + 12, 16);  // offPalEntries: just past the fixed fields
        putU32(eof + 16, kEmfEofSize);
        out.insert(out.end(), eof, eof + sizeof eof);
        ++records;
    }
    if (out.size() > UINT32_MAX)
        return {};
    putU32(out.data() + 48, uint32_t(out.size()));
    putU32(out.data() + 52, records);
    return out;
}
