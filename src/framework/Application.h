// The application object: title, main form, termination, the exception box
// and the hints of every control.
//
// Hints: when the mouse rests over a control whose ShowHint is on and whose
// Hint is not empty for HintPause milliseconds (HintShortPause when a hint was
// showing a moment ago), the application asks OnShowHint, then shows the text
// in a hint window of the current hint-window class just below the pointer,
// and hides it after HintHidePause, on a click, a key or when the pointer
// leaves the control. OnHint is raised whenever the hint under the pointer
// changes.
#pragma once

#include "Color.h"
#include "Component.h"
#include "Exception.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "WinTypes.h"

class QWidget;
class TForm;
class THintWindow;

struct THintInfo {
    QWidget* HintControl = nullptr;
    POINT HintPos;          // screen position of the hint window's top-left corner
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    POINT CursorPos;        // pointer position in the control
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
};

using THintWindowClass = std::function<THintWindow*()>;
using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// Hint text and switch of widgets that are not TControls (wrapped Qt controls).
void SetWidgetHint(QWidget* widget, const std::string& hint, bool showHint);

class TApplication : public QObject, public TComponent {
public:
    TApplication();
    ~TApplication() override;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title);
    TForm* MainForm() const { return FMainForm; }
    void SetMainForm(TForm* form) { FMainForm = form; }

    // Runs the message loop until Terminate.
    int Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    void Minimize();
    void Restore();

    // Shows the exception's message in a message box titled with Title. While
    // that box is open, further exceptions go to standard error.
    void ShowException(const Exception& error);

    int HintPause() const { return FHintPause; }
    void SetHintPause(int ms) { FHintPause = ms; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int ms) { FHintHidePause = ms; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int ms) { FHintShortPause = ms; }
    // Hint display on or off; switching it off hides the hint and drops the
    // hint window, so the next hint uses the current class.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    THintWindowClass HintWindowClass() const { return FHintWindowClass; }
    void SetHintWindowClass(THintWindowClass factory);
    // The long hint of the control under the pointer.
    const std::string& Hint() const { return FHint; }
    void CancelHint();
    // The hint window now in use (nullptr when none was made yet).
    THintWindow* HintWindow() const { return FHintWindow.get(); }

    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pointerOver(QWidget* widget, const QPoint& globalPos);
    void showHintNow();
    void hideHint();

    std::string FTitle;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FShowingException = false;
    int FHintPause = 500;
    int FHintHidePause = 2500;
    int FHintShortPause = 50;
    bool FShowHint = true;
    THintWindowClass FHintWindowClass;
    std::unique_ptr<THintWindow> FHintWindow;
    std::string FHint;
    QPointer<QWidget> FHintControl;
    QPoint FHintCursor;
    bool FHintShowing = false;
    bool FRecentlyShown = false;
    QTimer FShowTimer;
    QTimer FHideTimer;
    QTimer FRecentTimer;
};

// The one application object (nullptr before it exists and after it is gone).
extern TApplication* Application;

// Default platform settings for the program, called before the QApplication
// is created: the X11 platform plugin unless the user chose another.
void SelectPlatformPlugin(int argc, char** argv);
// After the QApplication exists: an icon theme when Qt reports none, and the
// substitutes of the Windows font families.
void InitializeDesktop();
