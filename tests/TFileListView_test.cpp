// The file list over a real namespace: a temporary home for the shell and a
// temporary folder of real files, listed through FileName or through a linked
// folder tree, with double-clicks through the list's real Qt input.
#include "Application.h"
#include "FflFileStyleMenu.h"
#include "FileListView.h"
#include "FolderDropDown.h"
#include "FolderTreeView.h"
#include "PopupMenu.h"
#include "ShellHome.h"
#include "ShellRefs.h"
#include "TestFiles.h"

#include <QAbstractItemView>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using testfiles::makeFolder;
using testfiles::writeFile;

struct PatternCase {
    const char* name;
    std::string pattern;
    bool matches;
};

class TFileListView : public testfiles::ShellBrowseTest {
protected:
    TFileListView() : ShellBrowseTest(600, 500) {}

    void SetUp() override
    {
        ShellBrowseTest::SetUp();
        if (HasFatalFailure())
            return;
        m_root = m_dir.file("pictures");
        makeFolder(m_root);
        makeFolder(m_root + "/sub");
        makeFolder(m_root + "/sub/deeper");
        makeFolder(m_root + "/sub/deeper/sub");
        writeFile(m_root + "/sub/inner.jpg", "inner");
        writeFile(m_root + "/a.JPG", "a");
        writeFile(m_root + "/b.png", "b");
        writeFile(m_root + "/c.txt", "c");
        writeFile(m_root + "/empty.dat", "");
        writeFile(m_root + "/k.dat", std::string(1536, 'k'));
        writeFile(m_root + "/.hidden.jpg", "h");
        ASSERT_EQ(::symlink("sub", (m_root + "/toSub").c_str()), 0);
    }

    std::unique_ptr<::TFileListView> placedList()
    {
        auto list = std::make_unique<::TFileListView>();
        list->SetParent(m_host.get());
        list->setGeometry(0, 0, 600, 500);
        list->OnChange = [this](TObject*, TListItem*, TItemChange) { ++m_changes; };
        return list;
    }

    static std::vector<std::string> names(const ::TFileListView& list)
    {
        std::vector<std::string> result;
        for (int i = 0; i < list.Items().Count(); ++i)
            result.push_back(::TFileListView::itemInfo(list.Items().Item(i))->name);
        return result;
    }
    static TListItem* itemNamed(const ::TFileListView& list, const std::string& name)
    {
        for (int i = 0; i < list.Items().Count(); ++i)
            if (::TFileListView::itemInfo(list.Items().Item(i))->name == name)
                return list.Items().Item(i);
        return nullptr;
    }
    // Double-clicks the item in the view shown now.
    static void doubleClick(::TFileListView& list, TListItem* item)
    {
        QAbstractItemView* pane = nullptr;
        for (QAbstractItemView* candidate : list.findChildren<QAbstractItemView*>())
            if (candidate->isVisible() && candidate->parentWidget() == &list)
                pane = candidate;
        ASSERT_NE(pane, nullptr);
        const RECT r = item->DisplayRect();
        const QPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        QTest::mouseDClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, pane->viewport()->mapFrom(&list, centre));
    }

    std::string m_root;
    int m_changes = 0;
};

TEST(FileListPattern, StarsQuestionMarksCaseAndSeparators)
{
    const std::vector<PatternCase> cases = {
        {"abc", "a*", true},
        {"", "*", true},
        {"anything.at.all", "*", true},
        {"", "?", false},
        {"a", "*?", false},          // a "?" after a "*" never matches
        {"x.y.jpg", "*.jpg", false},  // no backtracking: the star stops at the first "."
        {"abj", "*J", false},        // the byte after a star matches exactly
        {"aBJ", "ab*J", true},
        {"a.JPG", "*.jpg", true},
        {"abc", "a?c", true},
        {"abcd", "a?c", false},      // the whole name must be used up
        {"", "", true},
        {"a", "", false},
        {"\xe6\x97\xa5.jpg", "???.JPG", true},  // every byte of a Japanese name is a character
        {"\xe6\x97\xa5.jpg", "\xe6*.jpg", true},
        {"\xe6\x97\xa5.jpg", "\xc6*.jpg", false},  // bytes above 127 have no other case
        {"a", std::string("a\0", 2), false},       // a zero byte forms no character
    };
    for (const PatternCase& c : cases)
        EXPECT_EQ(::TFileListView::isMatchPattern(c.name, c.pattern), c.matches)
            << "\"" << c.name << "\" against \"" << c.pattern << "\"";

    ::TFileListView list;
    const std::vector<std::pair<std::string, std::vector<bool>>> filters = {
        {"*.jpg;*.png", {true, true, false}},
        {"*.jpg; *.png", {true, false, false}},  // a piece keeps its blank
        {"*.txt;", {false, false, true}},
    };
    for (const auto& [filter, expected] : filters) {
        list.SetFilter(filter);
        EXPECT_EQ(list.Filter(), filter);
        std::vector<bool> matched;
        for (const char* name : {"a.JPG", "b.png", "c.txt"})
            matched.push_back(list.isMatchFilter(name));
        EXPECT_EQ(matched, expected) << filter;
    }
}

TEST_F(TFileListView, FilterHiddenRuleAndIncludeFolderDecideWhatIsListed)
{
    auto list = placedList();
    EXPECT_EQ(list->ViewStyle(), vsList);
    EXPECT_TRUE(list->IncludeFolder());
    EXPECT_TRUE(list->OnlyFileSystem());
    EXPECT_EQ(list->Items().Count(), 0);

    // Folders first, then files, in the shell's order; the hidden file only when shown.
    list->SetShowHidden(flhForceShow);
    list->setFileName(m_root);
    EXPECT_EQ(names(*list), (std::vector<std::string>{"sub", "toSub", ".hidden.jpg", "a.JPG", "b.png", "c.txt",
                                                      "empty.dat", "k.dat"}));
    EXPECT_TRUE(itemNamed(*list, ".hidden.jpg")->Cut());
    EXPECT_EQ(itemNamed(*list, "toSub")->OverlayIndex(), 2);  // the shortcut mark

    // Folders and shortcuts pass any filter; the hidden file goes at the next
    // listing, which also takes the selection and reports it.
    ASSERT_TRUE(list->SelectFile("c.txt"));
    EXPECT_EQ(list->FileName(), m_root + "/c.txt");
    m_changes = 0;
    list->SetShowHidden(flhForceHide);
    list->setFilter("*.jpg;*.png");
    EXPECT_EQ(names(*list), (std::vector<std::string>{"sub", "toSub", "a.JPG", "b.png"}));
    EXPECT_EQ(list->FileName(), "");
    EXPECT_EQ(m_changes, 1);

    // Without folders only the files remain; the link to a folder is a folder too.
    list->SetIncludeFolder(false);
    list->setFilter("*");
    EXPECT_EQ(names(*list), (std::vector<std::string>{"a.JPG", "b.png", "c.txt", "empty.dat", "k.dat"}));

    // One image per distinct icon, index for index in both lists. The image
    // goes with its last user, and the later images move down.
    TFflIconList* small = list->smallIconList();
    TFflIconList* large = list->largeIconList();
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->Count(), large->Count());
    EXPECT_LT(small->Count(), list->Items().Count());
    const int imagesBefore = small->Count();
    std::vector<TListItem*> firstImageUsers;
    std::vector<std::pair<TListItem*, std::string>> others;
    for (int i = 0; i < list->Items().Count(); ++i) {
        TListItem* item = list->Items().Item(i);
        if (item->ImageIndex() == 0)
            firstImageUsers.push_back(item);
        else
            others.emplace_back(item, small->iconRefs(item->ImageIndex()).iconFile);
    }
    ASSERT_FALSE(firstImageUsers.empty());
    ASSERT_FALSE(others.empty());
    EXPECT_EQ(small->iconRefs(0).refCount, static_cast<int>(firstImageUsers.size()));
    for (TListItem* user : firstImageUsers) {
        EXPECT_EQ(small->Count(), imagesBefore);
        list->Items().Delete(user->Index());
    }
    EXPECT_EQ(small->Count(), imagesBefore - 1);
    EXPECT_EQ(large->Count(), imagesBefore - 1);
    for (const auto& [item, iconFile] : others)
        EXPECT_EQ(small->iconRefs(item->ImageIndex()).iconFile, iconFile);
}

TEST_F(TFileListView, DetailColumnsShowSizeTimesAttributesAndState)
{
    // 9:05 on 2009-12-01, local time.
    std::tm local{};
    local.tm_year = 2009 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 1;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (m_root + "/c.txt").c_str(), times, 0), 0);
    ASSERT_EQ(::chmod((m_root + "/c.txt").c_str(), 0444), 0);

    auto list = placedList();
    list->SetViewStyle(vsReport);
    list->setFileName(m_root);
    ASSERT_EQ(list->Columns().Count(), 7);
    EXPECT_EQ(list->Columns().Items(1)->Caption(), "サイズ");
    EXPECT_EQ(list->Columns().Items(1)->Alignment(), taRightJustify);
    EXPECT_EQ(list->Columns().Items(0)->Width(), 178);

    // size, created, modified, accessed, attributes, state
    const std::vector<std::string> readOnly = itemNamed(*list, "c.txt")->SubItems();
    ASSERT_EQ(readOnly.size(), 6u);
    EXPECT_EQ(readOnly[0], "0KB");
    EXPECT_EQ(readOnly[2], "2009/12/01  9:05");
    EXPECT_EQ(readOnly[3], "2009/12/01  9:05");
    EXPECT_EQ(readOnly[4], "RA");
    EXPECT_EQ(readOnly[5], "オンライン");
    EXPECT_EQ(itemNamed(*list, "empty.dat")->SubItems()[0], "0KB");
    EXPECT_EQ(itemNamed(*list, "k.dat")->SubItems()[0], "1KB");
    EXPECT_EQ(itemNamed(*list, "k.dat")->SubItems()[4], "A");
    EXPECT_EQ(itemNamed(*list, "sub")->SubItems()[0], "");
    EXPECT_EQ(itemNamed(*list, "sub")->SubItems()[4], "");

    // What the shell never reports here: offline, hidden and system bits.
    EXPECT_EQ(::TFileListView::getStatusString(FILE_ATTRIBUTE_OFFLINE), "オフライン");
    EXPECT_EQ(::TFileListView::getAttributeString(0x27), "RHSA");
    EXPECT_EQ(::TFileListView::getSizeString(500, false), "0KB");
    EXPECT_EQ(::TFileListView::getSizeString(0, true), "");
    EXPECT_EQ(::TFileListView::getSizeString(4096, true), "4KB");
}

TEST_F(TFileListView, FileNameWithAFileAFolderAndAMissingPath)
{
    auto list = placedList();
    list->setFileName(m_root + "/b.png");
    EXPECT_EQ(m_changes, 1) << "one report for the listing and the selection";
    ASSERT_NE(list->Selected(), nullptr);
    EXPECT_EQ(::TFileListView::itemInfo(list->Selected())->name, "b.png");
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_EQ(list->FileName(), m_root + "/b.png");
    EXPECT_EQ(list->SelectedFiles(), std::vector<std::string>{m_root + "/b.png"});

    // Another name in the same folder: focus and selection follow. A list of
    // one selection keeps one; with MultiSelect the selection grows.
    EXPECT_TRUE(list->SelectFile("C.TXT"));
    EXPECT_EQ(list->SelectedFiles(), std::vector<std::string>{m_root + "/c.txt"});
    EXPECT_EQ(list->FileName(), m_root + "/c.txt");
    list->SetMultiSelect(true);
    EXPECT_TRUE(list->SelectFile("b.png"));
    EXPECT_EQ(list->SelectedFiles(), (std::vector<std::string>{m_root + "/b.png", m_root + "/c.txt"}));
    EXPECT_EQ(list->FileName(), m_root + "/b.png") << "the first selected item has the focus";
    EXPECT_FALSE(list->SelectFile("nothing.here"));
    m_changes = 0;
    list->Deselect();
    EXPECT_EQ(m_changes, 1);
    EXPECT_EQ(list->FileName(), "");
    EXPECT_TRUE(list->SelectedFiles().empty());

    m_changes = 0;
    list->setFileName(m_root + "/sub");
    EXPECT_EQ(m_changes, 1);
    EXPECT_EQ(names(*list), (std::vector<std::string>{"deeper", "inner.jpg"}));
    EXPECT_EQ(list->SelCount(), 0);
    EXPECT_EQ(list->FileName(), "");
    EXPECT_TRUE(list->SelectedFiles().empty());

    for (const std::string& missing : {m_root + "/sub/missing.jpg", m_root + "/gone/away.jpg", std::string()}) {
        m_changes = 0;
        list->setFileName(missing);
        EXPECT_EQ(m_changes, 1) << missing;
        EXPECT_EQ(names(*list), (std::vector<std::string>{"deeper", "inner.jpg"})) << missing;
    }
    EXPECT_EQ(list->folderControl(), nullptr);

    // Emptied by the host, the list names no file any more.
    list->setFileName(m_root + "/sub/inner.jpg");
    m_changes = 0;
    list->Clear();
    EXPECT_EQ(list->Items().Count(), 0);
    EXPECT_EQ(list->FileName(), "");
    EXPECT_TRUE(list->SelectedFiles().empty());
    EXPECT_EQ(m_changes, 1);
    list->Clear();
    EXPECT_EQ(m_changes, 1) << "nothing changed";
}

TEST_F(TFileListView, PopupMenuOfTheHostReplacesTheStyleMenuUntilItIsGone)
{
    auto list = placedList();
    const TCustomListView& view = *list;
    ASSERT_NE(list->styleMenu(), nullptr);
    EXPECT_EQ(list->PopupMenu(), nullptr);
    EXPECT_EQ(view.PopupMenu(), list->styleMenu());
    EXPECT_EQ(list->styleMenu()->FileListControl(), list.get());

    auto host = std::make_unique<TPopupMenu>();
    list->SetPopupMenu(host.get());
    EXPECT_EQ(list->PopupMenu(), host.get());
    EXPECT_EQ(view.PopupMenu(), host.get());
    TComponent notAMenu;
    list->SetPopupMenu(&notAMenu);
    EXPECT_EQ(list->PopupMenu(), host.get()) << "anything else is ignored";

    list->SetPopupMenu(nullptr);
    EXPECT_EQ(list->PopupMenu(), nullptr);
    EXPECT_EQ(view.PopupMenu(), list->styleMenu());

    list->SetPopupMenu(host.get());
    host.reset();
    EXPECT_EQ(list->PopupMenu(), nullptr);
    EXPECT_EQ(view.PopupMenu(), list->styleMenu());
}

TEST_F(TFileListView, DoubleClicksGoThroughTheLinkedTreeOrStayInTheList)
{
    auto tree = std::make_unique<TFolderTreeView>();
    tree->SetParent(m_host.get());
    tree->setGeometry(0, 0, 10, 10);
    auto list = placedList();
    tree->SetFileListControl(list.get());
    tree->setFolderName(m_root);
    EXPECT_EQ(list->folderControl(), tree.get());
    EXPECT_EQ(names(*list)[0], "sub");
    int doubleClicks = 0;
    list->OnDblClick = [&](TObject*) { ++doubleClicks; };

    // A folder: the tree opens it and the tree's change lists it.
    doubleClick(*list, itemNamed(*list, "sub"));
    EXPECT_EQ(tree->FolderName(), m_root + "/sub");
    EXPECT_EQ(names(*list), (std::vector<std::string>{"deeper", "inner.jpg"}));
    EXPECT_EQ(doubleClicks, 1);

    // A plain file goes nowhere.
    doubleClick(*list, itemNamed(*list, "inner.jpg"));
    EXPECT_EQ(list->FileName(), m_root + "/sub/inner.jpg");
    EXPECT_EQ(tree->FolderName(), m_root + "/sub");
    EXPECT_EQ(doubleClicks, 2);

    // A folder of a listing the tree did not make: the tree goes to its
    // path, not to a child of the same name of its own folder.
    tree->setFolderName(m_root + "/sub/deeper");
    list->setFileName(m_root);
    doubleClick(*list, itemNamed(*list, "sub"));
    EXPECT_EQ(tree->FolderName(), m_root + "/sub");
    EXPECT_EQ(names(*list), (std::vector<std::string>{"deeper", "inner.jpg"}));

    // The tree going away unlinks it: the list goes on by itself, through a shortcut too.
    tree.reset();
    EXPECT_EQ(list->folderControl(), nullptr);
    list->setFileName(m_root);
    doubleClick(*list, itemNamed(*list, "toSub"));
    EXPECT_EQ(names(*list), (std::vector<std::string>{"deeper", "inner.jpg"}));
    doubleClick(*list, itemNamed(*list, "deeper"));
    EXPECT_EQ(names(*list), std::vector<std::string>{"sub"});
    EXPECT_EQ(doubleClicks, 5);

    // The folder drop-down drives the list the same way.
    auto dropDown = std::make_unique<TFolderDropDown>();
    dropDown->SetParent(m_host.get());
    dropDown->SetFileListControl(list.get());
    dropDown->setFolderName(m_root);
    EXPECT_EQ(list->folderControl(), dropDown.get());
    doubleClick(*list, itemNamed(*list, "sub"));
    EXPECT_EQ(dropDown->FolderName(), m_root + "/sub");
    EXPECT_EQ(names(*list), (std::vector<std::string>{"deeper", "inner.jpg"}));
    dropDown.reset();
    EXPECT_EQ(list->folderControl(), nullptr);

    // Two controls linked to one list, the later one opening it last: each
    // still hears of the list's end.
    auto second = std::make_unique<TFolderTreeView>();
    second->SetParent(m_host.get());
    second->SetFileListControl(list.get());
    dropDown = std::make_unique<TFolderDropDown>();
    dropDown->SetParent(m_host.get());
    dropDown->SetFileListControl(list.get());
    EXPECT_EQ(list->folderControl(), dropDown.get());
    list->SetPopupMenu(nullptr);
    list.reset();
    EXPECT_EQ(second->FileListControl(), nullptr);
    EXPECT_EQ(dropDown->FileListControl(), nullptr);
    second->setFolderName(m_root);
}

}  // namespace
