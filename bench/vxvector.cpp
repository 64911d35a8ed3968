// Figures of the rarer formats through the image library's modules: a WMF
// and an EMF drawn by the metafile helper program at their natural size (a
// process per picture); EMFs with a large frame (8192 x 8192 pixels) loaded
// the way the slide viewer loads them, for an 800 x 600 area and with no area
// (drawn at the natural size, then shrunk); and FlashPix samples loaded whole
// and at a reduced level.
#include "GlobalMemory.h"
#include "MetafileWriter.h"
#include "Modules.h"
#include "VxApi.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#ifndef PICTAL_SOURCE_DIR
#error "PICTAL_SOURCE_DIR names the source tree"
#endif

namespace {

struct Library {
    HMODULE file = LoadLibraryA("Vx7File.DLL");
    HMODULE com = LoadLibraryA("Vx7Com.DLL");
    HMODULE vect = LoadLibraryA("Vx7VectCom.DLL");
    HMODULE effect = LoadLibraryA("Vx7Effect.DLL");
    TVXFileLoad fileLoad = reinterpret_cast<TVXFileLoad>(GetProcAddress(file, "VXFileLoad"));
    TVXFreeMemory freeMemory = reinterpret_cast<TVXFreeMemory>(GetProcAddress(com, "VXFreeMemory"));
    TVXVectorToRaster toRaster = reinterpret_cast<TVXVectorToRaster>(GetProcAddress(vect, "VXVectorToRaster"));
    TVXResizeEx resize = reinterpret_cast<TVXResizeEx>(GetProcAddress(effect, "VXResizeEx"));
    bool complete() const { return fileLoad && freeMemory && toRaster && resize; }
};

Library& library()
{
    static Library modules;
    return modules;
}

std::string sample(const char* name)
{
    return std::string(PICTAL_SOURCE_DIR) + "/tests/data/" + name;
}

void DrawMetafile(benchmark::State& state, const char* name)
{
    Library& lib = library();
    if (!lib.complete()) {
        state.SkipWithError("modules not found");
        return;
    }
    const std::string path = sample(name);
    for (auto _ : state) {
        VXHANDLE vector = lib.fileLoad(path.c_str(), 0, 0, 0, 0, 0, 0, 0);
        VXHANDLE raster = vector ? lib.toRaster(vector, 24, -1, 255, 255, 255) : nullptr;
        if (!raster) {
            state.SkipWithError("not drawn");
            break;
        }
        lib.freeMemory(raster);
        lib.freeMemory(vector);
    }
}
BENCHMARK_CAPTURE(DrawMetafile, clock_wmf, "wmf/clock.wmf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawMetafile, wizard_wmf, "wmf/wizard.wmf")->Unit(benchmark::kMillisecond);

// An EMF framed 8192 x 8192 pixels (the largest natural size) with `shapes`
// ellipses and boxes of 200 to 3200 pixels spread over it (60 bytes each),
// written once per count.
const std::string& largeFrameEmf(int shapes)
{
    static QTemporaryDir folder;
    static std::map<int, std::string> written;
    auto found = written.find(shapes);
    if (found != written.end())
        return found->second;
    const int width = 8192, height = 8192;
    std::vector<testmetafiles::EmfShape> list;
    for (int i = 0; i < shapes; ++i) {
        const int side = 200 + (i * 331) % 3000;
        const int x = (i * 7919) % (width - side), y = (i * 104729) % (height - side);
        list.push_back({i % 2 ? testmetafiles::EmfShape::Ellipse : testmetafiles::EmfShape::Rectangle, x, y,
                        x + side, y + side * 3 / 4, qRgb((i * 50) % 256, (i * 90) % 256, (i * 130) % 256)});
    }
    const std::string path = folder.path().toStdString() + "/frame" + std::to_string(shapes) + ".emf";
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::WriteOnly))
        file.write(testmetafiles::emfWith(width, height, list));
    return written.emplace(shapes, path).first->second;
}

// As the slide viewer loads a vector picture for an 800 x 600 area: the load
// (given the area, or none), the raster on the background, and the resize to
// the fitted size.
void ViewerLoadLargeFrame(benchmark::State& state, int shapes, bool withArea)
{
    Library& lib = library();
    if (!lib.complete()) {
        state.SkipWithError("modules not found");
        return;
    }
    const std::string& path = largeFrameEmf(shapes);
    state.counters["KB"] = double(QFile(QString::fromStdString(path)).size()) / 1024.0;
    for (auto _ : state) {
        VXHANDLE vector = withArea ? lib.fileLoad(path.c_str(), 0, 800, 600, 0, 0, 0, 0)
                                   : lib.fileLoad(path.c_str(), 0, 0, 0, 0, 0, 0, 0);
        VXHANDLE raster = vector ? lib.toRaster(vector, 24, -1, 255, 255, 255) : nullptr;
        if (vector)
            lib.freeMemory(vector);
        if (!raster) {
            state.SkipWithError("not drawn");
            break;
        }
        VXHANDLE pair[2] = {raster, nullptr};
        VXHANDLE out = nullptr;
        lib.resize(pair, &out, 800, 600, -1, 0, 0, 0, 0);
        for (VXHANDLE left : pair)
            if (left)
                lib.freeMemory(left);
        if (!out) {
            state.SkipWithError("not resized");
            break;
        }
        lib.freeMemory(out);
    }
}
BENCHMARK_CAPTURE(ViewerLoadLargeFrame, emf_7kb_area, 115, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ViewerLoadLargeFrame, emf_7kb_natural, 115, false)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(ViewerLoadLargeFrame, emf_480kb_area, 8000, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ViewerLoadLargeFrame, emf_480kb_natural, 8000, false)->Unit(benchmark::kMillisecond)->Iterations(1);

void LoadFlashPix(benchmark::State& state, const char* name, int cover)
{
    Library& lib = library();
    if (!lib.complete()) {
        state.SkipWithError("modules not found");
        return;
    }
    const std::string path = sample(name);
    for (auto _ : state) {
        VXHANDLE raster = lib.fileLoad(path.c_str(), 0, cover, cover, 0, 0, 0, 0);
        if (!raster) {
            state.SkipWithError("not loaded");
            break;
        }
        lib.freeMemory(raster);
    }
}
BENCHMARK_CAPTURE(LoadFlashPix, truecolor_full, "fpx/input_truecolor.fpx", 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LoadFlashPix, truecolor_reduced, "fpx/input_truecolor.fpx", 30)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LoadFlashPix, jpeg_full, "fpx/input_jpeg.fpx", 0)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
