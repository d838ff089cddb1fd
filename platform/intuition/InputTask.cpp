// The input task: takes input events one at a time, moves the pointer, activates, drags and
// depth-arranges windows, and turns what remains into IDCMP messages.
#include <pthread.h>

#include <algorithm>
#include <array>

#include "FrameLook.h"
#include "GadgetClass.h"
#include "IntuitionState.h"
#include "MenuStrip.h"

namespace tessella::intuition {
namespace {

bool Inside(const Window* w, int x, int y) {
    return x >= w->LeftEdge && y >= w->TopEdge && x < w->LeftEdge + w->Width &&
           y < w->TopEdge + w->Height;
}

// The window under the pointer; the screen's title bar covers backdrop windows.
WindowImpl* WindowAt(ScreenImpl* s, int x, int y) {
    for (auto it = s->windows.rbegin(); it != s->windows.rend(); ++it) {
        WindowImpl* w = it->get();
        if (!Inside(w, x, y)) {
            continue;
        }
        if ((w->Flags & WFLG_BACKDROP) && s->showTitle && y < s->BarHeight) {
            return nullptr;
        }
        return w;
    }
    return nullptr;
}

// Asleep under a system requester, or holding requesters of the program's own: its gadgets and
// menus take no input.
bool Blocked(const WindowImpl* w) {
    return w->asleep > 0 || w->ReqCount > 0;
}

Gesture FrameGadgetAt(const WindowImpl* w, int x, int y) {
    const int rx = x - w->LeftEdge;
    const int ry = y - w->TopEdge;
    if ((w->Flags & WFLG_BORDERLESS) == 0 && ry < w->BorderTop &&
        look::HasTitleBar(w->Flags, !w->title.empty())) {
        if ((w->Flags & WFLG_CLOSEGADGET) && rx < look::kGadgetWidth) {
            return Gesture::Close;
        }
        if ((w->Flags & WFLG_DEPTHGADGET) && rx >= w->Width - look::kGadgetWidth) {
            return Gesture::Depth;
        }
        if (w->Flags & WFLG_DRAGBAR) {
            return Gesture::Drag;
        }
    }
    if ((w->Flags & WFLG_SIZEGADGET) && rx >= w->Width - look::kSizeGadgetWidth &&
        ry >= w->Height - look::kSizeGadgetHeight) {
        return Gesture::Size;
    }
    return Gesture::Content;
}

constexpr UWORD kKeyboardQualifiers = IEQUALIFIER_LSHIFT | IEQUALIFIER_RSHIFT |
                                      IEQUALIFIER_CAPSLOCK | IEQUALIFIER_CONTROL |
                                      IEQUALIFIER_LALT | IEQUALIFIER_RALT | IEQUALIFIER_LCOMMAND |
                                      IEQUALIFIER_RCOMMAND | IEQUALIFIER_REPEAT;

UWORD ButtonQualifier(UWORD code) {
    switch (code & ~IECODE_UP_PREFIX) {
        case IECODE_LBUTTON:
            return IEQUALIFIER_LEFTBUTTON;
        case IECODE_RBUTTON:
            return IEQUALIFIER_RBUTTON;
        case IECODE_MBUTTON:
            return IEQUALIFIER_MIDBUTTON;
        default:
            return 0;
    }
}

UWORD KeyQualifier(UWORD key) {
    switch (key) {
        case RAWKEY_LSHIFT:
            return IEQUALIFIER_LSHIFT;
        case RAWKEY_RSHIFT:
            return IEQUALIFIER_RSHIFT;
        case RAWKEY_CONTROL:
            return IEQUALIFIER_CONTROL;
        case RAWKEY_LALT:
            return IEQUALIFIER_LALT;
        case RAWKEY_RALT:
            return IEQUALIFIER_RALT;
        case RAWKEY_LAMIGA:
            return IEQUALIFIER_LCOMMAND;
        case RAWKEY_RAMIGA:
            return IEQUALIFIER_RCOMMAND;
        default:
            return 0;
    }
}

struct PendingResize {
    std::shared_ptr<WindowImpl> window;
    int oldWidth = 0;
    int oldHeight = 0;
};

class InputHandler {
public:
    explicit InputHandler(Intuition& in) : in_(in) {}

    // Runs under the intuition lock; a resize it starts is finished by the caller after.
    PendingResize Handle(const InputEvent& e, const DesktopKey& desktopKey) {
        switch (e.ie_Class) {
            case IECLASS_RAWMOUSE:
                Pointer(e.ie_X, e.ie_Y);
                if (e.ie_Code != IECODE_NOBUTTON) {
                    return Button(e.ie_Code);
                }
                return {};
            case IECLASS_RAWKEY:
                Key(e.ie_Code, e.ie_Qualifier, desktopKey);
                return {};
            case IECLASS_CLOSEWINDOW:
                CloseRequest();
                return {};
            case IECLASS_DISKINSERTED:
                for (const auto& s : in_.screens) {
                    for (const auto& w : s->windows) {
                        in_.Send(w.get(), IDCMP_DISKINSERTED, 0);
                    }
                }
                return {};
            default:
                return {};
        }
    }

private:
    void Pointer(int x, int y) {
        ScreenImpl* s = in_.FrontScreen();
        if (s == nullptr) {
            return;
        }
        x = std::clamp(x, 0, s->Width - 1);
        y = std::clamp(y, 0, s->Height - 1);
        const bool moved = x != in_.pointerX || y != in_.pointerY;
        in_.pointerX = static_cast<WORD>(x);
        in_.pointerY = static_cast<WORD>(y);
        s->MouseX = static_cast<WORD>(x);
        s->MouseY = static_cast<WORD>(y);
        for (const auto& w : s->windows) {
            w->MouseX = static_cast<WORD>(x - w->LeftEdge);
            w->MouseY = static_cast<WORD>(y - w->TopEdge);
            w->GZZMouseX = static_cast<WORD>(w->MouseX - w->BorderLeft);
            w->GZZMouseY = static_cast<WORD>(w->MouseY - w->BorderTop);
        }
        if (!moved) {
            return;
        }
        if (in_.menus.window != nullptr) {
            menus::Hover(in_.menus, x, y);
            Shown();
            return;
        }
        if (in_.gesture == Gesture::Gadget) {
            ToGadget(GadgetInput::Kind::Move);
            return;
        }
        if (in_.gesture == Gesture::Drag && in_.gestureWindow != nullptr) {
            WindowImpl* w = in_.gestureWindow;
            SetBox(w, x - in_.grabX, y - in_.grabY, w->Width, w->Height);
            return;
        }
        if (in_.gesture == Gesture::Size || in_.gesture == Gesture::Close ||
            in_.gesture == Gesture::Depth) {
            return;  // the frame gadget keeps the pointer until the button comes up
        }
        WindowImpl* a = in_.active;
        if (a != nullptr && (a->Flags & WFLG_REPORTMOUSE)) {
            in_.Send(a, IDCMP_MOUSEMOVE, IECODE_NOBUTTON);
        }
    }

    PendingResize Button(UWORD code) {
        const bool up = code & IECODE_UP_PREFIX;
        const UWORD button = code & ~IECODE_UP_PREFIX;
        if (up) {
            in_.qualifier &= ~ButtonQualifier(code);
        } else {
            in_.qualifier |= ButtonQualifier(code);
        }
        if (in_.alert != nullptr) {
            in_.Send(in_.alert, IDCMP_MOUSEBUTTONS, code);
            return {};
        }
        if (in_.menus.window != nullptr) {
            MenuButton(button, up);
            return {};
        }
        if (button == IECODE_LBUTTON) {
            return up ? SelectUp() : SelectDown();
        }
        if (button == IECODE_RBUTTON) {
            WindowImpl* a = in_.active;
            if (!up && a != nullptr && a->MenuStrip != nullptr && (a->Flags & WFLG_RMBTRAP) == 0 &&
                !Blocked(a) && in_.gesture == Gesture::None) {
                menus::Open(in_.menus, a, in_.pointerX, in_.pointerY);
                Shown();
                return {};
            }
            in_.Send(in_.active, IDCMP_MOUSEBUTTONS, code);
        }
        return {};
    }

    // While the strip is shown the left button picks (several items in one press), and the
    // menu button coming up picks what it is over and ends the menu.
    void MenuButton(UWORD button, bool up) {
        if (button == IECODE_LBUTTON && !up) {
            menus::Pick(in_.menus);
            Shown();
            return;
        }
        if (button != IECODE_RBUTTON || !up) {
            return;
        }
        menus::Pick(in_.menus);
        WindowImpl* w = in_.menus.window;
        const UWORD first = menus::Finish(in_.menus);
        in_.Send(w, IDCMP_MENUPICK, first);
        Shown();
    }

    static void Shown() { graphics::TouchDisplay(); }

    // The first enabled gadget of the window under the pointer, if any.
    Gadget* GadgetAt(WindowImpl* w) const {
        const int x = in_.pointerX - w->LeftEdge;
        const int y = in_.pointerY - w->TopEdge;
        for (Gadget* g = w->FirstGadget; g != nullptr; g = g->NextGadget) {
            if (g->Flags & GFLG_DISABLED) {
                continue;
            }
            const bool hit = IsCustom(g)
                                 ? static_cast<CustomGadget*>(g)->HitTest(x, y)
                                 : x >= g->LeftEdge && y >= g->TopEdge &&
                                       x < g->LeftEdge + g->Width && y < g->TopEdge + g->Height;
            if (hit) {
                return g;
            }
        }
        return nullptr;
    }

    GadgetInput Input(GadgetInput::Kind kind, WindowImpl* w) const {
        GadgetInput input;
        input.kind = kind;
        input.x = in_.pointerX - w->LeftEdge;
        input.y = in_.pointerY - w->TopEdge;
        input.qualifier = in_.qualifier;
        return input;
    }

    // Sends what the gadget answered and keeps or drops it as the active one.
    void Apply(WindowImpl* w, Gadget* g, const GadgetReply& reply) {
        if (reply.cls != 0) {
            in_.SendGadget(w, reply.cls, reply.code, g);
        }
        if (reply.redraw) {
            in_.redraws.emplace_back(in_.Find(w), g);
        }
        if (!reply.keepActive && in_.activeGadget == g) {
            in_.activeGadget = nullptr;
            in_.activeGadgetWindow = nullptr;
        }
    }

    void ToGadget(GadgetInput::Kind kind) {
        Gadget* g = in_.activeGadget;
        WindowImpl* w = in_.activeGadgetWindow;
        if (g == nullptr || w == nullptr) {
            return;
        }
        if (!IsCustom(g)) {
            PlainGadget(w, g, kind);
            return;
        }
        Apply(w, g, static_cast<CustomGadget*>(g)->HandleInput(Input(kind, w)));
    }

    // A gadget the program built itself: selected while held, reported as its flags ask.
    void PlainGadget(WindowImpl* w, Gadget* g, GadgetInput::Kind kind) {
        const int x = in_.pointerX - w->LeftEdge;
        const int y = in_.pointerY - w->TopEdge;
        const bool over = x >= g->LeftEdge && y >= g->TopEdge && x < g->LeftEdge + g->Width &&
                          y < g->TopEdge + g->Height;
        GadgetReply reply;
        reply.keepActive = kind != GadgetInput::Kind::Release;
        if (kind == GadgetInput::Kind::Press && (g->Activation & GACT_IMMEDIATE)) {
            reply.cls = IDCMP_GADGETDOWN;
        } else if (kind == GadgetInput::Kind::Release && over && (g->Activation & GACT_RELVERIFY)) {
            reply.cls = IDCMP_GADGETUP;
        }
        const UWORD selected = reply.keepActive && over ? GFLG_SELECTED : 0;
        reply.redraw = (g->Flags & GFLG_SELECTED) != selected;
        g->Flags = static_cast<UWORD>((g->Flags & ~GFLG_SELECTED) | selected);
        Apply(w, g, reply);
    }

    PendingResize SelectDown() {
        ScreenImpl* s = in_.FrontScreen();
        if (s == nullptr) {
            return {};
        }
        WindowImpl* hit = WindowAt(s, in_.pointerX, in_.pointerY);
        in_.Activate(hit);
        Gadget* gadget = nullptr;
        if (hit != nullptr && !Blocked(hit) &&
            FrameGadgetAt(hit, in_.pointerX, in_.pointerY) == Gesture::Content) {
            gadget = GadgetAt(hit);
        }
        // A click anywhere else takes the keyboard from a text field.
        if (in_.activeGadget != nullptr && in_.activeGadget != gadget) {
            in_.DeactivateGadget();
        }
        if (hit == nullptr) {
            return {};
        }
        in_.gestureWindow = hit;
        in_.gesture = FrameGadgetAt(hit, in_.pointerX, in_.pointerY);
        in_.grabX = in_.pointerX - hit->LeftEdge;
        in_.grabY = in_.pointerY - hit->TopEdge;
        if (gadget != nullptr) {
            // The gadget takes the click; the window does not see it as a mouse button.
            in_.gesture = Gesture::Gadget;
            in_.activeGadget = gadget;
            in_.activeGadgetWindow = hit;
            if (IsCustom(gadget)) {
                Apply(hit, gadget,
                      static_cast<CustomGadget*>(gadget)->GoActive(
                          Input(GadgetInput::Kind::Press, hit)));
            } else {
                PlainGadget(hit, gadget, GadgetInput::Kind::Press);
            }
            // The release belongs to the gadget too, even one that acts on the press alone.
            return {};
        }
        if (in_.gesture == Gesture::Content) {
            in_.Send(hit, IDCMP_MOUSEBUTTONS, SELECTDOWN);
        }
        return {};
    }

    PendingResize SelectUp() {
        const Gesture gesture = in_.gesture;
        WindowImpl* w = in_.gestureWindow;
        in_.gesture = Gesture::None;
        in_.gestureWindow = nullptr;
        if (gesture == Gesture::Gadget) {
            ToGadget(GadgetInput::Kind::Release);
            return {};
        }
        if (w == nullptr || gesture == Gesture::Content) {
            in_.Send(in_.active, IDCMP_MOUSEBUTTONS, SELECTUP);
            return {};
        }
        const bool stillOver = Inside(w, in_.pointerX, in_.pointerY) &&
                               FrameGadgetAt(w, in_.pointerX, in_.pointerY) == gesture;
        if (gesture == Gesture::Close && stillOver) {
            in_.Send(w, IDCMP_CLOSEWINDOW, 0);
        } else if (gesture == Gesture::Depth && stillOver) {
            DepthArrange(w);
        } else if (gesture == Gesture::Size) {
            PendingResize pending{in_.Find(w), w->Width, w->Height};
            const int width = in_.pointerX - w->LeftEdge + (w->Width - in_.grabX);
            const int height = in_.pointerY - w->TopEdge + (w->Height - in_.grabY);
            if (SetBox(w, w->LeftEdge, w->TopEdge, width, height)) {
                return pending;
            }
        }
        return {};
    }

    // The depth gadget sends a window to the back when it is already in front of every window
    // that overlaps it, and to the front otherwise.
    void DepthArrange(WindowImpl* w) {
        auto& list = w->screen->windows;
        bool covered = false;
        bool seen = false;
        for (const auto& other : list) {
            if (other.get() == w) {
                seen = true;
                continue;
            }
            if (seen && Overlap(w, other.get())) {
                covered = true;
            }
        }
        Restack(w->screen, in_.Find(w), covered ? list.size() : 0);
    }

    static bool Overlap(const Window* a, const Window* b) {
        return a->LeftEdge < b->LeftEdge + b->Width && b->LeftEdge < a->LeftEdge + a->Width &&
               a->TopEdge < b->TopEdge + b->Height && b->TopEdge < a->TopEdge + a->Height;
    }

    // The desktop's close button asks the program to close, whatever has the input: its main
    // window (the first it opened on the front screen that listens for closing) gets the close
    // message, even while a requester keeps it asleep; the program decides what closing means.
    void CloseRequest() {
        in_.SendEvenAsleep(MainWindow(in_.FrontScreen(), IDCMP_CLOSEWINDOW), IDCMP_CLOSEWINDOW, 0);
    }

    void Key(UWORD code, UWORD eventQualifier, const DesktopKey& desktopKey) {
        const bool up = code & IECODE_UP_PREFIX;
        const UWORD key = code & ~IECODE_UP_PREFIX;
        if (const UWORD q = KeyQualifier(key)) {
            in_.qualifier = up ? (in_.qualifier & ~q) : (in_.qualifier | q);
        } else if (key == RAWKEY_CAPSLOCK && !up) {
            in_.qualifier ^= IEQUALIFIER_CAPSLOCK;
        }
        const UWORD saved = in_.qualifier;
        in_.qualifier |= eventQualifier & ~IEQUALIFIER_RELATIVEMOUSE;
        if (desktopKey.pasted) {
            in_.qualifier &= ~kKeyboardQualifiers;  // Ctrl or Shift was held to paste, not to type
        }
        DeadKeyPrefix prefix = in_.lastKeys;
        prefix.desktop = desktopKey;
        if (!up && CommandKey(key, desktopKey)) {
            in_.qualifier = saved;
            return;
        }
        // A key that went down into a text field comes up there too, even once the field let
        // go (Return ends the editing on its way down).
        if (up && key < keysInGadget_.size() && keysInGadget_[key]) {
            keysInGadget_[key] = false;
            in_.qualifier = saved;
            return;
        }
        if (KeyToGadget(code, prefix)) {
            if (!up && key < keysInGadget_.size()) {
                keysInGadget_[key] = true;
            }
            Remember(up, key);
            in_.qualifier = saved;
            return;
        }
        in_.Send(in_.active, IDCMP_RAWKEY, code, &prefix);
        Remember(up, key);
        in_.qualifier = saved;
    }

    // The Amiga (Super) key, or Ctrl as a desktop habit, with a key that an enabled item of the
    // active window's strip names picks that item. Alt is left alone: it types characters.
    bool CommandKey(UWORD key, const DesktopKey& desktopKey) {
        WindowImpl* a = in_.active;
        constexpr UWORD kCommand =
            IEQUALIFIER_LCOMMAND | IEQUALIFIER_RCOMMAND | IEQUALIFIER_CONTROL;
        if ((in_.qualifier & kCommand) == 0 || a == nullptr || a->MenuStrip == nullptr ||
            Blocked(a) || in_.menus.window != nullptr) {
            return false;
        }
        InputEvent ie{};
        ie.ie_Class = IECLASS_RAWKEY;
        ie.ie_Code = key;
        char c[4];
        // A desktop key names its item by the layout's own letter for that key.
        if (desktopKey.known && desktopKey.plain != 0) {
            c[0] = static_cast<char>(desktopKey.plain);
        } else if (MapRawKey(&ie, c, sizeof(c), nullptr) != 1) {
            return false;
        }
        const UWORD number = menus::CommandKey(a->MenuStrip, c[0]);
        if (number == MENUNULL) {
            return false;
        }
        in_.Send(a, IDCMP_MENUPICK, number);
        return true;
    }

    // An active text field of the active window takes the keys, except command keys.
    bool KeyToGadget(UWORD code, const DeadKeyPrefix& prefix) {
        Gadget* g = in_.activeGadget;
        WindowImpl* w = in_.activeGadgetWindow;
        if (!IsCustom(g) || w == nullptr || w != in_.active ||
            !static_cast<CustomGadget*>(g)->TakesKeyboard() ||
            (in_.qualifier & (IEQUALIFIER_LCOMMAND | IEQUALIFIER_RCOMMAND))) {
            return false;
        }
        GadgetInput input = Input(GadgetInput::Kind::Key, w);
        input.code = code;
        input.prefix = &prefix;
        Apply(w, g, static_cast<CustomGadget*>(g)->HandleInput(input));
        return true;
    }

    void Remember(bool up, UWORD key) {
        if (!up && KeyQualifier(key) == 0 && key != RAWKEY_CAPSLOCK) {
            in_.lastKeys.prev2DownCode = in_.lastKeys.prev1DownCode;
            in_.lastKeys.prev2DownQual = in_.lastKeys.prev1DownQual;
            in_.lastKeys.prev1DownCode = static_cast<UBYTE>(key);
            in_.lastKeys.prev1DownQual = static_cast<UBYTE>(in_.qualifier);
        }
    }

    Intuition& in_;
    std::array<bool, 128> keysInGadget_{};
};

void RunInputTask(Intuition* in) {
    pthread_setname_np(pthread_self(), "input.device");
    InputHandler handler(*in);
    std::unique_lock guard(in->lock);
    for (;;) {
        in->changed.wait(guard, [&] { return !in->events.empty(); });
        const QueuedInput input = in->events.front();
        in->events.pop_front();
        in->busy = true;
        PendingResize pending = handler.Handle(input.event, input.key);
        if (pending.window != nullptr || !in->redraws.empty()) {
            guard.unlock();
            if (pending.window != nullptr) {
                FinishResize(pending.window, pending.oldWidth, pending.oldHeight);
            }
            FlushRedraws();
            guard.lock();
        }
        in->busy = false;
        in->changed.notify_all();
    }
}

}  // namespace

void Intuition::StartInputTask() {
    if (inputTaskStarted) {
        return;
    }
    inputTaskStarted = true;
    std::thread(&RunInputTask, this).detach();
}

void PostInputEvent(const InputEvent& event, const DesktopKey& key) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    in.StartInputTask();
    in.events.push_back(QueuedInput{event, key});
    in.changed.notify_all();
}

}  // namespace tessella::intuition
