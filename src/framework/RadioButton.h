// The radio button, over Qt's QRadioButton. The radio buttons with the same
// parent form one group: checking one (by the mouse, Space, the arrow keys or
// SetChecked) unchecks the others there. Unchecking never checks another, so
// a group may have none checked. Keys reach OnKeyDown first and then the
// button (Space chooses it) unless a handler set the key to 0.
#pragma once

#include "GraphicsObjects.h"
#include "WidgetControl.h"

#include <QRadioButton>

#include <string>

class TRadioButton : public TWidgetControl<QRadioButton> {
public:
    explicit TRadioButton(TComponent* owner = nullptr, QWidget* parent = nullptr);

    // "&" marks the accelerator character, "&&" stands for "&".
    std::string Caption() const { return text().toStdString(); }
    void SetCaption(const std::string& caption) { setText(QString::fromStdString(caption)); }

    bool Checked() const { return isChecked(); }
    void SetChecked(bool value);

    // The caption's font; its colour is the caption's colour.
    TFont* Font() { return &FFont; }
    void SetFont(const TFont& font) { FFont.Assign(font); }

private:
    void fontChanged();

    TFont FFont;
};
