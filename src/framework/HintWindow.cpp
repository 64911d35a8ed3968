#include "HintWindow.h"

#include "Canvas.h"
#include "GraphicsObjects.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner, nullptr)
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    SetColor(clInfoBk);
    Font()->SetColor(clInfoText);
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::string& hint)
{
    RECT r{0, 0, maxWidth, 0};
    Canvas()->Font()->Assign(*Font());
    Canvas()->DrawText(hint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.right += 6;
    r.bottom += 2;
    return r;
}

void THintWindow::ActivateHint(RECT rect, const std::string& hint)
{
    SetCaption(hint);
    rect.bottom += 4;
    int w = rect.right - rect.left;
    int h = rect.bottom - rect.top;
    QScreen* screen = QGuiApplication::screenAt(QPoint(rect.left, rect.top));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect desk = screen->geometry();
        rect.left = std::max(desk.left(), std::min(rect.left, desk.right() + 1 - w));
        rect.top = std::max(desk.top(), std::min(rect.top, desk.bottom() + 1 - h));
    }
    setGeometry(rect.left, rect.top, w, h);
    show();
    raise();
    update();
}

void THintWindow::ReleaseHint()
{
    hide();
}

void THintWindow::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(*Font());
    canvas->Brush()->SetStyle(bsClear);
    RECT r = ClientRect();
    r.left += 2;
    r.top += 2;
    canvas->DrawText(Caption(), r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}
