#include "Font.h"

#include <diskfont.h>
#include <graphics.h>

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

TextFont* Font::FontOpen() {
    Close();
    TextAttr attr{};
    attr.ta_Name = const_cast<STRPTR>(name.c_str());
    attr.ta_YSize = static_cast<UWORD>(size);
    attr.ta_Style = static_cast<UBYTE>((bold != 0 ? FSF_BOLD : 0) | (italic != 0 ? FSF_ITALIC : 0) |
                                       (underline != 0 ? FSF_UNDERLINED : 0));
    attr.ta_Flags = romFont != 0 ? FPF_ROMFONT : FPF_DISKFONT;
    opened = romFont != 0 ? OpenFont(&attr) : OpenDiskFont(&attr);
    return opened;
}
