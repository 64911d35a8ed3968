#include "RadioButton.h"

#include "Color.h"

TRadioButton::TRadioButton(TComponent* owner, QWidget* parent) : TWidgetControl<QRadioButton>(owner, parent)
{
    FFont.OnChange = [this](TGraphicsObject*) { fontChanged(); };
    fontChanged();
}

void TRadioButton::SetChecked(bool value)
{
    if (value == isChecked())
        return;
    if (value) {
        setChecked(true);
        return;
    }
    // Qt keeps the checked button of a group checked; the group may have none.
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}

void TRadioButton::fontChanged()
{
    setFont(FFont.ToQFont());
    QPalette palette = this->palette();
    const QColor text = ToQColor(FFont.Color());
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Text, text);
    setPalette(palette);
}
