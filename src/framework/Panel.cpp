#include "Panel.h"

TPanel::TPanel(TComponent* owner, QWidget* parent) : TCustomControl(owner, parent)
{
    SetBounds(0, 0, 185, 41);
    setFocusPolicy(Qt::NoFocus);
}
