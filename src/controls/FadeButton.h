// The fade button: a flat caption button without a window of its own whose
// fill and border colours walk, one step per timer tick, from their resting
// colours (Color, BorderColor) to their hover colours (DestColor,
// BorderDestColor) while the mouse is over it, and back, or at once, when the
// mouse leaves. Its caption takes CaptionOverColor while the mouse is over it.
//
// A tick adds the signed step to each red, green and blue channel of the
// current colours and holds each channel at or above the resting colour's
// channel and then at or below the hover colour's. The fill decides when the
// fade ends: when it is, as a packed 0x00BBGGRR value, at or below Color or at
// or above DestColor. Hover colours are meant to have every channel at least
// the resting one's; a hover channel below it pins that channel at the hover
// value.
#pragma once

#include "Control.h"

class TTimer;

class TFadeButton : public TGraphicControl {
public:
    // 150 x 30, green fading to lime, border silver fading to white, caption
    // white turning lime, Step 2 every 10 milliseconds, fading both ways.
    explicit TFadeButton(TComponent* owner = nullptr, QWidget* parent = nullptr);

    // The resting fill. Setting it, even to the same value, puts the current
    // fill back to it and repaints at once.
    void SetColor(TColor value);
    TColor DestColor() const { return FDestColor; }
    void SetDestColor(TColor value) { FDestColor = value; }
    TColor BorderColor() const { return FBorderColor; }
    // A new value puts the current border back to it and repaints.
    void SetBorderColor(TColor value);
    TColor BorderDestColor() const { return FBorderDestColor; }
    void SetBorderDestColor(TColor value) { FBorderDestColor = value; }
    bool ShowBorder() const { return FShowBorder; }
    void SetShowBorder(bool value);
    // The border pen's width.
    int BorderHeight() const { return FBorderHeight; }
    void SetBorderHeight(int value);
    // The caption colour while the mouse is over the button; Font's colour is
    // the resting one.
    TColor CaptionOverColor() const { return FCaptionOverColor; }
    void SetCaptionOverColor(TColor value) { FCaptionOverColor = value; }
    // Off: entering switches to the hover colours at once.
    bool FadeOnOver() const { return FFadeOnOver; }
    void SetFadeOnOver(bool value) { FFadeOnOver = value; }
    // Off: leaving switches back to the resting colours at once.
    bool FadeOnLeave() const { return FFadeOnLeave; }
    void SetFadeOnLeave(bool value) { FFadeOnLeave = value; }
    // Added to or taken from each channel per tick.
    int Step() const { return FStep; }
    void SetStep(int value) { FStep = value; }
    // Milliseconds between ticks.
    int Speed() const { return FSpeed; }
    void SetSpeed(int value);

    // The colours on show now (0x00BBGGRR).
    TColor CurrentColor() const { return FCurrentColor; }
    TColor CurrentBorderColor() const { return FCurrentBorderColor; }

    // Raised after the button has handled the mouse leaving it.
    TNotifyEvent onMouseLeave;

protected:
    void Paint() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void CMMouseLeave() override;
    void CMColorChanged() override;

private:
    void tick();

    TColor FDestColor = clLime;
    TColor FBorderColor = clSilver;
    TColor FBorderDestColor = clWhite;
    bool FShowBorder = true;
    int FBorderHeight = 1;
    TColor FCaptionOverColor = clLime;
    bool FFadeOnOver = true;
    bool FFadeOnLeave = true;
    int FStep = 2;
    int FSpeed = 10;

    TColor FCurrentColor = clGreen;
    TColor FCurrentBorderColor = clSilver;
    long long FTickStep = 0;  // +Step fading in, -Step fading back
    TColor FSavedCaptionColor = clBlack;
    TTimer* FTimer;  // owned as a component
};
