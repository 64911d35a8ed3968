// The events every framework control raises, their dynamic methods, and the
// one way Qt's input reaches them: keys translated to virtual-key codes,
// modifiers to shift states, the left, right and middle buttons to mouse
// buttons (other buttons raise nothing), each handler run inside SafeCall.
//
// A control extends what an event does by overriding its dynamic method and
// calling the inherited one, which raises the event; it never hides an event
// with a field of the same name. TControl (drawn controls) and TWidgetControl
// (controls over a Qt widget) both raise their events through this base.
#pragma once

#include "Component.h"
#include "Keys.h"

#include <functional>

class QKeyEvent;
class QMouseEvent;
class QWidget;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD_KEY& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;

class TControlEvents {
public:
    virtual ~TControlEvents() = default;
    TControlEvents(const TControlEvents&) = delete;
    TControlEvents& operator=(const TControlEvents&) = delete;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    // sender: the component the events name as their Sender.
    explicit TControlEvents(TObject* sender) : FSender(sender) {}

    // Dynamic methods: each raises the event of its name.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void KeyDown(WORD_KEY& key, TShiftState shift);
    virtual void KeyUp(WORD_KEY& key, TShiftState shift);
    virtual void KeyPress(char32_t& key);

    // Qt's input, handed to the dynamic methods inside SafeCall.
    // A press: MouseDown.
    void RaiseMouseDown(const QMouseEvent& event);
    // The second press of a double click: DblClick (left button), then
    // MouseDown; its release is no click.
    void RaiseDblClick(const QMouseEvent& event);
    void RaiseMouseMove(const QMouseEvent& event);
    // A release: Click when it ends a left press made on the control and
    // `inside` says it is released over it, then MouseUp.
    void RaiseMouseUp(const QMouseEvent& event, bool inside);
    // A key: KeyDown, then KeyPress for each character it types (controls
    // and Enter, Backspace and Escape excepted). True when a handler set the
    // key or a character to 0: the key is used up.
    bool RaiseKeyDown(const QKeyEvent& event);
    void RaiseKeyUp(const QKeyEvent& event);

    // A key that a descendant control left alone is not the control's to
    // handle: the window system sends a key to the focused control only.
    static bool KeyFromDescendant(const QWidget* control);

private:
    TObject* FSender;
    bool FPressed = false;  // a left press on the control, not yet released
};
