#include "FileListView.h"

#include "FflFileStyleMenu.h"
#include "FileOps.h"
#include "FileTime.h"
#include "FolderDropDown.h"
#include "FolderTreeView.h"
#include "HiddenItems.h"
#include "IconAssignment.h"
#include "Paths.h"
#include "PopupMenu.h"
#include "SafeCall.h"
#include "ShellItems.h"
#include "ShortcutResolution.h"
#include "SysUtils.h"
#include "Translation.h"

#include <QScopedValueRollback>

#include <cstdio>

namespace {

// The list's hidden flags for the hidden-item rule.
constexpr std::uint32_t kHiddenFlags = SFGAO_HIDDEN | SFGAO_GHOSTED;

// The owner window handed to the shell: none.
constexpr HWND kOwnerWindow = nullptr;

struct ColumnLayout {
    const char* caption;
    TAlignment alignment;
    int width;
};
// The details view's columns.
constexpr ColumnLayout kColumns[] = {
    {QT_TRANSLATE_NOOP("TFileListView", "名前"), taLeftJustify, 178},
    {QT_TRANSLATE_NOOP("TFileListView", "サイズ"), taRightJustify, 84},
    {QT_TRANSLATE_NOOP("TFileListView", "作成日時"), taLeftJustify, 102},
    {QT_TRANSLATE_NOOP("TFileListView", "更新日時"), taLeftJustify, 102},
    {QT_TRANSLATE_NOOP("TFileListView", "アクセス日時"), taLeftJustify, 102},
    {QT_TRANSLATE_NOOP("TFileListView", "属性"), taLeftJustify, 44},
    {QT_TRANSLATE_NOOP("TFileListView", "状態"), taLeftJustify, 64},
};

// The attribute letters, in column order.
struct AttributeLetter {
    std::uint32_t bit;
    char letter;
};
constexpr AttributeLetter kAttributeLetters[] = {
    {FILE_ATTRIBUTE_READONLY, 'R'},
    {FILE_ATTRIBUTE_HIDDEN, 'H'},
    {FILE_ATTRIBUTE_SYSTEM, 'S'},
    {FILE_ATTRIBUTE_ARCHIVE, 'A'},
};

// Two bytes that are one letter in two cases, as the C runtime's default
// locale sees them: ASCII letters only, every other byte only itself.
bool sameByteIgnoringCase(unsigned char a, unsigned char b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; };
    return lower(a) == lower(b);
}

}  // namespace

TFileListView::TFileListView(TComponent* owner) : TCustomListView(owner)
{
    for (const ColumnLayout& layout : kColumns) {
        TListColumn* column = Columns().Add();
        column->SetCaption(Translate("TFileListView", layout.caption));
        column->SetAlignment(layout.alignment);
        column->SetWidth(layout.width);
    }
    FStyleMenu = new TFflFileStyleMenu(this);
    FStyleMenu->setFileListControl(this);
    resize(257, 153);
    SetHideSelection(false);
    TCustomListView::SetPopupMenu(FStyleMenu);
    SetReadOnly(true);
    SetShowColumnHeaders(true);
    SetSortType(stNone);
    SetViewStyle(vsList);
    getShellSettings();
}

TFileListView::~TFileListView()
{
    clear();
    // The menus go before the view they were attached to.
    TCustomListView::SetPopupMenu(nullptr);
    delete FStyleMenu;
    FStyleMenu = nullptr;
}

TFflItemInfo* TFileListView::itemInfo(const TListItem* item)
{
    return item ? static_cast<TFflItemInfo*>(item->Data()) : nullptr;
}

void TFileListView::getShellSettings()
{
    FShellSettings = shellSettingsWord();
}

void TFileListView::Clear()
{
    clear();
    // The focused and selected files went with the items.
    if (!FFilePath.empty() || !FSelectedFiles.empty())
        reportChange();
}

void TFileListView::clear()
{
    Items().Clear();
    SetLargeImages(nullptr);
    SetSmallImages(nullptr);
    delete FLargeIcons;
    delete FSmallIcons;
    FLargeIcons = nullptr;
    FSmallIcons = nullptr;
    FFolder.reset();
}

void TFileListView::initialize()
{
    FLargeIcons = new TFflIconList(this, false);
    FSmallIcons = new TFflIconList(this, true);
    SetLargeImages(FLargeIcons);
    SetSmallImages(FSmallIcons);
}

bool TFileListView::openFolder(IShellFolder* folder)
{
    const QScopedValueRollback opening(FOpening, true);
    clear();
    initialize();
    FFolder.reset(folder);  // the list holds this reference now
    const ShellRef<IEnumIDList> enumerator = enumerate(FFolder.get(), kFolderContents);
    if (!enumerator)
        return false;
    Items().BeginUpdate();
    while (UniquePidl item = nextItem(enumerator.get())) {
        if (addItem(FFolder.get(), item.get()))
            item.release();  // the item's record owns it now
    }
    AlphaSort();
    Items().EndUpdate();
    return true;
}

TListItem* TFileListView::addItem(IShellFolder* folder, LPITEMIDLIST item)
{
    std::string caption;
    std::string name;
    if (!displayNameOf(folder, item, kCaptionName, caption) || !displayNameOf(folder, item, kInFolderName, name))
        return nullptr;
    std::uint32_t attributes = 0;
    if (!attributesOf(folder, item, attributes))
        return nullptr;
    if ((attributes & SFGAO_FOLDER) && !FIncludeFolder)
        return nullptr;
    if (!(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_LINK)) && FOnlyFileSystem)
        return nullptr;
    if (isHiddenItemLeftOut(attributes, kHiddenFlags, FShowHidden, FShellSettings))
        return nullptr;
    // Folders and shortcuts are never filtered by pattern.
    if (!(attributes & (SFGAO_FOLDER | SFGAO_LINK)) && !FFilter.empty() && !isMatchFilter(name))
        return nullptr;

    auto* info = new TFflItemInfo;
    info->name = name;
    info->attributes = attributes;
    info->pidl = item;
    TListItem* listItem = Items().Add();
    listItem->SetData(info);
    listItem->SetCaption(caption);
    listItem->SetImageIndex(-1);

    WIN32_FIND_DATAA find;
    if (SUCCEEDED(SHGetDataFromIDListA(folder, item, SHGDFIL_FINDDATA, &find, static_cast<int>(sizeof find)))) {
        info->size = (std::uint64_t(find.nFileSizeHigh) << 32) | find.nFileSizeLow;
        info->created = getDateString(find.ftCreationTime);
        info->modified = getDateString(find.ftLastWriteTime);
        info->accessed = getDateString(find.ftLastAccessTime);
        info->fileAttributes = find.dwFileAttributes;
        listItem->SetSubItems({getSizeString(info->size, (attributes & SFGAO_FOLDER) != 0), info->created,
                               info->modified, info->accessed, getAttributeString(info->fileAttributes),
                               getStatusString(info->fileAttributes)});
    }

    if (FSmallIcons && FLargeIcons) {
        const TFflItemIcons icons = assignListIcons(*FSmallIcons, *FLargeIcons, folder, item, attributes, kOwnerWindow);
        listItem->SetImageIndex(icons.imageIndex);
        listItem->SetCut(icons.ghosted);
        listItem->SetOverlayIndex(icons.overlay);
    }
    return listItem;
}

int TFileListView::compareItem(TListItem* item1, TListItem* item2) const
{
    const TFflItemInfo* info1 = itemInfo(item1);
    const TFflItemInfo* info2 = itemInfo(item2);
    int order = 0;
    if (!FFolder || !info1 || !info2 || !compareItems(FFolder.get(), info1->pidl, info2->pidl, order))
        return 0;
    return order;
}

int TFileListView::CompareItems(TListItem* item1, TListItem* item2)
{
    return compareItem(item1, item2);
}

bool TFileListView::fullPathOf(const TListItem* item, std::string& path) const
{
    const TFflItemInfo* info = itemInfo(item);
    return info && displayNameOf(FFolder.get(), info->pidl, kFullPathName, path);
}

void TFileListView::reflectSelection()
{
    FFilePath.clear();
    if (TListItem* focused = ItemFocused()) {
        std::string path;
        if (fullPathOf(focused, path))
            FFilePath = path;
    }
    FSelectedFiles.clear();
    TListItem* item = Selected();
    for (int i = 0; item && i < SelCount(); ++i, item = GetNextItem(item, {isSelected})) {
        std::string path;
        if (fullPathOf(item, path))
            FSelectedFiles.push_back(path);
    }
}

void TFileListView::reportChange()
{
    reflectSelection();
    SafeCall([this] { TCustomListView::Change(ItemFocused(), ctState); });
}

void TFileListView::changeEvent(TObject*, TListItem* item, TItemChange change)
{
    reflectSelection();
    if (!FOpening)
        TCustomListView::Change(item, change);
}

void TFileListView::Change(TListItem* item, TItemChange change)
{
    changeEvent(this, item, change);
}

// A component may be linked to the list in more than one way (a folder control
// is also linked as the one the list serves): a link that ends asks for no
// removal of notices, and a notice about a component no longer linked finds
// nothing to clear.
void TFileListView::setFolderControl(TComponent* control)
{
    FFolderControl = control;
    if (control)
        control->FreeNotification(this);
}

void TFileListView::OpenFolder(TObject* control, IShellFolder* folder)
{
    const bool folderControl =
        dynamic_cast<TFolderTreeView*>(control) != nullptr || dynamic_cast<TFolderDropDown*>(control) != nullptr;
    setFolderControl(folderControl ? control : nullptr);
    openFolder(folder);
    reportChange();
}

TListItem* TFileListView::itemNamed(const std::string& name) const
{
    // An exact match before one in other letter case.
    TListItem* folded = nullptr;
    for (int i = 0; i < Items().Count(); ++i) {
        TListItem* item = Items().Item(i);
        const TFflItemInfo* info = itemInfo(item);
        if (!info)
            continue;
        if (info->name == name)
            return item;
        if (!folded && AnsiSameText(info->name, name))
            folded = item;
    }
    return folded;
}

bool TFileListView::SelectFile(const std::string& name)
{
    BeginSelectionUpdate();
    SetItemFocused(nullptr);
    TListItem* match = itemNamed(name);
    if (match) {
        match->SetSelected(true);
        SetItemFocused(Selected());
    }
    EndSelectionUpdate();
    return match != nullptr;
}

void TFileListView::setFileName(const std::string& path)
{
    const std::string expanded = expandedShellPath(path);
    SFGAOF attributes = SFGAO_FOLDER;
    UniquePidl parsed = parseShellPath(FShell.desktop(), expanded, attributes);
    // The shell also parses names that do not exist; they name nothing to list.
    const bool isFolder = parsed && (attributes & SFGAO_FOLDER);
    if (parsed && !isFolder && !FileExists(expanded))
        parsed.reset();
    std::string fileName;
    if (parsed && !isFolder) {
        const PathParts parts = SplitAtLastSlash(expanded);
        fileName = parts.name;
        SFGAOF none = 0;
        parsed = parseShellPath(FShell.desktop(), parts.folder, none);
    }
    if (parsed) {
        if (ShellRef<IShellFolder> folder = bindFolder(FShell.desktop(), parsed.get())) {
            if (openFolder(folder.release()) && !isFolder) {
                const QScopedValueRollback opening(FOpening, true);  // reported once, below
                if (TListItem* item = itemNamed(fileName))
                    SetSelected(item);
            }
        }
    }
    reportChange();
}

void TFileListView::setFilter(const std::string& patterns)
{
    FFilter = patterns;
    if (FFolder) {
        openFolder(AddShellRef(FFolder.get()).release());
        reportChange();  // the listing took the selection with it
    }
}

void TFileListView::setShowHidden(int value)
{
    FShowHidden = showHiddenValue(value);
    getShellSettings();
}

void TFileListView::setPopupMenu(TComponent* menu)
{
    if (!menu) {
        FHostMenu = nullptr;
        TCustomListView::SetPopupMenu(FStyleMenu);
        return;
    }
    auto* popup = dynamic_cast<TPopupMenu*>(menu);
    if (!popup)
        return;
    FHostMenu = popup;
    popup->FreeNotification(this);
    TCustomListView::SetPopupMenu(popup);
}

void TFileListView::Deselect()
{
    BeginSelectionUpdate();
    SetItemFocused(nullptr);
    ClearSelection();
    EndSelectionUpdate();
}

void TFileListView::doubleClick(TObject*)
{
    const TFflItemInfo* info = itemInfo(ItemFocused());
    if (!info)
        return;
    auto* tree = dynamic_cast<TFolderTreeView*>(FFolderControl);
    auto* dropDown = dynamic_cast<TFolderDropDown*>(FFolderControl);
    if (info->attributes & SFGAO_LINK) {
        std::string target;
        if (!resolveShortcut(FFilePath, target))
            return;
        if (tree)
            tree->setFolderName(target);
        else if (dropDown)
            dropDown->setFolderName(target);
        else
            setFileName(target);
    } else if (info->attributes & SFGAO_FOLDER) {
        // The list is filled anew below: what is needed of the item is taken first.
        const std::string name = info->name;
        const std::string path = FFilePath;
        // The control opens a child of its own folder by name only while that
        // folder is the one listed (FileName may have listed another since).
        std::string listed;
        const BYTE own[2] = {0, 0};  // the empty list: the listed folder itself
        displayNameOf(FFolder.get(), reinterpret_cast<LPCITEMIDLIST>(own), kFullPathName, listed);
        if (tree) {
            if (tree->FolderName() != listed || !tree->OpenFolder(name))
                tree->setFolderName(path);
        } else if (dropDown) {
            if (dropDown->FolderName() != listed || !dropDown->OpenFolder(name))
                dropDown->setFolderName(path);
        } else {
            std::string full;
            if (fullPathOf(ItemFocused(), full))
                setFileName(full);
        }
    }
}

void TFileListView::DblClick()
{
    doubleClick(this);
    TCustomListView::DblClick();
}

void TFileListView::deleteItem(TObject*, TListItem* item)
{
    const int image = item->ImageIndex();
    bool deleted = false;
    if (FSmallIcons)
        deleted = FSmallIcons->removeIcon(image);
    if (FLargeIcons)
        deleted = FLargeIcons->removeIcon(image) || deleted;
    if (deleted)
        shiftImageIndexes(image);
    delete itemInfo(item);  // gives back the identifier list
    item->SetData(nullptr);
}

void TFileListView::Delete(TListItem* item)
{
    deleteItem(this, item);
    TCustomListView::Delete(item);
}

void TFileListView::shiftImageIndexes(int deleted)
{
    for (int i = 0; i < Items().Count(); ++i) {
        TListItem* item = Items().Item(i);
        if (item->ImageIndex() > deleted)
            item->SetImageIndex(item->ImageIndex() - 1);
    }
}

void TFileListView::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove) {
        if (component == FFolderControl)
            FFolderControl = nullptr;
        if (component == FHostMenu) {
            FHostMenu = nullptr;
            setPopupMenu(nullptr);
        }
        if (component == FStyleMenu)
            FStyleMenu = nullptr;
    }
    TCustomListView::Notification(component, operation);
}

bool TFileListView::isMatchFilter(const std::string& name) const
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = FFilter.find(';', start);
        const std::string piece = FFilter.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (isMatchPattern(name, piece))
            return true;
        if (end == std::string::npos)
            return false;
        start = end + 1;
    }
}

bool TFileListView::isMatchPattern(const std::string& name, const std::string& pattern)
{
    // Positions count from 1, as the pattern's rules are written.
    const std::size_t nameLength = name.size();
    std::size_t n = 1;
    std::size_t p = 1;
    bool star = false;
    while (p <= pattern.size()) {
        const unsigned char c = static_cast<unsigned char>(pattern[p - 1]);
        // Every byte but 0 is a character of its own in the C runtime's
        // default locale; 0 ends a text there and matches nothing.
        if (c == 0)
            return false;
        if (c == '*') {
            star = true;
            ++p;
        } else if (c == '?') {
            if (star || n > nameLength)
                return false;  // a "?" directly after a "*" never matches
            ++n;
            ++p;
        } else {
            if (star) {
                while (n <= nameLength && static_cast<unsigned char>(name[n - 1]) != c)
                    ++n;
                star = false;
            }
            if (n > nameLength || !sameByteIgnoringCase(static_cast<unsigned char>(name[n - 1]), c))
                return false;
            ++n;
            ++p;
        }
    }
    return star || n > nameLength;
}

std::string TFileListView::getDateString(const FILETIME& time)
{
    FILETIME local;
    SYSTEMTIME parts;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &parts))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %2d:%02d", parts.wYear, parts.wMonth, parts.wDay, parts.wHour,
                  parts.wMinute);
    return text;
}

std::string TFileListView::getAttributeString(std::uint32_t fileAttributes)
{
    std::string letters;
    for (const AttributeLetter& a : kAttributeLetters)
        if (fileAttributes & a.bit)
            letters += a.letter;
    return letters;
}

std::string TFileListView::getStatusString(std::uint32_t fileAttributes)
{
    return fileAttributes & FILE_ATTRIBUTE_OFFLINE ? Translate("TFileListView", "オフライン")
                                                   : Translate("TFileListView", "オンライン");
}

std::string TFileListView::getSizeString(std::uint64_t size, bool folder)
{
    if (folder && size == 0)
        return {};
    return std::to_string(size / 1024) + "KB";
}
