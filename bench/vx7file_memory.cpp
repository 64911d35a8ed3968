// Peak memory of VXFileLoad for a 16384 × 16384 PNG of 16 bits per sample
// (red, green, blue, alpha): the maximum resident set size (getrusage) of a
// process before and after the load. The file is written row by row with
// libpng, and the load runs in a child process forked before anything large
// was allocated, so that nothing else counts towards its peak.
#include "GlobalMemory.h"
#include "Modules.h"
#include "VxApi.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <png.h>

#include <cstdio>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSide = 16384;

// Smooth shading, opaque but for a translucent band at the top.
bool writeDeepPng(const std::string& path)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, out);
        png_set_IHDR(png, info, kSide, kSide, 16, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_write_info(png, info);
        std::vector<png_byte> row(std::size_t(kSide) * 8);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const unsigned samples[4] = {unsigned(x) * 4, unsigned(y) * 4, 0x8000, y < 256 ? 0x8000u : 0xFFFFu};
                for (int c = 0; c < 4; ++c) {
                    row[std::size_t(x) * 8 + std::size_t(c) * 2] = png_byte(samples[c] >> 8);
                    row[std::size_t(x) * 8 + std::size_t(c) * 2 + 1] = png_byte(samples[c]);
                }
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(out) == 0 && written;
}

double maxRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

int loadInChild(int argc, char** argv, const std::string& path)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    HMODULE file = LoadLibraryA("Vx7File.DLL");
    HMODULE com = LoadLibraryA("Vx7Com.DLL");
    auto fileLoad = reinterpret_cast<TVXFileLoad>(GetProcAddress(file, "VXFileLoad"));
    auto freeMemory = reinterpret_cast<TVXFreeMemory>(GetProcAddress(com, "VXFreeMemory"));
    if (!fileLoad || !freeMemory) {
        std::printf("modules not found\n");
        return 1;
    }
    const double before = maxRssMb();
    VXHANDLE raster = fileLoad(path.c_str(), 0, 800, 600, 0, 0, 0, 0);
    const double after = maxRssMb();
    if (!raster) {
        std::printf("not loaded\n");
        return 1;
    }
    freeMemory(raster);
    std::printf("max RSS before the load %.0f MB, after %.0f MB: the load's peak %.0f MB\n", before, after,
                after - before);
    std::printf("(decoded at 8 bytes a pixel %.0f MB, the 24-bit raster %.0f MB)\n",
                double(kSide) * kSide * 8 / 1048576.0, double(kSide) * (kSide * 3) / 1048576.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/deep.png";
    if (!folder.isValid() || !writeDeepPng(path)) {
        std::printf("sample not written\n");
        return 1;
    }
    struct stat status {};
    ::stat(path.c_str(), &status);
    std::printf("16-bit RGBA PNG, %d x %d, %.1f MB\n", kSide, kSide, double(status.st_size) / 1048576.0);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        const int code = loadInChild(argc, argv, path);
        std::fflush(stdout);
        _exit(code);
    }
    int result = 0;
    if (child < 0 || waitpid(child, &result, 0) != child)
        return 1;
    return WIFEXITED(result) ? WEXITSTATUS(result) : 1;
}
