#include "FlashPixDecoder.h"

#include "FittedSize.h"
#include "LittleEndian.h"
#include "PixelLimit.h"

#include <gsf/gsf-infile-impl.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

// libjpeg's header needs size_t and FILE declared first.
#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int kTileSide = 64;
constexpr int kMaxLevels = 32;
constexpr int kMaxChannels = 4;
constexpr size_t kStreamPrefix = 28;  // byte order, format, class id, reserved: offsets count from its end

// Property identifiers of the image contents.
constexpr uint32_t kPidLevels = 0x01000000;
constexpr uint32_t kPidWidth = 0x01000002;
constexpr uint32_t kPidHeight = 0x01000003;
constexpr uint32_t kPidLevelWidth = 0x02000000;   // | level << 16
constexpr uint32_t kPidLevelHeight = 0x02000001;  // | level << 16
constexpr uint32_t kPidLevelColor = 0x02000002;   // | level << 16
constexpr uint32_t kPidJpegTables = 0x03000001;   // | table << 16

constexpr uint32_t kVtI4 = 3;
constexpr uint32_t kVtUi4 = 0x13;
constexpr uint32_t kVtBlob = 0x41;

// Tile compressions.
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kSingleColor = 1;
constexpr uint32_t kJpeg = 2;

// Channel descriptions: colour space in the upper half (its top bit marks an
// uncalibrated space), the channel's colour in the lower 15 bits, and bit 15
// for colours premultiplied by the opacity.
constexpr int kSpaceMonochrome = 1;
constexpr int kSpacePhotoYcc = 2;
constexpr int kSpaceNifRgb = 3;
constexpr uint32_t kOpacityColor = 0x7FFE;

// Class identifiers of FlashPix objects all end alike (xxxxxxxx-C154-11CE-
// 8553-00AA00A1F95B) and start with 0x5661 in their first 32-bit field.
const unsigned char kFlashPixClassTail[12] = {0x54, 0xC1, 0xCE, 0x11, 0x85, 0x53,
                                               0x00, 0xAA, 0x00, 0xA1, 0xF9, 0x5B};
// 56616400-C154-11CE-8553-00AA00A1F95B: the image contents property set.
const unsigned char kImageContentsFormat[16] = {0x00, 0x64, 0x61, 0x56, 0x54, 0xC1, 0xCE, 0x11,
                                                0x85, 0x53, 0x00, 0xAA, 0x00, 0xA1, 0xF9, 0x5B};

const char kStoreName[] = "Data Object Store 000001";
const char kContentsName[] = "\005Image Contents";
const char kHeaderName[] = "Subimage 0000 Header";
const char kDataName[] = "Subimage 0000 Data";

bool flashPixClass(const unsigned char id[16])
{
    return id[3] == 0x56 && id[2] == 0x61 && std::memcmp(id + 4, kFlashPixClassTail, sizeof kFlashPixClassTail) == 0;
}

// ---------------------------------------------------------------------------
// The compound file

struct ObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
using InputPtr = std::unique_ptr<GsfInput, ObjectUnref>;
using InfilePtr = std::unique_ptr<GsfInfile, ObjectUnref>;

// libgsf reports damaged compound files on GLib's log as well as through
// its errors; a damaged file is an ordinary case here, so its messages are
// dropped.
void quietLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void silenceCompoundFileMessages()
{
    static std::once_flag once;
    std::call_once(once, [] { g_log_set_handler("libgsf:msole", G_LOG_LEVEL_MASK, quietLog, nullptr); });
}

// A child by name. gsf_infile_child_by_name would log the failure to open
// one; the error is taken here instead.
InputPtr child(GsfInfile* parent, const char* name)
{
    const int count = gsf_infile_num_children(parent);
    for (int i = 0; i < count; ++i) {
        const char* childName = gsf_infile_name_by_index(parent, i);
        if (!childName || std::strcmp(childName, name) != 0)
            continue;
        GError* error = nullptr;
        GsfInput* input = G_TYPE_INSTANCE_GET_CLASS(parent, GSF_INFILE_TYPE, GsfInfileClass)->child_by_index(parent, i, &error);
        if (error) {
            g_error_free(error);
            if (input)
                g_object_unref(input);
            return {};
        }
        return InputPtr(input);
    }
    return {};
}

// A storage of the compound file, or null.
InfilePtr childStorage(GsfInfile* parent, const char* name)
{
    InputPtr input = child(parent, name);
    if (!input || !GSF_IS_INFILE(input.get()) || gsf_infile_num_children(GSF_INFILE(input.get())) < 0)
        return {};
    return InfilePtr(GSF_INFILE(input.release()));
}

// A stream's whole contents; false when it is missing, is a storage, is
// larger than the file itself or cannot be read.
bool readStream(GsfInfile* parent, const char* name, size_t limit, Bytes* out)
{
    InputPtr input = child(parent, name);
    if (!input)
        return false;
    if (GSF_IS_INFILE(input.get()) && gsf_infile_num_children(GSF_INFILE(input.get())) >= 0)
        return false;
    const gsf_off_t size = gsf_input_size(input.get());
    if (size < 0 || uint64_t(size) > limit)
        return false;
    out->resize(size_t(size));
    return size == 0 || gsf_input_read(input.get(), size_t(size), out->data()) != nullptr;
}

// ---------------------------------------------------------------------------
// Property sets

class PropertySet {
public:
    // The first section of a property set stream, which must have the given
    // format identifier.
    bool parse(Bytes bytes, const unsigned char format[16])
    {
        m_bytes = std::move(bytes);
        const size_t n = m_bytes.size();
        if (n < 48 || m_bytes[0] != 0xFE || m_bytes[1] != 0xFF || readU32Le(&m_bytes[24]) < 1)
            return false;
        if (std::memcmp(&m_bytes[28], format, 16) != 0)
            return false;
        const uint64_t section = readU32Le(&m_bytes[44]);
        if (section + 8 > n)
            return false;
        const uint64_t sectionSize = std::min<uint64_t>(readU32Le(&m_bytes[section]), n - section);
        const uint64_t count = readU32Le(&m_bytes[section + 4]);
        if (count > (sectionSize - std::min<uint64_t>(sectionSize, 8)) / 8)
            return false;
        for (uint64_t i = 0; i < count; ++i) {
            const unsigned char* entry = &m_bytes[section + 8 + 8 * i];
            const uint64_t at = section + readU32Le(entry + 4);
            if (at + 4 <= section + sectionSize)
                m_values[readU32Le(entry)] = {size_t(at), size_t(section + sectionSize)};
        }
        return true;
    }

    bool uint32(uint32_t id, uint32_t* value) const
    {
        const auto it = m_values.find(id);
        if (it == m_values.end() || it->second.first + 8 > it->second.second)
            return false;
        const unsigned char* p = &m_bytes[it->second.first];
        const uint32_t type = readU32Le(p);
        if (type != kVtUi4 && type != kVtI4)
            return false;
        *value = readU32Le(p + 4);
        return true;
    }

    // A blob's bytes inside the stream, or nullptr.
    const unsigned char* blob(uint32_t id, size_t* length) const
    {
        const auto it = m_values.find(id);
        if (it == m_values.end() || it->second.first + 8 > it->second.second)
            return nullptr;
        const unsigned char* p = &m_bytes[it->second.first];
        if (readU32Le(p) != kVtBlob)
            return nullptr;
        const uint64_t n = readU32Le(p + 4);
        if (it->second.first + 8 + n > it->second.second)
            return nullptr;
        *length = size_t(n);
        return p + 8;
    }

private:
    Bytes m_bytes;
    std::map<uint32_t, std::pair<size_t, size_t>> m_values;  // id -> value offset, end of section
};

// ---------------------------------------------------------------------------
// The picture's structure

struct ChannelLayout {
    int channels = 0;
    int space = 0;
    bool opacity = false;
    bool premultiplied = false;
};

// The subimage colour blob: a count of colour descriptions (the first is
// used), the channel count, then one description per channel.
bool parseColor(const unsigned char* blob, size_t length, ChannelLayout* layout)
{
    if (!blob || length < 8)
        return false;
    const uint32_t channels = readU32Le(blob + 4);
    if (channels < 1 || channels > kMaxChannels || length < 8 + 4 * size_t(channels))
        return false;
    std::array<uint32_t, kMaxChannels> desc{};
    for (uint32_t c = 0; c < channels; ++c)
        desc[c] = readU32Le(blob + 8 + 4 * c);
    const bool opacity = (desc[channels - 1] & 0x7FFF) == kOpacityColor;
    const uint32_t colours = channels - (opacity ? 1 : 0);
    if (colours != 1 && colours != 3)
        return false;
    const int space = int((desc[0] >> 16) & 0x7FFF);
    for (uint32_t c = 0; c < colours; ++c)
        if (int((desc[c] >> 16) & 0x7FFF) != space || (desc[c] & 0x7FFF) != c)
            return false;
    if (colours == 1 ? space != kSpaceMonochrome : space != kSpaceNifRgb && space != kSpacePhotoYcc)
        return false;
    layout->channels = int(channels);
    layout->space = space;
    layout->opacity = opacity;
    layout->premultiplied = opacity && (desc[0] & 0x8000) != 0;
    return true;
}

struct TileEntry {
    uint32_t offset = 0;
    uint32_t size = 0;
    uint32_t compression = 0;
    uint32_t subtype = 0;
};

struct Level {
    int index = 0;  // the number of its "Resolution nnnn" storage
    int width = 0;
    int height = 0;
    ChannelLayout layout;
    std::vector<TileEntry> tiles;  // row by row
    InfilePtr storage;
};

int tilesAlong(int side) { return (side + kTileSide - 1) / kTileSide; }

// The subimage header stream: after the stream prefix, the header length,
// width, height, tile count, tile width and height, channel count, tile table
// offset and entry length; then the tile table, 16 bytes or more per tile.
bool parseSubimageHeader(const Bytes& header, Level* level)
{
    if (header.size() < kStreamPrefix + 36)
        return false;
    const unsigned char* p = header.data() + kStreamPrefix;
    const uint32_t width = readU32Le(p + 4), height = readU32Le(p + 8), count = readU32Le(p + 12);
    const uint32_t tileWidth = readU32Le(p + 16), tileHeight = readU32Le(p + 20), channels = readU32Le(p + 24);
    const uint64_t table = readU32Le(p + 28), entryLength = readU32Le(p + 32);
    if (int64_t(width) != level->width || int64_t(height) != level->height)
        return false;
    if (tileWidth != kTileSide || tileHeight != kTileSide || int64_t(channels) != level->layout.channels)
        return false;
    if (uint64_t(count) != uint64_t(tilesAlong(level->width)) * uint64_t(tilesAlong(level->height)))
        return false;
    if (entryLength < 16 || entryLength > 1024)
        return false;
    const uint64_t body = header.size() - kStreamPrefix;
    if (table > body || uint64_t(count) * entryLength > body - table)
        return false;
    level->tiles.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* e = p + table + entryLength * i;
        level->tiles[i] = {readU32Le(e), readU32Le(e + 4), readU32Le(e + 8), readU32Le(e + 12)};
    }
    return true;
}

struct Picture {
    InputPtr source;
    InfilePtr root;
    InfilePtr store;
    PropertySet contents;
    int width = 0;
    int height = 0;
    std::vector<Level> levels;  // from the largest to the smallest
};

// The compound file's root entry, the first of the first directory sector,
// must be of the root type and have no siblings. libgsf would otherwise read
// the siblings as entries without a parent and lose them (memory it never
// frees).
bool rootEntrySound(const unsigned char* data, size_t size)
{
    static const unsigned char magic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (!data || size < 512 || std::memcmp(data, magic, sizeof magic) != 0)
        return false;
    const unsigned shift = unsigned(data[30]) | unsigned(data[31]) << 8;
    if (shift != 9 && shift != 12)
        return false;
    const uint64_t root = (uint64_t(readU32Le(data + 48)) + 1) << shift;
    if (root + 128 > size)
        return false;
    const unsigned char* entry = data + root;
    constexpr uint32_t kNoEntry = 0xFFFFFFFF;
    return entry[66] == 5 && readU32Le(entry + 68) == kNoEntry && readU32Le(entry + 72) == kNoEntry;
}

// The directory's sector chain, followed through the allocation table. A
// FlashPix file has a handful of directory entries; libgsf reads the
// directory recursively (one call per linked entry) and sorts each storage's
// children by insertion, so a long directory could exhaust the stack or the
// time of the viewer. Anything longer than kMaxDirectorySectors, or a chain
// that leaves the file, is refused before libgsf sees it.
constexpr int kMaxDirectorySectors = 64;
constexpr int kMaxDifatSteps = 64;

bool directoryBounded(const unsigned char* data, size_t size)
{
    constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
    constexpr uint32_t kLastRegular = 0xFFFFFFFA;
    const unsigned shift = unsigned(data[30]) | unsigned(data[31]) << 8;  // 9 or 12, checked by the caller
    const uint32_t perSector = (uint32_t(1) << shift) / 4;
    const auto sectorAt = [&](uint32_t id) -> const unsigned char* {
        if (id > kLastRegular)
            return nullptr;
        const uint64_t offset = (uint64_t(id) + 1) << shift;
        if (offset + (uint64_t(1) << shift) > size)
            return nullptr;
        return data + offset;
    };
    // The id of allocation-table sector `index`: the first 109 are listed in
    // the header, the others in the chain of list sectors (127 or 1023 each).
    const auto tableSector = [&](uint32_t index, uint32_t* id) {
        if (index < 109) {
            *id = readU32Le(data + 0x4C + 4 * index);
            return true;
        }
        index -= 109;
        uint32_t list = readU32Le(data + 0x44);
        const uint32_t perList = perSector - 1;
        if (index / perList >= uint32_t(kMaxDifatSteps))
            return false;
        for (uint32_t step = 0; step < index / perList; ++step) {
            const unsigned char* sector = sectorAt(list);
            if (!sector)
                return false;
            list = readU32Le(sector + 4 * perList);
        }
        const unsigned char* sector = sectorAt(list);
        if (!sector)
            return false;
        *id = readU32Le(sector + 4 * (index % perList));
        return true;
    };
    uint32_t sector = readU32Le(data + 0x30);
    for (int count = 0; count < kMaxDirectorySectors; ++count) {
        if (!sectorAt(sector))
            return false;
        uint32_t tableId = 0;
        if (!tableSector(sector / perSector, &tableId))
            return false;
        const unsigned char* table = sectorAt(tableId);
        if (!table)
            return false;
        sector = readU32Le(table + 4 * (sector % perSector));
        if (sector == kEndOfChain)
            return true;
    }
    return false;
}

bool open(const unsigned char* data, size_t size, Picture* picture)
{
    if (!rootEntrySound(data, size) || !directoryBounded(data, size))
        return false;
    silenceCompoundFileMessages();
    picture->source.reset(gsf_input_memory_new(data, gsf_off_t(size), FALSE));
    if (!picture->source)
        return false;
    GError* error = nullptr;
    GsfInfile* root = gsf_infile_msole_new(picture->source.get(), &error);
    if (error)
        g_error_free(error);
    picture->root.reset(root);
    if (!root)
        return false;

    picture->store = childStorage(root, kStoreName);
    if (!picture->store)
        return false;
    unsigned char classId[16] = {};
    if (!gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(picture->store.get()), classId) || !flashPixClass(classId))
        return false;

    Bytes contents;
    if (!readStream(picture->store.get(), kContentsName, size, &contents)
        || !picture->contents.parse(std::move(contents), kImageContentsFormat))
        return false;
    const PropertySet& props = picture->contents;
    uint32_t levels = 0, width = 0, height = 0;
    if (!props.uint32(kPidLevels, &levels) || !props.uint32(kPidWidth, &width) || !props.uint32(kPidHeight, &height))
        return false;
    if (levels < 1 || levels > kMaxLevels || width < 1 || height < 1 || uint64_t(width) * height > kMaxImagePixels)
        return false;
    picture->width = int(width);
    picture->height = int(height);

    for (int i = int(levels) - 1; i >= 0; --i) {
        Level level;
        level.index = i;
        const uint32_t shift = uint32_t(i) << 16;
        uint32_t w = 0, h = 0;
        size_t colorLength = 0;
        const unsigned char* color = props.blob(kPidLevelColor | shift, &colorLength);
        if (!props.uint32(kPidLevelWidth | shift, &w) || !props.uint32(kPidLevelHeight | shift, &h)
            || !parseColor(color, colorLength, &level.layout))
            return false;
        if (w < 1 || h < 1 || w > width || h > height)
            return false;
        // Each level is smaller than the one above it; the top one is the
        // full-size picture.
        if (picture->levels.empty() ? w != width || h != height
                                    : int64_t(w) >= picture->levels.back().width
                                          && int64_t(h) >= picture->levels.back().height)
            return false;
        level.width = int(w);
        level.height = int(h);

        char name[32];
        std::snprintf(name, sizeof name, "Resolution %04d", i);
        level.storage = childStorage(picture->store.get(), name);
        if (!level.storage)
            return false;
        Bytes header;
        if (!readStream(level.storage.get(), kHeaderName, size, &header) || !parseSubimageHeader(header, &level))
            return false;
        picture->levels.push_back(std::move(level));
    }
    return true;
}

// ---------------------------------------------------------------------------
// JPEG tiles

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1);
}

void jpegQuiet(j_common_ptr, int) {}
void jpegQuietOutput(j_common_ptr) {}

// Decodes one 64 x 64 tile into out (64 * 64 * channels bytes) with the
// channels as stored, no colour conversion. tables, when given, is an
// abbreviated stream holding the tables the tile refers to. Kept free of
// objects with destructors: libjpeg's errors leave through longjmp.
bool decodeJpegTile(const unsigned char* tables, size_t tablesLength, const unsigned char* tile, size_t tileLength,
                    int channels, unsigned char* out)
{
    jpeg_decompress_struct info;
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = jpegFail;
    failure.manager.emit_message = jpegQuiet;
    failure.manager.output_message = jpegQuietOutput;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    if (tables) {
        jpeg_mem_src(&info, tables, static_cast<unsigned long>(tablesLength));
        if (jpeg_read_header(&info, FALSE) != JPEG_HEADER_TABLES_ONLY) {
            jpeg_destroy_decompress(&info);
            return false;
        }
    }
    jpeg_mem_src(&info, tile, static_cast<unsigned long>(tileLength));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width != kTileSide
        || info.image_height != kTileSide || info.num_components != channels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // The channels come out as stored; the colour conversion is ours.
    info.jpeg_color_space = JCS_UNKNOWN;
    info.out_color_space = JCS_UNKNOWN;
    info.scale_num = info.scale_denom = 1;
    jpeg_start_decompress(&info);
    if (info.output_width != kTileSide || info.output_height != kTileSide || info.output_components != channels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out + size_t(info.output_scanline) * kTileSide * size_t(channels);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// ---------------------------------------------------------------------------
// Colours

unsigned char clampByte(double v) { return static_cast<unsigned char>(std::clamp(std::lround(v), 0L, 255L)); }

// JPEG's YCbCr (full range) to RGB, in place, for the first three channels.
void yccToRgb(unsigned char* pixels, int channels)
{
    for (int i = 0; i < kTileSide * kTileSide; ++i) {
        unsigned char* p = pixels + size_t(i) * size_t(channels);
        const double y = p[0], cb = p[1] - 128.0, cr = p[2] - 128.0;
        p[0] = clampByte(y + 1.402 * cr);
        p[1] = clampByte(y - 0.344136 * cb - 0.714136 * cr);
        p[2] = clampByte(y + 1.772 * cb);
    }
}

// Kodak PhotoYCC (8-bit, reference white at 255 after scaling) to RGB.
void photoYccToRgb(const unsigned char* p, int* r, int* g, int* b)
{
    const double luma = 1.3584 * p[0];
    const double c1 = 2.2179 * (p[1] - 156.0), c2 = 1.8215 * (p[2] - 137.0);
    *r = clampByte(luma + c2);
    *g = clampByte(luma - 0.194 * c1 - 0.509 * c2);
    *b = clampByte(luma + c1);
}

int overWhite(int value, int alpha, bool premultiplied)
{
    if (premultiplied)
        return std::min(255, value + 255 - alpha);
    return (value * alpha + 255 * (255 - alpha) + 127) / 255;
}

// ---------------------------------------------------------------------------
// Decoding one level

class LevelDecoder {
public:
    LevelDecoder(const Picture& picture, const Level& level, const Bytes& data)
        : m_picture(picture), m_level(level), m_data(data)
    {
    }

    QImage decode()
    {
        QImage image(m_level.width, m_level.height, QImage::Format_RGB32);
        if (image.isNull())
            return {};
        const int across = tilesAlong(m_level.width), down = tilesAlong(m_level.height);
        const int channels = m_level.layout.channels;
        Bytes tile(size_t(kTileSide) * kTileSide * size_t(channels));
        for (int ty = 0; ty < down; ++ty) {
            for (int tx = 0; tx < across; ++tx) {
                if (!readTile(m_level.tiles[size_t(ty) * size_t(across) + size_t(tx)], tile.data()))
                    return {};
                place(tile.data(), tx * kTileSide, ty * kTileSide, image);
            }
        }
        return image;
    }

private:
    // The tile's channels, in the level's colour space, into pixels.
    bool readTile(const TileEntry& entry, unsigned char* pixels)
    {
        const int channels = m_level.layout.channels;
        const size_t bytes = size_t(kTileSide) * kTileSide * size_t(channels);
        switch (entry.compression) {
        case kUncompressed: {
            const uint64_t at = kStreamPrefix + uint64_t(entry.offset);
            if (entry.size < bytes || at + bytes > m_data.size())
                return false;
            std::memcpy(pixels, m_data.data() + at, bytes);
            return true;
        }
        case kSingleColor:
            // The colour in the subtype, one byte per channel from the lowest.
            for (size_t i = 0; i < bytes; ++i)
                pixels[i] = static_cast<unsigned char>(entry.subtype >> (8 * (i % size_t(channels))));
            return true;
        case kJpeg:
            return readJpegTile(entry, pixels);
        default:
            return false;
        }
    }

    // The subtype's bytes from the lowest: interleaving, chroma subsampling,
    // internal colour conversion (RGB stored as YCbCr), JPEG table index (0:
    // the tile holds its own tables).
    bool readJpegTile(const TileEntry& entry, unsigned char* pixels)
    {
        const uint64_t at = kStreamPrefix + uint64_t(entry.offset);
        if (entry.size == 0 || at + entry.size > m_data.size())
            return false;
        const unsigned tableIndex = (entry.subtype >> 24) & 0xFF;
        const bool converted = ((entry.subtype >> 16) & 0xFF) != 0;
        const unsigned char* tables = nullptr;
        size_t tablesLength = 0;
        if (tableIndex != 0) {
            tables = m_picture.contents.blob(kPidJpegTables | uint32_t(tableIndex) << 16, &tablesLength);
            if (!tables || tablesLength == 0)
                return false;
        }
        const int channels = m_level.layout.channels;
        if (!decodeJpegTile(tables, tablesLength, m_data.data() + at, entry.size, channels, pixels))
            return false;
        if (converted && m_level.layout.space == kSpaceNifRgb) {
            yccToRgb(pixels, channels);
            // With an opacity channel the colours were inverted before the
            // conversion, as in Adobe's YCCK.
            if (m_level.layout.opacity)
                for (int i = 0; i < kTileSide * kTileSide; ++i)
                    for (int c = 0; c < 3; ++c)
                        pixels[size_t(i) * 4 + size_t(c)] = static_cast<unsigned char>(255 - pixels[size_t(i) * 4 + size_t(c)]);
        }
        return true;
    }

    // The visible part of a tile into the picture, as RGB over white.
    void place(const unsigned char* pixels, int left, int top, QImage& image) const
    {
        const ChannelLayout& layout = m_level.layout;
        const int channels = layout.channels;
        const int width = std::min(kTileSide, m_level.width - left);
        const int height = std::min(kTileSide, m_level.height - top);
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(top + y)) + left;
            const unsigned char* p = pixels + size_t(y) * kTileSide * size_t(channels);
            for (int x = 0; x < width; ++x, p += channels) {
                int r = p[0], g = p[0], b = p[0];
                if (layout.space == kSpaceNifRgb) {
                    g = p[1];
                    b = p[2];
                } else if (layout.space == kSpacePhotoYcc) {
                    photoYccToRgb(p, &r, &g, &b);
                }
                if (layout.opacity) {
                    const int alpha = p[channels - 1];
                    r = overWhite(r, alpha, layout.premultiplied);
                    g = overWhite(g, alpha, layout.premultiplied);
                    b = overWhite(b, alpha, layout.premultiplied);
                }
                line[x] = qRgb(r, g, b);
            }
        }
    }

    const Picture& m_picture;
    const Level& m_level;
    const Bytes& m_data;
};

// The size a picture must have to cover an area once fitted into it
// (FittedSize). An area that is itself a fitted size (within rounding) is
// kept, so that fitting twice never asks for less than fitting once.
QSize neededSize(int width, int height, int areaWidth, int areaHeight)
{
    const QSize fitted = FittedSize(width, height, areaWidth, areaHeight);
    if (areaWidth <= 0 || areaHeight <= 0)
        return fitted;
    const QSize area(std::min(areaWidth, width), std::min(areaHeight, height));
    if (std::abs(fitted.width() - area.width()) <= 1 && std::abs(fitted.height() - area.height()) <= 1)
        return fitted.expandedTo(area);
    return fitted;
}

const Level& chooseLevel(const Picture& picture, int coverWidth, int coverHeight)
{
    const QSize need = neededSize(picture.width, picture.height, coverWidth, coverHeight);
    const Level* chosen = &picture.levels.front();
    for (const Level& level : picture.levels)
        if (level.width >= need.width() && level.height >= need.height())
            chosen = &level;
    return *chosen;
}

QImage decode(const unsigned char* data, size_t size, int coverWidth, int coverHeight)
{
    Picture picture;
    if (!open(data, size, &picture))
        return {};
    const Level& level = chooseLevel(picture, coverWidth, coverHeight);
    Bytes stream;
    if (!readStream(level.storage.get(), kDataName, size, &stream))
        return {};
    return LevelDecoder(picture, level, stream).decode();
}

}  // namespace

bool FlashPixProbe(const unsigned char* data, size_t size, FlashPixInfo* info)
{
    try {
        Picture picture;
        if (!open(data, size, &picture))
            return false;
        if (info) {
            const ChannelLayout& layout = picture.levels.front().layout;
            info->width = picture.width;
            info->height = picture.height;
            info->levels = int(picture.levels.size());
            info->channels = layout.channels;
            info->colorSpace = layout.space;
            info->opacity = layout.opacity;
        }
        return true;
    } catch (...) {
        return false;
    }
}

QImage FlashPixDecode(const unsigned char* data, size_t size, int coverWidth, int coverHeight)
{
    try {
        return decode(data, size, coverWidth, coverHeight);
    } catch (...) {
        return {};
    }
}
