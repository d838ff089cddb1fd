#include <dos.h>

#include <algorithm>

#include "IntuitionState.h"
#include "SysRequest.h"

namespace tessella::intuition {

void ShowRequest(SysRequest* request) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    in.requests.push_back(request);
    in.changed.notify_all();
}

void HideRequest(SysRequest* request) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    if (std::erase(in.requests, request) > 0 && request->window != nullptr) {
        in.closingRequests.push_back(request->window);
    }
    in.changed.notify_all();
}

void Handled(SysRequest* request) {
    if (request == nullptr) {
        return;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    request->handled++;
    in.changed.notify_all();
}

void UpdateRequest(SysRequest* request, const std::string& drawer, const std::string& file,
                   const std::vector<std::string>& entries) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    request->drawer = drawer;
    request->file = file;
    request->entries = entries;
    in.changed.notify_all();
}

Window* ActiveWindowNow() {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    return in.active;
}

void CaptureButtons(Window* window) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    auto w = in.Find(window);
    in.alert = w.get();
    if (w != nullptr) {
        // A menu or a held gadget would otherwise still wait for its button to come up.
        in.menus = MenuSession{};
        in.gesture = Gesture::None;
        in.gestureWindow = nullptr;
    }
}

void SleepWindow(Window* window, bool asleep) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    auto w = in.Find(window);
    if (w == nullptr) {
        return;
    }
    w->asleep = std::max(0, w->asleep + (asleep ? 1 : -1));
    if (asleep && in.activeGadgetWindow == w.get()) {
        in.DeactivateGadget();
    }
}

bool WaitRequesterInput(const Window* window) {
    if (StopRequested() != 0) {
        return false;
    }
    // A signal may be left over from a message already taken: the caller looks again.
    Wait((1UL << window->UserPort->mp_SigBit) | SIGBREAKF_CTRL_C);
    return StopRequested() == 0;
}

void RequesterText(Window* window, TextFont* font, int x, int y, const std::string& text) {
    if (font == nullptr || text.empty()) {
        return;
    }
    RastPort* rp = window->RPort;
    LockLayerRom(rp->Layer);
    SetFont(rp, font);
    SetAPen(rp, 1);
    SetDrMd(rp, JAM1);
    Move(rp, static_cast<WORD>(window->BorderLeft + x),
         static_cast<WORD>(window->BorderTop + y + font->tf_Baseline));
    Text(rp, text.data(), static_cast<ULONG>(text.size()));
    UnlockLayerRom(rp->Layer);
}

RequesterWindow::RequesterWindow(Window* parent) : parent_(parent) {
    if (parent != nullptr) {
        screen_ = parent->WScreen;
    } else {
        screen_ = LockPubScreen(nullptr);
        lockedPublic_ = screen_ != nullptr;
    }
    if (screen_ != nullptr) {
        visual_ = GetVisualInfoA(screen_, nullptr);
    }
    previouslyActive_ = ActiveWindowNow();
}

RequesterWindow::~RequesterWindow() {
    if (window_ != nullptr) {
        RemoveGList(window_, gadgets_, -1);
        CloseWindow(window_);
    }
    FreeGadgets(gadgets_);
    FreeVisualInfo(visual_);
    // The window that had the input before gets it back, if it is still there.
    Window* back = parent_ != nullptr ? parent_ : previouslyActive_;
    if (back != nullptr) {
        ActivateWindow(back);
    }
    if (lockedPublic_) {
        UnlockPubScreen(nullptr, screen_);
    }
}

TextFont* RequesterWindow::Font() const {
    return screen_ != nullptr ? screen_->RastPort.Font : nullptr;
}

bool RequesterWindow::Open(const char* title, int innerWidth, int innerHeight, ULONG extraIdcmp) {
    if (screen_ == nullptr || visual_ == nullptr) {
        return false;
    }
    const int fontSize = Font() != nullptr ? Font()->tf_YSize : 8;
    const int width = std::min<int>(innerWidth + 8, screen_->Width);
    const int height = std::min<int>(innerHeight + fontSize + 5, screen_->Height);
    int left = (screen_->Width - width) / 2;
    int top = (screen_->Height - height) / 2;
    if (parent_ != nullptr) {
        left = parent_->LeftEdge + (parent_->Width - width) / 2;
        top = parent_->TopEdge + (parent_->Height - height) / 2;
    }
    window_ = OpenWindowTags(
        nullptr, WA_CustomScreen, screen_, WA_Left, left, WA_Top, top, WA_InnerWidth, innerWidth,
        WA_InnerHeight, innerHeight, WA_Title, title != nullptr ? title : "", WA_Flags,
        WFLG_DRAGBAR | WFLG_DEPTHGADGET | WFLG_ACTIVATE | WFLG_RMBTRAP, WA_IDCMP,
        IDCMP_GADGETUP | IDCMP_GADGETDOWN | IDCMP_RAWKEY | extraIdcmp);
    if (window_ == nullptr) {
        return false;
    }
    last_ = CreateContext(&gadgets_);
    AddGList(window_, gadgets_, ~0, -1, nullptr);
    return last_ != nullptr;
}

NewGadget RequesterWindow::At(int left, int top, int width, int height, UWORD id, const char* text,
                              ULONG flags) const {
    return NewGadget{static_cast<WORD>(window_->BorderLeft + left),
                     static_cast<WORD>(window_->BorderTop + top),
                     static_cast<WORD>(width),
                     static_cast<WORD>(height),
                     text,
                     nullptr,
                     id,
                     flags,
                     visual_,
                     nullptr};
}

Gadget* RequesterWindow::Add(ULONG kind, const NewGadget& ng, const TagItem* tags) {
    if (last_ == nullptr) {
        return nullptr;
    }
    Gadget* g = CreateGadgetA(kind, last_, &ng, tags);
    if (g != nullptr) {
        last_ = g;
        RefreshGList(g, window_, nullptr, 1);
    }
    return g;
}

}  // namespace tessella::intuition
