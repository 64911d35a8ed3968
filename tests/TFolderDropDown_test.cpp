// The folder drop-down over a real namespace: a temporary home with its
// desktop and documents folders, and a temporary folder tree reached through
// its absolute path, as in the folder tree's tests.
#include "Application.h"
#include "FolderDropDown.h"
#include "HiddenItems.h"
#include "RecordingFileList.h"
#include "ShellItems.h"
#include "ShellHome.h"
#include "ShellRefs.h"
#include "TestFiles.h"

#include <QStyle>
#include <QTest>
#include <QStyleOptionComboBox>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using testfiles::makeFolder;

// The drop-down with its drawing open to the test.
class DrawnDropDown : public ::TFolderDropDown {
public:
    using ::TFolderDropDown::DrawItem;

    // Entry index drawn on a picture of width by height, as the list or the
    // edit part draws it.
    QImage drawn(int index, int width, int height, TOwnerDrawState state)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::black);
        Canvas()->SetSurface(&picture);
        Canvas()->Font()->Assign(*Font());
        DrawItem(index, RECT{0, 0, width, height}, state);
        Canvas()->SetSurface(nullptr);
        return picture;
    }
};

// The first column of row y whose colour is colour, or -1.
int firstColumnOf(const QImage& picture, int y, TColor colour)
{
    const QRgb wanted = qRgb(GetRValue(ColorToRGB(colour)), GetGValue(ColorToRGB(colour)), GetBValue(ColorToRGB(colour)));
    for (int x = 0; x < picture.width(); ++x)
        if ((picture.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF))
            return x;
    return -1;
}

class TFolderDropDown : public testfiles::ShellBrowseTest {
protected:
    TFolderDropDown() : ShellBrowseTest(400, 300) {}

    void SetUp() override
    {
        ShellBrowseTest::SetUp();
        if (HasFatalFailure())
            return;
        testfiles::makeFolder(m_home + "/Desktop/alpha/sub");
        testfiles::makeFolder(m_home + "/Desktop/alpha/Case");
        testfiles::makeFolder(m_home + "/Desktop/alpha/case");

        m_root = m_dir.file("tree");
        makeFolder(m_root);
        makeFolder(m_root + "/Alpha");
        makeFolder(m_root + "/Alpha/inner");
        makeFolder(m_root + "/Beta");
        makeFolder(m_root + "/.hid");
        testfiles::writeFile(m_root + "/Alpha/one.txt", "one\n");
        testfiles::writeFile(m_root + "/.hid/f.txt", "f\n");
    }

    std::unique_ptr<DrawnDropDown> placedDropDown()
    {
        auto dropDown = std::make_unique<DrawnDropDown>();
        dropDown->OnChange = [this](TObject*) { ++m_changes; };
        dropDown->SetParent(m_host.get());
        dropDown->setGeometry(0, 0, 300, dropDown->height());
        return dropDown;
    }

    // The position of the child of parent called name, or -1.
    static int childNamed(const ::TFolderDropDown& dropDown, int parent, const std::string& name)
    {
        for (int child = dropDown.getFirstChild(parent); child >= 0; child = dropDown.getNextSibling(child))
            if (dropDown.getInfo(child)->name == name)
                return child;
        return -1;
    }

    std::string m_root;
    int m_changes = 0;
};

TEST_F(TFolderDropDown, PlacedDropDownListsTheDesktopItsFoldersDocumentsFirstAndTheDrivesBelowComputer)
{
    ::TFolderDropDown unplaced;
    EXPECT_EQ(unplaced.EntryCount(), 0);
    EXPECT_EQ(unplaced.Items().Count(), 0);
    EXPECT_EQ(unplaced.Style(), csOwnerDrawFixed);
    EXPECT_EQ(unplaced.DropDownCount(), 8);

    auto dropDown = placedDropDown();
    ASSERT_GT(dropDown->EntryCount(), 3);
    EXPECT_EQ(dropDown->Items().Count(), dropDown->EntryCount());
    EXPECT_EQ(dropDown->getInfo(0)->level, 0);
    EXPECT_EQ(dropDown->getNextSibling(0), -1);  // one entry at level 0
    // Documents first below the desktop, selected, and nothing reported.
    EXPECT_EQ(dropDown->InitialEntry(), 1);
    EXPECT_EQ(dropDown->ItemIndex(), 1);
    EXPECT_EQ(dropDown->FolderName(), m_home + "/Documents");
    EXPECT_EQ(m_changes, 0);

    int computer = -1;
    for (int entry = dropDown->getFirstChild(0); entry >= 0; entry = dropDown->getNextSibling(entry)) {
        EXPECT_EQ(dropDown->getInfo(entry)->level, 1);
        if (dropDown->getInfo(entry)->name.rfind("::", 0) == 0)
            computer = entry;
    }
    EXPECT_GE(childNamed(*dropDown, 0, "alpha"), 0);
    EXPECT_EQ(childNamed(*dropDown, 0, "note.txt"), -1);  // files never become entries
    const bool showsHidden = (shellSettingsWord() & kShowSysFilesBit) != 0;
    EXPECT_EQ(childNamed(*dropDown, 0, ".secret") >= 0, showsHidden);

    // The drives directly after Computer, which is loaded; the desktop's
    // other folders are not.
    ASSERT_GE(computer, 0);
    EXPECT_TRUE(dropDown->getInfo(computer)->enumerated);
    EXPECT_EQ(dropDown->getFirstChild(computer), computer + 1);
    EXPECT_GE(childNamed(*dropDown, computer, "/"), 0);
    for (int drive = computer + 1; drive <= dropDown->getLastDescendant(computer); ++drive)
        EXPECT_EQ(dropDown->getInfo(drive)->level, 2);
    EXPECT_FALSE(dropDown->getInfo(childNamed(*dropDown, 0, "alpha"))->enumerated);
    EXPECT_EQ(dropDown->getLastDescendant(childNamed(*dropDown, 0, "alpha")), -1);

    // A folder set before placing is looked for once the control is placed.
    ::TFolderDropDown later;
    int laterChanges = 0;
    later.OnChange = [&](TObject*) { ++laterChanges; };
    later.SetFolderName(m_root + "/Beta");
    EXPECT_EQ(later.EntryCount(), 0);
    EXPECT_EQ(laterChanges, 0);
    later.SetParent(m_host.get());
    EXPECT_EQ(later.FolderName(), m_root + "/Beta");
    EXPECT_EQ(laterChanges, 1);
}

TEST_F(TFolderDropDown, TheUsersPickOpensTheFolderInTheListAndReportsOnce)
{
    auto dropDown = placedDropDown();
    RecordingFileList list;
    dropDown->SetFileListControl(&list);
    const int documents = dropDown->ItemIndex();
    dropDown->setFocus();
    QTest::keyClick(dropDown.get(), Qt::Key_Down);
    ASSERT_EQ(dropDown->ItemIndex(), documents + 1);
    std::string path;
    ASSERT_TRUE(displayNameOf(dropDown->getParentShellFolder(documents + 1), dropDown->getInfo(documents + 1)->pidl,
                              kFullPathName, path));
    EXPECT_EQ(dropDown->FolderName(), path);
    EXPECT_EQ(list.folders.back(), path);
    EXPECT_EQ(list.opened, 2);
    EXPECT_EQ(m_changes, 1);
}

TEST_F(TFolderDropDown, EntriesAreIndentedHalfAnIconPerLevelInTheListAndNotInTheEditPart)
{
    auto dropDown = placedDropDown();
    int drive = -1;
    for (int i = 0; i < dropDown->EntryCount(); ++i)
        if (dropDown->getInfo(i)->level == 2) {
            drive = i;
            break;
        }
    ASSERT_GE(drive, 0);
    ASSERT_EQ(dropDown->iconList()->Width(), 16);

    // The highlight of a selected entry starts right after its icon: at the
    // indent + 16 / 8 + 16 in a 16-pixel row.
    const TOwnerDrawState selected{odSelected};
    EXPECT_EQ(firstColumnOf(dropDown->drawn(0, 200, 16, selected), 8, clHighlight), 18);
    EXPECT_EQ(firstColumnOf(dropDown->drawn(drive, 200, 16, selected), 8, clHighlight), 16 + 18);
    const TOwnerDrawState editPart{odSelected, odComboBoxEdit};
    EXPECT_EQ(firstColumnOf(dropDown->drawn(drive, 200, 16, editPart), 8, clHighlight), 18);
    // Unselected: no highlight, the window colour left of the icon.
    const QImage plain = dropDown->drawn(drive, 200, 16, {});
    EXPECT_EQ(firstColumnOf(plain, 8, clHighlight), -1);
    EXPECT_EQ(firstColumnOf(plain, 8, clWindow), 0);

    // The control draws its edit part as the selected entry, unindented.
    QStyleOptionComboBox option;
    option.initFrom(dropDown.get());
    const QRect field =
        dropDown->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, dropDown.get());
    const QImage shown = dropDown->grab().toImage().copy(field).convertToFormat(QImage::Format_RGB32);
    const QImage expected = dropDown->drawn(dropDown->ItemIndex(), field.width(), field.height(), {odComboBoxEdit});
    EXPECT_EQ(shown, expected);
}

TEST_F(TFolderDropDown, SettingAFolderAddsTheChainBelowTheDriveSelectsTheDeepestAndReportsOnce)
{
    auto dropDown = placedDropDown();
    RecordingFileList list;
    dropDown->SetFileListControl(&list);
    ASSERT_EQ(list.folders, (std::vector<std::string>{m_home + "/Documents"}));
    const int fresh = dropDown->EntryCount();

    const std::string target = m_root + "/Alpha/inner";
    dropDown->SetFolderName(target);
    EXPECT_EQ(dropDown->FolderName(), target);
    EXPECT_EQ(m_changes, 1);
    EXPECT_EQ(list.folders.back(), target);
    EXPECT_EQ(list.lastControl, dropDown.get());

    // Each folder of the path is the first and only child of the one before,
    // up to the drive "/" at level 2.
    std::vector<std::string> chain;
    int entry = dropDown->ItemIndex();
    for (; dropDown->getInfo(entry)->level > 2; entry = dropDown->getParent(entry)) {
        EXPECT_EQ(dropDown->getFirstChild(dropDown->getParent(entry)), entry);
        EXPECT_EQ(dropDown->getNextSibling(entry), -1);
        chain.insert(chain.begin(), dropDown->getInfo(entry)->name);
    }
    EXPECT_EQ(dropDown->getInfo(entry)->name, "/");
    std::string joined;
    for (const std::string& name : chain)
        joined += "/" + name;
    EXPECT_EQ(joined, target);
    EXPECT_EQ(dropDown->EntryCount(), fresh + static_cast<int>(chain.size()));

    // A file selects its folder and is handed to the list; a missing last
    // component ends at its parent, reported; a path that does not parse
    // leaves the documents entry selected and reports nothing.
    dropDown->SetFolderName(m_root + "/Alpha/one.txt");
    EXPECT_EQ(dropDown->FolderName(), m_root + "/Alpha");
    EXPECT_EQ(list.selected, (std::vector<std::string>{"one.txt"}));
    dropDown->SetFolderName(m_root + "/Beta/gone");
    EXPECT_EQ(dropDown->FolderName(), m_root + "/Beta");
    EXPECT_EQ(list.selected.size(), 1u);
    // A file below a folder that is left out: the walk ends above it, and
    // the folder's name is no file to select.
    dropDown->SetShowHidden(flhForceHide);
    dropDown->SetFolderName(m_root + "/.hid/f.txt");
    EXPECT_EQ(dropDown->FolderName(), m_root);
    EXPECT_EQ(list.selected.size(), 1u);
    dropDown->SetShowHidden(flhConformExplorer);
    m_changes = 0;
    dropDown->SetFolderName("");
    EXPECT_EQ(dropDown->ItemIndex(), dropDown->InitialEntry());
    EXPECT_EQ(dropDown->FolderName(), m_root);
    EXPECT_EQ(m_changes, 0);

    // Every rebuild gave back the records and the icon list of the last one.
    dropDown->SetFolderName(m_root + "/Beta");
    const shelltest::ShellCounts afterOne = shelltest::shellCounts();
    dropDown->SetFolderName(m_root + "/Beta");
    EXPECT_EQ(shelltest::shellCounts(), afterOne);
    EXPECT_EQ(dropDown->ComponentCount(), 1);

    // The list going away unlinks it.
    {
        RecordingFileList shortLived;
        dropDown->SetFileListControl(&shortLived);
        EXPECT_EQ(dropDown->FileListControl(), &shortLived);
    }
    EXPECT_EQ(dropDown->FileListControl(), nullptr);
}

TEST_F(TFolderDropDown, ParentsSiblingsAndOpeningFolders)
{
    auto dropDown = placedDropDown();
    dropDown->SetFolderName("/tmp");
    const int tmp = dropDown->ItemIndex();
    ASSERT_EQ(dropDown->getInfo(tmp)->level, 3);
    m_changes = 0;
    dropDown->SelectParent();
    EXPECT_EQ(dropDown->FolderName(), "/");
    EXPECT_EQ(dropDown->getInfo(dropDown->ItemIndex())->level, 2);
    EXPECT_EQ(m_changes, 1);
    dropDown->SetItemIndex(0);
    dropDown->SelectParent();
    EXPECT_EQ(dropDown->ItemIndex(), 0);
    EXPECT_EQ(m_changes, 1);

    // Opening a child of a folder that is not loaded adds it as the first
    // child, once, also when it is asked in other letter case.
    const int alpha = childNamed(*dropDown, 0, "alpha");
    dropDown->SetItemIndex(alpha);
    EXPECT_FALSE(dropDown->OpenFolder("missing"));
    EXPECT_TRUE(dropDown->OpenFolder("SUB"));
    EXPECT_EQ(dropDown->FolderName(), m_home + "/Desktop/alpha/sub");
    EXPECT_EQ(dropDown->ItemIndex(), alpha + 1);
    const int count = dropDown->EntryCount();
    dropDown->SelectParent();
    EXPECT_TRUE(dropDown->OpenFolder("sub"));
    EXPECT_EQ(dropDown->EntryCount(), count);
    EXPECT_EQ(m_changes, 4);
    // Two folders that differ only in letter case are two entries.
    dropDown->SelectParent();
    EXPECT_TRUE(dropDown->OpenFolder("case"));
    dropDown->SelectParent();
    EXPECT_TRUE(dropDown->OpenFolder("Case"));
    EXPECT_EQ(dropDown->FolderName(), m_home + "/Desktop/alpha/Case");
    EXPECT_EQ(dropDown->EntryCount(), count + 2);

    // The last drive is the last child of Computer: no next sibling, although
    // a level-2 entry (alpha's child) follows after the shallower alpha.
    const int computer = dropDown->getParent(dropDown->getParent(tmp));
    const int lastDrive = [&] {
        int last = dropDown->getFirstChild(computer);
        while (dropDown->getNextSibling(last) >= 0)
            last = dropDown->getNextSibling(last);
        return last;
    }();
    ASSERT_LT(lastDrive, alpha);
    EXPECT_EQ(dropDown->getNextSibling(lastDrive), -1);
    EXPECT_EQ(dropDown->getParent(alpha + 1), alpha);
    EXPECT_EQ(dropDown->getParent(0), -1);
    EXPECT_EQ(dropDown->getInfo(dropDown->EntryCount()), nullptr);
}

}  // namespace
