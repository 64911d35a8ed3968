#include "FadeButton.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "Timer.h"

#include <algorithm>

namespace {

// One tick of a walk from `from` toward `to`: each channel moved by step, held
// at or above from's channel, then at or below to's.
TColor walk(TColor current, long long step, TColor from, TColor to)
{
    auto channel = [&](int shift) {
        const long long c = (current >> shift) & 0xFF;
        const long long lower = (from >> shift) & 0xFF;
        const long long upper = (to >> shift) & 0xFF;
        return static_cast<TColor>(std::min(std::max(c + step, lower), upper) << shift);
    };
    return channel(0) | channel(8) | channel(16);
}

}  // namespace

TFadeButton::TFadeButton(TComponent* owner, QWidget* parent)
    : TGraphicControl(owner, parent), FTimer(new TTimer(this))
{
    SetBounds(0, 0, 150, 30);
    TControl::SetColor(clGreen);
    FCurrentBorderColor = ColorToRGB(FBorderColor);
    Font()->SetColor(clWhite);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(FSpeed);
    FTimer->OnTimer = [this](TObject*) { tick(); };
}

void TFadeButton::SetColor(TColor value)
{
    TControl::SetColor(value);
    FCurrentColor = ColorToRGB(value);
    Repaint();
}

void TFadeButton::CMColorChanged()
{
    // Color changed, by SetColor or from the parent.
    FCurrentColor = ColorToRGB(Color());
    Invalidate();
}

void TFadeButton::SetBorderColor(TColor value)
{
    if (value == FBorderColor)
        return;
    FBorderColor = value;
    FCurrentBorderColor = ColorToRGB(value);
    Repaint();
}

void TFadeButton::SetShowBorder(bool value)
{
    if (value == FShowBorder)
        return;
    FShowBorder = value;
    Repaint();
}

void TFadeButton::SetBorderHeight(int value)
{
    FBorderHeight = value;
    Repaint();
}

void TFadeButton::SetSpeed(int value)
{
    FSpeed = value;
    FTimer->SetInterval(value);
}

void TFadeButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (Font()->Color() != FCaptionOverColor) {
        FSavedCaptionColor = Font()->Color();
        Font()->SetColor(FCaptionOverColor);
    }
    if (!FTimer->Enabled() && FFadeOnOver) {
        FTickStep = FStep;
        FTimer->SetEnabled(true);
    }
    if (!FFadeOnOver) {
        FCurrentBorderColor = ColorToRGB(FBorderDestColor);
        FCurrentColor = ColorToRGB(FDestColor);
        Repaint();
    }
}

void TFadeButton::CMMouseLeave()
{
    if (FFadeOnLeave) {
        FTickStep = -static_cast<long long>(FStep);
        FTimer->SetEnabled(true);
        Font()->SetColor(FSavedCaptionColor);
    } else {
        FTimer->SetEnabled(false);
        FCurrentBorderColor = ColorToRGB(FBorderColor);
        FCurrentColor = ColorToRGB(Color());
        Font()->SetColor(FSavedCaptionColor);
        Repaint();
    }
    if (onMouseLeave)
        onMouseLeave(this);
}

void TFadeButton::tick()
{
    const TColor rest = ColorToRGB(Color()), dest = ColorToRGB(FDestColor);
    FCurrentColor = walk(FCurrentColor, FTickStep, rest, dest);
    if (FCurrentColor <= rest || FCurrentColor >= dest)
        FTimer->SetEnabled(false);
    FCurrentBorderColor = walk(FCurrentBorderColor, FTickStep, ColorToRGB(FBorderColor), ColorToRGB(FBorderDestColor));
    Repaint();
}

void TFadeButton::Paint()
{
    TBitmap bitmap;
    bitmap.SetSize(Width(), Height());
    TCanvas& canvas = *bitmap.Canvas();
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(FCurrentColor);
    if (FShowBorder) {
        canvas.Pen()->SetColor(FCurrentBorderColor);
        canvas.Pen()->SetWidth(FBorderHeight);
        canvas.Rectangle(0, 0, Width(), Height());
    } else {
        canvas.FillRect(ClientRect());
    }
    canvas.Font()->Assign(*Font());
    canvas.Brush()->SetStyle(bsClear);
    const TSize extent = canvas.TextExtent(Caption());
    canvas.TextOut(Width() / 2 - extent.cx / 2, Height() / 2 - extent.cy / 2, Caption());
    Canvas()->Draw(0, 0, bitmap);
}
