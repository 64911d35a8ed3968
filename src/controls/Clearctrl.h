// Transparent image controls: windowed controls whose visible shape is the
// opaque part of an image.
//
// A control composes its picture and caption, optionally framed by a light
// edge, a face-coloured rim and a shadow, into one bitmap per visual state
// (up, pressed, hot, disabled) and cuts its window region (QWidget::setMask)
// to the pixels of that bitmap that are not TransparentColor. Everything
// outside the shape shows what lies behind: the control never paints its
// parent's background.
//
// Pixels are compared with TransparentColor as stored, unresolved: a system
// colour as key never matches a pixel, and the whole rectangle is opaque.
// Drawing with a key resolves it, as every drawing call does.
//
// Region requests are posted to the control (CM_UPDATERGN) and only the last
// one queued does the work. A click counts only when the button is released
// over the control's shape.
//
//   TClearControl  the base: picture, caption, colours, state images, regions
//   TClearButton   a push button (320 x 320 at most)
//   TClearPanel    a container whose shape is its picture plus its children;
//                  it can shape its form and drag its parent window
#pragma once

#include "Control.h"
#include "Form.h"
#include "Set.h"

#include <QPoint>
#include <QRegion>

#include <cstdint>
#include <memory>

class TBitmap;
class TGraphicsObject;
class TPicture;

enum TTransBtnStyle : std::uint8_t { sbsPushBtn, sbsFloatBtn, sbsImage };
enum TTransImgOption : std::uint8_t { sioDisableImage, sioHotTrackImage, sioTransAtDesigning, sioBorderAndShadow };
using TTransImgOptions = TSet<TTransImgOption>;

// The frame of the picture: bsNone (0) or bsSingle (1), used as the number BS.
using TBorderStyle = TFormBorderStyle;

// The control's private message that applies its window region.
inline constexpr unsigned CM_UPDATERGN = 48043;

// A 24-bit scan-line pixel (blue, green, red) as 0x00BBGGRR.
inline TColor PixelToColor(const unsigned char* pixel)
{
    return TColor(pixel[0]) << 16 | TColor(pixel[1]) << 8 | TColor(pixel[2]);
}
// Each channel of rgb(colour) raised by n, at most 255.
TColor LightenColor(TColor colour, int n);
// Each channel of rgb(colour) lowered by n, at least 0.
TColor DarkenColor(TColor colour, int n);
// The mean of the channels of rgb(colour), held between 128 and 192, as a grey.
TColor DisabledGray(TColor colour);

class TClearControl : public TCustomControl {
public:
    explicit TClearControl(TComponent* owner = nullptr, QWidget* parent = nullptr);
    ~TClearControl() override;

    TColor TransparentColor() const { return FTransparentColor; }
    // Also the picture bitmap's transparent colour.
    void SetTransparentColor(TColor value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TPicture& value);
    // -1 centres the caption.
    int CaptionLeft() const { return FCaptionLeft; }
    void SetCaptionLeft(int value);
    int CaptionTop() const { return FCaptionTop; }
    void SetCaptionTop(int value);
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool value);
    TTransBtnStyle Style() const { return FStyle; }
    void SetStyle(TTransBtnStyle value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);
    std::uint8_t HotLightDepth() const { return FHotLightDepth; }
    void SetHotLightDepth(std::uint8_t value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value);
    TColor LightColor() const { return FLightColor; }
    void SetLightColor(TColor value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    TTransImgOptions Options() const { return FOptions; }
    void SetOptions(TTransImgOptions value);
    bool ChildGraphicsTrans() const { return FChildGraphicsTrans; }
    void SetChildGraphicsTrans(bool value);
    // Gives the top-level window this control's shape; off clears the parent's.
    bool FormTrans() const { return FFormTrans; }
    void SetFormTrans(bool value);
    // A left drag on the control moves its parent window.
    bool ParentDrag() const { return FParentDrag; }
    void SetParentDrag(bool value) { FParentDrag = value; }

    // Fired after the framework's own enter and leave handling.
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Batches property changes: no rebuild while an update is open; the last
    // EndUpdate rebuilds.
    void BeginUpdate();
    void EndUpdate();
    // Rebuilds the state images and their regions and applies the region.
    void MakeBtnImageAndRgn();
    // Gives the control its automatic size (when AutoSize is on).
    void AutoSizeArrange();
    // Draws the non-windowed children again and shows the control's surface.
    void PaintGraphicControls();
    // Whether the cursor is over this control (regions respected); unless
    // onlyTest, also draws the resting image that goes with it.
    bool MouseUpViewUpdate(bool onlyTest);
    // The picture's change notification.
    void PictureChanged(TGraphicsObject* sender);
    // Width and height are held to the control's size limit.
    void SetBounds(int left, int top, int width, int height) override;
    // Called once before a stored layout assigns the control's properties:
    // the first time it clears the caption, so a layout without one leaves
    // the control without caption.
    void ReadState();

    // Requests that the window region be applied (posted unless a rebuild
    // applies it at once).
    void UpdateRgn();
    // Builds and applies the window region now, of the pressed image or the up image.
    void WinRgnSet(bool pressed);

protected:
    // Sets the bounds to (Left, Top, width, height).
    virtual void DoAutoSizeArrange(int width, int height);

    void Loaded() override;
    void Resize() override;
    void Paint() override;
    std::intptr_t WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    void CMMouseEnter() override;
    void CMMouseLeave() override;
    void CMEnabledChanged() override;
    void CMColorChanged() override;
    void CMFontChanged() override;
    void CMTextChanged() override;
    void CMShowingChanged() override;
    void CMControlChange(QWidget* child, bool inserting) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;

    // The composed state images and the regions of their opaque pixels, for
    // inspection; hot and disabled are null while their option is off.
    const TBitmap* UpImage() const { return FUpImage.get(); }
    const TBitmap* DownImage() const { return FDownImage.get(); }
    const TBitmap* HotImage() const { return FHotImage.get(); }
    const TBitmap* DisabledImage() const { return FDisabledImage.get(); }
    const QRegion& UpRgn() const { return FUpRgn; }
    const QRegion& DownRgn() const { return FDownRgn; }
    // Pressed and the cursor over the shape: the pressed image shows.
    bool ShowsPressed() const { return FMouseDown && FPressedInside; }

    // Set by the classes: their size limit (0 = none) and defaults.
    int FMaxWidth = 320;
    int FMaxHeight = 320;
    TBorderStyle FBorderStyle = bsSingle;
    TTransBtnStyle FStyle = sbsPushBtn;
    TTransImgOptions FOptions{sioDisableImage, sioHotTrackImage, sioTransAtDesigning, sioBorderAndShadow};

private:
    class UpdateScope;

    int BS() const { return FBorderStyle == bsNone ? 0 : 1; }
    bool HasOption(TTransImgOption option) const { return FOptions.Contains(option); }
    bool Loading() const { return ComponentState().Contains(csLoading); }
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool HandleExists() const;
    // MakeBtnImageAndRgn, then invalidate.
    void Rebuild();
    template <typename T>
    void RebuildOnChange(T& field, const T& value)
    {
        if (field != value) {
            field = value;
            Rebuild();
        }
    }
    // Without its own pressed image the control shows the up image and region.
    const TBitmap* PressedImage() const;
    const QRegion& PressedRgn() const;
    // Draws a state image at (0, 0) (nothing for an absent one).
    void DrawState(const TBitmap* image);
    // The caption's extent in the control's font (line breaks honoured).
    SIZE CaptionExtent() const;
    std::unique_ptr<TBitmap> BuildBaseImage() const;
    std::unique_ptr<TBitmap> BuildSilhouette(const TBitmap& base, TColor light) const;
    std::unique_ptr<TBitmap> Recolour(const TBitmap& silhouette, TColor fill, TColor key) const;
    std::unique_ptr<TBitmap> Compose(const TBitmap& base, const TBitmap* light, const TBitmap* shadow,
                                     const TBitmap* rim, bool down) const;
    // The union of the opaque runs of image (within area) as one-row rectangles.
    QRegion OpaqueRegion(const QImage& image, const QRect& area) const;
    // The region of the non-windowed children's pixels (or bounds) and of the
    // windowed children's regions (or bounds).
    void AddChildRegions(QRegion& region);

    TColor FTransparentColor = clFuchsia;
    std::unique_ptr<TBitmap> FUpImage;
    std::unique_ptr<TBitmap> FHotImage;
    std::unique_ptr<TBitmap> FDownImage;
    std::unique_ptr<TBitmap> FDisabledImage;
    QRegion FUpRgn;
    QRegion FDownRgn;
    int FCaptionLeft = -1;
    int FCaptionTop = -1;
    bool FAutoSize = true;
    int FUpdateCount = 0;
    bool FMouseDown = false;
    bool FPressedInside = false;
    QPoint FLastMousePos;
    bool FCaptionCleared = false;
    bool FHotTrack = true;
    TColor FLightColor = clBtnHighlight;
    TColor FShadowColor = clBtnShadow;
    bool FStretch = false;
    QWidget* FRemovedControl = nullptr;
    std::unique_ptr<TPicture> FPicture;
    bool FParentDrag = false;
    bool FFormTrans = false;
    bool FDragging = false;
    QPoint FDragStart;
    bool FChildGraphicsTrans = false;
    bool FPaintingChildren = false;
    bool FApplyRgnNow = false;
    std::uint8_t FHotLightDepth = 128;
    bool FInPaint = false;  // a paint request is being answered
};

class TClearButton : public TClearControl {
public:
    explicit TClearButton(TComponent* owner = nullptr, QWidget* parent = nullptr);
};

class TClearPanel : public TClearControl {
public:
    explicit TClearPanel(TComponent* owner = nullptr, QWidget* parent = nullptr);

protected:
    // Large enough for every child's bounds too.
    void DoAutoSizeArrange(int width, int height) override;
};
