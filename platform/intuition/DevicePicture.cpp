#include "DevicePicture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/graphics/FontFace.h"
#include "platform/graphics/ScaledFont.h"

namespace tessella::intuition {
namespace {

using graphics::PlacedRun;
using graphics::TextRun;

constexpr ULONG kOpaque = 0xFF000000u;

// Blends the ink colour over what is there by the glyph's coverage.
ULONG Blend(ULONG under, ULONG ink, int coverage) {
    ULONG result = kOpaque;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((under >> shift) & 0xFF);
        const int b = static_cast<int>((ink >> shift) & 0xFF);
        const int c = (a * (255 - coverage) + b * coverage + 127) / 255;
        result |= static_cast<ULONG>(c) << shift;
    }
    return result;
}

struct Target {
    const Frame& frame;
    int dw, dh;
    ULONG flip;
    int x0, y0, x1, y1;
    ULONG* out;
    int stride;

    ULONG& At(int x, int y) const { return out[static_cast<long>(y - y0) * stride + (x - x0)]; }
    int ScreenX(int x) const {
        return static_cast<int>(static_cast<long long>(x) * frame.width / dw);
    }
    int ScreenY(int y) const {
        return static_cast<int>(static_cast<long long>(y) * frame.height / dh);
    }
    int EdgeX(int i) const { return DeviceEdge(i, frame.width, dw); }
    int EdgeY(int i) const { return DeviceEdge(i, frame.height, dh); }
};

// One run: the boxes of its intact glyphs as they were before the ink, enlarged, then the ink
// drawn at the device size, kept inside those boxes.
void PaintRun(const Target& t, const PlacedRun& placed) {
    const TextRun& run = *placed.run;
    // Where the run shows: the screen may be slid down.
    const int left = run.left + placed.dx;
    const int top = run.top + placed.dy + t.frame.topEdge;
    const int devTop = std::max(t.EdgeY(top), t.y0);
    const int devBottom = std::min(t.EdgeY(top + run.height), t.y1);
    if (devTop >= devBottom || t.EdgeX(left) >= t.x1 || t.EdgeX(left + run.width) <= t.x0) {
        return;
    }
    const long cell64 = std::lround(64.0 * run.font->tf_YSize * t.dh / t.frame.height);
    const std::shared_ptr<const graphics::ScaledFace> face =
        graphics::ScaledFaceOf(run.font, cell64);
    if (face == nullptr) {
        return;
    }
    // What the run's box held before the ink, at a device pixel inside it.
    const auto underPen = [&](int x, int y) {
        return run
            .under[static_cast<size_t>(t.ScreenY(y) - top) * run.width + (t.ScreenX(x) - left)];
    };
    // Codes the scaled face has no character for keep their enlarged pixels, like a glyph
    // that no longer shows.
    const auto redrawn = [&](size_t i) {
        return placed.intact[i] && graphics::DrawnAtAnySize(run.codes[i]);
    };
    // The intact glyphs' cells, as device columns, and what they held before the ink; `joined`
    // when no cell that is not intact lies between a cell and the one before it.
    struct Cell {
        int first, second;
        bool joined;
    };
    std::vector<Cell> cells;
    bool broken = false;
    for (size_t i = 0; i < run.codes.size(); ++i) {
        int from;
        int to;
        run.CellOf(i, from, to);
        if (to <= from) {
            continue;
        }
        if (!redrawn(i)) {
            broken = true;
            continue;
        }
        const int a = std::max(t.EdgeX(left + from), t.x0);
        const int b = std::min(t.EdgeX(left + to), t.x1);
        for (int y = devTop; y < devBottom; ++y) {
            for (int x = a; x < b; ++x) {
                t.At(x, y) = (kOpaque | t.frame.palette[underPen(x, y)]) ^ t.flip;
            }
        }
        cells.push_back(Cell{a, b, !cells.empty() && !broken});
        broken = false;
    }
    const ULONG ink = t.frame.palette[run.fgPen];
    // The face's own baseline in the cell, which it fills as the screen's face fills its own:
    // a face of other proportions keeps its descenders inside the line.
    const int cellTop = run.baselineY - run.font->tf_Baseline + placed.dy + t.frame.topEdge;
    const int baseline = t.EdgeY(cellTop) + face->ascent;
    size_t cell = 0;
    for (size_t i = 0; i < run.codes.size(); ++i) {
        int from;
        int to;
        run.CellOf(i, from, to);
        if (!redrawn(i) || to <= from) {
            continue;
        }
        // The ink may reach into a neighbour's cell, but only an intact one of this run.
        const int clipLeft = cells[cells[cell].joined ? cell - 1 : cell].first;
        const int clipRight =
            cells[cell + 1 < cells.size() && cells[cell + 1].joined ? cell + 1 : cell].second;
        ++cell;
        const graphics::ScaledGlyph& g = face->glyphs[run.codes[i]];
        const int gx = t.EdgeX(run.penX[i] + placed.dx) + g.left;
        const int gy = baseline - g.top;
        for (int r = 0; r < g.rows; ++r) {
            const int y = gy + r;
            if (y < devTop || y >= devBottom) {
                continue;
            }
            for (int c = 0; c < g.width; ++c) {
                const int x = gx + c;
                const int coverage = g.coverage[static_cast<size_t>(r) * g.width + c];
                if (coverage == 0 || x < clipLeft || x >= clipRight) {
                    continue;
                }
                ULONG& p = t.At(x, y);
                if (run.complement) {
                    if (coverage >= 128) {
                        p = (kOpaque | t.frame.palette[underPen(x, y) ^ run.depthMask]) ^ t.flip;
                    }
                } else {
                    p = Blend(p ^ t.flip, ink, coverage) ^ t.flip;
                }
            }
        }
    }
}

}  // namespace

void PaintDevice(const Frame& frame, int deviceWidth, int deviceHeight, ULONG flip, int x0, int y0,
                 int x1, int y1, ULONG* out, int stride) {
    if (frame.width <= 0 || frame.height <= 0 || deviceWidth <= 0 || deviceHeight <= 0) {
        return;
    }
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, deviceWidth);
    y1 = std::min(y1, deviceHeight);
    const Target t{frame, deviceWidth, deviceHeight, flip, x0, y0, x1, y1, out, stride};
    std::vector<int> column(static_cast<size_t>(std::max(0, x1 - x0)));
    for (int x = x0; x < x1; ++x) {
        column[static_cast<size_t>(x - x0)] = t.ScreenX(x);
    }
    int lastSource = -2;
    for (int y = y0; y < y1; ++y) {
        ULONG* row = &t.At(x0, y);
        const int source = t.ScreenY(y) - frame.topEdge;
        if (source == lastSource && y > y0) {
            std::copy(row - stride, row - stride + (x1 - x0), row);
            continue;
        }
        lastSource = source;
        if (source < 0) {
            std::fill(row, row + (x1 - x0), kOpaque ^ flip);
            continue;
        }
        const UBYTE* pens = &frame.pens[static_cast<size_t>(source) * frame.width];
        for (int x = x0; x < x1; ++x) {
            row[x - x0] =
                (kOpaque | frame.palette[pens[column[static_cast<size_t>(x - x0)]]]) ^ flip;
        }
    }
    if (deviceWidth == frame.width && deviceHeight == frame.height) {
        return;  // the pens themselves, the text as drawn
    }
    for (const PlacedRun& run : frame.runs) {
        PaintRun(t, run);
    }
}

void DeviceSizeFor(const Frame& frame, double factor, int& width, int& height) {
    width = static_cast<int>(std::lround(frame.width * factor));
    height = static_cast<int>(std::lround(frame.height * factor));
}

}  // namespace tessella::intuition
