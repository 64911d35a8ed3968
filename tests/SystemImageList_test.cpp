// The system image list and the icons of namespace items, over real files in
// a temporary folder and the installed icon theme.
#include "ExtractIcon.h"
#include "ShellFolder.h"
#include "ShellRefs.h"
#include "SystemImageList.h"
#include "TestFiles.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStandardPaths>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using shelltest::desktop;
using shelltest::folderAt;
using shelltest::parse;

struct IconFree {
    void operator()(IconData* icon) const { DestroyIcon(icon); }
};
using Icon = std::unique_ptr<IconData, IconFree>;

// Offscreen Qt reports no theme (or only the fallback) and searches no
// system folders for themes; use the installed themes as a desktop would.
void useTheme()
{
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor") {
        QIcon::setThemeName("Adwaita");
        QIcon::setFallbackThemeName("hicolor");
    }
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& folder : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, "icons",
                                                           QStandardPaths::LocateDirectory)) {
        if (!paths.contains(folder))
            paths.append(folder);
    }
    QIcon::setThemeSearchPaths(paths);
}

ShellRef<IExtractIconA> extractorOf(IShellFolder* folder, LPCITEMIDLIST item)
{
    void* object = nullptr;
    if (FAILED(folder->GetUIObjectOf(nullptr, 1, &item, IID_IExtractIconA, nullptr, &object)))
        return nullptr;
    return ShellRef<IExtractIconA>(static_cast<IExtractIconA*>(object));
}

std::string locationOf(IExtractIconA* extractor, UINT flags = 0)
{
    char file[1024];
    int index = -1;
    UINT outFlags = 0;
    if (FAILED(extractor->GetIconLocation(flags, file, sizeof file, &index, &outFlags)))
        return "<failed>";
    EXPECT_EQ(index, 0);
    return file;
}

int iconIndexOf(const std::string& path, UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON, DWORD attributes = 0)
{
    SHFILEINFOA info;
    if (!SHGetFileInfoA(path.c_str(), attributes, &info, sizeof info, flags))
        return -2;
    return info.iIcon;
}

class Tree {
public:
    Tree()
    {
        useTheme();
        testfiles::writeFile(m_dir.file("a.txt"), "one\n");
        testfiles::writeFile(m_dir.file("b.txt"), "two\n");
        testfiles::writeFile(m_dir.file("c.html"), "<html><body>three</body></html>\n");
        EXPECT_EQ(::mkdir(m_dir.file("sub").c_str(), 0755), 0);
        EXPECT_EQ(::symlink(m_dir.file("a.txt").c_str(), m_dir.file("link.txt").c_str()), 0);
    }
    std::string file(const std::string& name) const { return m_dir.file(name); }
    const std::string& path() const { return m_dir.path(); }

private:
    testfiles::TempFolder m_dir;
};

TEST(SystemImageList, IndexesAreSharedPerIconName)
{
    Tree tree;
    EXPECT_EQ(systemimagelist::indexOf("folder"), systemimagelist::indexOf("folder"));
    EXPECT_NE(systemimagelist::indexOf("folder"), systemimagelist::indexOf("computer"));
    EXPECT_EQ(systemimagelist::indexOf(""), -1);

    const int text1 = iconIndexOf(tree.file("a.txt"));
    EXPECT_GE(text1, 0);
    EXPECT_EQ(iconIndexOf(tree.file("b.txt")), text1);
    EXPECT_EQ(iconIndexOf(tree.file("b.txt"), SHGFI_SYSICONINDEX), text1);  // both lists share the indexes
    EXPECT_NE(iconIndexOf(tree.file("c.html")), text1);
    EXPECT_EQ(iconIndexOf(tree.file("sub")), systemimagelist::indexOf("folder"));
    EXPECT_EQ(iconIndexOf(tree.file("sub"), SHGFI_SYSICONINDEX | SHGFI_OPENICON), systemimagelist::indexOf("folder-open"));
    // Given attributes decide without reading the path.
    EXPECT_EQ(iconIndexOf(tree.file("nothing"), SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES, FILE_ATTRIBUTE_DIRECTORY),
              systemimagelist::indexOf("folder"));
}

TEST(SystemImageList, ListsAndSizes)
{
    Tree tree;
    SHFILEINFOA info;
    const auto small = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(".", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SHELLICONSIZE | SHGFI_SMALLICON));
    const auto large = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(".", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SHELLICONSIZE | SHGFI_LARGEICON));
    ASSERT_NE(small, nullptr);
    ASSERT_NE(large, nullptr);
    EXPECT_NE(small, large);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(small, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    ASSERT_TRUE(ImageList_GetIconSize(large, &cx, &cy));
    EXPECT_EQ(cx, 32);
    EXPECT_EQ(cy, 32);
    EXPECT_FALSE(ImageList_GetIconSize(nullptr, &cx, &cy));
    EXPECT_FALSE(ImageList_GetIconSize(small, nullptr, &cy));

    const int folder = systemimagelist::indexOf("folder");
    Icon smallIcon(ImageList_GetIcon(small, folder, ILD_NORMAL));
    Icon largeIcon(ImageList_GetIcon(large, folder, ILD_NORMAL));
    ASSERT_NE(smallIcon, nullptr);
    ASSERT_NE(largeIcon, nullptr);
    EXPECT_EQ(IconPixmap(smallIcon.get()).size(), QSize(16, 16));
    EXPECT_EQ(IconPixmap(largeIcon.get()).size(), QSize(32, 32));
    EXPECT_EQ(ImageList_GetIcon(small, -1, ILD_NORMAL), nullptr);
    EXPECT_EQ(ImageList_GetIcon(small, ImageList_GetImageCount(small), ILD_NORMAL), nullptr);
    EXPECT_EQ(ImageList_GetIcon(nullptr, folder, ILD_NORMAL), nullptr);
    EXPECT_FALSE(DestroyIcon(nullptr));
    EXPECT_TRUE(IconPixmap(nullptr).isNull());

    // SHGFI_ICON hands out an icon of the asked size, owned by the caller.
    ASSERT_NE(SHGetFileInfoA(tree.file("sub").c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON), 0u);
    Icon given(info.hIcon);
    ASSERT_NE(given, nullptr);
    EXPECT_EQ(info.iIcon, folder);
    EXPECT_EQ(IconPixmap(given.get()).size(), QSize(32, 32));
}

TEST(SystemImageList, OverlayImages)
{
    Tree tree;
    SHFILEINFOA info;
    const auto small = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(".", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ASSERT_NE(small, nullptr);
    const int folder = systemimagelist::indexOf("folder");
    const int emblem = systemimagelist::indexOf("emblem-symbolic-link");
    EXPECT_FALSE(ImageList_SetOverlayImage(small, emblem, 0));
    EXPECT_FALSE(ImageList_SetOverlayImage(small, emblem, 16));
    EXPECT_FALSE(ImageList_SetOverlayImage(small, ImageList_GetImageCount(small), 3));
    EXPECT_FALSE(ImageList_SetOverlayImage(nullptr, emblem, 3));
    ASSERT_TRUE(ImageList_SetOverlayImage(small, emblem, 3));

    Icon plain(ImageList_GetIcon(small, folder, ILD_NORMAL));
    Icon marked(ImageList_GetIcon(small, folder, ILD_NORMAL | INDEXTOOVERLAYMASK(3)));
    Icon unset(ImageList_GetIcon(small, folder, ILD_NORMAL | INDEXTOOVERLAYMASK(14)));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(marked, nullptr);
    ASSERT_NE(unset, nullptr);
    EXPECT_NE(IconPixmap(plain.get()).toImage(), IconPixmap(marked.get()).toImage());
    EXPECT_EQ(IconPixmap(plain.get()).toImage(), IconPixmap(unset.get()).toImage());
}

TEST(SystemImageList, FileInfo)
{
    Tree tree;
    SHFILEINFOA info;
    const UINT flags = SHGFI_DISPLAYNAME | SHGFI_ATTRIBUTES;
    ASSERT_NE(SHGetFileInfoA(tree.file("a.txt").c_str(), 0, &info, sizeof info, flags), 0u);
    EXPECT_STREQ(info.szDisplayName, "a.txt");
    EXPECT_TRUE(info.dwAttributes & SFGAO_FILESYSTEM);
    EXPECT_FALSE(info.dwAttributes & SFGAO_FOLDER);
    ASSERT_NE(SHGetFileInfoA(tree.file("sub").c_str(), 0, &info, sizeof info, flags), 0u);
    EXPECT_STREQ(info.szDisplayName, "sub");
    EXPECT_TRUE(info.dwAttributes & SFGAO_FOLDER);
    ASSERT_NE(SHGetFileInfoA(tree.file("link.txt").c_str(), 0, &info, sizeof info, flags), 0u);
    EXPECT_TRUE(info.dwAttributes & SFGAO_LINK);

    // Items of the namespace by their lists.
    LPITEMIDLIST computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    UniquePidl computerList(computer);
    ASSERT_NE(SHGetFileInfoA(reinterpret_cast<const char*>(computer), 0, &info, sizeof info,
                             SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_ATTRIBUTES),
              0u);
    EXPECT_EQ(info.iIcon, systemimagelist::indexOf("computer"));
    EXPECT_TRUE(info.dwAttributes & SFGAO_FOLDER);
    EXPECT_FALSE(info.dwAttributes & SFGAO_FILESYSTEM);

    // Bad input fails quietly.
    EXPECT_EQ(SHGetFileInfoA(nullptr, 0, &info, sizeof info, SHGFI_SYSICONINDEX), 0u);
    EXPECT_EQ(SHGetFileInfoA(tree.file("a.txt").c_str(), 0, nullptr, sizeof info, SHGFI_SYSICONINDEX), 0u);
    EXPECT_EQ(SHGetFileInfoA(tree.file("a.txt").c_str(), 0, &info, sizeof info - 1, SHGFI_SYSICONINDEX), 0u);
    EXPECT_EQ(SHGetFileInfoA(tree.file("missing.txt").c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX), 0u);
    const BYTE damaged[] = {5, 0, 1, 2};
    EXPECT_EQ(SHGetFileInfoA(reinterpret_cast<const char*>(damaged), 0, &info, sizeof info,
                             SHGFI_PIDL | SHGFI_SYSICONINDEX),
              0u);
}

TEST(IExtractIconA, LocationsThroughAFolder)
{
    Tree tree;
    const std::size_t objectsBefore = ShellLiveObjects();
    const std::size_t blocksBefore = CoTaskMemLiveBlocks();
    {
        ShellRef<IShellFolder> folder = folderAt(tree.path());
        ASSERT_NE(folder, nullptr);
        UniquePidl text = parse(folder.get(), "a.txt");
        UniquePidl html = parse(folder.get(), "c.html");
        UniquePidl sub = parse(folder.get(), "sub");
        ASSERT_TRUE(text && html && sub);

        ShellRef<IExtractIconA> textIcon = extractorOf(folder.get(), text.get());
        ShellRef<IExtractIconA> htmlIcon = extractorOf(folder.get(), html.get());
        ShellRef<IExtractIconA> subIcon = extractorOf(folder.get(), sub.get());
        ASSERT_TRUE(textIcon && htmlIcon && subIcon);
        EXPECT_EQ(locationOf(subIcon.get()), "folder");
        EXPECT_EQ(locationOf(subIcon.get(), GIL_OPENICON), "folder-open");
        EXPECT_NE(locationOf(textIcon.get(), GIL_FORSHELL), locationOf(htmlIcon.get(), GIL_FORSHELL));
        EXPECT_NE(locationOf(textIcon.get()), "folder");
        // The location names the icon SHGetFileInfoA gives for the same file.
        EXPECT_EQ(systemimagelist::indexOf(locationOf(textIcon.get())), iconIndexOf(tree.file("a.txt")));

        char tiny[3];
        int index = 0;
        UINT outFlags = 0;
        EXPECT_EQ(subIcon->GetIconLocation(0, tiny, sizeof tiny, &index, &outFlags), E_OUTOFMEMORY);
        EXPECT_STREQ(tiny, "");
        EXPECT_EQ(subIcon->GetIconLocation(0, nullptr, 10, &index, &outFlags), E_INVALIDARG);

        // Only the extractor, for one valid item.
        void* object = reinterpret_cast<void*>(1);
        LPCITEMIDLIST one = text.get();
        EXPECT_EQ(folder->GetUIObjectOf(nullptr, 1, &one, IID_IShellFolder, nullptr, &object), E_NOINTERFACE);
        EXPECT_EQ(object, nullptr);
        LPCITEMIDLIST two[] = {text.get(), html.get()};
        EXPECT_EQ(folder->GetUIObjectOf(nullptr, 2, two, IID_IExtractIconA, nullptr, &object), E_INVALIDARG);
        const BYTE damaged[] = {5, 0, 1, 2};
        LPCITEMIDLIST bad = reinterpret_cast<LPCITEMIDLIST>(damaged);
        EXPECT_EQ(folder->GetUIObjectOf(nullptr, 1, &bad, IID_IExtractIconA, nullptr, &object), E_INVALIDARG);
    }
    EXPECT_EQ(ShellLiveObjects(), objectsBefore);
    EXPECT_EQ(CoTaskMemLiveBlocks(), blocksBefore);
}

TEST(IExtractIconA, VirtualItemsOfTheDesktop)
{
    useTheme();
    ShellRef<IShellFolder> root = desktop();
    LPITEMIDLIST raw = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &raw), S_OK);
    UniquePidl computer(raw);
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &raw), S_OK);
    UniquePidl documents(raw);
    ShellRef<IExtractIconA> computerIcon = extractorOf(root.get(), computer.get());
    ShellRef<IExtractIconA> documentsIcon = extractorOf(root.get(), documents.get());
    ASSERT_TRUE(computerIcon && documentsIcon);
    EXPECT_EQ(locationOf(computerIcon.get()), "computer");
    EXPECT_EQ(locationOf(documentsIcon.get()), "folder-documents");

    // "/" parses to Computer / drive.
    UniquePidl rootDrive = parse(root.get(), "/");
    ASSERT_NE(rootDrive, nullptr);
    ShellRef<IExtractIconA> driveIcon = extractorOf(root.get(), rootDrive.get());
    ASSERT_NE(driveIcon, nullptr);
    EXPECT_EQ(locationOf(driveIcon.get()), "drive-harddisk");
}

TEST(IExtractIconA, ExtractSizes)
{
    Tree tree;
    ShellRef<IShellFolder> folder = folderAt(tree.path());
    ASSERT_NE(folder, nullptr);
    UniquePidl sub = parse(folder.get(), "sub");
    ASSERT_NE(sub, nullptr);
    ShellRef<IExtractIconA> extractor = extractorOf(folder.get(), sub.get());
    ASSERT_NE(extractor, nullptr);
    const std::string location = locationOf(extractor.get());

    HICON large = nullptr;
    HICON small = nullptr;
    ASSERT_EQ(extractor->Extract(location.c_str(), 0, &large, &small, MAKELONG(48, 16)), S_OK);
    Icon largeIcon(large), smallIcon(small);
    ASSERT_TRUE(largeIcon && smallIcon);
    EXPECT_EQ(IconPixmap(large).size(), QSize(48, 48));
    EXPECT_EQ(IconPixmap(small).size(), QSize(16, 16));

    HICON onlyLarge = nullptr;
    ASSERT_EQ(extractor->Extract(location.c_str(), 0, &onlyLarge, nullptr, MAKELONG(32, 16)), S_OK);
    Icon onlyLargeIcon(onlyLarge);
    EXPECT_EQ(IconPixmap(onlyLarge).size(), QSize(32, 32));
    HICON onlySmall = nullptr;
    ASSERT_EQ(extractor->Extract(location.c_str(), 0, nullptr, &onlySmall, MAKELONG(48, 24)), S_OK);
    Icon onlySmallIcon(onlySmall);
    EXPECT_EQ(IconPixmap(onlySmall).size(), QSize(24, 24));

    // Failures leave the outputs empty and hand out nothing.
    HICON none = reinterpret_cast<HICON>(1);
    EXPECT_EQ(extractor->Extract("no-such-theme-icon-anywhere", 0, &none, nullptr, MAKELONG(32, 16)), E_FAIL);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(extractor->Extract(location.c_str(), 0, nullptr, &none, MAKELONG(32, 0)), E_FAIL);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(extractor->Extract(nullptr, 0, &none, nullptr, MAKELONG(32, 16)), E_INVALIDARG);
    EXPECT_EQ(extractor->Extract(location.c_str(), 1, &none, nullptr, MAKELONG(32, 16)), E_INVALIDARG);
}

TEST(IShellIconOverlay, OnlySymbolicLinksHaveOne)
{
    Tree tree;
    ShellRef<IShellFolder> folder = folderAt(tree.path());
    ASSERT_NE(folder, nullptr);
    void* object = nullptr;
    ASSERT_EQ(folder->QueryInterface(IID_IShellIconOverlay, &object), S_OK);
    ShellRef<IShellIconOverlay> overlay(static_cast<IShellIconOverlay*>(object));
    UniquePidl link = parse(folder.get(), "link.txt");
    UniquePidl text = parse(folder.get(), "a.txt");
    ASSERT_TRUE(link && text);

    int index = 0;
    EXPECT_EQ(overlay->GetOverlayIconIndex(text.get(), &index), S_FALSE);
    EXPECT_EQ(index, -1);
    ASSERT_EQ(overlay->GetOverlayIconIndex(link.get(), &index), S_OK);
    EXPECT_EQ(index, systemimagelist::indexOf("emblem-symbolic-link"));
    ASSERT_EQ(overlay->GetOverlayIndex(link.get(), &index), S_OK);
    EXPECT_EQ(index, kLinkOverlay);
    EXPECT_EQ(overlay->GetOverlayIndex(nullptr, &index), E_INVALIDARG);
    EXPECT_EQ(overlay->GetOverlayIndex(link.get(), nullptr), E_INVALIDARG);

    // The link overlay is drawn by SHGetFileInfoA when asked for.
    SHFILEINFOA plain, marked;
    ASSERT_NE(SHGetFileInfoA(tree.file("link.txt").c_str(), 0, &plain, sizeof plain, SHGFI_ICON | SHGFI_SMALLICON), 0u);
    Icon plainIcon(plain.hIcon);
    ASSERT_NE(SHGetFileInfoA(tree.file("link.txt").c_str(), 0, &marked, sizeof marked,
                             SHGFI_ICON | SHGFI_SMALLICON | SHGFI_LINKOVERLAY),
              0u);
    Icon markedIcon(marked.hIcon);
    ASSERT_TRUE(plainIcon && markedIcon);
    EXPECT_NE(IconPixmap(plain.hIcon).toImage(), IconPixmap(marked.hIcon).toImage());
}

}  // namespace
