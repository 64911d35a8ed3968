// The version dialog's value panel: a windowed control with a lowered outer
// bevel one pixel wide (shadow colour on the top and left edges, highlight
// colour on the bottom and right ones) and its caption centred inside.
#pragma once

#include "Control.h"

class TVxAboutPanel : public TCustomControl {
public:
    explicit TVxAboutPanel(TComponent* owner = nullptr, QWidget* parent = nullptr);

protected:
    void Paint() override;
};
