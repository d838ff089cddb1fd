#include "ScaledFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <list>
#include <mutex>
#include <string>

#include "FontFace.h"

namespace tessella::graphics {
namespace {

// A window being resized passes through many sizes; only the last few (of each of the few
// fonts a window uses) are worth keeping, and large type only within a budget of memory.
constexpr size_t kSizesKept = 32;
constexpr size_t kBytesKept = 8u << 20;

struct Entry {
    const TextFont* font;
    long cellHeight64;
    std::shared_ptr<const ScaledFace> face;
    size_t bytes;
};

struct Cache {
    std::mutex lock;
    FT_Library library = nullptr;
    std::list<Entry> recent;  // newest first
    size_t bytes = 0;
};

size_t BytesOf(const ScaledFace* face) {
    size_t bytes = sizeof(ScaledFace);
    if (face != nullptr) {
        for (const ScaledGlyph& g : face->glyphs) {
            bytes += g.coverage.size();
        }
    }
    return bytes;
}

Cache& TheCache() {
    static Cache* cache = new Cache;  // used until the process ends
    return *cache;
}

void Render(FT_Face face, unsigned code, ScaledGlyph& glyph) {
    if (FT_Load_Char(face, code, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0 ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        return;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
    for (int r = 0; r < glyph.rows; ++r) {
        const unsigned char* row = bitmap.buffer + static_cast<long>(r) * bitmap.pitch;
        std::copy(row, row + glyph.width, &glyph.coverage[static_cast<size_t>(r) * glyph.width]);
    }
}

std::shared_ptr<const ScaledFace> Load(FT_Library library, const TextFont* font,
                                       long cellHeight64) {
    std::string file;
    int index = 0;
    if (!OutlineFileFor(font, file, index)) {
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &face) != 0) {
        return nullptr;
    }
    // As at the screen's own size: ascender plus descender fill the cell.
    FT_Size_RequestRec request{FT_SIZE_REQUEST_TYPE_CELL, 0, cellHeight64, 0, 0};
    if (FT_Request_Size(face, &request) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    if (font->tf_Style & FSF_ITALIC) {
        FT_Matrix slant{0x10000, 0x3800, 0, 0x10000};
        FT_Set_Transform(face, &slant, nullptr);
    }
    auto scaled = std::make_shared<ScaledFace>();
    scaled->ascent = static_cast<int>((face->size->metrics.ascender + 32) >> 6);
    for (unsigned code = 0; code < 256; ++code) {
        if (DrawnAtAnySize(static_cast<UBYTE>(code))) {
            Render(face, code, scaled->glyphs[code]);
        }
    }
    FT_Done_Face(face);
    return scaled;
}

}  // namespace

std::shared_ptr<const ScaledFace> ScaledFaceOf(const TextFont* font, long cellHeight64) {
    if (font == nullptr || cellHeight64 < 64) {
        return nullptr;
    }
    Cache& cache = TheCache();
    std::lock_guard guard(cache.lock);
    for (auto it = cache.recent.begin(); it != cache.recent.end(); ++it) {
        if (it->font == font && it->cellHeight64 == cellHeight64) {
            cache.recent.splice(cache.recent.begin(), cache.recent, it);
            return it->face;
        }
    }
    if (cache.library == nullptr && FT_Init_FreeType(&cache.library) != 0) {
        return nullptr;
    }
    std::shared_ptr<const ScaledFace> face = Load(cache.library, font, cellHeight64);
    const size_t bytes = BytesOf(face.get());
    cache.recent.push_front(Entry{font, cellHeight64, face, bytes});
    cache.bytes += bytes;
    // The newest stays, whatever its size: a picture being drawn is using it.
    while (cache.recent.size() > 1 &&
           (cache.recent.size() > kSizesKept || cache.bytes > kBytesKept)) {
        cache.bytes -= cache.recent.back().bytes;
        cache.recent.pop_back();
    }
    return face;
}

size_t ScaledFaceBytes() {
    Cache& cache = TheCache();
    std::lock_guard guard(cache.lock);
    return cache.bytes;
}

}  // namespace tessella::graphics
