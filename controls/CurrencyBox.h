#pragma once

#include "TextBoxCustom.h"

namespace tessella {

// A custom text box for amounts between a minimum and a maximum: digits and one decimal point,
// two decimals shown, the value brought back into range when the box is left.
class CurrencyBox : public TextBoxCustom {
public:
    CurrencyBox(GUIElement* parent, double min, double max);

    void OnLeave() override;
    // The text read as a number, clamped to the range.
    double GetValue();
    void SetValue(double d);

private:
    double minimum = 0.0;
    double maximum = 0.0;
};

}  // namespace tessella
