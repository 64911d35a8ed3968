// Undo, redo and the dispatch log, through the sorting session on real
// folders, with the session's controls as the main window holds them.
#include "DispatchLog.h"
#include "EnvOverride.h"
#include "Exception.h"
#include "SessionDoubles.h"
#include "SmallTmpfs.h"
#include "SortingSession.h"
#include "TestFiles.h"
#include "UndoHistory.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

using sessiontest::RecordingViewer;
using sessiontest::SessionControls;
using testfiles::EnvOverride;
using testfiles::exists;
using testfiles::readFile;
using testfiles::SmallTmpfs;
using testfiles::TempFolder;
using testfiles::writeFile;

namespace {

struct Rig : sessiontest::SessionRig {
    TempFolder data;  // the home trash
    TempFolder state;  // the log
    EnvOverride dataHome{"XDG_DATA_HOME", data.path()};
    EnvOverride stateHome{"XDG_STATE_HOME", state.path()};

    void Key(WORD_KEY key, TShiftState shift = {})
    {
        session.FormKeyDown(key, shift);
    }
    // The message of the exception an undo or redo raises, "" when none.
    std::string Refusal(bool undo)
    {
        try {
            undo ? session.Undo() : session.Redo();
        } catch (const Exception& e) {
            return e.Message();
        }
        return {};
    }
    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        const QString log = QString::fromStdString(readFile(state.file("Pictal/dispatch.log")));
        for (const QString& line : log.split('\n', Qt::SkipEmptyParts))
            lines.push_back(line.toStdString());
        return lines;
    }
};

using sessiontest::MakeFiles;

// The folder shown (tree, list and viewer) and the file selected and shown.
void ExpectShown(Rig& rig, const std::string& folder, const std::string& name)
{
    EXPECT_EQ(rig.controls.folder, folder);
    EXPECT_EQ(rig.controls.list.Directory(), folder);
    EXPECT_EQ(rig.controls.viewer.FilePath(), folder);
    EXPECT_EQ(rig.controls.SelectedName(), name);
    EXPECT_EQ(rig.controls.viewer.Shown(), name);
    EXPECT_EQ(rig.controls.currentFile, folder + "/" + name);
}

const TShiftState kCtrl{ssCtrl};

}  // namespace

TEST(TUndoHistory, UndoOfAMoveACopyAndAReplacingMoveRestoresAndShowsTheFile)
{
    Rig rig;
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    writeFile(dst.file("c.jpg"), "old c");
    rig.SetSlot(1, dst.path());
    rig.ChangeFolder(src.path());

    // A move, undone by its key: the file is back and shown.
    rig.session.DispatchToSlot(1);
    ExpectShown(rig, src.path(), "b.jpg");
    rig.Key('Z', kCtrl);
    EXPECT_EQ(readFile(src.file("a.jpg")), "a.jpg");
    EXPECT_FALSE(exists(dst.file("a.jpg")));
    ExpectShown(rig, src.path(), "a.jpg");

    // A copy: its new file goes to the trash, the source is shown.
    rig.controls.mode.SetCopyFlag(true);
    rig.session.SpeedButton1Click();
    rig.session.DispatchToSlot(1);
    ASSERT_TRUE(exists(dst.file("b.jpg")));
    rig.session.Undo();
    EXPECT_FALSE(exists(dst.file("b.jpg")));
    EXPECT_EQ(readFile(rig.data.file("Trash/files/b.jpg")), "b.jpg");
    ExpectShown(rig, src.path(), "b.jpg");

    // A replacing move: the replaced file comes back from the trash.
    rig.controls.mode.SetMoveFlag(true);
    rig.session.SpeedButton1Click();
    rig.session.DispatchToSlot(1);
    EXPECT_EQ(readFile(dst.file("c.jpg")), "c.jpg");
    EXPECT_EQ(readFile(rig.data.file("Trash/files/c.jpg")), "old c");
    rig.session.Undo();
    EXPECT_EQ(readFile(src.file("c.jpg")), "c.jpg");
    EXPECT_EQ(readFile(dst.file("c.jpg")), "old c");
    EXPECT_FALSE(exists(rig.data.file("Trash/files/c.jpg")));
    EXPECT_FALSE(exists(rig.data.file("Trash/info/c.jpg.trashinfo")));
    ExpectShown(rig, src.path(), "c.jpg");

    // Redo, by both of its keys: the move again, replacing into the trash;
    // the entry at the moved file's place is shown. Then undo again.
    rig.Key('Z', TShiftState{ssCtrl, ssShift});
    EXPECT_EQ(readFile(dst.file("c.jpg")), "c.jpg");
    EXPECT_EQ(readFile(rig.data.file("Trash/files/c.jpg")), "old c");
    ExpectShown(rig, src.path(), "d.jpg");
    rig.session.Undo();
    rig.Key('Y', kCtrl);
    EXPECT_FALSE(exists(src.file("c.jpg")));
    ExpectShown(rig, src.path(), "d.jpg");
    rig.Key('Y', kCtrl);  // nothing left to redo: nothing happens
    ExpectShown(rig, src.path(), "d.jpg");
}

TEST(TUndoHistory, UndoGoesBackFiftyStepsAcrossSourceFolders)
{
    Rig rig;
    TempFolder first, second, dst;
    for (int i = 10; i < 40; ++i) {
        writeFile(first.file("f" + std::to_string(i) + ".jpg"), "first");
        writeFile(second.file("s" + std::to_string(i) + ".jpg"), "second");
    }
    rig.SetSlot(4, dst.path());
    for (const TempFolder* folder : {&first, &second}) {
        rig.ChangeFolder(folder->path());
        for (int i = 0; i < 30; ++i)
            rig.Key(VK_F4);
    }
    ASSERT_EQ(rig.controls.list.Count(), 0);
    for (int i = 0; i < 55; ++i)
        rig.session.Undo();
    // All thirty of the second folder, then the last 25 of the first.
    ExpectShown(rig, first.path(), "f15.jpg");
    EXPECT_EQ(rig.controls.list.Count(), 25);
    EXPECT_EQ(RecordingViewer::CollectFolder(second.path()).size(), 30u);
}

TEST(TUndoHistory, AnUndoOrRedoThatIsNotSafeChangesNothingAndSaysWhy)
{
    Rig rig;
    TempFolder src, dst;
    MakeFiles(src, {"a.jpg", "b.jpg"});
    rig.SetSlot(1, dst.path());
    rig.ChangeFolder(src.path());
    rig.session.DispatchToSlot(1);
    const std::string moved = dst.file("a.jpg");
    const std::string back = src.file("a.jpg");

    writeFile(back, "another");
    EXPECT_EQ(rig.Refusal(true), back + " には別のファイルがあるため、元に戻せません。");
    EXPECT_EQ(readFile(back), "another");
    ASSERT_EQ(::unlink(back.c_str()), 0);
    ASSERT_EQ(::rename(moved.c_str(), (moved + "~").c_str()), 0);
    EXPECT_EQ(rig.Refusal(true), moved + " は振り分けの後に移動または削除されたため、元に戻せません。");
    ASSERT_EQ(::rename((moved + "~").c_str(), moved.c_str()), 0);
    writeFile(moved, "a.jpg, edited");
    EXPECT_EQ(rig.Refusal(true), moved + " は振り分けの後に変更されたため、元に戻せません。");
    EXPECT_FALSE(exists(back));
    EXPECT_EQ(rig.controls.currentFile, src.file("b.jpg"));

    rig.session.DispatchToSlot(1);
    rig.session.Undo();
    writeFile(src.file("b.jpg"), "edited after the undo");
    EXPECT_EQ(rig.Refusal(false), src.file("b.jpg") + " は元に戻した後に変更されたため、やり直せません。");
    EXPECT_FALSE(exists(dst.file("b.jpg")));
}

TEST(TUndoHistory, TheLogHasALinePerTransferAndIsRotated)
{
    Rig rig;
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg"});
    ASSERT_EQ(::mkdir(dst.file("c.jpg").c_str(), 0755), 0);
    rig.SetSlot(1, dst.path());
    rig.ChangeFolder(src.path());
    rig.session.DispatchToSlot(1);
    rig.controls.mode.SetCopyFlag(true);
    rig.session.DispatchToSlot(1);
    EXPECT_THROW(rig.session.DispatchToSlot(1), Exception);  // a folder of that name

    const std::vector<std::string> lines = rig.LogLines();
    ASSERT_EQ(lines.size(), 3u);
    const std::string time = "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d{4}\t";
    const std::string expected[] = {
        time + "move\t" + src.file("a.jpg") + "\t" + dst.file("a.jpg") + "\tok",
        time + "copy\t" + src.file("b.jpg") + "\t" + dst.file("b.jpg") + "\tok",
        time + "copy\t" + src.file("c.jpg") + "\t" + dst.file("c.jpg") + "\tfailed: .+",
    };
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(QString::fromStdString(expected[i])))
                        .match(QString::fromStdString(lines[i]))
                        .hasMatch())
            << lines[i];

    // Past 1 MiB the log starts afresh, the old one kept beside it; a log that
    // cannot be written stops nothing.
    const std::string log = rig.state.file("Pictal/dispatch.log");
    writeFile(log, std::string(TDispatchLog::kRotateSize, 'x'));
    TDispatchLog().Write("move", "/from", "/to", "ok");
    EXPECT_EQ(readFile(log + ".1").size(), std::size_t(TDispatchLog::kRotateSize));
    EXPECT_EQ(rig.LogLines().size(), 1u);
    EXPECT_NE(readFile(log).find("\tmove\t/from\t/to\tok\n"), std::string::npos);
    TDispatchLog().Write("copy", "a\tb\nc\\d", "e", "ok");
    EXPECT_NE(readFile(log).find("\tcopy\ta\\x09b\\x0Ac\\x5Cd\te\tok\n"), std::string::npos);
    writeFile(rig.state.file("none"), "a file where a folder would be");
    TDispatchLog(rig.state.file("none/dispatch.log")).Write("move", "a", "b", "ok");
    EXPECT_EQ(readFile(rig.state.file("none")), "a file where a folder would be");
}

TEST(TUndoHistory, AChainOfMovesAcrossFileSystemsIsUndoneAndRedoneToTheEnd)
{
    SmallTmpfs other;
    if (!other.mounted)
        GTEST_SKIP() << "mounting a tmpfs needs root (uid " << ::geteuid() << ")";
    const TempFolder& mountPoint = other.mountPoint;
    Rig rig;
    TempFolder src, keep;
    MakeFiles(src, {"a.jpg", "b.jpg"});
    rig.SetSlot(1, keep.path());
    rig.SetSlot(2, mountPoint.path());
    rig.ChangeFolder(src.path());
    rig.session.DispatchToSlot(1);  // a.jpg to keep, on this file system
    rig.ChangeFolder(keep.path());
    rig.session.DispatchToSlot(2);  // and on to the other one: a new file there
    ASSERT_TRUE(exists(mountPoint.file("a.jpg")));
    // New files take the inode numbers just freed, so the file that comes
    // back is seen as the new file it is.
    for (int i = 0; i < 8; ++i)
        writeFile(keep.file("other" + std::to_string(i) + ".txt"), "x");

    // Each step back makes a new file where the step before expects it.
    EXPECT_EQ(rig.Refusal(true), "");
    EXPECT_EQ(rig.Refusal(true), "");
    EXPECT_EQ(readFile(src.file("a.jpg")), "a.jpg");
    EXPECT_EQ(rig.Refusal(false), "");
    EXPECT_EQ(rig.Refusal(false), "");
    EXPECT_EQ(readFile(mountPoint.file("a.jpg")), "a.jpg");
    EXPECT_FALSE(exists(src.file("a.jpg")) || exists(keep.file("a.jpg")));

    // The folder to go back to has gone: the move's own reason, not "another
    // file has the name", and the file stays.
    for (int i = 0; i < 8; ++i)
        ::unlink(keep.file("other" + std::to_string(i) + ".txt").c_str());
    ASSERT_EQ(::rmdir(keep.path().c_str()), 0);
    EXPECT_EQ(rig.Refusal(true).rfind(mountPoint.file("a.jpg") + " を元に戻せません: ", 0), 0u);
    EXPECT_EQ(readFile(mountPoint.file("a.jpg")), "a.jpg");
}
