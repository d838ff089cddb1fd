#pragma once

#include <array>
#include <mutex>

#include "graphics.h"

// 256 colours as 0xRRGGBB.
struct ColorMap {
    std::mutex lock;
    std::array<ULONG, 256> rgb{};
};

namespace tessella::graphics {

// A palette that starts with the four Workbench colours; the rest are black until loaded.
ColorMap* NewColorMap();
void DeleteColorMap(ColorMap* cm);
std::array<ULONG, 256> PaletteOf(ColorMap* cm);

}  // namespace tessella::graphics
