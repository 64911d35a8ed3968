// The picture control (TImage): shows its Picture at its natural size from
// the top-left corner; what the picture does not cover shows what lies
// beneath the control. A new or changed picture repaints it.
#pragma once

#include "Control.h"
#include "Picture.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner = nullptr, QWidget* parent = nullptr);

    TPicture* Picture() { return &FPicture; }
    void SetPicture(const TPicture& picture) { FPicture.Assign(picture); }

protected:
    void Paint() override;

private:
    TPicture FPicture;
};
