// The folder tree: the shell namespace as a tree with one top node for the
// desktop, the desktop's folders below it and, below each folder, its
// subfolders, loaded the first time the folder is opened. The chosen
// folder's full path is FolderName; OnChange reports every change of it.
// A linked file list (FileListControl) lists the selected folder.
#pragma once

#include "CustomTreeView.h"
#include "FflIconList.h"
#include "FflRecords.h"
#include "FflShellRoots.h"
#include "FileListLink.h"
#include "ShellHandles.h"

#include <cstdint>
#include <string>
#include <vector>

class TFolderTreeView : public TCustomTreeView {
public:
    explicit TFolderTreeView(TComponent* owner = nullptr);
    ~TFolderTreeView() override;

    // Links a file list (a component that implements TFflFileListLink);
    // null unlinks; anything else is ignored and the old link stays.
    virtual void setFileListControl(TComponent* list);
    // Selects no node, then the node of path, loading folders on the way.
    virtual void setFolderName(const std::string& path);
    virtual void setMultiSelect(bool on);
    // flhForceHide (1) and flhForceShow (2) as they are; anything else is
    // flhConformExplorer. Applies to nodes added afterwards.
    virtual void setShowHidden(int value);
    // Rebuilds the tree: the desktop level and the path to the folder that
    // was selected.
    virtual void Refresh();
    // Selects no node.
    virtual void Deselect();
    virtual void SelectParent();
    // Loads the selected folder and selects its child called name (letter
    // case aside); false when there is no such child or no folder selected.
    virtual bool OpenFolder(const std::string& name);
    // Placing the tree on a parent builds it; taking it off empties it.
    void SetParent(QWidget* parent) override;

    const std::string& FolderName() const { return FFolderPath; }
    void SetFolderName(const std::string& path) { setFolderName(path); }
    const std::vector<std::string>& SelectedFolders() const { return FSelectedPaths; }
    bool EmphasizeFocus() const { return FEmphasizeFocus; }
    void SetEmphasizeFocus(bool value) { FEmphasizeFocus = value; }
    bool IncludeFile() const { return FIncludeFile; }
    void SetIncludeFile(bool value) { FIncludeFile = value; }
    bool OnlyFileSystem() const { return FOnlyFileSystem; }
    void SetOnlyFileSystem(bool value) { FOnlyFileSystem = value; }
    TFflShowHidden ShowHidden() const { return FShowHidden; }
    void SetShowHidden(int value) { setShowHidden(value); }
    TComponent* FileListControl() const { return FFileList.control(); }
    void SetFileListControl(TComponent* list) { setFileListControl(list); }
    void SetMultiSelect(bool on) { setMultiSelect(on); }

    // Refreshes the shell settings word.
    void getShellSettings();
    // The folder that node's identifier list is relative to (borrowed).
    IShellFolder* getParentShellFolder(TTreeNode* node) const;
    // The folder object of node, with a reference for the caller; null when
    // it cannot be bound.
    IShellFolder* newShellFolder(TTreeNode* node) const;
    // The record of a node (null for none).
    static TFflNodeInfo* nodeInfo(TTreeNode* node);
    // The tree's icon list (null while the tree is not placed).
    TFflIconList* iconList() const { return FIconList; }

    // Sibling order: compareNode.
    int CompareNodes(TTreeNode* node1, TTreeNode* node2) override;

    // The host's handlers are the tree's own events (OnChange, OnClick,
    // OnDblClick, OnMouseUp): the overrides below do the tree's work and then
    // raise them.

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // Right arrow or "+" on a folder that is not loaded loads and expands it.
    void KeyDown(WORD_KEY& key, TShiftState shift) override;
    bool CanChange(TTreeNode* node) override;  // changingEvent
    void Change(TTreeNode* node) override;     // changeEvent
    void Delete(TTreeNode* node) override;     // deleteNode
    void Click() override;                     // clickEvent
    void DblClick() override;                  // doubleClick
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;  // mouseUpEvent

private:
    void clear();
    void initialize();
    void retrieveRootFolders();
    TTreeNode* addNode(TTreeNode* parent, IShellFolder* folder, LPITEMIDLIST item);
    void submitFolder(TTreeNode* node);
    int compareNode(TTreeNode* node1, TTreeNode* node2);
    void searchNode(const std::string& path);
    void reflectSelection();
    void changeEvent(TObject* sender, TTreeNode* node);
    void changingEvent(TObject* sender, TTreeNode* node, bool& allowChange);
    void clickEvent(TObject* sender);
    void doubleClick(TObject* sender);
    void mouseUpEvent(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void deleteNode(TObject* sender, TTreeNode* node);
    void shiftImageIndexes(int deleted);
    void openInFileList(TObject* sender);
    bool isLoaded(TTreeNode* node) const;

    TFflShellRoots FShell;
    std::uint32_t FShellSettings = 0;
    TFflIconList* FIconList = nullptr;
    std::string FFolderPath;
    std::vector<std::string> FSelectedPaths;
    bool FEmphasizeFocus = false;
    bool FIncludeFile = false;
    bool FOnlyFileSystem = true;
    TFflShowHidden FShowHidden = flhConformExplorer;
    TFflLinkedFileList FFileList;
};
