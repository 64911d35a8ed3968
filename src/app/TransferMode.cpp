#include "TransferMode.h"

void TTransferMode::SetMoveFlag(bool on)
{
    if (on == FMove)
        return;
    FMove = on;
    if (on)
        FCopy = false;
    changed();
}

void TTransferMode::SetCopyFlag(bool on)
{
    if (on == FCopy)
        return;
    FCopy = on;
    if (on)
        FMove = false;
    changed();
}

void TTransferMode::changed()
{
    if (OnChange)
        OnChange();
}
