#pragma once

#include <cstdint>

namespace tessella {

// A point in pixels, relative to the containing element (a window's: to the screen).
struct tagPOINT {
    int32_t x = 0;
    int32_t y = 0;
};

}  // namespace tessella
