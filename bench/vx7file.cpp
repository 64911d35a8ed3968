// Figures of the slide viewer's picture path through the image library's
// modules, for a 6000 × 4000 JPEG: VXFileType, VXFileLoad with the viewer's
// 800 × 600 and SetImageSize to the main window's 321 × 241; beside the time
// TurboJPEG needs to decode the same file at the scale the library chose, in
// the same run, and the ratio of the two (target: at most 1.3).
#include "GlobalMemory.h"
#include "Modules.h"
#include "VxApi.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#ifdef PICTAL_HAVE_TURBOJPEG
#include <turbojpeg.h>
#endif

namespace {

struct Library {
    HMODULE file = LoadLibraryA("Vx7File.DLL");
    HMODULE com = LoadLibraryA("Vx7Com.DLL");
    TVXFileType fileType = reinterpret_cast<TVXFileType>(GetProcAddress(file, "VXFileType"));
    TVXFileLoad fileLoad = reinterpret_cast<TVXFileLoad>(GetProcAddress(file, "VXFileLoad"));
    TSetImageSize setImageSize = reinterpret_cast<TSetImageSize>(GetProcAddress(com, "SetImageSize"));
    TVXFreeMemory freeMemory = reinterpret_cast<TVXFreeMemory>(GetProcAddress(com, "VXFreeMemory"));
    bool complete() const { return fileType && fileLoad && setImageSize && freeMemory; }
};

Library& library()
{
    static Library modules;
    return modules;
}

// A photo-like 6000 × 4000 JPEG (smooth shading with fine grain), written once.
const std::string& photoPath()
{
    static QTemporaryDir folder;
    static const std::string path = [] {
        const int width = 6000, height = 4000;
        QImage image(width, height, QImage::Format_RGB32);
        std::mt19937 random(11);
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const int grain = int(random() % 24) - 12;
                line[x] = qRgb(std::clamp(x * 255 / width + grain, 0, 255), std::clamp(y * 255 / height + grain, 0, 255),
                               std::clamp(128 + (x ^ y) % 64 - 32 + grain, 0, 255));
            }
        }
        const std::string file = folder.path().toStdString() + "/photo.jpg";
        QImageWriter writer(QString::fromStdString(file), "jpeg");
        writer.setQuality(90);
        writer.write(image);
        return file;
    }();
    return path;
}

// The size VXFileLoad decodes the photo at for the viewer's 800 × 600.
QSize librarySize()
{
    static const QSize size = [] {
        Library& vx = library();
        VXHANDLE handle = vx.fileLoad(photoPath().c_str(), 0, 800, 600, 0, 0, 0, 0);
        if (!handle)
            return QSize();
        const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(ImageMemory(handle)));
        const QSize decoded(header->biWidth, header->biHeight);
        GlobalUnlock(ImageMemory(handle));
        vx.freeMemory(handle);
        return decoded;
    }();
    return size;
}

void LibraryTypeLoadFit(benchmark::State& state)
{
    Library& vx = library();
    if (!vx.complete()) {
        state.SkipWithError("the image library's modules are missing");
        return;
    }
    const std::string& path = photoPath();
    std::vector<unsigned char> record(kVxFileRecordSize);
    for (auto _ : state) {
        if (!vx.fileType(path.c_str(), 0, record.data())) {
            state.SkipWithError("VXFileType refused the photo");
            return;
        }
        VXHANDLE loaded = vx.fileLoad(path.c_str(), 0, 800, 600, 0, 0, 0, 0);
        VXHANDLE fitted = loaded ? vx.setImageSize(loaded, 321, 241) : nullptr;
        if (!fitted) {
            state.SkipWithError("the photo did not load");
            return;
        }
        vx.freeMemory(fitted);
    }
    const QSize decoded = librarySize();
    state.counters["decoded_width"] = decoded.width();
    state.counters["decoded_height"] = decoded.height();
}
BENCHMARK(LibraryTypeLoadFit)->Unit(benchmark::kMillisecond)->MinTime(2.0);

#ifdef PICTAL_HAVE_TURBOJPEG
void TurboJpegSameScale(benchmark::State& state)
{
    const QSize target = librarySize();
    if (target.isEmpty()) {
        state.SkipWithError("no scale to compare with");
        return;
    }
    tjhandle decoder = tjInitDecompress();
    std::vector<unsigned char> pixels(std::size_t(target.width()) * 3 * std::size_t(target.height()));
    for (auto _ : state) {
        // The file is read each time, as the library reads it.
        QFile file(QString::fromStdString(photoPath()));
        file.open(QIODevice::ReadOnly);
        const QByteArray data = file.readAll();
        if (tjDecompress2(decoder, reinterpret_cast<const unsigned char*>(data.constData()),
                          static_cast<unsigned long>(data.size()), pixels.data(), target.width(), 0,
                          target.height(), TJPF_BGR, 0)
            != 0) {
            state.SkipWithError(tjGetErrorStr2(decoder));
            break;
        }
    }
    tjDestroy(decoder);
    state.counters["decoded_width"] = target.width();
    state.counters["decoded_height"] = target.height();
}
BENCHMARK(TurboJpegSameScale)->Unit(benchmark::kMillisecond)->MinTime(2.0);
#endif

// Keeps each benchmark's mean time per iteration, for the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto timeOf = [&](const std::string& name) {
        for (const auto& [run, time] : reporter.times)
            if (run.rfind(name, 0) == 0)
                return time;
        return 0.0;
    };
    const double library = timeOf("LibraryTypeLoadFit"), turbo = timeOf("TurboJpegSameScale");
    if (library > 0 && turbo > 0)
        std::printf("VXFileType + VXFileLoad(800 x 600) + SetImageSize(321 x 241) / TurboJPEG at %d x %d: %.2f "
                    "(target: at most 1.3)\n",
                    librarySize().width(), librarySize().height(), library / turbo);
    else
        std::printf("no ratio: TurboJPEG (libturbojpeg0-dev) or the image library's modules are missing\n");
    benchmark::Shutdown();
    return 0;
}
