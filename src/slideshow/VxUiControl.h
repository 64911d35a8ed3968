// The base of the image library's windowed controls: the framework's custom
// control (own surface, canvas and Paint), with nothing added.
#pragma once

#include "Control.h"

class TVxUiControl : public TCustomControl {
public:
    explicit TVxUiControl(TComponent* owner = nullptr, QWidget* parent = nullptr);
};
