// The framework's list view: items (TListItem) with a caption, the texts of
// further columns, an image from the view's image lists with an overlay, a
// cut (dimmed) state and a data pointer, shown in one of four view styles:
// large icons (vsIcon), small icons (vsSmallIcon), a list in columns
// (vsList) or details with column headers (vsReport). Items keep their order
// unless they are sorted (AlphaSort, by CompareItems).
//
// One item may have the focus (ItemFocused); with MultiSelect several may be
// selected. Changes of the focused and selected items, from code or from the
// user, raise OnChange once per change (item: the focused item, or null;
// change: ctState); one made by a mouse press or a key is reported when Qt
// has finished handling that input. Deleting items raises OnDeletion for each
// item and no change events. Each event has a dynamic method (Change, Delete,
// CompareItems) that a derived view overrides; mouse, click and key events
// come from the control base, with coordinates in the control's client area.
#pragma once

#include "Alignment.h"
#include "Keys.h"
#include "Set.h"
#include "SortType.h"
#include "WidgetControl.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "WinTypes.h"

class TCustomListView;
class TImageList;
class TPopupMenu;
class QAbstractItemView;
class QItemSelectionModel;

enum TViewStyle : std::uint8_t { vsIcon, vsSmallIcon, vsList, vsReport };
enum TItemChange : std::uint8_t { ctText, ctImage, ctState };
enum TItemStates : std::uint8_t { isNone, isCut, isDropHilited, isFocused, isSelected, isActivating };
using TItemState = TSet<TItemStates>;

// One item of a list view; made and owned by the view's item list.
class TListItem {
public:
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    // The texts of the second and later columns, in column order.
    const std::vector<std::string>& SubItems() const { return FSubItems; }
    void SetSubItems(std::vector<std::string> texts);
    // An index into the view's image lists (the large one in vsIcon, the
    // small one otherwise); -1 = none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    // The image list's overlay number drawn over the image; -1 = none.
    int OverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int index);
    // Cut: the image drawn dimmed.
    bool Cut() const { return FCut; }
    void SetCut(bool value);
    void* Data() const { return FData; }
    void SetData(void* data) { FData = data; }

    bool Selected() const;
    // Selects or deselects this item; with MultiSelect the others keep their
    // state, without it selecting this item deselects the others.
    void SetSelected(bool value);
    bool Focused() const;
    // Gives the item the focus (true) or takes it away (false); the
    // selection stays as it is.
    void SetFocused(bool value);

    // The item's position in the view.
    int Index() const { return FIndex; }
    TCustomListView* ListView() const { return FView; }
    // Where the item is shown, in the view's client coordinates (all zero
    // while it is not shown).
    RECT DisplayRect() const;

private:
    friend class TListItems;
    friend class TCustomListView;
    explicit TListItem(TCustomListView* view) : FView(view) {}
    void changed(int firstColumn, int lastColumn);

    TCustomListView* FView;
    int FIndex = -1;
    std::string FCaption;
    std::vector<std::string> FSubItems;
    int FImageIndex = -1;
    int FOverlayIndex = -1;
    bool FCut = false;
    void* FData = nullptr;
};

// The items of a list view, in view order.
class TListItems {
public:
    explicit TListItems(TCustomListView& view) : FView(view) {}
    ~TListItems();

    // A new last item with no caption and no image.
    TListItem* Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    // The item at index, or null outside the list.
    TListItem* Item(int index) const;
    // Deletes the item at index (raising OnDeletion); nothing outside the list.
    void Delete(int index);
    // Deletes every item, the last first, each raising OnDeletion.
    void Clear();
    // Between the two, the view is not redrawn.
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TCustomListView;
    TCustomListView& FView;
    std::vector<std::unique_ptr<TListItem>> FItems;
    int FUpdating = 0;
};

// One column of the details view.
class TListColumn {
public:
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);
    int Width() const { return FWidth; }
    void SetWidth(int width);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    // A column that sizes itself to the view's width; off unless asked.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    int Index() const { return FIndex; }

private:
    friend class TListColumns;
    TListColumn(TCustomListView& view, int index) : FView(view), FIndex(index) {}
    void changed();

    TCustomListView& FView;
    int FIndex;
    std::string FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = false;
};

class TListColumns {
public:
    explicit TListColumns(TCustomListView& view) : FView(view) {}
    ~TListColumns();

    // A new last column.
    TListColumn* Add();
    int Count() const { return static_cast<int>(FColumns.size()); }
    // The column at index, or null outside the list.
    TListColumn* Items(int index) const;
    void Clear();

private:
    TCustomListView& FView;
    std::vector<std::unique_ptr<TListColumn>> FColumns;
};

using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVDeletedEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVCompareEvent = std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;

class TCustomListView : public TWidgetControl<QWidget> {
public:
    explicit TCustomListView(TComponent* owner = nullptr);
    ~TCustomListView() override;

    // Places the control on a parent widget (null: takes it off).
    virtual void SetParent(QWidget* parent);

    TListItems& Items() { return FItems; }
    const TListItems& Items() const { return FItems; }
    TListColumns& Columns() { return FColumns; }

    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle value);
    // The images of vsIcon and of the other styles; not owned.
    TImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TImageList* images);
    TImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(TImageList* images);
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool value);
    // The list view never edits captions in place; ReadOnly is kept as set.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    // Off: the selection stays highlighted while the view has no focus.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool value);
    // Switching it off keeps only the focused item (or the first selected) selected.
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool value);
    // In the details view, the whole row is highlighted (otherwise the caption only).
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool value);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType value) { FSortType = value; }
    // The menu that pops up on a right click or the menu key (null: none); not owned.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* menu);

    // The first selected item, or null. Setting an item selects it alone and
    // gives it the focus; null clears the selection.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    TListItem* ItemFocused() const;
    void SetItemFocused(TListItem* item);
    int SelCount() const;
    // The first item after start (from the first item when start is null)
    // that has every state of states (isSelected, isFocused, isCut); null
    // when none.
    TListItem* GetNextItem(TListItem* start, TItemState states) const;
    void ClearSelection();
    // The item at (x, y) of the client area, or null.
    TListItem* GetItemAt(int x, int y) const;

    // Sorts the items by CompareItems; the focus and the selection stay with
    // their items.
    void AlphaSort();
    // Deletes every item (Items().Clear()); a derived view adds its own work.
    virtual void Clear();
    // The order of two items: OnCompare when assigned and the sort type uses
    // data, else the captions compared without regard to letter case.
    virtual int CompareItems(TListItem* item1, TListItem* item2);

    TLVChangeEvent OnChange;
    TLVDeletedEvent OnDeletion;
    TLVCompareEvent OnCompare;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // The focused or selected items changed: raises OnChange.
    virtual void Change(TListItem* item, TItemChange change);
    // item is about to go: raises OnDeletion.
    virtual void Delete(TListItem* item);
    // Changes of the focused and selected items made between the two are
    // reported once, at the end (the calls nest).
    void BeginSelectionUpdate() { beginInput(); }
    void EndSelectionUpdate() { endInput(); }

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumn;
    friend class TListColumns;
    friend class ListViewInput;
    template <class View>
    friend class ListViewPane;
    class Model;

    QAbstractItemView* activePane() const;
    QItemSelectionModel* selection() const;
    void applyViewStyle();
    void applySelectionMode();
    void applyColumns();
    void applyImageSize();
    void itemChanged(TListItem* item, int firstColumn, int lastColumn);
    void itemAdded(TListItem* item);
    void deleteItem(int index);
    void deleteAll();
    void renumber(int from);
    void columnsChanged();
    void selectionSignalled();
    void beginInput();
    void endInput();
    void report();
    // Qt's input on a pane, in the control's coordinates.
    QPoint toClient(const QAbstractItemView* pane, QPoint viewportPoint) const;
    void paneMouse(QAbstractItemView* pane, QMouseEvent* event);
    bool paneKeyDown(QKeyEvent* event) { return RaiseKeyDown(*event); }
    void paneKeyUp(QKeyEvent* event) { RaiseKeyUp(*event); }

    TListItems FItems;
    TListColumns FColumns;
    std::unique_ptr<Model> FModel;
    QAbstractItemView* FIconPane = nullptr;    // vsIcon, vsSmallIcon, vsList
    QAbstractItemView* FReportPane = nullptr;  // vsReport
    TViewStyle FViewStyle = vsIcon;
    TImageList* FLargeImages = nullptr;
    TImageList* FSmallImages = nullptr;
    TPopupMenu* FPopupMenu = nullptr;
    bool FShowColumnHeaders = true;
    bool FReadOnly = false;
    bool FHideSelection = true;
    bool FMultiSelect = false;
    bool FRowSelect = false;
    TSortType FSortType = stNone;
    int FQuiet = 0;       // > 0: selection changes are our own bookkeeping
    int FInputDepth = 0;  // > 0: inside the handling of input or of a call
    bool FChangePending = false;
    bool FDestroying = false;
};
