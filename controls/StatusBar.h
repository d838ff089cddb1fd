#pragma once

#include <string>

#include "CellControl.h"

namespace tessella {

// A framed text cell along the bottom edge of its window.
class StatusBar : public CellControl {
public:
    // Only a window places the bar; any other parent leaves an empty cell.
    StatusBar(GUIElement* parent, std::string text);
};

}  // namespace tessella
