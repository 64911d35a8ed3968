// pictal-metafile: renders one WMF or EMF picture in its own process, so
// that a fault in the metafile libraries cannot take the viewer down. It
// reads a request from stdin and writes its answer to stdout, as
// MetafileWire.h describes.
//
// Nothing else is ever written to stdout: the libraries' own output is sent
// to stderr by pointing descriptor 1 there before any of them runs.
#include "FileDescriptor.h"
#include "MetafileRender.h"
#include "MetafileWire.h"

#include <QGuiApplication>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr rlim_t kAddressSpace = rlim_t(2) << 30;
constexpr rlim_t kCpuSeconds = 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// A runaway library is stopped by the kernel: SIGXCPU/SIGKILL after the CPU
// time, failed allocations beyond the address space. AddressSanitizer
// reserves terabytes of address space for its shadow memory, so a
// sanitized build keeps only the CPU limit.
bool limitResources()
{
    const rlimit cpu{kCpuSeconds, kCpuSeconds + 1};
    if (::setrlimit(RLIMIT_CPU, &cpu) != 0)
        return false;
    // A picture that crashes a library leaves no core file behind.
    const rlimit core{0, 0};
    if (::setrlimit(RLIMIT_CORE, &core) != 0)
        return false;
    if (!kAddressSanitizer) {
        const rlimit memory{kAddressSpace, kAddressSpace};
        if (::setrlimit(RLIMIT_AS, &memory) != 0)
            return false;
    }
    return true;
}

// Moves stdout to a private descriptor and points descriptor 1 at stderr.
int claimStdout()
{
    const int out = ::dup(STDOUT_FILENO);
    if (out < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return -1;
    return out;
}

bool readAll(int fd, std::vector<unsigned char>* data)
{
    unsigned char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (data->size() + size_t(got) > kMetafileRequestBytes + kMetafileMaxInput)
            return false;
        data->insert(data->end(), chunk, chunk + got);
    }
}

bool writeImage(int fd, const QImage& image)
{
    unsigned char header[kMetafileAnswerBytes];
    putMetafileAnswer(header, image.width(), image.height());
    if (!writeAll(fd, header, sizeof header))
        return false;
    std::vector<unsigned char> row(size_t(image.width()) * 4);
    for (int y = 0; y < image.height(); ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            putU32Le(row.data() + size_t(x) * 4, pixels[x] | 0xFF000000u);
        if (!writeAll(fd, row.data(), row.size()))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!limitResources())
        return 1;
    const int out = claimStdout();
    if (out < 0)
        return 1;

    std::vector<unsigned char> input;
    if (!readAll(STDIN_FILENO, &input) || input.size() < kMetafileRequestBytes)
        return 1;
    const auto [kind, width, height, background] = readMetafileRequest(input.data());
    if (kind != int32_t(MetafileKind::Wmf) && kind != int32_t(MetafileKind::Emf))
        return 1;
    if (width < 1 || height < 1 || width > kMaxMetafileSide || height > kMaxMetafileSide
        || (long long)width * height > kMaxMetafilePixels || background > 0xFFFFFFu)
        return 1;

    // Qt SVG lays out text through the font database, which needs a
    // QGuiApplication; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QImage image = MetafileRender(MetafileKind(kind), input.data() + kMetafileRequestBytes,
                                        input.size() - kMetafileRequestBytes, width, height,
                                        QColor::fromRgb(QRgb(background)));
    if (image.isNull() || image.width() != width || image.height() != height)
        return 1;
    if (!writeImage(out, image))
        return 1;
    return ::close(out) == 0 ? 0 : 1;
}
