// The folder drop-down: the shell namespace as an indented list in a drop-down
// combo box, as in the folder box of a file dialog. The desktop comes first
// (level 0), then its folders (level 1, the user's documents first), with the
// computer's drives (level 2) below the computer, and the folders that lead to
// the current folder, each below its parent.
//
// The entries form a depth-first flat list: an entry's children follow it
// directly, each followed by its own descendants, so a subtree is the run of
// entries after its root whose levels are greater than the root's. Between
// rebuilds (placing the control, setFolderName) entries are only added.
//
// Picking an entry makes it the current folder: FolderName gives its path, a
// linked file list (FileListControl) lists it and OnChange reports it.
// Selecting an entry from code raises nothing by itself.
#pragma once

#include "CustomComboBox.h"
#include "FflIconList.h"
#include "FflRecords.h"
#include "FflShellRoots.h"
#include "FileListLink.h"
#include "ShellHandles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TFolderDropDown : public TCustomComboBox {
public:
    explicit TFolderDropDown(TComponent* owner = nullptr);
    ~TFolderDropDown() override;

    // Links a file list (a component that implements TFflFileListLink) and
    // lists the selected folder in it; null unlinks; anything else is
    // ignored and the old link stays.
    virtual void setFileListControl(TComponent* list);
    // Rebuilds the list and selects the entry of path, adding the folders on
    // the way; OnChange reports the result once. A path that cannot be
    // parsed leaves the documents entry selected and reports nothing. On a
    // control without a parent the path is kept, and looked for when the
    // control is placed.
    virtual void setFolderName(const std::string& path);
    // flhForceHide (1) and flhForceShow (2) as they are; anything else is
    // flhConformExplorer. Applies to entries added afterwards.
    virtual void setShowHidden(int value);
    // Selects the parent of the selected entry and reports the change;
    // nothing on the desktop.
    virtual void SelectParent();
    // Selects the child called name of the selected folder (an exact match
    // before one in other letter case) and reports the change; false when
    // there is no such child.
    virtual bool OpenFolder(const std::string& name);
    // Placing the control on a parent builds the desktop, its folders and the
    // drives, and selects the documents entry; taking it off empties it.
    void SetParent(QWidget* parent) override;

    const std::string& FolderName() const { return FFolderPath; }
    void SetFolderName(const std::string& path) { setFolderName(path); }
    bool OnlyFileSystem() const { return FOnlyFileSystem; }
    void SetOnlyFileSystem(bool value) { FOnlyFileSystem = value; }
    TFflShowHidden ShowHidden() const { return FShowHidden; }
    void SetShowHidden(int value) { setShowHidden(value); }
    TComponent* FileListControl() const { return FFileList.control(); }
    void SetFileListControl(TComponent* list) { setFileListControl(list); }

    // Entries by position.
    int EntryCount() const { return static_cast<int>(FEntries.size()); }
    // The record at i, or null outside the list.
    TFflNodeInfo* getInfo(int i) const;
    // The nearest entry before i with a lower level; -1 for the desktop, a
    // level of 0 or less, or i outside the list.
    int getParent(int i) const;
    // i + 1 when it is i's child, else -1.
    int getFirstChild(int i) const;
    // The last entry of i's subtree; -1 when i has no children.
    int getLastDescendant(int i) const;
    // The next entry of i's level within i's parent; -1 when a lower level
    // or the end of the list comes first.
    int getNextSibling(int i) const;
    // The position after which item (of folder) goes among the children of
    // parent, in the folder's order: the parent itself when the item goes
    // first, else the end of the subtree of the last child it does not sort
    // before. The user's documents folder goes directly after the desktop.
    int getInsertPos(int parent, IShellFolder* folder, LPCITEMIDLIST item) const;

    // Refreshes the shell settings word.
    void getShellSettings();
    // The folder that entry i's identifier list is relative to (borrowed).
    IShellFolder* getParentShellFolder(int i) const;
    // The folder object of entry i, with a reference for the caller; null
    // when it cannot be bound.
    IShellFolder* newShellFolder(int i) const;
    // The icon list (null while the control is not placed).
    TFflIconList* iconList() const { return FIconList; }
    // The entry selected after a rebuild (the documents folder), or -1.
    int InitialEntry() const { return FInitialEntry; }

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void Change() override;  // changeEvent
    void DrawItem(int index, const RECT& rect, TOwnerDrawState state) override;  // drawItemEvent

private:
    void clear();
    void initialize();
    void retrieveInitialNodes();
    int insertNode(int after, int level, IShellFolder* folder, LPITEMIDLIST item);
    void submitFolder(int position);
    int insertNewNode(int position, int level, const std::string& name);
    void searchNode(const std::string& path);
    void reflectSelection();
    void changeEvent(TObject* sender);
    // The child of parent called name (an exact match before a folded one;
    // exactOnly: only an exact one), or -1.
    int findChild(int parent, const std::string& name, bool exactOnly = false) const;
    int level(int i) const { return FEntries[static_cast<std::size_t>(i)]->level; }
    bool isLoaded(int i) const;

    TFflShellRoots FShell;
    std::uint32_t FShellSettings = 0;
    TFflIconList* FIconList = nullptr;
    std::vector<std::unique_ptr<TFflNodeInfo>> FEntries;  // parallel to the combo box's items
    std::int32_t FInitialEntry = -1;
    std::string FFolderPath;
    std::string FPendingFolder;  // set before the control was placed
    bool FOnlyFileSystem = true;
    TFflShowHidden FShowHidden = flhConformExplorer;
    TFflLinkedFileList FFileList;
};
