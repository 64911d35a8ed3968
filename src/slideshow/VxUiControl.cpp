#include "VxUiControl.h"

TVxUiControl::TVxUiControl(TComponent* owner, QWidget* parent) : TCustomControl(owner, parent)
{
}
