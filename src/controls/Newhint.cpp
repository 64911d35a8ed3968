#include "Newhint.h"

#include "Canvas.h"
#include "Exception.h"
#include "GraphicsObjects.h"
#include "SystemUi.h"
#include "Translation.h"

#include <QBitmap>
#include <QPolygon>
#include <QWindow>

namespace {

// THintWindow::ActivateHint adds this much to the bottom of the rectangle.
constexpr int kActivationBottom = 4;
// Every hint is shown this much higher than the framework would place it.
constexpr int kRaise = 8;
constexpr int kCorner = 8;  // corner ellipses of the rounded box

struct MakeHintEx {
    THintWindow* operator()() const { return new THintEx; }
};

// The region of a rounded rectangle from (0, 0) to (right, bottom), corners of
// corner x corner pixels.
QRegion roundRectRegion(int right, int bottom, int corner)
{
    const int r = corner / 2;
    QRegion region(QRect(r, 0, right - 2 * r, bottom));
    region += QRect(0, r, right, bottom - 2 * r);
    for (const QPoint at : {QPoint(0, 0), QPoint(right - corner, 0), QPoint(0, bottom - corner),
                            QPoint(right - corner, bottom - corner)})
        region += QRegion(QRect(at, QSize(corner, corner)), QRegion::Ellipse);
    return region;
}

// Draws the text word-wrapped, without prefix processing, into `client`
// moved by (dx, dy).
void drawHintText(TCanvas* canvas, const std::string& text, const RECT& client, int dx, int dy, TColor color)
{
    canvas->Font()->SetColor(color);
    RECT r{client.left + dx, client.top + dy, client.right + dx, client.bottom + dy};
    canvas->DrawText(text, r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void restartHints()
{
    Application->SetShowHint(false);
    Application->SetShowHint(true);
}

}  // namespace

// ---------------------------------------------------------------- TAppHint

struct TAppHint::HintHook {
    TAppHint* owner;
    void operator()(TObject* sender) const
    {
        if (owner->OnHint)
            owner->OnHint(sender);
    }
};

struct TAppHint::ShowHintHook {
    TAppHint* owner;
    void operator()(std::string& hintStr, bool& canShow, THintInfo& info) const
    {
        info.HintPos.y -= kRaise;
        if (owner->OnShowHint)
            owner->OnShowHint(hintStr, canShow, info);
    }
};

TAppHint::TAppHint(TComponent* owner)
    : TComponent(owner), FBrush(std::make_unique<TBrush>()), FFont(std::make_unique<TFont>()),
      FPen(std::make_unique<TPen>())
{
    const bool designing = owner && owner->ComponentState().Contains(csDesigning);
    if (designing && FCurrent) {
        MessageBeep(MB_ICONEXCLAMATION);
        throw Exception(Translate("TAppHint", "TAppHint コンポーネントは一つしか作成できません。"));
    }
    FBrush->SetColor(clNavy);
    FFont->SetColor(clLime);
    FFont->OnChange = [this](TGraphicsObject*) { install(); };
    FCurrent = this;
    if (!designing)
        install();
}

TAppHint::~TAppHint()
{
    FFont->OnChange = nullptr;
    if (Application) {
        if (auto* hook = Application->OnHint.target<HintHook>(); hook && hook->owner == this)
            Application->OnHint = nullptr;
        if (auto* hook = Application->OnShowHint.target<ShowHintHook>(); hook && hook->owner == this)
            Application->OnShowHint = nullptr;
    }
    if (FCurrent != this)
        return;
    FCurrent = nullptr;
    // Without a current component THintEx draws nothing: give the hints back
    // to the framework's own window.
    if (Application && Application->HintWindowClass().target<MakeHintEx>()) {
        Application->SetHintWindowClass(nullptr);
        restartHints();
    }
}

void TAppHint::install()
{
    if (!Application)
        return;
    Application->SetHintWindowClass(MakeHintEx{});
    restartHints();
}

void TAppHint::Loaded()
{
    TComponent::Loaded();
    if (!Application || ComponentState().Contains(csDesigning))
        return;
    install();
    Application->OnHint = HintHook{this};
    Application->OnShowHint = ShowHintHook{this};
}

void TAppHint::SetBrush(const TBrush& value)
{
    FBrush->Assign(value);
}

void TAppHint::SetFont(const TFont& value)
{
    FFont->Assign(value);
}

void TAppHint::SetPen(const TPen& value)
{
    FPen->Assign(value);
}

void TAppHint::SetHintStyle(THintStyle value)
{
    if (value == FHintStyle)
        return;
    FHintStyle = value;
    if (Application)
        restartHints();
}

int TAppHint::HintPause() const
{
    return Application ? Application->HintPause() : 0;
}

void TAppHint::SetHintPause(int ms)
{
    if (Application)
        Application->SetHintPause(ms);
}

int TAppHint::HintHidePause() const
{
    return Application ? Application->HintHidePause() : 0;
}

void TAppHint::SetHintHidePause(int ms)
{
    if (Application)
        Application->SetHintHidePause(ms);
}

int TAppHint::HintShortPause() const
{
    return Application ? Application->HintShortPause() : 0;
}

void TAppHint::SetHintShortPause(int ms)
{
    if (Application)
        Application->SetHintShortPause(ms);
}

// ---------------------------------------------------------------- THintEx

THintEx::THintEx(TComponent* owner) : THintWindow(owner)
{
    // A disabled pop-up: the window system passes the pointer to what lies
    // beneath it.
    setWindowFlag(Qt::WindowTransparentForInput);
    setEnabled(false);
    // What the surface leaves transparent is not painted over with garbage.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (const TAppHint* hint = TAppHint::Current()) {
        SetFont(*hint->Font());  // CalcHintRect measures with this font
        Canvas()->Font()->Assign(*hint->Font());
    }
}

void THintEx::setRegion(std::optional<QRegion> region)
{
    FRegion = std::move(region);
    if (FRegion)
        setMask(*FRegion);
    else
        clearMask();
}

QRegion THintEx::paintedRegion(int width, int height, const std::string& hint)
{
    SetCaption(hint);
    resize(width, height);
    Canvas();  // the surface at the new size
    EraseBackground();
    Paint();
    return QRegion(QBitmap::fromImage(Surface().createAlphaMask()));
}

void THintEx::ActivateHint(RECT rect, const std::string& hint)
{
    setRegion(std::nullopt);
    create();
    const TAppHint* app = TAppHint::Current();
    std::optional<QRegion> region;
    switch (app ? int(app->HintStyle()) : -1) {
    case hsFukidashi: {
        rect.bottom += 9;
        const int w = rect.right - rect.left;
        const int h = rect.bottom - rect.top;
        const QPolygon balloon({QPoint(14, 0), QPoint(8, 9), QPoint(0, 9), QPoint(0, h), QPoint(w, h), QPoint(w, 9),
                                QPoint(14, 9)});
        region = QRegion(balloon, Qt::WindingFill);
        FOutline = {{14, 0}, {9, 9}, {0, 9}, {0, h - 1}, {w - 1, h - 1}, {w - 1, 9}, {13, 9}, {13, 0}};
        FHintRect = rect;
        break;
    }
    case hsRoundRect:
        FHintRect = rect;
        region = roundRectRegion(rect.right - rect.left + 1, rect.bottom - rect.top + 1, kCorner);
        break;
    case hsLineString: {
        rect.right += 21;
        rect.bottom += 12;
        FHintRect = rect;
        const int w = rect.right - rect.left;
        const int h = rect.bottom - rect.top;
        region = paintedRegion(w, h + kActivationBottom, hint) & QRegion(1, 1, w - 2, h - 2);
        break;
    }
    default:
        FHintRect = rect;
        break;
    }
    setRegion(std::move(region));
    THintWindow::ActivateHint(rect, hint);
    // Qt's X11 plugin gives a shown tool-tip window a new native window that
    // lacks the input transparency the flag asked for: ask for it anew.
    if (QWindow* handle = windowHandle()) {
        handle->setFlag(Qt::WindowTransparentForInput, false);
        handle->setFlag(Qt::WindowTransparentForInput, true);
    }
}

void THintEx::EraseBackground()
{
    const TAppHint* app = TAppHint::Current();
    if (!app)
        return;
    if (app->HintStyle() == hsLineString) {
        Surface().fill(Qt::transparent);
        return;
    }
    THintWindow::EraseBackground();
}

void THintEx::Paint()
{
    const TAppHint* app = TAppHint::Current();
    if (!app)
        return;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(*app->Font());
    canvas->Brush()->Assign(*app->Brush());
    if (app->Brush()->Style() == bsSolid)
        canvas->SetTextBackground(app->Brush()->Color(), true);
    else
        canvas->SetTextBackground(app->BGColor(), false);
    canvas->Pen()->Assign(*app->Pen());

    const std::string& text = Caption();
    const RECT client = ClientRect();
    const TColor textColor = app->Font()->Color();
    const int w = FHintRect.right - FHintRect.left;
    const int h = FHintRect.bottom - FHintRect.top;
    const auto shadowThenText = [&](int dx, int dy) {
        if (app->ShadowVisible())
            drawHintText(canvas, text, client, dx + 1, dy + 1, app->ShadowColor());
        drawHintText(canvas, text, client, dx, dy, textColor);
    };
    switch (app->HintStyle()) {
    case hsFukidashi:
        canvas->FillRect(canvas->ClipRect());
        canvas->Brush()->SetStyle(bsClear);
        shadowThenText(3, 9);
        canvas->Polygon(FOutline);
        break;
    case hsRoundRect:
        canvas->FillRect(canvas->ClipRect());
        canvas->Brush()->SetStyle(bsClear);
        shadowThenText(1, 1);
        canvas->RoundRect(0, 0, w, h, kCorner, kCorner);
        break;
    case hsLineString:
        canvas->Brush()->SetStyle(bsClear);
        if (app->ShadowVisible())
            for (const POINT at : {POINT{19, 10}, POINT{19, 12}, POINT{18, 11}, POINT{20, 11}})
                drawHintText(canvas, text, client, at.x, at.y, app->ShadowColor());
        drawHintText(canvas, text, client, 19, 11, textColor);
        canvas->MoveTo(1, 1);
        canvas->LineTo(17, h - 2);
        canvas->LineTo(w, h - 2);
        break;
    case hsOwnerDraw:
        if (app->OnPaint)
            app->OnPaint(text, canvas, width(), height());
        break;
    default:
        THintWindow::Paint();
        break;
    }
}
