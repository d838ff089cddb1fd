#include "Font.h"

#include <diskfont.h>
#include <graphics.h>

namespace tessella {

Font::Font(const Font& other)
    : name(other.name),
      size(other.size),
      bold(other.bold),
      italic(other.italic),
      underline(other.underline),
      fixed(other.fixed),
      romFont(other.romFont) {}

Font& Font::operator=(const Font& other) {
    if (this != &other) {
        Close();
        name = other.name;
        size = other.size;
        bold = other.bold;
        italic = other.italic;
        underline = other.underline;
        fixed = other.fixed;
        romFont = other.romFont;
    }
    return *this;
}

Font::~Font() {
    Close();
}

void Font::Close() {
    if (opened != nullptr) {
        CloseFont(opened);
        opened = nullptr;
    }
}

int Font::Init(std::string newName, int32_t newSize) {
    Close();
    name = std::move(newName);
    size = newSize;
    bold = 0;
    italic = 0;
    underline = 0;
    fixed = 0;
    romFont = 1;
    return 1;
}

UBYTE Font::Style() const {
    // The platform opens one style at a time; italic wins over bold, bold over underline.
    if (italic != 0) {
        return FSF_ITALIC;
    }
    if (bold != 0) {
        return FSF_BOLD;
    }
    if (underline != 0) {
        return FSF_UNDERLINED;
    }
    return FS_NORMAL;
}

TextAttr* Font::GetHFONT() {
    attr.ta_Name = name.c_str();
    attr.ta_YSize = static_cast<UWORD>(size);
    attr.ta_Style = Style();
    attr.ta_Flags = romFont != 0 ? FPF_ROMFONT : FPF_DISKFONT;
    return &attr;
}

TextFont* Font::FontOpen() {
    Close();
    TextAttr* a = GetHFONT();
    opened = romFont != 0 ? OpenFont(a) : OpenDiskFont(a);
    return opened;
}

TextFont* Font::GetTextFont() {
    return opened != nullptr ? opened : FontOpen();
}

}  // namespace tessella
