#pragma once
// System requesters: small windows that intuition (and asl) open for a calling task and run
// on that task until they are answered. Each one that is up is listed, so that the test
// interface can find what it shows and answer it with the pointer and keys, as a user would.

#include <string>
#include <vector>

#include "gadtools.h"

namespace tessella::intuition {

struct SysRequest {
    enum class Kind { Easy, Alert, File, Font };
    Kind kind = Kind::Easy;
    Window* window = nullptr;
    std::string title;
    std::string text;
    std::vector<Gadget*> buttons;  // left to right
    std::vector<std::string> labels;
    // The file requester's fields and what its list shows.
    Gadget* drawerField = nullptr;
    Gadget* fileField = nullptr;
    Gadget* patternField = nullptr;
    Gadget* list = nullptr;
    std::string drawer;
    std::string file;
    std::vector<std::string> entries;
    int handled = 0;  // messages the requester has dealt with
};

// Lists or unlists a requester that is up; the caller does not hold the intuition lock.
void ShowRequest(SysRequest* request);
void HideRequest(SysRequest* request);
// Counts one more message dealt with by a listed requester (null: none).
void Handled(SysRequest* request);
// Changes what a listed requester reports (its drawer, file and entries).
void UpdateRequest(SysRequest* request, const std::string& drawer, const std::string& file,
                   const std::vector<std::string>& entries);

// Waits for a message to a requester's window, or for a request to stop the program; false
// once a stop is requested.
bool WaitRequesterInput(const Window* window);

// A requester window on the parent's screen (or the default public screen), centred over the
// parent, with gadgets laid out by its maker. Closing it gives the activation back.
class RequesterWindow {
public:
    explicit RequesterWindow(Window* parent);
    ~RequesterWindow();
    RequesterWindow(const RequesterWindow&) = delete;
    RequesterWindow& operator=(const RequesterWindow&) = delete;

    Screen* GetScreen() const { return screen_; }
    TextFont* Font() const;
    APTR Visual() const { return visual_; }
    Window* Handle() const { return window_; }

    // Opens the window with an inner area of the given size; false when it cannot.
    bool Open(const char* title, int innerWidth, int innerHeight, ULONG extraIdcmp = 0);
    // A NewGadget placed in the inner area.
    NewGadget At(int left, int top, int width, int height, UWORD id, const char* text = nullptr,
                 ULONG flags = 0) const;
    // Creates a gadget at the end of the window's list, shown at once.
    Gadget* Add(ULONG kind, const NewGadget& ng, const TagItem* tags);
    // Counts the messages it deals with in the listed requester.
    void Track(SysRequest* request) { tracked_ = request; }
    // Waits for a message to the window, or for a request to stop the program; false once a
    // stop is requested, when no requester waits for its answer any more.
    bool WaitInput() const { return WaitRequesterInput(window_); }
    // Runs until handle returns false, giving it every message of the window, or until the
    // program is asked to stop.
    template <typename Handler>
    void Run(Handler handle) {
        for (;;) {
            IntuiMessage* m = GT_GetIMsg(window_->UserPort);
            if (m == nullptr) {
                if (!WaitInput()) {
                    return;
                }
                continue;
            }
            const bool more = handle(*m);
            GT_ReplyIMsg(m);
            Handled(tracked_);
            if (!more) {
                return;
            }
        }
    }

    // Gives handle the messages that have arrived, without waiting, until it returns false.
    template <typename Handler>
    void Drain(Handler handle) {
        while (IntuiMessage* m = GT_GetIMsg(window_->UserPort)) {
            const bool more = handle(*m);
            GT_ReplyIMsg(m);
            Handled(tracked_);
            if (!more) {
                return;
            }
        }
    }

private:
    Window* parent_;
    Screen* screen_ = nullptr;
    bool lockedPublic_ = false;
    APTR visual_ = nullptr;
    Window* window_ = nullptr;
    Window* previouslyActive_ = nullptr;
    Gadget* gadgets_ = nullptr;
    Gadget* last_ = nullptr;
    SysRequest* tracked_ = nullptr;
};

// The window that has the input now, or null.
Window* ActiveWindowNow();

// Makes a window the one that takes every mouse button, as an alert does (null: none).
void CaptureButtons(Window* window);

// Puts a window to sleep (its input is ignored) or wakes it; nests.
void SleepWindow(Window* window, bool asleep);

// Text in the requester's font at the inner position given, in the text pen.
void RequesterText(Window* window, TextFont* font, int x, int y, const std::string& text);

}  // namespace tessella::intuition
