#include "Form.h"

#include "Application.h"
#include "SafeCall.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

TForm::TForm(TComponent* owner) : TCustomControl(owner, nullptr)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::NoFocus);
    if (qApp)
        qApp->installEventFilter(this);
}

TForm::~TForm()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (Application && Application->MainForm() == this)
        Application->SetMainForm(nullptr);
}

void TForm::SetBorderStyle(TFormBorderStyle style)
{
    if (style == FBorderStyle)
        return;
    FBorderStyle = style;
    const bool shown = isVisible();
    Qt::WindowFlags flags = Qt::Window;
    if (style == bsNone)
        flags |= Qt::FramelessWindowHint;
    else if (style == bsToolWindow || style == bsSizeToolWin)
        flags = Qt::Tool;
    else if (style == bsDialog)
        flags = Qt::Dialog;
    setWindowFlags(flags);
    if (shown)
        show();
}

void TForm::CMTextChanged()
{
    setWindowTitle(QString::fromStdString(Caption()));
}

void TForm::CMShowingChanged()
{
    if (isVisible() && OnShow)
        OnShow(this);
}

void TForm::DoClose(TCloseAction& action)
{
    if (OnClose)
        OnClose(this, action);
}

void TForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

bool TForm::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        SafeCall([&] { Activate(); });
    else if (e->type() == QEvent::WindowDeactivate)
        SafeCall([&] { Deactivate(); });
    return TCustomControl::event(e);
}

void TForm::closeEvent(QCloseEvent* e)
{
    e->ignore();
    TCloseAction action = caHide;
    if (!SafeCall([&] { DoClose(action); }))
        return;  // a failing close handler keeps the window open
    switch (action) {
    case caNone:
        return;
    case caMinimize:
        showMinimized();
        return;
    case caHide:
    case caFree:
        e->accept();
        if (Application && Application->MainForm() == this)
            Application->Terminate();
        return;
    }
}

bool TForm::eventFilter(QObject* watched, QEvent* e)
{
    if (!FKeyPreview || !OnKeyDown || e->type() != QEvent::KeyPress)
        return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this)
        return false;
    // The filter sees the event again at each parent it propagates to: preview
    // it once, at the widget that has the focus. Keys of the form itself reach
    // OnKeyDown through the form's own key handling.
    if (w == this || w != QApplication::focusWidget())
        return false;
    auto* key = static_cast<QKeyEvent*>(e);
    WORD_KEY code = VirtualKeyFromEvent(*key);
    if (code == 0)
        return false;
    SafeCall([&] { OnKeyDown(this, code, ShiftStateFromEvent(*key)); });
    return code == 0;  // a handler that cleared the key consumes it
}
