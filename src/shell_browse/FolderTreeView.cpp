#include "FolderTreeView.h"

#include "HiddenItems.h"
#include "IconAssignment.h"
#include "ItemIdHelpers.h"
#include "ShellHandles.h"
#include "ShellItems.h"
#include "ShortcutResolution.h"
#include "FileOps.h"
#include "SysUtils.h"
#include "Unicode.h"

namespace {

// The tree's hidden flags for the hidden-item rule.
constexpr std::uint32_t kHiddenFlags = SFGAO_HIDDEN | SFGAO_GHOSTED;

// The owner window handed to the shell: none.
constexpr HWND kOwnerWindow = nullptr;

// The child of the first node (or of its following siblings) whose name
// matches: an exact match wins over one that differs only in letter case.
TTreeNode* findSibling(TTreeNode* first, const std::string& name)
{
    TTreeNode* folded = nullptr;
    for (TTreeNode* node = first; node; node = node->getNextSibling()) {
        const TFflNodeInfo* info = TFolderTreeView::nodeInfo(node);
        if (!info)
            continue;
        if (info->name == name)
            return node;
        if (!folded && AnsiSameText(info->name, name))
            folded = node;
    }
    return folded;
}

bool isFolder(const TFflNodeInfo* info)
{
    return info && (info->attributes & SFGAO_FOLDER) != 0;
}

}  // namespace

TFolderTreeView::TFolderTreeView(TComponent* owner) : TCustomTreeView(owner)
{
    SetHideSelection(false);
    TCustomTreeView::SetMultiSelectStyle({msControlSelect, msShiftSelect});
    SetRightClickSelect(true);
    SetReadOnly(true);
    SetSortType(stData);
    getShellSettings();
}

TFolderTreeView::~TFolderTreeView()
{
    clear();
}

void TFolderTreeView::SetParent(QWidget* parent)
{
    clear();
    TCustomTreeView::SetParent(parent);
    if (parent) {
        initialize();
        retrieveRootFolders();
    }
}

void TFolderTreeView::clear()
{
    Items().Clear();
    SetImages(nullptr);
    delete FIconList;
    FIconList = nullptr;
}

void TFolderTreeView::initialize()
{
    FIconList = new TFflIconList(this, true);
    SetImages(FIconList);
}

void TFolderTreeView::getShellSettings()
{
    FShellSettings = shellSettingsWord();
}

TFflNodeInfo* TFolderTreeView::nodeInfo(TTreeNode* node)
{
    return node ? static_cast<TFflNodeInfo*>(node->Data()) : nullptr;
}

bool TFolderTreeView::isLoaded(TTreeNode* node) const
{
    const TFflNodeInfo* info = nodeInfo(node);
    return info && info->folder && info->enumerated;
}

IShellFolder* TFolderTreeView::getParentShellFolder(TTreeNode* node) const
{
    if (!node)
        return nullptr;
    if (TTreeNode* parent = node->Parent()) {
        const TFflNodeInfo* info = nodeInfo(parent);
        return info ? info->folder : nullptr;
    }
    return FShell.desktop();
}

IShellFolder* TFolderTreeView::newShellFolder(TTreeNode* node) const
{
    return newNodeFolder(nodeInfo(node), getParentShellFolder(node));
}

void TFolderTreeView::retrieveRootFolders()
{
    LPITEMIDLIST desktopList = nullptr;
    if (FShell.desktop() && SUCCEEDED(SHGetSpecialFolderLocation(kOwnerWindow, CSIDL_DESKTOP, &desktopList))) {
        UniquePidl list(desktopList);
        if (TTreeNode* top = addNode(nullptr, FShell.desktop(), list.get())) {
            list.release();  // the node's record owns it now
            TFflNodeInfo* info = nodeInfo(top);
            info->folder = AddShellRef(FShell.desktop()).release();  // the record's own reference
            info->enumerated = true;
            if (const ShellRef<IEnumIDList> enumerator = enumerate(FShell.desktop(), kDesktopContents)) {
                while (UniquePidl item = nextItem(enumerator.get())) {
                    if (addNode(top, FShell.desktop(), item.get()))
                        item.release();
                }
                top->Expand(false);
            }
        }
    }
    AlphaSort(true);
}

TTreeNode* TFolderTreeView::addNode(TTreeNode* parent, IShellFolder* folder, LPITEMIDLIST item)
{
    std::string caption;
    std::string name;
    if (!displayNameOf(folder, item, kCaptionName, caption) || !displayNameOf(folder, item, kInFolderName, name))
        return nullptr;
    std::uint32_t attributes = 0;
    if (!attributesOf(folder, item, attributes))
        return nullptr;
    if (!(attributes & SFGAO_FOLDER) && !FIncludeFile)
        return nullptr;
    if (!(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) && FOnlyFileSystem)
        return nullptr;
    if (isHiddenItemLeftOut(attributes, kHiddenFlags, FShowHidden, FShellSettings))
        return nullptr;

    auto* info = new TFflNodeInfo;
    info->name = name;
    info->attributes = attributes;
    info->pidl = item;
    TTreeNode* node = Items().AddChildObject(parent, caption, info);
    node->SetImageIndex(-1);
    node->SetSelectedIndex(-1);
    if (FIconList) {
        const TFflItemIcons icons = assignFolderIcons(*FIconList, folder, item, attributes, kOwnerWindow);
        node->SetImageIndex(icons.imageIndex);
        node->SetSelectedIndex(icons.selectedIndex);
        node->SetCut(icons.ghosted);
        if (icons.overlay >= 0)
            node->SetOverlayIndex(icons.overlay);
    }
    return node;
}

void TFolderTreeView::submitFolder(TTreeNode* node)
{
    TFflNodeInfo* info = nodeInfo(node);
    if (!info || isLoaded(node))
        return;
    ShellRef<IShellFolder> folder = bindFolder(getParentShellFolder(node), info->pidl);
    const ShellRef<IEnumIDList> enumerator = enumerate(folder.get(), kFolderContents);
    if (!enumerator)
        return;
    if (info->folder)
        info->folder->Release();
    info->folder = folder.release();  // the node's record holds the reference now
    info->enumerated = true;
    setUpdatesEnabled(false);
    while (UniquePidl item = nextItem(enumerator.get())) {
        if (addNode(node, info->folder, item.get()))
            item.release();
    }
    node->Expand(false);
    SortChildren(node, false);
    setUpdatesEnabled(true);
}

int TFolderTreeView::compareNode(TTreeNode* node1, TTreeNode* node2)
{
    if (!node1->Parent())
        return 0;
    IShellFolder* parent = getParentShellFolder(node1);
    const TFflNodeInfo* info1 = nodeInfo(node1);
    const TFflNodeInfo* info2 = nodeInfo(node2);
    if (!parent || !info1 || !info2)
        return 0;
    // The user's documents folder comes first under the desktop.
    if (node1->Level() == 1) {
        if (sameItem(parent, info1->pidl, FShell.documents()))
            return -1;
        if (sameItem(parent, info2->pidl, FShell.documents()))
            return 1;
    }
    int order = 0;
    return compareItems(parent, info1->pidl, info2->pidl, order) ? order : 0;
}

void TFolderTreeView::searchNode(const std::string& path)
{
    const std::string expanded = expandedShellPath(path);
    SFGAOF attributes = SFGAO_FOLDER;
    const UniquePidl parsed = parseShellPath(FShell.desktop(), expanded, attributes);
    if (!parsed)
        return;
    ShellRef<IShellFolder> current = AddShellRef(FShell.desktop());
    LPCITEMIDLIST cursor = parsed.get();
    TTreeNode* top = Items().GetFirstNode();
    TTreeNode* candidate = top ? top->getFirstChild() : nullptr;
    std::string lastName;
    for (;;) {
        const UniquePidl item(copyFirstItemId(cursor));
        std::string name;
        if (!item || !displayNameOf(current.get(), item.get(), kInFolderName, name))
            break;
        lastName = name;
        TTreeNode* match = findSibling(candidate, name);
        if (!match)
            break;
        SetSelected(match);
        if (!nextItemId(cursor))
            break;
        submitFolder(match);
        candidate = match->getFirstChild();
        ShellRef<IShellFolder> next = bindFolder(current.get(), item.get());
        if (!next)
            break;
        current = std::move(next);
        cursor = nextItemId(cursor);
    }
    // Only a file that exists is handed to the list (the parse also accepts
    // missing components, which are no files), and only when the walk came
    // as far as its name.
    if (!FIncludeFile && !(attributes & SFGAO_FOLDER) && FFileList.link() && !nextItemId(cursor) &&
        FileExists(expanded)) {
        if (FFileList.link()->SelectFile(lastName) && Selected())
            TCustomTreeView::Deselect(Selected());
    }
}

void TFolderTreeView::reflectSelection()
{
    FFolderPath.clear();
    if (TTreeNode* selected = Selected()) {
        std::string path;
        if (displayNameOf(getParentShellFolder(selected), nodeInfo(selected)->pidl, kFullPathName, path))
            FFolderPath = path;
    }
    FSelectedPaths.clear();
    for (int i = 0; i < SelectionCount(); ++i) {
        TTreeNode* node = Selections(i);
        std::string path;
        if (nodeInfo(node) && displayNameOf(getParentShellFolder(node), nodeInfo(node)->pidl, kFullPathName, path))
            FSelectedPaths.push_back(path);
    }
}

void TFolderTreeView::openInFileList(TObject* sender)
{
    if (FFileList.link() && isFolder(nodeInfo(Selected())))
        FFileList.link()->OpenFolder(sender, newShellFolder(Selected()));
}

void TFolderTreeView::changeEvent(TObject* sender, TTreeNode* node)
{
    if (FEmphasizeFocus && node)
        node->SetBold(true);
    reflectSelection();
    openInFileList(sender);
    TCustomTreeView::Change(node);
}

void TFolderTreeView::changingEvent(TObject*, TTreeNode*, bool& allowChange)
{
    if (TTreeNode* selected = Selected())
        selected->SetBold(false);
    allowChange = true;
}

void TFolderTreeView::clickEvent(TObject* sender)
{
    const std::string oldPath = FFolderPath;
    const std::vector<std::string> oldPaths = FSelectedPaths;
    reflectSelection();
    // Folder paths name the same folder only when they are the same text.
    if (FFolderPath != oldPath)
        openInFileList(sender);
    TCustomTreeView::Click();
    if (MultiSelect() && FSelectedPaths != oldPaths)
        TCustomTreeView::Change(Selected());
}

void TFolderTreeView::doubleClick(TObject*)
{
    TTreeNode* node = Selected();
    if (!node)
        return;
    const std::vector<std::string> oldPaths = FSelectedPaths;
    if (nodeInfo(node)->attributes & SFGAO_LINK) {
        std::string target;
        if (resolveShortcut(FFolderPath, target))
            searchNode(target);
    } else if (isLoaded(node)) {
        // A loaded folder opens and closes as in any tree.
        node->setExpanded(!node->isExpanded());
    } else {
        submitFolder(node);
    }
    reflectSelection();
    TCustomTreeView::DblClick();
    if (MultiSelect() && FSelectedPaths != oldPaths)
        TCustomTreeView::Change(Selected());
}

void TFolderTreeView::mouseUpEvent(TObject*, TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbRight) {
        if (TTreeNode* node = GetNodeAt(x, y))
            SetSelected(node);
    }
    TCustomTreeView::MouseUp(button, shift, x, y);
}

int TFolderTreeView::CompareNodes(TTreeNode* node1, TTreeNode* node2)
{
    if (SortType() == stData || SortType() == stBoth)
        return compareNode(node1, node2);
    return TCustomTreeView::CompareNodes(node1, node2);
}

bool TFolderTreeView::CanChange(TTreeNode* node)
{
    bool allow = true;
    changingEvent(this, node, allow);
    return allow && TCustomTreeView::CanChange(node);
}

void TFolderTreeView::Change(TTreeNode* node)
{
    changeEvent(this, node);
}

void TFolderTreeView::Delete(TTreeNode* node)
{
    deleteNode(this, node);
    TCustomTreeView::Delete(node);
}

void TFolderTreeView::Click()
{
    clickEvent(this);
}

void TFolderTreeView::DblClick()
{
    doubleClick(this);
}

void TFolderTreeView::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    mouseUpEvent(this, button, shift, x, y);
}

void TFolderTreeView::setMultiSelect(bool on)
{
    const bool report = !on && MultiSelect() && Selected() &&
                        !(SelectionCount() == 1 && Selections(0) == Selected());
    TCustomTreeView::SetMultiSelect(on);
    if (report)
        changeEvent(this, Selected());
}

void TFolderTreeView::deleteNode(TObject*, TTreeNode* node)
{
    if (FIconList) {
        const int selected = node->SelectedIndex();
        if (selected != node->ImageIndex() && FIconList->removeIcon(selected))
            shiftImageIndexes(selected);
        const int image = node->ImageIndex();  // as shifted above
        if (FIconList->removeIcon(image))
            shiftImageIndexes(image);
    }
    delete nodeInfo(node);  // gives back the identifier list and the folder
    node->SetData(nullptr);
}

void TFolderTreeView::shiftImageIndexes(int deleted)
{
    for (TTreeNode* node = Items().GetFirstNode(); node; node = node->GetNext()) {
        if (node->ImageIndex() > deleted)
            node->SetImageIndex(node->ImageIndex() - 1);
        if (node->SelectedIndex() > deleted)
            node->SetSelectedIndex(node->SelectedIndex() - 1);
    }
}

void TFolderTreeView::setFolderName(const std::string& path)
{
    SetSelected(nullptr);
    searchNode(path);
}

void TFolderTreeView::setFileListControl(TComponent* list)
{
    if (FFileList.set(list, this) && list)
        openInFileList(this);
}

void TFolderTreeView::setShowHidden(int value)
{
    FShowHidden = showHiddenValue(value);
    getShellSettings();
}

void TFolderTreeView::Refresh()
{
    const std::string remembered = FFolderPath;
    clear();
    initialize();
    getShellSettings();
    retrieveRootFolders();
    if (!remembered.empty())
        searchNode(remembered);
}

void TFolderTreeView::Deselect()
{
    SetSelected(nullptr);
}

void TFolderTreeView::SelectParent()
{
    TTreeNode* selected = Selected();
    if (selected && selected->Parent())
        SetSelected(selected->Parent());
}

bool TFolderTreeView::OpenFolder(const std::string& name)
{
    TTreeNode* selected = Selected();
    if (!selected || !isFolder(nodeInfo(selected)))
        return false;
    submitFolder(selected);
    TTreeNode* match = findSibling(selected->getFirstChild(), name);
    if (!match)
        return false;
    SetSelected(match);
    return true;
}

void TFolderTreeView::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove)
        FFileList.removed(component);
    TCustomTreeView::Notification(component, operation);
}

void TFolderTreeView::KeyDown(WORD_KEY& key, TShiftState shift)
{
    TCustomTreeView::KeyDown(key, shift);
    if (key != VK_RIGHT && key != VK_ADD && key != VK_OEM_PLUS)
        return;
    TTreeNode* selected = Selected();
    if (selected && isFolder(nodeInfo(selected)) && !isLoaded(selected)) {
        submitFolder(selected);
        key = 0;
    }
}
