// What the push buttons of the framework (speed button, tool button) share.
//
// TButtonPress follows a left press: whether one made on the button is held,
// and whether the mouse is over the button now. The button looks pressed
// while both hold; each step tells whether that look changed, so the button
// repaints only then.
#pragma once

#include "WinTypes.h"

class TCanvas;

// The button's one-pixel edge around rect: light above and left, dark below
// and right (raised), or the other way round (sunken).
void DrawButtonEdge(TCanvas* canvas, const RECT& rect, bool sunken);

class TButtonPress {
public:
    // A left press on the button.
    bool press()
    {
        const bool changed = !showsPressed();
        FHeld = true;
        FInside = true;
        return changed;
    }
    // The mouse moved, now inside the button or not.
    bool move(bool inside)
    {
        if (!FHeld || inside == FInside)
            return false;
        FInside = inside;
        return true;
    }
    // The left button came up.
    bool release()
    {
        if (!FHeld)
            return false;
        FHeld = false;
        return true;
    }
    bool held() const { return FHeld; }
    bool showsPressed() const { return FHeld && FInside; }

private:
    bool FHeld = false;
    bool FInside = false;
};
