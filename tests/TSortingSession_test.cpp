#include "Exception.h"
#include "SessionDoubles.h"
#include "SortingSession.h"
#include "TestFiles.h"
#include "TextCompare.h"
#include "Vxdllprocs.h"
#include "Vxinit.h"

#include "Paths.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

using sessiontest::RecordingViewer;
using sessiontest::SessionControls;
using testfiles::exists;
using testfiles::readFile;
using testfiles::TempFolder;
using testfiles::writeFile;
using Names = std::vector<std::string>;

namespace {

using Rig = sessiontest::SessionRig;

using sessiontest::MakeFiles;

// The list's selection, the image on display and the current file name one
// and the same file.
void ExpectInStep(Rig& rig, const std::string& folder, const std::string& name)
{
    EXPECT_EQ(rig.controls.SelectedName(), name);
    EXPECT_EQ(rig.Viewer().Shown(), name);
    EXPECT_EQ(rig.controls.currentFile, folder + "/" + name);
}

bool SecondFileSystemAvailable(const std::string& a, const std::string& b)
{
    struct stat sa;
    struct stat sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev != sb.st_dev;
}

}  // namespace

// ---- Folder change, click, activation ----

TEST(TSortingSession, FolderChangeListsTheFolderAndShowsTheFirstFile)
{
    TempFolder src;
    MakeFiles(src, {"c.png", "a.jpg", "b.jpg"});
    Rig rig;
    rig.ChangeFolder(src.path());

    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg", "c.png"}));
    EXPECT_EQ(rig.Viewer().Collection(), rig.controls.ListedNames());
    ExpectInStep(rig, src.path(), "a.jpg");
    EXPECT_EQ(rig.ViewerCalls(),
              (Names{"Close", "FilePath " + src.path(), "Open", "CurrentImage 0", "Start 0", "slide a.jpg"}));
}

TEST(TSortingSession, ChoosingTheShownFolderAgainKeepsTheListButRecollectsTheViewer)
{
    TempFolder src;
    MakeFiles(src, {"a.jpg", "b.jpg"});
    Rig rig;
    rig.ChangeFolder(src.path());
    rig.session.SpeedButton1Click();
    ExpectInStep(rig, src.path(), "b.jpg");

    writeFile(src.file("z.jpg"), "z");  // another program adds a file
    rig.Viewer().ClearCalls();
    rig.ChangeFolder(src.path());

    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg"}));  // not read again
    EXPECT_EQ(rig.Viewer().Collection(), (Names{"a.jpg", "b.jpg", "z.jpg"}));
    ExpectInStep(rig, src.path(), "a.jpg");
    EXPECT_EQ(rig.ViewerCalls(),
              (Names{"Close", "FilePath " + src.path(), "Open", "CurrentImage 0", "Start 0", "slide a.jpg"}));
}

TEST(TSortingSession, AFolderThatCannotBeEnteredLeavesListAndViewerAsTheyWere)
{
    TempFolder src;
    MakeFiles(src, {"a.jpg", "b.jpg", "not-a-folder.txt"});
    Rig rig;
    rig.ChangeFolder(src.path());
    rig.session.SpeedButton1Click();
    rig.Viewer().ClearCalls();

    for (const std::string& bad : {src.file("missing"), src.file("not-a-folder.txt")}) {
        rig.ChangeFolder(bad);
        EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg"})) << bad;
        EXPECT_TRUE(rig.ViewerCalls().empty()) << bad;
        ExpectInStep(rig, src.path(), "b.jpg");
    }
}

TEST(TSortingSession, AnEmptyFolderPathSelectsEntryZeroAndLeavesTheViewerEmpty)
{
    TempFolder src;
    MakeFiles(src, {"a.jpg", "b.jpg"});
    Rig rig;
    rig.ChangeFolder(src.path());
    rig.session.SpeedButton1Click();

    rig.ChangeFolder("");

    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg"}));
    EXPECT_EQ(rig.controls.SelectedName(), "a.jpg");
    EXPECT_FALSE(rig.Viewer().HasCollection());
    EXPECT_EQ(rig.Viewer().Shown(), "");
    // The viewer could not show the selected entry: it is the current file
    // all the same, as the list shows it.
    EXPECT_EQ(rig.controls.currentFile, src.file("a.jpg"));
}

TEST(TSortingSession, FoldersWhoseNamesDifferOnlyInCaseAreDifferentFolders)
{
    TempFolder root;
    const std::string upper = root.file("Photos");
    const std::string lower = root.file("photos");
    ASSERT_EQ(::mkdir(upper.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(lower.c_str(), 0755), 0);
    writeFile(upper + "/upper.jpg", "u");
    writeFile(lower + "/lower.jpg", "l");
    Rig rig;
    rig.ChangeFolder(upper);
    rig.ChangeFolder(lower);

    EXPECT_EQ(rig.controls.ListedNames(), (Names{"lower.jpg"}));
    ExpectInStep(rig, lower, "lower.jpg");
}

TEST(TSortingSession, AFolderWithoutImagesShowsNothingAndKeepsTheCurrentFile)
{
    TempFolder src;
    TempFolder empty;
    MakeFiles(src, {"a.jpg"});
    MakeFiles(empty, {"readme.txt", ".hidden.jpg"});
    Rig rig;
    rig.ChangeFolder(src.path());

    rig.ChangeFolder(empty.path());

    EXPECT_EQ(rig.List().Count(), 0);
    EXPECT_EQ(rig.List().ItemIndex(), -1);
    EXPECT_FALSE(rig.Viewer().HasCollection());
    EXPECT_EQ(rig.Viewer().Shown(), "");
    EXPECT_EQ(rig.controls.currentFile, src.file("a.jpg"));
}

TEST(TSortingSession, ClickAndActivationShowTheSelectedEntry)
{
    TempFolder src;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg"});
    Rig rig;
    rig.ChangeFolder(src.path());

    rig.List().SetItemIndex(2);  // the user's pick; the list raises the click
    rig.session.FileListBox1Click();
    ExpectInStep(rig, src.path(), "c.jpg");

    rig.List().SetItemIndex(1);
    rig.session.FormActivate();
    EXPECT_EQ(rig.controls.repaints, 1);
    ExpectInStep(rig, src.path(), "b.jpg");

    // Activating again redraws nothing: the image is already on display.
    rig.Viewer().ClearCalls();
    rig.session.FormActivate();
    EXPECT_EQ(rig.controls.repaints, 2);
    EXPECT_EQ(rig.ViewerCalls(), (Names{"CurrentImage 1", "Start 1"}));
}

// ---- Next file ----

TEST(TSortingSession, NextStepsListAndViewerTogetherAndStopsAtTheLastEntry)
{
    TempFolder src;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg"});
    Rig rig;
    rig.ChangeFolder(src.path());

    rig.session.SpeedButton1Click();
    ExpectInStep(rig, src.path(), "b.jpg");
    rig.session.SpeedButton1Click();
    ExpectInStep(rig, src.path(), "c.jpg");

    rig.Viewer().ClearCalls();
    rig.session.SpeedButton1Click();
    ExpectInStep(rig, src.path(), "c.jpg");
    EXPECT_EQ(rig.ViewerCalls(), (Names{"GoNext"}));  // no image started again
}

// ---- Move ----

TEST(TSortingSession, MovingTheLastEntryShowsTheNewLastEntry)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg"});
    Rig rig;
    rig.SetSlot(1, dst.path());
    rig.ChangeFolder(src.path());
    rig.session.SpeedButton1Click();
    rig.session.SpeedButton1Click();

    rig.session.DispatchToSlot(1);

    EXPECT_FALSE(exists(src.file("c.jpg")));
    EXPECT_EQ(readFile(dst.file("c.jpg")), "c.jpg");
    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg"}));
    EXPECT_EQ(rig.Viewer().Collection(), rig.controls.ListedNames());
    ExpectInStep(rig, src.path(), "b.jpg");
}

TEST(TSortingSession, MovingAMiddleEntryShowsTheFileThatFollowedIt)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg"});
    Rig rig;
    rig.SetSlot(4, dst.path());
    rig.ChangeFolder(src.path());
    rig.session.SpeedButton1Click();
    rig.Viewer().ClearCalls();

    rig.session.DispatchToSlot(4);

    EXPECT_EQ(readFile(dst.file("b.jpg")), "b.jpg");
    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "c.jpg"}));
    ExpectInStep(rig, src.path(), "c.jpg");
    EXPECT_EQ(rig.ViewerCalls(), (Names{"Close", "Open", "CurrentImage 1", "Start 1", "slide c.jpg"}));
}

TEST(TSortingSession, MovingTheOnlyEntryEmptiesTheListAndClosesTheViewer)
{
    TempFolder src;
    TempFolder dst;
    TempFolder other;
    MakeFiles(src, {"a.jpg"});
    Rig rig;
    rig.SetSlot(1, dst.path());
    rig.SetSlot(2, other.path());
    rig.ChangeFolder(src.path());

    rig.session.DispatchToSlot(1);

    EXPECT_EQ(readFile(dst.file("a.jpg")), "a.jpg");
    EXPECT_EQ(rig.List().Count(), 0);
    EXPECT_FALSE(rig.Viewer().HasCollection());
    EXPECT_EQ(rig.Viewer().Shown(), "");
    EXPECT_EQ(rig.controls.currentFile, src.file("a.jpg"));

    // The current file is gone now: a same-named file elsewhere is not
    // replaced, and the moved file stays where it went.
    writeFile(other.file("a.jpg"), "keep me");
    rig.session.DispatchToSlot(2);
    EXPECT_EQ(readFile(other.file("a.jpg")), "keep me");
    EXPECT_EQ(readFile(dst.file("a.jpg")), "a.jpg");
    rig.controls.mode.SetCopyFlag(true);
    rig.session.DispatchToSlot(2);
    EXPECT_EQ(readFile(other.file("a.jpg")), "keep me");
}

TEST(TSortingSession, MoveAndCopyReplaceASameNamedFile)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg"});
    writeFile(dst.file("a.jpg"), "old a");
    writeFile(dst.file("b.jpg"), "old b");
    Rig rig;
    rig.SetSlot(9, dst.path());
    rig.ChangeFolder(src.path());

    rig.session.DispatchToSlot(9);  // move a
    EXPECT_EQ(readFile(dst.file("a.jpg")), "a.jpg");
    EXPECT_FALSE(exists(src.file("a.jpg")));
    ExpectInStep(rig, src.path(), "b.jpg");

    rig.controls.mode.SetCopyFlag(true);
    rig.session.DispatchToSlot(9);  // copy b
    EXPECT_EQ(readFile(dst.file("b.jpg")), "b.jpg");
    EXPECT_EQ(readFile(src.file("b.jpg")), "b.jpg");
    ExpectInStep(rig, src.path(), "c.jpg");
}

TEST(TSortingSession, AFailedTransferIsReportedWithTheSameFileShownAgain)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg"});
    ASSERT_EQ(::mkdir(dst.file("b.jpg").c_str(), 0755), 0);
    Rig rig;
    rig.SetSlot(1, dst.path());
    rig.ChangeFolder(src.path());
    rig.session.SpeedButton1Click();
    rig.Viewer().ClearCalls();

    // The move: the list is read again and the same file shown, then the
    // failure is raised.
    try {
        rig.session.DispatchToSlot(1);
        ADD_FAILURE() << "a failed move is reported";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "b.jpg を " + dst.path() + " に移動できません: アクセスが拒否されました。");
    }
    EXPECT_EQ(readFile(src.file("b.jpg")), "b.jpg");
    struct stat st;
    ASSERT_EQ(::stat(dst.file("b.jpg").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg", "c.jpg"}));
    ExpectInStep(rig, src.path(), "b.jpg");
    EXPECT_EQ(rig.ViewerCalls(), (Names{"Close", "Open", "CurrentImage 1", "Start 1", "slide b.jpg"}));

    // The copy: nothing steps on.
    rig.controls.mode.SetCopyFlag(true);
    rig.Viewer().ClearCalls();
    try {
        rig.session.DispatchToSlot(1);
        ADD_FAILURE() << "a failed copy is reported";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "b.jpg を " + dst.path() + " に複製できません: アクセスが拒否されました。");
    }
    ExpectInStep(rig, src.path(), "b.jpg");
    EXPECT_TRUE(rig.ViewerCalls().empty());
}

TEST(TSortingSession, MoveAcrossFileSystems)
{
    TempFolder src("/dev/shm");
    TempFolder dst;
    if (!src.valid() || !SecondFileSystemAvailable(src.path(), dst.path()))
        GTEST_SKIP() << "no second file system under /dev/shm";
    MakeFiles(src, {"a.jpg", "b.jpg"});
    Rig rig;
    rig.SetSlot(1, dst.path());
    rig.ChangeFolder(src.path());

    rig.session.DispatchToSlot(1);

    EXPECT_FALSE(exists(src.file("a.jpg")));
    EXPECT_EQ(readFile(dst.file("a.jpg")), "a.jpg");
    EXPECT_EQ(rig.controls.ListedNames(), (Names{"b.jpg"}));
    ExpectInStep(rig, src.path(), "b.jpg");
}

TEST(TSortingSession, AMoveIntoTheSourceFolderItselfMovesAndDeletesNothing)
{
    TempFolder src;
    TempFolder links;
    MakeFiles(src, {"a.jpg", "b.jpg"});
    const std::string link = links.file("to-src");
    ASSERT_EQ(::symlink(src.path().c_str(), link.c_str()), 0);
    Rig rig;
    rig.SetSlot(1, src.path());
    rig.SetSlot(2, src.path() + "/");
    rig.SetSlot(3, link);
    rig.ChangeFolder(src.path());
    rig.session.SpeedButton1Click();

    for (int slot : {1, 2, 3}) {
        rig.session.DispatchToSlot(slot);
        EXPECT_EQ(readFile(src.file("b.jpg")), "b.jpg") << "slot " << slot;
        EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg"})) << "slot " << slot;
        ExpectInStep(rig, src.path(), "b.jpg");
    }

    // A copy onto itself is refused too, rather than emptying the file.
    rig.controls.mode.SetCopyFlag(true);
    for (int slot : {1, 2, 3}) {
        rig.session.DispatchToSlot(slot);
        EXPECT_EQ(readFile(src.file("b.jpg")), "b.jpg") << "slot " << slot;
        ExpectInStep(rig, src.path(), "b.jpg");
    }
}

TEST(TSortingSession, ADispatchBeforeAnyImageWasShownDoesNothing)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg"});
    Rig rig;
    rig.SetSlot(1, dst.path());
    rig.List().SetDirectory(src.path());  // the list reads it; nothing shown yet
    rig.List().SetItemIndex(0);
    // The caption "path" would name a file of the working folder, which
    // follows the list.
    writeFile(src.file(kNoCurrentFile), "not to be moved");
    ASSERT_EQ(rig.controls.currentFile, kNoCurrentFile);

    for (bool copy : {false, true}) {
        rig.controls.mode.SetCopyFlag(copy);
        rig.controls.mode.SetMoveFlag(!copy);
        rig.session.DispatchToSlot(1);
        EXPECT_EQ(readFile(src.file(kNoCurrentFile)), "not to be moved");
        EXPECT_FALSE(exists(dst.file(kNoCurrentFile)));
        EXPECT_TRUE(exists(src.file("a.jpg")));
        EXPECT_EQ(rig.List().ItemIndex(), 0);
        EXPECT_TRUE(rig.ViewerCalls().empty());
        EXPECT_EQ(rig.controls.currentFile, kNoCurrentFile);
    }
}

TEST(TSortingSession, AListShortenedByAnotherProgramDuringAMoveRaisesTheListIndexError)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
    Rig rig;
    rig.SetSlot(1, dst.path());
    rig.ChangeFolder(src.path());
    for (int i = 0; i < 3; ++i)
        rig.session.SpeedButton1Click();
    ExpectInStep(rig, src.path(), "d.jpg");
    // Another program removes two files; the list learns of it only when the
    // move reads it again.
    ASSERT_EQ(::unlink(src.file("a.jpg").c_str()), 0);
    ASSERT_EQ(::unlink(src.file("b.jpg").c_str()), 0);

    try {
        rig.session.DispatchToSlot(1);
        ADD_FAILURE() << "no list-index error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "リストのインデックスが範囲を超えています (3)");
    }
    EXPECT_EQ(readFile(dst.file("d.jpg")), "d.jpg");
    EXPECT_EQ(rig.controls.ListedNames(), (Names{"c.jpg", "e.jpg"}));
    EXPECT_EQ(rig.Viewer().Collection().size(), 5u);  // the old collection
    EXPECT_EQ(rig.Viewer().Shown(), "d.jpg");
}

// ---- Copy, no mode, no selection ----

TEST(TSortingSession, CopyingAtTheLastEntryKeepsSelectionAndImage)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg"});
    Rig rig;
    rig.controls.mode.SetCopyFlag(true);
    rig.SetSlot(2, dst.path());
    rig.ChangeFolder(src.path());
    rig.session.SpeedButton1Click();
    rig.Viewer().ClearCalls();

    rig.session.DispatchToSlot(2);

    EXPECT_EQ(readFile(dst.file("b.jpg")), "b.jpg");
    EXPECT_EQ(readFile(src.file("b.jpg")), "b.jpg");
    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg"}));
    ExpectInStep(rig, src.path(), "b.jpg");
    EXPECT_EQ(rig.ViewerCalls(), (Names{"GoNext"}));
}

TEST(TSortingSession, WithBothFlagsOffADispatchDoesNothing)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg"});
    Rig rig;
    rig.controls.mode.SetMoveFlag(false);
    ASSERT_FALSE(rig.controls.mode.CopyFlag());
    rig.SetSlot(1, dst.path());
    rig.ChangeFolder(src.path());
    rig.Viewer().ClearCalls();

    rig.session.DispatchToSlot(1);

    EXPECT_FALSE(exists(dst.file("a.jpg")));
    EXPECT_TRUE(exists(src.file("a.jpg")));
    EXPECT_TRUE(rig.ViewerCalls().empty());
    ExpectInStep(rig, src.path(), "a.jpg");
}

TEST(TSortingSession, ADispatchWithoutSelectionTransfersButKeepsTheListAsItIs)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg"});
    Rig rig;
    rig.SetSlot(1, dst.path());
    rig.ChangeFolder(src.path());

    // Move: the file goes; neither the list nor the viewer changes.
    rig.session.E1Click();
    ASSERT_EQ(rig.List().ItemIndex(), -1);
    rig.Viewer().ClearCalls();
    rig.session.DispatchToSlot(1);
    EXPECT_EQ(readFile(dst.file("a.jpg")), "a.jpg");
    EXPECT_FALSE(exists(src.file("a.jpg")));
    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(rig.List().ItemIndex(), -1);
    EXPECT_TRUE(rig.ViewerCalls().empty());
    EXPECT_EQ(rig.Viewer().Shown(), "a.jpg");

    // Copy: the file is copied and the viewer steps on; still no selection.
    rig.ChangeFolder(src.path());
    rig.controls.mode.SetCopyFlag(true);
    rig.session.E1Click();
    rig.session.DispatchToSlot(1);
    EXPECT_EQ(readFile(dst.file("b.jpg")), "b.jpg");
    EXPECT_TRUE(exists(src.file("b.jpg")));
    EXPECT_EQ(rig.List().ItemIndex(), -1);
    EXPECT_EQ(rig.Viewer().Shown(), "c.jpg");
    EXPECT_EQ(rig.controls.currentFile, src.file("c.jpg"));
}

// ---- Slot paths ----

TEST(TSortingSession, SlotPathsSetLabelAndEnabledFlag)
{
    TempFolder root;
    const std::string photos = root.file("写真");
    ASSERT_EQ(::mkdir(photos.c_str(), 0755), 0);
    writeFile(root.file("file.txt"), "x");
    Rig rig;

    rig.SetSlot(1, photos);
    EXPECT_TRUE(rig.controls.slotEnabled[0]);
    EXPECT_EQ(rig.controls.slotLabels[0], "写真");

    rig.SetSlot(2, photos + "/");
    EXPECT_TRUE(rig.controls.slotEnabled[1]);
    EXPECT_EQ(rig.controls.slotLabels[1], "写真");

    rig.SetSlot(3, "/");
    EXPECT_TRUE(rig.controls.slotEnabled[2]);
    EXPECT_EQ(rig.controls.slotLabels[2], "");

    // A slot that was usable loses label and flag when its path goes wrong.
    rig.SetSlot(1, root.file("missing"));
    EXPECT_FALSE(rig.controls.slotEnabled[0]);
    EXPECT_EQ(rig.controls.slotLabels[0], "");
    rig.SetSlot(2, root.file("file.txt"));
    EXPECT_FALSE(rig.controls.slotEnabled[1]);
    EXPECT_EQ(rig.controls.slotLabels[1], "");
    rig.SetSlot(3, "");
    EXPECT_FALSE(rig.controls.slotEnabled[2]);
    EXPECT_EQ(rig.controls.slotLabels[2], "");
}

TEST(TSortingSession, ASlotPathWithATrailingSeparatorGetsTheFileWithOneSeparator)
{
    TempFolder src;
    TempFolder dst;
    MakeFiles(src, {"a.jpg", "b.jpg"});
    EXPECT_EQ(JoinPath(dst.path() + "/", "a.jpg"), dst.path() + "/a.jpg");
    EXPECT_EQ(JoinPath("/", "a.jpg"), "/a.jpg");
    Rig rig;
    rig.SetSlot(5, dst.path() + "/");
    rig.ChangeFolder(src.path());

    rig.session.DispatchToSlot(5);

    EXPECT_EQ(readFile(dst.file("a.jpg")), "a.jpg");
    ExpectInStep(rig, src.path(), "b.jpg");
}

// ---- Refresh and the agreement of list and viewer ----

TEST(TSortingSession, RefreshListsNewFilesInPlaceAndLeavesTheViewerAlone)
{
    TempFolder src;
    MakeFiles(src, {"b.jpg", "d.jpg"});
    Rig rig;
    rig.ChangeFolder(src.path());
    MakeFiles(src, {"a.jpg", "c.jpg", "e.jpg"});
    rig.Viewer().ClearCalls();

    rig.session.E1Click();

    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}));
    EXPECT_EQ(rig.List().ItemIndex(), -1);
    EXPECT_EQ(rig.Viewer().Collection(), (Names{"b.jpg", "d.jpg"}));
    EXPECT_TRUE(rig.ViewerCalls().empty());
}

TEST(TSortingSession, ListAndViewerLeaveOutTheSameFiles)
{
    TempFolder src;
    MakeFiles(src, {"a.jpg", "B.JPG", "c.Png", "d.jpeg", "e.tiff", "f.emf", ".hidden.jpg", "notes.txt", "jpg",
                    "archive.jpg.zip"});
    ASSERT_EQ(::mkdir(src.file("folder.jpg").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo(src.file("pipe.png").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("nowhere", src.file("dangling.gif").c_str()), 0);
    ASSERT_EQ(::symlink(src.file("a.jpg").c_str(), src.file("link.bmp").c_str()), 0);
    writeFile(src.file("readonly.gif"), "readonly.gif");
    ASSERT_EQ(::chmod(src.file("readonly.gif").c_str(), 0444), 0);
    Rig rig;
    rig.ChangeFolder(src.path());

    const Names expected{"a.jpg", "B.JPG", "c.Png", "d.jpeg", "e.tiff", "f.emf", "link.bmp", "readonly.gif"};
    EXPECT_EQ(rig.controls.ListedNames(), expected);
    EXPECT_EQ(rig.Viewer().Collection(), expected);

    // Stepping and moving act on the file the list has selected.
    TempFolder dst;
    rig.SetSlot(1, dst.path());
    for (int i = 0; i < 4; ++i)
        rig.session.SpeedButton1Click();
    ExpectInStep(rig, src.path(), "e.tiff");
    rig.session.DispatchToSlot(1);
    EXPECT_EQ(readFile(dst.file("e.tiff")), "e.tiff");
    ExpectInStep(rig, src.path(), "f.emf");
}

TEST(TSortingSession, PrefixNamesAndCaseTwinsSortAlikeOnBothSides)
{
    TempFolder src;
    MakeFiles(src, {"x.jpg", "x.jpg.jpg", "x.jpg-1.jpg", "x.jpg 2.jpg", "x1.jpg", "a.jpg", "A.jpg", "ab.jpg", "Ab.jpg",
                    "photo.png", "photo.png0.png", "photo.png (2).png"});
    Rig rig;
    rig.ChangeFolder(src.path());

    const Names listed = rig.controls.ListedNames();
    ASSERT_EQ(listed.size(), 12u);
    EXPECT_EQ(rig.Viewer().Collection(), listed);
    EXPECT_EQ(RecordingViewer::CollectFolder(src.path()), listed);
    // The names are chosen so that ordering by the bare names would differ.
    Names bare = listed;
    std::sort(bare.begin(), bare.end(), [](const std::string& a, const std::string& b) { return lstrcmpiA(a, b) < 0; });
    EXPECT_NE(bare, listed);

    // Each entry i is image i: step through all of them together.
    for (std::size_t i = 0; i < listed.size(); ++i) {
        ExpectInStep(rig, src.path(), listed[i]);
        rig.session.SpeedButton1Click();
    }
}

TEST(TSortingSession, WithTheImageLibraryLoadedTheListLeavesOutFilesItCannotRead)
{
    ASSERT_TRUE(InitializeVX(kVxUserSlide));
    {
        TempFolder folder;
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(QString::fromStdString(folder.file("b.png")), "PNG"));
        writeFile(folder.file("a.jpg"), "not a picture");  // the library refuses it
        ASSERT_NE(Vxdllprocs::VXFileType, nullptr) << "the image library's modules are built beside the tests";

        Rig rig;
        rig.ChangeFolder(folder.path());
        EXPECT_EQ(rig.controls.ListedNames(), (Names{"b.png"}));
        ExpectInStep(rig, folder.path(), "b.png");
    }
    TerminateVX(kVxUserSlide);
}

TEST(TSortingSession, SourceAndSlotFoldersAreClearedOfWhatKilledTransfersLeft)
{
    TempFolder src, slot;
    MakeFiles(src, {"b.jpg"});
    // A file a killed move was replacing, set aside; a copy a killed transfer left.
    writeFile(src.file(".a.jpg.pictal-Ab12Cd.old"), "a.jpg");
    writeFile(slot.file(".b.jpg.pictal-Xy34Zw"), "half of b");

    Rig rig;
    rig.ChangeFolder(src.path());
    EXPECT_EQ(rig.controls.ListedNames(), (Names{"a.jpg", "b.jpg"}));
    rig.SetSlot(1, slot.path());
    EXPECT_FALSE(exists(slot.file(".b.jpg.pictal-Xy34Zw")));
}

TEST(TSortingSession, KeysStepAndDispatchAsTheKeyMapSays)
{
    TempFolder src, three, gone;
    MakeFiles(src, {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg", "g.jpg", "h.jpg"});
    Rig rig;
    rig.SetSlot(2, gone.path());
    ASSERT_EQ(::rmdir(gone.path().c_str()), 0);  // removed after the slot was set
    rig.SetSlot(3, three.path());
    rig.SetSlot(4, three.path());
    rig.ChangeFolder(src.path());

    struct Case {
        const char* what;
        WORD_KEY key;
        TShiftState shift;
        int moved;    // files that reach slot 3's folder
        int stepped;  // entries the selection moves on
    };
    const TShiftState none;
    for (const Case c : {Case{"F3", VK_F1 + 2, none, 1, 0}, Case{"keypad 3", VK_NUMPAD0 + 3, none, 1, 0},
                         Case{"Shift+F3", VK_F1 + 2, TShiftState{ssShift}, 1, 0},
                         Case{"Ctrl+F3", VK_F1 + 2, TShiftState{ssCtrl}, 1, 0},
                         Case{"F2, its folder removed", VK_F1 + 1, none, 0, 0}, Case{"F5, no path", VK_F1 + 4, none, 0, 0},
                         Case{"keypad 7 without Num Lock (Home)", VK_HOME, none, 0, 0},
                         Case{"the digit 5", WORD_KEY('5'), none, 0, 0}, Case{"F10", VK_F1 + 9, none, 0, 0},
                         Case{"Alt+F4", VK_F4, TShiftState{ssAlt}, 0, 0}, Case{"Space", VK_SPACE, none, 0, 1},
                         Case{"keypad 0", VK_NUMPAD0, none, 0, 1}}) {
        SCOPED_TRACE(c.what);
        const std::size_t before = RecordingViewer::CollectFolder(three.path()).size();
        const int selected = rig.List().ItemIndex();
        WORD_KEY key = c.key;
        rig.session.FormKeyDown(key, c.shift);
        EXPECT_EQ(key, c.key) << "the key is left to the focused control";
        EXPECT_EQ(RecordingViewer::CollectFolder(three.path()).size(), before + std::size_t(c.moved));
        if (c.moved == 0) {
            EXPECT_EQ(rig.List().ItemIndex(), selected + c.stepped);
        }
    }
}
