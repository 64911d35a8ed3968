// Figures of the slide list: collecting a folder of 5000 small images with
// the main window's settings, the first time (every file opened by the image
// library), again as a whole (the library's answers for unchanged files are
// cached), and again after one file was moved (only that name redone).
#include "SlideCollection.h"
#include "Vxdllprocs.h"
#include "Vxinit.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <random>
#include <string>

namespace {

constexpr int kImages = 5000;

QTemporaryDir* g_folder = nullptr;

// Names like a camera's and a scanner's, half JPEG and half PNG.
void writeImages(const std::string& folder)
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(qRgb(90, 140, 200));
    std::mt19937 random(5);
    const char* stems[] = {"IMG_", "img_", "Photo ", "DSC", "scan-"};
    for (int i = 0; i < kImages; ++i) {
        const bool isJpeg = i % 2 == 0;
        const std::string name = std::string(stems[random() % 5]) + std::to_string(i) + "_" +
            std::to_string(random() % 100000) + (isJpeg ? ".jpg" : ".png");
        image.save(QString::fromStdString(folder + "/" + name), isJpeg ? "JPEG" : "PNG");
    }
}

void configure(TVxSlideCollection& list)
{
    list.SetFileReadWay(vxFolder);
    list.SetSort(vxSortFileName);
    list.SetFileExt("bmp;jpg;jpeg;j2k;jp2;gif;tif;tiff;pcx;fpx;png;wmf;emf");
    list.SetFilePath(g_folder->path().toStdString());
}

// A whole collection each time (a new list knows nothing of the folder).
void collect(benchmark::State& state)
{
    int count = 0;
    for (auto _ : state) {
        TVxSlideCollection list;
        configure(list);
        if (!list.GetFromFolder() || (count = list.Count()) != kImages) {
            state.SkipWithError("the folder was not collected");
            break;
        }
        benchmark::DoNotOptimize(list.Item(0));
    }
    state.counters["items"] = count;
}

// Collecting again after one file was moved out of the folder (or back), as
// the viewer does after a dispatch: only that name is examined again.
void CollectAfterAMove(benchmark::State& state)
{
    TVxSlideCollection list;
    configure(list);
    list.GetFromFolder();
    const int all = list.Count();
    const std::string name = list.Item(all / 2)->fileName;
    const std::string inside = g_folder->path().toStdString() + "/" + name;
    const std::string outside = g_folder->path().toStdString() + ".moved";
    bool out = false;
    for (auto _ : state) {
        state.PauseTiming();
        std::rename(out ? outside.c_str() : inside.c_str(), out ? inside.c_str() : outside.c_str());
        out = !out;
        state.ResumeTiming();
        if (!list.GetFromFolder() || list.Count() != all - (out ? 1 : 0)) {
            state.SkipWithError("the folder was not collected");
            break;
        }
        benchmark::DoNotOptimize(list.Item(0));
    }
    // The folder as it was for the next run (repetitions move a file out again).
    if (out)
        std::rename(outside.c_str(), inside.c_str());
    state.counters["items"] = list.Count();
}

void CollectFolderFirstTime(benchmark::State& state)
{
    collect(state);
}
BENCHMARK(CollectFolderFirstTime)->Iterations(1)->Unit(benchmark::kMillisecond);

void CollectFolderAgain(benchmark::State& state)
{
    collect(state);
}
BENCHMARK(CollectFolderAgain)->Unit(benchmark::kMillisecond);
BENCHMARK(CollectAfterAMove)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);  // the library's image readers need the GUI application
    benchmark::Initialize(&argc, argv);
    QTemporaryDir folder;
    g_folder = &folder;
    writeImages(folder.path().toStdString());
    InitializeVX(kVxUserSlide);
    if (!Vxdllprocs::VXFileType) {
        std::printf("slide collection: the image library's modules are not built, nothing measured\n");
        TerminateVX(kVxUserSlide);
        return 0;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TerminateVX(kVxUserSlide);
    return 0;
}
