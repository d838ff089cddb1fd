#pragma once
// A palette in which every pen names itself: pen n shows as (n, 2n, 3n), each modulo 256, so
// that a colour read back from a picture tells which pen drew it.

#include <vector>

#include "graphics.h"
#include "intuition.h"

namespace tessella::testing {

inline void LoadPenColours(Screen* screen) {
    std::vector<ULONG> table{256UL << 16};
    for (ULONG pen = 0; pen < 256; ++pen) {
        for (ULONG k = 1; k <= 3; ++k) {
            table.push_back(((pen * k) & 0xFF) * 0x01010101UL);
        }
    }
    table.push_back(0);
    LoadRGB32(&screen->ViewPort, table.data());
}

// The colour of a pen in that palette, as 0xRRGGBB.
inline ULONG PenColour(ULONG pen) {
    return (pen << 16) | ((2 * pen & 0xFF) << 8) | (3 * pen & 0xFF);
}

}  // namespace tessella::testing
