// The framework's tree view over Qt's tree widget: nodes (TTreeNode) with
// images from an image list, one selected node and, with MultiSelect, a list
// of selected nodes in the order they were selected.
//
// Selection changes, from code or from the user, raise OnChanging (which may
// refuse the change) while Selected is still the old node, then OnChange
// with the new node (null when nothing is selected). A change from code is
// reported during the selecting call; one made by a mouse press or a key is
// reported when Qt has finished handling that input, so the selection list
// is complete. Deleting nodes raises OnDeletion for each node (children
// first) and no change events. Each of these events has a dynamic method
// (CanChange, Change, Delete, CompareNodes) that a derived tree overrides;
// mouse, click and key events come from the control base.
#pragma once

#include "Keys.h"
#include "Set.h"
#include "SortType.h"
#include "TreeNode.h"
#include "WidgetControl.h"

#include <QTreeWidget>

#include <functional>
#include <string>
#include <vector>

class TImageList;

enum TMultiSelectStyles : std::uint8_t { msControlSelect, msShiftSelect, msVisibleOnly, msSiblingOnly };
using TMultiSelectStyle = TSet<TMultiSelectStyles>;

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVCompareEvent = std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;

class TCustomTreeView;

// The nodes of a tree view.
class TTreeNodes {
public:
    explicit TTreeNodes(TCustomTreeView& tree) : FTree(tree) {}

    // A new last child of parent (a new last top node when parent is null).
    TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
    // The first top node, or null.
    TTreeNode* GetFirstNode() const;
    // Every node of the tree.
    int Count() const;
    // Deletes node and its children, each raising OnDeletion.
    void Delete(TTreeNode* node);
    void Clear();

private:
    TCustomTreeView& FTree;
};

class TCustomTreeView : public TWidgetControl<QTreeWidget> {
public:
    explicit TCustomTreeView(TComponent* owner = nullptr);
    ~TCustomTreeView() override;

    // Places the control on a parent widget (null: takes it off).
    virtual void SetParent(QWidget* parent);

    TTreeNodes& Items() { return FItems; }

    TTreeNode* Selected() const { return FSelected; }
    // Selects node alone (null: no node), raising the change events.
    void SetSelected(TTreeNode* node);
    int SelectionCount() const { return static_cast<int>(FSelections.size()); }
    TTreeNode* Selections(int index) const;
    // Takes node out of the selection list; Selected stays and nothing is raised.
    void Deselect(TTreeNode* node);

    bool MultiSelect() const { return FMultiSelect; }
    // Switching it off keeps only the selected node selected.
    void SetMultiSelect(bool value);
    TMultiSelectStyle MultiSelectStyle() const { return FMultiSelectStyle; }
    void SetMultiSelectStyle(TMultiSelectStyle value);
    int Indent() const { return indentation(); }
    void SetIndent(int value) { setIndentation(value); }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool value);
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool value) { FRightClickSelect = value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType value) { FSortType = value; }

    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* images);

    // The node at (x, y) of the client area, or null.
    TTreeNode* GetNodeAt(int x, int y) const;
    // Sorts the top nodes (recurse: and every level below) by CompareNodes.
    void AlphaSort(bool recurse);
    // Sorts the children of node (recurse: and every level below).
    void SortChildren(TTreeNode* node, bool recurse);
    // The order of two nodes: OnCompare when assigned and the sort type uses
    // data, else the captions compared without regard to letter case.
    virtual int CompareNodes(TTreeNode* node1, TTreeNode* node2);

    TTVChangedEvent OnDeletion;
    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;
    TTVCompareEvent OnCompare;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // Before the selection moves to node: raises OnChanging; false keeps the
    // selection where it is.
    virtual bool CanChange(TTreeNode* node);
    // The selection moved to node (null: to no node): raises OnChange.
    virtual void Change(TTreeNode* node);
    // node is about to go: raises OnDeletion.
    virtual void Delete(TTreeNode* node);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class TTreeNodes;
    friend class InputBatch;

    void deleteNode(TTreeNode* node);
    void currentChanged(TTreeNode* current);
    void applyChange(TTreeNode* node);
    void setCurrentQuietly(TTreeNode* node);
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void applySelectionMode();
    void beginInput();
    void endInput();

    TTreeNodes FItems;
    TTreeNode* FSelected = nullptr;
    std::vector<TTreeNode*> FSelections;
    bool FMultiSelect = false;
    TMultiSelectStyle FMultiSelectStyle{msControlSelect};
    bool FHideSelection = true;
    bool FRightClickSelect = false;
    bool FReadOnly = false;
    TSortType FSortType = stNone;
    TImageList* FImages = nullptr;
    int FQuiet = 0;       // > 0: Qt's current-item changes are our own
    int FInputDepth = 0;  // > 0: inside Qt's handling of an input event
    bool FChangePending = false;
    bool FDestroying = false;
};
