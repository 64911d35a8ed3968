// The label: its Caption drawn in its Font inside its bounds, which it keeps
// whatever the text (the label never sizes itself).
//
// The text is aligned left, right or centred (Alignment); with WordWrap it is
// broken between words to fit the width, otherwise only at its own line
// breaks. Layout places the block of lines at the top, centred (the spare
// height halved, truncated toward zero) or at the bottom. An "&" is drawn as
// it stands. A Transparent label draws only its text and shows what lies
// beneath it; otherwise its bounds are first filled with Color.
#pragma once

#include "Alignment.h"
#include "Control.h"

#include <cstdint>

enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner = nullptr, QWidget* parent = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

protected:
    void Paint() override;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
};
