// The shape control: a rectangle over the whole of its bounds, outlined with
// Pen and filled with Brush. The outline lies inside the bounds, Pen.Width
// pixels wide on every side; the fill covers what the outline leaves.
#pragma once

#include "Control.h"
#include "GraphicsObjects.h"

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* owner = nullptr, QWidget* parent = nullptr);

    // A change of either repaints the shape.
    TPen* Pen() { return &FPen; }
    void SetPen(const TPen& pen) { FPen.Assign(pen); }
    TBrush* Brush() { return &FBrush; }
    void SetBrush(const TBrush& brush) { FBrush.Assign(brush); }

protected:
    void Paint() override;

private:
    TPen FPen;
    TBrush FBrush;
};
