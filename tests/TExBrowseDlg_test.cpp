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

TEST(TExBrowseDlgFlags, EachOptionAddsItsFlagsAndTheDefaultsAreStoredAs272)
{
    struct Case {
        TExBrowseDlgOption option;
        UINT flags;
    };
    const Case cases[] = {
        {doBrowseForComputer, 0x1000}, {doBrowseForPrinter, 0x2000}, {doDontGoBelowDomain, 0x2},
        {doReturnFileSysAncestors, 0x8}, {doReturnFileSysDirs, 0x1}, {doStatusText, 0x4},
        {doShowFiles, 0x4000}, {doAllowEdit, 0x30}, {doShowPath, 0}, {doEnableOK, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BrowseFlags({c.option}), c.flags) << int(c.option);
    EXPECT_EQ(BrowseFlags({doReturnFileSysDirs, doStatusText, doAllowEdit}), 0x35u);

    ::TExBrowseDlg dialog;
    EXPECT_EQ(dialog.Options().Bits(), 272u);
    EXPECT_EQ(dialog.StartFolder(), bfoDesktopExpanded);
    EXPECT_EQ(dialog.Position(), bpCenter);
    EXPECT_EQ(dialog.RelatePos(), brActiveWindow);
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

TEST(TExBrowseDlgStatus, LongPathsAreShortenedToFortyCharacters)
{
    EXPECT_EQ(ShortenedStatusPath("/home/user/Pictures"), QString("/home/user/Pictures"));
    const std::string forty = "/" + std::string(39, 'a');
    EXPECT_EQ(ShortenedStatusPath(forty), QString::fromStdString(forty));
    const std::string longer = "/home/user/写真/" + std::string(36, 'b') + "/最後";
    const QString shortened = ShortenedStatusPath(longer);
    EXPECT_EQ(shortened.size(), 40);
    EXPECT_TRUE(shortened.startsWith("...")) << shortened.toStdString();
    EXPECT_TRUE(shortened.endsWith("b/最後")) << shortened.toStdString();
}

TEST_F(TExBrowseDlg, DefaultOptionsConfirmOnlyFileSystemFoldersAndStartWithOKDisabled)
{
    ::TExBrowseDlg dialog;
    dialog.SetSelectedFolder(m_home.path("Pictures/kept"));
    std::vector<std::string> reported;
    dialog.OnSelectionChanged = [&](TObject*, QWidget* handle, const std::string& path, LPCITEMIDLIST item) {
        EXPECT_EQ(handle, dialog.Picker());
        std::string named;
        if (!path.empty()) {
            EXPECT_TRUE(displayNameOf(shelltest::desktop().get(), item, kFullPathName, named));
            EXPECT_EQ(named, path) << "the item is the selected folder's absolute list";
        }
        reported.push_back(path);
    };
    AnswerOnInit(dialog, [&](TExFolderPicker& picker) {
        TFolderTreeView& tree = *picker.Tree();
        EXPECT_EQ(tree.FolderName(), m_home.path("Pictures/kept")) << "preselected";
        EXPECT_FALSE(picker.OKButton()->isEnabled()) << "disabled at set-up even on an acceptable folder";
        EXPECT_EQ(picker.StatusLine(), nullptr);
        EXPECT_EQ(picker.EditField(), nullptr);
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
    EXPECT_NE(std::find(reported.begin(), reported.end(), std::string()), reported.end())
        << "the desktop and Computer have no file-system path";

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
    dialog.SetCaption("移動先を選んでください");
    dialog.SetCaptionTitle("Destination");
    dialog.SetStatusText("ready");
    dialog.SetPosition(bpBottomRight);
    dialog.SetRelatePos(brScreenWorkArea);
    AnswerOnInit(dialog, [&](TExFolderPicker& picker) {
        EXPECT_EQ(picker.windowTitle(), QString("Destination"));
        EXPECT_TRUE(picker.findChildren<QLabel*>().size() >= 2);
        bool instruction = false;
        for (QLabel* label : picker.findChildren<QLabel*>())
            instruction = instruction || label->text() == QString("移動先を選んでください");
        EXPECT_TRUE(instruction);
        ASSERT_NE(picker.StatusLine(), nullptr);
        EXPECT_EQ(picker.StatusLine()->text(), QString("ready"));
        EXPECT_TRUE(picker.OKButton()->isEnabled()) << "doEnableOK, on the desktop";
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect work = screen->availableGeometry();
        EXPECT_EQ(picker.pos(), QPoint(work.right() + 1 - picker.frameGeometry().width(),
                                       work.bottom() + 1 - picker.frameGeometry().height()));

        picker.Tree()->setFolderName(m_home.path("Pictures"));
        EXPECT_EQ(picker.StatusLine()->text(), ShortenedStatusPath(m_home.path("Pictures")));
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
