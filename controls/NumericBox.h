#pragma once

#include <cstdint>

#include "TextBoxCustom.h"

namespace tessella {

// A custom text box for whole numbers between a minimum and a maximum: digits only, as many as
// the maximum has, and the value brought back into range when the box is left.
class NumericBox : public TextBoxCustom {
public:
    NumericBox(GUIElement* parent, int64_t min, int64_t max);

    void OnLeave() override;
    // The text read as a whole number, clamped to the range.
    int64_t GetValue();
    void SetValue(int64_t n);

private:
    int64_t minimum = 0;
    int64_t maximum = 0;
};

}  // namespace tessella
