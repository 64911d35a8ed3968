// Choice of libraries (checked on the ImageMagick sample WMFs and the
// libemf2svg sample EMFs, comparing the bitmaps by eye):
// - WMF: libwmf's gd device draws fills, pens, hatches, bitmaps and text
//   faithfully; libwmf's SVG device drops fills and colours, so it is not
//   used. The gd device writes into its own image, which it only hands out
//   as a PNG stream (the raw image it can leave behind cannot be freed
//   through the library's interface), so the picture travels as PNG bytes
//   in memory and Qt decodes them.
// - EMF: libemf2svg turns the records into an SVG document that Qt SVG
//   draws with antialiasing; it is the maintained EMF converter packaged for
//   Debian, and libwmf does not read EMF.
#include "MetafileRender.h"

#include "ImageReaderLimit.h"

#include "LittleEndian.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <vector>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>

namespace {

bool renderSizeOk(int width, int height)
{
    return width >= 1 && height >= 1 && width <= kMaxMetafileSide && height <= kMaxMetafileSide
           && (long long)width * height <= kMaxMetafilePixels;
}

bool fileExists(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// ---------------------------------------------------------------- WMF

// libwmf maps every WMF font to one of the 13 standard PostScript fonts and
// loads it from its default folder (the URW base 35 Type 1 fonts). When
// those are not installed, the DejaVu fonts stand in; without any font
// libwmf refuses metafiles that contain text.
constexpr const char* kUrwFolder = "/usr/share/fonts/type1/urw-base35";
constexpr const char* kUrwProbe = "/usr/share/fonts/type1/urw-base35/NimbusRoman-Regular.t1";
constexpr const char* kDejaVuFolder = "/usr/share/fonts/truetype/dejavu";
constexpr const char* kDejaVuProbe = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct FontSubstitute {
    const char* psName;
    const char* file;
};

constexpr FontSubstitute kDejaVuFonts[] = {
    {"Times-Roman", "DejaVuSerif.ttf"},
    {"Times-Italic", "DejaVuSerif-Italic.ttf"},
    {"Times-Bold", "DejaVuSerif-Bold.ttf"},
    {"Times-BoldItalic", "DejaVuSerif-BoldItalic.ttf"},
    {"Helvetica", "DejaVuSans.ttf"},
    {"Helvetica-Oblique", "DejaVuSans-Oblique.ttf"},
    {"Helvetica-Bold", "DejaVuSans-Bold.ttf"},
    {"Helvetica-BoldOblique", "DejaVuSans-BoldOblique.ttf"},
    {"Courier", "DejaVuSansMono.ttf"},
    {"Courier-Oblique", "DejaVuSansMono-Oblique.ttf"},
    {"Courier-Bold", "DejaVuSansMono-Bold.ttf"},
    {"Courier-BoldOblique", "DejaVuSansMono-BoldOblique.ttf"},
    {"Symbol", "DejaVuSans.ttf"},
};

// The options libwmf is created with. libwmf copies the strings it is given
// (wmf_strdup), so pointing at constant strings is safe.
class WmfOptions {
public:
    WmfOptions()
    {
        m_options.function = wmf_gd_function;
        m_flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (fileExists(kUrwProbe) || !fileExists(kDejaVuProbe))
            return;
        m_folders[0] = const_cast<char*>(kDejaVuFolder);
        m_folders[1] = const_cast<char*>(kUrwFolder);
        m_folders[2] = nullptr;
        size_t i = 0;
        for (const FontSubstitute& font : kDejaVuFonts) {
            m_fonts[i].name = const_cast<char*>(font.psName);
            m_fonts[i].mapping = const_cast<char*>(font.file);
            m_fonts[i].encoding = FT_ENCODING_NONE;
            ++i;
        }
        m_fonts[i] = {};
        m_options.fontdirs = m_folders;
        m_options.font.ps = m_fonts;
        m_flags |= WMF_OPT_FONTDIRS | WMF_OPT_FONTMAP;
    }

    unsigned long flags() const { return m_flags; }
    wmfAPI_Options* options() { return &m_options; }

private:
    wmfAPI_Options m_options{};
    unsigned long m_flags = 0;
    char* m_folders[3] = {};
    wmfMapping m_fonts[std::size(kDejaVuFonts) + 1] = {};
};

struct WmfApiDeleter {
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};
using WmfApiPtr = std::unique_ptr<wmfAPI, WmfApiDeleter>;

// What the device-begin hook needs: the gd device's own begin function and
// the background colour it paints over the gd device's white page.
struct WmfPage {
    void (*deviceBegin)(wmfAPI*) = nullptr;
    wmfRGB background{};
};

void beginWithBackground(wmfAPI* api)
{
    const WmfPage* page = static_cast<const WmfPage*>(api->user_data);
    page->deviceBegin(api);
    if (api->err != wmf_E_None)
        return;
    // A borderless solid rectangle over the whole picture, drawn through the
    // device's own rectangle function.
    wmfBrush brush{};
    brush.lbStyle = BS_SOLID;
    brush.lbColor = page->background;
    wmfPen pen{};
    pen.lopnStyle = PS_NULL;
    wmfDC dc{};
    dc.brush = &brush;
    dc.pen = &pen;
    const wmf_gd_t* device = WMF_GD_GetData(api);
    wmfDrawRectangle_t rect{};
    rect.dc = &dc;
    rect.TL = device->bbox.TL;
    rect.BR = device->bbox.BR;
    static_cast<wmfFunctionReference*>(api->function_reference)->draw_rectangle(api, &rect);
}

int collectPng(void* context, char* buffer, int length)
{
    if (length <= 0)
        return length;
    static_cast<QByteArray*>(context)->append(buffer, length);
    return length;
}

QImage decodePng(const QByteArray& png, int width, int height)
{
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    LiftImageReaderLimit();  // the size was checked before drawing
    const QImage image = reader.read();
    if (image.isNull() || image.width() != width || image.height() != height)
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

bool usableBox(const wmfD_Rect& box)
{
    const float values[] = {box.TL.x, box.TL.y, box.BR.x, box.BR.y};
    for (float v : values)
        if (!std::isfinite(v))
            return false;
    return box.BR.x > box.TL.x && box.BR.y > box.TL.y;
}

// The frame of a placeable metafile in libwmf's device units (points).
bool placeableFrame(const std::vector<unsigned char>& records, wmfD_Rect* frame)
{
    if (records.size() < 22)
        return false;
    const unsigned char* h = records.data();
    if (readU32Le(h) != 0x9AC6CDD7u)
        return false;
    const unsigned inch = readU16Le(h + 14);
    if (inch == 0)
        return false;
    const float scale = 72.0f / float(inch);
    const int left = readS16Le(h + 6), top = readS16Le(h + 8), right = readS16Le(h + 10), bottom = readS16Le(h + 12);
    wmfD_Rect found{};
    found.TL.x = float(std::min(left, right)) * scale;
    found.TL.y = float(std::min(top, bottom)) * scale;
    found.BR.x = float(std::max(left, right)) * scale;
    found.BR.y = float(std::max(top, bottom)) * scale;
    if (!usableBox(found))
        return false;
    *frame = found;
    return true;
}

QImage backgroundOnly(int width, int height, QColor background)
{
    QImage image(width, height, QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(background.rgb());
    return image;
}

QImage renderWmf(std::vector<unsigned char>& records, int width, int height, QColor background)
{
    WmfOptions options;
    wmfAPI* created = nullptr;
    if (wmf_api_create(&created, options.flags(), options.options()) != wmf_E_None) {
        if (created != nullptr)
            wmf_api_destroy(created);
        return {};
    }
    WmfApiPtr api(created);
    wmf_gd_t* device = WMF_GD_GetData(api.get());
    if (device == nullptr || (device->flags & WMF_GD_SUPPORTS_PNG) == 0)
        return {};
    if (wmf_mem_open(api.get(), records.data(), long(records.size())) != wmf_E_None)
        return {};

    wmfD_Rect box{};
    if (wmf_scan(api.get(), 0, &box) != wmf_E_None)
        return {};
    if (!usableBox(box))  // nothing drawn: the gd device cannot scale an empty box
        return backgroundOnly(width, height, background);
    // The picture is the placeable header's frame, not the area the drawing
    // happens to cover: libwmf's device units are points, so the frame is
    // the header's box in its units per inch times 72. A plain metafile has
    // no frame; its drawn area stands in for one.
    wmfD_Rect frame = box;
    if (placeableFrame(records, &frame))
        box = frame;

    QByteArray png;
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink.context = &png;
    device->sink.function = collectPng;
    device->bbox = box;
    device->width = unsigned(width);
    device->height = unsigned(height);

    WmfPage page;
    auto* functions = static_cast<wmfFunctionReference*>(api->function_reference);
    page.deviceBegin = functions->device_begin;
    page.background = {uint8_t(background.red()), uint8_t(background.green()), uint8_t(background.blue())};
    functions->device_begin = beginWithBackground;
    api->user_data = &page;

    const wmf_error_t played = wmf_play(api.get(), 0, &box);
    wmf_mem_close(api.get());
    if (played != wmf_E_None)
        return {};
    return decodePng(png, width, height);
}

// ---------------------------------------------------------------- EMF

// libemf2svg draws in the reference device's pixels, shifted so that the
// header's bounds start at 0,0. The picture is the frame (0.01 mm), which
// the header's device size in pixels and millimetres turn into those
// pixels; false when the header cannot say where the frame lies.
bool emfFrameInSvg(const std::vector<unsigned char>& records, QRectF* frame)
{
    const unsigned char* h = records.data();
    const double boundsLeft = readS32Le(h + 8), boundsTop = readS32Le(h + 12);
    const double frameLeft = readS32Le(h + 24), frameTop = readS32Le(h + 28);
    const double frameRight = readS32Le(h + 32), frameBottom = readS32Le(h + 36);
    const double devicePixelsX = readS32Le(h + 72), devicePixelsY = readS32Le(h + 76);
    const double deviceMmX = readS32Le(h + 80), deviceMmY = readS32Le(h + 84);
    if (devicePixelsX <= 0 || devicePixelsY <= 0 || deviceMmX <= 0 || deviceMmY <= 0)
        return false;
    if (frameRight <= frameLeft || frameBottom <= frameTop)
        return false;
    const double scaleX = devicePixelsX / (deviceMmX * 100.0);
    const double scaleY = devicePixelsY / (deviceMmY * 100.0);
    *frame = QRectF(frameLeft * scaleX - boundsLeft, frameTop * scaleY - boundsTop,
                    (frameRight - frameLeft) * scaleX, (frameBottom - frameTop) * scaleY);
    return std::isfinite(frame->x()) && std::isfinite(frame->y()) && frame->width() > 0
           && frame->height() > 0 && std::isfinite(frame->width()) && std::isfinite(frame->height());
}

void putU32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// libemf2svg copies the header's description string and reads its pixel
// format without checking that they lie inside the header record. Neither
// matters for the picture, so the copy handed to it has none.
void dropEmfHeaderExtras(std::vector<unsigned char>& records)
{
    unsigned char* h = records.data();
    const uint32_t headerSize = uint32_t(h[4]) | uint32_t(h[5]) << 8 | uint32_t(h[6]) << 16 | uint32_t(h[7]) << 24;
    putU32(h + 64, 0);  // nDescription
    putU32(h + 68, 0);  // offDescription
    if (headerSize >= 100) {
        putU32(h + 88, 0);  // cbPixelFormat
        putU32(h + 92, 0);  // offPixelFormat
    }
}

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

QImage renderEmf(std::vector<unsigned char>& records, int width, int height, QColor background)
{
    dropEmfHeaderExtras(records);
    char noNamespace[] = "";
    generatorOptions options{};
    options.nameSpace = noNamespace;  // plain <svg>, <path>... tags
    options.verbose = false;
    // EMF+ records come with EMF fallback records, which are what is drawn;
    // this keeps the converter's EMF+ parser out of the way.
    options.emfplus = false;
    options.svgDelimiter = true;  // a whole document
    options.imgWidth = 0;         // the reference device's own pixels
    options.imgHeight = 0;

    char* out = nullptr;
    size_t outLength = 0;
    const int converted = emf2svg(reinterpret_cast<char*>(records.data()), records.size(), &out, &outLength,
                                  &options);
    std::unique_ptr<char, FreeDeleter> svg(out);
    if (converted != 1 || !svg || outLength == 0 || outLength > size_t(INT32_MAX))
        return {};

    // libemf2svg writes some dashed lines as paths that start with a line-to;
    // SVG requires a move-to first (Qt would draw from the origin).
    QByteArray document(svg.get(), qsizetype(outLength));
    svg.reset();
    document.replace(" d=\"L ", " d=\"M ");
    QSvgRenderer renderer(document);
    if (!renderer.isValid())
        return {};
    QRectF frame;
    if (emfFrameInSvg(records, &frame))
        renderer.setViewBox(frame);

    QImage image = backgroundOnly(width, height, background);
    if (image.isNull())
        return {};
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    return image;
}

}  // namespace

QImage MetafileRender(MetafileKind kind, const unsigned char* data, size_t size, int width, int height,
                      QColor background)
{
    if (!renderSizeOk(width, height) || data == nullptr)
        return {};
    MetafileInfo info;
    if (!MetafileProbe(data, size, &info) || info.kind != kind)
        return {};
    std::vector<unsigned char> records = MetafileWholeRecords(data, size);
    if (records.empty())
        return {};
    background.setAlpha(255);
    switch (kind) {
    case MetafileKind::Wmf: return renderWmf(records, width, height, background);
    case MetafileKind::Emf: return renderEmf(records, width, height, background);
    case MetafileKind::None: break;
    }
    return {};
}
