// What the shell browsing controls share: the item identifier helpers, the
// hidden-item rule, the records and what they own, the icon assignment of one
// item and the shortcut resolution, over a temporary folder tree.
#include "Application.h"
#include "FolderFileList.h"
#include "ShellRefs.h"
#include "ShellSettings.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using shelltest::desktop;
using shelltest::folderAt;
using shelltest::parse;

WORD cbOf(const void* item)
{
    WORD cb = 0;
    std::memcpy(&cb, item, sizeof cb);
    return cb;
}

// A folder tree with a file, a subfolder, a dot-file, a link to the file
// and a link to the folder; shell objects are counted around each test.
class FolderTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeDesktop();
        ASSERT_TRUE(m_dir.valid());
        testfiles::writeFile(m_dir.file("a.txt"), "text\n");
        testfiles::writeFile(m_dir.file(".hidden.txt"), "hidden\n");
        ASSERT_EQ(::mkdir(m_dir.file("sub").c_str(), 0755), 0);
        ASSERT_EQ(::symlink(m_dir.file("a.txt").c_str(), m_dir.file("link.txt").c_str()), 0);
        ASSERT_EQ(::symlink("sub", m_dir.file("sublink").c_str()), 0);
        m_folder = folderAt(m_dir.path());
        ASSERT_NE(m_folder, nullptr);
        m_shellCounts = shelltest::shellCounts();
    }
    void TearDown() override
    {
        EXPECT_EQ(shelltest::shellCounts(), m_shellCounts);
    }

    UniquePidl item(const std::string& name) { return parse(m_folder.get(), name); }
    std::uint32_t attributes(LPCITEMIDLIST child)
    {
        std::uint32_t value = 0;
        EXPECT_TRUE(attributesOf(m_folder.get(), child, value));
        return value;
    }

    testfiles::TempFolder m_dir;
    ShellRef<IShellFolder> m_folder;
    shelltest::ShellCounts m_shellCounts;
};

class ItemIdHelpers : public FolderTree {};
class ShellItems : public FolderTree {};
class IconAssignment : public FolderTree {};
class ShortcutResolution : public FolderTree {};
class TFflNodeInfo : public FolderTree {};

TEST_F(ItemIdHelpers, CopyTheFirstIdentifierAndWalkTheRest)
{
    ShellRef<IShellFolder> root = desktop();
    UniquePidl absolute = parse(root.get(), m_dir.file("sub"));
    ASSERT_NE(absolute, nullptr);

    // The copy comes from the task allocator, as every list: the fixture's
    // count of task-allocator blocks sees it go.
    const UniquePidl first(copyFirstItemId(absolute.get()));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CoTaskMemLiveBlocks(), m_shellCounts.blocks + 2);
    const WORD cb = cbOf(absolute.get());
    EXPECT_EQ(std::memcmp(first.get(), absolute.get(), cb), 0);
    EXPECT_EQ(cbOf(reinterpret_cast<BYTE*>(first.get()) + cb), 0);
    EXPECT_EQ(nextItemId(first.get()), nullptr);  // the copy holds one identifier

    // Walking the absolute list visits every identifier up to the terminator.
    int count = 1;
    LPCITEMIDLIST last = absolute.get();
    for (LPCITEMIDLIST next = nextItemId(absolute.get()); next; next = nextItemId(next)) {
        EXPECT_EQ(reinterpret_cast<const BYTE*>(next), reinterpret_cast<const BYTE*>(last) + cbOf(last));
        last = next;
        ++count;
    }
    EXPECT_GE(count, 3);  // Computer, "/", ... , "sub"
    EXPECT_EQ(cbOf(reinterpret_cast<const BYTE*>(last) + cbOf(last)), 0);

    // Null, empty and damaged lists.
    const BYTE empty[2] = {0, 0};
    const BYTE damaged[4] = {1, 0, 0, 0};
    EXPECT_EQ(copyFirstItemId(nullptr), nullptr);
    EXPECT_EQ(copyFirstItemId(reinterpret_cast<LPCITEMIDLIST>(empty)), nullptr);
    EXPECT_EQ(copyFirstItemId(reinterpret_cast<LPCITEMIDLIST>(damaged)), nullptr);
    EXPECT_EQ(nextItemId(nullptr), nullptr);
    EXPECT_EQ(nextItemId(reinterpret_cast<LPCITEMIDLIST>(empty)), nullptr);
    freeItemId(nullptr);
}

TEST(HiddenItems, ShowHiddenValuesAndTheRule)
{
    EXPECT_EQ(showHiddenValue(0), flhConformExplorer);
    EXPECT_EQ(showHiddenValue(1), flhForceHide);
    EXPECT_EQ(showHiddenValue(2), flhForceShow);
    EXPECT_EQ(showHiddenValue(5), flhConformExplorer);
    EXPECT_EQ(showHiddenValue(-1), flhConformExplorer);

    const std::uint32_t hiddenTree = SFGAO_HIDDEN | SFGAO_GHOSTED;
    const std::uint32_t show = kShowSysFilesBit;
    // Items without the control's hidden flags always stay.
    for (TFflShowHidden mode : {flhConformExplorer, flhForceHide, flhForceShow})
        EXPECT_FALSE(isHiddenItemLeftOut(SFGAO_FOLDER, hiddenTree, mode, 0));
    EXPECT_TRUE(isHiddenItemLeftOut(SFGAO_HIDDEN, hiddenTree, flhForceHide, show));
    EXPECT_FALSE(isHiddenItemLeftOut(SFGAO_HIDDEN, hiddenTree, flhForceShow, 0));
    // Following the settings: kept exactly when they say to show hidden items.
    EXPECT_FALSE(isHiddenItemLeftOut(SFGAO_GHOSTED, hiddenTree, flhConformExplorer, show));
    EXPECT_TRUE(isHiddenItemLeftOut(SFGAO_GHOSTED, hiddenTree, flhConformExplorer, 0));
    // The drop-down looks at SFGAO_HIDDEN only.
    EXPECT_FALSE(isHiddenItemLeftOut(SFGAO_GHOSTED, SFGAO_HIDDEN, flhForceHide, 0));

    SHELLFLAGSTATE state{};
    SHGetSettings(&state, SSF_SHOWSYSFILES);
    EXPECT_EQ((shellSettingsWord() & kShowSysFilesBit) != 0, state.fShowSysFiles != 0);
}

TEST_F(ShellItems, NamesAttributesAndBinding)
{
    UniquePidl sub = item("sub");
    UniquePidl hidden = item(".hidden.txt");
    UniquePidl sublink = item("sublink");
    std::string name;
    ASSERT_TRUE(displayNameOf(m_folder.get(), sub.get(), kInFolderName, name));
    EXPECT_EQ(name, "sub");
    ASSERT_TRUE(displayNameOf(m_folder.get(), sub.get(), kFullPathName, name));
    EXPECT_EQ(name, m_dir.file("sub"));
    ASSERT_TRUE(displayNameOf(m_folder.get(), sub.get(), kCaptionName, name));
    EXPECT_EQ(name, "sub");

    const std::uint32_t folderBits = attributes(sub.get());
    EXPECT_EQ(folderBits & (SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR),
              SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR);
    EXPECT_EQ(folderBits & ~kFflAttributeRequest, 0u);  // only what was asked
    EXPECT_EQ(attributes(hidden.get()) & (SFGAO_HIDDEN | SFGAO_GHOSTED), SFGAO_HIDDEN | SFGAO_GHOSTED);
    EXPECT_EQ(attributes(sublink.get()) & (SFGAO_LINK | SFGAO_FOLDER), SFGAO_LINK | SFGAO_FOLDER);

    ShellRef<IShellFolder> bound = bindFolder(m_folder.get(), sublink.get());
    ASSERT_NE(bound, nullptr);
    const BYTE own[2] = {0, 0};  // the empty list names the folder itself
    ASSERT_TRUE(displayNameOf(bound.get(), reinterpret_cast<LPCITEMIDLIST>(own), kFullPathName, name));
    EXPECT_EQ(name, m_dir.file("sublink"));
    UniquePidl file = item("a.txt");
    EXPECT_EQ(bindFolder(m_folder.get(), file.get()), nullptr);
    EXPECT_EQ(bindFolder(nullptr, sub.get()), nullptr);
    std::uint32_t unchanged = 7;
    EXPECT_FALSE(attributesOf(m_folder.get(), nullptr, unchanged));
    EXPECT_EQ(unchanged, 7u);
}

TEST_F(TFflNodeInfo, DeletingARecordGivesBackItsListAndFolder)
{
    UniquePidl sub = item("sub");
    {
        auto node = std::make_unique<::TFflNodeInfo>();
        node->pidl = sub.release();
        node->folder = bindFolder(m_folder.get(), node->pidl).release();
        ASSERT_NE(node->folder, nullptr);
        EXPECT_EQ(node->imageIndex, -1);
        EXPECT_EQ(node->overlayIndex, -1);
        EXPECT_FALSE(node->enumerated);
    }
    auto entry = std::make_unique<TFflItemInfo>();
    entry->pidl = item("a.txt").release();
    entry.reset();
    // TearDown checks that no list and no folder is left.
}

TEST_F(IconAssignment, FoldersGetNormalAndOpenImagesAndMarks)
{
    ::TFflIconList list(nullptr, true);
    UniquePidl sub = item("sub");
    const TFflItemIcons folder = assignFolderIcons(list, m_folder.get(), sub.get(), attributes(sub.get()), nullptr);
    ASSERT_GE(folder.imageIndex, 0);
    ASSERT_GE(folder.selectedIndex, 0);
    EXPECT_NE(folder.selectedIndex, folder.imageIndex);  // the open folder has its own icon
    EXPECT_EQ(folder.overlay, -1);
    EXPECT_FALSE(folder.ghosted);

    // A file's open icon is its normal one: one image, used once by the item.
    UniquePidl file = item("a.txt");
    const TFflItemIcons plain = assignFolderIcons(list, m_folder.get(), file.get(), attributes(file.get()), nullptr);
    ASSERT_GE(plain.imageIndex, 0);
    EXPECT_EQ(plain.selectedIndex, plain.imageIndex);
    EXPECT_EQ(list.iconRefs(plain.imageIndex).refCount, 1);

    UniquePidl hidden = item(".hidden.txt");
    EXPECT_TRUE(assignFolderIcons(list, m_folder.get(), hidden.get(), attributes(hidden.get()), nullptr).ghosted);

    // Shortcuts show overlay 2, also when they are shared as well.
    UniquePidl link = item("sublink");
    const std::uint32_t linkBits = attributes(link.get());
    const TFflItemIcons shortcut = assignFolderIcons(list, m_folder.get(), link.get(), linkBits, nullptr);
    EXPECT_EQ(shortcut.overlay, 2);
    EXPECT_GE(list.overlaySlot(2), 0);
    const TFflItemIcons both =
        assignFolderIcons(list, m_folder.get(), link.get(), linkBits | SFGAO_SHARE, nullptr);
    EXPECT_EQ(both.overlay, 2);
}

TEST_F(IconAssignment, AnItemWithoutAnExtractorGetsNothing)
{
    ::TFflIconList list(nullptr, true);
    const BYTE damaged[5] = {3, 0, 0xFF, 0, 0};
    const auto* item = reinterpret_cast<LPCITEMIDLIST>(damaged);
    const TFflItemIcons icons = assignFolderIcons(list, m_folder.get(), item,
                                                  SFGAO_HIDDEN | SFGAO_LINK | SFGAO_SHARE, nullptr);
    EXPECT_EQ(icons.imageIndex, -1);
    EXPECT_EQ(icons.selectedIndex, -1);
    EXPECT_EQ(icons.overlay, -1);
    EXPECT_FALSE(icons.ghosted);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(IconAssignment, FileListKeepsItsTwoListsInStep)
{
    ::TFflIconList small(nullptr, true);
    ::TFflIconList large(nullptr, false);
    UniquePidl file = item("a.txt");
    UniquePidl link = item("link.txt");
    const TFflItemIcons first = assignListIcons(small, large, m_folder.get(), file.get(), attributes(file.get()), nullptr);
    ASSERT_EQ(first.imageIndex, 0);
    const TFflItemIcons second = assignListIcons(small, large, m_folder.get(), link.get(), attributes(link.get()), nullptr);
    EXPECT_EQ(second.overlay, 2);
    EXPECT_GE(small.overlaySlot(2), 0);
    EXPECT_EQ(small.overlaySlot(2), large.overlaySlot(2));
    EXPECT_EQ(small.Count(), large.Count());
    EXPECT_EQ(small.iconRefs(first.imageIndex).refCount, large.iconRefs(first.imageIndex).refCount);

    // When the large list cannot take a new icon, the small list gives its
    // copy back and the item has no image.
    HICON extra = CreateIconFromPixmap(large.GetPixmap(0));
    const int extraIndex = large.AddIcon(extra);  // an image without a record
    DestroyIcon(extra);
    ASSERT_EQ(extraIndex, large.iconRefsCount());
    const int smallCount = small.Count();
    UniquePidl folder = item("sub");
    const TFflItemIcons refused = assignListIcons(small, large, m_folder.get(), folder.get(), attributes(folder.get()), nullptr);
    EXPECT_EQ(refused.imageIndex, -1);
    EXPECT_EQ(small.Count(), smallCount);
    EXPECT_EQ(small.iconRefsCount(), smallCount);
}

TEST_F(ShortcutResolution, LinksGiveTheirTargetsAndAnythingElseFailsQuietly)
{
    std::string target = "unchanged";
    ASSERT_TRUE(resolveShortcut(m_dir.file("sublink"), target));
    EXPECT_EQ(target, m_dir.file("sub"));  // a relative target is taken from the link's folder
    ASSERT_TRUE(resolveShortcut(m_dir.file("link.txt"), target));
    EXPECT_EQ(target, m_dir.file("a.txt"));

    ASSERT_EQ(::symlink(m_dir.file("gone").c_str(), m_dir.file("dangling").c_str()), 0);
    ASSERT_TRUE(resolveShortcut(m_dir.file("dangling"), target));
    EXPECT_EQ(target, m_dir.file("gone"));

    target = "unchanged";
    EXPECT_FALSE(resolveShortcut(m_dir.file("a.txt"), target));
    EXPECT_FALSE(resolveShortcut(m_dir.file("no such link"), target));
    EXPECT_FALSE(resolveShortcut("", target));
    EXPECT_EQ(target, "unchanged");

    // Paths past 260 bytes (each Japanese character takes three).
    std::string deep = m_dir.path();
    for (int i = 0; i < 4; ++i) {
        deep += "/長いフォルダの名前でございます長いフォルダの名前でございます";
        ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0);
    }
    ASSERT_GT(deep.size(), 260u);
    const std::string longLink = deep + "/リンク";
    ASSERT_EQ(::symlink(deep.c_str(), longLink.c_str()), 0);
    ASSERT_TRUE(resolveShortcut(longLink, target));
    EXPECT_EQ(target, deep);
}

}  // namespace
