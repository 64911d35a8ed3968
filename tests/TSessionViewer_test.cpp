// The sorting session over the real file list and the real slide viewer: the
// selected entry and the image on display name the same file after every
// operation, with files in the folder that only one side could list.
#include "FileListBox.h"
#include "SessionViewer.h"
#include "SortingSession.h"
#include "TestFiles.h"
#include "TransferMode.h"
#include "Vxslide.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <array>
#include <sys/stat.h>

namespace {

using testfiles::TempFolder;

class RealControls : public TSessionControls {
public:
    RealControls() : viewer(nullptr, &window), adapter(viewer)
    {
        window.resize(400, 300);
        viewer.SetBounds(10, 10, 320, 240);
        viewer.SetScrollDir(vxNormal);  // no slide-in: the test is about which file, not how
        ConfigureSessionViewer(viewer);
        ConfigureSessionFileList(list);
        viewer.OnStartSlide = [this](TObject*, std::int16_t, const std::string& pathName, const std::string& fileName) {
            shown = fileName;
            session.VxSlide1StartSlide(0, pathName, fileName);
        };
        window.show();
    }

    std::string FolderName() override { return folder; }
    void SelectFolder(const std::string& path) override { folder = path; }
    TFileListBox& FileList() override { return list; }
    ISessionViewer& Viewer() override { return adapter; }
    TTransferMode& Mode() override { return mode; }
    std::string SlotPath(int slot) override { return slotPaths.at(std::size_t(slot - 1)); }
    void SetSlotLabel(int, const std::string&) override {}
    void SetSlotEnabled(int, bool) override {}
    std::string CurrentFilePath() override { return current; }
    void SetCurrentFilePath(const std::string& path) override { current = path; }
    void RepaintWindow() override { window.repaint(); }

    std::string Selected() const { return list.ItemIndex() < 0 ? std::string() : list.Item(list.ItemIndex()); }

    QWidget window;
    TFileListBox list;
    TVxSlide viewer;
    TSessionViewer adapter;
    TTransferMode mode;
    std::string folder;
    std::array<std::string, kSlotCount> slotPaths{};
    std::string current = kNoCurrentFile;
    std::string shown;
    TSortingSession session{*this};
};

void picture(const TempFolder& folder, const std::string& name, const char* format, QRgb colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(folder.file(name)), format)) << name;
}

}  // namespace

TEST(TSessionViewer, ListAndViewerNameTheSameFileThroughAWholeSortingRun)
{
    TempFolder source, kept, copies;
    picture(source, "A.png", "PNG", qRgb(200, 0, 0));
    picture(source, "b.jpg", "JPEG", qRgb(0, 200, 0));
    picture(source, "B.bmp", "BMP", qRgb(0, 0, 200));
    picture(source, "c.png", "PNG", qRgb(90, 90, 90));
    picture(source, "c.png.png", "PNG", qRgb(10, 10, 10));
    picture(source, "d.tif", "TIFF", qRgb(50, 150, 250));
    picture(source, ".hidden.png", "PNG", qRgb(1, 2, 3));                 // hidden: neither side lists it
    testfiles::writeFile(source.file("broken.jpg"), "no picture here");  // the library refuses it
    testfiles::writeFile(source.file("drawing.wmf"), "\xD7\xCD\xC6\x9A");  // a format not read yet
    ASSERT_EQ(::mkfifo(source.file("pipe.jpg").c_str(), 0644), 0);        // never opened

    RealControls rig;
    auto inStep = [&rig, &source](const char* when) {
        SCOPED_TRACE(when);
        ASSERT_FALSE(rig.Selected().empty());
        EXPECT_EQ(rig.Selected(), rig.shown);
        EXPECT_EQ(rig.current, source.path() + "/" + rig.shown);
    };

    rig.folder = source.path();
    rig.session.FolderTreeView0Change();
    ASSERT_EQ(rig.list.Count(), 6) << "only the six pictures the library reads";
    EXPECT_EQ(rig.list.Item(0), "A.png");
    inStep("folder change");

    rig.list.SetItemIndex(3);
    rig.session.FileListBox1Click();
    inStep("click");

    rig.session.SpeedButton1Click();
    inStep("next");

    rig.slotPaths[0] = kept.path();
    rig.slotPaths[1] = copies.path();
    const std::string moving = rig.shown;
    rig.session.DispatchToSlot(1);
    EXPECT_TRUE(testfiles::exists(kept.file(moving)));
    inStep("move");

    rig.mode.SetCopyFlag(true);
    const std::string copying = rig.shown;
    rig.session.DispatchToSlot(2);
    EXPECT_TRUE(testfiles::exists(copies.file(copying)));
    inStep("copy");

    rig.mode.SetMoveFlag(true);
    while (rig.list.Count() > 1) {
        rig.list.SetItemIndex(rig.list.Count() - 1);
        rig.session.FileListBox1Click();
        inStep("click on the last entry");
        rig.session.DispatchToSlot(1);
        inStep("move of the last entry");
    }
    rig.session.DispatchToSlot(1);
    EXPECT_EQ(rig.list.Count(), 0);
    EXPECT_TRUE(testfiles::exists(source.file("broken.jpg"))) << "files the session does not list stay where they are";
    EXPECT_TRUE(testfiles::exists(source.file(".hidden.png")));
}

TEST(TSessionViewer, AFileTheViewerCannotShowIsStillTheFileADispatchSends)
{
    TempFolder source, kept;
    picture(source, "a.png", "PNG", qRgb(200, 0, 0));
    picture(source, "c.png", "PNG", qRgb(0, 0, 200));
    // Its header is whole, its data cut short: listed, but not shown.
    QImage noise(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb((x * 37 + y * 11) & 0xFF, (x * y) & 0xFF, (x ^ y) & 0xFF));
    ASSERT_TRUE(noise.save(QString::fromStdString(source.file("b.png")), "PNG"));
    const std::string whole = testfiles::readFile(source.file("b.png"));
    testfiles::writeFile(source.file("b.png"), whole.substr(0, whole.size() / 3));

    RealControls rig;
    rig.folder = source.path();
    rig.session.FolderTreeView0Change();
    ASSERT_EQ(rig.list.Count(), 3);

    rig.session.SpeedButton1Click();
    EXPECT_EQ(rig.Selected(), "b.png");
    EXPECT_EQ(rig.current, source.file("b.png")) << "next: the current file is the entry the list shows";

    rig.list.SetItemIndex(2);
    rig.session.FileListBox1Click();
    EXPECT_EQ(rig.current, source.file("c.png"));
    rig.list.SetItemIndex(1);
    rig.session.FileListBox1Click();
    EXPECT_EQ(rig.current, source.file("b.png")) << "click: the same";

    rig.slotPaths[0] = kept.path();
    rig.session.DispatchToSlot(1);
    EXPECT_TRUE(testfiles::exists(kept.file("b.png")));
    EXPECT_FALSE(testfiles::exists(kept.file("a.png")));
    EXPECT_TRUE(testfiles::exists(source.file("a.png")));
    EXPECT_EQ(rig.Selected(), "c.png");
    EXPECT_EQ(rig.current, source.file("c.png"));
}
