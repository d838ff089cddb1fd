#pragma once
// The desktop window: shows the front screen at an integer scale, turns the desktop's mouse and
// keyboard into input events, shows the active window's pointer image, and flashes and sounds
// DisplayBeep. Everything SDL video does happens on the presenter's own thread.

#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AudioMixer.h"
#include "SdlKeys.h"
#include "platform/intuition/Presenter.h"

namespace tessella::sdl {

class SdlPresenter : public intuition::Presenter {
public:
    // Starts the thread and its (still hidden) window; null when SDL video cannot start.
    static std::unique_ptr<SdlPresenter> Open(std::string& error);
    ~SdlPresenter() override;
    SdlPresenter(const SdlPresenter&) = delete;
    SdlPresenter& operator=(const SdlPresenter&) = delete;

    void Beep(Screen* screen) override;
    void PointerChanged() override;
    bool ShowsWindow() const override { return true; }

    // The desktop's display is gone: called on the presenter's thread, which never leaves the
    // display library again. The program is asked to stop; nothing may wait for this thread.
    void DisplayLost();
    // Whether the calling thread is the presenter's or its watcher's, the two that talk to
    // the display.
    bool OwnsCallingThread();

    // A line of text in the picture, in screen pixels, and a digest of what it shows.
    struct ShownRun {
        int left, top, width, height;
        size_t digest;
        auto operator<=>(const ShownRun&) const = default;
    };

private:
    using Clock = std::chrono::steady_clock;

    SdlPresenter() = default;
    bool Start(std::string& error);
    void PresenterThread(std::promise<std::string>& opened);
    std::string OpenVideo();
    void WatcherThread();
    void Run();
    void Finish();
    void Wake();
    void PushWake();
    void WatchDisplay();

    // Input (SdlPresenterInput.cpp).
    void Handle(const SDL_Event& e);
    void TakeWake();
    void HandleWindow(const SDL_WindowEvent& window);
    void HandleButton(const SDL_MouseButtonEvent& button);
    void HandleDrop(const SDL_DropEvent& drop);
    void HandleKey(const SDL_KeyboardEvent& key);
    void HandleText(const SDL_TextInputEvent& text);
    bool Paste(const SDL_KeyboardEvent& key);
    void PostMouse(int x, int y, UWORD code);
    // The picture (SdlPresenterRender.cpp).
    void Render();
    void Paint(const intuition::Frame& frame);
    bool UploadChanges(const intuition::Frame& frame);
    std::vector<SDL_Rect> ChangedBands();
    void Present();
    void Resize(int width, int height);
    void Refit(int windowWidth, int windowHeight);
    void UpdatePointer(const std::array<ULONG, 256>& palette);
    void StartTone();

    std::thread thread_;
    // How the two threads end: each returns (ended), or stays for good in the display library
    // where the display's loss caught it (parked). Ending waits for one of the two. Their ids
    // are known under the same lock.
    std::mutex endLock_;
    std::condition_variable endChanged_;
    std::thread::id threadId_;
    std::thread::id watcherId_;
    bool ended_ = false;
    bool watcherEnded_ = false;
    bool presenterParked_ = false;
    bool watcherParked_ = false;
    std::atomic<bool> lost_{false};
    // Sleeps until the display changes and then wakes the presenter's thread, which can only
    // sleep in SDL's event queue.
    std::thread watcher_;
    std::mutex watchLock_;
    std::condition_variable taken_;  // the presenter took the last wake-up
    std::atomic<bool> stop_{false};
    std::atomic<bool> wakePending_{false};
    std::atomic<bool> beepPending_{false};
    // Whether the window opened in time, or the opening was given up (its thread then tidies
    // up by itself): decided once, by whichever of the two threads gets there first.
    static constexpr int kWaiting = 0;
    static constexpr int kOpened = 1;
    static constexpr int kAbandoned = 2;
    std::atomic<int> state_{kWaiting};
    Uint32 wakeEvent_ = 0;

    // Owned by the presenter's thread.
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Cursor* arrow_ = nullptr;
    SDL_Cursor* cursor_ = nullptr;
    bool shown_ = false;
    bool dirty_ = true;
    int width_ = 0;
    int height_ = 0;
    int topEdge_ = 0;
    View view_;
    std::string title_;
    std::vector<Uint32> visible_;  // what the texture holds
    std::vector<Uint32> next_;
    std::vector<ShownRun> shownRuns_;  // the lines of text the texture shows drawn again
    std::vector<Uint32> device_;       // an area being drawn at the picture's size
    Clock::time_point nextFrame_{};
    Clock::time_point flashUntil_{};
    bool flashing_ = false;
    bool beepStarting_ = false;
    intuition::PointerImage pointer_;
    std::array<ULONG, 4> pointerColours_{};
    int pointerScale_ = 0;
    UWORD lastKey_ = RAWKEY_SPACE;
    UWORD pasteKey_ = kNoRawKey;        // the key that pasted, until it comes up
    std::vector<std::string> dropped_;  // files of the drop under way, as the desktop names them
    Voice tone_;
};

// Makes a lost display end the program in order, through the presenter given (null: no more).
void CatchDisplayLoss(SdlPresenter* presenter);

}  // namespace tessella::sdl
