// The presenter's picture: the front screen composed into the window's texture, at its
// scale, and the active window's pointer image as the desktop's cursor.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>

#include "SdlPresenter.h"
#include "platform/intuition/DevicePicture.h"

namespace tessella::sdl {
namespace {

// The rows of the picture drawn and uploaded at a time.
constexpr int kStripRows = 64;

// Sprite colours 1 to 3 are pens 17 to 19 of the screen, as on the Amiga's display.
constexpr int kFirstSpritePen = 16;

}  // namespace

void SdlPresenter::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    SDL_Rect usable{0, 0, width, height};
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    SDL_GetDisplayUsableBounds(display, &usable);
    const double factor = FactorFor(usable.w, usable.h, width, height);
    SDL_SetWindowMinimumSize(window_, width, height);
    SDL_SetWindowSize(window_, static_cast<int>(std::lround(width * factor)),
                      static_cast<int>(std::lround(height * factor)));
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    int w;
    int h;
    SDL_GetWindowSize(window_, &w, &h);
    Refit(w, h);
}

// The picture for a window of this size: a texture of the picture's own size, which holds
// nothing yet.
void SdlPresenter::Refit(int windowWidth, int windowHeight) {
    view_ = Fit(windowWidth, windowHeight, width_, height_);
    if (texture_ != nullptr) {
        SDL_DestroyTexture(texture_);
    }
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 view_.width, view_.height);
    if (texture_ == nullptr) {
        // Too large for the renderer: the screen at its own size, centred, rather than nothing.
        view_ = View{1, std::max(0, (windowWidth - width_) / 2),
                     std::max(0, (windowHeight - height_) / 2), width_, height_};
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, width_, height_);
    }
    // Every pixel shown is opaque, so a transparent one makes every pixel count as changed.
    visible_.assign(static_cast<size_t>(width_) * height_, 0);
    shownRuns_.clear();
}

void SdlPresenter::Render() {
    intuition::Frame frame;
    // The text as drawn is needed only for a picture larger than the screen.
    frame.withRuns = width_ == 0 || view_.width != width_ || view_.height != height_;
    if (!intuition::ComposeFrontScreen(frame)) {
        if (shown_) {
            SDL_HideWindow(window_);
            shown_ = false;
        }
        return;
    }
    if (frame.width != width_ || frame.height != height_ || texture_ == nullptr) {
        Resize(frame.width, frame.height);
    }
    if (frame.title != title_) {
        title_ = frame.title;
        SDL_SetWindowTitle(window_, Utf8Of(title_).c_str());
    }
    topEdge_ = frame.topEdge;
    Paint(frame);
    bool changed = UploadChanges(frame);
    UpdatePointer(frame.palette);
    if (!shown_) {
        SDL_ShowWindow(window_);
        shown_ = true;
        changed = true;
    }
    if (changed) {
        Present();
    }
}

// The picture as it is seen, into next_, at the screen's own size: the slid-away part is
// black, and a flash shows the complement of every colour.
void SdlPresenter::Paint(const intuition::Frame& frame) {
    next_.resize(visible_.size());
    intuition::PaintDevice(frame, width_, height_, flashing_ ? 0x00FFFFFFu : 0, 0, 0, width_,
                           height_, next_.data(), width_);
}

namespace {

// A line of text as the picture shows it: where, and what.
SdlPresenter::ShownRun ShownOf(const graphics::PlacedRun& placed, int topEdge) {
    const graphics::TextRun& run = *placed.run;
    size_t hash = std::hash<const void*>()(run.font) ^ (static_cast<size_t>(run.fgPen) << 7);
    for (size_t i = 0; i < run.codes.size(); ++i) {
        hash = hash * 131 + run.codes[i] * 2 + (placed.intact[i] ? 1 : 0);
    }
    return {run.left + placed.dx, run.top + placed.dy + topEdge, run.width, run.height, hash};
}

}  // namespace

// Draws again, at the picture's size, the screen's areas whose pixels changed and the lines of
// text that came or went where the pixels stayed; uploads each as narrow as it is. True if any
// did change.
bool SdlPresenter::UploadChanges(const intuition::Frame& frame) {
    std::vector<SDL_Rect> areas = ChangedBands();
    std::vector<ShownRun> runs;
    runs.reserve(frame.runs.size());
    for (const graphics::PlacedRun& placed : frame.runs) {
        runs.push_back(ShownOf(placed, topEdge_));
    }
    std::sort(runs.begin(), runs.end());
    if (view_.width != width_ || view_.height != height_) {
        std::vector<ShownRun> gone;
        std::set_symmetric_difference(runs.begin(), runs.end(), shownRuns_.begin(),
                                      shownRuns_.end(), std::back_inserter(gone));
        for (const ShownRun& r : gone) {
            areas.push_back(SDL_Rect{r.left, r.top, r.width, r.height});
        }
    }
    shownRuns_ = std::move(runs);
    const Uint32 flip = flashing_ ? 0x00FFFFFFu : 0;
    for (const SDL_Rect& area : areas) {
        // A line of text on a slid screen may reach past the picture's bottom.
        const int x0 = intuition::DeviceEdge(std::max(area.x, 0), width_, view_.width);
        const int x1 =
            intuition::DeviceEdge(std::min(area.x + area.w, width_), width_, view_.width);
        const int y0 = intuition::DeviceEdge(std::max(area.y, 0), height_, view_.height);
        const int y1 =
            intuition::DeviceEdge(std::min(area.y + area.h, height_), height_, view_.height);
        if (x1 <= x0 || y1 <= y0) {
            continue;
        }
        // In strips, so that a whole picture does not need a second copy of itself.
        for (int top = y0; top < y1; top += kStripRows) {
            const int bottom = std::min(y1, top + kStripRows);
            device_.resize(static_cast<size_t>(x1 - x0) * (bottom - top));
            intuition::PaintDevice(frame, view_.width, view_.height, flip, x0, top, x1, bottom,
                                   device_.data(), x1 - x0);
            const SDL_Rect strip{x0, top, x1 - x0, bottom - top};
            SDL_UpdateTexture(texture_, &strip, device_.data(),
                              static_cast<int>((x1 - x0) * sizeof(Uint32)));
        }
    }
    return !areas.empty();
}

// The bands of rows of next_ that differ from what is shown, each as narrow as its changed
// columns; what is shown is then next_.
std::vector<SDL_Rect> SdlPresenter::ChangedBands() {
    std::vector<SDL_Rect> bands;
    int y = 0;
    while (y < height_) {
        const size_t at = static_cast<size_t>(y) * width_;
        if (std::memcmp(&next_[at], &visible_[at], sizeof(Uint32) * width_) == 0) {
            ++y;
            continue;
        }
        int first = width_;
        int last = -1;
        const int top = y;
        for (; y < height_; ++y) {
            const Uint32* a = &next_[static_cast<size_t>(y) * width_];
            const Uint32* b = &visible_[static_cast<size_t>(y) * width_];
            int l = 0;
            while (l < width_ && a[l] == b[l]) {
                ++l;
            }
            if (l == width_) {
                break;
            }
            int r = width_ - 1;
            while (a[r] == b[r]) {
                --r;
            }
            first = std::min(first, l);
            last = std::max(last, r);
        }
        const SDL_Rect band{first, top, last - first + 1, y - top};
        for (int row = top; row < y; ++row) {
            const size_t from = static_cast<size_t>(row) * width_ + first;
            std::memcpy(&visible_[from], &next_[from], sizeof(Uint32) * band.w);
        }
        bands.push_back(band);
    }
    return bands;
}

void SdlPresenter::Present() {
    if (!shown_ || texture_ == nullptr) {
        return;
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect target{view_.left, view_.top, view_.width, view_.height};
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
}

void SdlPresenter::UpdatePointer(const std::array<ULONG, 256>& palette) {
    const intuition::PointerImage image = intuition::ActivePointer();
    std::array<ULONG, 4> colours{};
    for (int c = 1; c < 4; ++c) {
        colours[c] = palette[kFirstSpritePen + c];
    }
    if (image.custom == pointer_.custom && pointerScale_ == view_.scale &&
        (!image.custom ||
         (image.pixels == pointer_.pixels && colours == pointerColours_ &&
          image.xOffset == pointer_.xOffset && image.yOffset == pointer_.yOffset))) {
        return;
    }
    pointer_ = image;
    pointerColours_ = colours;
    pointerScale_ = view_.scale;
    SDL_Cursor* made = nullptr;
    if (image.custom) {
        const int s = view_.scale;
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, image.width * s, image.height * s,
                                                              32, SDL_PIXELFORMAT_ARGB8888);
        if (surface != nullptr) {
            for (int y = 0; y < surface->h; ++y) {
                auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) +
                                                      static_cast<ptrdiff_t>(y) * surface->pitch);
                for (int x = 0; x < surface->w; ++x) {
                    const UBYTE c = image.pixels[static_cast<size_t>(y / s) * image.width + x / s];
                    row[x] = c == 0 ? 0 : 0xFF000000u | colours[c];
                }
            }
            // The sprite's offsets place its top-left corner relative to the hot spot.
            const int hotX = std::clamp(-image.xOffset, 0, image.width - 1);
            const int hotY = std::clamp(-image.yOffset, 0, image.height - 1);
            made = SDL_CreateColorCursor(surface, hotX * s, hotY * s);
            SDL_FreeSurface(surface);
        }
    }
    SDL_SetCursor(made != nullptr ? made : arrow_);
    if (cursor_ != nullptr) {
        SDL_FreeCursor(cursor_);
    }
    cursor_ = made;
}

}  // namespace tessella::sdl
