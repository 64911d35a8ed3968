// The shine speed button: a speed button without a window of its own, with a
// glyph and a caption, three frame styles, an optional gradient face and
// per-pixel glyph effects.
//
// Visual states (State):
//   shActiveDown 0  pressed, cursor over it   PressedColors  ActiveFont  content +1, +1
//   shDown       1  pressed or latched down   PressedColors  Font        content +1, +1
//   shActive     2  up, cursor over it (hot)  Colors         ActiveFont
//   shUp         3  up                        Colors         Font
//   shDisabled   4  disabled                  Colors         Font
//
// While the cursor is over the button its glyph is re-coloured with ShineColor
// as ActiveImage says; while disabled it takes the DisabledImage look. The key
// colour of the glyph is its bottom-left pixel: pixels of that colour are not
// drawn, the colour effects leave them alone and the outline effects paint
// them. The state glyph is drawn with that key colour as transparent, even
// where an outline effect repainted the bottom-left pixel itself.
//
// Buttons with the same GroupIndex (not 0) on one parent latch as a radio
// group, one down at a time, AllowAllUp shared; they share the group with the
// framework's speed buttons there (NotifyButtonGroup).
//
// Hot tracking: entering marks the button hot and starts a 200 ms poll that
// ends the hot state when the cursor is found outside the button, should the
// leave notice not arrive. Nothing is animated.
//
// Clicks are the button's own: a left press and a release over the button
// raise OnClick after OnMouseUp. A double click raises OnDblClick only while
// the button is down. The caption's accelerator ("&x"; Alt+x) clicks the
// button, and with AccelCharDown also toggles Down. The caption is shown
// without its "&" marks, the marked characters underlined ("&&" shows "&").
#pragma once

#include "Control.h"
#include "SpeedButton.h"

#include <cstdint>
#include <functional>
#include <memory>

class TBitmap;
class TCanvas;
class TFont;
class TTimer;

enum TFrameType : std::uint8_t { ftFlatFrame, ftNormalFrame, ftEnclosedFrame };
enum TActiveImageType : std::uint8_t {
    aiNormal, aiXorLight, aiHalfLight, aiQuaterLight, aiAddLight, aiFrameLight, aiFrameLight2, aiMaskLight
};
enum TDisabledImageType : std::uint8_t { diDefault, diGrayscale, diAlphaHalfTrans, diAlphaQuaterTrans, diMaskTrans };
enum TShineState : std::uint8_t { shActiveDown, shDown, shActive, shUp, shDisabled };

// The colours of one group of states. Any change raises OnChange once.
class TShineBtnColors {
public:
    // color: the face; clBtnFace for the up states, clBtnHighlight pressed.
    explicit TShineBtnColors(TColor color = clBtnFace) : FColor(color) {}
    TShineBtnColors(const TShineBtnColors&) = delete;
    TShineBtnColors& operator=(const TShineBtnColors&) = delete;

    // The face; also what the disabled looks blend with.
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { set(FColor, value); }
    // Light frame edges.
    TColor Highlight() const { return FHighlight; }
    void SetHighlight(TColor value) { set(FHighlight, value); }
    TColor Shadow() const { return FShadow; }
    void SetShadow(TColor value) { set(FShadow, value); }
    // Outer dark edges.
    TColor DarkShadow() const { return FDarkShadow; }
    void SetDarkShadow(TColor value) { set(FDarkShadow, value); }
    // The gradient runs from Color to GradColor, left to right or, with
    // GradVertical, top to bottom, when Gradation is on.
    TColor GradColor() const { return FGradColor; }
    void SetGradColor(TColor value) { set(FGradColor, value); }
    bool GradVertical() const { return FGradVertical; }
    void SetGradVertical(bool value) { set(FGradVertical, value); }
    bool Gradation() const { return FGradation; }
    void SetGradation(bool value) { set(FGradation, value); }

    // Copies all seven values.
    void Assign(const TShineBtnColors& source);

    std::function<void(TShineBtnColors*)> OnChange;

private:
    template <typename T>
    void set(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        changed();
    }
    void changed();

    TColor FColor;
    TColor FHighlight = clBtnHighlight;
    TColor FShadow = clBtnShadow;
    TColor FDarkShadow = clWindowFrame;
    TColor FGradColor = clBlue;
    bool FGradVertical = false;
    bool FGradation = false;
};

class TShineSpeedButton : public TGraphicControl {
public:
    // 25 x 25, up, frame ftNormalFrame, hot glyph aiFrameLight in clYellow.
    explicit TShineSpeedButton(TComponent* owner = nullptr, QWidget* parent = nullptr);
    ~TShineSpeedButton() override;

    // Latched down; changes only within a group. Without AllowAllUp a button
    // that is down stays down.
    bool Down() const { return FDown; }
    void SetDown(bool value);
    TFrameType FrameType() const { return FFrameType; }
    void SetFrameType(TFrameType value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value);
    // Shows the pressed look while OnClick runs.
    bool ClickDownHook() const { return FClickDownHook; }
    void SetClickDownHook(bool value) { FClickDownHook = value; }
    bool AccelCharDown() const { return FAccelCharDown; }
    void SetAccelCharDown(bool value) { FAccelCharDown = value; }
    // 0: no group.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    // Distance of glyph and caption from the edge the layout names; -1 centres.
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    // Gap between glyph and caption.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    // No face: the parent shows through, and drawing goes straight to the control.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // Whether the frame is drawn in the hot states, the up and disabled
    // states, and shDown.
    bool ActiveFrame() const { return FActiveFrame; }
    void SetActiveFrame(bool value);
    bool UpFrame() const { return FUpFrame; }
    void SetUpFrame(bool value);
    bool DownFrame() const { return FDownFrame; }
    void SetDownFrame(bool value);
    TActiveImageType ActiveImage() const { return FActiveImage; }
    void SetActiveImage(TActiveImageType value);
    TDisabledImageType DisabledImage() const { return FDisabledImage; }
    void SetDisabledImage(TDisabledImageType value);
    // The disabled caption and diDefault glyph: a highlight copy one pixel
    // down-right under a shadow copy.
    TColor DisabledShadow() const { return FDisabledShadow; }
    void SetDisabledShadow(TColor value);
    TColor DisabledHighlight() const { return FDisabledHighlight; }
    void SetDisabledHighlight(TColor value);
    // Colours of shActive, shUp and shDisabled; PressedColors of shActiveDown
    // and shDown. Setting copies the values.
    TShineBtnColors* Colors() const { return FColors.get(); }
    void SetColors(const TShineBtnColors& value);
    TShineBtnColors* PressedColors() const { return FPressedColors.get(); }
    void SetPressedColors(const TShineBtnColors& value);
    TColor ShineColor() const { return FShineColor; }
    void SetShineColor(TColor value);
    // Caption copies one pixel up-left (FontHighlight) and down-right
    // (FontShadow); clNone draws none. The setters always repaint.
    TColor FontHighlight() const { return FFontHighlight; }
    void SetFontHighlight(TColor value);
    TColor FontShadow() const { return FFontShadow; }
    void SetFontShadow(TColor value);
    // The caption font of the hot states (Font: the others). Setting copies it.
    TFont* ActiveFont() const { return FActiveFont.get(); }
    void SetActiveFont(const TFont& value);
    // The glyph, held as a 32-bit bitmap. Setting copies the bitmap; nullptr
    // empties the glyph.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* value);

    TShineState State() const { return FState; }

    // Sets GroupIndex and tells the controls on the parent about this
    // button's group state.
    void GroupUpdateStatus(int index);
    // Brings the hot state in line with whether the cursor is over the button
    // (the enter or leave handling runs once). Only while enabled.
    void UpdateTracking();

    // Raised first thing when the cursor enters and leaves.
    TMouseMoveEvent OnMouseEnter;
    TMouseMoveEvent OnMouseLeave;

protected:
    bool UsesLeftPress() const override { return true; }
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;
    virtual void MouseEnter(TShiftState shift, int x, int y);
    virtual void MouseLeave(TShiftState shift, int x, int y);

    std::intptr_t WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    void CMMouseEnter() override;
    void CMMouseLeave() override;
    void CMEnabledChanged() override;
    void CMTextChanged() override;

    bool event(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct DrawPosition;

    void BackDraw(TCanvas& canvas);
    void ImageDraw(TCanvas& canvas);
    void FrameDraw(TCanvas& canvas);
    std::unique_ptr<TBitmap> CreateStateGlyph() const;
    DrawPosition CalcDrawPosition(TCanvas& canvas) const;
    void GlyphOnChange();
    void ActiveButtonTimerOnTimer();
    bool dialogChar(char32_t key);
    void buttonPressed(int groupIndex, const TButtonGroupNotice& notice);
    void grabAccelerator();
    QPoint cursorPos() const;
    bool hot() const { return FState == shActiveDown || FState == shActive; }
    bool pressedLook() const { return FState == shActiveDown || FState == shDown; }

    bool FDown = false;
    TFrameType FFrameType = ftNormalFrame;
    bool FAllowAllUp = false;
    bool FClickDownHook = false;
    bool FAccelCharDown = false;
    int FGroupIndex = 0;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FTransparent = false;
    bool FActiveFrame = true;
    bool FUpFrame = true;
    bool FDownFrame = true;
    TActiveImageType FActiveImage = aiFrameLight;
    TDisabledImageType FDisabledImage = diDefault;
    TColor FDisabledShadow = clBtnShadow;
    TColor FDisabledHighlight = clBtnHighlight;
    std::unique_ptr<TShineBtnColors> FColors;
    std::unique_ptr<TShineBtnColors> FPressedColors;
    TColor FShineColor = clYellow;
    TColor FFontHighlight = clNone;
    TColor FFontShadow = clNone;
    std::unique_ptr<TFont> FActiveFont;
    std::unique_ptr<TBitmap> FGlyph;

    bool FMouseInside = false;
    bool FPressing = false;  // a left press on the button, not yet released
    TShineState FState = shUp;
    TTimer* FActiveTimer;  // owned as a component
    bool FGlyphChanging = false;
    int FAccelShortcut = 0;  // Qt's id of the accelerator grab, 0 for none
};
