#include "Control.h"

#include "Canvas.h"
#include "Form.h"
#include "GraphicsObjects.h"
#include "Messages.h"
#include "SafeCall.h"

#include <QApplication>
#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

struct PostedMessage : QEvent {
    PostedMessage(unsigned m, std::intptr_t w, std::intptr_t l)
        : QEvent(QEvent::Type(PostedMessageEventType())), message(m), wParam(w), lParam(l)
    {
    }
    unsigned message;
    std::intptr_t wParam;
    std::intptr_t lParam;
};

QRect toQRect(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

int PostedMessageEventType()
{
    static const int type = QEvent::registerEventType();
    return type;
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner, QWidget* parent)
    : QWidget(parent), TComponent(owner), TControlEvents(this), FFont(std::make_unique<TFont>()), FCanvas(std::make_unique<TCanvas>())
{
    setMouseTracking(true);  // mouse moves arrive without a button held, as on Windows
    if (auto* p = dynamic_cast<TControl*>(parent))
        parentFontChanged(*p->Font());
    FFont->OnChange = [this](TGraphicsObject*) { fontChanged(); };
}

TControl::~TControl()
{
    FCanvas->SetSurface(nullptr);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, std::max(0, width), std::max(0, height));
}

RECT TControl::BoundsRect() const
{
    return RECT{x(), y(), x() + width(), y() + height()};
}

RECT TControl::ClientRect() const
{
    return RECT{0, 0, width(), height()};
}

void TControl::SetParent(QWidget* parent)
{
    const bool shown = !isHidden();
    setParent(parent);
    if (shown)
        show();
    if (auto* p = dynamic_cast<TControl*>(parent)) {
        if (FParentColor)
            parentColorChanged(p->Color());
        if (FParentFont)
            parentFontChanged(*p->Font());
    }
}

void TControl::SetCaption(const std::string& caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor color)
{
    if (color == FColor && !FParentColor)
        return;
    FParentColor = false;
    if (color == FColor)
        return;
    FColor = color;
    Perform(CM_COLORCHANGED);
    forEachChildControl([color](TControl* child) { child->parentColorChanged(color); });
}

void TControl::SetParentColor(bool value)
{
    if (value == FParentColor)
        return;
    FParentColor = value;
    if (auto* p = dynamic_cast<TControl*>(parentWidget()); p && value)
        parentColorChanged(p->Color());
}

void TControl::parentColorChanged(TColor color)
{
    if (!FParentColor || color == FColor)
        return;
    FColor = color;
    Perform(CM_COLORCHANGED);
    forEachChildControl([color](TControl* child) { child->parentColorChanged(color); });
}

void TControl::SetFont(const TFont& font)
{
    FFont->Assign(font);
}

void TControl::SetParentFont(bool value)
{
    if (value == FParentFont)
        return;
    FParentFont = value;
    if (auto* p = dynamic_cast<TControl*>(parentWidget()); p && value)
        parentFontChanged(*p->Font());
}

void TControl::parentFontChanged(const TFont& font)
{
    if (!FParentFont)
        return;
    FApplyingParentFont = true;
    FFont->Assign(font);  // fires fontChanged, which keeps ParentFont on
    FApplyingParentFont = false;
}

void TControl::fontChanged()
{
    if (!FApplyingParentFont)
        FParentFont = false;
    setFont(FFont->ToQFont());
    Perform(CM_FONTCHANGED);
    const TFont& font = *FFont;
    forEachChildControl([&font](TControl* child) { child->parentFontChanged(font); });
}

template <typename F>
void TControl::forEachChildControl(F&& f)
{
    for (QObject* child : children())
        if (auto* control = dynamic_cast<TControl*>(child))
            f(control);
}

void TControl::SetCursor(TCursor cursor)
{
    FCursor = cursor;
    if (cursor == crDefault)
        unsetCursor();
    else
        setCursor(CursorToQt(cursor));
}

TCanvas* TControl::Canvas()
{
    ensureSurface();
    return FCanvas.get();
}

void TControl::ensureSurface()
{
    const QSize wanted(std::max(1, width()), std::max(1, height()));
    if (FSurface.size() == wanted && FSurface.format() == SurfaceFormat())
        return;
    FCanvas->SetSurface(nullptr);
    FSurface = QImage(wanted, SurfaceFormat());
    FSurface.fill(SurfaceFormat() == QImage::Format_RGB32 ? ToQColor(FColor) : QColor(Qt::transparent));
    FCanvas->SetSurface(&FSurface);
}

void TControl::FlushRect(const RECT& rect)
{
    if (!isVisible())
        return;
    FFlushing = true;
    repaint(toQRect(rect));
    FFlushing = false;
}

void TControl::EraseBackground()
{
    FSurface.fill(ToQColor(FColor));
}

std::intptr_t TControl::Perform(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    return WndProc(message, wParam, lParam);
}

void TControl::PostMessage(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    ++FQueued[message];
    QCoreApplication::postEvent(this, new PostedMessage(message, wParam, lParam));
}

int TControl::QueuedMessageCount(unsigned message) const
{
    auto it = FQueued.find(message);
    return it == FQueued.end() ? 0 : it->second;
}

std::intptr_t TControl::WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case CM_MOUSEENTER: CMMouseEnter(); break;
    case CM_MOUSELEAVE: CMMouseLeave(); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(); break;
    case CM_COLORCHANGED: CMColorChanged(); break;
    case CM_FONTCHANGED: CMFontChanged(); break;
    case CM_TEXTCHANGED: CMTextChanged(); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(); break;
    case CM_SYSCOLORCHANGE: CMSysColorChange(); break;
    case CM_CONTROLCHANGE: CMControlChange(reinterpret_cast<QWidget*>(wParam), lParam != 0); break;
    default: break;
    }
    return 0;
}

void TControl::CMControlChange(QWidget*, bool)
{
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

// Qt's side: every handler runs inside SafeCall.

bool TControl::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::Enter: SafeCall([&] { Perform(CM_MOUSEENTER); }); break;
    case QEvent::Leave: SafeCall([&] { Perform(CM_MOUSELEAVE); }); break;
    case QEvent::Show:
    case QEvent::Hide: SafeCall([&] { Perform(CM_SHOWINGCHANGED); }); break;
    case QEvent::ApplicationPaletteChange: SafeCall([&] { Perform(CM_SYSCOLORCHANGE); }); break;
    default: break;
    }
    return QWidget::event(e);
}

void TControl::paintEvent(QPaintEvent* e)
{
    SafeCall([&] {
        ensureSurface();
        if (!FFlushing) {
            EraseBackground();
            Paint();
        }
    });
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(e->rect(), FSurface, e->rect());
}

void TControl::mousePressEvent(QMouseEvent* e)
{
    RaiseMouseDown(*e);
}

void TControl::mouseDoubleClickEvent(QMouseEvent* e)
{
    RaiseDblClick(*e);
}

void TControl::mouseMoveEvent(QMouseEvent* e)
{
    RaiseMouseMove(*e);
}

void TControl::mouseReleaseEvent(QMouseEvent* e)
{
    RaiseMouseUp(*e, rect().contains(e->position().toPoint()));
}

void TControl::keyPressEvent(QKeyEvent* e)
{
    if (KeyFromDescendant(this)) {
        e->ignore();
        return;
    }
    RaiseKeyDown(*e);
    e->accept();  // the focused control had the key; it does not travel to the parent
}

void TControl::keyReleaseEvent(QKeyEvent* e)
{
    if (KeyFromDescendant(this)) {
        e->ignore();
        return;
    }
    RaiseKeyUp(*e);
    e->accept();
}

void TControl::resizeEvent(QResizeEvent*)
{
    SafeCall([&] { Resize(); });
}

void TControl::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange)
        SafeCall([&] { Perform(CM_ENABLEDCHANGED); });
    QWidget::changeEvent(e);
}

void TControl::childEvent(QChildEvent* e)
{
    if (e->child()->isWidgetType() && (e->added() || e->removed())) {
        auto* child = static_cast<QWidget*>(e->child());
        const bool inserting = e->added();
        SafeCall([&] { Perform(CM_CONTROLCHANGE, reinterpret_cast<std::intptr_t>(child), inserting); });
    }
    QWidget::childEvent(e);
}

void TControl::customEvent(QEvent* e)
{
    if (e->type() != PostedMessageEventType())
        return;
    auto* m = static_cast<PostedMessage*>(e);
    if (--FQueued[m->message] <= 0)
        FQueued.erase(m->message);
    SafeCall([&] { WndProc(m->message, m->wParam, m->lParam); });
}

// ---------------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner, QWidget* parent) : TControl(owner, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);
}

bool TGraphicControl::UsesLeftPress() const
{
    return OnClick || OnDblClick || OnMouseDown || OnMouseUp;
}

void TGraphicControl::mousePressEvent(QMouseEvent* e)
{
    TControl::mousePressEvent(e);
    if (e->button() == Qt::LeftButton && !UsesLeftPress() && dynamic_cast<TForm*>(parentWidget()))
        e->ignore();  // Qt hands an ignored press on to the parent
}

void TGraphicControl::EraseBackground()
{
    Surface().fill(Qt::transparent);
}

// ---------------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent* owner, QWidget* parent) : TControl(owner, parent)
{
    setFocusPolicy(Qt::TabFocus);  // a click gives focus only where a control asks for it
    setAttribute(Qt::WA_OpaquePaintEvent);
}
