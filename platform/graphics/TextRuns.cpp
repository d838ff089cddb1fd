#include "TextRuns.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "FontFace.h"

namespace tessella::graphics {
namespace {

// A surface that is written on again and again without being freed keeps only its newest
// lines; the oldest are long overwritten by then.
constexpr size_t kRunsPerSurface = 512;

struct Registry {
    std::mutex lock;
    std::map<const UBYTE*, RunList> surfaces;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;  // used until the process ends
    return *registry;
}

thread_local ComposeRecorder* composing = nullptr;

bool Overlaps(const TextRun& a, const TextRun& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// Where a line is written again over one that still shows, what was under the old one is
// under the new one too: the old ink is not part of the background. Glyph by glyph of the old
// line: one whose cell has since been filled with a single colour (a highlight in the ink's
// colour) no longer shows, and its ink's colour there is background, not a ghost of it.
void TakeUnder(TextRun& run, const TextRun& old) {
    const int y0 = std::max(run.top, old.top);
    const int y1 = std::min(run.top + run.height, old.top + old.height);
    for (size_t i = 0; i < old.codes.size(); ++i) {
        int from;
        int to;
        old.CellOf(i, from, to);
        const int x0 = std::max(run.left, old.left + from);
        const int x1 = std::min(run.left + run.width, old.left + to);
        if (x1 <= x0 || y1 <= y0) {
            continue;
        }
        const auto under = [&](int x, int y) -> UBYTE& {
            return run.under[static_cast<size_t>(y - run.top) * run.width + x - run.left];
        };
        const auto at = [&](int x, int y) {
            return static_cast<size_t>(y - old.top) * old.width + x - old.left;
        };
        bool filled = true;
        bool drewOne = true;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                filled = filled && under(x, y) == under(x0, y0);
                drewOne = drewOne && old.after[at(x, y)] == old.after[at(x0, y0)];
            }
        }
        if (filled && !drewOne) {
            continue;
        }
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (under(x, y) == old.after[at(x, y)]) {
                    under(x, y) = old.under[at(x, y)];
                }
            }
        }
    }
}

// What the box holds without the glyphs' ink: the backgrounds of JAM2 and the underline.
void FinishUnder(TextRun& run) {
    Canvas under;
    under.pixels = run.under.data();
    under.width = under.stride = run.width;
    under.height = run.height;
    under.depthMask = run.depthMask;
    const int cellTop = run.baselineY - run.font->tf_Baseline - run.top;
    if (run.jam2) {
        for (size_t i = 0; i < run.codes.size(); ++i) {
            int from;
            int to;
            run.CellOf(i, from, to, false);
            under.Fill(from, cellTop, to - 1, cellTop + run.font->tf_YSize - 1, run.bgPen, false);
        }
    }
    // The underline runs from the pen's start to its end, not under ink leaning beyond them;
    // complemented, it inverts the row as the drawing did.
    if (run.underline >= 0 && !run.codes.empty()) {
        const int end = run.penX.back() + FaceOf(run.font)->glyphs[run.codes.back()].advance;
        under.Fill(run.penX.front() - run.left, run.underline - run.top, end - 1 - run.left,
                   run.underline - run.top, run.fgPen, run.complement);
    }
}

// A new line replaces what it is written over.
void Add(RunList& runs, std::shared_ptr<TextRun> run) {
    std::erase_if(runs, [&](const std::shared_ptr<const TextRun>& old) {
        if (!Overlaps(*old, *run)) {
            return false;
        }
        TakeUnder(*run, *old);
        return true;
    });
    FinishUnder(*run);
    if (runs.size() >= kRunsPerSurface) {
        runs.erase(runs.begin());
    }
    runs.push_back(std::move(run));
}

}  // namespace

void TextRun::CellOf(size_t i, int& from, int& to, bool ends) const {
    const int advance = FaceOf(font)->glyphs[codes[i]].advance;
    from = ends && i == 0 ? 0 : std::clamp(penX[i] - left, 0, width);
    to = ends && i + 1 == codes.size() ? width : std::clamp(penX[i] + advance - left, from, width);
}

bool TextRun::GlyphIntact(size_t i, const UBYTE* pixels, int stride, int dx, int dy) const {
    int from;
    int to;
    CellOf(i, from, to);
    if (to <= from) {
        return true;
    }
    for (int y = 0; y < height; ++y) {
        const UBYTE* seen = pixels + static_cast<long>(top + dy + y) * stride + left + dx + from;
        if (std::memcmp(seen, &after[static_cast<size_t>(y) * width + from],
                        static_cast<size_t>(to - from)) != 0) {
            return false;
        }
    }
    return true;
}

bool Recording(const Canvas& canvas) {
    const ComposeRecorder* r = composing;
    return r == nullptr || r->keep_ || !r->Covers(canvas.pixels);
}

void RecordRun(const Canvas& canvas, std::shared_ptr<TextRun> run) {
    if (ComposeRecorder* r = composing; r != nullptr && r->Covers(canvas.pixels)) {
        if (!r->keep_) {
            return;
        }
        // A region of the picture: its origin, in the picture's own coordinates.
        const long offset = canvas.pixels - r->pixels_;
        const int ox = static_cast<int>(offset % r->stride_);
        const int oy = static_cast<int>(offset / r->stride_);
        run->left += ox;
        run->top += oy;
        run->baselineY += oy;
        if (run->underline >= 0) {
            run->underline += oy;
        }
        for (int& x : run->penX) {
            x += ox;
        }
        Add(r->runs_, std::move(run));
        return;
    }
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    Add(registry.surfaces[canvas.pixels], std::move(run));
}

RunList RunsOf(const UBYTE* bitmapPixels) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    const auto it = registry.surfaces.find(bitmapPixels);
    return it != registry.surfaces.end() ? it->second : RunList{};
}

void ForgetSurface(const UBYTE* pixels, size_t bytes) {
    if (pixels == nullptr) {
        return;
    }
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    auto it = registry.surfaces.lower_bound(pixels);
    while (it != registry.surfaces.end() && it->first < pixels + bytes) {
        it = registry.surfaces.erase(it);
    }
}

ComposeRecorder::ComposeRecorder(const UBYTE* pixels, size_t bytes, int stride, bool keep)
    : pixels_(pixels), bytes_(bytes), stride_(std::max(1, stride)), keep_(keep), outer_(composing) {
    composing = this;
}

ComposeRecorder::~ComposeRecorder() {
    composing = outer_;
}

RunList ComposeRecorder::Take() {
    return std::move(runs_);
}

void PlaceRuns(const RunList& from, int dx, int dy, int x0, int y0, int x1, int y1,
               std::vector<PlacedRun>& into) {
    for (const auto& run : from) {
        const int left = run->left + dx;
        const int top = run->top + dy;
        if (run->width > 0 && run->height > 0 && left >= x0 && top >= y0 &&
            left + run->width <= x1 && top + run->height <= y1) {
            into.push_back(PlacedRun{run, dx, dy, {}});
        }
    }
}

void KeepIntact(std::vector<PlacedRun>& runs, const UBYTE* pixels, int stride) {
    std::erase_if(runs, [&](PlacedRun& placed) {
        const TextRun& run = *placed.run;
        placed.intact.assign(run.codes.size(), false);
        bool any = false;
        for (size_t i = 0; i < run.codes.size(); ++i) {
            placed.intact[i] = run.GlyphIntact(i, pixels, stride, placed.dx, placed.dy);
            any = any || placed.intact[i];
        }
        return !any;
    });
}

}  // namespace tessella::graphics
