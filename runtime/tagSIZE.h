#pragma once

#include <cstdint>

// A size in pixels.
struct tagSIZE {
    int32_t cx = 0;
    int32_t cy = 0;
};
