#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "FrameLook.h"
#include "GadgetClass.h"
#include "IntuitionState.h"
#include "platform/clock/Clock.h"
#include "platform/graphics/Canvas.h"

namespace tessella::intuition {
namespace {

// Replied messages come back here, on the replying task, and are freed at once.
void ReclaimReplies(APTR data) {
    auto* self = static_cast<Intuition*>(data);
    std::lock_guard guard(self->lock);
    while (Message* m = GetMsg(&self->replyPort)) {
        self->Reclaim(reinterpret_cast<IntuiMessageImpl*>(m));
    }
    self->changed.notify_all();
}

}  // namespace

Intuition::Intuition() {
    replyHandler.is_Data = this;
    replyHandler.is_Code = &ReclaimReplies;
    replyPort.mp_Node.ln_Type = NT_MSGPORT;
    replyPort.mp_Flags = PA_SOFTINT;
    replyPort.mp_SigTask = &replyHandler;
    NewList(&replyPort.mp_MsgList);
}

Intuition& Intuition::Get() {
    static Intuition* intuition = new Intuition;  // its input task runs until the process ends
    return *intuition;
}

std::shared_ptr<WindowImpl> Intuition::Find(const Window* window) const {
    for (const auto& screen : screens) {
        for (const auto& w : screen->windows) {
            if (w.get() == window) {
                return w;
            }
        }
    }
    return nullptr;
}

void Intuition::Reclaim(IntuiMessageImpl* message) {
    if (message->message.Class == IDCMP_MOUSEMOVE) {
        if (auto w = message->window.lock()) {
            w->queuedMoves--;
        }
    }
    delete message;
    outstanding--;
}

// What a sleeping window does not receive: everything the user does to it.
constexpr ULONG kUserInput = IDCMP_MOUSEBUTTONS | IDCMP_MOUSEMOVE | IDCMP_RAWKEY |
                             IDCMP_GADGETDOWN | IDCMP_GADGETUP | IDCMP_MENUPICK | IDCMP_CLOSEWINDOW;

void Intuition::SendGadget(WindowImpl* window, ULONG cls, UWORD code, Gadget* gadget) {
    Post(window, cls, code, nullptr, gadget);
}

void Intuition::Send(WindowImpl* window, ULONG cls, UWORD code, const DeadKeyPrefix* prefix) {
    Post(window, cls, code, prefix, nullptr);
}

void Intuition::SendEvenAsleep(WindowImpl* window, ULONG cls, UWORD code) {
    Post(window, cls, code, nullptr, nullptr, true);
}

void Intuition::Post(WindowImpl* window, ULONG cls, UWORD code, const DeadKeyPrefix* prefix,
                     Gadget* gadget, bool evenAsleep) {
    if (window == nullptr || window->UserPort == nullptr || (window->IDCMPFlags & cls) == 0) {
        return;
    }
    if (window->asleep > 0 && (cls & kUserInput) && !evenAsleep) {
        return;
    }
    // A requester in the window takes its keys: none reach the window behind it.
    if (window->ReqCount > 0 && cls == IDCMP_RAWKEY) {
        return;
    }
    if (cls == IDCMP_MOUSEMOVE) {
        if (window->queuedMoves >= window->mouseQueue) {
            return;  // the window still holds enough moves; it reads the pointer when it gets there
        }
        window->queuedMoves++;
    }
    auto* m = new IntuiMessageImpl;
    m->window = Find(window);
    IntuiMessage& im = m->message;
    im.ExecMessage.mn_ReplyPort = &replyPort;
    im.ExecMessage.mn_Length = sizeof(IntuiMessage);
    im.Class = cls;
    im.Code = code;
    im.Qualifier = qualifier;
    if (prefix != nullptr) {
        m->prefix = *prefix;
        im.IAddress = &m->prefix;
    } else {
        im.IAddress = gadget;
    }
    im.MouseX = static_cast<WORD>(pointerX - window->LeftEdge);
    im.MouseY = static_cast<WORD>(pointerY - window->TopEdge);
    const timeval now = tessella::clock::WallTime();
    im.Seconds = static_cast<ULONG>(now.tv_sec);
    im.Micros = static_cast<ULONG>(now.tv_usec);
    im.IDCMPWindow = window;
    ++outstanding;
    PutMsg(window->UserPort, &im.ExecMessage);
}

WindowImpl* MainWindow(const ScreenImpl* screen, ULONG idcmp) {
    WindowImpl* first = nullptr;
    if (screen == nullptr) {
        return nullptr;
    }
    for (const auto& w : screen->windows) {
        if ((idcmp == 0 || (w->IDCMPFlags & idcmp) == idcmp) &&
            (first == nullptr || w->opened < first->opened)) {
            first = w.get();
        }
    }
    return first;
}

std::string ProgramTitle(const ScreenImpl* screen) {
    const WindowImpl* main = MainWindow(screen);
    return main != nullptr && main->hasScreenTitle ? main->screenTitle : screen->title;
}

void Intuition::DeactivateGadget() {
    Gadget* g = activeGadget;
    WindowImpl* w = activeGadgetWindow;
    activeGadget = nullptr;
    activeGadgetWindow = nullptr;
    if (IsCustom(g)) {
        static_cast<CustomGadget*>(g)->GoInactive();
        if (auto shared = Find(w)) {
            redraws.emplace_back(shared, g);
        }
    }
}

void Intuition::Activate(WindowImpl* window) {
    if (active == window) {
        return;
    }
    WindowImpl* old = active;
    active = window;
    if (old != nullptr) {
        old->Flags &= ~WFLG_WINDOWACTIVE;
        Send(old, IDCMP_INACTIVEWINDOW, 0);
    }
    if (window != nullptr) {
        window->Flags |= WFLG_WINDOWACTIVE;
        Send(window, IDCMP_ACTIVEWINDOW, 0);
    }
    graphics::TouchDisplay();
    presenter->PointerChanged();
}

bool SetBox(WindowImpl* window, int left, int top, int width, int height) {
    const ScreenImpl* screen = window->screen;
    const int minWidth = std::max<int>(window->MinWidth, 1);
    const int minHeight = std::max<int>(window->MinHeight, 1);
    const int maxWidth =
        std::min<int>(window->MaxWidth > 0 ? window->MaxWidth : screen->Width, screen->Width);
    const int maxHeight =
        std::min<int>(window->MaxHeight > 0 ? window->MaxHeight : screen->Height, screen->Height);
    width = std::clamp(width, std::min(minWidth, maxWidth), maxWidth);
    height = std::clamp(height, std::min(minHeight, maxHeight), maxHeight);
    // A window stays wholly on its screen, as intuition keeps it when it is dragged.
    left = std::clamp(left, 0, screen->Width - width);
    top = std::clamp(top, 0, screen->Height - height);
    const bool resized = width != window->Width || height != window->Height;
    window->LeftEdge = static_cast<WORD>(left);
    window->TopEdge = static_cast<WORD>(top);
    window->Width = static_cast<WORD>(width);
    window->Height = static_cast<WORD>(height);
    window->GZZWidth = static_cast<WORD>(width - window->BorderLeft - window->BorderRight);
    window->GZZHeight = static_cast<WORD>(height - window->BorderTop - window->BorderBottom);
    graphics::TouchDisplay();
    return resized;
}

void FinishResize(const std::shared_ptr<WindowImpl>& window, int oldWidth, int oldHeight) {
    int width;
    int height;
    {
        std::lock_guard guard(Intuition::Get().lock);
        width = window->Width;
        height = window->Height;
    }
    {
        // The retained picture keeps what still fits; new area starts in pen 0.
        LockLayerRom(&window->layer);
        BitMap* old = window->rastPort.BitMap;
        BitMap* bm =
            AllocBitMap(width, height, window->WScreen->RastPort.BitMap->Depth, BMF_CLEAR, nullptr);
        if (bm != nullptr) {
            if (old != nullptr) {
                BltBitMap(old, 0, 0, bm, 0, 0, std::min(width, oldWidth),
                          std::min(height, oldHeight), 0xC0, 0xFF, nullptr);
            }
            window->rastPort.BitMap = bm;
            FreeBitMap(old);
        }
        UnlockLayerRom(&window->layer);
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    if (in.Find(window.get()) == nullptr) {
        return;  // closed meanwhile
    }
    in.Send(window.get(), IDCMP_NEWSIZE, 0);
    if (width > oldWidth || height > oldHeight) {
        in.Send(window.get(), IDCMP_REFRESHWINDOW, 0);
    }
}

void RelinkWindows(ScreenImpl* screen) {
    Window* next = nullptr;
    for (const auto& w : screen->windows) {  // back to front, so the front one ends up first
        w->NextWindow = next;
        next = w.get();
    }
    screen->FirstWindow = next;
    graphics::TouchDisplay();
}

void Restack(ScreenImpl* screen, const std::shared_ptr<WindowImpl>& window, size_t position) {
    auto& list = screen->windows;
    list.erase(std::find(list.begin(), list.end(), window));
    // Backdrop windows stay behind every other window.
    size_t backdrops = 0;
    while (backdrops < list.size() && (list[backdrops]->Flags & WFLG_BACKDROP)) {
        ++backdrops;
    }
    const bool backdrop = window->Flags & WFLG_BACKDROP;
    position =
        backdrop ? std::min(position, backdrops) : std::clamp(position, backdrops, list.size());
    list.insert(list.begin() + static_cast<long>(position), window);
    RelinkWindows(screen);
}

std::unique_ptr<Presenter> Intuition::TakeDesktopPresenter() {
    if (!desktopPresenter) {
        return nullptr;
    }
    desktopPresenter = false;
    presenterChosen = false;
    std::unique_ptr<Presenter> old = std::move(presenter);
    presenter = std::make_unique<HeadlessPresenter>();
    return old;
}

namespace {

DesktopOpener& Desktop() {
    static DesktopOpener opener = nullptr;
    return opener;
}

}  // namespace

bool RegisterDesktop(DesktopOpener opener) {
    Desktop() = opener;
    return true;
}

void ChoosePresenter() {
    Intuition& in = Intuition::Get();
    if (in.presenterChosen) {
        return;
    }
    in.presenterChosen = true;
    std::string error = "no desktop back end";
    if (Desktop() != nullptr) {
        if (auto desktop = Desktop()(error)) {
            in.presenter = std::move(desktop);
            in.desktopPresenter = true;
            // A program may end with its screen still open. Registered after the display
            // libraries were loaded, this runs before their own exit handlers.
            static const bool registered = std::atexit([] { EndDesktopPresenter(); }) == 0;
            (void)registered;
            return;
        }
    }
    std::fprintf(stderr, "No desktop display (%s): running without a window.\n", error.c_str());
}

void EndDesktopPresenter() {
    Intuition& in = Intuition::Get();
    std::unique_ptr<Presenter> old;
    {
        std::lock_guard guard(in.lock);
        old = in.TakeDesktopPresenter();
    }
    // Its thread may need intuition's lock to finish the picture it is composing.
    old.reset();
}

void SetPresenter(std::unique_ptr<Presenter> presenter) {
    Intuition& in = Intuition::Get();
    std::unique_ptr<Presenter> old;
    {
        std::lock_guard guard(in.lock);
        in.presenterChosen = true;
        in.desktopPresenter = false;
        old = std::move(in.presenter);
        in.presenter = presenter ? std::move(presenter) : std::make_unique<HeadlessPresenter>();
    }
    // The old one may have a thread of its own that needs intuition's lock to finish.
    old.reset();
}

}  // namespace tessella::intuition

void CurrentTime(ULONG* seconds, ULONG* micros) {
    const timeval now = tessella::clock::WallTime();
    if (seconds != nullptr) {
        *seconds = static_cast<ULONG>(now.tv_sec);
    }
    if (micros != nullptr) {
        *micros = static_cast<ULONG>(now.tv_usec);
    }
}
