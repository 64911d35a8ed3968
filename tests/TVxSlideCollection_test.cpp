#include "SlideCollection.h"
#include "SlideList.h"
#include "TestFiles.h"
#include "Vxdllprocs.h"
#include "Vxinit.h"
#include "Vxutils.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using testfiles::TempFolder;
using testfiles::writeFile;

namespace {

using Names = std::vector<std::string>;

const char* const kMainWindowExt = "bmp;jpg;jpeg;j2k;jp2;gif;tif;tiff;pcx;fpx;png;wmf;emf";

// A small real image; the format follows from the name unless given.
void writeImage(const std::string& path, const char* format = nullptr, int width = 8, int height = 6)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(200, 40, 90));
    ASSERT_TRUE(image.save(QString::fromStdString(path), format)) << path;
}

void put16(std::string& out, std::uint16_t v)
{
    out += char(v & 0xFF);
    out += char(v >> 8);
}

void put32(std::string& out, std::uint32_t v)
{
    put16(out, std::uint16_t(v & 0xFFFF));
    put16(out, std::uint16_t(v >> 16));
}

// An uncompressed little-endian TIFF of 8-bit grey pages, 4 x 4 pixels each,
// page p filled with the grey level 40 * (p + 1). Qt's writer makes only
// single-page files.
std::string multiPageTiff(int pages)
{
    constexpr std::uint32_t kSide = 4;
    constexpr std::uint32_t kPixels = kSide * kSide;
    constexpr std::uint32_t kEntries = 9;
    constexpr std::uint32_t kIfdSize = 2 + kEntries * 12 + 4;
    std::string out = "II";
    put16(out, 42);
    put32(out, 8 + kPixels);  // each page: its pixels, then its directory
    for (int p = 0; p < pages; ++p) {
        const std::uint32_t pixels = std::uint32_t(out.size());
        out.append(kPixels, char(40 * (p + 1)));
        // The next directory follows the next page's pixels.
        const std::uint32_t next = p + 1 < pages ? pixels + kPixels + kIfdSize + kPixels : 0;
        put16(out, kEntries);
        auto entry = [&out](std::uint16_t tag, std::uint16_t type, std::uint32_t value) {
            put16(out, tag);
            put16(out, type);
            put32(out, 1);
            if (type == 3) {  // SHORT, left-aligned in the value field
                put16(out, std::uint16_t(value));
                put16(out, 0);
            } else {
                put32(out, value);
            }
        };
        entry(256, 3, kSide);                                   // ImageWidth
        entry(257, 3, kSide);                                   // ImageLength
        entry(258, 3, 8);                                       // BitsPerSample
        entry(259, 3, 1);                                       // Compression: none
        entry(262, 3, 1);                                       // Photometric: black is zero
        entry(273, 4, pixels);                                  // StripOffsets
        entry(277, 3, 1);                                       // SamplesPerPixel
        entry(278, 3, kSide);                                   // RowsPerStrip
        entry(279, 4, kPixels);                                 // StripByteCounts
        put32(out, next);
    }
    return out;
}

// A GIF of frames 1 x 1 pixel each (Qt has no GIF writer).
std::string multiFrameGif(int frames)
{
    std::string out = "GIF89a";
    put16(out, 1);  // width
    put16(out, 1);  // height
    out += std::string("\x80\x00\x00", 3);                // two-colour global table
    out += std::string("\xFF\x00\x00\x00\x00\xFF", 6);  // red, blue
    for (int f = 0; f < frames; ++f) {
        out += std::string("\x21\xF9\x04\x00\x0A\x00\x00\x00", 8);          // 0.1 s per frame
        out += std::string("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00", 10);  // the whole area
        out += std::string("\x02\x02\x44\x01\x00", 5);                        // LZW: clear, 0, end
    }
    out += char(0x3B);
    return out;
}

void setTimes(const std::string& path, time_t accessed, time_t written)
{
    struct timespec times[2] = {{accessed, 0}, {written, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Each item as "name" (page 0) or "name|page".
Names itemNames(const TVxSlideCollection& list)
{
    Names names;
    for (int i = 0; i < list.Count(); ++i) {
        const TVXSORTDATA* item = list.Item(i);
        std::string name = item->fileName;
        if (item->page != 0)
            name += "|" + std::to_string(item->page);
        names.push_back(name);
    }
    return names;
}

// Each item as "folder/name".
Names itemPaths(const TVxSlideCollection& list)
{
    Names paths;
    for (int i = 0; i < list.Count(); ++i)
        paths.push_back(std::string(list.Item(i)->folder) + "/" + list.Item(i)->fileName);
    return paths;
}

Names reversed(Names names)
{
    return Names(names.rbegin(), names.rend());
}

}  // namespace

// The fixture carries the suite's name, the name of the class under test, so
// the tests live in a namespace of their own and call the class List.
namespace slide_tests {

using List = ::TVxSlideCollection;

class TVxSlideCollection : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InitializeVX(kVxUserSlide));
        ASSERT_NE(Vxdllprocs::VXFileType, nullptr) << "the image library's modules are not built";
        ASSERT_TRUE(folder.valid());
    }
    void TearDown() override { TerminateVX(kVxUserSlide); }

    // The main window's settings over one folder.
    void mainWindowSettings(List& list, const std::string& path)
    {
        list.SetFileReadWay(vxFolder);
        list.SetSort(vxSortFileName);
        list.SetSortOrder(vxSortOrderInc);
        list.SetFileExt(kMainWindowExt);
        list.SetFilePath(path);
    }

    TempFolder folder;
};

#define SLIDE_TEST(name) TEST_F(TVxSlideCollection, name)

SLIDE_TEST(PropertyDefaultsAndSetterRules)
{
    List list;
    EXPECT_EQ(list.FileReadWay(), vxSlidefile);
    EXPECT_EQ(list.FilePath(), "");
    EXPECT_EQ(list.FileExt(), "BMP;JPG;TIF;PCX;FPX;PNG;GIF;JP2;JPC;J2K;WMF;EMF;DXF;SVG;P21;SFC");
    EXPECT_EQ(list.Sort(), vxSortNone);
    EXPECT_EQ(list.SortOrder(), vxSortOrderInc);
    EXPECT_EQ(list.SortDate(), vxSortDateLastWriteTime);
    EXPECT_EQ(list.CurrentImage(), 0);
    EXPECT_FALSE(list.Endless());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Item(0), nullptr);

    list.SetFilePath("/tmp/photos//");
    EXPECT_EQ(list.FilePath(), "/tmp/photos/");  // one delimiter dropped
    list.SetFilePath("/");
    EXPECT_EQ(list.FilePath(), "/");  // the root stays a folder
    list.SetCurrentImage(-3);
    EXPECT_EQ(list.CurrentImage(), 0);
    list.SetCurrentImage(7);
    EXPECT_EQ(list.CurrentImage(), 7);

    // Without the library nothing can be collected, and nothing crashes.
    ASSERT_TRUE(TerminateVX(kVxUserSlide));
    ASSERT_EQ(VXUserCount(), 0);
    list.SetFilePath("/tmp");
    EXPECT_FALSE(list.GetFromFolder());
    list.SetSlideFileName("/tmp/list.txt");
    EXPECT_FALSE(list.GetFromSlideFile());
    EXPECT_EQ(list.ErrorCode(), 6);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.GetNextPathName(true));
    EXPECT_EQ(list.CurrentPath(), "");
    EXPECT_TRUE(InitializeVX(kVxUserSlide));
}

SLIDE_TEST(MainWindowSettingsListEachReadableFileOnceByName)
{
    for (const char* name : {"b.jpg", "B.jpg", "a.jpg", "A.jpg", "x.jpg.jpg", "x.jpg"})
        writeImage(folder.file(name), "JPEG");
    writeImage(folder.file("c.png"));
    writeImage(folder.file("d.bmp"));
    writeImage(folder.file("e.PNG"), "PNG");     // extensions match in any letter case
    writeImage(folder.file(".hidden.jpg"), "JPEG");
    writeImage(folder.file("notes.txt"), "PNG");  // an image, but not by its extension
    writeFile(folder.file("text.jpg"), "this is not a picture\n");
    ASSERT_EQ(::mkdir(folder.file("dir.jpg").c_str(), 0755), 0);

    List list;
    mainWindowSettings(list, folder.path() + "/");
    ASSERT_TRUE(list.GetFromFolder());
    EXPECT_EQ(itemNames(list), (Names{"A.jpg", "a.jpg", "B.jpg", "b.jpg", "c.png", "d.bmp", "e.PNG", "x.jpg.jpg", "x.jpg"}));
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_STREQ(list.Item(i)->folder, folder.path().c_str());  // as collected, without the trailing "/"
        EXPECT_EQ(list.Item(i)->page, 0);
    }
    EXPECT_EQ(list.Capacity(), 10);  // the counting pass counts the hidden file too

    // Opening again replaces the list.
    ASSERT_TRUE(list.GetFromFolder());
    EXPECT_EQ(list.Count(), 9);
    list.FreeThumbDataMemory();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);
    EXPECT_EQ(list.Item(0), nullptr);
    list.FreeThumbDataMemory();  // twice is harmless
}

SLIDE_TEST(FileFoundByTwoExtensionsIsListedTwiceSideBySide)
{
    for (const char* name : {"a.png", "b.jpg", "c.png"})
        writeImage(folder.file(name));
    List list;
    mainWindowSettings(list, folder.path());
    list.SetFileExt("jpg;png;j?g");
    ASSERT_TRUE(list.GetFromFolder());
    EXPECT_EQ(itemNames(list), (Names{"a.png", "b.jpg", "b.jpg", "c.png"}));

    list.SetSort(vxSortNone);  // collection order: extension by extension
    ASSERT_TRUE(list.GetFromFolder());
    EXPECT_EQ(itemNames(list), (Names{"b.jpg", "a.png", "c.png", "b.jpg"}));
}

SLIDE_TEST(FolderWithoutReadableImagesFailsToOpen)
{
    writeImage(folder.file(".secret.jpg"), "JPEG");
    writeFile(folder.file("fake.jpg"), "plain text, not a JPEG");
    writeFile(folder.file("empty.png"), "");
    writeFile(folder.file("cut.png"), "\x89PNG\r\n");
    ASSERT_EQ(::symlink("gone.jpg", folder.file("dangling.jpg").c_str()), 0);
    List list;
    mainWindowSettings(list, folder.path());
    EXPECT_FALSE(list.GetFromFolder());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 0);

    // Neither an empty folder, a missing one, nor empty settings.
    TempFolder empty;
    list.SetFilePath(empty.path());
    EXPECT_FALSE(list.GetFromFolder());
    list.SetFilePath(folder.file("missing"));
    EXPECT_FALSE(list.GetFromFolder());
    list.SetFilePath("");
    EXPECT_FALSE(list.GetFromFolder());
    writeImage(folder.file("real.png"));
    list.SetFilePath(folder.path());
    list.SetFileExt("");
    EXPECT_FALSE(list.GetFromFolder());
    list.SetFileExt(kMainWindowExt);
    ASSERT_TRUE(list.GetFromFolder());
    EXPECT_EQ(itemNames(list), (Names{"real.png"}));
}

SLIDE_TEST(FifoNamedLikeAnImageIsSkippedWithoutWaiting)
{
    writeImage(folder.file("y.jpg"), "JPEG");
    const std::string fifo = folder.file("x.jpg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);

    List list;
    mainWindowSettings(list, folder.path());
    auto collecting = std::async(std::launch::async, [&list] { return list.GetFromFolder(); });
    if (collecting.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        // Something opened the FIFO: give it a writer so the reader returns.
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        collecting.wait();
        FAIL() << "the collection opened a FIFO";
    }
    ASSERT_TRUE(collecting.get());
    EXPECT_EQ(itemNames(list), (Names{"y.jpg"}));
}

SLIDE_TEST(FolderNameHoldingListSeparatorsIsOneFolder)
{
    TempFolder base;
    const std::string odd = base.file("a;b:c");
    ASSERT_EQ(::mkdir(odd.c_str(), 0755), 0);
    writeImage(odd + "/in.png");
    List list;
    mainWindowSettings(list, odd);
    ASSERT_TRUE(list.GetFromFolder());
    EXPECT_EQ(itemPaths(list), (Names{odd + "/in.png"}));
}

SLIDE_TEST(MultiImageFolderGivesOneItemPerPageInPageOrder)
{
    for (const std::string m : {"m.tif", "m.gif"}) {
        SCOPED_TRACE(m);
        TempFolder images;
        writeFile(images.file(m), m == "m.tif" ? multiPageTiff(3) : multiFrameGif(3));
        writeImage(images.file("a.png"));
        writeImage(images.file("n.png"));

        List list;
        mainWindowSettings(list, images.path());
        list.SetFileReadWay(vxFolderMultiImage);
        ASSERT_TRUE(list.GetFromFolder());
        EXPECT_EQ(itemNames(list), (Names{"a.png", m, m + "|1", m + "|2", "n.png"}));
        EXPECT_EQ(list.Capacity(), 5);

        list.SetSortOrder(vxSortOrderDec);
        ASSERT_TRUE(list.GetFromFolder());
        EXPECT_EQ(itemNames(list), (Names{"n.png", m + "|2", m + "|1", m, "a.png"}));

        // One item per file: the first page; the count still covers every page.
        list.SetFileReadWay(vxFolder);
        list.SetSortOrder(vxSortOrderInc);
        ASSERT_TRUE(list.GetFromFolder());
        EXPECT_EQ(itemNames(list), (Names{"a.png", m, "n.png"}));
        EXPECT_EQ(list.Capacity(), 5);
    }
}

SLIDE_TEST(CountingPassAddsPagesOfRegularFilesHiddenOnesIncluded)
{
    writeFile(folder.file("m.tif"), multiPageTiff(3));
    writeFile(folder.file("m.gif"), multiFrameGif(2));
    writeImage(folder.file("a.png"));
    writeImage(folder.file(".h.png"));
    writeFile(folder.file("t.png"), "text");
    ASSERT_EQ(::mkdir(folder.file("d.png").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo(folder.file("f.png").c_str(), 0644), 0);

    EXPECT_EQ(GetDirFileCount(folder.path(), folder.path() + "/*.png"), 2);
    EXPECT_EQ(GetDirFileCount(folder.path(), folder.path() + "/*.TIF"), 3);
    EXPECT_EQ(GetDirFileCount(folder.path(), folder.path() + "/*.gif"), 2);
    EXPECT_EQ(GetDirFileCount(folder.path(), folder.path() + "/*.bmp"), 0);
    EXPECT_EQ(GetDirFileCount(folder.file("none"), folder.file("none") + "/*.png"), 0);
}

SLIDE_TEST(OneItemIsNotSorted)
{
    writeImage(folder.file("only.png"));
    g_Sort = vxSortNone;
    List list;
    mainWindowSettings(list, folder.path());
    list.SetSort(vxSortDate);
    ASSERT_TRUE(list.GetFromFolder());
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(g_Sort, vxSortNone);  // the comparator's settings were never set up

    writeImage(folder.file("two.png"));
    ASSERT_TRUE(list.GetFromFolder());
    EXPECT_EQ(g_Sort, vxSortDate);
}

// Two folders, two extensions, and file times in an order of their own, so
// that every kind of key gives a different order.
SLIDE_TEST(EverySortKeyInBothDirections)
{
    const std::string f1 = folder.file("f1");
    const std::string f2 = folder.file("f2");
    ASSERT_EQ(::mkdir(f1.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(f2.c_str(), 0755), 0);
    struct File {
        std::string path;
        int written;   // hours after the base time
        int accessed;  // hours from now (in the future, so reading does not touch it)
    };
    const std::vector<File> files = {
        {f1 + "/b.jpg", 3, 2}, {f1 + "/c.png", 1, 6}, {f1 + "/a.png", 5, 1},
        {f2 + "/a.jpg", 2, 5}, {f2 + "/d.png", 4, 3}, {f2 + "/b.png", 0, 4},
    };
    const time_t base = 1577836800;  // 2020-01-01 00:00 UTC
    const time_t now = ::time(nullptr);
    for (const File& f : files) {
        writeImage(f.path);
        setTimes(f.path, now + f.accessed * 3600, base + f.written * 3600);
    }

    List list;
    list.SetFileReadWay(vxFolder);
    list.SetFilePath(f1 + ";" + f2);
    list.SetFileExt("png;jpg");
    auto order = [&list](TVxSort sort, TVxSortOrder direction) {
        list.SetSort(sort);
        list.SetSortOrder(direction);
        EXPECT_TRUE(list.GetFromFolder());
        return itemPaths(list);
    };
    const std::string b1 = f1 + "/b.jpg", c1 = f1 + "/c.png", a1 = f1 + "/a.png";
    const std::string a2 = f2 + "/a.jpg", d2 = f2 + "/d.png", b2 = f2 + "/b.png";
    const struct {
        TVxSort sort;
        Names increasing;
    } cases[] = {
        {vxSortFileName, {a2, a1, b1, b2, c1, d2}},
        {vxSortDate, {b2, c1, a2, b1, d2, a1}},
        {vxSortFileExtName, {a1, b2, c1, d2, a2, b1}},
        {vxSortFileExtDate, {b2, c1, d2, a1, a2, b1}},
        {vxSortDirFileName, {a1, b1, c1, a2, b2, d2}},
        {vxSortDirDate, {c1, b1, a1, b2, a2, d2}},
        {vxSortDirFileExtName, {a1, c1, b1, b2, d2, a2}},
        {vxSortDirFileExtDate, {c1, a1, b1, b2, d2, a2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(order(c.sort, vxSortOrderInc), c.increasing) << "sort kind " << int(c.sort);
        EXPECT_EQ(order(c.sort, vxSortOrderDec), reversed(c.increasing)) << "sort kind " << int(c.sort);
    }
    // Unsorted: folder by folder, extension by extension, names in byte order.
    EXPECT_EQ(order(vxSortNone, vxSortOrderInc), (Names{a1, c1, b1, b2, d2, a2}));
    EXPECT_EQ(order(vxSortNone, vxSortOrderDec), (Names{a1, c1, b1, b2, d2, a2}));

    list.SetSortDate(vxSortDateLastAccessTime);
    EXPECT_EQ(order(vxSortDate, vxSortOrderInc), (Names{a1, b1, d2, b2, a2, c1}));
    EXPECT_EQ(order(vxSortDirDate, vxSortOrderInc), (Names{a1, b1, c1, d2, b2, a2}));
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(std::strlen(list.Item(i)->dateKey), 15u);
}

// ---- the slide list file

SLIDE_TEST(SlideListReadsEveryEntryInFileOrder)
{
    writeImage(folder.file("b.png"));
    writeImage(folder.file("a.jpg"), "JPEG");
    writeImage(folder.file("t.png  "), "PNG");  // trailing blanks belong to the name
    writeFile(folder.file("m.gif"), multiFrameGif(3));
    writeFile(folder.file("text.png"), "no picture");
    const std::string b = folder.file("b.png"), a = folder.file("a.jpg"), m = folder.file("m.gif");
    const std::string list = "\n\r\n   " + b + "\r\n\t" + a + "|0\n\n" + m + "|2\r" + folder.file("t.png  ") + "\n" +
        folder.file("text.png") + "\n" + folder.file("missing.png") + "\n" + m + "|7\n" + m + "|65536\n" +
        "   \n" + b;  // the last line has no line break
    writeFile(folder.file("slides.txt"), list);

    List slides;
    slides.SetSort(vxSortFileName);  // a slide list keeps the file's order
    slides.SetSlideFileName(folder.file("slides.txt"));
    ASSERT_TRUE(slides.GetFromSlideFile());
    EXPECT_EQ(slides.ErrorCode(), 0);
    EXPECT_EQ(itemNames(slides), (Names{"b.png", "a.jpg", "m.gif|2", "t.png  ", "b.png"}));
    for (int i = 0; i < slides.Count(); ++i)
        EXPECT_STREQ(slides.Item(i)->folder, folder.path().c_str());
    EXPECT_EQ(slides.Capacity(), 5000);
}

// Entries are taken as they stand: a relative one from the working folder.
SLIDE_TEST(SlideListEntriesInUtf8AndRelativeToTheWorkingFolder)
{
    writeImage(folder.file("写真.png"), "PNG");
    writeImage(folder.file("é.jpg"), "JPEG");
    writeFile(folder.file("slides.txt"), "写真.png\n \té.jpg\r\n" + folder.file("写真.png") + "\n");
    char* previous = ::getcwd(nullptr, 0);
    ASSERT_NE(previous, nullptr);
    ASSERT_EQ(::chdir(folder.path().c_str()), 0);
    List slides;
    slides.SetSlideFileName("slides.txt");
    const bool read = slides.GetFromSlideFile();
    EXPECT_EQ(::chdir(previous), 0);
    std::free(previous);
    ASSERT_TRUE(read);
    EXPECT_EQ(itemNames(slides), (Names{"写真.png", "é.jpg", "写真.png"}));
    EXPECT_TRUE(slides.GetTopPathName());
    EXPECT_EQ(slides.CurrentPath(), "写真.png");
    EXPECT_TRUE(slides.GetEndPathName());
    EXPECT_EQ(slides.CurrentPath(), folder.file("写真.png"));
}

SLIDE_TEST(SlideListEndsAtByte1A)
{
    writeImage(folder.file("a.png"));
    writeImage(folder.file("b.png"));
    List slides;
    slides.SetSlideFileName(folder.file("slides.txt"));

    writeFile(folder.file("slides.txt"), folder.file("a.png") + "\n" + folder.file("b.png") + "\x1A\n" +
                                             folder.file("a.png") + "\n");
    ASSERT_TRUE(slides.GetFromSlideFile());
    EXPECT_EQ(itemNames(slides), (Names{"a.png", "b.png"}));

    writeFile(folder.file("slides.txt"), std::string("\x1A") + folder.file("a.png") + "\n");
    ASSERT_TRUE(slides.GetFromSlideFile());  // an empty list is read, not refused
    EXPECT_EQ(slides.Count(), 0);
    EXPECT_FALSE(slides.GetNextPathName(false));
    EXPECT_FALSE(slides.GetEndPathName());
    EXPECT_EQ(slides.CurrentPath(), "");
    EXPECT_EQ(slides.CurrentImage(), 0);

    // A NUL byte inside a line makes it no path at all.
    writeFile(folder.file("slides.txt"), folder.file("a.png") + std::string("\0x", 2) + "\n" + folder.file("b.png"));
    ASSERT_TRUE(slides.GetFromSlideFile());
    EXPECT_EQ(itemNames(slides), (Names{"b.png"}));
}

// A UTF-8 byte-order mark at the start of the list is no part of the first
// entry, in whatever blocks the bytes arrive; elsewhere, or cut short, its
// bytes are text.
SLIDE_TEST(SlideListSkipsALeadingByteOrderMark)
{
    writeImage(folder.file("a.png"));
    writeImage(folder.file("b.png"));
    const std::string bom = "\xEF\xBB\xBF";
    writeFile(folder.file("slides.txt"), bom + folder.file("a.png") + "\r\n" + bom + folder.file("b.png") + "\n" +
                                             folder.file("b.png"));
    List slides;
    slides.SetSlideFileName(folder.file("slides.txt"));
    ASSERT_TRUE(slides.GetFromSlideFile());
    EXPECT_EQ(itemNames(slides), (Names{"a.png", "b.png"}));

    const struct {
        std::string text;
        Names entries;
    } cases[] = {
        {bom + "a\nb", {"a", "b"}},
        {bom + " \n\ta", {"a"}},
        {bom, {}},
        {"\xEF\xBB" + std::string("a\n") + bom, {"\xEF\xBB" "a", bom}},
        {"\xEF\xBB", {"\xEF\xBB"}},
        {"a" + bom, {"a" + bom}},
    };
    for (const auto& c : cases) {
        for (const std::size_t block : {c.text.size() + 1, std::size_t(1), std::size_t(2)}) {
            Names entries;
            TSlideListReader reader([&entries](std::string_view entry) {
                entries.emplace_back(entry);
                return true;
            });
            for (std::size_t at = 0; at < c.text.size(); at += block)
                reader.Read(c.text.data() + at, std::min(block, c.text.size() - at));
            reader.Finish();
            EXPECT_EQ(entries, c.entries) << c.text << " in blocks of " << block;
        }
    }
}

SLIDE_TEST(SlideListStopsAt5000Items)
{
    writeImage(folder.file("a.png"));
    writeImage(folder.file("b.png"));
    std::string text;
    for (int i = 0; i < 5001; ++i)
        text += folder.file(i < 5000 ? "a.png" : "b.png") + "\n";
    writeFile(folder.file("slides.txt"), text);
    List slides;
    slides.SetSlideFileName(folder.file("slides.txt"));
    ASSERT_TRUE(slides.GetFromSlideFile());
    EXPECT_EQ(slides.Count(), 5000);
    EXPECT_STREQ(slides.Item(4999)->fileName, "a.png");
}

SLIDE_TEST(SlideListErrorCodes)
{
    List slides;
    EXPECT_FALSE(slides.GetFromSlideFile());
    EXPECT_EQ(slides.ErrorCode(), 5);  // no file name

    slides.SetSlideFileName(folder.file("missing.txt"));
    EXPECT_FALSE(slides.GetFromSlideFile());
    EXPECT_EQ(slides.ErrorCode(), 16);
    slides.SetSlideFileName(folder.path());  // a folder is no list file
    EXPECT_FALSE(slides.GetFromSlideFile());
    EXPECT_EQ(slides.ErrorCode(), 16);

    // A FIFO is refused instead of waiting for a writer.
    const std::string fifo = folder.file("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    slides.SetSlideFileName(fifo);
    auto reading = std::async(std::launch::async, [&slides] { return slides.GetFromSlideFile(); });
    if (reading.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        reading.wait();
        FAIL() << "the slide list reader opened a FIFO";
    }
    EXPECT_FALSE(reading.get());
    EXPECT_EQ(slides.ErrorCode(), 16);  // not a data file
    EXPECT_EQ(slides.Count(), 0);

    // A file that opens but cannot be read (its first bytes are unmapped
    // memory) is an unreadable list, not a crash or an empty success.
    slides.SetSlideFileName("/proc/self/mem");
    EXPECT_FALSE(slides.GetFromSlideFile());
    EXPECT_EQ(slides.ErrorCode(), 6);
    EXPECT_EQ(slides.Count(), 0);

    writeImage(folder.file("a.png"));
    writeFile(folder.file("slides.txt"), folder.file("a.png"));
    slides.SetSlideFileName(folder.file("slides.txt"));
    ASSERT_TRUE(slides.GetFromSlideFile());
    EXPECT_EQ(slides.ErrorCode(), 0);
}

// ---- the cursor

SLIDE_TEST(CursorStopsAtTheEndsOrWrapsWhenEndless)
{
    for (const char* name : {"a.png", "b.png", "c.png", "d.png", "e.png"})
        writeImage(folder.file(name));
    List list;
    mainWindowSettings(list, folder.path());
    ASSERT_TRUE(list.GetFromFolder());
    ASSERT_EQ(list.Count(), 5);
    const std::string first = folder.file("a.png");
    const std::string last = folder.file("e.png");

    list.SetCurrentImage(7);
    EXPECT_TRUE(list.GetNextPathName(false));
    EXPECT_EQ(list.CurrentImage(), 4);
    EXPECT_EQ(list.CurrentPath(), last);
    EXPECT_TRUE(list.GetNextPathName(true));
    EXPECT_EQ(list.CurrentImage(), 4);
    EXPECT_TRUE(list.GetTopPathName());
    EXPECT_EQ(list.CurrentPath(), first);
    EXPECT_TRUE(list.GetPrevPathName());
    EXPECT_EQ(list.CurrentImage(), 0);
    EXPECT_EQ(list.CurrentPath(), first);
    EXPECT_TRUE(list.GetNextPathName(true));
    EXPECT_EQ(list.CurrentPath(), folder.file("b.png"));

    list.SetEndless(true);
    list.SetCurrentImage(7);
    EXPECT_TRUE(list.GetNextPathName(false));
    EXPECT_EQ(list.CurrentImage(), 0);
    EXPECT_EQ(list.CurrentPath(), first);
    EXPECT_TRUE(list.GetPrevPathName());
    EXPECT_EQ(list.CurrentImage(), 4);
    EXPECT_EQ(list.CurrentPath(), last);
    EXPECT_TRUE(list.GetNextPathName(true));
    EXPECT_EQ(list.CurrentImage(), 0);
    EXPECT_TRUE(list.GetEndPathName());
    EXPECT_EQ(list.CurrentImage(), 4);
    EXPECT_EQ(list.CurrentPath(), last);

    list.SetCurrentImage(INT_MAX);  // no overflow past the largest index
    EXPECT_TRUE(list.GetNextPathName(true));
    EXPECT_EQ(list.CurrentImage(), 0);
}

}  // namespace slide_tests

// ---- the record sort

namespace {

struct Tagged {
    int key;
    char tag;
};

int byKey(const void* a, const void* b)
{
    const int x = static_cast<const Tagged*>(a)->key;
    const int y = static_cast<const Tagged*>(b)->key;
    return x < y ? -1 : (x > y ? 1 : 0);
}

std::string tagsOf(const std::vector<Tagged>& records)
{
    std::string tags;
    for (const Tagged& r : records)
        tags += r.tag;
    return tags;
}

}  // namespace

TEST(Vxutils, QSortLeavesEqualKeysInItsOwnOrder)
{
    // Worked by hand: pivot (2,c) swaps a/e and c/d; the left part [e b d]
    // with pivot b swaps e/d; the right part [c a] swaps itself.
    std::vector<Tagged> records = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}, {2, 'e'}};
    QSort(records.data(), int(records.size()), int(sizeof(Tagged)), byKey);
    EXPECT_EQ(tagsOf(records), "dbeac");

    // Fewer than two records, or nothing to sort: untouched.
    std::vector<Tagged> one = {{5, 'x'}};
    QSort(one.data(), 1, int(sizeof(Tagged)), byKey);
    QSort(one.data(), 0, int(sizeof(Tagged)), byKey);
    QSort(nullptr, 3, int(sizeof(Tagged)), byKey);
    EXPECT_EQ(tagsOf(one), "x");
}

TEST(Vxutils, QSortSortsRandomRecordsWithManyEqualKeys)
{
    std::mt19937 random(11);
    for (int count : {2, 3, 17, 1000}) {
        std::vector<Tagged> records;
        for (int i = 0; i < count; ++i)
            records.push_back({int(random() % 7), char('!' + i % 90)});
        std::vector<std::pair<int, char>> before;
        for (const Tagged& r : records)
            before.emplace_back(r.key, r.tag);
        QSort(records.data(), count, int(sizeof(Tagged)), byKey);
        std::vector<std::pair<int, char>> after;
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (i > 0) {
                EXPECT_LE(records[i - 1].key, records[i].key) << "at " << i << " of " << count;
            }
            after.emplace_back(records[i].key, records[i].tag);
        }
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(before, after) << "records lost or duplicated, count " << count;
    }
}
