#include "NumericBox.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace tessella {

namespace {

int32_t DigitsOf(int64_t n) {
    const uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    return static_cast<int32_t>(std::to_string(magnitude).size());
}

}  // namespace

NumericBox::NumericBox(GUIElement* parent, int64_t min, int64_t max)
    : TextBoxCustom(parent, "0"), minimum(min), maximum(max) {
    SetNumber(1);
    SetInserimento(1);
    SetMultiline(1);
    if (min > 0) {
        SetValue(min);
    }
    SetMaxLength(DigitsOf(max));
}

int64_t NumericBox::GetValue() {
    const int64_t n = std::strtoll(GetText().c_str(), nullptr, 10);
    // A range given upside down still yields a value inside it.
    return std::clamp(n, std::min(minimum, maximum), std::max(minimum, maximum));
}

void NumericBox::SetValue(int64_t n) {
    SetText(std::to_string(n));
}

void NumericBox::OnLeave() {
    SetValue(GetValue());
    TextBoxCustom::OnLeave();
}

}  // namespace tessella
