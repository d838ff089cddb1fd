#pragma once

struct Image;

namespace tessella {

// The program's logo, 164 x 50 pixels in eight bit planes, drawn by the program itself: a small
// mosaic of coloured tiles beside the name. LogoIFFRaw is the description; LogoIFF the copy the
// main window shows, which the window frees when it goes.
extern Image LogoIFFRaw;
extern Image* LogoIFF;

namespace Logo {
constexpr int kWidth = 164;
constexpr int kHeight = 50;
constexpr int kDepth = 8;
constexpr int kWordsPerRow = 11;
// The pen of a logo pixel, as drawn before it is split into planes.
int PenAt(int x, int y);
}  // namespace Logo

}  // namespace tessella
