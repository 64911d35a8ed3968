// The speed button: a caption button without a window of its own that never
// takes the keyboard focus, so pressing it leaves the focus where it was.
//
// A click (left press and release over the button) raises OnClick. With a
// GroupIndex other than 0 the button latches: a click puts it down, and the
// buttons of that group on the same parent go up; a click on a button that is
// down raises it only when the group allows all buttons up (AllowAllUp, which
// the group shares). Down changes only within a group.
//
// Drawing: the caption centred in Font. A Flat button shows its parent where
// it draws nothing and shows a raised edge only while the mouse is over it;
// otherwise the face is filled with Color inside a raised edge. While pressed
// or down the edge is sunken and the caption moves one pixel right and down.
//
// Other latching buttons join a group of speed buttons by the same notice:
// NotifyButtonGroup sends it, and a button of the group reacts to a notice
// that is not its own as described at UpdateExclusive.
#pragma once

#include "ButtonPress.h"
#include "Control.h"

#include <cstdint>

// Where a button's glyph stands beside its caption.
enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// What CM_BUTTONPRESSED carries: the group index as wParam and a pointer to
// this notice as lParam, the sending button and its group state.
struct TButtonGroupNotice {
    const TControl* Sender;
    bool Down;
    bool AllowAllUp;
};

// Sends CM_BUTTONPRESSED with the notice to every control on parent (a copy
// of its children, so a handler may add or remove controls). Nothing without
// a parent or with group index 0.
void NotifyButtonGroup(QWidget* parent, int groupIndex, const TButtonGroupNotice& notice);

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner = nullptr, QWidget* parent = nullptr);

    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool Down() const { return FDown; }
    void SetDown(bool value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value);

    // Tells every control on the parent about this button's group state
    // (NotifyButtonGroup). A speed button of the group goes up when the sender
    // is down (and it is not the sender), and takes the sender's AllowAllUp.
    void UpdateExclusive();

protected:
    bool UsesLeftPress() const override { return true; }
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;
    void CMMouseEnter() override;
    void CMMouseLeave() override;
    std::intptr_t WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;

private:
    bool sunken() const { return FDown || FPress.showsPressed(); }
    void buttonPressed(int groupIndex, const TButtonGroupNotice& notice);

    bool FFlat = false;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    TButtonPress FPress;
    bool FMouseInside = false;
};
