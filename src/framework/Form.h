// A form: a top-level window holding controls.
//
// A close request is ignored first; OnClose runs (inside SafeCall) and the
// window closes only when it returned normally with an action other than
// caNone. Closing the application's main form ends the application.
// With KeyPreview on, the form's OnKeyDown sees every key pressed in any of
// its controls first; a handler that sets the key to 0 keeps it from the control.
#pragma once

#include "Control.h"

#include <functional>

enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TCustomControl {
public:
    explicit TForm(TComponent* owner = nullptr);
    ~TForm() override;

    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool value) { FKeyPreview = value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    bool Active() const { return isActiveWindow(); }

    // Asks the window to close (the close request described above).
    void Close() { close(); }

    TCloseEvent OnClose;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnShow;

protected:
    virtual void DoClose(TCloseAction& action);
    virtual void Activate();
    virtual void Deactivate();

    void CMTextChanged() override;
    void CMShowingChanged() override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool FKeyPreview = false;
    TFormBorderStyle FBorderStyle = bsSizeable;
};
