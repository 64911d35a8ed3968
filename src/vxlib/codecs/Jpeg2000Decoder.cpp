#include "Jpeg2000Decoder.h"

#include "PixelLimit.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kMaxComponents = 4;

const unsigned char kJp2Signature[12] = {0x00, 0x00, 0x00, 0x0C, 'j', 'P', ' ', ' ', '\r', '\n', 0x87, '\n'};
const unsigned char kJ2kSignature[4] = {0xFF, 0x4F, 0xFF, 0x51};  // SOC then SIZ

struct CodecDeleter {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};
struct ImageDeleter {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};
using CodecPtr = std::unique_ptr<opj_codec_t, CodecDeleter>;
using StreamPtr = std::unique_ptr<opj_stream_t, StreamDeleter>;
using ImagePtr = std::unique_ptr<opj_image_t, ImageDeleter>;

// The stream reads from a buffer owned by the caller.
struct MemorySource {
    const unsigned char* data;
    size_t size;
    size_t pos;
};

OPJ_SIZE_T readMemory(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* src = static_cast<MemorySource*>(user);
    if (src->pos >= src->size)
        return OPJ_SIZE_T(-1);
    const size_t n = std::min<size_t>(count, src->size - src->pos);
    std::memcpy(buffer, src->data + src->pos, n);
    src->pos += n;
    return n;
}

OPJ_OFF_T skipMemory(OPJ_OFF_T count, void* user)
{
    auto* src = static_cast<MemorySource*>(user);
    if (count < 0) {
        if (uint64_t(-count) > src->pos)
            return -1;
        src->pos -= size_t(-count);
        return count;
    }
    if (src->pos >= src->size && count > 0)
        return -1;
    const size_t n = std::min<uint64_t>(uint64_t(count), src->size - src->pos);
    src->pos += n;
    return OPJ_OFF_T(n);
}

OPJ_BOOL seekMemory(OPJ_OFF_T pos, void* user)
{
    auto* src = static_cast<MemorySource*>(user);
    if (pos < 0 || uint64_t(pos) > src->size)
        return OPJ_FALSE;
    src->pos = size_t(pos);
    return OPJ_TRUE;
}

void quiet(const char*, void*) {}

// One decoder over one buffer, with its headers read.
struct Session {
    MemorySource source{};
    CodecPtr codec;
    StreamPtr stream;
    ImagePtr image;
    bool codeStream = false;
    int resolutions = 0;

    bool open(const unsigned char* data, size_t size)
    {
        if (!data)
            return false;
        if (size >= sizeof kJp2Signature && std::memcmp(data, kJp2Signature, sizeof kJp2Signature) == 0)
            codeStream = false;
        else if (size >= sizeof kJ2kSignature && std::memcmp(data, kJ2kSignature, sizeof kJ2kSignature) == 0)
            codeStream = true;
        else
            return false;

        codec.reset(opj_create_decompress(codeStream ? OPJ_CODEC_J2K : OPJ_CODEC_JP2));
        if (!codec)
            return false;
        opj_set_info_handler(codec.get(), quiet, nullptr);
        opj_set_warning_handler(codec.get(), quiet, nullptr);
        opj_set_error_handler(codec.get(), quiet, nullptr);
        opj_dparameters_t parameters;
        opj_set_default_decoder_parameters(&parameters);
        if (!opj_setup_decoder(codec.get(), &parameters))
            return false;

        source = {data, size, 0};
        stream.reset(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
        if (!stream)
            return false;
        opj_stream_set_user_data(stream.get(), &source, nullptr);
        opj_stream_set_user_data_length(stream.get(), size);
        opj_stream_set_read_function(stream.get(), readMemory);
        opj_stream_set_skip_function(stream.get(), skipMemory);
        opj_stream_set_seek_function(stream.get(), seekMemory);

        opj_image_t* header = nullptr;
        const bool read = opj_read_header(stream.get(), codec.get(), &header);
        image.reset(header);
        if (!read || !image)
            return false;
        if (image->numcomps < 1 || image->numcomps > kMaxComponents || !image->comps)
            return false;
        if (image->x1 <= image->x0 || image->y1 <= image->y0)
            return false;
        if (uint64_t(image->x1 - image->x0) * uint64_t(image->y1 - image->y0) > kMaxImagePixels)
            return false;

        opj_codestream_info_v2_t* info = opj_get_cstr_info(codec.get());
        if (!info)
            return false;
        resolutions = 0;
        if (info->m_default_tile_info.tccp_info) {
            for (OPJ_UINT32 c = 0; c < info->nbcomps; ++c) {
                const int levels = int(info->m_default_tile_info.tccp_info[c].numresolutions);
                resolutions = c == 0 ? levels : std::min(resolutions, levels);
            }
        }
        opj_destroy_cstr_info(&info);
        return resolutions >= 1;
    }
};

uint32_t ceilShift(uint32_t value, int factor)
{
    return uint32_t((uint64_t(value) + (uint64_t(1) << factor) - 1) >> factor);
}

// Image size on the reference grid when factor resolution levels are dropped.
void reducedSize(const opj_image_t& image, int factor, uint32_t* width, uint32_t* height)
{
    *width = ceilShift(image.x1, factor) - ceilShift(image.x0, factor);
    *height = ceilShift(image.y1, factor) - ceilShift(image.y0, factor);
}

// 0 x 0 asks for the full size.
int chooseFactor(const opj_image_t& image, int resolutions, int minWidth, int minHeight)
{
    int chosen = 0;
    if (minWidth <= 0 && minHeight <= 0)
        return chosen;
    for (int factor = 1; factor < resolutions; ++factor) {
        uint32_t w = 0, h = 0;
        reducedSize(image, factor, &w, &h);
        if (int64_t(w) < minWidth || int64_t(h) < minHeight || w == 0 || h == 0)
            break;
        chosen = factor;
    }
    return chosen;
}

// One decoded component mapped onto the output grid (nearest neighbour for
// subsampled components), its samples scaled to 0..255.
class Plane {
public:
    Plane(const opj_image_comp_t& comp, int outWidth, int outHeight) : m_comp(comp)
    {
        m_columns.resize(size_t(outWidth));
        for (int x = 0; x < outWidth; ++x)
            m_columns[size_t(x)] = int(int64_t(x) * comp.w / outWidth);
        m_rows.resize(size_t(outHeight));
        for (int y = 0; y < outHeight; ++y)
            m_rows[size_t(y)] = int(int64_t(y) * comp.h / outHeight);
        m_max = (int64_t(1) << comp.prec) - 1;
        m_offset = comp.sgnd ? int64_t(1) << (comp.prec - 1) : 0;
    }

    int at(int x, int y) const
    {
        const int64_t raw = m_comp.data[size_t(m_rows[size_t(y)]) * m_comp.w + size_t(m_columns[size_t(x)])];
        const int64_t v = std::clamp<int64_t>(raw + m_offset, 0, m_max);
        return int((v * 255 + m_max / 2) / m_max);
    }

private:
    const opj_image_comp_t& m_comp;
    std::vector<int> m_columns;
    std::vector<int> m_rows;
    int64_t m_max = 1;
    int64_t m_offset = 0;
};

uchar clampByte(double v) { return uchar(std::clamp(v + 0.5, 0.0, 255.0)); }

int overWhite(int value, int alpha) { return (value * alpha + 255 * (255 - alpha) + 127) / 255; }

// The output has the size of the (reduced) reference grid, whatever the
// subsampling of the components.
QImage convert(const opj_image_t& image, uint32_t outWidth, uint32_t outHeight)
{
    const int count = int(image.numcomps);
    for (int c = 0; c < count; ++c) {
        const opj_image_comp_t& comp = image.comps[c];
        if (!comp.data || comp.w == 0 || comp.h == 0 || comp.prec < 1 || comp.prec > 31)
            return {};
    }
    if (outWidth == 0 || outHeight == 0 || uint64_t(outWidth) * outHeight > kMaxImagePixels)
        return {};
    const int width = int(outWidth), height = int(outHeight);

    std::vector<Plane> planes;
    planes.reserve(size_t(count));
    for (int c = 0; c < count; ++c)
        planes.emplace_back(image.comps[c], width, height);

    const bool grey = count < 3;
    const bool hasAlpha = count == 2 || count == 4;
    const bool ycc = !grey && image.color_space == OPJ_CLRSPC_SYCC;
    QImage out(width, height, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (out.isNull())
        return {};
    for (int y = 0; y < height; ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int alpha = hasAlpha ? planes[size_t(count - 1)].at(x, y) : 255;
            if (grey) {
                line[x] = uchar(overWhite(planes[0].at(x, y), alpha));
                continue;
            }
            int r = planes[0].at(x, y), g = planes[1].at(x, y), b = planes[2].at(x, y);
            if (ycc) {
                const double luma = r, cb = g - 128.0, cr = b - 128.0;
                r = clampByte(luma + 1.402 * cr);
                g = clampByte(luma - 0.344136 * cb - 0.714136 * cr);
                b = clampByte(luma + 1.772 * cb);
            }
            line[3 * x] = uchar(overWhite(r, alpha));
            line[3 * x + 1] = uchar(overWhite(g, alpha));
            line[3 * x + 2] = uchar(overWhite(b, alpha));
        }
    }
    return out;
}

QImage decodeAt(const unsigned char* data, size_t size, int minWidth, int minHeight, bool fullSize)
{
    Session session;
    if (!session.open(data, size))
        return {};
    const int factor = fullSize ? 0 : chooseFactor(*session.image, session.resolutions, minWidth, minHeight);
    if (factor > 0 && !opj_set_decoded_resolution_factor(session.codec.get(), OPJ_UINT32(factor)))
        return {};
    uint32_t w = 0, h = 0;
    reducedSize(*session.image, factor, &w, &h);
    if (uint64_t(w) * h * session.image->numcomps > kMaxImagePixels * 2)
        return {};
    if (!opj_decode(session.codec.get(), session.stream.get(), session.image.get())
        || !opj_end_decompress(session.codec.get(), session.stream.get()))
        return {};
    return convert(*session.image, w, h);
}

}  // namespace

bool Jpeg2000Probe(const unsigned char* data, size_t size, Jpeg2000Info* info)
{
    Session session;
    if (!session.open(data, size))
        return false;
    if (info) {
        info->codeStream = session.codeStream;
        info->width = int(session.image->x1 - session.image->x0);
        info->height = int(session.image->y1 - session.image->y0);
        info->components = int(session.image->numcomps);
        info->resolutions = session.resolutions;
    }
    return true;
}

QImage Jpeg2000Decode(const unsigned char* data, size_t size, int minWidth, int minHeight)
{
    QImage image = decodeAt(data, size, minWidth, minHeight, false);
    // A tile may hold fewer resolution levels than the main header promises,
    // which makes a reduced decode fail: the full size still works then.
    if (image.isNull() && (minWidth > 0 || minHeight > 0))
        image = decodeAt(data, size, 0, 0, true);
    return image;
}
