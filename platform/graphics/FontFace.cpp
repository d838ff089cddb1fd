#include "FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tessella::graphics {
namespace {

// FreeType is not thread-safe across one library handle, and the cache is shared.
std::mutex& FontLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

struct Cache {
    FT_Library library = nullptr;
    std::map<std::string, FontFace*> open;
};

Cache& TheCache() {
    static Cache* cache = new Cache;  // fonts live for the whole run
    return *cache;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string BaseName(const std::string& amigaName) {
    std::string base = Lower(amigaName);
    const auto dot = base.rfind(".font");
    if (dot != std::string::npos) {
        base.erase(dot);
    }
    return base;
}

bool IsFixedName(const std::string& base) {
    return base == "topaz" || base == "courier" || base == "fixed" || base == "xen";
}

// The installed DejaVu families stand in for the AROS fonts, so pixels match on any machine.
const char* FamilyFor(const std::string& amigaName) {
    const std::string base = BaseName(amigaName);
    if (IsFixedName(base)) {
        return "DejaVu Sans Mono";
    }
    if (base == "times" || base == "garnet") {
        return "DejaVu Serif";
    }
    return "DejaVu Sans";
}

bool FindFile(const char* family, bool bold, std::string& file, int& index) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return false;
    }
    FcChar8* path = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) {
        file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) {
            index = 0;
        }
    }
    FcPatternDestroy(match);
    return found;
}

void RenderGlyph(FT_Face face, unsigned code, Glyph& glyph) {
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0 ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) != 0) {
        return;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.bits.assign(static_cast<size_t>(glyph.width) * glyph.rows, 0);
    for (int r = 0; r < glyph.rows; ++r) {
        const unsigned char* row = bitmap.buffer + static_cast<long>(r) * bitmap.pitch;
        for (int c = 0; c < glyph.width; ++c) {
            glyph.bits[static_cast<size_t>(r) * glyph.width + c] =
                (row[c >> 3] >> (7 - (c & 7))) & 1;
        }
    }
}

// An outline face shrunk to 8 pixels reads poorly, so the fixed families at that size take a
// bitmap face drawn for it: the classic 5x8 "Fixed" of the X11 misc fonts (package
// xfonts-base). Debian's fontconfig hides bitmap faces by default, so the known files are
// tried after it.
constexpr int kBitmapSize = 8;
const char* const kBitmapFiles[] = {
    "/usr/share/fonts/X11/misc/5x8-ISO8859-1.pcf.gz",
    "/usr/share/fonts/X11/misc/5x8.pcf.gz",
};

// A strike of kBitmapSize rows, fixed pitch, with a glyph for every printable Latin-1 code.
int UsableStrike(FT_Face face) {
    if (FT_IS_SCALABLE(face) || !FT_IS_FIXED_WIDTH(face)) {
        return -1;
    }
    for (unsigned code = 32; code < 256; ++code) {
        if ((code < 127 || code >= 160) && FT_Get_Char_Index(face, code) == 0) {
            return -1;
        }
    }
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        if (face->available_sizes[i].height == kBitmapSize) {
            return i;
        }
    }
    return -1;
}

bool IsUsableBitmapFile(FT_Library library, const std::string& file) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), 0, &face) != 0) {
        return false;
    }
    const bool usable = UsableStrike(face) >= 0;
    FT_Done_Face(face);
    return usable;
}

std::vector<std::string> FontconfigBitmapFiles() {
    std::vector<std::string> files;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Fixed"));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, kBitmapSize);
    FcPatternAddBool(pattern, FC_SCALABLE, FcFalse);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    if (set == nullptr) {
        return files;
    }
    for (int i = 0; i < set->nfont; ++i) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &path) == FcResultMatch) {
            files.emplace_back(reinterpret_cast<const char*>(path));
        }
    }
    FcFontSetDestroy(set);
    // The listing's order is fontconfig's own: sorted, the same machine always picks the same.
    std::sort(files.begin(), files.end());
    return files;
}

// Looked up once; empty when no such face is installed. Called with FontLock held.
const std::string& BitmapFile(FT_Library library) {
    static std::optional<std::string> found;
    if (!found) {
        found.emplace();
        std::vector<std::string> candidates = FontconfigBitmapFiles();
        candidates.insert(candidates.end(), std::begin(kBitmapFiles), std::end(kBitmapFiles));
        for (const std::string& file : candidates) {
            if (IsUsableBitmapFile(library, file)) {
                *found = file;
                break;
            }
        }
    }
    return *found;
}

bool WantsBitmapFace(const TextAttr* attr) {
    return attr->ta_YSize == kBitmapSize && IsFixedName(BaseName(attr->ta_Name));
}

// The bitmap face has no bold or italic cut: they are made from the regular glyphs, as the
// ROM font's are. Bold smears each row one column right; the 5x8 cells keep their last
// column free for it, so the advance stays.
void Embolden(Glyph& glyph) {
    if (glyph.width == 0) {
        return;
    }
    const int width = glyph.width + 1;
    std::vector<UBYTE> bits(static_cast<size_t>(width) * glyph.rows, 0);
    for (int r = 0; r < glyph.rows; ++r) {
        for (int c = 0; c < glyph.width; ++c) {
            if (glyph.bits[static_cast<size_t>(r) * glyph.width + c]) {
                bits[static_cast<size_t>(r) * width + c] = 1;
                bits[static_cast<size_t>(r) * width + c + 1] = 1;
            }
        }
    }
    glyph.width = width;
    glyph.bits = std::move(bits);
}

// Italic leans each row one column right for every two rows above the baseline row, and
// left below it.
void Slant(Glyph& glyph) {
    if (glyph.width == 0) {
        return;
    }
    auto shiftOf = [&](int r) {
        const int above = glyph.top - 1 - r;  // 0 on the baseline row
        return above >= 0 ? above / 2 : (above - 1) / 2;
    };
    const int least = std::min(shiftOf(0), shiftOf(glyph.rows - 1));
    const int most = std::max(shiftOf(0), shiftOf(glyph.rows - 1));
    const int width = glyph.width + most - least;
    std::vector<UBYTE> bits(static_cast<size_t>(width) * glyph.rows, 0);
    for (int r = 0; r < glyph.rows; ++r) {
        const int shift = shiftOf(r) - least;
        for (int c = 0; c < glyph.width; ++c) {
            bits[static_cast<size_t>(r) * width + c + shift] =
                glyph.bits[static_cast<size_t>(r) * glyph.width + c];
        }
    }
    glyph.left += least;
    glyph.width = width;
    glyph.bits = std::move(bits);
}

// The strike as the face file draws it, no scaling; nullptr when the face cannot be used.
FontFace* LoadBitmap(const std::string& key, const TextAttr* attr, UBYTE originFlag,
                     const std::string& file) {
    FT_Face face = nullptr;
    if (FT_New_Face(TheCache().library, file.c_str(), 0, &face) != 0) {
        return nullptr;
    }
    const int strike = UsableStrike(face);
    if (strike < 0 || FT_Select_Size(face, strike) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    auto* font = new FontFace();  // the TextFont fields zeroed
    font->key = key;
    font->name = attr->ta_Name;
    for (unsigned code = 0; code < 256; ++code) {
        Glyph& glyph = font->glyphs[code];
        RenderGlyph(face, code, glyph);
        if (attr->ta_Style & FSF_BOLD) {
            Embolden(glyph);
        }
        if (attr->ta_Style & FSF_ITALIC) {
            Slant(glyph);
        }
    }
    const int ysize = kBitmapSize;
    const int ascent =
        std::clamp(static_cast<int>((face->size->metrics.ascender + 32) >> 6), 1, ysize);
    FT_Done_Face(face);

    font->tf_Message.mn_Node.ln_Type = NT_FONT;
    font->tf_Message.mn_Node.ln_Name = font->name.data();
    font->tf_YSize = static_cast<UWORD>(ysize);
    font->tf_Style = attr->ta_Style & (FSF_BOLD | FSF_ITALIC | FSF_UNDERLINED);
    font->tf_Flags = static_cast<UBYTE>(originFlag | FPF_DESIGNED);
    font->tf_XSize = static_cast<UWORD>(font->glyphs['M'].advance);
    font->tf_Baseline = static_cast<UWORD>(ascent - 1);
    font->tf_LoChar = 32;
    font->tf_HiChar = 255;
    return font;
}

FontFace* Load(const std::string& key, const TextAttr* attr, UBYTE originFlag) {
    Cache& cache = TheCache();
    if (cache.library == nullptr && FT_Init_FreeType(&cache.library) != 0) {
        return nullptr;
    }
    if (WantsBitmapFace(attr)) {
        const std::string& file = BitmapFile(cache.library);
        if (!file.empty()) {
            if (FontFace* font = LoadBitmap(key, attr, originFlag, file)) {
                return font;
            }
        }
        // Without it, the outline face below stands in, as at every other size.
    }
    const bool bold = attr->ta_Style & FSF_BOLD;
    const bool italic = attr->ta_Style & FSF_ITALIC;
    std::string file;
    int index = 0;
    if (!FindFile(FamilyFor(attr->ta_Name), bold, file, index)) {
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(cache.library, file.c_str(), index, &face) != 0) {
        return nullptr;
    }
    // The size asked for is the whole line: ascender plus descender fill exactly ta_YSize.
    FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_CELL, 0,
                               static_cast<FT_Long>(attr->ta_YSize) << 6, 0, 0};
    if (FT_Request_Size(face, &request) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    if (italic) {
        FT_Matrix slant{0x10000, 0x3800, 0, 0x10000};  // about 12 degrees
        FT_Set_Transform(face, &slant, nullptr);
    }

    auto* font = new FontFace();  // the TextFont fields zeroed
    font->key = key;
    font->name = attr->ta_Name;
    for (unsigned code = 0; code < 256; ++code) {
        RenderGlyph(face, code, font->glyphs[code]);
    }
    const int ysize = attr->ta_YSize;
    const int ascent =
        std::clamp(static_cast<int>((face->size->metrics.ascender + 32) >> 6), 1, ysize);
    const bool fixed = FT_IS_FIXED_WIDTH(face);
    int xsize = font->glyphs['M'].advance;
    if (!fixed) {
        int sum = 0;
        for (unsigned code = 32; code < 127; ++code) {
            sum += font->glyphs[code].advance;
        }
        xsize = (sum + 47) / 95;
    }
    FT_Done_Face(face);

    font->tf_Message.mn_Node.ln_Type = NT_FONT;
    font->tf_Message.mn_Node.ln_Name = font->name.data();
    font->tf_YSize = static_cast<UWORD>(ysize);
    font->tf_Style = attr->ta_Style & (FSF_BOLD | FSF_ITALIC | FSF_UNDERLINED);
    font->tf_Flags = static_cast<UBYTE>(originFlag | FPF_DESIGNED | (fixed ? 0 : FPF_PROPORTIONAL));
    font->tf_XSize = static_cast<UWORD>(xsize);
    font->tf_Baseline = static_cast<UWORD>(ascent - 1);
    font->tf_LoChar = 32;
    font->tf_HiChar = 255;
    return font;
}

}  // namespace

TextFont* OpenFace(const TextAttr* attr, UBYTE originFlag) {
    if (attr == nullptr || attr->ta_Name == nullptr || attr->ta_YSize == 0) {
        return nullptr;
    }
    const UBYTE style = attr->ta_Style & (FSF_BOLD | FSF_ITALIC | FSF_UNDERLINED);
    const std::string key = std::string(FamilyFor(attr->ta_Name)) + "/" + Lower(attr->ta_Name) +
                            "/" + std::to_string(attr->ta_YSize) + "/" + std::to_string(style) +
                            "/" + std::to_string(originFlag);
    std::lock_guard guard(FontLock());
    Cache& cache = TheCache();
    auto it = cache.open.find(key);
    FontFace* font = it != cache.open.end() ? it->second : Load(key, attr, originFlag);
    if (font == nullptr) {
        return nullptr;
    }
    cache.open[key] = font;
    font->tf_Accessors++;
    return font;
}

bool OutlineFileFor(const TextFont* font, std::string& file, int& index) {
    if (font == nullptr) {
        return false;
    }
    std::lock_guard guard(FontLock());
    return FindFile(FamilyFor(FaceOf(font)->name), (font->tf_Style & FSF_BOLD) != 0, file, index);
}

std::string BitmapFaceFile() {
    std::lock_guard guard(FontLock());
    Cache& cache = TheCache();
    if (cache.library == nullptr && FT_Init_FreeType(&cache.library) != 0) {
        return {};
    }
    return BitmapFile(cache.library);
}

TextFont* DefaultFont() {
    static TextFont* font = [] {
        TextAttr topaz{"topaz.font", 8, FS_NORMAL, FPF_ROMFONT};
        return OpenFace(&topaz, FPF_ROMFONT);
    }();
    return font;
}

}  // namespace tessella::graphics

using namespace tessella::graphics;

TextFont* OpenFont(TextAttr* textAttr) {
    return OpenFace(textAttr, FPF_ROMFONT);
}

void CloseFont(TextFont* textFont) {
    if (textFont == nullptr) {
        return;
    }
    std::lock_guard guard(FontLock());
    auto* font = static_cast<FontFace*>(textFont);
    if (font->tf_Accessors > 0) {
        font->tf_Accessors--;
    }
    // Fonts stay cached once opened, as AROS keeps them in its font list: a rastport may still
    // point at one after its opener closed it.
}
