#pragma once
// What was written where: every line of text drawn into a bitmap is remembered beside its
// pixels, so that a picture larger than the screen can draw it again with the font engine at
// the displayed size instead of enlarging the 8-pixel glyphs. The logical pixels stay the only
// truth: a remembered line is used only where the pixels still are exactly what it drew.

#include <memory>
#include <vector>

#include "Canvas.h"

namespace tessella::graphics {

struct TextRun {
    // The box of the glyphs' cells and ink, in the coordinates of the surface it was drawn into.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int baselineY = 0;
    const TextFont* font = nullptr;
    UBYTE fgPen = 0;
    UBYTE depthMask = 0xFF;
    bool complement = false;
    std::vector<UBYTE> codes;
    std::vector<int> penX;     // each glyph's pen position, in the surface
    std::vector<UBYTE> under;  // the box before the glyphs' ink (backgrounds and underline in)
    std::vector<UBYTE> after;  // the box as the text left it
    // What the drawing put in the box besides the ink: JAM2's background, the underline's row.
    bool jam2 = false;
    UBYTE bgPen = 0;
    int underline = -1;

    // Whether the cells of glyph i still hold what this run drew, in a picture of pens where
    // the run's box has moved by (dx, dy).
    bool GlyphIntact(size_t i, const UBYTE* pixels, int stride, int dx, int dy) const;
    // Glyph i's cell, inside the box: columns [from, to). With `ends`, the first and the last
    // glyph's cells reach the box's edges, where ink beyond the cells lies.
    void CellOf(size_t i, int& from, int& to, bool ends = true) const;
};

using RunList = std::vector<std::shared_ptr<const TextRun>>;

// A text run placed in a composed picture: its box moved by (dx, dy), with the glyphs whose
// cells still show its pixels.
struct PlacedRun {
    std::shared_ptr<const TextRun> run;
    int dx = 0;
    int dy = 0;
    std::vector<bool> intact;
};

// Called by the text drawing with the box's pixels before and after: remembers the run for
// the surface whose pixels contain the canvas (a bitmap, or the picture being composed on
// this thread).
void RecordRun(const Canvas& canvas, std::shared_ptr<TextRun> run);
// The runs remembered for a bitmap's pixels, oldest first.
RunList RunsOf(const UBYTE* bitmapPixels);
// The bitmap is freed: what was written on it goes with it.
void ForgetSurface(const UBYTE* pixels, size_t bytes);

// Whether text drawn into the canvas is to be remembered: not while a composition that has no
// use for it draws into its own picture.
bool Recording(const Canvas& canvas);

// While alive, text drawn on this thread into the given pixels is collected here rather than
// remembered for a bitmap: the compositor's own titles and menus. With `keep` false it is not
// collected at all.
class ComposeRecorder {
public:
    ComposeRecorder(const UBYTE* pixels, size_t bytes, int stride, bool keep = true);
    ~ComposeRecorder();
    ComposeRecorder(const ComposeRecorder&) = delete;
    ComposeRecorder& operator=(const ComposeRecorder&) = delete;
    RunList Take();

private:
    friend void RecordRun(const Canvas& canvas, std::shared_ptr<TextRun> run);
    friend bool Recording(const Canvas& canvas);
    bool Covers(const UBYTE* p) const { return p >= pixels_ && p < pixels_ + bytes_; }
    const UBYTE* pixels_;
    size_t bytes_;
    int stride_;
    bool keep_;
    RunList runs_;
    ComposeRecorder* outer_;
};

// Adds the runs of `from`, moved by (dx, dy), whose box lies inside [x0, x1) x [y0, y1).
void PlaceRuns(const RunList& from, int dx, int dy, int x0, int y0, int x1, int y1,
               std::vector<PlacedRun>& into);
// Marks which glyphs the finished picture still shows as their runs drew them, and drops the
// runs with none left.
void KeepIntact(std::vector<PlacedRun>& runs, const UBYTE* pixels, int stride);

}  // namespace tessella::graphics
