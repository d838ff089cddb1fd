// The presenter's thread and its window: opening them, waking the thread when the display
// changes, the beep, and the end, also when the display is lost.
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

namespace tessella::sdl {
namespace {

constexpr auto kFrameInterval = std::chrono::milliseconds(16);
constexpr auto kFlashTime = std::chrono::milliseconds(120);
// How long the display may take to answer, and then to open the window.
constexpr int kProbeLimitMs = 3000;
constexpr auto kOpenLimit = std::chrono::seconds(10);
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
    thread_ = std::thread([this, opened] { PresenterThread(*opened); });
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
    watcher_ = std::thread([this] { WatcherThread(); });
    graphics::TouchDisplay();  // the first picture
    return true;
}

// Opens the window, tells the opener how that went, and then runs until the presenter ends,
// unless the opener gave up waiting.
void SdlPresenter::PresenterThread(std::promise<std::string>& opened) {
    {
        const std::lock_guard guard(endLock_);
        threadId_ = std::this_thread::get_id();
    }
    const std::string problem = OpenVideo();
    const bool ok = problem.empty();
    if (ok) {
        PinLoadedLibraries();
        CatchDisplayLoss(this);
    }
    opened.set_value(problem);
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
}

// SDL video on the desktop, the wake-up event, and the hidden window with its icon and
// renderer. Returns what went wrong, or nothing; a failure leaves nothing open.
std::string SdlPresenter::OpenVideo() {
    // Only a desktop will do: SDL's other drivers (the console's, off-screen ones) would show
    // the user nothing.
    const char* display = std::getenv("DISPLAY");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, display != nullptr && *display ? "x11" : "wayland");
    if (!StartSubSystem(SDL_INIT_VIDEO)) {
        return FailureOf("SDL_InitSubSystem");
    }
    if (const char* driver = SDL_GetCurrentVideoDriver();
        driver == nullptr ||
        (std::strcmp(driver, "x11") != 0 && std::strcmp(driver, "wayland") != 0)) {
        std::string problem =
            std::string("no desktop video driver (") + (driver ? driver : "none") + ")";
        StopSubSystem(SDL_INIT_VIDEO);
        return problem;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // An 800 x 600 screen of 256 pens is drawn by the processor faster than a GL stack loads:
    // the software renderer, on the window's own framebuffer, keeps the program at about a
    // fifth of the memory and without the GL driver's threads. These are defaults: the
    // environment's SDL_RENDER_DRIVER and SDL_FRAMEBUFFER_ACCELERATION still choose otherwise.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
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
        std::string problem = FailureOf(window_ == nullptr     ? "SDL_CreateWindow"
                                        : renderer_ == nullptr ? "SDL_CreateRenderer"
                                                               : "SDL_RegisterEvents");
        Finish();
        return problem;
    }
    return {};
}

void SdlPresenter::WatcherThread() {
    {
        const std::lock_guard guard(endLock_);
        watcherId_ = std::this_thread::get_id();
    }
    WatchDisplay();
    const std::lock_guard guard(endLock_);
    watcherEnded_ = true;
    endChanged_.notify_all();
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
