// The folder tree over a real namespace: a temporary home with its desktop
// and documents folders, and a temporary folder tree reached through its
// absolute path. Selection, loading, double-clicks and keys go through the
// tree's real Qt input handling.
#include "Application.h"
#include "FolderTreeView.h"
#include "HiddenItems.h"
#include "RecordingFileList.h"
#include "ShellItems.h"
#include "ShellHome.h"
#include "ShellRefs.h"
#include "TestFiles.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using testfiles::makeFolder;

// The child of parent whose stored name is name, or null.
TTreeNode* childNamed(TTreeNode* parent, const std::string& name)
{
    for (TTreeNode* node = parent ? parent->getFirstChild() : nullptr; node; node = node->getNextSibling())
        if (::TFolderTreeView::nodeInfo(node)->name == name)
            return node;
    return nullptr;
}

std::vector<std::string> captionsOf(TTreeNode* parent)
{
    std::vector<std::string> captions;
    for (TTreeNode* node = parent->getFirstChild(); node; node = node->getNextSibling())
        captions.push_back(node->Text());
    return captions;
}

class TFolderTreeView : public testfiles::ShellBrowseTest {
protected:
    TFolderTreeView() : ShellBrowseTest(500, 700) {}

    void SetUp() override
    {
        ShellBrowseTest::SetUp();
        if (HasFatalFailure())
            return;
        m_root = m_dir.file("tree");
        makeFolder(m_root);
        makeFolder(m_root + "/Alpha");
        makeFolder(m_root + "/Alpha/inner");
        makeFolder(m_root + "/Alpha/inner/deepest");
        makeFolder(m_root + "/Beta");
        makeFolder(m_root + "/Gamma");
        makeFolder(m_root + "/.dot");
        testfiles::writeFile(m_root + "/Alpha/one.txt", "one\n");
        testfiles::writeFile(m_root + "/Alpha/two.html", "<html></html>\n");
        testfiles::writeFile(m_root + "/Alpha/three.png", "");
        testfiles::writeFile(m_root + "/Alpha/Zeta.txt", "zeta\n");
        testfiles::writeFile(m_root + "/Alpha/alpha.txt", "alpha\n");
        ASSERT_EQ(::symlink("Alpha/inner", (m_root + "/toInner").c_str()), 0);
    }

    std::unique_ptr<::TFolderTreeView> placedTree()
    {
        auto tree = std::make_unique<::TFolderTreeView>();
        tree->SetParent(m_host.get());
        tree->setGeometry(0, 0, 500, 700);
        tree->OnChange = [this](TObject*, TTreeNode*) { ++m_changes; };
        return tree;
    }

    void doubleClick(::TFolderTreeView& tree, TTreeNode* node)
    {
        tree.scrollToItem(node);
        const QPoint at = tree.visualItemRect(node).center();
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }

    std::string m_root;
    int m_changes = 0;
};

TEST_F(TFolderTreeView, PlacedTreeShowsTheExpandedDesktopWithItsFoldersDocumentsFirst)
{
    ::TFolderTreeView unplaced;
    EXPECT_EQ(unplaced.Items().Count(), 0);
    EXPECT_TRUE(unplaced.OnlyFileSystem());
    EXPECT_FALSE(unplaced.IncludeFile());
    EXPECT_EQ(unplaced.ShowHidden(), flhConformExplorer);

    auto tree = placedTree();
    TTreeNode* desktop = tree->Items().GetFirstNode();
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(desktop->getNextSibling(), nullptr);  // one top node
    EXPECT_TRUE(desktop->Expanded());
    EXPECT_GE(desktop->ImageIndex(), 0);

    TTreeNode* first = desktop->getFirstChild();
    ASSERT_NE(first, nullptr);
    std::string path;
    ASSERT_TRUE(displayNameOf(tree->getParentShellFolder(first), ::TFolderTreeView::nodeInfo(first)->pidl,
                              kFullPathName, path));
    EXPECT_EQ(path, m_home + "/Documents");

    EXPECT_NE(childNamed(desktop, "alpha"), nullptr);
    EXPECT_NE(childNamed(desktop, "beta"), nullptr);
    EXPECT_EQ(childNamed(desktop, "note.txt"), nullptr);  // files are never on the desktop level
    const bool showsHidden = (shellSettingsWord() & kShowSysFilesBit) != 0;
    EXPECT_EQ(childNamed(desktop, ".secret") != nullptr, showsHidden);
    // Nothing below the desktop is loaded yet: no expand buttons.
    for (TTreeNode* node = first; node; node = node->getNextSibling()) {
        EXPECT_FALSE(node->HasChildren()) << node->Text();
        EXPECT_FALSE(::TFolderTreeView::nodeInfo(node)->enumerated);
    }
    EXPECT_EQ(tree->FolderName(), "");

    // Files stay off the desktop level even when the tree shows files.
    ::TFolderTreeView withFiles;
    withFiles.SetIncludeFile(true);
    withFiles.SetParent(m_host.get());
    EXPECT_EQ(childNamed(withFiles.Items().GetFirstNode(), "note.txt"), nullptr);
    EXPECT_NE(childNamed(withFiles.Items().GetFirstNode(), "alpha"), nullptr);
}

TEST_F(TFolderTreeView, SiblingsComeInTheShellsOrderFoldersFirst)
{
    auto tree = placedTree();
    tree->SetIncludeFile(true);
    tree->setFolderName(m_root + "/Alpha/inner");
    TTreeNode* alpha = tree->Selected()->Parent();
    EXPECT_EQ(captionsOf(alpha),
              (std::vector<std::string>{"inner", "alpha.txt", "one.txt", "three.png", "two.html", "Zeta.txt"}));
    EXPECT_EQ(captionsOf(alpha->Parent()), (std::vector<std::string>{"Alpha", "Beta", "Gamma", "toInner"}));
}

TEST_F(TFolderTreeView, DoubleClickLoadsAFolderOnceThenTogglesIt)
{
    auto tree = placedTree();
    tree->setFolderName(m_root + "/Alpha");
    TTreeNode* alpha = tree->Selected();
    ASSERT_NE(alpha, nullptr);
    ASSERT_EQ(tree->FolderName(), m_root + "/Alpha");
    // The walk loads the folders it passes through, not the one it ends on.
    EXPECT_TRUE(::TFolderTreeView::nodeInfo(alpha->Parent())->enumerated);
    EXPECT_FALSE(::TFolderTreeView::nodeInfo(alpha)->enumerated);
    EXPECT_FALSE(alpha->HasChildren());

    tree->SetSelected(alpha);
    int doubleClicks = 0;
    tree->OnDblClick = [&](TObject*) { ++doubleClicks; };
    doubleClick(*tree, alpha);
    EXPECT_EQ(doubleClicks, 1);
    ASSERT_TRUE(::TFolderTreeView::nodeInfo(alpha)->enumerated);
    EXPECT_TRUE(alpha->Expanded());
    EXPECT_EQ(captionsOf(alpha), (std::vector<std::string>{"inner"}));  // files stay out
    TTreeNode* inner = alpha->getFirstChild();

    // Loaded: a double-click closes and opens it without listing it again.
    doubleClick(*tree, alpha);
    EXPECT_FALSE(alpha->Expanded());
    doubleClick(*tree, alpha);
    EXPECT_TRUE(alpha->Expanded());
    EXPECT_EQ(alpha->Count(), 1);
    EXPECT_EQ(alpha->getFirstChild(), inner);

    // The keyboard opens an unloaded folder too.
    tree->SetSelected(inner);
    QTest::keyClick(tree.get(), Qt::Key_Right);
    EXPECT_TRUE(::TFolderTreeView::nodeInfo(inner)->enumerated);
    EXPECT_TRUE(inner->Expanded());
    EXPECT_EQ(captionsOf(inner), (std::vector<std::string>{"deepest"}));
    TTreeNode* deepest = inner->getFirstChild();
    tree->SetSelected(deepest);
    QTest::keyClick(tree.get(), Qt::Key_Plus);
    EXPECT_TRUE(::TFolderTreeView::nodeInfo(deepest)->enumerated);
}

TEST_F(TFolderTreeView, FolderNameOfDrivesFoldersDesktopAndComputer)
{
    auto tree = placedTree();
    tree->setFolderName("/");
    EXPECT_EQ(tree->FolderName(), "/");
    TTreeNode* drive = tree->Selected();
    ASSERT_NE(drive, nullptr);
    TTreeNode* computer = drive->Parent();
    ASSERT_NE(computer, nullptr);
    EXPECT_EQ(computer->Level(), 1);

    tree->setFolderName(m_root + "/Alpha/");
    EXPECT_EQ(tree->FolderName(), m_root + "/Alpha");
    EXPECT_EQ(tree->SelectedFolders(), (std::vector<std::string>{m_root + "/Alpha"}));

    tree->SetSelected(tree->Items().GetFirstNode());
    EXPECT_EQ(tree->FolderName(), m_home + "/Desktop");

    tree->SetSelected(computer);
    EXPECT_EQ(tree->FolderName().rfind("::{", 0), 0u) << tree->FolderName();

    // The class-identifier form selects the virtual folder again, also
    // through a refresh.
    const std::string computerName = tree->FolderName();
    tree->Refresh();
    EXPECT_EQ(tree->FolderName(), computerName);
    computer = tree->Selected();
    ASSERT_NE(computer, nullptr);
    EXPECT_EQ(computer->Level(), 1);
    tree->setFolderName("/");
    tree->setFolderName(computerName);
    EXPECT_EQ(tree->Selected(), computer);

    tree->SelectParent();
    EXPECT_EQ(tree->Selected(), tree->Items().GetFirstNode());
    tree->Deselect();
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_EQ(tree->FolderName(), "");
}

TEST_F(TFolderTreeView, HandlersAssignedThroughTheFrameworkTreeAddToTheFolderTreesOwnWork)
{
    auto tree = placedTree();
    TCustomTreeView& framework = *tree;
    std::vector<std::string> seen;
    framework.OnChange = [&](TObject* sender, TTreeNode*) {
        EXPECT_EQ(sender, tree.get());
        seen.push_back(tree->FolderName());
    };
    tree->SetFolderName(m_root + "/Alpha");
    EXPECT_EQ(tree->FolderName(), m_root + "/Alpha") << "the tree still follows its selection";
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), m_root + "/Alpha") << "and the handler sees the folder the tree reports";
}

TEST_F(TFolderTreeView, SettingAPathRaisesOneChangePerMatchedLevel)
{
    auto tree = placedTree();
    tree->SetSelected(tree->Items().GetFirstNode());
    m_changes = 0;
    std::vector<std::string> seen;
    tree->OnChange = [&](TObject*, TTreeNode*) {
        ++m_changes;
        seen.push_back(tree->FolderName());
    };
    const std::string target = m_root + "/Alpha/inner";
    tree->SetFolderName(target);
    EXPECT_EQ(tree->FolderName(), target);
    // Clearing, then Computer, "/", and every folder down to the target.
    int components = 0;
    for (char c : target)
        components += c == '/';
    EXPECT_EQ(m_changes, 1 + 2 + components);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "");
    EXPECT_EQ(seen[2], "/");
    EXPECT_EQ(seen.back(), target);
}

TEST_F(TFolderTreeView, EmptyUnparsableAndMissingPaths)
{
    auto tree = placedTree();
    tree->setFolderName(m_root);
    ASSERT_NE(tree->Selected(), nullptr);
    tree->setFolderName("");
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_EQ(tree->FolderName(), "");
    EXPECT_TRUE(tree->SelectedFolders().empty());

    tree->setFolderName(m_root);
    tree->setFolderName(std::string("/tmp\0/x", 7));
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_EQ(tree->FolderName(), "");

    // A missing last component leaves its parent selected.
    tree->setFolderName(m_root + "/Beta/gone");
    EXPECT_EQ(tree->FolderName(), m_root + "/Beta");
    tree->setFolderName(m_root + "/Beta/gone/further");
    EXPECT_EQ(tree->FolderName(), m_root + "/Beta");
}

TEST_F(TFolderTreeView, EmphasizeFocusKeepsOnlyTheSelectedNodeBold)
{
    auto tree = placedTree();
    tree->SetEmphasizeFocus(true);
    tree->setFolderName(m_root + "/Beta");
    TTreeNode* beta = tree->Selected();
    ASSERT_NE(beta, nullptr);
    EXPECT_TRUE(beta->Bold());
    for (TTreeNode* node = tree->Items().GetFirstNode(); node; node = node->GetNext())
        EXPECT_EQ(node->Bold(), node == beta) << node->Text();
    TTreeNode* gamma = childNamed(beta->Parent(), "Gamma");
    ASSERT_NE(gamma, nullptr);
    tree->SetSelected(gamma);
    EXPECT_FALSE(beta->Bold());
    EXPECT_TRUE(gamma->Bold());
}

TEST_F(TFolderTreeView, SwitchingMultiSelectOffWithThreeSelectedReportsOnce)
{
    auto tree = placedTree();
    tree->setMultiSelect(true);
    EXPECT_TRUE(tree->MultiSelect());
    tree->setFolderName(m_root + "/Alpha");
    TTreeNode* alpha = tree->Selected();
    TTreeNode* root = alpha->Parent();
    childNamed(root, "Beta")->setSelected(true);
    childNamed(root, "Gamma")->setSelected(true);
    ASSERT_EQ(tree->SelectionCount(), 3);
    m_changes = 0;
    tree->setMultiSelect(false);
    EXPECT_EQ(m_changes, 1);
    EXPECT_EQ(tree->SelectionCount(), 1);
    EXPECT_EQ(tree->Selections(0), alpha);
    EXPECT_EQ(tree->SelectedFolders(), (std::vector<std::string>{m_root + "/Alpha"}));
    // With one node selected there is nothing to report.
    tree->setMultiSelect(true);
    tree->setMultiSelect(false);
    EXPECT_EQ(m_changes, 1);
}

TEST_F(TFolderTreeView, OpenFolderMatchesNamesInOtherLetterCase)
{
    auto tree = placedTree();
    EXPECT_FALSE(tree->OpenFolder("Alpha"));  // nothing selected
    tree->setFolderName(m_root);
    EXPECT_TRUE(tree->OpenFolder("alpha"));
    EXPECT_EQ(tree->FolderName(), m_root + "/Alpha");
    EXPECT_TRUE(tree->OpenFolder("INNER"));
    EXPECT_EQ(tree->FolderName(), m_root + "/Alpha/inner");
    EXPECT_FALSE(tree->OpenFolder("missing"));
    EXPECT_EQ(tree->FolderName(), m_root + "/Alpha/inner");
}

TEST_F(TFolderTreeView, DeletedNodesGiveBackTheirImagesAndTheRestKeepTheirIcons)
{
    auto tree = placedTree();
    tree->SetIncludeFile(true);
    tree->setFolderName(m_root + "/Alpha/one.txt");
    TTreeNode* alpha = tree->Selected();
    ASSERT_NE(alpha, nullptr);
    ASSERT_EQ(tree->FolderName(), m_root + "/Alpha/one.txt");
    alpha = alpha->Parent();
    ASSERT_NE(childNamed(alpha, "two.html"), nullptr);
    TFflIconList* icons = tree->iconList();

    // Every node's images, by icon location (skipping one node).
    auto locations = [&](TTreeNode* skip) {
        std::vector<std::string> result;
        for (TTreeNode* node = tree->Items().GetFirstNode(); node; node = node->GetNext()) {
            if (node != skip)
                result.push_back(node->Text() + ":" + icons->iconRefs(node->ImageIndex()).iconFile + "/" +
                                 icons->iconRefs(node->SelectedIndex()).iconFile);
        }
        return result;
    };
    // The uses counted by the list match the nodes' images (overlays aside).
    auto countsMatch = [&] {
        std::vector<int> uses(static_cast<std::size_t>(icons->Count()), 0);
        for (TTreeNode* node = tree->Items().GetFirstNode(); node; node = node->GetNext()) {
            if (node->ImageIndex() < 0 || node->SelectedIndex() < 0)
                return false;  // every node here has icons
            ++uses[static_cast<std::size_t>(node->ImageIndex())];
            if (node->SelectedIndex() != node->ImageIndex())
                ++uses[static_cast<std::size_t>(node->SelectedIndex())];
        }
        for (int i = 0; i < icons->Count(); ++i) {
            const bool overlay = i == icons->overlaySlot(1) || i == icons->overlaySlot(2);
            if (!overlay && uses[static_cast<std::size_t>(i)] != icons->iconRefs(i).refCount)
                return false;
        }
        return true;
    };
    ASSERT_TRUE(countsMatch());

    // The page's icon is used by no other node: deleting it deletes the image
    // and every later image index moves down with it.
    TTreeNode* page = childNamed(alpha, "two.html");
    const int imagesBefore = icons->Count();
    const std::vector<std::string> expected = locations(page);
    tree->Items().Delete(page);
    EXPECT_EQ(icons->Count(), imagesBefore - 1);
    EXPECT_EQ(locations(nullptr), expected);
    EXPECT_TRUE(countsMatch());

    // Deleting a loaded folder deletes its children first.
    const int nodesBefore = tree->Items().Count();
    int alphaNodes = 1;
    for (TTreeNode* child = alpha->getFirstChild(); child; child = child->getNextSibling())
        alphaNodes += 1 + child->Count();
    tree->Items().Delete(alpha);
    EXPECT_EQ(tree->Items().Count(), nodesBefore - alphaNodes);
    EXPECT_TRUE(countsMatch());
}

TEST_F(TFolderTreeView, LinkedFileListFollowsTheSelectionAndSelectsFiles)
{
    auto tree = placedTree();
    auto list = std::make_unique<RecordingFileList>();
    tree->setFolderName(m_root + "/Beta");
    tree->SetFileListControl(list.get());
    EXPECT_EQ(tree->FileListControl(), list.get());
    ASSERT_EQ(list->opened, 1);
    EXPECT_EQ(list->folders.back(), m_root + "/Beta");
    EXPECT_EQ(list->lastControl, tree.get());

    // Anything that is not a file list is ignored.
    TComponent plain;
    tree->SetFileListControl(&plain);
    EXPECT_EQ(tree->FileListControl(), list.get());

    // A file's path selects its folder and hands the file to the list.
    tree->setFolderName(m_root + "/Alpha/one.txt");
    EXPECT_EQ(list->selected, (std::vector<std::string>{"one.txt"}));
    EXPECT_EQ(list->folders.back(), m_root + "/Alpha");
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->SelectionCount(), 0);  // the folder node left the selection list

    // The list going away unlinks it.
    list.reset();
    EXPECT_EQ(tree->FileListControl(), nullptr);
    tree->setFolderName(m_root + "/Gamma");
    EXPECT_EQ(tree->FolderName(), m_root + "/Gamma");
}

TEST_F(TFolderTreeView, ClickingANodeOpensItInTheListOnceAndReportsTheClick)
{
    auto tree = placedTree();
    RecordingFileList list;
    tree->SetFileListControl(&list);
    tree->setFolderName(m_root + "/Alpha");
    TTreeNode* beta = childNamed(tree->Selected()->Parent(), "Beta");
    ASSERT_NE(beta, nullptr);
    int clicks = 0;
    tree->OnClick = [&](TObject*) { ++clicks; };
    const int opened = list.opened;
    m_changes = 0;
    tree->scrollToItem(beta);
    const QPoint at = tree->visualItemRect(beta).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(tree->FolderName(), m_root + "/Beta");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(m_changes, 1);
    EXPECT_EQ(list.opened, opened + 1);  // by the change; the click finds the path unchanged
    EXPECT_EQ(list.folders.back(), m_root + "/Beta");
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(m_changes, 1);
    EXPECT_EQ(list.opened, opened + 1);
    // A missing name is not handed to the list as a file.
    tree->setFolderName(m_root + "/Beta/missing.txt");
    EXPECT_TRUE(list.selected.empty());
    EXPECT_EQ(tree->FolderName(), m_root + "/Beta");
    tree->SetFileListControl(nullptr);
}

TEST_F(TFolderTreeView, DoubleClickOnAShortcutSelectsItsTarget)
{
    auto tree = placedTree();
    tree->setFolderName(m_root + "/toInner");
    TTreeNode* link = tree->Selected();
    ASSERT_NE(link, nullptr);
    ASSERT_EQ(tree->FolderName(), m_root + "/toInner");
    EXPECT_EQ(link->OverlayIndex(), 2);
    doubleClick(*tree, link);
    EXPECT_EQ(tree->FolderName(), m_root + "/Alpha/inner");
}

TEST_F(TFolderTreeView, RightButtonSelectsTheNodeUnderTheMouse)
{
    auto tree = placedTree();
    tree->setFolderName(m_root + "/Alpha");
    TTreeNode* gamma = childNamed(tree->Selected()->Parent(), "Gamma");
    ASSERT_NE(gamma, nullptr);
    int mouseUps = 0;
    tree->OnMouseUp = [&](TObject*, TMouseButton button, TShiftState, int, int) {
        EXPECT_EQ(button, mbRight);
        ++mouseUps;
    };
    tree->scrollToItem(gamma);
    QTest::mouseClick(tree->viewport(), Qt::RightButton, Qt::NoModifier, tree->visualItemRect(gamma).center());
    EXPECT_EQ(tree->Selected(), gamma);
    EXPECT_EQ(tree->FolderName(), m_root + "/Gamma");
    EXPECT_EQ(mouseUps, 1);
}

TEST_F(TFolderTreeView, NamesThatAreNoUtf8KeepTheirBytesAndAreShownDecoded)
{
    const std::string latin1 = "Caf\xE9";      // "Café" in Latin-1
    const std::string latin1Twin = "Caf\xE8";  // "Cafè": shown alike, another folder
    const std::string shiftJis = "\x83\x74\x83\x48\x83\x8B\x83\x5F";  // "フォルダ" in Shift-JIS
    makeFolder(m_root + "/" + latin1);
    makeFolder(m_root + "/" + latin1Twin);
    makeFolder(m_root + "/" + shiftJis);
    makeFolder(m_root + "/" + shiftJis + "/" + latin1);
    testfiles::writeFile(m_root + "/" + shiftJis + "/" + shiftJis + ".txt", "x\n");
    auto tree = placedTree();
    RecordingFileList list;
    tree->SetFileListControl(&list);

    const std::string replacement = "\xEF\xBF\xBD";  // U+FFFD
    for (const std::string& relative : {latin1, latin1Twin, shiftJis, shiftJis + "/" + latin1}) {
        const std::string path = m_root + "/" + relative;
        tree->setFolderName(path);
        ASSERT_NE(tree->Selected(), nullptr) << relative;
        EXPECT_EQ(tree->FolderName(), path);
        EXPECT_EQ(tree->SelectedFolders(), (std::vector<std::string>{path}));
        EXPECT_EQ(list.folders.back(), path);
        const std::string name = relative.substr(relative.find_last_of('/') + 1);
        EXPECT_EQ(::TFolderTreeView::nodeInfo(tree->Selected())->name, name);
        // Only the caption is decoded, with a visible mark for what is no text.
        EXPECT_NE(tree->Selected()->Text().find(replacement), std::string::npos);
        // A saved path selects the same folder again.
        tree->Refresh();
        EXPECT_EQ(tree->FolderName(), path);
    }
    TTreeNode* root = tree->Selected()->Parent()->Parent();
    EXPECT_EQ(childNamed(root, latin1)->Text(), "Caf" + replacement);

    // Matching is by bytes: a name shown alike is another name.
    tree->setFolderName(m_root + "/Caf\xEA");
    EXPECT_EQ(tree->FolderName(), m_root);
    tree->setFolderName(m_root + "/CAF\xE8");  // letter case aside, the bytes that are no text agree
    EXPECT_EQ(tree->FolderName(), m_root + "/" + latin1Twin);
    tree->setFolderName(m_root);
    EXPECT_TRUE(tree->OpenFolder(latin1));
    EXPECT_EQ(tree->FolderName(), m_root + "/" + latin1);
    tree->SetSelected(childNamed(tree->Selected()->Parent(), latin1Twin));
    EXPECT_EQ(tree->FolderName(), m_root + "/" + latin1Twin);

    // A file's name reaches the linked list as it is on disk.
    tree->setFolderName(m_root + "/" + shiftJis + "/" + shiftJis + ".txt");
    EXPECT_EQ(list.selected, (std::vector<std::string>{shiftJis + ".txt"}));
    EXPECT_EQ(list.folders.back(), m_root + "/" + shiftJis);
    tree->SetFileListControl(nullptr);
}

TEST_F(TFolderTreeView, HiddenFoldersFollowShowHiddenAfterARefresh)
{
    auto tree = placedTree();
    tree->setShowHidden(flhForceShow);
    tree->setFolderName(m_root + "/Alpha");
    ASSERT_NE(tree->Selected(), nullptr);
    TTreeNode* dot = childNamed(tree->Selected()->Parent(), ".dot");
    ASSERT_NE(dot, nullptr);
    EXPECT_TRUE(dot->Cut());

    // The setting applies to nodes added later: a refresh rebuilds the path.
    tree->setShowHidden(flhForceHide);
    EXPECT_NE(childNamed(tree->Selected()->Parent(), ".dot"), nullptr);
    tree->Refresh();
    EXPECT_EQ(tree->FolderName(), m_root + "/Alpha");
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(childNamed(tree->Selected()->Parent(), ".dot"), nullptr);
    tree->setShowHidden(5);
    EXPECT_EQ(tree->ShowHidden(), flhConformExplorer);

    // Taken off its parent, the tree is empty.
    tree->SetParent(nullptr);
    EXPECT_EQ(tree->Items().Count(), 0);
    EXPECT_EQ(tree->iconList(), nullptr);
}

}  // namespace
