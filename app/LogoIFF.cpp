#include "LogoIFF.h"

#include <intuition.h>

#include <array>
#include <cstring>

namespace tessella {

namespace {

constexpr int kPlaneWords = Logo::kWordsPerRow * Logo::kHeight;

// Letters five pixels wide and seven high, one row a string.
struct Glyph {
    char letter;
    const char* rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'C', {".####", "#....", "#....", "#....", "#....", "#....", ".####"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
};

const Glyph* Find(char letter) {
    for (const Glyph& g : kGlyphs) {
        if (g.letter == letter) {
            return &g;
        }
    }
    return nullptr;
}

class Picture {
public:
    Picture() {
        for (auto& row : pens) {
            row.fill(2);  // the header band's white
        }
        Mosaic();
        Text("TESSELLA", 58, 8, 2, 144);
        Text("CROSS EDITION", 60, 32, 1, 1);
    }

    std::array<std::array<int, Logo::kWidth>, Logo::kHeight> pens{};

private:
    // Tiles of 9 x 9 pixels with one-pixel grout, in blues and greens turning diagonally.
    void Mosaic() {
        static constexpr int kTilePens[] = {3, 144, 150, 128, 96, 102, 120, 4, 15};
        for (int ty = 0; ty < 5; ++ty) {
            for (int tx = 0; tx < 5; ++tx) {
                const int pen = kTilePens[(tx * 2 + ty * 3) % 9];
                for (int y = 0; y < 9; ++y) {
                    for (int x = 0; x < 9; ++x) {
                        pens[ty * 10 + y][tx * 10 + x + 1] = pen;
                    }
                }
            }
        }
    }

    void Text(const char* text, int left, int top, int scale, int pen) {
        int x = left;
        for (const char* c = text; *c != '\0'; ++c) {
            if (const Glyph* g = Find(*c)) {
                for (int gy = 0; gy < 7; ++gy) {
                    for (int gx = 0; gx < 5; ++gx) {
                        if (g->rows[gy][gx] == '#') {
                            Block(x + gx * scale, top + gy * scale, scale, pen);
                        }
                    }
                }
            }
            x += 6 * scale;
        }
    }

    void Block(int x, int y, int scale, int pen) {
        for (int dy = 0; dy < scale; ++dy) {
            for (int dx = 0; dx < scale; ++dx) {
                if (x + dx < Logo::kWidth && y + dy < Logo::kHeight) {
                    pens[y + dy][x + dx] = pen;
                }
            }
        }
    }
};

const Picture& ThePicture() {
    static const Picture picture;
    return picture;
}

// Eight planes, each row in 16-bit words with bit 15 the leftmost pixel.
UWORD* Planes() {
    static std::array<UWORD, kPlaneWords* Logo::kDepth> data = [] {
        std::array<UWORD, kPlaneWords * Logo::kDepth> planes{};
        for (int y = 0; y < Logo::kHeight; ++y) {
            for (int x = 0; x < Logo::kWidth; ++x) {
                const int pen = ThePicture().pens[y][x];
                for (int p = 0; p < Logo::kDepth; ++p) {
                    if ((pen >> p) & 1) {
                        planes[p * kPlaneWords + y * Logo::kWordsPerRow + x / 16] |=
                            static_cast<UWORD>(0x8000u >> (x % 16));
                    }
                }
            }
        }
        return planes;
    }();
    return data.data();
}

}  // namespace

int Logo::PenAt(int x, int y) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) {
        return -1;
    }
    return ThePicture().pens[y][x];
}

Image LogoIFFRaw = {0, 0, Logo::kWidth, Logo::kHeight, Logo::kDepth, Planes(), 255, 0, nullptr};
Image* LogoIFF = nullptr;

}  // namespace tessella
