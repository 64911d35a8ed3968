#include "FolderDropDown.h"

#include "FileOps.h"
#include "HiddenItems.h"
#include "IconAssignment.h"
#include "ItemIdHelpers.h"
#include "ShellItems.h"
#include "SysUtils.h"

#include <utility>

namespace {

// The drop-down's hidden flag for the hidden-item rule.
constexpr std::uint32_t kHiddenFlags = SFGAO_HIDDEN;

// The owner window handed to the shell: none.
constexpr HWND kOwnerWindow = nullptr;

}  // namespace

TFolderDropDown::TFolderDropDown(TComponent* owner) : TCustomComboBox(owner)
{
    SetStyle(csOwnerDrawFixed);
    getShellSettings();
}

TFolderDropDown::~TFolderDropDown()
{
    clear();
}

void TFolderDropDown::clear()
{
    // The last entry first: each record gives back its identifier list and
    // its folder.
    Items().Clear();
    while (!FEntries.empty())
        FEntries.pop_back();
    FInitialEntry = -1;
    delete FIconList;
    FIconList = nullptr;
}

void TFolderDropDown::initialize()
{
    FIconList = new TFflIconList(this, true);
    FIconList->addResourceOverlay(0, "OverlayHidden");
}

void TFolderDropDown::SetParent(QWidget* parent)
{
    clear();
    TCustomComboBox::SetParent(parent);
    if (parent && !FPendingFolder.empty()) {
        setFolderName(std::exchange(FPendingFolder, {}));
        return;
    }
    if (parent) {
        initialize();
        retrieveInitialNodes();
        SetItemIndex(FInitialEntry);
        reflectSelection();
    }
}

void TFolderDropDown::getShellSettings()
{
    FShellSettings = shellSettingsWord();
}

TFflNodeInfo* TFolderDropDown::getInfo(int i) const
{
    if (i < 0 || i >= EntryCount())
        return nullptr;
    return FEntries[static_cast<std::size_t>(i)].get();
}

int TFolderDropDown::getParent(int i) const
{
    if (i < 0 || i >= EntryCount() || level(i) <= 0)
        return -1;
    for (int j = i - 1; j >= 0; --j)
        if (level(j) < level(i))
            return j;
    return -1;
}

int TFolderDropDown::getFirstChild(int i) const
{
    if (i >= 0 && i < EntryCount() - 1 && level(i + 1) > level(i))
        return i + 1;
    return -1;
}

int TFolderDropDown::getLastDescendant(int i) const
{
    if (i < 0 || i >= EntryCount() - 1)
        return -1;
    int last = -1;
    for (int j = i + 1; j < EntryCount() && level(j) >= level(i) + 1; ++j)
        last = j;
    return last;
}

int TFolderDropDown::getNextSibling(int i) const
{
    if (i < 0 || i >= EntryCount() - 1)
        return -1;
    for (int j = i + 1; j < EntryCount(); ++j) {
        if (level(j) == level(i))
            return j;
        if (level(j) < level(i))
            return -1;
    }
    return -1;
}

bool TFolderDropDown::isLoaded(int i) const
{
    const TFflNodeInfo* info = getInfo(i);
    return info && info->folder && info->enumerated;
}

IShellFolder* TFolderDropDown::getParentShellFolder(int i) const
{
    if (!getInfo(i))
        return nullptr;
    if (const TFflNodeInfo* parent = getInfo(getParent(i)))
        return parent->folder;
    return FShell.desktop();
}

IShellFolder* TFolderDropDown::newShellFolder(int i) const
{
    return newNodeFolder(getInfo(i), getParentShellFolder(i));
}

int TFolderDropDown::getInsertPos(int parent, IShellFolder* folder, LPCITEMIDLIST item) const
{
    const TFflNodeInfo* parentInfo = getInfo(parent);
    if (!parentInfo || !folder)
        return parent;
    if (level(parent) + 1 == 1 && sameItem(folder, item, FShell.documents()))
        return 0;  // directly after the desktop
    std::vector<int> children;
    for (int child = getFirstChild(parent); child >= 0; child = getNextSibling(child))
        children.push_back(child);
    // The first child the item sorts before; an item equal to a child, or
    // one the folder cannot compare, goes after it.
    std::size_t lo = 0;
    std::size_t hi = children.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        int order = 0;
        if (compareItems(folder, item, getInfo(children[mid])->pidl, order) && order < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    if (lo == 0)
        return parent;
    const int before = children[lo - 1];
    const int last = getLastDescendant(before);
    return last >= 0 ? last : before;
}

int TFolderDropDown::insertNode(int after, int level, IShellFolder* folder, LPITEMIDLIST item)
{
    std::string caption;
    std::string name;
    if (!displayNameOf(folder, item, kCaptionName, caption) || !displayNameOf(folder, item, kInFolderName, name))
        return -1;
    std::uint32_t attributes = 0;
    if (!attributesOf(folder, item, attributes))
        return -1;
    if (!(attributes & SFGAO_FOLDER))
        return -1;  // files never become entries
    if (!(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) && FOnlyFileSystem)
        return -1;
    if (isHiddenItemLeftOut(attributes, kHiddenFlags, FShowHidden, FShellSettings))
        return -1;

    auto info = std::make_unique<TFflNodeInfo>();
    info->name = name;
    info->attributes = attributes;
    info->level = level;
    TFflNodeInfo* record = info.get();
    int position = 0;
    if (after < 0 || after >= EntryCount() - 1) {
        position = EntryCount();
    } else {
        position = after + 1;
    }
    Items().InsertObject(position, caption, record);
    FEntries.insert(FEntries.begin() + position, std::move(info));
    record->pidl = item;  // the record owns it from here on
    if (position <= FInitialEntry)
        ++FInitialEntry;

    if (FIconList) {
        const TFflItemIcons icons = assignFolderIcons(*FIconList, folder, item, attributes, kOwnerWindow);
        record->imageIndex = icons.imageIndex;
        record->selectedIndex = icons.selectedIndex;
        // The hidden mark, replaced by the shared and then the shortcut overlay.
        record->overlayIndex = icons.overlay >= 0 ? icons.overlay : (icons.ghosted ? 0 : -1);
    }
    return position;
}

void TFolderDropDown::submitFolder(int position)
{
    TFflNodeInfo* info = getInfo(position);
    if (!info || info->folder)
        return;
    ShellRef<IShellFolder> folder = bindFolder(getParentShellFolder(position), info->pidl);
    const ShellRef<IEnumIDList> enumerator = enumerate(folder.get(), kFolderContents);
    if (!enumerator)
        return;
    info->folder = folder.release();  // the entry's record holds the reference now
    info->enumerated = true;
    while (UniquePidl item = nextItem(enumerator.get())) {
        const int after = getInsertPos(position, info->folder, item.get());
        if (insertNode(after, level(position) + 1, info->folder, item.get()) >= 0)
            item.release();
    }
}

void TFolderDropDown::retrieveInitialNodes()
{
    LPITEMIDLIST desktopList = nullptr;
    if (!FShell.desktop() || FAILED(SHGetSpecialFolderLocation(kOwnerWindow, CSIDL_DESKTOP, &desktopList)))
        return;
    UniquePidl list(desktopList);
    if (insertNode(-1, 0, FShell.desktop(), list.get()) < 0)
        return;
    list.release();  // the desktop entry's record owns it now
    TFflNodeInfo* desktop = getInfo(0);
    desktop->folder = AddShellRef(FShell.desktop()).release();  // the record's own reference
    desktop->enumerated = true;

    LPITEMIDLIST computerList = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(kOwnerWindow, CSIDL_DRIVES, &computerList)))
        return;
    const UniquePidl computer(computerList);
    const ShellRef<IEnumIDList> enumerator = enumerate(FShell.desktop(), kDesktopContents);
    if (!enumerator)
        return;
    while (UniquePidl item = nextItem(enumerator.get())) {
        const int after = getInsertPos(0, FShell.desktop(), item.get());
        const int entry = insertNode(after, 1, FShell.desktop(), item.get());
        if (entry < 0)
            continue;
        LPCITEMIDLIST added = item.release();  // the entry's record owns it now
        if (sameItem(FShell.desktop(), added, FShell.documents()))
            FInitialEntry = entry;
        if (sameItem(FShell.desktop(), added, computer.get()))
            submitFolder(entry);  // the drives are listed from the start
    }
}

int TFolderDropDown::findChild(int parent, const std::string& name, bool exactOnly) const
{
    int folded = -1;
    for (int child = getFirstChild(parent); child >= 0; child = getNextSibling(child)) {
        const std::string& childName = getInfo(child)->name;
        if (childName == name)
            return child;
        if (!exactOnly && folded < 0 && AnsiSameText(childName, name))
            folded = child;
    }
    return folded;
}

int TFolderDropDown::insertNewNode(int position, int level, const std::string& name)
{
    TFflNodeInfo* info = getInfo(position);
    if (!info)
        return -1;
    // A child added before is not added twice; one that only differs in
    // letter case may not be the folder the shell has by this exact name.
    if (const int existing = findChild(position, name, true); existing >= 0)
        return existing;
    ShellRef<IShellFolder> folder =
        info->folder ? AddShellRef(info->folder) : bindFolder(getParentShellFolder(position), info->pidl);
    const ShellRef<IEnumIDList> enumerator = enumerate(folder.get(), kFolderContents);
    if (!enumerator)
        return -1;
    if (!info->folder)
        info->folder = folder.release();  // partly loaded: enumerated stays false
    // An exact match before one in other letter case.
    UniquePidl found;
    std::string foundName;
    for (UniquePidl item = nextItem(enumerator.get()); item; item = nextItem(enumerator.get())) {
        std::string itemName;
        if (!displayNameOf(info->folder, item.get(), kInFolderName, itemName))
            continue;
        const bool exact = itemName == name;
        if (exact || (!found && AnsiSameText(itemName, name))) {
            found = std::move(item);
            foundName = itemName;
        }
        if (exact)
            break;
    }
    if (!found)
        return -1;
    if (const int existing = findChild(position, foundName, true); existing >= 0)
        return existing;
    const int entry = insertNode(position, level, info->folder, found.get());
    if (entry >= 0)
        found.release();
    return entry;
}

void TFolderDropDown::searchNode(const std::string& path)
{
    const std::string expanded = expandedShellPath(path);
    SFGAOF attributes = SFGAO_FOLDER;
    const UniquePidl parsed = parseShellPath(FShell.desktop(), expanded, attributes);
    if (!parsed)
        return;
    ShellRef<IShellFolder> current = AddShellRef(FShell.desktop());

    LPCITEMIDLIST cursor = parsed.get();
    int candidate = getFirstChild(0);
    std::string lastName;
    while (candidate >= 0) {
        const UniquePidl item(copyFirstItemId(cursor));
        std::string name;
        if (!item || !displayNameOf(current.get(), item.get(), kInFolderName, name))
            break;
        lastName = name;
        const int match = findChild(getParent(candidate), name);
        if (match < 0)
            break;
        SetItemIndex(match);
        LPCITEMIDLIST next = nextItemId(cursor);
        if (!next)
            break;
        ShellRef<IShellFolder> bound = bindFolder(current.get(), item.get());
        if (!bound)
            break;
        current = std::move(bound);
        cursor = next;
        if (isLoaded(match)) {
            candidate = getFirstChild(match);
        } else {
            const UniquePidl nextId(copyFirstItemId(cursor));
            std::string nextName;
            if (!nextId || !displayNameOf(current.get(), nextId.get(), kInFolderName, nextName))
                break;
            lastName = nextName;
            candidate = insertNewNode(match, level(match) + 1, nextName);
        }
    }
    changeEvent(this);
    // Only a file that exists is handed to the list (the parse also accepts
    // missing components, which are no files), and only when the walk came
    // as far as its name.
    if (!(attributes & SFGAO_FOLDER) && FFileList.link() && !nextItemId(cursor) && FileExists(expanded))
        FFileList.link()->SelectFile(lastName);
}

void TFolderDropDown::reflectSelection()
{
    FFolderPath.clear();
    const int selected = ItemIndex();
    if (const TFflNodeInfo* info = getInfo(selected)) {
        std::string path;
        if (displayNameOf(getParentShellFolder(selected), info->pidl, kFullPathName, path))
            FFolderPath = path;
    }
}

void TFolderDropDown::changeEvent(TObject*)
{
    reflectSelection();
    if (FFileList.link() && getInfo(ItemIndex()))
        FFileList.link()->OpenFolder(this, newShellFolder(ItemIndex()));
    TCustomComboBox::Change();
}

void TFolderDropDown::Change()
{
    changeEvent(this);
}

void TFolderDropDown::DrawItem(int index, const RECT& rect, TOwnerDrawState state)
{
    TCanvas* canvas = Canvas();
    const TFflNodeInfo* info = getInfo(index);
    canvas->Brush()->SetColor(clWindow);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(rect);
    if (!info)
        return;
    const int iconWidth = FIconList ? FIconList->Width() : 16;
    const int iconHeight = FIconList ? FIconList->Height() : 16;
    const int rectHeight = rect.bottom - rect.top;
    const bool selected = state.Contains(odSelected);

    // Half an icon width per level; the edit part is not indented.
    int x = rect.left;
    if (!state.Contains(odComboBoxEdit))
        x += iconWidth * info->level / 2;
    const int y = rect.top + (rectHeight - iconHeight) / 2;
    if (FIconList) {
        const int image = selected ? info->selectedIndex : info->imageIndex;
        if (image >= 0)
            FIconList->Draw(canvas, x, y, image, info->overlayIndex);
    }
    x += rectHeight / 8 + iconWidth;

    const std::string text = Items().Strings(index);
    RECT textRect{x, rect.top, rect.right, rect.bottom};
    if (selected) {
        const int textWidth = canvas->TextWidth(text);
        textRect.right = x + textWidth + 4;
        canvas->Brush()->SetColor(clHighlight);
        canvas->FillRect(textRect);
    }
    canvas->Font()->SetColor(selected ? clHighlightText : clWindowText);
    canvas->TextRect(textRect, x + 2, rect.top, text);
}

void TFolderDropDown::setFolderName(const std::string& path)
{
    clear();
    // Without a parent the control has no entries: the folder is looked for
    // once the control is placed.
    if (!parentWidget()) {
        FPendingFolder = path;
        return;
    }
    FPendingFolder.clear();
    initialize();
    retrieveInitialNodes();
    SetItemIndex(FInitialEntry);
    searchNode(path);
}

void TFolderDropDown::setFileListControl(TComponent* list)
{
    if (FFileList.set(list, this) && list && getInfo(ItemIndex()))
        FFileList.link()->OpenFolder(this, newShellFolder(ItemIndex()));
}

void TFolderDropDown::setShowHidden(int value)
{
    FShowHidden = showHiddenValue(value);
    getShellSettings();
}

void TFolderDropDown::SelectParent()
{
    const int parent = getParent(ItemIndex());
    if (parent < 0)
        return;
    SetItemIndex(parent);
    changeEvent(this);
}

bool TFolderDropDown::OpenFolder(const std::string& name)
{
    const int selected = ItemIndex();
    const TFflNodeInfo* info = getInfo(selected);
    if (!info || !(info->attributes & SFGAO_FOLDER))
        return false;
    const int match = isLoaded(selected) ? findChild(selected, name) : insertNewNode(selected, level(selected) + 1, name);
    if (match < 0)
        return false;
    SetItemIndex(match);
    changeEvent(this);
    return true;
}

void TFolderDropDown::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove)
        FFileList.removed(component);
    TCustomComboBox::Notification(component, operation);
}
