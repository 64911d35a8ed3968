// The graphic-control base of the extended component set: a non-windowed
// control that is either transparent (only what Paint draws shows, the parent
// shows through the rest) or filled with its Color, and that carries a bevel.
//
// Only the custom bevel without inner or outer style and without border width
// is carried; it draws nothing and takes no room.
#pragma once

#include "Control.h"

#include <cstdint>

enum TExBevelMode : std::uint8_t { bmCustom };

class TExBevel {
public:
    TExBevelMode Mode() const { return FMode; }
    void SetMode(TExBevelMode value) { FMode = value; }

    // How far the bevel reaches into the control on every side.
    int Extent() const { return 0; }
    // What the bevel leaves of rect.
    RECT InnerRect(const RECT& rect) const;

private:
    TExBevelMode FMode = bmCustom;
};

class TExGraphicControl : public TGraphicControl {
public:
    // Color clWindow, taken from the parent (ParentColor), transparent.
    explicit TExGraphicControl(TComponent* owner = nullptr, QWidget* parent = nullptr);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    TExBevel* Bevel() { return &FBevel; }

protected:
    // The background: the client rectangle filled with Color unless the
    // control is transparent, then the bevel. Returns the rectangle inside the
    // bevel, which is left for the control's own drawing.
    RECT PaintBackground();

private:
    bool FTransparent = true;
    TExBevel FBevel;
};
