// Figures of the slide viewer in the main window's size (320 x 240, lowered
// border, slide-in one pixel at a time from the left): a full Start (load,
// fit, compose, slide-in) of a 6000 x 4000 JPEG and of a 640 x 480 PNG, and
// the slide-in alone (from OnStartSlide to OnEndSlide, which bracket the
// composing and the strips). Runs offscreen unless a platform is chosen.
#include "Vxdllprocs.h"
#include "Vxinit.h"
#include "Vxslide.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

QTemporaryDir* g_root = nullptr;

// A picture with some detail, so that the codecs have real work.
bool writePicture(const std::string& path, int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(30, 90, 160));
    for (int i = 0; i < 40; ++i)
        painter.fillRect(QRect(i * width / 40, (i % 7) * height / 7, width / 20, height / 5),
                         QColor::fromHsv((i * 37) % 360, 200, 220));
    painter.end();
    return image.save(QString::fromStdString(path), format, 90);
}

std::string folderWith(const char* name, int width, int height, const char* format)
{
    const std::string folder = g_root->path().toStdString() + "/" + name;
    QDir().mkpath(QString::fromStdString(folder));
    writePicture(folder + "/" + name + (format[0] == 'J' ? ".jpg" : ".png"), width, height, format);
    return folder;
}

struct Viewer {
    std::unique_ptr<TVxSlide> slide = std::make_unique<TVxSlide>();
    std::chrono::steady_clock::time_point slideStart;
    double slideSeconds = 0;

    explicit Viewer(const std::string& folder)
    {
        slide->SetBounds(0, 0, 320, 240);
        slide->SetColor(0xC0C0FF);
        slide->SetAppearance(vxLowered);
        slide->SetFileReadWay(vxFolder);
        slide->SetFileExt("bmp;jpg;jpeg;j2k;jp2;gif;tif;tiff;pcx;fpx;png;wmf;emf");
        slide->SetScrollDir(vxLeftToRight);
        slide->SetScrollSize(1);
        slide->SetFilePath(folder);
        slide->OnStartSlide = [this](TObject*, std::int16_t, const std::string&, const std::string&) {
            slideStart = std::chrono::steady_clock::now();
        };
        slide->OnEndSlide = [this](TObject*, std::int16_t, const std::string&, const std::string&) {
            slideSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - slideStart).count();
        };
        slide->show();
        for (int i = 0; i < 10; ++i)
            QApplication::processEvents();
    }

    // A fresh list, so that Start draws again.
    bool reopen()
    {
        slide->Clear();
        return slide->Open();
    }
};

void fullStart(benchmark::State& state, const char* name, int width, int height, const char* format)
{
    Viewer viewer(folderWith(name, width, height, format));
    for (auto _ : state) {
        state.PauseTiming();
        const bool opened = viewer.reopen();
        state.ResumeTiming();
        if (!opened || !viewer.slide->Start()) {
            state.SkipWithError("the picture was not shown");
            break;
        }
    }
}

void StartJpeg6000x4000(benchmark::State& state)
{
    fullStart(state, "jpeg", 6000, 4000, "JPEG");
}
BENCHMARK(StartJpeg6000x4000)->Unit(benchmark::kMillisecond);

void StartPng640x480(benchmark::State& state)
{
    fullStart(state, "png", 640, 480, "PNG");
}
BENCHMARK(StartPng640x480)->Unit(benchmark::kMillisecond);

void SlideInAlone(benchmark::State& state)
{
    Viewer viewer(folderWith("slidein", 640, 480, "PNG"));
    for (auto _ : state) {
        if (!viewer.reopen() || !viewer.slide->Start()) {
            state.SkipWithError("the picture was not shown");
            break;
        }
        state.SetIterationTime(viewer.slideSeconds);
    }
}
BENCHMARK(SlideInAlone)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir root;
    g_root = &root;
    InitializeVX(kVxUserSlide);
    if (!Vxdllprocs::VXFileLoad) {
        std::printf("slide viewer: the image library's modules are not built, nothing measured\n");
        TerminateVX(kVxUserSlide);
        return 0;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TerminateVX(kVxUserSlide);
    return 0;
}
