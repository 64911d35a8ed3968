// The shell icon list: images shared by icon location and counted, removal
// with the overlay slots adjusted, shell and resource overlays, and the icon
// sizes asked of an extractor. Icons come from the installed theme through
// real folders of a temporary tree.
#include "Application.h"
#include "Bitmap.h"
#include "FflIconList.h"
#include "ShellRefs.h"
#include "TestFiles.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

using shelltest::folderAt;
using shelltest::parse;

ShellRef<IExtractIconA> extractorOf(IShellFolder* folder, LPCITEMIDLIST item)
{
    void* object = nullptr;
    if (FAILED(folder->GetUIObjectOf(nullptr, 1, &item, IID_IExtractIconA, nullptr, &object)))
        return nullptr;
    return ShellRef<IExtractIconA>(static_cast<IExtractIconA*>(object));
}

// An extractor that hands every call to a real one and notes what Extract
// was asked for.
class RecordingExtractor final : public IExtractIconA {
public:
    explicit RecordingExtractor(IExtractIconA* inner) : m_inner(inner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override { return m_inner->QueryInterface(riid, object); }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetIconLocation(UINT flags, char* file, UINT size, int* index, UINT* outFlags) override
    {
        return m_inner->GetIconLocation(flags, file, size, index, outFlags);
    }
    HRESULT Extract(const char* file, UINT index, HICON* large, HICON* small, UINT iconSize) override
    {
        ++extractCalls;
        lastSizeWord = iconSize;
        askedLarge = large != nullptr;
        askedSmall = small != nullptr;
        return m_inner->Extract(file, index, large, small, iconSize);
    }

    int extractCalls = 0;
    UINT lastSizeWord = 0;
    bool askedLarge = false;
    bool askedSmall = false;

private:
    IExtractIconA* m_inner;
};

// A folder that hands every call to a real one and counts the requests for
// its overlay interface.
class CountingFolder final : public IShellFolder {
public:
    explicit CountingFolder(IShellFolder* inner) : m_inner(inner) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IShellIconOverlay)
            ++overlayRequests;
        return m_inner->QueryInterface(riid, object);
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT ParseDisplayName(HWND owner, IBindCtx* context, const char16_t* name, ULONG* eaten,
                             LPITEMIDLIST* list, ULONG* attributes) override
    {
        return m_inner->ParseDisplayName(owner, context, name, eaten, list, attributes);
    }
    HRESULT EnumObjects(HWND owner, SHCONTF flags, IEnumIDList** enumerator) override
    {
        return m_inner->EnumObjects(owner, flags, enumerator);
    }
    HRESULT BindToObject(LPCITEMIDLIST list, IBindCtx* context, REFIID riid, void** object) override
    {
        return m_inner->BindToObject(list, context, riid, object);
    }
    HRESULT BindToStorage(LPCITEMIDLIST list, IBindCtx* context, REFIID riid, void** object) override
    {
        return m_inner->BindToStorage(list, context, riid, object);
    }
    HRESULT CompareIDs(LPARAM column, LPCITEMIDLIST a, LPCITEMIDLIST b) override
    {
        return m_inner->CompareIDs(column, a, b);
    }
    HRESULT CreateViewObject(HWND owner, REFIID riid, void** object) override
    {
        return m_inner->CreateViewObject(owner, riid, object);
    }
    HRESULT GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* inOut) override
    {
        return m_inner->GetAttributesOf(count, items, inOut);
    }
    HRESULT GetUIObjectOf(HWND owner, UINT count, LPCITEMIDLIST* items, REFIID riid, UINT* reserved,
                          void** object) override
    {
        return m_inner->GetUIObjectOf(owner, count, items, riid, reserved, object);
    }
    HRESULT GetDisplayNameOf(LPCITEMIDLIST item, SHGDNF flags, STRRET* name) override
    {
        return m_inner->GetDisplayNameOf(item, flags, name);
    }
    HRESULT SetNameOf(HWND owner, LPCITEMIDLIST item, const char16_t* name, SHGDNF flags,
                      LPITEMIDLIST* newItem) override
    {
        return m_inner->SetNameOf(owner, item, name, flags, newItem);
    }

    int overlayRequests = 0;

private:
    IShellFolder* m_inner;
};

class TFflIconList : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeDesktop();
        ASSERT_TRUE(m_dir.valid());
        testfiles::writeFile(m_dir.file("a.txt"), "text\n");
        testfiles::writeFile(m_dir.file("b.html"), "<html></html>\n");
        ASSERT_EQ(::symlink(m_dir.file("a.txt").c_str(), m_dir.file("link.txt").c_str()), 0);
        m_folder = folderAt(m_dir.path());
        ASSERT_NE(m_folder, nullptr);
        m_shellCounts = shelltest::shellCounts();
    }
    void TearDown() override
    {
        // Every reference and list the list took is given back.
        EXPECT_EQ(shelltest::shellCounts(), m_shellCounts);
    }

    UniquePidl item(const std::string& name) { return parse(m_folder.get(), name); }

    testfiles::TempFolder m_dir;
    ShellRef<IShellFolder> m_folder;
    shelltest::ShellCounts m_shellCounts;
};

// An index of the system image list that has a drawable icon.
int systemIndexOf(const std::string& path)
{
    SHFILEINFOA info;
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        return -1;
    return info.iIcon;
}

TEST_F(TFflIconList, SizesFollowTheSystemListsAndSlotsStartEmpty)
{
    ::TFflIconList small(nullptr, true);
    EXPECT_EQ(small.Width(), 16);
    EXPECT_EQ(small.Height(), 16);
    EXPECT_EQ(small.BkColor(), clWindow);
    ::TFflIconList large(nullptr, false);
    int cx = 0, cy = 0;
    SHFILEINFOA info;
    auto* system = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(".", 0, &info, sizeof info, SHGFI_SYSICONINDEX));
    ASSERT_TRUE(ImageList_GetIconSize(system, &cx, &cy));
    EXPECT_EQ(large.Width(), cx);
    EXPECT_EQ(large.Height(), cy);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(small.overlaySlot(n), -1);
        EXPECT_EQ(large.overlaySlot(n), -1);
    }
    EXPECT_EQ(small.Count(), 0);
}

TEST_F(TFflIconList, SameLocationSharesOneCountedImageLetterCaseAside)
{
    ::TFflIconList list(nullptr, true);
    UniquePidl text = item("a.txt");
    UniquePidl page = item("b.html");
    ShellRef<IExtractIconA> textIcons = extractorOf(m_folder.get(), text.get());
    ShellRef<IExtractIconA> pageIcons = extractorOf(m_folder.get(), page.get());
    ASSERT_TRUE(textIcons && pageIcons);
    char file[1024];
    int index = 0;
    UINT flags = 0;
    ASSERT_EQ(textIcons->GetIconLocation(GIL_FORSHELL, file, sizeof file, &index, &flags), S_OK);
    const std::string textFile = file;
    ASSERT_EQ(pageIcons->GetIconLocation(GIL_FORSHELL, file, sizeof file, &index, &flags), S_OK);
    const std::string pageFile = file;
    ASSERT_NE(textFile, pageFile);

    const int folderImage = list.addIcon(nullptr, "", systemIndexOf(m_dir.path()));
    ASSERT_EQ(folderImage, 0);
    EXPECT_EQ(list.addIcon(textIcons.get(), textFile, 0), 1);
    QString upper = QString::fromStdString(textFile).toUpper();
    EXPECT_EQ(list.addIcon(textIcons.get(), upper.toStdString(), 0), 1);
    EXPECT_EQ(list.iconRefs(1).refCount, 2);
    EXPECT_EQ(list.iconRefs(1).iconFile, textFile);  // the first spelling stays
    EXPECT_EQ(list.addIcon(pageIcons.get(), pageFile, 0), 2);
    ASSERT_EQ(list.Count(), 3);
    ASSERT_EQ(list.iconRefsCount(), 3);
    const QImage pageImage = list.GetPixmap(2).toImage();

    // The first removal keeps the shared image; the second deletes it and
    // moves the later image and its record down by one.
    EXPECT_FALSE(list.removeIcon(1));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.iconRefs(1).refCount, 1);
    EXPECT_TRUE(list.removeIcon(1));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.iconRefs(1).iconFile, pageFile);
    EXPECT_EQ(list.GetPixmap(1).toImage(), pageImage);

    // Out of range: nothing changes.
    EXPECT_FALSE(list.removeIcon(-1));
    EXPECT_FALSE(list.removeIcon(2));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.iconRefs(0).refCount, 1);
    EXPECT_EQ(list.iconRefs(1).refCount, 1);
}

TEST_F(TFflIconList, OverlaySlotsFollowRemovalsAndAFilledSlotIsNotAskedAgain)
{
    ::TFflIconList list(nullptr, true);
    const int folder = list.addIcon(nullptr, "", systemIndexOf(m_dir.path()));
    const int text = list.addIcon(nullptr, "", systemIndexOf(m_dir.file("a.txt")));
    ASSERT_EQ(folder, 0);
    ASSERT_EQ(text, 1);
    const int hidden = list.addResourceOverlay(0, "OverlayHidden");
    ASSERT_EQ(hidden, 2);
    EXPECT_EQ(list.overlaySlot(0), 2);

    CountingFolder counting(m_folder.get());
    UniquePidl link = item("link.txt");
    const int shortcut = list.addShellOverlay(2, &counting, link.get());
    ASSERT_EQ(shortcut, 3);
    EXPECT_EQ(counting.overlayRequests, 1);
    EXPECT_EQ(list.overlaySlot(2), 3);
    // The filled slot answers at once.
    EXPECT_EQ(list.addShellOverlay(2, &counting, link.get()), 3);
    EXPECT_EQ(counting.overlayRequests, 1);
    // An item without an overlay fills nothing.
    UniquePidl plain = item("a.txt");
    EXPECT_EQ(list.addShellOverlay(1, &counting, plain.get()), -1);
    EXPECT_EQ(list.overlaySlot(1), -1);

    // The overlay is drawn over an item's image: the hidden mark's white
    // veil covers pixel (0, 0) of the folder icon.
    const QImage marked = list.GetPixmap(folder, 0).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(marked.pixel(0, 0), qRgb(255, 255, 255));

    // Deleting an image below the overlays moves both slots down by one.
    EXPECT_TRUE(list.removeIcon(0));
    EXPECT_EQ(list.overlaySlot(0), 1);
    EXPECT_EQ(list.overlaySlot(2), 2);
    // Deleting an overlay's own image empties its slot.
    EXPECT_TRUE(list.removeIcon(1));
    EXPECT_EQ(list.overlaySlot(0), -1);
    EXPECT_EQ(list.overlaySlot(2), 1);
}

TEST_F(TFflIconList, HiddenMarkResourceIsSixteenSquareOverMagenta)
{
    TBitmap mark;
    mark.LoadFromResourceName("OverlayHidden");
    ASSERT_EQ(mark.Width(), 16);
    ASSERT_EQ(mark.Height(), 16);
    const QImage image = mark.Image().convertToFormat(QImage::Format_RGB32);
    int magenta = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            magenta += image.pixel(x, y) == qRgb(255, 0, 255);
    EXPECT_GT(magenta, 0);
    EXPECT_LT(magenta, 256);

    ::TFflIconList list(nullptr, true);
    EXPECT_EQ(list.addResourceOverlay(0, "NoSuchBitmap"), -1);
    EXPECT_EQ(list.overlaySlot(0), -1);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.iconRefsCount(), 0);
}

TEST_F(TFflIconList, SmallListsAskSmallIconsWithA48PixelLargeSizeAndWideListsTheOpposite)
{
    UniquePidl text = item("a.txt");
    ShellRef<IExtractIconA> inner = extractorOf(m_folder.get(), text.get());
    ASSERT_NE(inner, nullptr);
    char file[1024];
    int index = 0;
    UINT flags = 0;
    ASSERT_EQ(inner->GetIconLocation(GIL_FORSHELL, file, sizeof file, &index, &flags), S_OK);

    RecordingExtractor forSmall(inner.get());
    ::TFflIconList small(nullptr, true);
    ASSERT_EQ(small.addIcon(&forSmall, file, index), 0);
    EXPECT_EQ(forSmall.extractCalls, 1);
    EXPECT_FALSE(forSmall.askedLarge);
    EXPECT_TRUE(forSmall.askedSmall);
    EXPECT_EQ(LOWORD(forSmall.lastSizeWord), 48u);
    EXPECT_EQ(HIWORD(forSmall.lastSizeWord), 16u);

    RecordingExtractor forLarge(inner.get());
    ::TFflIconList large(nullptr, false);
    ASSERT_EQ(large.addIcon(&forLarge, file, index), 0);
    EXPECT_TRUE(forLarge.askedLarge);
    EXPECT_FALSE(forLarge.askedSmall);
    EXPECT_EQ(LOWORD(forLarge.lastSizeWord), static_cast<UINT>(large.Width()));
    EXPECT_EQ(HIWORD(forLarge.lastSizeWord), 16u);
    EXPECT_EQ(large.GetPixmap(0).width(), large.Width());

    // A location the extractor cannot draw adds nothing.
    EXPECT_EQ(small.addIcon(&forSmall, "no-such-icon-anywhere", 0), -1);
    EXPECT_EQ(small.Count(), 1);
    EXPECT_EQ(small.iconRefsCount(), 1);
}

TEST_F(TFflIconList, ImagesOutOfStepWithTheRecordsRefuseNewIcons)
{
    ::TFflIconList list(nullptr, true);
    HICON icon = ImageList_GetIcon(reinterpret_cast<HIMAGELIST>([] {
                                       SHFILEINFOA info;
                                       return SHGetFileInfoA(".", 0, &info, sizeof info,
                                                             SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
                                   }()),
                                   systemIndexOf(m_dir.path()), ILD_NORMAL);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(list.AddIcon(icon), 0);  // an image without a record
    DestroyIcon(icon);
    EXPECT_EQ(list.addIcon(nullptr, "", systemIndexOf(m_dir.file("a.txt"))), -1);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.iconRefsCount(), 0);
    // Nor can the image without a record be removed through the list.
    EXPECT_FALSE(list.removeIcon(0));
    EXPECT_EQ(list.Count(), 1);
}

}  // namespace
