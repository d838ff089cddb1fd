#include "CurrencyBox.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "util/StringUtils.h"

namespace tessella {

CurrencyBox::CurrencyBox(GUIElement* parent, double min, double max)
    : TextBoxCustom(parent, "0"), minimum(min), maximum(max) {
    SetNumber(1);
    SetDecimal(1);
    SetInserimento(1);
    SetMultiline(1);
    if (min > 0.0) {
        SetValue(min);
    }
    // The whole part's digits, the point and two decimals.
    char whole[400];
    const int digits = std::snprintf(whole, sizeof whole, "%.0f", std::trunc(std::fabs(max)));
    SetMaxLength(std::max(digits, 1) + 3);
}

double CurrencyBox::GetValue() {
    const double d = std::strtod(GetText().c_str(), nullptr);
    return std::clamp(d, std::min(minimum, maximum), std::max(minimum, maximum));
}

void CurrencyBox::SetValue(double d) {
    SetText(StringUtils::DoubleToStr(d));
}

void CurrencyBox::OnLeave() {
    SetValue(GetValue());
    TextBoxCustom::OnLeave();
}

}  // namespace tessella
