#include "Vxslide.h"
#include "Vxslideabout.h"

#include "Canvas.h"
#include "TestFiles.h"
#include "Vxdllprocs.h"

#include "GlobalMemory.h"
#include "MetafileWriter.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>

using testfiles::TempFolder;
using testfiles::writeFile;

namespace {

const char* const kMainWindowExt = "bmp;jpg;jpeg;j2k;jp2;gif;tif;tiff;pcx;fpx;png;wmf;emf";
constexpr TColor kBackground = 0xC0C0FF;  // the main window's slide colour
constexpr QRgb kBackgroundRgb = 0xFFFFC0C0;

// The control with its surface and display rectangle open to inspection.
class SlideUnderTest : public ::TVxSlide {
public:
    using ::TVxSlide::TVxSlide;
    using ::TVxSlide::DisplayRect;
    using ::TVxSlide::GetImageSize;
    using ::TVxSlide::WMTimer;
    using ::TVxSlideCollection::CurrentPath;
    QImage& surface()
    {
        return Surface();
    }
};

struct SlideEvent {
    char kind;  // 'S' start, 'E' end, 'P' progress
    int value;  // image number or percent
    std::string pathName;
    std::string fileName;
};

// A PNG (or what the name says) of one colour.
void writeImage(const std::string& path, int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(path))) << path;
}

// Left half one colour, right half another.
void writeHalves(const std::string& path, int width, int height, QRgb first, QRgb second, bool vertical)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (vertical ? y < height / 2 : x < width / 2) ? first : second);
    ASSERT_TRUE(image.save(QString::fromStdString(path))) << path;
}

void put16(std::string& out, unsigned v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

void put32(std::string& out, unsigned v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// An uncompressed TIFF of 8-bit grey 4 x 4 pages (Qt writes single pages only).
std::string multiPageTiff(int pages)
{
    constexpr unsigned kPixels = 16;
    constexpr unsigned kEntries = 9;
    constexpr unsigned kIfdSize = 2 + kEntries * 12 + 4;
    std::string out = "II";
    put16(out, 42);
    put32(out, 8 + kPixels);
    for (int p = 0; p < pages; ++p) {
        const unsigned pixels = unsigned(out.size());
        out.append(kPixels, char(40 * (p + 1)));
        const unsigned next = p + 1 < pages ? pixels + kPixels + kIfdSize + kPixels : 0;
        put16(out, kEntries);
        auto entry = [&out](unsigned tag, unsigned type, unsigned value) {
            put16(out, tag);
            put16(out, type);
            put32(out, 1);
            if (type == 3) {
                put16(out, value);
                put16(out, 0);
            } else {
                put32(out, value);
            }
        };
        entry(256, 3, 4);       // width
        entry(257, 3, 4);       // height
        entry(258, 3, 8);       // bits per sample
        entry(259, 3, 1);       // no compression
        entry(262, 3, 1);       // black is zero
        entry(273, 4, pixels);  // strip offset
        entry(277, 3, 1);       // samples per pixel
        entry(278, 3, 4);       // rows per strip
        entry(279, 4, kPixels); // strip bytes
        put32(out, next);  // the next page's pixels come first, then its directory
    }
    return out;
}

// The bounding box of the pixels of one colour inside rect; empty when none.
QRect boxOf(const QImage& image, QRgb colour, const QRect& rect)
{
    QRect box;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
    return box;
}

class TVxSlide : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.valid());
        slide = std::make_unique<SlideUnderTest>();
        slide->SetBounds(0, 0, 320, 240);
        slide->SetColor(kBackground);
        slide->SetFileExt(kMainWindowExt);
        slide->SetFileReadWay(vxFolder);
        slide->SetSort(vxSortFileName);
        slide->SetFilePath(folder.path());
        slide->OnStartSlide = [this](TObject*, std::int16_t n, const std::string& p, const std::string& f) {
            events.push_back({'S', n, p, f});
        };
        slide->OnEndSlide = [this](TObject*, std::int16_t n, const std::string& p, const std::string& f) {
            events.push_back({'E', n, p, f});
        };
        slide->OnProgress = [this](TObject*, std::int16_t percent) { events.push_back({'P', percent, {}, {}}); };
    }

    // Shows the control and lets its first paint happen, then forgets the
    // events of that paint.
    void show()
    {
        slide->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(slide.get()));
        QApplication::processEvents();
        events.clear();
    }

    std::vector<int> progress() const
    {
        std::vector<int> values;
        for (const SlideEvent& e : events)
            if (e.kind == 'P')
                values.push_back(e.value);
        return values;
    }

    int count(char kind) const
    {
        return int(std::count_if(events.begin(), events.end(), [kind](const SlideEvent& e) { return e.kind == kind; }));
    }

    QRgb at(int x, int y) { return slide->surface().pixel(x, y) | 0xFF000000; }

    TempFolder folder;
    std::unique_ptr<SlideUnderTest> slide;
    std::vector<SlideEvent> events;
};

std::vector<int> expectedProgress()
{
    std::vector<int> values;
    for (int p = 0; p <= 98; ++p)
        values.push_back(p);
    values.push_back(100);
    return values;
}

// ---------------------------------------------------------------- geometry and border

TEST_F(TVxSlide, LoweredBorderAndLargeImageFitInsideTheDisplayRectangle)
{
    writeImage(folder.file("big.png"), 1024, 768, qRgb(0, 0, 255));
    show();
    ASSERT_TRUE(slide->Open());
    ASSERT_TRUE(slide->Start());
    EXPECT_EQ(slide->ErrorCode(), 0);
    const RECT d = slide->DisplayRect();
    EXPECT_EQ(d.left, 2);
    EXPECT_EQ(d.top, 2);
    EXPECT_EQ(d.right, 317);
    EXPECT_EQ(d.bottom, 237);
    const QImage& s = slide->surface();
    EXPECT_EQ(boxOf(s, qRgb(0, 0, 255), QRect(0, 0, 320, 240)), QRect(3, 2, 314, 236));
    // The centring margin is the background colour.
    EXPECT_EQ(at(2, 100), kBackgroundRgb);
    EXPECT_EQ(at(317, 100), kBackgroundRgb);

    // A repaint draws the border: outer dark and white, inner black and light.
    slide->repaint();
    EXPECT_EQ(at(0, 0), qRgb(0x7F, 0x7F, 0x7F));
    EXPECT_EQ(at(0, 239), qRgb(0x7F, 0x7F, 0x7F));
    EXPECT_EQ(at(319, 0), qRgb(255, 255, 255));
    EXPECT_EQ(at(319, 239), qRgb(255, 255, 255));
    EXPECT_EQ(at(100, 239), qRgb(255, 255, 255));
    EXPECT_EQ(at(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(at(1, 238), qRgb(0, 0, 0));
    EXPECT_EQ(at(318, 1), qRgb(0xDF, 0xDF, 0xDF));
    EXPECT_EQ(at(318, 238), qRgb(0xDF, 0xDF, 0xDF));
    EXPECT_EQ(at(100, 1), qRgb(0, 0, 0));
    EXPECT_EQ(at(100, 238), qRgb(0xDF, 0xDF, 0xDF));
    EXPECT_EQ(boxOf(slide->surface(), qRgb(0, 0, 255), QRect(0, 0, 320, 240)), QRect(3, 2, 314, 236));
}

TEST_F(TVxSlide, FlashPixWmfAndEmfFilesAreShownLikeAnyPicture)
{
    const QString data = QString(PICTAL_TEST_DATA);
    ASSERT_TRUE(QFile::copy(data + "/fpx/input_truecolor.fpx", QString::fromStdString(folder.file("a.fpx"))));
    const QByteArray emf = testmetafiles::emfWith(
        200, 100, {{testmetafiles::EmfShape::Rectangle, 0, 0, 100, 100, qRgb(255, 0, 0)},
                   {testmetafiles::EmfShape::Rectangle, 100, 0, 200, 100, qRgb(0, 0, 255)}});
    writeFile(folder.file("b.emf"), emf.toStdString());
    ASSERT_TRUE(QFile::copy(data + "/wmf/clock.wmf", QString::fromStdString(folder.file("c.wmf"))));
    show();
    ASSERT_TRUE(slide->Open());

    // FlashPix: 70 x 46, centred at its own size, the reference's pixels.
    ASSERT_TRUE(slide->Start());
    EXPECT_EQ(slide->ErrorCode(), 0);
    const QImage reference(data + "/fpx/input_truecolor.bmp");
    ASSERT_EQ(reference.size(), QSize(70, 46));
    const int left = (320 - 70) / 2, top = (240 - 46) / 2;
    int differing = 0;
    for (int y = 0; y < 46; ++y)
        for (int x = 0; x < 70; ++x)
            differing += (at(left + x, top + y) & 0xFFFFFF) != (reference.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0);

    // EMF: drawn at its natural 200 x 100 on the slide colour, red then blue.
    ASSERT_TRUE(slide->GoNext());
    EXPECT_EQ(slide->ErrorCode(), 0);
    // The picture's left half is red and its right half blue (a rectangle
    // drawn without a pen leaves its last column and row out).
    const QRect red = boxOf(slide->surface(), qRgb(255, 0, 0), QRect(0, 0, 320, 240));
    EXPECT_EQ(red.topLeft(), QPoint(60, 70));
    EXPECT_NEAR(red.width(), 99, 1);
    EXPECT_NEAR(red.height(), 99, 1);
    const QRect blue = boxOf(slide->surface(), qRgb(0, 0, 255), QRect(0, 0, 320, 240));
    EXPECT_EQ(blue.topLeft(), QPoint(160, 70));
    EXPECT_NEAR(blue.width(), 99, 1);
    EXPECT_EQ(at(5, 120), kBackgroundRgb);

    // WMF: something is drawn inside the display area.
    ASSERT_TRUE(slide->GoNext());
    EXPECT_EQ(slide->ErrorCode(), 0);
    int painted = 0;
    for (int y = 3; y < 237; y += 3)
        for (int x = 3; x < 317; x += 3)
            painted += at(x, y) != kBackgroundRgb;
    EXPECT_GT(painted, 300);
}

TEST_F(TVxSlide, SmallImageIsCentredAtItsOwnSize)
{
    writeImage(folder.file("small.bmp"), 200, 100, qRgb(0, 160, 0));
    show();
    ASSERT_TRUE(slide->Open());
    ASSERT_TRUE(slide->Start());
    EXPECT_EQ(boxOf(slide->surface(), qRgb(0, 160, 0), QRect(0, 0, 320, 240)), QRect(60, 70, 200, 100));
}

TEST_F(TVxSlide, FlatRaisedAndHiddenBorders)
{
    writeImage(folder.file("small.png"), 20, 20, qRgb(0, 160, 0));
    slide->SetAppearance(vxFlat);
    slide->SetBorderColor(clRed);
    show();
    EXPECT_EQ(at(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(at(319, 239), qRgb(255, 0, 0));
    EXPECT_EQ(at(1, 1), kBackgroundRgb);
    ASSERT_TRUE(slide->Open());
    ASSERT_TRUE(slide->Start());
    EXPECT_EQ(slide->DisplayRect().left, 1);
    EXPECT_EQ(slide->DisplayRect().bottom, 238);

    slide->SetAppearance(vxRaised);
    slide->repaint();
    EXPECT_EQ(at(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(at(319, 239), qRgb(0x7F, 0x7F, 0x7F));
    EXPECT_EQ(at(1, 1), qRgb(0xDF, 0xDF, 0xDF));
    EXPECT_EQ(at(318, 238), qRgb(0, 0, 0));

    slide->SetBorderVisible(false);
    slide->repaint();
    EXPECT_EQ(slide->DisplayRect().left, 0);
    EXPECT_EQ(slide->DisplayRect().right, 319);
    EXPECT_EQ(at(0, 0), kBackgroundRgb);
    EXPECT_EQ(boxOf(slide->surface(), qRgb(0, 160, 0), QRect(0, 0, 320, 240)), QRect(150, 110, 20, 20));
}

TEST_F(TVxSlide, FittingShrinksWithTheAspectRatioAndNeverGrows)
{
    int w = 0;
    int h = 0;
    slide->GetImageSize(321, 241, 1024, 768, w, h);
    EXPECT_EQ(w, 321);
    EXPECT_EQ(h, 241);
    slide->GetImageSize(316, 236, 321, 241, w, h);
    EXPECT_EQ(w, 314);
    EXPECT_EQ(h, 236);
    slide->GetImageSize(316, 236, 200, 100, w, h);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);
    slide->GetImageSize(321, 241, 6000, 4000, w, h);
    EXPECT_EQ(w, 321);
    EXPECT_EQ(h, 214);
}

// ---------------------------------------------------------------- slide-in

struct SlideCase {
    TVxSlideScroll dir;
    QPoint newPixel;  // shows the new picture's entering edge at the first progress
    QRgb enteringColour;
    QPoint oldPixel;  // still the old picture then
};

TEST_F(TVxSlide, SlideInOfEachDirectionEntersAtItsEdgeAndReportsProgress)
{
    const QRgb green = qRgb(0, 200, 0);
    const QRgb blue = qRgb(0, 0, 220);
    // Exactly the display size: drawn 1:1 at (2, 2).
    writeHalves(folder.file("a.png"), 316, 236, green, blue, false);
    writeHalves(folder.file("b.png"), 316, 236, green, blue, true);
    show();
    ASSERT_TRUE(slide->Open());
    const SlideCase cases[] = {
        {vxLeftToRight, {2, 100}, blue, {20, 100}},   // the right part enters at the left
        {vxRightToLeft, {317, 100}, green, {300, 100}},
        {vxUpToDown, {100, 2}, blue, {100, 20}},      // the bottom part enters at the top
        {vxDownToUp, {100, 237}, green, {100, 220}},
    };
    for (const SlideCase& c : cases) {
        SCOPED_TRACE(int(c.dir));
        const bool vertical = c.dir == vxUpToDown || c.dir == vxDownToUp;
        slide->SetScrollDir(c.dir);
        slide->SetCurrentImage(vertical ? 1 : 0);
        slide->Clear();
        ASSERT_TRUE(slide->Open());
        slide->SetCurrentImage(vertical ? 1 : 0);
        events.clear();
        QRgb firstNew = 0;
        QRgb firstOld = 0;
        bool seen = false;
        slide->OnProgress = [&](TObject*, std::int16_t percent) {
            events.push_back({'P', percent, {}, {}});
            if (!seen) {
                seen = true;
                firstNew = at(c.newPixel.x(), c.newPixel.y());
                firstOld = at(c.oldPixel.x(), c.oldPixel.y());
            }
        };
        ASSERT_TRUE(slide->Start());
        EXPECT_EQ(progress(), expectedProgress());
        EXPECT_EQ(firstNew, c.enteringColour);
        EXPECT_EQ(firstOld, kBackgroundRgb);
        // One display, bracketed by its two events, however many strips.
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events.front().kind, 'S');
        EXPECT_EQ(events.back().kind, 'E');
        EXPECT_EQ(count('S'), 1);
        // The end picture is the whole image in place.
        EXPECT_EQ(at(2, 2), green);  // both halves' pictures have green at the top left
        EXPECT_EQ(at(317, 237), blue);
    }
}

TEST_F(TVxSlide, StripWidthZeroIsOnePixelAndAWideStripIsOneCopy)
{
    writeImage(folder.file("a.png"), 316, 236, qRgb(0, 0, 255));
    writeImage(folder.file("b.png"), 316, 236, qRgb(0, 255, 0));
    show();
    ASSERT_TRUE(slide->Open());
    slide->SetScrollDir(vxRightToLeft);
    slide->SetScrollSize(0);
    ASSERT_TRUE(slide->Start());
    EXPECT_EQ(progress(), expectedProgress());

    events.clear();
    slide->SetScrollSize(316);
    ASSERT_TRUE(slide->GoNext());
    EXPECT_EQ(progress(), std::vector<int>{100});
    EXPECT_EQ(boxOf(slide->surface(), qRgb(0, 255, 0), QRect(0, 0, 320, 240)), QRect(2, 2, 316, 236));

    events.clear();
    slide->SetScrollDir(vxNormal);
    slide->SetScrollSize(1);
    ASSERT_TRUE(slide->GoBack());
    EXPECT_TRUE(progress().empty());  // no slide-in, no progress
    EXPECT_EQ(count('S'), 1);
    EXPECT_EQ(count('E'), 1);
}

// ---------------------------------------------------------------- showing and repainting

TEST_F(TVxSlide, StartOnTheImageAlreadyShownDrawsNothingButRestartsTheTimer)
{
    writeImage(folder.file("a.png"), 50, 40, qRgb(0, 0, 255));
    show();
    ASSERT_TRUE(slide->Open());
    ASSERT_TRUE(slide->Start());
    EXPECT_EQ(count('S'), 1);
    events.clear();
    slide->surface().setPixel(160, 120, qRgb(1, 2, 3));  // a mark a redraw would cover
    slide->SetIntervalTime(30);
    EXPECT_TRUE(slide->Start());
    EXPECT_EQ(slide->ErrorCode(), 0);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(at(160, 120), qRgb(1, 2, 3));
    EXPECT_TRUE(slide->TimerRunning());
    EXPECT_TRUE(slide->Stop());
    EXPECT_FALSE(slide->TimerRunning());
}

TEST_F(TVxSlide, RepaintFiresTheEventsAgainWithoutSlideIn)
{
    writeImage(folder.file("pic.png"), 50, 40, qRgb(0, 0, 255));
    show();
    ASSERT_TRUE(slide->Open());
    slide->SetScrollDir(vxDownToUp);
    ASSERT_TRUE(slide->Start());
    ASSERT_EQ(count('S'), 1);
    const SlideEvent first = events.front();
    EXPECT_EQ(first.pathName, folder.path() + "/");
    EXPECT_EQ(first.fileName, "pic.png");
    events.clear();
    slide->repaint();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, 'S');
    EXPECT_EQ(events[0].pathName, first.pathName);
    EXPECT_EQ(events[0].fileName, first.fileName);
    EXPECT_EQ(events[1].kind, 'E');
    EXPECT_EQ(slide->ScrollDir(), vxDownToUp);
    EXPECT_EQ(boxOf(slide->surface(), qRgb(0, 0, 255), QRect(0, 0, 320, 240)), QRect(135, 100, 50, 40));

    // Closed: a repaint shows the empty area and fires nothing.
    events.clear();
    EXPECT_TRUE(slide->Close());
    slide->repaint();
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(boxOf(slide->surface(), qRgb(0, 0, 255), QRect(0, 0, 320, 240)).isEmpty());
    EXPECT_EQ(at(160, 120), kBackgroundRgb);
}

TEST_F(TVxSlide, PaintingAsACopyStretchesDirectlyWithoutEvents)
{
    writeImage(folder.file("big.png"), 1024, 768, qRgb(0, 0, 255));
    show();
    ASSERT_TRUE(slide->Open());
    slide->SetScrollDir(vxLeftToRight);
    ASSERT_TRUE(slide->Start());
    events.clear();
    QImage copy(320, 240, QImage::Format_RGB32);
    copy.fill(Qt::black);
    slide->PaintTo(copy);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(boxOf(copy, qRgb(0, 0, 255), QRect(0, 0, 320, 240)), QRect(3, 2, 314, 236));
    EXPECT_EQ(copy.pixel(2, 100) | 0xFF000000, kBackgroundRgb);
    EXPECT_EQ(copy.pixel(0, 0) | 0xFF000000, qRgb(0x7F, 0x7F, 0x7F));
    EXPECT_EQ(copy.pixel(318, 238) | 0xFF000000, qRgb(0xDF, 0xDF, 0xDF));

    // Without an image the copy is the empty area.
    ASSERT_TRUE(slide->Close());
    copy.fill(Qt::black);
    slide->PaintTo(copy);
    EXPECT_EQ(copy.pixel(160, 120) | 0xFF000000, kBackgroundRgb);
    EXPECT_TRUE(events.empty());
}

// A slide list entry relative to the working folder is reported as the viewer
// opens it: folder and name make its current path, with no root put in front.
TEST_F(TVxSlide, SlideListEntriesAreReportedByThePathTheViewerOpens)
{
    ASSERT_EQ(::mkdir(folder.file("sub").c_str(), 0755), 0);
    for (const char* name : {"a.png", "sub/b.png", "c.png"})
        writeImage(folder.file(name), 10, 10, qRgb(255, 0, 0));
    writeFile(folder.file("slides.txt"), "a.png\nsub/b.png\n" + folder.file("c.png") + "\n");
    slide->SetFileReadWay(vxSlidefile);
    slide->SetSlideFileName(folder.file("slides.txt"));
    show();
    struct WorkingFolder {
        char* previous = ::getcwd(nullptr, 0);
        ~WorkingFolder()
        {
            if (previous && ::chdir(previous) != 0)
                ADD_FAILURE() << "cannot go back to " << previous;
            std::free(previous);
        }
    } working;
    ASSERT_NE(working.previous, nullptr);
    ASSERT_EQ(::chdir(folder.path().c_str()), 0);
    const struct {
        const char* pathName;
        const char* fileName;
    } expected[] = {{"", "a.png"}, {"sub/", "b.png"}, {nullptr, "c.png"}};
    EXPECT_TRUE(slide->Open());
    for (int i = 0; i < 3; ++i) {
        events.clear();
        EXPECT_TRUE(i == 0 ? slide->Start() : slide->GoNext()) << i;
        ASSERT_FALSE(events.empty()) << i;
        EXPECT_EQ(events.front().kind, 'S');
        EXPECT_EQ(events.front().pathName, expected[i].pathName ? expected[i].pathName : folder.path() + "/");
        EXPECT_EQ(events.front().fileName, expected[i].fileName);
        EXPECT_EQ(events.front().pathName + events.front().fileName, slide->CurrentPath());
    }
}

TEST_F(TVxSlide, MultiPageItemReportsNameBlankPage)
{
    writeFile(folder.file("multi.tif"), multiPageTiff(3));
    slide->SetFileReadWay(vxFolderMultiImage);
    show();
    ASSERT_TRUE(slide->Open());
    ASSERT_EQ(slide->Count(), 3);
    ASSERT_TRUE(slide->GoBottom());
    ASSERT_GE(events.size(), 1u);
    EXPECT_EQ(events.front().kind, 'S');
    EXPECT_EQ(events.front().value, 2);
    EXPECT_EQ(events.front().fileName, "multi.tif 2");
    EXPECT_EQ(events.back().fileName, "multi.tif 2");
    // Page 2 is grey 120, scaled 4 x 4 to its own size in the middle.
    EXPECT_EQ(boxOf(slide->surface(), qRgb(120, 120, 120), QRect(0, 0, 320, 240)), QRect(158, 118, 4, 4));
    events.clear();
    ASSERT_TRUE(slide->GoTop());
    EXPECT_EQ(events.front().fileName, "multi.tif");
}

// ---------------------------------------------------------------- cursor and timer

TEST_F(TVxSlide, CurrentImageBeyondTheListShowsTheLastOrWrapsToTheFirst)
{
    for (const char* name : {"a.png", "b.png", "c.png"})
        writeImage(folder.file(name), 10, 10, qRgb(0, 0, 255));
    show();
    ASSERT_TRUE(slide->Open());
    slide->SetCurrentImage(10);
    ASSERT_TRUE(slide->Start());
    EXPECT_EQ(slide->CurrentImage(), 2);
    EXPECT_EQ(events.front().fileName, "c.png");

    events.clear();
    slide->SetEndless(true);
    slide->SetCurrentImage(10);
    ASSERT_TRUE(slide->Start());
    EXPECT_EQ(slide->CurrentImage(), 0);
    EXPECT_EQ(events.front().fileName, "a.png");

    // Moves at the ends: stop without Endless, wrap with it.
    events.clear();
    ASSERT_TRUE(slide->GoBack());
    EXPECT_EQ(slide->CurrentImage(), 2);
    slide->SetEndless(false);
    ASSERT_TRUE(slide->GoNext());
    EXPECT_EQ(slide->CurrentImage(), 2);
}

TEST_F(TVxSlide, TimerAdvancesAndStopsAtTheEndWithoutEndless)
{
    writeImage(folder.file("a.png"), 10, 10, qRgb(255, 0, 0));
    writeImage(folder.file("b.png"), 10, 10, qRgb(0, 0, 255));
    show();
    ASSERT_TRUE(slide->Open());
    slide->SetIntervalTime(1);
    ASSERT_TRUE(slide->Start());
    ASSERT_TRUE(slide->TimerRunning());

    // Refused while the timer runs; the cursor stays.
    EXPECT_FALSE(slide->GoNext());
    EXPECT_EQ(slide->ErrorCode(), 11);
    EXPECT_FALSE(slide->GoTop());
    EXPECT_EQ(slide->ErrorCode(), 11);
    EXPECT_EQ(slide->CurrentImage(), 0);

    // The real timer: the next tick shows b.png.
    events.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return count('E') == 1; }, 5000));
    EXPECT_EQ(events.front().fileName, "b.png");
    EXPECT_TRUE(slide->TimerRunning());
    // The tick after finds b.png shown: the timer stops, the picture stays.
    events.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !slide->TimerRunning(); }, 5000));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(slide->CurrentImage(), 1);
    EXPECT_EQ(boxOf(slide->surface(), qRgb(0, 0, 255), QRect(0, 0, 320, 240)), QRect(155, 115, 10, 10));

    // Moves are allowed again.
    EXPECT_TRUE(slide->GoTop());
    EXPECT_EQ(slide->ErrorCode(), 0);
}

TEST_F(TVxSlide, TimerTickSkipsAFileThatFailsToLoad)
{
    writeImage(folder.file("a.png"), 10, 10, qRgb(255, 0, 0));
    writeImage(folder.file("b.png"), 10, 10, qRgb(0, 255, 0));
    writeImage(folder.file("c.png"), 10, 10, qRgb(0, 0, 255));
    show();
    ASSERT_TRUE(slide->Open());
    // b.png goes bad after the list was built.
    writeFile(folder.file("b.png"), "not an image any more");
    slide->SetIntervalTime(60);
    ASSERT_TRUE(slide->Start());
    events.clear();
    slide->WMTimer();
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(slide->TimerRunning());
    EXPECT_EQ(slide->CurrentImage(), 1);
    slide->WMTimer();
    EXPECT_EQ(events.front().fileName, "c.png");
    ASSERT_TRUE(slide->Close());
    EXPECT_FALSE(slide->TimerRunning());
}

TEST_F(TVxSlide, AnImageShownBeforeAnEmptyingRepaintIsDrawnAgain)
{
    writeImage(folder.file("a.png"), 10, 10, qRgb(255, 0, 0));
    writeImage(folder.file("b.png"), 10, 10, qRgb(0, 255, 0));
    show();
    ASSERT_TRUE(slide->Open());
    ASSERT_TRUE(slide->Start());
    writeFile(folder.file("b.png"), "broken");
    EXPECT_FALSE(slide->GoNext());
    EXPECT_EQ(slide->ErrorCode(), 6);
    // The failed move keeps the last picture until a repaint empties the area.
    EXPECT_EQ(at(160, 120), qRgb(255, 0, 0));
    slide->repaint();
    EXPECT_EQ(at(160, 120), kBackgroundRgb);
    events.clear();
    ASSERT_TRUE(slide->GoBack());
    EXPECT_EQ(count('S'), 1);
    EXPECT_EQ(at(160, 120), qRgb(255, 0, 0));
}

// ---------------------------------------------------------------- error codes

TEST_F(TVxSlide, ErrorCodesOfEachOperation)
{
    writeImage(folder.file("a.png"), 10, 10, qRgb(255, 0, 0));
    writeFile(folder.file("b.png"), "");  // refused when the list is built
    show();
    // Not open.
    EXPECT_FALSE(slide->Close());
    EXPECT_EQ(slide->ErrorCode(), 11);
    for (auto op : {&::TVxSlide::Start, &::TVxSlide::Stop, &::TVxSlide::GoNext, &::TVxSlide::GoBack, &::TVxSlide::GoTop,
                    &::TVxSlide::GoBottom}) {
        EXPECT_FALSE((slide.get()->*op)());
        EXPECT_EQ(slide->ErrorCode(), 11);
    }
    ASSERT_TRUE(slide->Open());
    EXPECT_EQ(slide->ErrorCode(), 0);
    EXPECT_EQ(slide->Count(), 1);
    EXPECT_FALSE(slide->Open());
    EXPECT_EQ(slide->ErrorCode(), 11);
    EXPECT_TRUE(slide->Stop());
    EXPECT_TRUE(slide->Close());
    EXPECT_EQ(slide->Count(), 0);

    // Nothing to collect, or no slide list: 5, and no list kept.
    TempFolder empty;
    slide->SetFilePath(empty.path());
    EXPECT_FALSE(slide->Open());
    EXPECT_EQ(slide->ErrorCode(), 5);
    EXPECT_FALSE(slide->Stop());
    EXPECT_EQ(slide->ErrorCode(), 11);
    slide->SetFileReadWay(vxSlidefile);
    slide->SetSlideFileName(folder.file("missing.txt"));
    EXPECT_FALSE(slide->Open());
    EXPECT_EQ(slide->ErrorCode(), 5);

    // A file that fails to load: 6, the cursor moved, nothing shown.
    slide->SetFilePath(folder.path());
    slide->SetFileReadWay(vxFolder);
    ASSERT_TRUE(slide->Open());
    writeFile(folder.file("a.png"), "broken");
    events.clear();
    EXPECT_FALSE(slide->Start());
    EXPECT_EQ(slide->ErrorCode(), 6);
    EXPECT_FALSE(slide->GoNext());
    EXPECT_EQ(slide->ErrorCode(), 6);
    EXPECT_TRUE(events.empty());

    // Clear releases the list and paints the empty area.
    writeImage(folder.file("a.png"), 10, 10, qRgb(255, 0, 0));
    ASSERT_TRUE(slide->Start());
    slide->Clear();
    EXPECT_EQ(slide->Count(), 0);
    EXPECT_EQ(at(160, 120), kBackgroundRgb);
    EXPECT_FALSE(slide->Start());
    EXPECT_EQ(slide->ErrorCode(), 11);
}

TEST_F(TVxSlide, ATinyClientAreaLoadsNothing)
{
    writeImage(folder.file("a.png"), 10, 10, qRgb(255, 0, 0));
    slide->SetBounds(0, 0, 3, 200);
    show();
    ASSERT_TRUE(slide->Open());
    EXPECT_FALSE(slide->Start());
    EXPECT_EQ(slide->ErrorCode(), 6);
    slide->SetBounds(0, 0, 4, 200);  // area 5 x 201: loads, but the display is too small to draw
    EXPECT_TRUE(slide->Start());
    EXPECT_TRUE(events.empty());
}

// ---------------------------------------------------------------- properties and input

TEST_F(TVxSlide, DefaultsAndSetterRules)
{
    ::TVxSlide fresh;
    EXPECT_EQ(fresh.Width(), 100);
    EXPECT_EQ(fresh.Height(), 100);
    EXPECT_EQ(fresh.Color(), clWhite);
    EXPECT_FALSE(fresh.ParentColor());
    EXPECT_EQ(fresh.Appearance(), vxLowered);
    EXPECT_EQ(fresh.BorderColor(), clBlack);
    EXPECT_TRUE(fresh.BorderVisible());
    EXPECT_EQ(fresh.IntervalTime(), 0);
    EXPECT_EQ(fresh.ScrollDir(), vxNormal);
    EXPECT_EQ(fresh.ScrollSize(), 1);
    EXPECT_EQ(fresh.FileReadWay(), vxSlidefile);
    EXPECT_EQ(fresh.CurrentImage(), 0);
    EXPECT_FALSE(fresh.Endless());
    fresh.SetIntervalTime(-3);
    EXPECT_EQ(fresh.IntervalTime(), 0);
    fresh.SetScrollSize(-2);
    EXPECT_EQ(fresh.ScrollSize(), 0);
    fresh.SetCurrentImage(-1);
    EXPECT_EQ(fresh.CurrentImage(), 0);
    EXPECT_EQ(fresh.Perform(WM_GETDLGCODE), DLGC_WANTARROWS);

    // About shows the version dialog, modally, until it is closed.
    std::string caption;
    QTimer::singleShot(0, [&caption] {
        if (auto* form = dynamic_cast<TVxSlideAboutForm*>(QApplication::activeModalWidget())) {
            caption = form->windowTitle().toStdString();
            form->close();
        }
    });
    fresh.About();
    EXPECT_FALSE(caption.empty()) << "the dialog was shown";
}

TEST_F(TVxSlide, LeftClickFocusesAndArrowKeysArrive)
{
    QWidget window;
    window.resize(400, 300);
    slide->setParent(&window);
    QWidget other(&window);
    other.setFocusPolicy(Qt::StrongFocus);
    other.setGeometry(330, 0, 50, 50);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other.setFocus();
    ASSERT_TRUE(other.hasFocus());
    QTest::mouseClick(slide.get(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(slide->hasFocus());
    QTest::mouseClick(slide.get(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(slide->hasFocus());
    WORD_KEY last = 0;
    slide->OnKeyDown = [&last](TObject*, WORD_KEY& key, TShiftState) { last = key; };
    QTest::keyClick(slide.get(), Qt::Key_Right);
    EXPECT_EQ(last, VK_RIGHT);
    slide->setParent(nullptr);
}


// Counts the paint requests a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(TVxSlide, EachStripOfASlideInReachesTheScreenEvenAfterANestedRepaint)
{
    writeImage(folder.file("a.png"), 316, 236, qRgb(0, 0, 255));
    show();
    slide->SetScrollDir(vxLeftToRight);
    ASSERT_TRUE(slide->Open());
    PaintCounter counter;
    slide->installEventFilter(&counter);
    bool repainted = false;
    slide->OnProgress = [&](TObject*, std::int16_t percent) {
        events.push_back({'P', percent, {}, {}});
        if (percent == 10 && !repainted) {
            repainted = true;
            slide->repaint();  // a handler that lets a repaint happen mid-way
        }
    };
    ASSERT_TRUE(slide->Start());
    slide->removeEventFilter(&counter);
    EXPECT_EQ(progress(), expectedProgress());
    EXPECT_GE(counter.paints, 300) << "one flush per strip, also after the nested repaint";
}

TEST_F(TVxSlide, DecodingAheadShowsWhatADirectLoadShowsAlsoAfterAFileChanged)
{
    for (int i = 0; i < 4; ++i)
        writeImage(folder.file("n" + std::to_string(i) + ".png"), 500 + 30 * i, 300 + 20 * i, qRgb(50 * i, 90, 200 - 40 * i));
    show();
    SlideUnderTest direct;
    direct.SetBounds(0, 0, 320, 240);
    direct.SetColor(kBackground);
    direct.SetFileExt(kMainWindowExt);
    direct.SetFileReadWay(vxFolder);
    direct.SetSort(vxSortFileName);
    direct.SetFilePath(folder.path());
    direct.SetDecodeAhead(false);
    direct.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&direct));
    ASSERT_TRUE(slide->Open());
    ASSERT_TRUE(direct.Open());

    const auto both = [&](bool (::TVxSlide::*step)()) {
        ASSERT_TRUE((slide.get()->*step)());
        ASSERT_TRUE((direct.*step)());
        EXPECT_TRUE(slide->surface() == direct.surface()) << "image " << slide->CurrentImage();
        QTest::qWait(300);  // the neighbours are decoded meanwhile
    };
    both(&::TVxSlide::Start);
    both(&::TVxSlide::GoNext);
    // n2.png, decoded ahead by now, is replaced by another program.
    writeImage(folder.file("n2.png"), 400, 400, qRgb(255, 0, 0));
    struct timespec times[2] = {{0, UTIME_OMIT}, {2000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.file("n2.png").c_str(), times, 0), 0);
    both(&::TVxSlide::GoNext);
    EXPECT_EQ(slide->surface().pixel(160, 120), qRgb(255, 0, 0)) << "the file as it is now";
    both(&::TVxSlide::GoBack);
    both(&::TVxSlide::GoNext);
}

TEST_F(TVxSlide, AHandlerThatClosesTheViewerMidDisplayCausesNoHarm)
{
    writeImage(folder.file("a.png"), 60, 40, qRgb(0, 0, 255));
    writeImage(folder.file("b.png"), 60, 40, qRgb(0, 255, 0));
    show();
    slide->SetScrollDir(vxNormal);
    slide->SetDecodeAhead(false);  // its pictures held ahead would count as blocks
    ASSERT_TRUE(slide->Open());
    const std::size_t blocks = GlobalBlockCount();
    int starts = 0;
    slide->OnStartSlide = [&](TObject*, std::int16_t, const std::string&, const std::string&) {
        if (++starts == 1)
            slide->Close();  // frees the image the display is about to draw
    };
    slide->Start();
    EXPECT_EQ(starts, 1);
    EXPECT_LE(GlobalBlockCount(), blocks) << "the image released mid-display is freed when the display ends";
}

}  // namespace
