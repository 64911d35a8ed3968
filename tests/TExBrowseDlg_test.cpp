// The folder dialog object over the real shell namespace of a temporary
// home: the flags of its options, the placement of the picker, what the
// picker offers and accepts, its texts and callbacks, and the root folders.
#include "ExBrowseDlg.h"
#include "ExFolderPicker.h"
#include "ExSystemFolders.h"
#include "PickerHome.h"
#include "ShellItems.h"
#include "ShellRefs.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using pickertest::AnswerOnInit;

class TExBrowseDlg : public ::testing::Test {
protected:
    void SetUp() override { m_counts = shelltest::shellCounts(); }
    void TearDown() override { EXPECT_EQ(shelltest::shellCounts(), m_counts); }

    pickertest::PickerHome m_home;
    shelltest::ShellCounts m_counts;
};

// The node's file-system path as the tree reports it when the node is selected.
std::string folderOf(TFolderTreeView& tree, TTreeNode* node)
{
    tree.SetSelected(node);
    return tree.FolderName();
}

TEST(TExBrowseDlgFlags, TheDefaultsAreStoredAs272AndOfferOnlyFileSystemFolders)
{
    ::TExBrowseDlg dialog;
    EXPECT_EQ(dialog.Options().Bits(), 272u);
    EXPECT_EQ(BrowseFlags(dialog.Options()), BIF_RETURNONLYFSDIRS) << "doShowPath adds no flag";
    EXPECT_EQ(BrowseFlags({doAllowEdit, doEnableOK}), BIF_EDITBOX | BIF_VALIDATE);
    EXPECT_EQ(BrowseFlags({doBrowseForComputer, doBrowseForPrinter, doDontGoBelowDomain, doReturnFileSysAncestors,
                           doStatusText, doShowFiles}),
              0x700Eu);
}

TEST(TExBrowseDlgPlacement, PositionsCorrectionsAndTheWorkArea)
{
    const QRect screen(0, 0, 1024, 768);
    const QRect work(0, 0, 1024, 740);  // a panel along the bottom
    const QSize picker(340, 400);
    struct Case {
        const char* what;
        TExDlgPosition position;
        QRect target;
        QPoint expected;
    };
    const QRect form(100, 50, 796, 660);  // L 100, T 50, R 896, B 710
    const Case cases[] = {
        {"custom", bpCustom, form, {100, 50}},
        {"top left", bpTopLeft, form, {100, 50}},
        {"top centre", bpTopCenter, form, {328, 50}},
        {"top right", bpTopRight, form, {556, 50}},
        {"centre left", bpCenterLeft, form, {100, 180}},
        {"centre", bpCenter, form, {328, 180}},
        {"centre right", bpCenterRight, form, {556, 180}},
        {"bottom left", bpBottomLeft, form, {100, 310}},
        {"bottom centre", bpBottomCenter, form, {328, 310}},
        {"bottom right", bpBottomRight, form, {556, 310}},
        // Halves round toward zero: (301 - 340) / 2 is -19.
        {"narrow target", bpTopCenter, QRect(200, 10, 301, 100), {181, 10}},
        // Below the screen: the top becomes B - h, which is on the screen here.
        {"bottom correction", bpTopLeft, QRect(0, 500, 300, 200), {0, 300}},
        // Beyond the right edge: the left becomes R - w.
        {"right correction", bpTopLeft, QRect(800, 0, 200, 500), {660, 0}},
        // Negative coordinates become 0.
        {"clamp at 0", bpBottomRight, QRect(-50, -50, 200, 200), {0, 0}},
        // The main window reaching below the screen: B - h would push the
        // picker further down (to 804); it stays inside the work area.
        {"window below the screen", bpCenter, QRect(100, 500, 796, 704), {328, 340}},
        // Wholly off to the right and below.
        {"target off the screen", bpCenter, QRect(2000, 1500, 300, 300), {684, 340}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PickerPosition(c.position, c.target, picker, screen, work), c.expected) << c.what;

    // A picker larger than the work area keeps its top-left corner in it.
    EXPECT_EQ(PickerPosition(bpCenter, screen, QSize(1200, 900), screen, QRect(40, 30, 900, 700)), QPoint(40, 30));
}

TEST_F(TExBrowseDlg, DefaultOptionsConfirmOnlyFileSystemFoldersAndStartWithOKDisabled)
{
    ::TExBrowseDlg dialog;
    dialog.SetSelectedFolder(m_home.path("Pictures/kept"));
    std::vector<std::string> reported;
    dialog.OnSelectionChanged = [&](TObject*, QWidget* handle, const std::string& path, LPCITEMIDLIST item) {
        EXPECT_EQ(handle, dialog.Picker());
        std::string named;
        EXPECT_TRUE(path.empty() || (displayNameOf(shelltest::desktop().get(), item, kFullPathName, named) &&
                                     named == path))
            << "the item is the selected folder's absolute list: " << path;
        reported.push_back(path);
    };
    AnswerOnInit(dialog, [&](TExFolderPicker& picker) {
        TFolderTreeView& tree = *picker.Tree();
        EXPECT_EQ(tree.FolderName(), m_home.path("Pictures/kept")) << "preselected";
        EXPECT_FALSE(picker.OKButton()->isEnabled()) << "disabled at set-up even on an acceptable folder";
        picker.Confirm();
        EXPECT_FALSE(picker.Finished()) << "OK is disabled";

        TTreeNode* desktop = tree.Items().GetFirstNode();
        EXPECT_EQ(picker.RootNode(), desktop) << "the whole namespace";
        tree.SetSelected(desktop);
        EXPECT_FALSE(picker.OKButton()->isEnabled()) << "the desktop is no file-system folder";
        tree.setFolderName("/");
        TTreeNode* computer = tree.Selected()->Parent();
        EXPECT_TRUE(picker.OKButton()->isEnabled()) << "a drive";
        tree.SetSelected(computer);
        EXPECT_FALSE(picker.OKButton()->isEnabled()) << "Computer";
        tree.setFolderName(m_home.path("Pictures/sorted/"));
        EXPECT_TRUE(picker.OKButton()->isEnabled());
        picker.Confirm();
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.SelectedFolder(), m_home.path("Pictures/sorted"));
    EXPECT_EQ(dialog.DisplayName(), "sorted");
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), m_home.path("Pictures/sorted"));

    // Cancel keeps what was there.
    AnswerOnInit(dialog, [](TExFolderPicker& picker) {
        picker.Tree()->setFolderName("/");
        picker.Cancel();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.SelectedFolder(), m_home.path("Pictures/sorted"));
}

TEST_F(TExBrowseDlg, SetUpTextsStatusPathEnabledOKAndPlacement)
{
    ::TExBrowseDlg dialog;
    dialog.SetOptions({doReturnFileSysDirs, doShowPath, doStatusText, doEnableOK});
    dialog.SetCaptionTitle("Destination");
    dialog.SetStatusText("ready");
    dialog.SetPosition(bpBottomRight);
    dialog.SetRelatePos(brScreenWorkArea);
    AnswerOnInit(dialog, [&](TExFolderPicker& picker) {
        EXPECT_EQ(picker.windowTitle(), QString("Destination"));
        ASSERT_NE(picker.StatusLine(), nullptr);
        EXPECT_EQ(picker.StatusLine()->text(), QString("ready"));
        EXPECT_TRUE(picker.OKButton()->isEnabled()) << "doEnableOK, on the desktop";
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect work = screen->availableGeometry();
        EXPECT_EQ(picker.pos(), QPoint(work.right() + 1 - picker.frameGeometry().width(),
                                       work.bottom() + 1 - picker.frameGeometry().height()));

        // The selected path, its end when it is longer than 40 characters.
        const std::string deep = m_home.path("Pictures/sorted");
        picker.Tree()->setFolderName(deep);
        const QString status = picker.StatusLine()->text();
        EXPECT_EQ(status.size(), std::min<qsizetype>(40, qsizetype(deep.size())));
        EXPECT_TRUE(status.endsWith("/Pictures/sorted")) << status.toStdString();
        EXPECT_EQ(status.startsWith("..."), deep.size() > 40);
        picker.Cancel();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.SelectedFolder(), "") << "nothing stored";
}

TEST_F(TExBrowseDlg, ATypedNameIsTakenRelativeToTheSelectionOrValidated)
{
    ::TExBrowseDlg dialog;
    dialog.SetOptions({doReturnFileSysDirs, doAllowEdit});
    AnswerOnInit(dialog, [&](TExFolderPicker& picker) {
        picker.Tree()->setFolderName(m_home.path("Pictures"));
        ASSERT_NE(picker.EditField(), nullptr);
        EXPECT_EQ(picker.EditField()->text(), QString("Pictures")) << "the selection's name";
        picker.EditField()->setText("kept");
        picker.Confirm();
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.SelectedFolder(), m_home.path("Pictures/kept"));

    // A name that names nothing: OnValidate decides whether the picker stays.
    std::vector<std::string> rejected;
    bool keepOpen = true;
    dialog.OnValidate = [&](TObject*, const std::string& path, bool& cancel) {
        EXPECT_FALSE(cancel);
        rejected.push_back(path);
        cancel = keepOpen;
    };
    AnswerOnInit(dialog, [&](TExFolderPicker& picker) {
        picker.Tree()->setFolderName(m_home.path("Pictures"));
        picker.EditField()->setText("missing");
        picker.Confirm();
        EXPECT_FALSE(picker.Finished()) << "kept open";
        keepOpen = false;
        picker.Confirm();
        EXPECT_TRUE(picker.Finished());
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(rejected, (std::vector<std::string>{"missing", "missing"}));
    EXPECT_EQ(dialog.SelectedFolder(), m_home.path("Pictures/kept"));
}

TEST_F(TExBrowseDlg, StartFolderNamesTheRootOrLeavesTheWholeNamespace)
{
    EXPECT_EQ(SystemFolderLocation(bfoDesktopExpanded), nullptr);
    EXPECT_EQ(SystemFolderLocation(bfoPrinters), nullptr);
    struct Case {
        TExSystemFolders folder;
        std::string rootPath;  // empty: the tree's own top node
    };
    const Case cases[] = {
        {bfoDesktopExpanded, ""},
        {bfoDesktop, ""},
        {bfoRecycleBin, ""},
        {bfoPersonal, m_home.path("Documents")},
        {bfoTemplates, m_home.path("Templates")},
        {bfoDesktopDirectory, m_home.path("Desktop")},
    };
    for (const Case& c : cases) {
        ::TExBrowseDlg dialog;
        dialog.SetStartFolder(c.folder);
        AnswerOnInit(dialog, [&](TExFolderPicker& picker) {
            TFolderTreeView& tree = *picker.Tree();
            TTreeNode* root = picker.RootNode();
            ASSERT_NE(root, nullptr);
            EXPECT_EQ(tree.Selected(), root) << "the root is selected";
            if (c.rootPath.empty()) {
                EXPECT_EQ(root, tree.Items().GetFirstNode());
            } else {
                EXPECT_EQ(folderOf(tree, root), c.rootPath);
                // Only the root and what lies below it are shown.
                EXPECT_EQ(tree.itemFromIndex(tree.rootIndex()), root->Parent());
                for (TTreeNode* s = root->Parent()->getFirstChild(); s; s = s->getNextSibling())
                    EXPECT_EQ(s->isHidden(), s != root) << s->Text();
            }
            picker.Cancel();
        });
        EXPECT_FALSE(dialog.Execute()) << int(c.folder);
    }
}

}  // namespace
