#pragma once
// A font opened through fontconfig and FreeType: monochrome glyphs for every Latin-1 code,
// rendered once when the font opens so that drawing never calls FreeType. The fixed families
// at 8 pixels use a bitmap face made for that size, the rest outline faces.

#include <array>
#include <string>
#include <vector>

#include "graphics.h"

namespace tessella::graphics {

struct Glyph {
    int left = 0;  // from the pen position to the first column
    int top = 0;   // rows above the baseline line
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<UBYTE> bits;  // width * rows, 1 where the glyph has ink
};

class FontFace : public TextFont {
public:
    std::string key;
    std::string name;
    std::array<Glyph, 256> glyphs;
};

inline const FontFace* FaceOf(const TextFont* font) {
    return static_cast<const FontFace*>(font);
}

// Opens with the flags FPF_ROMFONT or FPF_DISKFONT recorded in tf_Flags.
TextFont* OpenFace(const TextAttr* attr, UBYTE originFlag);
// The outline face that stands for the font's name and weight, for drawing it at other sizes.
bool OutlineFileFor(const TextFont* font, std::string& file, int& index);
// The bitmap face the fixed families take at 8 pixels; empty when none is installed, and then
// they take the outline face as at other sizes.
std::string BitmapFaceFile();
// topaz 8, open for the whole run: the font of fresh rastports and of window frames.
TextFont* DefaultFont();

}  // namespace tessella::graphics
