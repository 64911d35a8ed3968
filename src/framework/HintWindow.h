// The hint window: a borderless top-level window that never takes the focus,
// showing a hint's text. The application creates it through its replaceable
// hint-window class.
#pragma once

#include "Control.h"

#include <string>

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* owner = nullptr);

    // The rectangle the text needs, from (0, 0): the text's box laid out with
    // word wrap within maxWidth, plus 6 pixels in width and 2 in height.
    virtual RECT CalcHintRect(int maxWidth, const std::string& hint);
    // Shows the hint in `rect` (screen coordinates): sets the text, adds 4 to
    // the bottom, keeps the window inside the desktop and shows it on top
    // without activating it.
    virtual void ActivateHint(RECT rect, const std::string& hint);
    // Hides the window.
    virtual void ReleaseHint();

protected:
    // Draws the text 2 pixels in from the left and top edges, word-wrapped.
    void Paint() override;
};
