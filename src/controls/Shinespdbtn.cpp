#include "Shinespdbtn.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "GraphicsObjects.h"
#include "Messages.h"
#include "SafeCall.h"
#include "Timer.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>

#include <algorithm>
#include <vector>

namespace {

// The hover poll's period, milliseconds.
constexpr int kActivePollInterval = 200;

// Block transfer D xor (S and (P xor D)): the brush where the source is
// white, the destination where it is black.
constexpr DWORD kBrushWhereWhite = 0x00E20746;

// A 32-bit scan-line pixel's colour (blue, green, red in memory) as 0x00BBGGRR.
TColor pixelColor(QRgb pixel)
{
    return RGB(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

QRgb toPixel(TColor color)
{
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}

// Each channel of a pixel replaced by f(pixel channel, colour channel).
template <typename F>
QRgb mix(QRgb p, TColor c, F&& f)
{
    return qRgb(f(qRed(p), GetRValue(c)), f(qGreen(p), GetGValue(c)), f(qBlue(p), GetBValue(c)));
}

// The pixels of a 32-bit bitmap, row by row.
class PixelGrid {
public:
    explicit PixelGrid(TBitmap& bitmap) : FBitmap(bitmap), FWidth(bitmap.Width()), FHeight(bitmap.Height()) {}
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    QRgb* Row(int y) { return reinterpret_cast<QRgb*>(FBitmap.ScanLine(y)); }

private:
    TBitmap& FBitmap;
    int FWidth, FHeight;
};

// The same for reading only (the bitmap's pixels are never copied for it).
class SourcePixels {
public:
    explicit SourcePixels(const TBitmap& bitmap) : FBitmap(bitmap), FWidth(bitmap.Width()), FHeight(bitmap.Height()) {}
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    const QRgb* Row(int y) const { return reinterpret_cast<const QRgb*>(FBitmap.ScanLine(y)); }
    TColor At(int x, int y) const { return pixelColor(Row(y)[x]); }

private:
    const TBitmap& FBitmap;
    int FWidth, FHeight;
};

RECT offset(RECT rect, int dx, int dy)
{
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

// The dither: a counter over the pixels row by row from 0; the pixels that
// are not key and whose count is odd are chosen. At each row's end the
// counter moves on once more when the height is even.
template <typename F>
void maskDither(const SourcePixels& source, PixelGrid& copy, TColor key, F&& choose)
{
    long long counter = 0;
    for (int y = 0; y < source.Height(); ++y) {
        const QRgb* from = source.Row(y);
        QRgb* to = copy.Row(y);
        for (int x = 0; x < source.Width(); ++x, ++counter)
            if (pixelColor(from[x]) != key && counter % 2 == 1)
                to[x] = choose(to[x]);
        if (source.Height() % 2 == 0)
            ++counter;
    }
}

// The glow around the shape: key pixels with a non-key pixel left, right,
// above or below; with wide, also the key pixels next to such a pixel.
std::vector<bool> glowPixels(const SourcePixels& source, TColor key, bool wide)
{
    const int w = source.Width(), h = source.Height();
    std::vector<bool> isKey(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            isKey[std::size_t(y) * w + x] = source.At(x, y) == key;
    const auto neighbourOf = [&](const std::vector<bool>& set, bool value, int x, int y) {
        const int dx[] = {-1, 1, 0, 0}, dy[] = {0, 0, -1, 1};
        for (int i = 0; i < 4; ++i) {
            const int nx = x + dx[i], ny = y + dy[i];
            if (nx >= 0 && ny >= 0 && nx < w && ny < h && set[std::size_t(ny) * w + nx] == value)
                return true;
        }
        return false;
    };
    std::vector<bool> glow(isKey.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            glow[std::size_t(y) * w + x] = isKey[std::size_t(y) * w + x] && neighbourOf(isKey, false, x, y);
    if (!wide)
        return glow;
    std::vector<bool> wider = glow;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (isKey[std::size_t(y) * w + x] && neighbourOf(glow, true, x, y))
                wider[std::size_t(y) * w + x] = true;
    return wider;
}

// The caption as it is shown: a single "&" is left out and marks the
// character after it, which is underlined; "&&" shows one "&".
struct ShownCaption {
    std::u32string text;
    std::vector<std::size_t> marked;  // positions in text, in order
};

ShownCaption shownCaption(const std::string& caption)
{
    const std::u32string source = QString::fromStdString(caption).toStdU32String();
    ShownCaption shown;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (source[i] == U'&' && i + 1 < source.size()) {
            ++i;
            if (source[i] != U'&')
                shown.marked.push_back(shown.text.size());
        }
        shown.text.push_back(source[i]);
    }
    return shown;
}

std::string utf8(const std::u32string& text)
{
    return QString::fromStdU32String(text).toStdString();
}

// The caption's accelerator: the first marked character, 0 when there is none.
char32_t accelerator(const std::string& caption)
{
    const ShownCaption shown = shownCaption(caption);
    return shown.marked.empty() ? 0 : shown.text[shown.marked.front()];
}

bool sameLetter(char32_t a, char32_t b)
{
    return QString::fromUcs4(&a, 1).compare(QString::fromUcs4(&b, 1), Qt::CaseInsensitive) == 0;
}

}  // namespace

// ---------------------------------------------------------------- TShineBtnColors

void TShineBtnColors::Assign(const TShineBtnColors& source)
{
    if (&source == this)
        return;
    FColor = source.FColor;
    FHighlight = source.FHighlight;
    FShadow = source.FShadow;
    FDarkShadow = source.FDarkShadow;
    FGradColor = source.FGradColor;
    FGradVertical = source.FGradVertical;
    FGradation = source.FGradation;
    changed();
}

void TShineBtnColors::changed()
{
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------- TShineSpeedButton

struct TShineSpeedButton::DrawPosition {
    POINT glyph;
    RECT caption;
};

TShineSpeedButton::TShineSpeedButton(TComponent* owner, QWidget* parent)
    : TGraphicControl(owner, parent),
      FColors(std::make_unique<TShineBtnColors>(clBtnFace)),
      FPressedColors(std::make_unique<TShineBtnColors>(clBtnHighlight)),
      FActiveFont(std::make_unique<TFont>()),
      FGlyph(std::make_unique<TBitmap>()),
      FActiveTimer(new TTimer(this))
{
    SetBounds(0, 0, 25, 25);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Font()->SetColor(clBtnText);
    FActiveFont->SetColor(clHighlight);
    FColors->OnChange = [this](TShineBtnColors*) { Invalidate(); };
    FPressedColors->OnChange = [this](TShineBtnColors*) { Invalidate(); };
    FActiveFont->OnChange = [this](TGraphicsObject*) { Invalidate(); };
    FGlyph->SetTransparentColor(clOlive);
    FGlyph->OnChange = [this](TGraphicsObject*) { GlyphOnChange(); };
    FActiveTimer->SetEnabled(false);
    FActiveTimer->SetInterval(kActivePollInterval);
    FActiveTimer->OnTimer = [this](TObject*) { ActiveButtonTimerOnTimer(); };
}

TShineSpeedButton::~TShineSpeedButton()
{
    FGlyph->OnChange = nullptr;
    FColors->OnChange = nullptr;
    FPressedColors->OnChange = nullptr;
    FActiveFont->OnChange = nullptr;
}

// ---------------------------------------------------------------- properties

void TShineSpeedButton::SetDown(bool value)
{
    if (value == FDown || FGroupIndex == 0)
        return;
    if (FAllowAllUp) {
        FDown = value;
        GroupUpdateStatus(FGroupIndex);
        FState = value ? shDown : shUp;
    } else {
        if (FDown)
            return;
        FDown = value;
        GroupUpdateStatus(FGroupIndex);
        if (FDown)
            FState = shDown;
    }
    Invalidate();
}

void TShineSpeedButton::SetAllowAllUp(bool value)
{
    FAllowAllUp = value;
    GroupUpdateStatus(FGroupIndex);
}

void TShineSpeedButton::SetGroupIndex(int value)
{
    if (value != FGroupIndex)
        GroupUpdateStatus(value);
}

void TShineSpeedButton::GroupUpdateStatus(int index)
{
    FGroupIndex = index;
    NotifyButtonGroup(Parent(), index, TButtonGroupNotice{this, FDown, FAllowAllUp});
}

void TShineSpeedButton::SetFrameType(TFrameType value) { SetAndInvalidate(FFrameType, value); }
void TShineSpeedButton::SetLayout(TButtonLayout value) { SetAndInvalidate(FLayout, value); }
void TShineSpeedButton::SetMargin(int value) { SetAndInvalidate(FMargin, value); }
void TShineSpeedButton::SetSpacing(int value) { SetAndInvalidate(FSpacing, value); }
void TShineSpeedButton::SetActiveFrame(bool value) { SetAndInvalidate(FActiveFrame, value); }
void TShineSpeedButton::SetUpFrame(bool value) { SetAndInvalidate(FUpFrame, value); }
void TShineSpeedButton::SetDownFrame(bool value) { SetAndInvalidate(FDownFrame, value); }
void TShineSpeedButton::SetActiveImage(TActiveImageType value) { SetAndInvalidate(FActiveImage, value); }
void TShineSpeedButton::SetDisabledImage(TDisabledImageType value) { SetAndInvalidate(FDisabledImage, value); }
void TShineSpeedButton::SetDisabledShadow(TColor value) { SetAndInvalidate(FDisabledShadow, value); }
void TShineSpeedButton::SetDisabledHighlight(TColor value) { SetAndInvalidate(FDisabledHighlight, value); }
void TShineSpeedButton::SetShineColor(TColor value) { SetAndInvalidate(FShineColor, value); }

void TShineSpeedButton::SetTransparent(bool value)
{
    if (!SetAndInvalidate(FTransparent, value))
        return;
    // An opaque button covers all it paints; a transparent one shows its parent.
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
}

void TShineSpeedButton::SetFontHighlight(TColor value)
{
    FFontHighlight = value;
    Invalidate();
}

void TShineSpeedButton::SetFontShadow(TColor value)
{
    FFontShadow = value;
    Invalidate();
}

void TShineSpeedButton::SetColors(const TShineBtnColors& value) { FColors->Assign(value); }
void TShineSpeedButton::SetPressedColors(const TShineBtnColors& value) { FPressedColors->Assign(value); }
void TShineSpeedButton::SetActiveFont(const TFont& value) { FActiveFont->Assign(value); }

void TShineSpeedButton::SetGlyph(const TBitmap* value)
{
    if (value) {
        FGlyphChanging = true;
        FGlyph->Assign(*value);
        FGlyphChanging = false;
        GlyphOnChange();
    } else {
        FGlyph->SetSize(0, 0);
    }
    Invalidate();
}

void TShineSpeedButton::GlyphOnChange()
{
    if (FGlyphChanging)
        return;
    FGlyphChanging = true;  // the conversion reports a change of its own
    try {
        FGlyph->SetPixelFormat(pf32bit);
    } catch (...) {
        FGlyphChanging = false;
        throw;
    }
    FGlyphChanging = false;
    Invalidate();
}

// ---------------------------------------------------------------- hot tracking

QPoint TShineSpeedButton::cursorPos() const
{
    return mapFromGlobal(QCursor::pos());
}

void TShineSpeedButton::CMMouseEnter()
{
    const QPoint p = cursorPos();
    MouseEnter(CurrentShiftState(), p.x(), p.y());
}

void TShineSpeedButton::CMMouseLeave()
{
    const QPoint p = cursorPos();
    MouseLeave(CurrentShiftState(), p.x(), p.y());
}

void TShineSpeedButton::MouseEnter(TShiftState shift, int x, int y)
{
    if (OnMouseEnter)
        OnMouseEnter(this, shift, x, y);
    // Not while some window holds the mouse (a button is held).
    if (FMouseInside || !Enabled() || QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    FMouseInside = true;
    if (FState == shUp)
        FState = shActive;
    else if (FState == shDown)
        FState = shActiveDown;
    Invalidate();
    FActiveTimer->SetEnabled(true);
}

void TShineSpeedButton::MouseLeave(TShiftState shift, int x, int y)
{
    if (OnMouseLeave)
        OnMouseLeave(this, shift, x, y);
    if (!FMouseInside || !Enabled() || FPressing)
        return;
    FActiveTimer->SetEnabled(false);
    FMouseInside = false;
    if (FState == shActive)
        FState = shUp;
    else if (FState == shActiveDown)
        FState = shDown;
    Invalidate();
}

void TShineSpeedButton::ActiveButtonTimerOnTimer()
{
    if (!FMouseInside || !Enabled() || FPressing) {
        FActiveTimer->SetEnabled(false);
        return;
    }
    const QPoint p = cursorPos();
    if (!rect().contains(p))
        MouseLeave(CurrentShiftState(), p.x(), p.y());
}

void TShineSpeedButton::UpdateTracking()
{
    if (!Enabled())
        return;
    // The control under the cursor, disabled ones included.
    const bool over = QApplication::widgetAt(QCursor::pos()) == this;
    // The flag is prepared so that the handling below runs once.
    FMouseInside = !over;
    Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE);
}

// ---------------------------------------------------------------- mouse

void TShineSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled())
        return;
    FState = shActiveDown;
    if (!FDown)
        Invalidate();
    FPressing = true;
}

void TShineSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (FPressing) {
        const TShineState state = rect().contains(x, y) ? shActiveDown : FDown ? shDown : shUp;
        if (state != FState) {
            FState = state;
            Invalidate();
        }
    } else if (!FMouseInside) {
        UpdateTracking();
    }
}

void TShineSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!FPressing)
        return;
    const bool inside = rect().contains(x, y);
    if (FGroupIndex == 0) {
        FState = shUp;
        FMouseInside = false;
        FDown = false;
        if (inside)
            Invalidate();
    } else if (inside) {
        SetDown(!FDown);
        if (FDown)
            Invalidate();
    } else {
        FState = FDown ? shActiveDown : shActive;
        Invalidate();
    }
    FPressing = false;
    if (inside)
        Click();
    UpdateTracking();
}

void TShineSpeedButton::Click()
{
    if (!FClickDownHook) {
        TGraphicControl::Click();
        return;
    }
    const TShineState saved = FState;
    FState = shActiveDown;
    Repaint();
    // The state comes back however OnClick ends.
    struct Restore {
        TShineSpeedButton* button;
        TShineState state;
        ~Restore()
        {
            button->FState = state;
            button->Invalidate();
        }
    } restore{this, saved};
    TGraphicControl::Click();
}

// The release raises no click of the framework's: MouseUp decides.
void TShineSpeedButton::mouseReleaseEvent(QMouseEvent* e)
{
    RaiseMouseUp(*e, false);
}

// The second press of a double click is a press; OnDblClick follows only
// while the button is down.
void TShineSpeedButton::mouseDoubleClickEvent(QMouseEvent* e)
{
    RaiseMouseDown(*e);
    if (e->button() == Qt::LeftButton)
        SafeCall([this] {
            if (FDown)
                DblClick();
        });
}

// ---------------------------------------------------------------- messages

std::intptr_t TShineSpeedButton::WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case CM_DIALOGCHAR:
        if (dialogChar(char32_t(wParam)))
            return 1;
        break;
    case CM_BUTTONPRESSED:
        if (lParam)
            buttonPressed(int(wParam), *reinterpret_cast<const TButtonGroupNotice*>(lParam));
        return 0;
    default: break;
    }
    return TGraphicControl::WndProc(message, wParam, lParam);
}

bool TShineSpeedButton::dialogChar(char32_t key)
{
    const char32_t accel = accelerator(Caption());
    if (accel == 0 || !sameLetter(key, accel) || !Enabled() || !isVisible())
        return false;
    if (FAccelCharDown)
        SetDown(!FDown);
    Click();
    return true;
}

void TShineSpeedButton::buttonPressed(int groupIndex, const TButtonGroupNotice& notice)
{
    if (groupIndex != FGroupIndex || !notice.Sender || notice.Sender == this)
        return;
    if (notice.Down && FDown) {
        FDown = false;
        FState = shUp;
        Invalidate();
    }
    FAllowAllUp = notice.AllowAllUp;
}

void TShineSpeedButton::CMEnabledChanged()
{
    FDown = false;
    FState = Enabled() ? shUp : shDisabled;
    UpdateTracking();
    Invalidate();
}

void TShineSpeedButton::CMTextChanged()
{
    grabAccelerator();
    Invalidate();
}

// The accelerator reaches the button as Qt's mnemonic shortcut (Alt and the
// character) and is handled as a dialog character.
void TShineSpeedButton::grabAccelerator()
{
    if (FAccelShortcut != 0)
        releaseShortcut(FAccelShortcut);
    FAccelShortcut = 0;
    const QKeySequence sequence = QKeySequence::mnemonic(QString::fromStdString(Caption()));
    if (!sequence.isEmpty())
        FAccelShortcut = grabShortcut(sequence);
}

bool TShineSpeedButton::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == FAccelShortcut &&
        FAccelShortcut != 0) {
        SafeCall([this] { Perform(CM_DIALOGCHAR, std::intptr_t(accelerator(Caption()))); });
        return true;
    }
    return TGraphicControl::event(e);
}

// ---------------------------------------------------------------- painting

void TShineSpeedButton::Paint()
{
    if (!Enabled()) {
        FState = shDisabled;
        FPressing = false;
    }
    if (FTransparent) {
        TCanvas& canvas = *Canvas();
        BackDraw(canvas);
        ImageDraw(canvas);
        FrameDraw(canvas);
        return;
    }
    // Composed off screen, then copied in one operation.
    TBitmap buffer;
    buffer.SetSize(Width(), Height());
    TCanvas& canvas = *buffer.Canvas();
    BackDraw(canvas);
    ImageDraw(canvas);
    FrameDraw(canvas);
    Canvas()->Draw(0, 0, buffer);
}

void TShineSpeedButton::BackDraw(TCanvas& canvas)
{
    if (FTransparent)
        return;
    const TShineBtnColors& colors = pressedLook() ? *FPressedColors : *FColors;
    if (!colors.Gradation()) {
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(colors.Color());
        canvas.FillRect(ClientRect());
        return;
    }
    // A strip of 256 steps from Color (entry 0) to GradColor (entry 255),
    // stretched over the client area.
    const TColor from = ColorToRGB(colors.Color()), to = ColorToRGB(colors.GradColor());
    TBitmap strip;
    strip.SetPixelFormat(pf32bit);
    if (colors.GradVertical())
        strip.SetSize(1, 256);
    else
        strip.SetSize(256, 1);
    PixelGrid pixels(strip);
    for (int i = 0; i < 256; ++i) {
        const QRgb entry = mix(toPixel(from), to, [i](int c, int g) { return c + (g - c) * i / 255; });
        if (colors.GradVertical())
            pixels.Row(i)[0] = entry;
        else
            pixels.Row(0)[i] = entry;
    }
    canvas.StretchDraw(ClientRect(), strip);
}

std::unique_ptr<TBitmap> TShineSpeedButton::CreateStateGlyph() const
{
    if (FGlyph->Empty())
        return nullptr;
    // Every test reads the source; the effects write the copy.
    TBitmap glyph;
    glyph.Assign(*FGlyph);
    glyph.SetPixelFormat(pf32bit);
    const SourcePixels source(glyph);
    const int w = source.Width(), h = source.Height();
    const TColor key = source.At(0, h - 1);
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(glyph);
    PixelGrid pixels(*copy);
    // Every pixel that is not key through change(pixel).
    const auto colorEffect = [&](auto&& change) {
        for (int y = 0; y < h; ++y) {
            const QRgb* from = source.Row(y);
            QRgb* to = pixels.Row(y);
            for (int x = 0; x < w; ++x)
                if (pixelColor(from[x]) != key)
                    to[x] = change(from[x]);
        }
    };
    TColor transparent = key;

    if (hot()) {
        const TColor shine = ColorToRGB(FShineColor);
        switch (FActiveImage) {
        case aiNormal: break;
        case aiXorLight: colorEffect([&](QRgb p) { return mix(p, shine, [](int a, int s) { return a ^ s; }); }); break;
        case aiHalfLight:
            colorEffect([&](QRgb p) { return mix(p, shine, [](int a, int s) { return (s + a) / 2; }); });
            break;
        case aiQuaterLight:
            colorEffect([&](QRgb p) { return mix(p, shine, [](int a, int s) { return (3 * s + a) / 4; }); });
            break;
        case aiAddLight:
            colorEffect([&](QRgb p) { return mix(p, shine, [](int a, int s) { return std::min(255, a + s); }); });
            break;
        case aiFrameLight:
        case aiFrameLight2: {
            const std::vector<bool> glow = glowPixels(source, key, FActiveImage == aiFrameLight2);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (glow[std::size_t(y) * w + x])
                        pixels.Row(y)[x] = toPixel(shine);
            break;
        }
        case aiMaskLight: maskDither(source, pixels, key, [&](QRgb) { return toPixel(shine); }); break;
        }
    } else if (FState == shDisabled) {
        const TColor face = ColorToRGB(FColors->Color());
        switch (FDisabledImage) {
        case diDefault: {
            // A two-colour edge mask: white where a 2 x 2 block's diagonals differ.
            for (int y = 0; y < h; ++y)
                std::fill_n(pixels.Row(y), w, qRgb(0, 0, 0));
            for (int y = 0; y + 1 < h; ++y)
                for (int x = 0; x + 1 < w; ++x)
                    if (source.At(x + 1, y + 1) != source.At(x, y) || source.At(x, y + 1) != source.At(x + 1, y))
                        pixels.Row(y)[x] = qRgb(255, 255, 255);
            copy->SetPixelFormat(pf1bit);
            transparent = clBlack;
            break;
        }
        case diGrayscale:
            colorEffect([](QRgb p) {
                const int g = (qRed(p) + qGreen(p) + qBlue(p)) / 3;
                return qRgb(g, g, g);
            });
            break;
        case diAlphaHalfTrans:
            colorEffect([&](QRgb p) { return mix(p, face, [](int a, int c) { return (c + a) / 2; }); });
            break;
        case diAlphaQuaterTrans:
            colorEffect([&](QRgb p) { return mix(p, face, [](int a, int c) { return (3 * c + a) / 4; }); });
            break;
        case diMaskTrans: maskDither(source, pixels, key, [&](QRgb) { return toPixel(key); }); break;
        }
    }
    copy->SetPixelFormat(pfDevice);
    copy->SetTransparent(true);
    copy->SetTransparentColor(transparent);
    return copy;
}

TShineSpeedButton::DrawPosition TShineSpeedButton::CalcDrawPosition(TCanvas& canvas) const
{
    const bool caption = !Caption().empty();
    RECT measured{0, 0, ClientWidth(), 0};
    if (caption)
        canvas.DrawText(utf8(shownCaption(Caption()).text), measured, DT_CALCRECT);
    const int tw = caption ? measured.right - measured.left : 0, th = caption ? measured.bottom - measured.top : 0;
    const bool glyph = !FGlyph->Empty();
    const int gw = glyph ? FGlyph->Width() : 0, gh = glyph ? FGlyph->Height() : 0;

    int cw = 0, ch = 0, gx = 0, gy = 0, tx = 0, ty = 0;
    switch (FLayout) {
    case blGlyphLeft:
        gx = cw;
        cw += gw;
        ch = std::max(ch, gh);
        if (glyph && caption)
            cw += FSpacing;
        tx = cw;
        if (caption) {
            cw += tw;
            ch = std::max(ch, th);
        }
        gy = (ch - gh) / 2;
        ty = (ch - th) / 2;
        break;
    case blGlyphRight:
        tx = cw;
        if (caption) {
            cw += tw;
            ch = std::max(ch, th);
        }
        if (glyph && caption)
            cw += FSpacing;
        gx = cw;
        if (glyph) {
            cw += gw;
            ch = std::max(ch, gh);
        }
        gy = (ch - gh) / 2;
        ty = (ch - th) / 2;
        break;
    case blGlyphTop:
        gy = ch;
        if (glyph) {
            ch += gh;
            cw = std::max(cw, gw);
        }
        if (caption)
            ch += FSpacing;  // also without a glyph
        ty = ch;
        if (caption) {
            ch += th;
            cw = std::max(cw, tw);
        }
        gx = (cw - gw) / 2;
        tx = (cw - tw) / 2;
        break;
    case blGlyphBottom:
        ty = ch;
        if (caption) {
            ch += th;
            cw = std::max(cw, tw);
        }
        if (glyph && caption)
            ch += FSpacing;
        gy = ch;
        ch += gh;
        cw = std::max(cw, gw);
        gx = (cw - gw) / 2;
        tx = (cw - tw) / 2;
        break;
    }

    const int CW = ClientWidth(), CH = ClientHeight();
    int left = (CW - cw) / 2, top = (CH - ch) / 2;
    if (FMargin >= 0) {
        switch (FLayout) {
        case blGlyphLeft: left = FMargin; break;
        case blGlyphRight: left = CW - cw - FMargin; break;
        case blGlyphTop: top = FMargin; break;
        case blGlyphBottom: top = CH - ch - FMargin; break;
        }
    }
    return DrawPosition{POINT{left + gx, top + gy}, RECT{left + tx, top + ty, left + tx + tw, top + ty + th}};
}

void TShineSpeedButton::ImageDraw(TCanvas& canvas)
{
    canvas.Font()->Assign(hot() ? *FActiveFont : *Font());
    const DrawPosition position = CalcDrawPosition(canvas);
    const int shift = pressedLook() ? 1 : 0;

    if (std::unique_ptr<TBitmap> glyph = CreateStateGlyph()) {
        const int x = position.glyph.x + shift, y = position.glyph.y + shift;
        if (FState == shDisabled && FDisabledImage == diDefault) {
            // The edge mask twice: the highlight one pixel down-right, the shadow over it.
            glyph->SetTransparent(false);
            const DWORD mode = canvas.CopyMode();
            canvas.SetCopyMode(kBrushWhereWhite);
            canvas.Brush()->SetStyle(bsSolid);
            canvas.Brush()->SetColor(FDisabledHighlight);
            canvas.Draw(x + 1, y + 1, *glyph);
            canvas.Brush()->SetColor(FDisabledShadow);
            canvas.Draw(x, y, *glyph);
            canvas.SetCopyMode(mode);
        } else {
            canvas.Brush()->SetStyle(bsClear);
            canvas.Draw(x, y, *glyph);
        }
    }

    if (Caption().empty())
        return;
    const RECT rect = offset(position.caption, shift, shift);
    const ShownCaption shown = shownCaption(Caption());
    const std::string text = utf8(shown.text);
    // The marked characters of a one-line caption are underlined, below the
    // baseline where the font puts its underline.
    const bool underline = !shown.marked.empty() && shown.text.find_first_of(U"\r\n") == std::u32string::npos;
    int underlineY = 0;
    if (underline) {
        const QFontMetrics metrics(canvas.Font()->ToQFont());
        underlineY = metrics.ascent() + std::max(1, metrics.underlinePos());
    }
    canvas.Brush()->SetStyle(bsClear);
    const auto drawCopy = [&](TColor color, int dx, int dy) {
        RECT r = offset(rect, dx, dy);
        canvas.Font()->SetColor(color);
        canvas.DrawText(text, r, DT_CENTER);
        if (!underline)
            return;
        canvas.Pen()->SetStyle(psSolid);
        canvas.Pen()->SetWidth(1);
        canvas.Pen()->SetMode(pmCopy);
        canvas.Pen()->SetColor(color);
        // Centred as DrawText centres the line.
        const int left = r.left + (r.right - r.left - canvas.TextWidth(text)) / 2;
        for (const std::size_t i : shown.marked) {
            const int x = left + canvas.TextWidth(utf8(shown.text.substr(0, i)));
            canvas.MoveTo(x, r.top + underlineY);
            canvas.LineTo(x + canvas.TextWidth(utf8(shown.text.substr(i, 1))), r.top + underlineY);
        }
    };
    if (FState == shDisabled) {
        drawCopy(FDisabledHighlight, 1, 1);
        drawCopy(FDisabledShadow, 0, 0);
        return;
    }
    const TColor own = canvas.Font()->Color();
    if (FFontShadow != clNone)
        drawCopy(FFontShadow, 1, 1);
    if (FFontHighlight != clNone)
        drawCopy(FFontHighlight, -1, -1);
    drawCopy(own, 0, 0);
}

void TShineSpeedButton::FrameDraw(TCanvas& canvas)
{
    const bool show = hot() ? FActiveFrame : FState == shDown ? FDownFrame : FUpFrame;
    if (!show)
        return;
    canvas.Pen()->SetStyle(psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetMode(pmCopy);
    const int W = Width(), H = Height();
    const auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        canvas.Pen()->SetColor(color);
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    const bool pressed = pressedLook();
    const TShineBtnColors& c = pressed ? *FPressedColors : *FColors;
    switch (FFrameType) {
    case ftFlatFrame: {
        const TColor topLeft = pressed ? c.Shadow() : c.Highlight();
        const TColor bottomRight = pressed ? c.Highlight() : c.Shadow();
        line(topLeft, 0, 0, W - 1, 0);
        line(topLeft, 0, 0, 0, H - 1);
        line(bottomRight, W - 1, H - 1, 0, H - 1);
        line(bottomRight, W - 1, H - 1, W - 1, 0);
        break;
    }
    case ftNormalFrame:
        if (pressed) {
            line(c.Shadow(), 1, 1, W - 1, 1);
            line(c.Shadow(), 1, 1, 1, H - 1);
            line(c.DarkShadow(), 0, 0, W - 1, 0);
            line(c.DarkShadow(), 0, 0, 0, H - 1);
            line(c.Highlight(), W - 1, H - 1, 0, H - 1);
            line(c.Highlight(), W - 1, H - 1, W - 1, 0);
        } else {
            line(c.Shadow(), W - 2, H - 2, 0, H - 2);
            line(c.Shadow(), W - 2, H - 2, W - 2, 0);
            line(c.DarkShadow(), W - 1, H - 1, 0, H - 1);
            line(c.DarkShadow(), W - 1, H - 1, W - 1, 0);
            line(c.Highlight(), 0, 0, W - 1, 0);
            line(c.Highlight(), 0, 0, 0, H - 1);
        }
        break;
    case ftEnclosedFrame: {
        const TColor topLeft = pressed ? c.Shadow() : c.Highlight();
        const TColor bottomRight = pressed ? c.Highlight() : c.Shadow();
        line(topLeft, 1, 1, W - 2, 1);
        line(topLeft, 1, 1, 1, H - 2);
        line(bottomRight, W - 2, H - 2, 1, H - 2);
        line(bottomRight, W - 2, H - 2, W - 2, 1);
        // The outline only: the face inside stays as drawn.
        canvas.Pen()->SetColor(FColors->DarkShadow());
        canvas.Brush()->SetStyle(bsClear);
        canvas.Rectangle(0, 0, W, H);
        break;
    }
    }
}
