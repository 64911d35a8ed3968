// The main window under a real X server with openbox, driven by real input:
// its start, dragging, closing, and a sorting session with the keys.
#include "Application.h"
#include "Clearctrl.h"
#include "ExBrowseEdit.h"
#include "FadeButton.h"
#include "FileListBox.h"
#include "Label.h"
#include "Mainwindow1.h"
#include "RadioButton.h"
#include "RealInput.h"
#include "RecordingOpener.h"
#include "SpeedButton.h"
#include "TestFiles.h"
#include "Paths.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <X11/keysym.h>

#include <memory>

using testfiles::exists;
using testfiles::readFile;
using testfiles::TempFolder;
using testfiles::writeFile;

namespace {

void picture(const std::string& path, QRgb colour)
{
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(colour);
    for (int y = 0; y < image.height(); y += 8)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, 128));
    ASSERT_TRUE(image.save(QString::fromStdString(path))) << path;
}

// A source folder of pictures, three slot folders and the settings naming
// them, and the window opened on them as the program opens it.
struct Session {
    TempFolder source, one, three, seven, settingsFolder;
    std::unique_ptr<TApplication> application;
    std::unique_ptr<TMainForm1> window;

    void open(const std::string& settings)
    {
        writeFile(settingsFolder.file("Pictal.ini"), settings);
        application = std::make_unique<TApplication>();
        window = std::make_unique<TMainForm1>();
        window->SetSettingsFile(settingsFolder.file("Pictal.ini"));
        application->SetMainForm(window.get());
        window->FormCreate();
        window->show();
        window->activateWindow();
        realinput::settle(800);
    }
    void openWithSlots()
    {
        for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
            picture(source.file(name), qRgb(200, 40, 40));
        open("[SET]\nM_TOP=40\nM_LEFT=60\n[SET1]\nMODE1=1\nMODE2=0\nLIST00=" + source.path() +
             "\nLIST01=" + one.path() + "\nLIST03=" + three.path() + "\nLIST07=" + seven.path() + "\n");
    }
    ~Session()
    {
        window.reset();
        application.reset();
    }
    std::string selected() const
    {
        const TFileListBox& list = *window->FileListBox1;
        return list.ItemIndex() < 0 ? std::string() : list.Item(list.ItemIndex());
    }
};

}  // namespace

TEST(TMainForm1, OpensBorderlessWithTheListFocusedAndOnlyExistingSlotsEnabled)
{
    ASSERT_TRUE(realinput::available());
    Session s;
    s.openWithSlots();
    TMainForm1& w = *s.window;
    EXPECT_EQ(w.width(), 796);
    EXPECT_EQ(w.height(), 704);
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(QApplication::focusWidget(), w.FileListBox1);
    EXPECT_TRUE(w.RadioButton1->isChecked());
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const bool set = slot == 1 || slot == 3 || slot == 7;
        EXPECT_EQ(w.ClearButtons[std::size_t(slot - 1)]->isEnabled(), set) << "slot " << slot;
        EXPECT_EQ(w.Labels[std::size_t(slot - 1)]->Caption().empty(), !set) << "slot " << slot;
    }
    EXPECT_EQ(w.Labels[2]->Caption(), LastPathComponent(s.three.path()));
    EXPECT_EQ(w.ClearButtons[8]->geometry(), QRect(434, 18 + 8 * 76, 46, 50)) << "the stored size, not an automatic one";
    EXPECT_EQ(s.selected(), "a.png");

    // For a person to look at: the window after start.
    const QString shot = QCoreApplication::applicationDirPath() + "/main-window.png";
    const QPixmap screen = QApplication::primaryScreen()->grabWindow(w.winId());
    EXPECT_TRUE(screen.save(shot)) << shot.toStdString();
}

TEST(TMainForm1, TheStripDragsTheWindowAndTheWorkPanelDoesNot)
{
    ASSERT_TRUE(realinput::available());
    Session s;
    s.openWithSlots();
    TMainForm1& w = *s.window;
    auto drag = [&](QPoint from) {
        const QPoint start = w.mapToGlobal(from);
        realinput::moveTo(start);
        realinput::press(Qt::LeftButton);
        realinput::settle(300);  // the window manager takes the move over
        for (int step = 1; step <= 8; ++step)
            realinput::moveTo(start + QPoint(10 * step, 5 * step));
        realinput::settle(300);
        realinput::release(Qt::LeftButton);
        realinput::settle(500);
    };
    const QPoint before = w.geometry().topLeft();
    drag(QPoint(40, 600));  // the format list on the strip
    realinput::waitUntil([&] { return w.geometry().topLeft() - before == QPoint(80, 40); });
    EXPECT_EQ(w.geometry().topLeft() - before, QPoint(80, 40));

    const QPoint moved = w.geometry().topLeft();
    drag(QPoint(60 + 400, 2 + 600));  // the work panel's background
    EXPECT_EQ(w.geometry().topLeft(), moved);
}

TEST(TMainForm1, KeysSortTheShownFile)
{
    ASSERT_TRUE(realinput::available());
    Session s;
    s.openWithSlots();
    TMainForm1& w = *s.window;
    ASSERT_EQ(s.selected(), "a.png");

    realinput::key(XK_F3);  // slot 3: a folder
    realinput::waitUntil([&] { return s.selected() == "b.png"; });
    EXPECT_TRUE(exists(s.three.file("a.png")));
    EXPECT_FALSE(exists(s.source.file("a.png")));
    EXPECT_EQ(s.selected(), "b.png");
    EXPECT_EQ(w.Label0->Caption(), s.source.file("b.png")) << "list, viewer and current file agree";

    realinput::key(XK_F2);  // slot 2: no path
    realinput::key(XK_5);   // the digit row: type-ahead, no dispatch
    EXPECT_TRUE(exists(s.source.file("b.png")));

    realinput::key(XK_F1, XK_Shift_L);  // Shift+F1 acts as F1
    realinput::waitUntil([&] { return exists(s.one.file("b.png")); });
    EXPECT_TRUE(exists(s.one.file("b.png")));
    realinput::key(XK_KP_7);  // Num Lock is off: Home, no dispatch to slot 7
    EXPECT_TRUE(exists(s.source.file("c.png")));
    EXPECT_FALSE(exists(s.seven.file("c.png")));
    // The "0" button, where an arrow crosses it: the next file.
    realinput::click(w.SpeedButton1->mapToGlobal(QPoint(23, 10)));
    realinput::waitUntil([&] { return s.selected() == "d.png"; });
    EXPECT_EQ(s.selected(), "d.png");
    EXPECT_EQ(w.Label0->Caption(), s.source.file("d.png"));
    w.FileListBox1->SetItemIndex(0);
    w.FileListBox1->setFocus();
    realinput::key(XK_space);  // the next file by its key
    realinput::waitUntil([&] { return s.selected() == "d.png"; });
    EXPECT_EQ(s.selected(), "d.png");

    // Space in a slot's edit: the next file, and a blank typed into the path.
    w.BrowseEdits[4]->setFocus();
    realinput::settle(100);
    realinput::key(XK_space);
    realinput::waitUntil([&] { return w.BrowseEdits[4]->Path() == " "; });
    EXPECT_EQ(w.BrowseEdits[4]->Path(), " ");
}

TEST(TMainForm1, ClosingWithTheButtonOrAltF4WritesTheSettingsAndSortsNothing)
{
    ASSERT_TRUE(realinput::available());
    for (const bool altF4 : {false, true}) {
        SCOPED_TRACE(altF4 ? "Alt+F4" : "the close button");
        Session s;
        s.openWithSlots();
        TMainForm1& w = *s.window;
        w.BrowseEdits[3]->SetPath(s.seven.path());  // slot 4 names a folder now
        const std::string shown = w.Label0->Caption();
        if (altF4)
            realinput::key(XK_F4, XK_Alt_L);
        else
            realinput::click(w.FadeButton3->mapToGlobal(QPoint(8, 9)));
        realinput::waitUntil([&] { return !w.isVisible(); });
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(exists(shown)) << "closing never moves a file";
        const std::string settings = readFile(s.settingsFolder.file("Pictal.ini"));
        EXPECT_NE(settings.find("LIST00=" + s.source.path()), std::string::npos);
        EXPECT_NE(settings.find("LIST04=" + s.seven.path()), std::string::npos);
    }
}

TEST(TMainForm1, TheStripButtonsOpenTheUserGuideAndTheInformationPage)
{
    ASSERT_TRUE(realinput::available());
    Session s;
    s.openWithSlots();
    TMainForm1& w = *s.window;
    {
        RecordingOpener opener;
        realinput::click(w.FadeButton1->mapToGlobal(QPoint(8, 9)));
        EXPECT_EQ(opener.waitForLog(), w.ProgramFolder() + "/Readme.txt\n");
    }
    {
        RecordingOpener opener;
        realinput::click(w.FadeButton4->mapToGlobal(QPoint(8, 9)));
        EXPECT_EQ(opener.waitForLog(), "https://pictal.github.io/info.php?pf=w&sn=xtest_TMainForm1\n");
    }
    EXPECT_EQ(TMainForm1::InformationAddress("/opt/Pictal.exe"), "https://pictal.github.io/info.php?pf=w&sn=Pictal");
}
