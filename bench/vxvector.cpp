// Figures of the rarer formats through the image library's modules: a WMF
// and an EMF drawn by the metafile helper program at their natural size (a
// process per picture), and FlashPix samples loaded whole and at a reduced
// level.
#include "GlobalMemory.h"
#include "Modules.h"
#include "VxApi.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QString>

#include <string>

#ifndef PICTAL_SOURCE_DIR
#error "PICTAL_SOURCE_DIR names the source tree"
#endif

namespace {

struct Library {
    HMODULE file = LoadLibraryA("Vx7File.DLL");
    HMODULE com = LoadLibraryA("Vx7Com.DLL");
    HMODULE vect = LoadLibraryA("Vx7VectCom.DLL");
    TVXFileLoad fileLoad = reinterpret_cast<TVXFileLoad>(GetProcAddress(file, "VXFileLoad"));
    TVXFreeMemory freeMemory = reinterpret_cast<TVXFreeMemory>(GetProcAddress(com, "VXFreeMemory"));
    TVXVectorToRaster toRaster = reinterpret_cast<TVXVectorToRaster>(GetProcAddress(vect, "VXVectorToRaster"));
    bool complete() const { return fileLoad && freeMemory && toRaster; }
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
