#include "Clearctrl.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "Exception.h"
#include "Gdi.h"
#include "Picture.h"
#include "SystemUi.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>

#include <algorithm>
#include <utility>

namespace {

// The region given instead of an empty one: the window stays, invisible.
const QRect kNowhere(-3000, -3000, 1, 1);

// Sets a flag for the life of the scope and puts the old value back.
class FlagScope {
public:
    FlagScope(bool& flag, bool value) : FFlag(flag), FSaved(std::exchange(flag, value)) {}
    ~FlagScope() { FFlag = FSaved; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& FFlag;
    bool FSaved;
};

// Keeps a picture's change notification off for the life of the scope.
class NotificationPause {
public:
    explicit NotificationPause(TPicture& picture) : FPicture(picture), FSaved(std::move(picture.OnChange))
    {
        picture.OnChange = nullptr;
    }
    ~NotificationPause() { FPicture.OnChange = std::move(FSaved); }
    NotificationPause(const NotificationPause&) = delete;
    NotificationPause& operator=(const NotificationPause&) = delete;

private:
    TPicture& FPicture;
    std::function<void(TGraphicsObject*)> FSaved;
};

// Stores value in field; true when that changed it.
template <typename T>
bool assign(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

void putPixel(unsigned char* pixel, TColor colour)
{
    pixel[0] = static_cast<unsigned char>(GetBValue(colour));
    pixel[1] = static_cast<unsigned char>(GetGValue(colour));
    pixel[2] = static_cast<unsigned char>(GetRValue(colour));
}

// A 24-bit bitmap filled with rgb(colour).
std::unique_ptr<TBitmap> filledBitmap(int width, int height, TColor colour)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(width, height);
    bitmap->Image().fill(ToQColor(ColorToRGB(colour)));
    return bitmap;
}

// Calls f(y, a, b) for every maximal run [a, b) of pixels within area whose
// colour is not key, row by row; a run open at the area's right edge ends there.
template <typename F>
void forEachOpaqueRun(const QImage& image, const QRect& area, TColor key, F&& f)
{
    const QRect within = area & image.rect();
    for (int y = within.top(); y <= within.bottom(); ++y) {
        const unsigned char* row = image.constScanLine(y);
        const int end = within.right() + 1;
        int x = within.left();
        while (x < end) {
            if (PixelToColor(row + 3 * x) == key) {
                ++x;
                continue;
            }
            const int a = x;
            while (x < end && PixelToColor(row + 3 * x) != key)
                ++x;
            f(y, a, x);
        }
    }
}

// Replaces every pixel of the 24-bit image that is not key by change(pixel).
template <typename F>
void mapOpaquePixels(TBitmap& bitmap, TColor key, F&& change)
{
    for (int y = 0; y < bitmap.Height(); ++y) {
        unsigned char* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor pixel = PixelToColor(row + 3 * x);
            if (pixel != key)
                putPixel(row + 3 * x, change(pixel));
        }
    }
}

// Makes pending painting of the widget's window happen now.
void flushPendingPainting(QWidget* widget)
{
    if (widget)
        QCoreApplication::sendPostedEvents(widget->window(), QEvent::UpdateRequest);
}

QWidget* controlUnderCursor()
{
    return QApplication::widgetAt(QCursor::pos());
}

bool mouseCaptured()
{
    return QGuiApplication::mouseButtons() != Qt::NoButton;
}

}  // namespace

// ---------------------------------------------------------------- colours

TColor LightenColor(TColor colour, int n)
{
    const TColor c = ColorToRGB(colour);
    const auto up = [n](int channel) { return std::min(255, channel + n); };
    return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

TColor DarkenColor(TColor colour, int n)
{
    const TColor c = ColorToRGB(colour);
    const auto down = [n](int channel) { return std::max(0, channel - n); };
    return RGB(down(GetRValue(c)), down(GetGValue(c)), down(GetBValue(c)));
}

TColor DisabledGray(TColor colour)
{
    const TColor c = ColorToRGB(colour);
    const int g = std::clamp((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3, 128, 192);
    return RGB(g, g, g);
}

// ---------------------------------------------------------------- TClearControl

// BeginUpdate on entry; on exit EndUpdate, or after an error only the count.
class TClearControl::UpdateScope {
public:
    explicit UpdateScope(TClearControl& control) : FControl(control) { control.BeginUpdate(); }
    ~UpdateScope()
    {
        if (!FEnded)
            FControl.FUpdateCount = std::max(0, FControl.FUpdateCount - 1);
    }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;
    void End()
    {
        FEnded = true;
        FControl.EndUpdate();
    }

private:
    TClearControl& FControl;
    bool FEnded = false;
};

TClearControl::TClearControl(TComponent* owner, QWidget* parent)
    : TCustomControl(owner, parent),
      FUpImage(std::make_unique<TBitmap>()),
      FHotImage(std::make_unique<TBitmap>()),
      FDownImage(std::make_unique<TBitmap>()),
      FDisabledImage(std::make_unique<TBitmap>()),
      FPicture(std::make_unique<TPicture>())
{
    FPicture->OnChange = [this](TGraphicsObject* sender) { PictureChanged(sender); };
    setFocusPolicy(Qt::NoFocus);  // no keyboard handling of their own
    SetBounds(0, 0, 260, 48);
}

TClearControl::~TClearControl() = default;

bool TClearControl::HandleExists() const
{
    return window()->testAttribute(Qt::WA_WState_Created);
}

void TClearControl::Rebuild()
{
    MakeBtnImageAndRgn();
    Invalidate();
}

// ---- properties

void TClearControl::SetTransparentColor(TColor value)
{
    if (!assign(FTransparentColor, value))
        return;
    if (TBitmap* bitmap = FPicture->Graphic()) {
        NotificationPause pause(*FPicture);
        bitmap->SetTransparentColor(value);
    }
    Rebuild();
}

void TClearControl::SetBorderStyle(TBorderStyle value)
{
    if (!assign(FBorderStyle, value == bsNone ? bsNone : bsSingle))
        return;
    AutoSizeArrange();
    Rebuild();
}

void TClearControl::SetPicture(const TPicture& value)
{
    FPicture->Assign(value);  // its change notification is PictureChanged
    Invalidate();
}

void TClearControl::SetAutoSize(bool value)
{
    if (assign(FAutoSize, value))
        AutoSizeArrange();
}

void TClearControl::SetHotTrack(bool value)
{
    if (assign(FHotTrack, value))
        Invalidate();
}

void TClearControl::SetStyle(TTransBtnStyle value)
{
    if (value <= sbsImage && assign(FStyle, value))
        Rebuild();
}

// The properties whose change rebuilds the images.
void TClearControl::SetCaptionLeft(int value) { RebuildOnChange(FCaptionLeft, value); }
void TClearControl::SetCaptionTop(int value) { RebuildOnChange(FCaptionTop, value); }
void TClearControl::SetHotLightDepth(std::uint8_t value) { RebuildOnChange(FHotLightDepth, value); }
void TClearControl::SetShadowColor(TColor value) { RebuildOnChange(FShadowColor, value); }
void TClearControl::SetLightColor(TColor value) { RebuildOnChange(FLightColor, value); }
void TClearControl::SetStretch(bool value) { RebuildOnChange(FStretch, value); }
void TClearControl::SetOptions(TTransImgOptions value) { RebuildOnChange(FOptions, value); }

void TClearControl::SetChildGraphicsTrans(bool value)
{
    if (!assign(FChildGraphicsTrans, value))
        return;
    UpdateRgn();
    Invalidate();
}

void TClearControl::SetFormTrans(bool value)
{
    if (!assign(FFormTrans, value))
        return;
    if (!value && parentWidget())
        parentWidget()->clearMask();
    UpdateRgn();
}

// ---- update batching, loading, bounds

void TClearControl::BeginUpdate()
{
    ++FUpdateCount;
}

void TClearControl::EndUpdate()
{
    FUpdateCount = std::max(0, FUpdateCount - 1);
    if (FUpdateCount == 0)
        Rebuild();
}

void TClearControl::ReadState()
{
    if (FCaptionCleared)
        return;
    FCaptionCleared = true;
    SetCaption("");
}

void TClearControl::Loaded()
{
    TCustomControl::Loaded();
    AutoSizeArrange();
    Rebuild();
}

void TClearControl::SetBounds(int left, int top, int width, int height)
{
    if (FMaxWidth > 0 && width > FMaxWidth)
        width = FMaxWidth;
    if (FMaxHeight > 0 && height > FMaxHeight)
        height = FMaxHeight;
    const bool moved = left != Left() || top != Top();
    TCustomControl::SetBounds(left, top, width, height);
    if (moved)
        Invalidate();
}

void TClearControl::Resize()
{
    Rebuild();
    TCustomControl::Resize();
}

void TClearControl::PictureChanged(TGraphicsObject*)
{
    if (FPicture->Empty()) {
        FTransparentColor = clFuchsia;
        Rebuild();
        return;
    }
    UpdateScope update(*this);
    {
        NotificationPause pause(*FPicture);
        AutoSizeArrange();
        if (TBitmap* bitmap = FPicture->Graphic()) {
            bitmap->SetPixelFormat(pf24bit);
            bitmap->SetTransparent(true);
            FTransparentColor = ColorToRGB(bitmap->TransparentColor());
        }
    }
    update.End();
}

// ---- automatic size

SIZE TClearControl::CaptionExtent() const
{
    TBitmap scratch;
    scratch.SetSize(1, 1);
    TCanvas& canvas = *scratch.Canvas();
    canvas.Font()->Assign(*Font());
    RECT box{0, 0, 1000, 1000};
    canvas.DrawText(Caption(), box, DT_CALCRECT | DT_LEFT | DT_TOP | DT_NOPREFIX);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

void TClearControl::AutoSizeArrange()
{
    if (!FAutoSize || Loading() || !parentWidget())
        return;
    try {
        const SIZE caption = Caption().empty() ? SIZE{16, 8} : CaptionExtent();
        SIZE content = FPicture->Empty() ? caption : SIZE{FPicture->Width(), FPicture->Height()};
        content.cx = std::max(content.cx, caption.cx);
        content.cy = std::max(content.cy, caption.cy);
        const int width = content.cx + 4 * BS() + 4;
        const int height = content.cy + 4 * BS() + 4;
        if (width != Width() || height != Height())
            DoAutoSizeArrange(width, height);
    } catch (const std::exception& error) {
        throw Exception(std::string(error.what()) + " at AutoSizeArrange");
    }
}

void TClearControl::DoAutoSizeArrange(int width, int height)
{
    SetBounds(Left(), Top(), width, height);
}

// ---- the state images

std::unique_ptr<TBitmap> TClearControl::BuildBaseImage() const
{
    const bool border = HasOption(sioBorderAndShadow);
    const int bs = BS();
    const int width = border ? Width() - 2 * bs - 2 : Width();
    const int height = border ? Height() - 2 * bs - 2 : Height();
    auto base = filledBitmap(width, height, FTransparentColor);
    TCanvas& canvas = *base->Canvas();
    if (const TBitmap* picture = FPicture->Graphic(); picture && !picture->Empty()) {
        if (FStretch)
            canvas.StretchDraw(RECT{0, 0, width, height}, *picture);
        else
            canvas.Draw((width - picture->Width()) / 2, (height - picture->Height()) / 2, *picture);
    }
    if (!Caption().empty()) {
        const SIZE extent = CaptionExtent();
        auto caption = filledBitmap(extent.cx + 1, extent.cy + 1, FTransparentColor);
        TCanvas& text = *caption->Canvas();
        text.Brush()->SetStyle(bsClear);
        text.Font()->Assign(*Font());
        RECT box{0, 0, caption->Width(), caption->Height()};
        text.DrawText(Caption(), box, DT_LEFT | DT_TOP | DT_NOPREFIX);
        caption->SetTransparent(true);
        caption->SetTransparentColor(FTransparentColor);
        const int x = FCaptionLeft != -1 ? FCaptionLeft : (Width() - caption->Width()) / 2 - (bs + 1);
        const int y = FCaptionTop != -1 ? FCaptionTop : (Height() - caption->Height()) / 2 - (bs + 1);
        canvas.Draw(x, y, *caption);
    }
    base->SetTransparent(true);
    base->SetTransparentColor(FTransparentColor);
    return base;
}

// Every opaque run a..b-1 of the base paints a..b (one pixel beyond), shifted
// by (BS + 1, BS + 1), in the light colour.
std::unique_ptr<TBitmap> TClearControl::BuildSilhouette(const TBitmap& base, TColor light) const
{
    const int shift = BS() + 1;
    auto silhouette = filledBitmap(Width(), Height(), FTransparentColor);
    const int width = silhouette->Width(), height = silhouette->Height();
    forEachOpaqueRun(base.Image(), base.Image().rect(), FTransparentColor, [&](int y, int a, int b) {
        if (y + shift >= height)
            return;
        unsigned char* row = silhouette->ScanLine(y + shift);
        for (int x = a + shift; x <= std::min(b + shift, width - 1); ++x)
            putPixel(row + 3 * x, light);
    });
    silhouette->SetTransparent(true);
    silhouette->SetTransparentColor(FTransparentColor);
    return silhouette;
}

// The silhouette with its pixels of colour key turned into fill; its
// transparent pixels stay transparent, also when key is the transparent colour.
std::unique_ptr<TBitmap> TClearControl::Recolour(const TBitmap& silhouette, TColor fill, TColor key) const
{
    auto result = std::make_unique<TBitmap>();
    result->Assign(silhouette);
    const TColor from = ColorToRGB(key), to = ColorToRGB(fill), transparent = ColorToRGB(FTransparentColor);
    if (from != transparent)
        mapOpaquePixels(*result, transparent, [from, to](TColor pixel) { return pixel == from ? to : pixel; });
    result->SetTransparent(true);
    result->SetTransparentColor(FTransparentColor);
    return result;
}

std::unique_ptr<TBitmap> TClearControl::Compose(const TBitmap& base, const TBitmap* light, const TBitmap* shadow,
                                                const TBitmap* rim, bool down) const
{
    auto image = filledBitmap(Width(), Height(), FTransparentColor);
    TCanvas& canvas = *image->Canvas();
    const int bs = BS();
    const int p = down && FStyle != sbsImage ? 1 : 0;
    const auto drawAt = [&canvas](const TBitmap* silhouette, int dx, int dy) {
        if (silhouette)
            canvas.Draw(dx, dy, *silhouette);
    };
    if (HasOption(sioBorderAndShadow)) {
        if (FStyle == sbsPushBtn && !down) {
            for (int dy = bs; dy <= bs + 1; ++dy)
                for (int dx = bs; dx <= bs + 1; ++dx)
                    drawAt(shadow, dx, dy);
            for (int dy = -1 - bs; dy <= bs; ++dy)
                for (int dx = -1 - bs; dx <= bs; ++dx)
                    drawAt(light, dx, dy);
        } else if (FStyle == sbsPushBtn && bs == 1) {
            drawAt(shadow, -1, -1);
            drawAt(shadow, 0, -1);
            drawAt(shadow, -1, 0);
        } else if (FStyle == sbsPushBtn) {
            drawAt(shadow, 0, 0);
        } else if (FStyle == sbsFloatBtn && !down) {
            drawAt(shadow, 2 * bs + 1, 2 * bs + 1);
        }
        if (bs == 1)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    drawAt(rim, dx + p, dy + p);
        canvas.Draw(bs + 1 + p, bs + 1 + p, base);
    } else {
        canvas.Draw(bs + p, bs + p, base);
    }
    image->SetTransparent(true);
    image->SetTransparentColor(FTransparentColor);
    return image;
}

QRegion TClearControl::OpaqueRegion(const QImage& image, const QRect& area) const
{
    QRegion region;
    forEachOpaqueRun(image, area, FTransparentColor,
                     [&region](int y, int a, int b) { region += QRect(a, y, b - a, 1); });
    return region;
}

void TClearControl::MakeBtnImageAndRgn()
{
    const int bs = BS();
    if (FUpdateCount > 0 || Loading() || !HandleExists() || Width() < 2 * bs + 3 || Height() < 2 * bs + 3)
        return;
    {
        NotificationPause pause(*FPicture);
        const bool border = HasOption(sioBorderAndShadow);
        const bool hot = HasOption(sioHotTrackImage);
        const std::unique_ptr<TBitmap> base = BuildBaseImage();
        std::unique_ptr<TBitmap> light, shadow, rim;
        TColor lightColour = 0;
        if (border) {
            lightColour = ColorToRGB(FLightColor);
            if (lightColour == FTransparentColor)
                lightColour = LightenColor(lightColour, 8);
            if (lightColour == FTransparentColor)
                lightColour = DarkenColor(lightColour, 8);
            light = BuildSilhouette(*base, lightColour);
            shadow = Recolour(*light, FShadowColor, lightColour);
            rim = Recolour(*light, Color(), lightColour);
        }

        FUpImage = Compose(*base, light.get(), shadow.get(), rim.get(), false);
        FUpRgn = OpaqueRegion(FUpImage->Image(), FUpImage->Image().rect());
        if (border) {
            if (FStyle != sbsFloatBtn && bs == 1) {
                rim = Recolour(*rim, DarkenColor(Color(), 32), Color());
                shadow = Recolour(*shadow, DarkenColor(FShadowColor, 64), FShadowColor);
            }
            FDownImage = Compose(*base, light.get(), shadow.get(), rim.get(), true);
            FDownRgn = OpaqueRegion(FDownImage->Image(), FDownImage->Image().rect());
            if (hot) {
                rim = Recolour(*light, LightenColor(Color(), FHotLightDepth / 2), lightColour);
                shadow = Recolour(*light, LightenColor(FShadowColor, FHotLightDepth / 4), lightColour);
            }
        }

        if (hot) {
            mapOpaquePixels(*base, FTransparentColor,
                            [this](TColor pixel) { return LightenColor(pixel, FHotLightDepth); });
            FHotImage = Compose(*base, light.get(), shadow.get(), rim.get(), false);
        } else {
            FHotImage.reset();
        }
        if (HasOption(sioDisableImage)) {
            FDisabledImage = std::make_unique<TBitmap>();
            FDisabledImage->Assign(*FUpImage);
            mapOpaquePixels(*FDisabledImage, FTransparentColor, [](TColor pixel) { return DisabledGray(pixel); });
        } else {
            FDisabledImage.reset();
        }
    }
    {
        FlagScope now(FApplyRgnNow, true);
        UpdateRgn();
    }
    if (!FInPaint)
        flushPendingPainting(this);
}

const TBitmap* TClearControl::PressedImage() const
{
    return HasOption(sioBorderAndShadow) ? FDownImage.get() : FUpImage.get();
}

const QRegion& TClearControl::PressedRgn() const
{
    return HasOption(sioBorderAndShadow) ? FDownRgn : FUpRgn;
}

// ---- painting

void TClearControl::DrawState(const TBitmap* image)
{
    if (image && !image->Empty())
        Canvas()->Draw(0, 0, *image);
}

void TClearControl::Paint()
{
    if (FPaintingChildren)
        return;
    FlagScope painting(FInPaint, true);
    if (!Enabled() && HasOption(sioDisableImage))
        DrawState(FDisabledImage.get());
    else if (Designing())
        DrawState(FUpImage.get());
    else if (ShowsPressed())
        DrawState(PressedImage());
    else
        MouseUpViewUpdate(false);
    PaintGraphicControls();
}

void TClearControl::PaintGraphicControls()
{
    // Inside a paint request the children are drawn over the control anyway.
    if (!FInPaint)
        FlushRect(ClientRect());
}

bool TClearControl::MouseUpViewUpdate(bool onlyTest)
{
    if (!parentWidget())
        return false;
    const bool over = controlUnderCursor() == this;
    if (onlyTest)
        return over;
    if (!Enabled() && HasOption(sioDisableImage))
        DrawState(FDisabledImage.get());
    else if (over && HasOption(sioHotTrackImage) && FHotTrack && !mouseCaptured())
        DrawState(FHotImage.get());
    else
        DrawState(FUpImage.get());
    PaintGraphicControls();
    return over;
}

// ---- the window region

void TClearControl::UpdateRgn()
{
    if (!HandleExists())
        return;
    if (!FApplyRgnNow) {
        PostMessage(CM_UPDATERGN);
        return;
    }
    if (auto* parent = dynamic_cast<TClearControl*>(parentWidget()); parent && parent->FUpdateCount > 0)
        return;
    WinRgnSet(ShowsPressed());
}

void TClearControl::AddChildRegions(QRegion& region)
{
    QImage scratch;  // the non-windowed children as drawn, rendered when first needed
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child == FRemovedControl || child->isHidden() || child->isWindow())
            continue;
        const QRect bounds = child->geometry();
        if (!dynamic_cast<TGraphicControl*>(child)) {
            const QRegion shape = child->mask();
            region += shape.boundingRect().isEmpty() ? QRegion(bounds) : shape.translated(bounds.topLeft());
            continue;
        }
        if (!FChildGraphicsTrans) {
            region += bounds;
            continue;
        }
        if (scratch.isNull()) {
            QImage drawn(std::max(1, Width()), std::max(1, Height()), QImage::Format_RGB32);
            drawn.fill(ToQColor(ColorToRGB(FTransparentColor)));
            FlagScope painting(FPaintingChildren, true);
            for (QObject* other : children())
                if (auto* graphic = dynamic_cast<TGraphicControl*>(other); graphic && !graphic->isHidden())
                    graphic->render(&drawn, graphic->pos(), QRegion(), QWidget::DrawChildren);
            scratch = drawn.convertToFormat(QImage::Format_BGR888);
        }
        region += OpaqueRegion(scratch, bounds);
    }
}

void TClearControl::WinRgnSet(bool pressed)
{
    if (Designing() && !HasOption(sioTransAtDesigning)) {
        Invalidate();
        return;
    }
    if (Loading() || !Visible())
        return;
    if (FUpdateCount > 0) {
        MessageBeep(0);
        return;
    }
    TCanvas& canvas = *Canvas();
    if (!canvas.TryLock())
        return;
    struct Unlock {
        TCanvas& canvas;
        ~Unlock() { canvas.Unlock(); }
    } unlock{canvas};

    QRegion region = pressed ? PressedRgn() : FUpRgn;
    AddChildRegions(region);
    if (region.boundingRect().isEmpty())
        region = QRegion(kNowhere);
    setMask(region);
    if (!FFormTrans) {
        if (auto* parent = dynamic_cast<TClearControl*>(parentWidget()); parent && parent->HandleExists())
            parent->PostMessage(CM_UPDATERGN);
        return;
    }
    // A top-level window's region is relative to its client area: the offset
    // is the control's place in it.
    if (QWidget* form = window(); form != this)
        form->setMask(region.translated(mapTo(form, QPoint(0, 0))));
}

// ---- messages

std::intptr_t TClearControl::WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    if (message != CM_UPDATERGN)
        return TCustomControl::WndProc(message, wParam, lParam);
    if (QueuedMessageCount(CM_UPDATERGN) > 0)
        return 0;  // a later request does the work
    FlagScope now(FApplyRgnNow, true);
    UpdateRgn();
    return 0;
}

void TClearControl::CMColorChanged()
{
    TCustomControl::CMColorChanged();
    Rebuild();
}

void TClearControl::CMFontChanged()
{
    TCustomControl::CMFontChanged();
    AutoSizeArrange();
    Rebuild();
}

void TClearControl::CMTextChanged()
{
    TCustomControl::CMTextChanged();
    AutoSizeArrange();
    Rebuild();
}

void TClearControl::CMEnabledChanged()
{
    TCustomControl::CMEnabledChanged();
    Invalidate();
}

void TClearControl::CMShowingChanged()
{
    TCustomControl::CMShowingChanged();
    if (!Visible())
        return;
    // The first showing of the window builds what could not be built before it
    // existed; later ones only ask for the region.
    if (FUpImage->Empty() && HandleExists())
        MakeBtnImageAndRgn();
    else
        UpdateRgn();
}

void TClearControl::CMControlChange(QWidget* child, bool inserting)
{
    TCustomControl::CMControlChange(child, inserting);
    if (inserting) {
        UpdateRgn();
    } else {
        FRemovedControl = child;
        UpdateRgn();
        FRemovedControl = nullptr;
    }
    Invalidate();
}

void TClearControl::CMMouseEnter()
{
    if (!Designing() && !FMouseDown && HasOption(sioHotTrackImage) && FHotTrack && !mouseCaptured() &&
        (Enabled() || !HasOption(sioDisableImage)) && controlUnderCursor() == this) {
        DrawState(FHotImage.get());
        PaintGraphicControls();
    }
    TCustomControl::CMMouseEnter();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TClearControl::CMMouseLeave()
{
    if (!Designing() && !FMouseDown && HasOption(sioHotTrackImage) && FHotTrack &&
        (Enabled() || !HasOption(sioDisableImage))) {
        DrawState(FUpImage.get());
        PaintGraphicControls();
    }
    TCustomControl::CMMouseLeave();
    if (OnMouseLeave)
        OnMouseLeave(this);
}

// ---- the mouse

void TClearControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (Designing())
        return;
    if (FParentDrag && parentWidget() && HandleExists()) {
        TCustomControl::MouseDown(button, shift, x, y);
        if (button == mbLeft) {
            FDragging = true;
            FDragStart = QPoint(x, y);
        }
        return;
    }
    if (button == mbLeft && FStyle != sbsImage) {
        FMouseDown = true;
        FPressedInside = true;
        FLastMousePos = QPoint(x, y);
        UpdateRgn();
        Invalidate();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TClearControl::MouseMove(TShiftState shift, int x, int y)
{
    if (Designing())
        return;
    if (FDragging) {
        if (QPoint(x, y) == FDragStart)
            return;
        TCustomControl::MouseMove(shift, x, y);
        // The grabbed point of the control goes under the cursor.
        if (QWidget* parent = parentWidget()) {
            const QPoint cursor = QCursor::pos();
            const QPoint origin = mapToGlobal(QPoint(0, 0));
            parent->move(parent->pos() - (origin - (cursor - FDragStart)));
        }
        Repaint();
        return;
    }
    if (FMouseDown && QPoint(x, y) != FLastMousePos) {
        FLastMousePos = QPoint(x, y);
        const TBitmap* image = FPressedInside ? PressedImage() : FUpImage.get();
        const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height() && image && x < image->Width() &&
                            y < image->Height() && PixelToColor(image->ScanLine(y) + 3 * x) != FTransparentColor;
        if (inside != FPressedInside) {
            FPressedInside = inside;
            UpdateRgn();
            flushPendingPainting(parentWidget());
            if (!Enabled() && HasOption(sioDisableImage))
                DrawState(FDisabledImage.get());
            else
                DrawState(inside ? PressedImage() : FUpImage.get());
            PaintGraphicControls();
        }
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TClearControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (FDragging) {
        TCustomControl::MouseUp(button, shift, x, y);
        FDragging = false;
        Repaint();
        return;
    }
    FMouseDown = false;
    if (FStyle != sbsImage) {
        UpdateRgn();
        flushPendingPainting(parentWidget());
        if (QWidget* under = controlUnderCursor(); under && under != this)
            under->update();
    }
    if (!HasOption(sioBorderAndShadow) || MouseUpViewUpdate(true))
        TCustomControl::MouseUp(button, shift, x, y);
    Repaint();
}

void TClearControl::Click()
{
    FMouseDown = false;
    if (FStyle != sbsImage) {
        UpdateRgn();
        flushPendingPainting(parentWidget());
    }
    if (MouseUpViewUpdate(true))
        TCustomControl::Click();
    Repaint();
}

// ---------------------------------------------------------------- TClearButton

TClearButton::TClearButton(TComponent* owner, QWidget* parent) : TClearControl(owner, parent)
{
    BeginUpdate();
    TFont font;
    font.Assign(*Font());
    font.SetSize(20);
    font.SetColor(clGreen);
    font.SetStyle(FontStyles({fsBold}));
    SetFont(font);
    SetParentFont(false);
    EndUpdate();
}

// ---------------------------------------------------------------- TClearPanel

TClearPanel::TClearPanel(TComponent* owner, QWidget* parent) : TClearControl(owner, parent)
{
    FMaxWidth = 0;
    FMaxHeight = 0;
    FBorderStyle = bsNone;
    FStyle = sbsImage;
    FOptions = TTransImgOptions{sioHotTrackImage};
}

void TClearPanel::DoAutoSizeArrange(int width, int height)
{
    for (QObject* object : children()) {
        if (auto* child = qobject_cast<QWidget*>(object); child && !child->isWindow()) {
            width = std::max(width, child->geometry().right() + 1);
            height = std::max(height, child->geometry().bottom() + 1);
        }
    }
    TClearControl::DoAutoSizeArrange(width, height);
}
