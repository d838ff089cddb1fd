#pragma once
// The state intuition shares between the calling tasks and its input task. One recursive lock
// guards it. Rule: never wait for a layer lock while holding this lock, because a task that
// holds its window's layer for a whole paint may call intuition meanwhile.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Presenter.h"
#include "intuition.h"
#include "platform/graphics/LayerImpl.h"

namespace tessella::intuition {

struct ScreenImpl;

struct WindowImpl : Window {
    ScreenImpl* screen = nullptr;
    Layer layer;
    RastPort rastPort{};
    std::string title;
    std::string screenTitle;
    bool hasScreenTitle = false;
    bool hasZoomBox = false;
    WORD otherBox[4] = {};  // the box ZipWindow switches to
    int mouseQueue = 5;     // a busy program gets its pointer moves merged, not piled up
    int queuedMoves = 0;
    int asleep = 0;            // requesters that put the window to sleep: its input is ignored
    unsigned long opened = 0;  // the order of opening: the program opens its main window first
};

struct ScreenImpl : Screen {
    ScreenImpl();
    ~ScreenImpl();
    ScreenImpl(const ScreenImpl&) = delete;
    ScreenImpl& operator=(const ScreenImpl&) = delete;

    std::string title;
    Layer layer;
    TextFont* font = nullptr;
    std::string fontName;
    TextAttr fontAttr{};  // what Screen.Font points at
    bool showTitle = true;
    bool fallback = false;  // the plain screen made for LockPubScreen before the program's own
    int publicLocks = 0;
    std::vector<std::shared_ptr<WindowImpl>> windows;  // back to front
};

struct IntuiMessageImpl {
    IntuiMessage message{};
    DeadKeyPrefix prefix{};
    std::weak_ptr<WindowImpl> window;  // may close before the message comes back
};

// An input event with what the desktop's layout made of it, for raw keys from a desktop window.
struct QueuedInput {
    InputEvent event{};
    DesktopKey key{};
};

// What the pointer is doing since its button went down.
enum class Gesture { None, Content, Close, Depth, Drag, Size, Gadget };

// The menu strip shown while the menu button is held: which title, item and sub-item the
// pointer is over (-1 for none), and the numbers picked so far in this press.
struct MenuSession {
    WindowImpl* window = nullptr;  // null while no strip is shown
    int menu = -1;
    int item = -1;
    int sub = -1;
    std::vector<UWORD> picks;
};

struct SysRequest;

class Intuition {
public:
    static Intuition& Get();

    std::recursive_mutex lock;
    std::condition_variable_any changed;  // events queued, taken, or messages replied

    std::vector<std::shared_ptr<ScreenImpl>> screens;  // back to front
    WindowImpl* active = nullptr;
    std::unique_ptr<Presenter> presenter = std::make_unique<HeadlessPresenter>();
    bool presenterChosen = false;
    bool desktopPresenter = false;  // presenter is the desktop window ChoosePresenter opened
    int beeps = 0;
    int outstanding = 0;  // messages sent and not yet replied
    unsigned long windowsOpened = 0;

    std::deque<QueuedInput> events;
    bool busy = false;
    bool inputTaskStarted = false;

    WORD pointerX = 0;
    WORD pointerY = 0;
    UWORD qualifier = 0;
    DeadKeyPrefix lastKeys{};
    Gesture gesture = Gesture::None;
    WindowImpl* gestureWindow = nullptr;
    int grabX = 0;
    int grabY = 0;

    Gadget* activeGadget = nullptr;  // the gadget that has the pointer or the keyboard
    WindowImpl* activeGadgetWindow = nullptr;
    MenuSession menus;
    // Gadgets to draw again once the lock is let go (drawing needs the window's layer first).
    std::vector<std::pair<std::shared_ptr<WindowImpl>, Gadget*>> redraws;
    std::vector<SysRequest*> requests;  // system requesters up, oldest first
    // The windows of requesters that have been answered but are not closed yet: until they
    // are, they still cover what lies under them.
    std::vector<const Window*> closingRequests;
    WindowImpl* alert = nullptr;  // an alert takes every mouse button while it is up

    MsgPort replyPort{};
    Interrupt replyHandler{};

    ScreenImpl* FrontScreen() const { return screens.empty() ? nullptr : screens.back().get(); }
    std::shared_ptr<WindowImpl> Find(const Window* window) const;

    // Sends a message when the window asked for the class; the caller holds the lock.
    void Send(WindowImpl* window, ULONG cls, UWORD code, const DeadKeyPrefix* prefix = nullptr);
    // The same, also to a window asleep under a requester: for what the desktop asks of the
    // program, which must wait at the port rather than be lost.
    void SendEvenAsleep(WindowImpl* window, ULONG cls, UWORD code);
    // Frees a message that came back or was dropped; the caller holds the lock.
    void Reclaim(IntuiMessageImpl* message);
    // A gadget's message: IAddress names the gadget.
    void SendGadget(WindowImpl* window, ULONG cls, UWORD code, Gadget* gadget);
    // Takes the input away from the active gadget, if any; the caller holds the lock.
    void DeactivateGadget();
    void Activate(WindowImpl* window);
    void StartInputTask();
    // Takes the desktop presenter out (the headless one serves again) so that the caller can
    // end it once the lock is let go; null when the presenter is not the desktop's. The next
    // screen to open picks a presenter again. The caller holds the lock.
    std::unique_ptr<Presenter> TakeDesktopPresenter();

private:
    Intuition();
    void Post(WindowImpl* window, ULONG cls, UWORD code, const DeadKeyPrefix* prefix,
              Gadget* gadget, bool evenAsleep = false);
};

// The program's main window on a screen: the first one it opened there that asks for the given
// IDCMP classes (any window for 0), or null. The caller holds the lock.
WindowImpl* MainWindow(const ScreenImpl* screen, ULONG idcmp = 0);
// The title the desktop window shows: the main window's screen title, or the screen's own.
std::string ProgramTitle(const ScreenImpl* screen);

// Draws the gadgets queued in Intuition::redraws; called without the intuition lock.
void FlushRedraws();

// Window geometry. SetBox clamps and applies a box under the intuition lock and reports a size
// change; FinishResize (called without the lock) reshapes the bitmap and sends the messages.
bool SetBox(WindowImpl* window, int left, int top, int width, int height);
void FinishResize(const std::shared_ptr<WindowImpl>& window, int oldWidth, int oldHeight);
void Restack(ScreenImpl* screen, const std::shared_ptr<WindowImpl>& window, size_t position);
void RelinkWindows(ScreenImpl* screen);

}  // namespace tessella::intuition
