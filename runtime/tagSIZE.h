#pragma once

#include <cstdint>

namespace tessella {

// A size in pixels.
struct tagSIZE {
    int32_t cx = 0;
    int32_t cy = 0;
};

}  // namespace tessella
