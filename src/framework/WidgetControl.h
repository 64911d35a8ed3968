// The base of framework controls that wrap a Qt widget (tree view, list box,
// and the standard controls over Qt's own): the Qt widget does its work, and
// the control raises the framework's events through TControlEvents as every
// other control does. Qt handles a mouse event first (so the selection a press
// makes is in place), then the events are raised; a key is raised first, and
// reaches the Qt widget only when no handler used it up.
#pragma once

#include "Component.h"
#include "ControlEvents.h"

#include <QKeyEvent>
#include <QMouseEvent>

template <class QtWidget>
class TWidgetControl : public QtWidget, public TComponent, public TControlEvents {
public:
    explicit TWidgetControl(TComponent* owner = nullptr, QWidget* parent = nullptr)
        : QtWidget(parent), TComponent(owner), TControlEvents(this)
    {
    }

protected:
    // Whether a left press and release on the control make a click; a control
    // that raises Click at other moments (a list box, on the press that picks
    // an entry) says no and calls Click itself.
    virtual bool ClicksOnRelease() const { return true; }

    void mousePressEvent(QMouseEvent* event) override
    {
        QtWidget::mousePressEvent(event);
        RaiseMouseDown(*event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        QtWidget::mouseDoubleClickEvent(event);
        RaiseDblClick(*event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        QtWidget::mouseMoveEvent(event);
        RaiseMouseMove(*event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QtWidget::mouseReleaseEvent(event);
        RaiseMouseUp(*event, ClicksOnRelease() && this->rect().contains(event->position().toPoint()));
    }
    // A key on its way in: one that a focused descendant left alone goes on
    // to the parent; others raise KeyDown and KeyPress. True when the key
    // goes no further, so the Qt widget does not get it.
    bool KeyTaken(QKeyEvent* event)
    {
        if (KeyFromDescendant(this)) {
            event->ignore();
            return true;
        }
        if (RaiseKeyDown(*event)) {
            event->accept();
            return true;
        }
        return false;
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!KeyTaken(event))
            QtWidget::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        if (KeyFromDescendant(this)) {
            event->ignore();
            return;
        }
        RaiseKeyUp(*event);
        QtWidget::keyReleaseEvent(event);
    }
};
