// Reading a folder again after changes: the file list and the slide
// collection redo only the names the kernel reports, and end up exactly as a
// whole reading of the folder would.
#include "FolderChanges.h"

#include "FileListBox.h"
#include "SlideCollection.h"
#include "SortingSession.h"
#include "TestFiles.h"
#include "Vxdllprocs.h"
#include "Vxinit.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Names = std::vector<std::string>;

const char* const kExtensions = "bmp;jpg;jpeg;j2k;jp2;gif;tif;tiff;pcx;fpx;png;wmf;emf";

void writeImage(const std::string& path, int shade)
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(qRgb(shade, 40, 90));
    ASSERT_TRUE(image.save(QString::fromStdString(path))) << path;
}

Names listed(const TFileListBox& list)
{
    Names names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Item(i));
    return names;
}

Names collected(const TVxSlideCollection& collection)
{
    Names names;
    for (int i = 0; i < collection.Count(); ++i)
        names.push_back(collection.Item(i)->fileName);
    return names;
}

void configure(TVxSlideCollection& collection, const std::string& folder)
{
    collection.SetFileReadWay(vxFolder);
    collection.SetFileExt(kExtensions);
    collection.SetSort(vxSortFileName);
    collection.SetSortOrder(vxSortOrderInc);
    collection.SetFilePath(folder);
}

class FolderChanges : public ::testing::Test {
public:  // the steps below change the folders through the fixture
    void SetUp() override
    {
        ASSERT_TRUE(InitializeVX(kVxUserSlide));
        ASSERT_NE(Vxdllprocs::VXFileType, nullptr) << "the image library's modules are not built";
        ::mkdir(source.c_str(), 0755);
        ::mkdir(other.c_str(), 0755);
        for (int i = 1; i <= 12; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "p%02d.png", i);
            writeImage(in(name), i * 20);
        }
        writeImage(in("Mixed.JPG"), 7);
        testfiles::writeFile(in("notes.txt"), "text");
    }
    void TearDown() override { TerminateVX(kVxUserSlide); }

    std::string in(const std::string& name) const { return source + "/" + name; }

    testfiles::TempFolder root;
    std::string source = root.file("source");
    std::string other = root.file("other");
};

struct Step {
    const char* what;
    std::function<void(const FolderChanges&)> change;
    int filterCalls;  // the names the list asks its filter about; -1: a whole reading
};

TEST_F(FolderChanges, ListAndCollectionAfterChangesEqualAWholeReading)
{
    const auto move = [](const std::string& from, const std::string& to) {
        ASSERT_EQ(std::rename(from.c_str(), to.c_str()), 0) << from;
    };
    const std::vector<Step> steps = {
        {"a file moved away", [&](const FolderChanges& f) { move(f.in("p03.png"), f.other + "/p03.png"); }, 0},
        {"a file copied in",
         [](const FolderChanges& f) { testfiles::writeFile(f.in("zz.png"), testfiles::readFile(f.other + "/p03.png")); }, 1},
        {"a file removed by another program", [](const FolderChanges& f) { ::unlink(f.in("p07.png").c_str()); }, 0},
        {"a file added by another program", [](const FolderChanges& f) { writeImage(f.in("p05b.png"), 3); }, 1},
        {"a file renamed in the folder", [&](const FolderChanges& f) { move(f.in("p01.png"), f.in("q01.png")); }, 1},
        {"an image overwritten with text", [](const FolderChanges& f) { testfiles::writeFile(f.in("p02.png"), "junk"); }, 1},
        {"a hidden image and a folder", [](const FolderChanges& f) {
             writeImage(f.in(".h.png"), 5);
             ::mkdir(f.in("dir.png").c_str(), 0755);
         }, 1},
        {"the moved file back, a second one away", [&](const FolderChanges& f) {
             move(f.other + "/p03.png", f.in("p03.png"));
             move(f.in("p04.png"), f.other + "/p04.png");
         }, 1},
        {"a name differing from another in letter case", [](const FolderChanges& f) { writeImage(f.in("P05.png"), 9); }, 1},
        {"a link to an image added", [](const FolderChanges& f) {
             writeImage(f.other + "/target.png", 4);
             ASSERT_EQ(::symlink((f.other + "/target.png").c_str(), f.in("link.png").c_str()), 0);
         }, -1},
        {"the link's target removed elsewhere", [](const FolderChanges& f) { ::unlink((f.other + "/target.png").c_str()); }, -1},
        {"the folder's own permissions changed", [](const FolderChanges& f) { ::chmod(f.source.c_str(), 0700); }, -1},
        {"the folder replaced", [&](const FolderChanges& f) {
             move(f.source, f.root.file("source.old"));
             ::mkdir(f.source.c_str(), 0755);
             for (const char* name : {"new1.png", "new2.png", "new3.png"})
                 writeImage(f.in(name), 1);
         }, -1},
    };

    int filterCalls = 0;
    TFileListBox list;
    ConfigureSessionFileList(list);
    list.SetFilter([&filterCalls](const std::string& folder, const WIN32_FIND_DATAA& entry) {
        ++filterCalls;
        return IsSessionFile(folder, entry);
    });
    list.SetDirectory(source);
    TVxSlideCollection collection;
    configure(collection, source);
    ASSERT_TRUE(collection.GetFromFolder());
    ASSERT_EQ(listed(list), collected(collection));

    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change(*this);
        filterCalls = 0;
        list.Update();
        const int asked = filterCalls;
        collection.FreeThumbDataMemory();  // as the viewer's Close
        ASSERT_TRUE(collection.GetFromFolder());

        TFileListBox whole;
        ConfigureSessionFileList(whole);
        whole.SetDirectory(source);
        TVxSlideCollection wholeCollection;
        configure(wholeCollection, source);
        ASSERT_TRUE(wholeCollection.GetFromFolder());
        EXPECT_EQ(listed(list), listed(whole));
        EXPECT_EQ(collected(collection), collected(wholeCollection));
        EXPECT_EQ(listed(list), collected(collection)) << "entry i and image i name the same file";
        EXPECT_EQ(list.ItemIndex(), -1);
        if (step.filterCalls >= 0)
            EXPECT_EQ(asked, step.filterCalls) << "only the changed names were examined again";
        else
            EXPECT_GT(asked, 2) << "the whole folder was read";
    }
}

}  // namespace
