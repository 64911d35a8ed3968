// The transfer mode: the move flag and the copy flag of the main window's
// radio pair. Turning one on turns the other off; turning one off never turns
// the other on, so both may be off (no mode: a dispatch does nothing).
#pragma once

#include "Component.h"

class TTransferMode {
public:
    bool MoveFlag() const { return FMove; }
    bool CopyFlag() const { return FCopy; }
    void SetMoveFlag(bool on);
    void SetCopyFlag(bool on);

    // Raised after either flag changed.
    std::function<void()> OnChange;

private:
    void changed();

    bool FMove = true;  // the move flag is on at creation
    bool FCopy = false;
};
