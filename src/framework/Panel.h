// The panel: a windowed container for other controls, filled with its Color
// and drawn without a bevel or caption. It takes no keyboard focus; a press on
// its own surface stays with it (it does not reach the window beneath).
#pragma once

#include "Control.h"

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner = nullptr, QWidget* parent = nullptr);
};
