// Undo and redo in the main window under a real X server, by real keys: in
// the file list and on a radio button they act on the last dispatch, in a
// slot's edit they stay the edit's own text undo; a refused undo is shown in
// the exception box.
#include "Application.h"
#include "ExBrowseEdit.h"
#include "FileListBox.h"
#include "Label.h"
#include "Mainwindow1.h"
#include "RadioButton.h"
#include "RealInput.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTimer>

#include <X11/keysym.h>

#include <algorithm>
#include <memory>

using testfiles::exists;
using testfiles::TempFolder;
using testfiles::writeFile;

TEST(TMainForm1, CtrlZAndCtrlYUndoAndRedoTheLastDispatchOutsideTheSlotEdits)
{
    ASSERT_TRUE(realinput::available());
    TempFolder source, one, settings;
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(qRgb(200, 40, 40));
        ASSERT_TRUE(image.save(QString::fromStdString(source.file(name))));
    }
    writeFile(settings.file("Pictal.ini"),
              "[SET1]\nMODE1=1\nMODE2=0\nLIST00=" + source.path() + "\nLIST01=" + one.path() + "\n");
    auto application = std::make_unique<TApplication>();
    auto window = std::make_unique<TMainForm1>();
    TMainForm1& w = *window;
    w.SetSettingsFile(settings.file("Pictal.ini"));
    application->SetMainForm(&w);
    w.FormCreate();
    w.show();
    w.activateWindow();
    realinput::settle(800);
    auto selected = [&] { return w.FileListBox1->Item(std::max(0, w.FileListBox1->ItemIndex())); };
    ASSERT_EQ(selected(), "a.png");

    // In the file list.
    realinput::key(XK_F1);
    realinput::waitUntil([&] { return exists(one.file("a.png")); });
    realinput::key(XK_z, XK_Control_L);
    realinput::waitUntil([&] { return exists(source.file("a.png")); });
    EXPECT_FALSE(exists(one.file("a.png")));
    EXPECT_EQ(selected(), "a.png");
    EXPECT_EQ(w.Label0->Caption(), source.file("a.png")) << "the viewer shows the file again";
    realinput::key(XK_y, XK_Control_L);
    realinput::waitUntil([&] { return exists(one.file("a.png")); });
    EXPECT_FALSE(exists(source.file("a.png")));
    EXPECT_EQ(selected(), "b.png");

    // In a slot's edit the keys undo the typing, not the dispatch.
    w.BrowseEdits[4]->setFocus();
    realinput::settle(100);
    realinput::key(XK_x);
    realinput::waitUntil([&] { return w.BrowseEdits[4]->Path() == "x"; });
    realinput::key(XK_z, XK_Control_L);
    EXPECT_TRUE(realinput::waitUntil([&] { return w.BrowseEdits[4]->Path().empty(); }));
    EXPECT_TRUE(exists(one.file("a.png")));

    // On a radio button, an undo that is not safe: the box says why.
    w.RadioButton1->setFocus();
    realinput::settle(100);
    writeFile(one.file("a.png"), "changed since");
    std::string shown;
    QTimer poll;  // the box runs its own loop
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text().toStdString();
            box->accept();
        }
    });
    poll.start(50);
    realinput::key(XK_z, XK_Control_L);
    realinput::waitUntil([&] { return !shown.empty(); });
    EXPECT_EQ(shown, QCoreApplication::translate("TUndoHistory", "%1 は振り分けの後に変更されたため、元に戻せません。")
                         .arg(QString::fromStdString(one.file("a.png")))
                         .toStdString());
    EXPECT_FALSE(exists(source.file("a.png")));

    window.reset();
    application.reset();
}
