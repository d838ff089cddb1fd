#include "SdlPresenter.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>

#include "DisplayProbe.h"
#include "SdlSystem.h"
#include "platform/dos/StopRequests.h"
#include "platform/graphics/LayerImpl.h"
#include "platform/intuition/IntuitionState.h"
#include "platform/workbench/AppWindows.h"

namespace tessella::sdl {
namespace {

constexpr auto kFrameInterval = std::chrono::milliseconds(16);
constexpr auto kFlashTime = std::chrono::milliseconds(120);
// How long the display may take to answer, and then to open the window.
constexpr int kProbeLimitMs = 3000;
constexpr auto kOpenLimit = std::chrono::seconds(10);
// Room for the desktop's title bar above the window, so the window fits with its frame.
constexpr int kDecorationHeight = 32;

// Sprite colours 1 to 3 are pens 17 to 19 of the screen, as on the Amiga's display.
constexpr int kFirstSpritePen = 16;

// The beep: a short 880 Hz tone with soft edges, as 8-bit samples at 22,050 per second.
// Never freed: the sound thread may still be playing it while the process exits.
const std::vector<BYTE>& ToneSamples() {
    static const std::vector<BYTE>* samples = [] {
        constexpr int kRate = 22050;
        constexpr int kLength = kRate * 12 / 100;
        constexpr int kFade = kRate / 200;
        auto* s = new std::vector<BYTE>(kLength);
        for (int i = 0; i < kLength; ++i) {
            const double edge = std::min({1.0, static_cast<double>(i) / kFade,
                                          static_cast<double>(kLength - 1 - i) / kFade});
            (*s)[static_cast<size_t>(i)] = static_cast<BYTE>(
                std::lround(100.0 * edge * std::sin(2 * M_PI * 880.0 * i / kRate)));
        }
        return s;
    }();
    return *samples;
}

// The window's icon, drawn here: a padlock whose body is tiled in two blues, with a gold
// shackle and a dark keyhole, on a transparent ground.
SDL_Surface* MakeIcon() {
    constexpr int kSize = 48;
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormat(0, kSize, kSize, 32, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr) {
        return nullptr;
    }
    constexpr Uint32 kClear = 0x00000000;
    constexpr Uint32 kGold = 0xFFF2BF33;
    constexpr Uint32 kDark = 0xFF1A2433;
    constexpr Uint32 kBlue = 0xFF3366AA;
    constexpr Uint32 kLight = 0xFF6699CC;
    const auto pixel = [](int x, int y) -> Uint32 {
        const double dx = x + 0.5 - 24;
        const double dy = y + 0.5 - 21;
        const double r = std::sqrt(dx * dx + dy * dy);
        const bool body = x >= 7 && x <= 40 && y >= 22 && y <= 44;
        if (body) {
            const bool edge = x == 7 || x == 40 || y == 22 || y == 44;
            const double kx = x + 0.5 - 24;
            const double ky = y + 0.5 - 31;
            const bool keyhole =
                kx * kx + ky * ky <= 9 || (std::abs(kx) <= 1.5 && y >= 31 && y <= 38);
            if (edge || keyhole) {
                return kDark;
            }
            // Tiles of triangles: each 8-pixel square cut along its diagonal.
            const int tx = (x - 8) % 8;
            const int ty = (y - 23) % 8;
            return ((tx > ty) != ((((x - 8) / 8) + ((y - 23) / 8)) % 2 == 0)) ? kBlue : kLight;
        }
        const bool shackle =
            dy <= 0 ? (r >= 10 && r <= 15) : (std::abs(std::abs(dx) - 12.5) <= 2.5 && y < 22);
        return shackle ? kGold : kClear;
    };
    for (int y = 0; y < kSize; ++y) {
        auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(icon->pixels) +
                                              static_cast<ptrdiff_t>(y) * icon->pitch);
        for (int x = 0; x < kSize; ++x) {
            row[x] = pixel(x, y);
        }
    }
    return icon;
}

// Keeps every library loaded so far in the process for good. SDL loads the desktop's graphics
// driver with its video and unloads it when the video stops (the last screen closed); such
// drivers keep threads and exit handlers of their own and are not made to be unloaded, and
// the leak checker can no longer name what an unloaded library left behind.
void PinLoadedLibraries() {
    std::vector<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                static_cast<std::vector<std::string>*>(data)->push_back(info->dlpi_name);
            }
            return 0;
        },
        &names);
    for (const std::string& name : names) {
        dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

// Xlib calls this when the connection to the display breaks, and ends the process if it
// returns. The presenter's thread or its watcher, the two that talk to the display, stays here
// for good; the program hears of it as a request to stop and ends in its own order.
struct XDisplayHandle;
using XIOErrorHandler = int (*)(XDisplayHandle*);
std::atomic<SdlPresenter*> watchedPresenter{nullptr};

[[noreturn]] void EndAtOnce() {
    static const char kMessage[] = "The desktop's display was lost.\n";
    (void)!::write(2, kMessage, sizeof(kMessage) - 1);
    ::_exit(1);
}

int OnDisplayLost(XDisplayHandle* /*display*/) {
    SdlPresenter* presenter = watchedPresenter.load();
    // With nobody to hear a request to stop, or on a thread of which nothing is known, the
    // only safe way on is the way Xlib would go, without its exit handlers.
    if (presenter == nullptr || !presenter->OwnsCallingThread() || !StopSignalsCaught()) {
        EndAtOnce();
    }
    presenter->DisplayLost();
    dos::RequestStop(STOP_DISPLAYLOST);
    for (;;) {
        ::pause();
    }
}

}  // namespace

void CatchDisplayLoss(SdlPresenter* presenter) {
    watchedPresenter = presenter;
    if (presenter == nullptr) {
        return;
    }
    // SDL loads the X library itself, when the desktop is an X one.
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (x11 == nullptr) {
        return;
    }
    using Setter = XIOErrorHandler (*)(XIOErrorHandler);
    if (auto set = reinterpret_cast<Setter>(dlsym(x11, "XSetIOErrorHandler"))) {
        set(&OnDisplayLost);
    }
    dlclose(x11);
}

std::unique_ptr<SdlPresenter> SdlPresenter::Open(std::string& error) {
    std::unique_ptr<SdlPresenter> p(new SdlPresenter);
    if (!p->Start(error)) {
        if (p->state_ == kAbandoned) {
            // Its thread is still inside SDL and will use it once it gets out: it is left to
            // that thread, which then tidies up and ends.
            p.release();
        }
        return nullptr;
    }
    return p;
}

bool SdlPresenter::Start(std::string& error) {
    auto opened = std::make_shared<std::promise<std::string>>();
    std::future<std::string> result = opened->get_future();
    thread_ = std::thread([this, opened] {
        {
            const std::lock_guard guard(endLock_);
            threadId_ = std::this_thread::get_id();
        }
        std::string problem;
        // Only a desktop will do: SDL's other drivers (the console's, off-screen ones) would
        // show the user nothing.
        const char* display = std::getenv("DISPLAY");
        SDL_SetHint(SDL_HINT_VIDEODRIVER, display != nullptr && *display ? "x11" : "wayland");
        if (!StartSubSystem(SDL_INIT_VIDEO)) {
            problem = SDL_GetError();
        } else if (const char* driver = SDL_GetCurrentVideoDriver();
                   driver == nullptr ||
                   (std::strcmp(driver, "x11") != 0 && std::strcmp(driver, "wayland") != 0)) {
            problem = std::string("no desktop video driver (") + (driver ? driver : "none") + ")";
            StopSubSystem(SDL_INIT_VIDEO);
        } else {
            SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
            wakeEvent_ = SDL_RegisterEvents(1);
            window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600,
                                       SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
            if (window_ != nullptr) {
                if (SDL_Surface* icon = MakeIcon()) {
                    SDL_SetWindowIcon(window_, icon);
                    SDL_FreeSurface(icon);
                }
                renderer_ = SDL_CreateRenderer(window_, -1, 0);
                if (renderer_ == nullptr) {
                    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
                }
            }
            if (window_ == nullptr || renderer_ == nullptr || wakeEvent_ == Uint32(-1)) {
                problem = SDL_GetError();
                Finish();
            }
        }
        const bool ok = problem.empty();
        if (ok) {
            PinLoadedLibraries();
            CatchDisplayLoss(this);
        }
        opened->set_value(problem);
        if (!ok) {
            return;
        }
        int waiting = kWaiting;
        if (state_.compare_exchange_strong(waiting, kOpened)) {
            Run();
        }
        Finish();
        const std::lock_guard guard(endLock_);
        ended_ = true;
        endChanged_.notify_all();
    });
    // The display was seen to answer, but a desktop can still stall the opening of a window:
    // past this limit the program goes on without one.
    int waiting = kWaiting;
    if (result.wait_for(kOpenLimit) != std::future_status::ready &&
        state_.compare_exchange_strong(waiting, kAbandoned)) {
        thread_.detach();
        error = "the display did not let a window open";
        return false;
    }
    error = result.get();
    if (!error.empty()) {
        thread_.join();
        return false;
    }
    watcher_ = std::thread([this] {
        {
            const std::lock_guard guard(endLock_);
            watcherId_ = std::this_thread::get_id();
        }
        WatchDisplay();
        const std::lock_guard guard(endLock_);
        watcherEnded_ = true;
        endChanged_.notify_all();
    });
    graphics::TouchDisplay();  // the first picture
    return true;
}

void SdlPresenter::WatchDisplay() {
    uint64_t seen = graphics::DisplayGeneration();
    while (!stop_) {
        seen = graphics::WaitDisplayChange(seen);
        if (stop_) {
            return;
        }
        Wake();
        // Until the presenter has taken this wake-up, further changes need no other one.
        std::unique_lock guard(watchLock_);
        taken_.wait(guard, [this] { return stop_ || !wakePending_; });
    }
}

SdlPresenter::~SdlPresenter() {
    {
        std::lock_guard guard(watchLock_);
        stop_ = true;
    }
    taken_.notify_all();
    // A thread that stayed in the display library when the display was lost is left there: it
    // touches nothing of ours again. Any other is waited for.
    const auto end = [this](std::thread& thread, const bool& ended, const bool& parked) {
        if (!thread.joinable()) {
            return;
        }
        bool stays = false;
        {
            std::unique_lock guard(endLock_);
            endChanged_.wait(guard, [&] { return ended || parked; });
            stays = !ended;
        }
        if (stays) {
            thread.detach();
        } else {
            thread.join();
        }
    };
    if (watcher_.joinable()) {
        graphics::TouchDisplay();  // lets the watcher out of its wait
    }
    end(watcher_, watcherEnded_, watcherParked_);
    if (thread_.joinable() && !lost_) {
        PushWake();  // lets the presenter out of its wait for events
    }
    end(thread_, ended_, presenterParked_);
    CatchDisplayLoss(nullptr);
}

void SdlPresenter::DisplayLost() {
    lost_ = true;
    const std::lock_guard guard(endLock_);
    if (std::this_thread::get_id() == watcherId_) {
        watcherParked_ = true;
    } else {
        presenterParked_ = true;
    }
    endChanged_.notify_all();
}

bool SdlPresenter::OwnsCallingThread() {
    const std::lock_guard guard(endLock_);
    const std::thread::id self = std::this_thread::get_id();
    return self == threadId_ || self == watcherId_;
}

void SdlPresenter::Finish() {
    AudioMixer::Get().Stop(&tone_);
    if (cursor_ != nullptr) {
        SDL_FreeCursor(cursor_);
        cursor_ = nullptr;
    }
    if (arrow_ != nullptr) {
        SDL_FreeCursor(arrow_);
        arrow_ = nullptr;
    }
    if (texture_ != nullptr) {
        SDL_DestroyTexture(texture_);
        texture_ = nullptr;
    }
    if (renderer_ != nullptr) {
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    StopSubSystem(SDL_INIT_VIDEO);
}

// One wake-up event at a time: the presenter composes everything that changed since. Only
// the watcher pushes it (and the presenter's end): pushing an event talks to the display, and
// no other thread of the program may be caught there when the display goes.
void SdlPresenter::Wake() {
    if (wakePending_.exchange(true)) {
        return;
    }
    PushWake();
}

void SdlPresenter::PushWake() {
    if (lost_ || wakeEvent_ == 0 || wakeEvent_ == Uint32(-1)) {
        return;
    }
    SDL_Event e{};
    e.type = wakeEvent_;
    SDL_PushEvent(&e);
}

void SdlPresenter::Beep(Screen* /*screen*/) {
    beepPending_ = true;
    graphics::TouchDisplay();
}

void SdlPresenter::PointerChanged() {
    graphics::TouchDisplay();
}

void SdlPresenter::Run() {
    SDL_StartTextInput();
    arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    while (!stop_) {
        // Wait for an event; while a frame is due or a flash must end, wait no longer than that.
        const auto now = Clock::now();
        Clock::time_point until = Clock::time_point::max();
        if (dirty_) {
            until = std::max(now, nextFrame_);
        }
        if (flashing_) {
            until = std::min(until, flashUntil_);
        }
        SDL_Event e;
        int got;
        if (until == Clock::time_point::max()) {
            got = SDL_WaitEvent(&e);
        } else {
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
            got = ms > 0 ? SDL_WaitEventTimeout(&e, static_cast<int>(ms)) : SDL_PollEvent(&e);
        }
        if (got) {
            Handle(e);
            while (!stop_ && SDL_PollEvent(&e)) {
                Handle(e);
            }
        }
        if (flashing_ && Clock::now() >= flashUntil_) {
            flashing_ = false;
            dirty_ = true;
        }
        if (dirty_ && Clock::now() >= nextFrame_ && !stop_) {
            dirty_ = false;
            if (beepStarting_) {
                flashing_ = true;
                flashUntil_ = Clock::now() + kFlashTime;
            }
            Render();
            nextFrame_ = Clock::now() + kFrameInterval;
        }
        // The tone starts once the flash shows: opening the sound output the first time can
        // take a while.
        if (beepStarting_ && flashing_) {
            beepStarting_ = false;
            StartTone();
        }
    }
}

void SdlPresenter::Handle(const SDL_Event& e) {
    if (e.type == wakeEvent_) {
        {
            std::lock_guard guard(watchLock_);
            wakePending_ = false;
        }
        taken_.notify_all();
        dirty_ = true;
        if (beepPending_.exchange(false)) {
            beepStarting_ = true;
        }
        return;
    }
    switch (e.type) {
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                InputEvent close{};
                close.ie_Class = IECLASS_CLOSEWINDOW;
                intuition::PostInputEvent(close);
            } else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                // Smaller than the screen would cut it off: a desktop that ignores the minimum
                // size gets the window back at that size.
                if (width_ > 0 && (e.window.data1 < width_ || e.window.data2 < height_)) {
                    SDL_SetWindowSize(window_, std::max(e.window.data1, width_),
                                      std::max(e.window.data2, height_));
                    return;
                }
                view_ = Fit(e.window.data1, e.window.data2, width_, height_);
                Present();
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                Present();
            }
            return;
        case SDL_MOUSEMOTION:
            PostMouse(e.motion.x, e.motion.y, IECODE_NOBUTTON);
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            UWORD code;
            switch (e.button.button) {
                case SDL_BUTTON_LEFT:
                    code = IECODE_LBUTTON;
                    break;
                case SDL_BUTTON_RIGHT:
                    code = IECODE_RBUTTON;
                    break;
                case SDL_BUTTON_MIDDLE:
                    code = IECODE_MBUTTON;
                    break;
                default:
                    return;
            }
            if (e.type == SDL_MOUSEBUTTONUP) {
                code |= IECODE_UP_PREFIX;
            }
            PostMouse(e.button.x, e.button.y, code);
            return;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            HandleKey(e.key);
            return;
        case SDL_TEXTINPUT:
            HandleText(e.text);
            return;
        // Files dropped together arrive one by one between a beginning and an end; the
        // program gets them as one drop.
        case SDL_DROPBEGIN:
            dropped_.clear();
            return;
        case SDL_DROPFILE:
            if (e.drop.file != nullptr) {
                dropped_.emplace_back(e.drop.file);
                SDL_free(e.drop.file);
            }
            return;
        case SDL_DROPCOMPLETE:
            if (!dropped_.empty()) {
                workbench::DeliverDrop(dropped_);
            }
            dropped_.clear();
            return;
        default:
            return;
    }
}

void SdlPresenter::PostMouse(int x, int y, UWORD code) {
    if (width_ <= 0 || height_ <= 0) {
        return;
    }
    InputEvent e{};
    e.ie_Class = IECLASS_RAWMOUSE;
    e.ie_Code = code;
    int sx;
    int sy;
    ToScreen(view_, width_, height_, x, y - topEdge_ * view_.scale, sx, sy);
    e.ie_X = static_cast<WORD>(sx);
    e.ie_Y = static_cast<WORD>(sy);
    intuition::PostInputEvent(e);
}

void SdlPresenter::HandleKey(const SDL_KeyboardEvent& key) {
    const SDL_Scancode scancode = key.keysym.scancode;
    const UWORD raw = RawKeyFor(scancode);
    // Caps Lock travels as a qualifier only: the desktop keeps its state, and a key event for
    // it would make the input task toggle a second copy that can disagree with the desktop's.
    if (raw == kNoRawKey || scancode == SDL_SCANCODE_CAPSLOCK) {
        return;
    }
    InputEvent e{};
    e.ie_Class = IECLASS_RAWKEY;
    e.ie_Qualifier = QualifierFor(key.keysym.mod, scancode);
    if (key.repeat) {
        e.ie_Qualifier |= IEQUALIFIER_REPEAT;
    }
    DesktopKey desktop{};
    desktop.known = 1;
    if (key.state == SDL_RELEASED && raw == pasteKey_) {
        pasteKey_ = kNoRawKey;  // the paste key's release belongs to the paste too
        return;
    }
    if (key.state == SDL_PRESSED && Paste(key)) {
        pasteKey_ = raw;
        return;
    }
    if (key.state == SDL_RELEASED) {
        e.ie_Code = raw | IECODE_UP_PREFIX;
        intuition::PostInputEvent(e, desktop);
        return;
    }
    e.ie_Code = raw;
    lastKey_ = raw;
    // The layout's character arrives as a text event right after the key that typed it.
    std::string text;
    SDL_Event next;
    if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
        next.type == SDL_TEXTINPUT) {
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
        text = Latin1Of(next.text.text);
    } else if ((key.keysym.mod & KMOD_CTRL) && key.keysym.sym >= 'a' && key.keysym.sym <= 'z') {
        // SDL gives no text for control characters; the letter comes from the layout.
        text.push_back(static_cast<char>(key.keysym.sym & 0x1F));
    }
    desktop.length = static_cast<UBYTE>(std::min(text.size(), sizeof(desktop.chars)));
    std::memcpy(desktop.chars, text.data(), desktop.length);
    // The layout's own letter for the key, which menu command keys go by.
    if (key.keysym.sym >= 0x20 && key.keysym.sym <= 0xFF && key.keysym.sym != 0x7F) {
        desktop.plain = static_cast<UBYTE>(key.keysym.sym);
    }
    intuition::PostInputEvent(e, desktop);
}

// Ctrl+V, Shift+Insert and Amiga+V paste the desktop's clipboard text, when intuition agrees.
bool SdlPresenter::Paste(const SDL_KeyboardEvent& key) {
    const Uint16 mod = key.keysym.mod;
    const bool ctrl = (mod & KMOD_CTRL) && !(mod & (KMOD_ALT | KMOD_GUI));
    const bool amiga = (mod & KMOD_GUI) && !(mod & (KMOD_ALT | KMOD_CTRL));
    const bool v = key.keysym.sym == SDLK_v;
    const bool shiftInsert = key.keysym.scancode == SDL_SCANCODE_INSERT && (mod & KMOD_SHIFT) &&
                             !(mod & (KMOD_ALT | KMOD_CTRL | KMOD_GUI));
    if (!(shiftInsert || (v && (ctrl || amiga))) ||
        !intuition::PasteWanted(amiga && !shiftInsert, shiftInsert ? 0 : 'v')) {
        return false;
    }
    // Ask the clipboard only now: its owner may be slow, and each paste needs the text anew.
    char* clip = SDL_GetClipboardText();
    if (clip != nullptr) {
        intuition::PostPaste(intuition::PasteText(clip));
        SDL_free(clip);
    }
    return true;
}

// Text that follows no key (an input method's result, or a key SDL could not place) is typed
// on the last key pressed, as a press and a release.
void SdlPresenter::HandleText(const SDL_TextInputEvent& input) {
    const std::string text = Latin1Of(input.text);
    if (text.empty()) {
        return;
    }
    DesktopKey desktop{};
    desktop.known = 1;
    desktop.length = static_cast<UBYTE>(std::min(text.size(), sizeof(desktop.chars)));
    std::memcpy(desktop.chars, text.data(), desktop.length);
    InputEvent e{};
    e.ie_Class = IECLASS_RAWKEY;
    e.ie_Code = lastKey_;
    e.ie_Qualifier = QualifierFor(SDL_GetModState(), SDL_SCANCODE_UNKNOWN);
    intuition::PostInputEvent(e, desktop);
    e.ie_Code = lastKey_ | IECODE_UP_PREFIX;
    DesktopKey release{};
    release.known = 1;
    intuition::PostInputEvent(e, release);
}

void SdlPresenter::Resize(int width, int height) {
    width_ = width;
    height_ = height;
    SDL_Rect usable{0, 0, width, height};
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    SDL_GetDisplayUsableBounds(display, &usable);
    const int scale = ScaleFor(usable.w, usable.h - kDecorationHeight, width, height);
    SDL_SetWindowMinimumSize(window_, width, height);
    SDL_SetWindowSize(window_, width * scale, height * scale);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    int w;
    int h;
    SDL_GetWindowSize(window_, &w, &h);
    view_ = Fit(w, h, width, height);
    if (texture_ != nullptr) {
        SDL_DestroyTexture(texture_);
    }
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 width, height);
    // A new texture holds nothing yet. Every pixel shown is opaque, so a transparent one makes
    // every pixel count as changed.
    visible_.assign(static_cast<size_t>(width) * height, 0);
}

void SdlPresenter::Render() {
    intuition::Frame frame;
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
    // The picture as it is seen: the slid-away part is black, and a flash shows the
    // complement of every colour.
    const Uint32 flip = flashing_ ? 0x00FFFFFFu : 0;
    next_.resize(visible_.size());
    for (int y = 0; y < height_; ++y) {
        Uint32* row = &next_[static_cast<size_t>(y) * width_];
        const int source = y - topEdge_;
        if (source < 0) {
            std::fill(row, row + width_, 0xFF000000u ^ flip);
            continue;
        }
        const UBYTE* pens = &frame.pens[static_cast<size_t>(source) * width_];
        for (int x = 0; x < width_; ++x) {
            row[x] = (0xFF000000u | frame.palette[pens[x]]) ^ flip;
        }
    }
    // Upload only the bands of rows that changed, each as narrow as its changed columns.
    bool changed = false;
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
        SDL_UpdateTexture(texture_, &band, &next_[static_cast<size_t>(top) * width_ + first],
                          static_cast<int>(width_ * sizeof(Uint32)));
        for (int row = top; row < y; ++row) {
            const size_t from = static_cast<size_t>(row) * width_ + first;
            std::memcpy(&visible_[from], &next_[from], sizeof(Uint32) * band.w);
        }
        changed = true;
    }
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

void SdlPresenter::Present() {
    if (!shown_ || texture_ == nullptr) {
        return;
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect target{view_.left, view_.top, width_ * view_.scale, height_ * view_.scale};
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

void SdlPresenter::StartTone() {
    AudioMixer& mixer = AudioMixer::Get();
    if (!mixer.Open()) {
        return;  // no sound output: the flash alone
    }
    mixer.Stop(&tone_);
    const std::vector<BYTE>& samples = ToneSamples();
    tone_.samples = samples.data();
    tone_.length = static_cast<ULONG>(samples.size());
    tone_.rate = 22050;
    tone_.volume = 32;
    tone_.cycles = 1;
    mixer.Start(&tone_);
}

namespace {

// The desktop window, where a display answers: X11 when DISPLAY is set (asked first, with a
// time limit, as a dead X server would hang the library), otherwise Wayland.
std::unique_ptr<intuition::Presenter> OpenDesktop(std::string& error) {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    error = "no DISPLAY or WAYLAND_DISPLAY";
    const bool hasX11 = x11 != nullptr && *x11 != '\0';
    if ((hasX11 && XServerAnswers(x11, kProbeLimitMs, error)) ||
        (!hasX11 && wayland != nullptr && *wayland != '\0')) {
        return SdlPresenter::Open(error);
    }
    return nullptr;
}

[[maybe_unused]] const bool registered = intuition::RegisterDesktop(&OpenDesktop);

}  // namespace
}  // namespace tessella::sdl
