#include "Jpeg2000Decoder.h"

#include <gtest/gtest.h>
#include <openjpeg.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct Component {
    int dx = 1;
    int dy = 1;
    int precision = 8;
    bool isSigned = false;
    std::vector<int> samples;  // ceil(width / dx) x ceil(height / dy), row-major
};

// Growing in-memory output for the encoder (the JP2 writer seeks back to
// patch box lengths).
struct Sink {
    Bytes bytes;
    size_t pos = 0;
};

OPJ_SIZE_T sinkWrite(void* buffer, OPJ_SIZE_T n, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    if (sink->bytes.size() < sink->pos + n)
        sink->bytes.resize(sink->pos + n);
    std::memcpy(sink->bytes.data() + sink->pos, buffer, n);
    sink->pos += n;
    return n;
}

OPJ_OFF_T sinkSkip(OPJ_OFF_T n, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    sink->pos = size_t(OPJ_OFF_T(sink->pos) + n);
    if (sink->bytes.size() < sink->pos)
        sink->bytes.resize(sink->pos);
    return n;
}

OPJ_BOOL sinkSeek(OPJ_OFF_T pos, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    sink->pos = size_t(pos);
    if (sink->bytes.size() < sink->pos)
        sink->bytes.resize(sink->pos);
    return OPJ_TRUE;
}

// Lossless (reversible 5-3 wavelet, one layer) encoding with OpenJPEG.
Bytes encode(OPJ_CODEC_FORMAT format, int width, int height, const std::vector<Component>& components,
             OPJ_COLOR_SPACE colourSpace, int resolutions)
{
    std::vector<opj_image_cmptparm_t> parms(components.size());
    bool subsampled = false;
    for (size_t i = 0; i < components.size(); ++i) {
        std::memset(&parms[i], 0, sizeof parms[i]);
        parms[i].dx = OPJ_UINT32(components[i].dx);
        parms[i].dy = OPJ_UINT32(components[i].dy);
        parms[i].w = OPJ_UINT32((width + components[i].dx - 1) / components[i].dx);
        parms[i].h = OPJ_UINT32((height + components[i].dy - 1) / components[i].dy);
        parms[i].prec = OPJ_UINT32(components[i].precision);
        parms[i].sgnd = components[i].isSigned;
        subsampled = subsampled || components[i].dx > 1 || components[i].dy > 1;
    }
    std::unique_ptr<opj_image_t, void (*)(opj_image_t*)> image(
        opj_image_create(OPJ_UINT32(parms.size()), parms.data(), colourSpace), opj_image_destroy);
    if (!image)
        return {};
    image->x0 = 0;
    image->y0 = 0;
    image->x1 = OPJ_UINT32(width);
    image->y1 = OPJ_UINT32(height);
    for (size_t i = 0; i < components.size(); ++i)
        for (size_t k = 0; k < components[i].samples.size(); ++k)
            image->comps[i].data[k] = components[i].samples[k];

    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.numresolution = resolutions;
    parameters.tcp_numlayers = 1;
    parameters.tcp_rates[0] = 0;
    parameters.cp_disto_alloc = 1;
    parameters.tcp_mct = components.size() == 3 && !subsampled ? 1 : 0;

    std::unique_ptr<opj_codec_t, void (*)(opj_codec_t*)> codec(opj_create_compress(format), opj_destroy_codec);
    Sink sink;
    std::unique_ptr<opj_stream_t, void (*)(opj_stream_t*)> stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE),
                                                                  opj_stream_destroy);
    if (!codec || !stream || !opj_setup_encoder(codec.get(), &parameters, image.get()))
        return {};
    opj_stream_set_user_data(stream.get(), &sink, nullptr);
    opj_stream_set_write_function(stream.get(), sinkWrite);
    opj_stream_set_skip_function(stream.get(), sinkSkip);
    opj_stream_set_seek_function(stream.get(), sinkSeek);
    if (!opj_start_compress(codec.get(), image.get(), stream.get()) || !opj_encode(codec.get(), stream.get())
        || !opj_end_compress(codec.get(), stream.get()))
        return {};
    return sink.bytes;
}

std::vector<int> pattern(int w, int h, int maxValue, int seed)
{
    std::vector<int> v;
    uint32_t state = uint32_t(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            v.push_back(int((uint32_t(x * 7 + y * 3) + (state >> 24)) % uint32_t(maxValue + 1)));
        }
    return v;
}

QImage decode(const Bytes& bytes, int minWidth = 0, int minHeight = 0)
{
    return Jpeg2000Decode(bytes.data(), bytes.size(), minWidth, minHeight);
}

// A 64 x 48 RGB image, red on the left half and blue on the right.
Bytes halvesImage(OPJ_CODEC_FORMAT format)
{
    Component r, g, b;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            r.samples.push_back(x < 32 ? 200 : 10);
            g.samples.push_back(40);
            b.samples.push_back(x < 32 ? 20 : 220);
        }
    return encode(format, 64, 48, {r, g, b}, OPJ_CLRSPC_SRGB, 4);
}

}  // namespace

TEST(Jpeg2000Decoder, LosslessGreyAndRgbDecodeExactly)
{
    for (OPJ_CODEC_FORMAT format : {OPJ_CODEC_JP2, OPJ_CODEC_J2K}) {
        SCOPED_TRACE(format == OPJ_CODEC_JP2 ? "JP2" : "J2K");
        const int w = 37, h = 29;
        Component grey;
        grey.samples = pattern(w, h, 255, 1);
        const Bytes greyFile = encode(format, w, h, {grey}, OPJ_CLRSPC_GRAY, 3);
        ASSERT_FALSE(greyFile.empty());
        const QImage g = decode(greyFile);
        ASSERT_FALSE(g.isNull());
        ASSERT_EQ(g.format(), QImage::Format_Grayscale8);
        ASSERT_EQ(g.size(), QSize(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(g.constScanLine(y)[x], grey.samples[size_t(y * w + x)]) << x << "," << y;

        Component r, gr, b;
        r.samples = pattern(w, h, 255, 2);
        gr.samples = pattern(w, h, 255, 3);
        b.samples = pattern(w, h, 255, 4);
        const Bytes rgbFile = encode(format, w, h, {r, gr, b}, OPJ_CLRSPC_SRGB, 3);
        ASSERT_FALSE(rgbFile.empty());
        const QImage c = decode(rgbFile);
        ASSERT_FALSE(c.isNull());
        ASSERT_EQ(c.size(), QSize(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t i = size_t(y * w + x);
                ASSERT_EQ(c.pixel(x, y), qRgb(r.samples[i], gr.samples[i], b.samples[i])) << x << "," << y;
            }
    }
}

TEST(Jpeg2000Decoder, OtherPrecisionsAndSignedSamplesScaleToEightBits)
{
    const int w = 19, h = 13;
    Component deep;
    deep.precision = 16;
    deep.samples = pattern(w, h, 65535, 5);
    for (size_t i = 0; i < 10; ++i)
        deep.samples[i] = int(i % 2 ? 65535 : 0);  // the extremes map to 0 and 255
    const QImage g16 = decode(encode(OPJ_CODEC_J2K, w, h, {deep}, OPJ_CLRSPC_GRAY, 2));
    ASSERT_FALSE(g16.isNull());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = deep.samples[size_t(y * w + x)];
            ASSERT_EQ(g16.constScanLine(y)[x], (v * 255 + 32767) / 65535) << x << "," << y;
        }
    EXPECT_EQ(g16.constScanLine(0)[0], 0);
    EXPECT_EQ(g16.constScanLine(0)[1], 255);

    Component low;  // 4-bit samples stretch to the full range
    low.precision = 4;
    low.samples = pattern(w, h, 15, 6);
    const QImage g4 = decode(encode(OPJ_CODEC_JP2, w, h, {low}, OPJ_CLRSPC_GRAY, 2));
    ASSERT_FALSE(g4.isNull());
    for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(g4.constScanLine(i / w)[i % w], low.samples[size_t(i)] * 17) << i;

    Component sgn;  // signed: -128 is black, 127 white
    sgn.isSigned = true;
    sgn.samples = pattern(w, h, 255, 7);
    for (int& v : sgn.samples)
        v -= 128;
    const QImage gs = decode(encode(OPJ_CODEC_J2K, w, h, {sgn}, OPJ_CLRSPC_GRAY, 2));
    ASSERT_FALSE(gs.isNull());
    for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(gs.constScanLine(i / w)[i % w], sgn.samples[size_t(i)] + 128) << i;
}

TEST(Jpeg2000Decoder, SubsampledComponentsAreUpsampledAndYccConverted)
{
    const int w = 15, h = 11;  // odd: the subsampled planes are 8 x 6
    Component y, cb, cr;
    y.samples = pattern(w, h, 255, 8);
    cb.dx = cb.dy = cr.dx = cr.dy = 2;
    cb.samples = pattern(8, 6, 255, 9);
    cr.samples = pattern(8, 6, 255, 10);
    const QImage plain = decode(encode(OPJ_CODEC_JP2, w, h, {y, cb, cr}, OPJ_CLRSPC_SRGB, 2));
    ASSERT_FALSE(plain.isNull());
    ASSERT_EQ(plain.size(), QSize(w, h));
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            const size_t sub = size_t((py / 2) * 8 + px / 2);
            ASSERT_EQ(plain.pixel(px, py), qRgb(y.samples[size_t(py * w + px)], cb.samples[sub], cr.samples[sub]))
                << px << "," << py;
        }

    // A single subsampled plane still fills the whole image grid.
    const QImage coarse = decode(encode(OPJ_CODEC_J2K, w, h, {cb}, OPJ_CLRSPC_GRAY, 2));
    ASSERT_FALSE(coarse.isNull());
    ASSERT_EQ(coarse.size(), QSize(w, h));
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px)
            ASSERT_EQ(coarse.constScanLine(py)[px], cb.samples[size_t((py / 2) * 8 + px / 2)]) << px << "," << py;

    // The same planes as YCbCr: a neutral pixel stays grey, a red-shifted one
    // turns red (values by the usual full-range conversion).
    for (int i = 0; i < 48; ++i) {
        cb.samples[size_t(i)] = 128;
        cr.samples[size_t(i)] = i < 24 ? 128 : 200;
    }
    for (int& v : y.samples)
        v = 100;
    const QImage ycc = decode(encode(OPJ_CODEC_JP2, w, h, {y, cb, cr}, OPJ_CLRSPC_SYCC, 2));
    ASSERT_FALSE(ycc.isNull());
    EXPECT_EQ(ycc.pixel(0, 0), qRgb(100, 100, 100));
    EXPECT_EQ(ycc.pixel(0, 10), qRgb(201, 49, 100));
}

TEST(Jpeg2000Decoder, AlphaIsComposedOverWhite)
{
    const int w = 4, h = 1;
    Component r, g, b, a;
    r.samples = {255, 0, 0, 100};
    g.samples = {0, 255, 0, 100};
    b.samples = {0, 0, 255, 100};
    a.samples = {255, 0, 128, 255};
    const QImage image = decode(encode(OPJ_CODEC_J2K, w, h, {r, g, b, a}, OPJ_CLRSPC_SRGB, 1));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(2, 0), qRgb(127, 127, 255));
    EXPECT_EQ(image.pixel(3, 0), qRgb(100, 100, 100));
}

TEST(Jpeg2000Decoder, ReducesResolutionOnlyAsFarAsTheMinimumSizeAllows)
{
    for (OPJ_CODEC_FORMAT format : {OPJ_CODEC_JP2, OPJ_CODEC_J2K}) {
        SCOPED_TRACE(format == OPJ_CODEC_JP2 ? "JP2" : "J2K");
        const Bytes file = halvesImage(format);
        ASSERT_FALSE(file.empty());
        Jpeg2000Info info;
        ASSERT_TRUE(Jpeg2000Probe(file.data(), file.size(), &info));
        EXPECT_EQ(info.codeStream, format == OPJ_CODEC_J2K);
        EXPECT_EQ(info.width, 64);
        EXPECT_EQ(info.height, 48);
        EXPECT_EQ(info.components, 3);
        EXPECT_EQ(info.resolutions, 4);

        struct Case {
            int minWidth, minHeight;
            QSize expected;
        };
        for (const Case& c : {Case{0, 0, {64, 48}}, Case{64, 48, {64, 48}}, Case{33, 10, {64, 48}},
                              Case{32, 24, {32, 24}}, Case{20, 13, {32, 24}}, Case{16, 12, {16, 12}},
                              Case{1, 1, {8, 6}}, Case{100, 100, {64, 48}}}) {
            SCOPED_TRACE(testing::Message() << c.minWidth << "x" << c.minHeight);
            const QImage image = decode(file, c.minWidth, c.minHeight);
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), c.expected);
            // The reduced picture is still the picture.
            EXPECT_EQ(image.pixel(1, image.height() / 2), qRgb(200, 40, 20));
            EXPECT_EQ(image.pixel(image.width() - 2, image.height() / 2), qRgb(10, 40, 220));
        }
    }
}

TEST(Jpeg2000Decoder, TruncatedAndCorruptStreamsAreRefused)
{
    for (OPJ_CODEC_FORMAT format : {OPJ_CODEC_JP2, OPJ_CODEC_J2K}) {
        SCOPED_TRACE(format == OPJ_CODEC_JP2 ? "JP2" : "J2K");
        Component grey;
        grey.samples = pattern(40, 30, 255, 11);
        const Bytes file = encode(format, 40, 30, {grey}, OPJ_CLRSPC_GRAY, 3);
        ASSERT_FALSE(file.empty());
        ASSERT_FALSE(decode(file).isNull());
        for (size_t n : {size_t(0), size_t(4), size_t(12), size_t(60), file.size() / 2, file.size() - 3}) {
            SCOPED_TRACE(n);
            const Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(n));
            EXPECT_TRUE(decode(cut).isNull());
            EXPECT_TRUE(decode(cut, 10, 10).isNull());
        }
        // Damage anywhere must not crash (the sanitizers watch), and the probe
        // and the decoder agree: what the probe refuses does not decode, and
        // what decodes has the size the probe announced.
        for (size_t i = 0; i < file.size(); i += 7) {
            SCOPED_TRACE(i);
            Bytes bad = file;
            bad[i] ^= 0x5A;
            Jpeg2000Info info;
            const bool probed = Jpeg2000Probe(bad.data(), bad.size(), &info);
            const QImage image = decode(bad);
            if (!probed) {
                EXPECT_TRUE(image.isNull());
            } else if (!image.isNull()) {
                EXPECT_EQ(image.size(), QSize(info.width, info.height));
            }
            decode(bad, 5, 5);
        }
        Bytes badSignature = file;
        badSignature[format == OPJ_CODEC_JP2 ? 5 : 1] ^= 1;
        EXPECT_FALSE(Jpeg2000Probe(badSignature.data(), badSignature.size(), nullptr));
        EXPECT_TRUE(decode(badSignature).isNull());
    }
    EXPECT_TRUE(Jpeg2000Decode(nullptr, 0, 0, 0).isNull());
}
