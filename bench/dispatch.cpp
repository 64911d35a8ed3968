// The whole dispatch in the real window, as a person sees it: the main
// window under an X server (bench/run.sh starts Xvfb with openbox), move mode,
// slot 1 set, the first photo shown; then F1 is sent through XTest and the
// time runs until the viewer's area of the screen, read back from the X
// server, stops changing. Photos of 4000 x 3000 (a fractal, so that they
// compress like photos), 15 rounds with decoding ahead and 15 without; then a
// folder of 10,000 small images: opening it to its first image, the re-read
// part of one move (list and collection), and the whole dispatch there.
#include "Application.h"
#include "FileListBox.h"
#include "FolderTreeView.h"
#include "Mainwindow1.h"
#include "Vxslide.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

// Xlib's own Screen type under another name: the framework has a Screen().
#define Screen XlibScreen
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Screen

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point g_slideEnded;  // when the viewer's last slide-in ended

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A photo-like picture: value noise over several octaves (a fractal), in
// colour, so that JPEG compresses it about as it compresses a photograph.
QImage fractal(int width, int height, quint32 seed)
{
    constexpr int kGrid = 257;
    std::vector<float> lattice(std::size_t(kGrid) * kGrid * 3);
    QRandomGenerator random(seed);
    for (float& v : lattice)
        v = float(random.generateDouble());
    const auto noise = [&](float x, float y, int channel) {
        const int xi = int(x) % (kGrid - 1);
        const int yi = int(y) % (kGrid - 1);
        const float fx = x - std::floor(x);
        const float fy = y - std::floor(y);
        const auto at = [&](int gx, int gy) { return lattice[(std::size_t(gy) * kGrid + std::size_t(gx)) * 3 + std::size_t(channel)]; };
        const float top = at(xi, yi) + (at(xi + 1, yi) - at(xi, yi)) * fx;
        const float bottom = at(xi, yi + 1) + (at(xi + 1, yi + 1) - at(xi, yi + 1)) * fx;
        return top + (bottom - top) * fy;
    };
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            int rgb[3];
            for (int c = 0; c < 3; ++c) {
                float v = 0;
                float amplitude = 0.5f;
                float scale = 1.0f / 400.0f;
                for (int octave = 0; octave < 5; ++octave) {
                    v += amplitude * noise(float(x) * scale + float(c * 17), float(y) * scale, c);
                    amplitude *= 0.5f;
                    scale *= 2.7f;
                }
                rgb[c] = std::clamp(int(v * 255.0f), 0, 255);
            }
            // The grain of a sensor: what makes a photo's JPEG large.
            const int grain = int(random.bounded(24u)) - 12;
            row[x] = qRgb(std::clamp(rgb[0] + grain, 0, 255), std::clamp(rgb[1] + grain, 0, 255),
                          std::clamp(rgb[2] + grain, 0, 255));
        }
    }
    return image;
}

struct ServerScreen {
    Display* display = XOpenDisplay(nullptr);
    ~ServerScreen()
    {
        if (display)
            XCloseDisplay(display);
    }
    // The pixels of a rectangle of the screen as the X server has them.
    std::string grab(const QRect& r) const
    {
        XImage* image = XGetImage(display, DefaultRootWindow(display), r.x(), r.y(), unsigned(r.width()),
                                  unsigned(r.height()), AllPlanes, ZPixmap);
        if (!image)
            return {};
        std::string bytes(image->data, std::size_t(image->bytes_per_line) * std::size_t(image->height));
        XDestroyImage(image);
        return bytes;
    }
    void key(KeySym symbol, bool down) const
    {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), down ? True : False, CurrentTime);
        XFlush(display);
    }
};

// The event loop runs as it does while a person looks: asleep between events.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A source folder, a slot folder, the settings, and the window on them.
struct Window {
    std::unique_ptr<TApplication> application = std::make_unique<TApplication>();
    std::unique_ptr<TMainForm1> form;

    Window(const QString& settingsFolder, const QString& source, const QString& slot)
    {
        const QString ini = settingsFolder + "/Pictal.ini";
        QFile file(ini);
        if (file.open(QIODevice::WriteOnly))
            file.write(("[SET]\nM_TOP=20\nM_LEFT=20\n[SET1]\nMODE1=1\nMODE2=0\nLIST00=" + source + "\nLIST01=" + slot + "\n").toUtf8());
        file.close();
        form = std::make_unique<TMainForm1>();
        form->SetSettingsFile(ini.toStdString());
        application->SetMainForm(form.get());
        form->FormCreate();
        form->VxSlide1->OnEndSlide = [](TObject*, std::int16_t, const std::string&, const std::string&) {
            g_slideEnded = Clock::now();
        };
        form->show();
        form->activateWindow();
        settle(1000);
    }
    ~Window()
    {
        form.reset();
        application.reset();
    }
    QRect viewerOnScreen() const
    {
        return QRect(form->VxSlide1->mapToGlobal(QPoint(0, 0)), form->VxSlide1->size());
    }
};

// Key press to the last change of the viewer's area; -1 when it never changed.
double dispatchOnce(const ServerScreen& screen, const QRect& area)
{
    const std::string before = screen.grab(area);
    const auto start = Clock::now();
    g_slideEnded = start;
    screen.key(XK_F1, true);
    screen.key(XK_F1, false);
    std::string last = before;
    double changedAt = -1;
    while (msSince(start) < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents);
        const std::string now = screen.grab(area);
        const double at = msSince(start);
        if (now != last) {
            last = now;
            changedAt = at;
        } else if (changedAt >= 0 && at - changedAt > 300) {
            break;
        }
    }
    if (std::getenv("PICTAL_BENCH_DETAIL"))
        std::printf("  screen %.1f ms, slide-in ended %.1f ms after the key\n", changedAt,
                    std::chrono::duration<double, std::milli>(g_slideEnded - start).count());
    return changedAt;
}

std::vector<double> dispatchRounds(Window& window, const ServerScreen& screen, int rounds)
{
    std::vector<double> samples;
    for (int i = 0; i < rounds; ++i) {
        settle(700);  // a person looks at the photo before the key
        const double ms = dispatchOnce(screen, window.viewerOnScreen());
        if (ms >= 0)
            samples.push_back(ms);
    }
    return samples;
}

void report(const char* what, const std::vector<double>& samples)
{
    if (samples.empty()) {
        std::printf("%-58s no change seen\n", what);
        return;
    }
    std::printf("%-58s median %7.1f ms  min %7.1f  max %7.1f  (%zu rounds)\n", what, median(samples),
                *std::min_element(samples.begin(), samples.end()), *std::max_element(samples.begin(), samples.end()),
                samples.size());
}

void photos(QTemporaryDir& root, ServerScreen& screen)
{
    const QString source = root.path() + "/photos";
    const QString slot = root.path() + "/sorted";
    QDir().mkpath(source);
    QDir().mkpath(slot);
    constexpr int kDistinct = 6;
    constexpr int kRounds = 15;
    std::vector<QByteArray> encoded;
    for (int i = 0; i < kDistinct; ++i) {
        QImage image = fractal(4000, 3000, quint32(i + 1));
        const QString path = root.path() + QString("/master%1.jpg").arg(i);
        image.save(path, "JPEG", 90);
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        encoded.push_back(f.readAll());
    }
    std::printf("photos: 60 JPEGs of 4000 x 3000, %.1f MB each on average\n",
                double(encoded[0].size() + encoded[kDistinct - 1].size()) / 2 / 1e6);
    for (int i = 0; i < 60; ++i) {
        QFile f(source + QString("/photo%1.jpg").arg(i, 3, 10, QChar('0')));
        f.open(QIODevice::WriteOnly);
        f.write(encoded[std::size_t(i % kDistinct)]);
    }
    Window window(root.path(), source, slot);
    report("photo dispatch (F1, move), decoding ahead", dispatchRounds(window, screen, kRounds));
    window.form->VxSlide1->SetDecodeAhead(false);
    report("photo dispatch (F1, move), without decoding ahead", dispatchRounds(window, screen, kRounds));
}

void largeFolder(QTemporaryDir& root, ServerScreen& screen)
{
    const QString source = root.path() + "/many";
    const QString slot = root.path() + "/many-sorted";
    QDir().mkpath(source);
    QDir().mkpath(slot);
    // Seven pictures in turn, so that neighbours differ on the screen.
    std::vector<QByteArray> pictures;
    for (int i = 0; i < 7; ++i) {
        const QString path = root.path() + QString("/small%1.jpg").arg(i);
        fractal(160, 120, quint32(100 + i)).save(path, "JPEG", 85);
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        pictures.push_back(f.readAll());
    }
    for (int i = 0; i < 10000; ++i) {
        QFile f(source + QString("/img%1.jpg").arg(i, 5, 10, QChar('0')));
        f.open(QIODevice::WriteOnly);
        f.write(pictures[std::size_t(i % 7)]);
    }
    const QString empty = root.path() + "/empty";
    QDir().mkpath(empty);
    Window window(root.path(), empty, slot);
    TMainForm1& form = *window.form;

    // Opening the folder: the tree walks to it; list, collection, first image.
    std::vector<double> opening;
    for (int i = 0; i < 3; ++i) {
        form.FolderTreeView0->SetFolderName(empty.toStdString());
        settle(200);
        const auto start = Clock::now();
        form.FolderTreeView0->SetFolderName(source.toStdString());
        opening.push_back(msSince(start));
        settle(200);
    }
    if (std::getenv("PICTAL_BENCH_DETAIL")) {
        // The parts of an opening: the list, the collection, the first image.
        form.FileListBox1->SetDirectory(empty.toStdString());
        auto start = Clock::now();
        form.FileListBox1->SetDirectory(source.toStdString());
        const double list = msSince(start);
        form.VxSlide1->Close();
        form.VxSlide1->SetFilePath(empty.toStdString());
        form.VxSlide1->Open();
        form.VxSlide1->Close();
        start = Clock::now();
        form.VxSlide1->SetFilePath(source.toStdString());
        form.VxSlide1->Open();
        const double collection = msSince(start);
        start = Clock::now();
        form.VxSlide1->SetCurrentImage(0);
        form.VxSlide1->Start();
        std::printf("  opening: list %.1f ms, collection %.1f ms, first image %.1f ms\n", list, collection, msSince(start));
    }
    std::printf("10,000 images: first opening %.1f ms (images examined), then median of %zu more %.1f ms\n",
                opening[0], opening.size() - 1, median(std::vector<double>(opening.begin() + 1, opening.end())));

    // The re-read part of a move, as the dispatch does it.
    std::vector<double> reread;
    for (int i = 0; i < 15; ++i) {
        settle(100);
        const std::string name = form.FileListBox1->Item(std::min(5 + i, form.FileListBox1->Count() - 1));
        std::rename((source.toStdString() + "/" + name).c_str(), (slot.toStdString() + "/" + name).c_str());
        const auto start = Clock::now();
        form.FileListBox1->Update();
        form.VxSlide1->Close();
        form.VxSlide1->Open();
        reread.push_back(msSince(start));
    }
    report("10,000 images: re-read of list and collection after a move", reread);
    form.FileListBox1->SetItemIndex(0);
    form.VxSlide1->SetCurrentImage(0);
    form.VxSlide1->Start();
    form.FileListBox1->setFocus();
    report("10,000 images: dispatch (F1, move)", dispatchRounds(window, screen, 15));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != "xcb") {
        std::printf("dispatch: needs an X server (bench/run.sh starts one), nothing measured\n");
        return 0;
    }
    ServerScreen screen;
    if (!screen.display) {
        std::printf("dispatch: cannot open the X display, nothing measured\n");
        return 0;
    }
    QTemporaryDir root;
    // The dispatches' log and trash go to the benchmark's folder, not the user's.
    qputenv("XDG_STATE_HOME", (root.path() + "/state").toUtf8());
    qputenv("XDG_DATA_HOME", (root.path() + "/data").toUtf8());
    // "photos" or "folder" runs one part alone.
    const std::string only = argc > 1 ? argv[1] : "";
    if (only.empty() || only == "photos")
        photos(root, screen);
    if (only.empty() || only == "folder")
        largeFolder(root, screen);
    return 0;
}
