#pragma once

#include <cstdint>

namespace tessella {

// One position of a custom text box's grid: what it shows now, so that a redraw prints only
// the cells whose character or pens changed.
struct TextBoxCell {
    char character = ' ';
    int32_t textPen = 1;
    int32_t backgroundPen = 2;
    // The buffer index shown; the box's max length while the cell shows nothing.
    int32_t index = 0;
};

}  // namespace tessella
