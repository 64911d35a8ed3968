// The framework's combo box over Qt's: items (a text and a data pointer each)
// of which one is selected and shown in the edit part, and a list that drops
// down below the control.
//
// Selecting from code (SetItemIndex, SetText) raises nothing; OnChange comes
// from the user only: a pick (a click on an entry of the dropped-down list, or
// the arrow keys and the mouse wheel on the closed control) and, in the
// editable styles, every change the user makes to the edit text by typing,
// deleting or pasting. OnDropDown is raised before the list shows, OnCloseUp
// after it has gone.
//
// Editable styles (csDropDown, the default, and csSimple, whose list also
// drops down here): the edit text is the control's own. It is what the user
// typed or picked, or what SetText or SetItemIndex put there; adding,
// inserting, deleting or clearing entries never changes it, and the selected
// entry follows its entry through insertions and is gone when that entry is
// deleted. Enter adds nothing to the list, the text is not completed while
// typing, and leaving the control does not select an entry that matches.
//
// The owner-draw styles draw every entry through DrawItem, with the canvas
// (Canvas) on a picture of the entry's own size and Rect from (0, 0): the
// entries of the list with the style's item height, and the selected entry in
// the edit part with odComboBoxEdit in its state (odSelected and odFocused
// too while the control has the focus and the list is closed). Before
// DrawItem the canvas takes the control's font and colour, and the highlight
// colours for a selected entry. Without an OnDrawItem handler DrawItem fills
// the rectangle and writes the text 2 pixels in from the left. With no entry
// selected the edit part is only filled.
#pragma once

#include "Canvas.h"
#include "GraphicsObjects.h"
#include "Set.h"
#include "WidgetControl.h"

#include <QComboBox>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

enum TOwnerDrawStates : std::uint8_t {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit,
};
using TOwnerDrawState = TSet<TOwnerDrawStates>;

using TDrawItemEvent = std::function<void(TObject* Control, int Index, RECT Rect, TOwnerDrawState State)>;

class TCustomComboBox;

// The entries of a combo box. An index outside the list raises the framework's
// list-index error.
class TComboBoxItems {
public:
    explicit TComboBoxItems(TCustomComboBox& box) : FBox(box) {}

    int Count() const;
    // A new last entry: its index.
    int AddObject(const std::string& text, void* data);
    // A new entry at index (0 to Count).
    void InsertObject(int index, const std::string& text, void* data);
    void Delete(int index);
    void Clear();
    std::string Strings(int index) const;
    void* Objects(int index) const;

private:
    void checkIndex(int index, int count) const;

    TCustomComboBox& FBox;
};

class TCustomComboBox : public TWidgetControl<QComboBox> {
public:
    explicit TCustomComboBox(TComponent* owner = nullptr);
    ~TCustomComboBox() override;

    // Places the control on a parent widget (null: takes it off).
    virtual void SetParent(QWidget* parent);

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle value);
    TComboBoxItems& Items() { return FItems; }

    // The selected entry, or -1.
    int ItemIndex() const { return currentIndex(); }
    // Selects entry index (-1: none) without raising OnChange; in the
    // editable styles its text (an empty one for -1) becomes the edit text.
    void SetItemIndex(int index);

    // Editable styles: the edit text, byte for byte when it is the text of
    // the selected entry or the one SetText gave (otherwise what was typed,
    // as UTF-8). Other styles: the selected entry's text, empty for none.
    std::string Text() const;
    // Editable styles: replaces the edit text. Other styles: selects the
    // entry of that text (an exact match before one that differs only in
    // letter case), or none. Raises no OnChange.
    void SetText(const std::string& value);

    // Height of each entry of an owner-draw list, in pixels (16 by default).
    // The control is then 6 pixels higher than an entry.
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value);
    // Entries the dropped-down list shows without scrolling (8 by default).
    int DropDownCount() const { return maxVisibleItems(); }
    void SetDropDownCount(int value) { setMaxVisibleItems(value); }
    bool DroppedDown() const { return FDroppedDown; }
    void SetDroppedDown(bool value);

    TFont* Font() { return &FFont; }
    void SetFont(const TFont& font);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);

    // The canvas of the entry being drawn (owner-draw styles, inside DrawItem).
    TCanvas* Canvas() { return &FCanvas; }

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    void showPopup() override;
    void hidePopup() override;

protected:
    // The user picked an entry: raises OnChange.
    virtual void Change();
    // Draws entry index within rect on Canvas: raises OnDrawItem, or fills
    // and writes the text.
    virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state);
    virtual void DropDown();
    virtual void CloseUp();

    void paintEvent(QPaintEvent* event) override;

private:
    friend class TComboBoxItems;
    friend class OwnerDrawDelegate;
    friend class ListWatch;

    // The list has gone: raises CloseUp once per drop-down.
    void closedUp();
    bool ownerDraw() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    // Runs a change of the entries after which entry selectedAfter is to be
    // the selected one; in the editable styles the edit text and that
    // selection are put back where Qt's own handling moved them.
    template <typename F>
    void changeEntries(int selectedAfter, F&& change);
    // The new edit part of an editable style: typing raises OnChange, and
    // nothing is selected or completed behind the user's back.
    void attachEdit();
    // Draws entry index on a picture of size (DrawItem inside SafeCall).
    QImage drawEntry(int index, QSize size, TOwnerDrawState state);
    void applyHeight();

    TComboBoxItems FItems;
    TComboBoxStyle FStyle = csDropDown;
    int FItemHeight = 16;
    bool FDroppedDown = false;
    QObject* FListWatch = nullptr;  // owned by the control (Qt parent)
    TFont FFont;
    TColor FColor = clWindow;
    TCanvas FCanvas;
    std::string FSetText;  // the bytes SetText gave the edit text
};
