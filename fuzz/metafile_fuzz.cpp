// libFuzzer entry for the metafile probe and renderer: any input, no crash,
// no read outside the buffer, no oversized allocation. The renderer runs at
// a small size whenever the probe accepts the data; crashes inside libwmf or
// libemf2svg are why production renders in the pictal-metafile process.
#include "MetafileProbe.h"
#include "MetafileRender.h"

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Caches that fontconfig and GLib keep for the life of the process, filled
// the first time Qt SVG lays out text.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\nleak:libglib\nleak:libgobject\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Qt SVG lays out text through the font database.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MetafileInfo info;
    const bool signature = MetafileSignature(data, size);
    if (!MetafileProbe(data, size, &info))
        return 0;
    if (!signature || info.kind == MetafileKind::None)
        __builtin_trap();  // the probe accepted what the signature refused
    if (info.width < 1 || info.height < 1 || info.width > kMaxMetafileSide || info.height > kMaxMetafileSide)
        __builtin_trap();
    const int width = info.width < 48 ? info.width : 48;
    const int height = info.height < 48 ? info.height : 48;
    const QImage image = MetafileRender(info.kind, data, size, width, height, Qt::white);
    if (!image.isNull() && (image.width() != width || image.height() != height || image.format() != QImage::Format_RGB32))
        __builtin_trap();
    return 0;
}
