// Controls: TControl (every control is a QWidget and a component), the
// non-windowed TGraphicControl and the windowed TCustomControl.
//
// Drawing: each control draws into a surface bitmap of its own size through
// its Canvas. A paint request (expose, Invalidate, Repaint) erases the surface
// (EraseBackground) and runs Paint, then copies the surface to the screen.
// Drawing outside a paint request goes into the surface and is shown with
// FlushRect, which only copies the surface and never runs Paint again.
//
// Every handler (Qt event, mouse, key, paint, message) runs inside SafeCall,
// so an exception raised there is shown and the program goes on.
#pragma once

#include "Color.h"
#include "Component.h"
#include "ControlEvents.h"
#include "Cursors.h"
#include "Keys.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "WinTypes.h"

class TCanvas;
class TFont;

class TControl : public QWidget, public TComponent, public TControlEvents {
public:
    explicit TControl(TComponent* owner = nullptr, QWidget* parent = nullptr);
    ~TControl() override;

    // Bounds, in the parent's coordinates.
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int value) { SetBounds(value, Top(), Width(), Height()); }
    void SetTop(int value) { SetBounds(Left(), value, Width(), Height()); }
    void SetWidth(int value) { SetBounds(Left(), Top(), value, Height()); }
    void SetHeight(int value) { SetBounds(Left(), Top(), Width(), value); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const;
    RECT ClientRect() const;
    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }

    // The parent widget; changing it keeps the control's visibility.
    QWidget* Parent() const { return parentWidget(); }
    void SetParent(QWidget* parent);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& caption);

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);

    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont& font);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);

    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint) { FHint = hint; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor cursor);

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool value) { setEnabled(value); }
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool value) { setVisible(value); }

    // The canvas over the surface (made to the control's size first).
    TCanvas* Canvas();
    void Invalidate() { update(); }
    void Repaint() { repaint(); }
    void Refresh() { repaint(); }
    // Shows what was drawn into the surface outside a paint request.
    void FlushRect(const RECT& rect);

    // Sends a message to the control's handler at once.
    std::intptr_t Perform(unsigned message, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
    // Posts a message to the control itself; it is handled from the event loop.
    void PostMessage(unsigned message, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
    // How many posts of this message number are still queued (the one being
    // handled no longer counts).
    int QueuedMessageCount(unsigned message) const;

    // The mouse and key events come from TControlEvents.
    TNotifyEvent OnResize;

protected:
    // Raises OnResize.
    virtual void Resize();

    // A setter's usual work: stores value and repaints when it differs from
    // field; true when it did.
    template <typename T>
    bool SetAndInvalidate(T& field, const T& value)
    {
        if (field == value)
            return false;
        field = value;
        Invalidate();
        return true;
    }

    // Drawing on a paint request: EraseBackground, then Paint.
    virtual void EraseBackground();
    virtual void Paint() {}
    QImage& Surface() { return FSurface; }
    virtual QImage::Format SurfaceFormat() const = 0;

    // Message handling: WndProc routes the framework messages to the handlers
    // below; a control handling messages of its own overrides WndProc and
    // passes the rest on.
    virtual std::intptr_t WndProc(unsigned message, std::intptr_t wParam, std::intptr_t lParam);
    virtual void CMMouseEnter() {}
    virtual void CMMouseLeave() {}
    virtual void CMEnabledChanged() { update(); }
    virtual void CMColorChanged() { update(); }
    virtual void CMFontChanged() { update(); }
    virtual void CMTextChanged() { update(); }
    virtual void CMShowingChanged() {}
    virtual void CMSysColorChange() { update(); }
    // A child widget was inserted (true) or removed (false).
    virtual void CMControlChange(QWidget* child, bool inserting);

    // Qt's side.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void ensureSurface();
    void parentColorChanged(TColor color);
    void parentFontChanged(const TFont& font);
    void fontChanged();
    template <typename F>
    void forEachChildControl(F&& f);

    std::string FCaption;
    TColor FColor = clBtnFace;
    bool FParentColor = false;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FApplyingParentFont = false;
    std::string FHint;
    bool FShowHint = false;
    TCursor FCursor = crDefault;
    std::unique_ptr<TCanvas> FCanvas;
    QImage FSurface;
    bool FFlushing = false;
    std::map<unsigned, int> FQueued;
};

// Non-windowed: what it does not draw shows its parent.
// Placed directly on a form, it is part of the form's surface for the window
// system: a left press it does not use itself reaches the form (so a
// borderless form can be dragged by the pictures and shapes on it).
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner = nullptr, QWidget* parent = nullptr);

protected:
    QImage::Format SurfaceFormat() const override { return QImage::Format_ARGB32_Premultiplied; }
    void EraseBackground() override;
    // Whether the control uses a left press itself: by default while a mouse
    // or click event of it is assigned; a control that acts on presses of its
    // own (a button) says yes.
    virtual bool UsesLeftPress() const;
    void mousePressEvent(QMouseEvent* event) override;
};

// Windowed: an opaque surface, filled with Color before each Paint.
class TCustomControl : public TControl {
public:
    explicit TCustomControl(TComponent* owner = nullptr, QWidget* parent = nullptr);

protected:
    QImage::Format SurfaceFormat() const override { return QImage::Format_RGB32; }
};

// The event id Qt uses for posted control messages.
int PostedMessageEventType();
