#pragma once
// A font drawn again by the font engine at a larger size, for pictures shown larger than the
// screen: the outline face that stands for the font, anti-aliased, with cells as many device
// pixels tall as the font's cells cover on the device.

#include <array>
#include <memory>
#include <vector>

#include "graphics.h"

namespace tessella::graphics {

struct ScaledGlyph {
    int left = 0;  // from the pen position to the first column
    int top = 0;   // rows above the baseline line
    int width = 0;
    int rows = 0;
    std::vector<UBYTE> coverage;  // width * rows, 0 to 255
};

struct ScaledFace {
    int ascent = 0;  // rows from the cell's top to the baseline line
    std::array<ScaledGlyph, 256> glyphs;
};

// Whether a code has a character the scaled faces draw: not the control codes.
inline bool DrawnAtAnySize(UBYTE code) {
    return code >= 32 && (code < 127 || code >= 160);
}

// The font with cells cellHeight64 / 64 device pixels tall; null when no outline face stands
// for it. Faces are kept for the few fonts and sizes last asked for.
std::shared_ptr<const ScaledFace> ScaledFaceOf(const TextFont* font, long cellHeight64);
// The bytes the kept faces hold.
size_t ScaledFaceBytes();

}  // namespace tessella::graphics
