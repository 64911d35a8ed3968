#include "ControlEvents.h"

#include "SafeCall.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

bool toMouseButton(Qt::MouseButton qt, TMouseButton& button)
{
    switch (qt) {
    case Qt::LeftButton: button = mbLeft; return true;
    case Qt::RightButton: button = mbRight; return true;
    case Qt::MiddleButton: button = mbMiddle; return true;
    default: return false;
    }
}

// Runs handle(button, x, y) inside SafeCall for a left, right or middle
// button event; other buttons are ignored.
template <typename F>
void forMouseButton(const QMouseEvent& e, F&& handle)
{
    TMouseButton button;
    if (!toMouseButton(e.button(), button))
        return;
    const QPoint p = e.position().toPoint();
    SafeCall([&] { handle(button, p.x(), p.y()); });
}

}  // namespace

void TControlEvents::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(FSender, button, shift, x, y);
}

void TControlEvents::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(FSender, shift, x, y);
}

void TControlEvents::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(FSender, button, shift, x, y);
}

void TControlEvents::Click()
{
    if (OnClick)
        OnClick(FSender);
}

void TControlEvents::DblClick()
{
    if (OnDblClick)
        OnDblClick(FSender);
}

void TControlEvents::KeyDown(WORD_KEY& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(FSender, key, shift);
}

void TControlEvents::KeyUp(WORD_KEY& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(FSender, key, shift);
}

void TControlEvents::KeyPress(char32_t& key)
{
    if (OnKeyPress)
        OnKeyPress(FSender, key);
}

void TControlEvents::RaiseMouseDown(const QMouseEvent& e)
{
    forMouseButton(e, [&](TMouseButton button, int x, int y) {
        if (button == mbLeft)
            FPressed = true;
        MouseDown(button, ShiftStateFromEvent(e), x, y);
    });
}

void TControlEvents::RaiseDblClick(const QMouseEvent& e)
{
    forMouseButton(e, [&](TMouseButton button, int x, int y) {
        if (button == mbLeft)
            DblClick();
        MouseDown(button, ShiftStateFromEvent(e), x, y);
    });
}

void TControlEvents::RaiseMouseMove(const QMouseEvent& e)
{
    const QPoint p = e.position().toPoint();
    SafeCall([&] { MouseMove(ShiftStateFromEvent(e), p.x(), p.y()); });
}

void TControlEvents::RaiseMouseUp(const QMouseEvent& e, bool inside)
{
    forMouseButton(e, [&](TMouseButton button, int x, int y) {
        const bool click = button == mbLeft && FPressed && inside;
        if (button == mbLeft)
            FPressed = false;
        if (click)
            Click();
        MouseUp(button, ShiftStateFromEvent(e), x, y);
    });
}

bool TControlEvents::RaiseKeyDown(const QKeyEvent& e)
{
    bool usedUp = false;
    SafeCall([&] {
        WORD_KEY key = VirtualKeyFromEvent(e);
        if (key != 0) {
            KeyDown(key, ShiftStateFromEvent(e));
            usedUp = key == 0;
        }
        if (usedUp)
            return;
        for (char32_t c : e.text().toStdU32String()) {
            if (c < 0x20 && c != '\r' && c != '\b' && c != 0x1B)
                continue;
            KeyPress(c);
            if (c == 0)
                usedUp = true;
        }
    });
    return usedUp;
}

void TControlEvents::RaiseKeyUp(const QKeyEvent& e)
{
    SafeCall([&] {
        WORD_KEY key = VirtualKeyFromEvent(e);
        if (key != 0)
            KeyUp(key, ShiftStateFromEvent(e));
    });
}

bool TControlEvents::KeyFromDescendant(const QWidget* control)
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && focus != control && control->isAncestorOf(focus);
}
