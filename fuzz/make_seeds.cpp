// Writes small valid PCX and JPEG 2000 files to start the fuzzers from:
//   make_seeds <pcx folder> <jp2 folder>
#include <openjpeg.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

bool save(const std::string& path, const Bytes& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

Bytes pcx(int bpp, int planes, int width, int height, bool tailPalette)
{
    const int bpl = ((width * bpp + 7) / 8 + 1) & ~1;
    Bytes out(128, 0);
    out[0] = 0x0A;
    out[1] = 5;
    out[2] = 1;
    out[3] = uint8_t(bpp);
    out[8] = uint8_t(width - 1);
    out[10] = uint8_t(height - 1);
    for (int i = 0; i < 48; ++i)
        out[16 + size_t(i)] = uint8_t(i * 5);
    out[65] = uint8_t(planes);
    out[66] = uint8_t(bpl);
    for (int i = 0; i < height * planes * bpl; ++i) {
        const uint8_t value = uint8_t(i / 5 * 37);
        if (i % 5 == 0) {  // a run of five, then nothing: runs cross line ends
            out.push_back(0xC5);
            out.push_back(value);
        }
    }
    if (tailPalette) {
        out.push_back(0x0C);
        for (int i = 0; i < 768; ++i)
            out.push_back(uint8_t(i));
    }
    return out;
}

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

Bytes jpeg2000(OPJ_CODEC_FORMAT format, int components, int subsampling, int precision, int irreversible)
{
    const int width = 24, height = 17;
    std::vector<opj_image_cmptparm_t> parms(static_cast<size_t>(components));
    for (int c = 0; c < components; ++c) {
        opj_image_cmptparm_t& p = parms[size_t(c)];
        std::memset(&p, 0, sizeof p);
        p.dx = p.dy = OPJ_UINT32(c == 0 ? 1 : subsampling);
        p.w = OPJ_UINT32((width + int(p.dx) - 1) / int(p.dx));
        p.h = OPJ_UINT32((height + int(p.dy) - 1) / int(p.dy));
        p.prec = OPJ_UINT32(precision);
    }
    opj_image_t* image = opj_image_create(OPJ_UINT32(components), parms.data(),
                                          components == 1 ? OPJ_CLRSPC_GRAY
                                                          : (subsampling > 1 ? OPJ_CLRSPC_SYCC : OPJ_CLRSPC_SRGB));
    if (!image)
        return {};
    image->x1 = OPJ_UINT32(width);
    image->y1 = OPJ_UINT32(height);
    for (int c = 0; c < components; ++c)
        for (OPJ_UINT32 i = 0; i < image->comps[c].w * image->comps[c].h; ++i)
            image->comps[c].data[i] = int((i * 13 + OPJ_UINT32(c) * 50) % (1u << precision));

    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.numresolution = 3;
    parameters.irreversible = irreversible;
    parameters.tcp_numlayers = 1;
    parameters.tcp_rates[0] = irreversible ? 20 : 0;
    parameters.cp_disto_alloc = 1;
    Sink sink;
    opj_codec_t* codec = opj_create_compress(format);
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE);
    opj_stream_set_user_data(stream, &sink, nullptr);
    opj_stream_set_write_function(stream, sinkWrite);
    opj_stream_set_skip_function(stream, sinkSkip);
    opj_stream_set_seek_function(stream, sinkSeek);
    const bool ok = opj_setup_encoder(codec, &parameters, image) && opj_start_compress(codec, image, stream)
        && opj_encode(codec, stream) && opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    return ok ? sink.bytes : Bytes{};
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <pcx folder> <jp2 folder>\n", argv[0]);
        return 2;
    }
    const std::string pcxDir = argv[1], jp2Dir = argv[2];
    bool ok = save(pcxDir + "/mono.pcx", pcx(1, 1, 13, 5, false)) && save(pcxDir + "/ega.pcx", pcx(1, 4, 11, 4, false))
        && save(pcxDir + "/cga.pcx", pcx(2, 1, 7, 3, false)) && save(pcxDir + "/nibble.pcx", pcx(4, 1, 9, 4, false))
        && save(pcxDir + "/vga.pcx", pcx(8, 1, 6, 4, true)) && save(pcxDir + "/grey.pcx", pcx(8, 1, 6, 4, false))
        && save(pcxDir + "/rgb.pcx", pcx(8, 3, 5, 3, false)) && save(pcxDir + "/rgba.pcx", pcx(8, 4, 5, 3, false));
    ok = ok && save(jp2Dir + "/grey.jp2", jpeg2000(OPJ_CODEC_JP2, 1, 1, 8, 0))
        && save(jp2Dir + "/rgb.j2k", jpeg2000(OPJ_CODEC_J2K, 3, 1, 8, 0))
        && save(jp2Dir + "/ycc.jp2", jpeg2000(OPJ_CODEC_JP2, 3, 2, 8, 0))
        && save(jp2Dir + "/deep.j2k", jpeg2000(OPJ_CODEC_J2K, 1, 1, 12, 1))
        && save(jp2Dir + "/rgba.jp2", jpeg2000(OPJ_CODEC_JP2, 4, 1, 8, 1));
    if (!ok)
        std::fprintf(stderr, "could not write the seeds\n");
    return ok ? 0 : 1;
}
