// Gadget lists of windows: adding, removing, drawing and activating gadgets. The list is
// shared with the input task, so every change happens under the intuition lock.
#include <cstring>

#include "GadgetClass.h"
#include "IntuitionState.h"

using namespace tessella::intuition;

namespace tessella::intuition {

CustomGadget::CustomGadget() {
    std::memset(static_cast<Gadget*>(this), 0, sizeof(Gadget));
    GadgetType = GTYP_CUSTOMGADGET;
}

bool CustomGadget::HitTest(int x, int y) const {
    return x >= LeftEdge && y >= TopEdge && x < LeftEdge + Width && y < TopEdge + Height;
}

GadgetReply CustomGadget::HandleInput(const GadgetInput& /*input*/) {
    return {};
}

namespace {

bool Contains(const Window* w, const Gadget* g) {
    for (const Gadget* it = w->FirstGadget; it != nullptr; it = it->NextGadget) {
        if (it == g) {
            return true;
        }
    }
    return false;
}

// A plain gadget shows its image or border and its text; selected ones in their select look.
void RenderPlain(RastPort* rp, Gadget* g) {
    APTR render = (g->Flags & GFLG_SELECTED) && g->SelectRender ? g->SelectRender : g->GadgetRender;
    if ((g->Flags & GFLG_GADGIMAGE) && render != nullptr) {
        DrawImage(rp, static_cast<Image*>(render), g->LeftEdge, g->TopEdge);
    }
    if (g->GadgetText != nullptr && (g->Flags & (GFLG_LABELSTRING | GFLG_LABELIMAGE)) == 0) {
        PrintIText(rp, g->GadgetText, g->LeftEdge, g->TopEdge);
    }
}

void RenderOne(RastPort* rp, Gadget* g) {
    if (IsCustom(g)) {
        static_cast<CustomGadget*>(g)->Render(rp);
    } else {
        RenderPlain(rp, g);
    }
}

}  // namespace

void RenderGadgets(Window* window, Gadget* first, int count) {
    Intuition& in = Intuition::Get();
    std::shared_ptr<WindowImpl> w;
    {
        std::lock_guard guard(in.lock);
        w = in.Find(window);
    }
    if (w == nullptr) {
        return;
    }
    LockLayerRom(&w->layer);
    {
        std::lock_guard guard(in.lock);
        if (in.Find(window) != nullptr && w->rastPort.BitMap != nullptr) {
            // A rastport of intuition's own, so the pens of a task painting the window stay
            // as it left them.
            RastPort rp = w->rastPort;
            bool started = first == nullptr;
            int left = count;
            for (Gadget* g = w->FirstGadget; g != nullptr && left != 0; g = g->NextGadget) {
                started = started || g == first;
                if (!started) {
                    continue;
                }
                RenderOne(&rp, g);
                if (left > 0) {
                    --left;
                }
            }
        }
    }
    UnlockLayerRom(&w->layer);
}

void ForgetGadget(Gadget* gadget) {
    Intuition& in = Intuition::Get();
    if (in.activeGadget == gadget) {
        in.activeGadget = nullptr;
        in.activeGadgetWindow = nullptr;
        if (in.gesture == Gesture::Gadget) {
            in.gesture = Gesture::None;
            in.gestureWindow = nullptr;
        }
    }
    std::erase_if(in.redraws, [gadget](const auto& r) { return r.second == gadget; });
    // A program that frees gadgets still in a window would leave the window pointing at freed
    // memory; they are taken out instead.
    for (const auto& screen : in.screens) {
        for (const auto& w : screen->windows) {
            for (Gadget** link = &w->FirstGadget; *link != nullptr; link = &(*link)->NextGadget) {
                if (*link == gadget) {
                    *link = gadget->NextGadget;
                    break;
                }
            }
        }
    }
}

void FlushRedraws() {
    Intuition& in = Intuition::Get();
    for (;;) {
        std::vector<std::pair<std::shared_ptr<WindowImpl>, Gadget*>> work;
        {
            std::lock_guard guard(in.lock);
            work.swap(in.redraws);
        }
        if (work.empty()) {
            return;
        }
        for (const auto& [window, gadget] : work) {
            RenderGadgets(window.get(), gadget, 1);
        }
    }
}

}  // namespace tessella::intuition

UWORD AddGList(Window* window, Gadget* gadget, UWORD position, WORD numGad, Requester* /*req*/) {
    if (window == nullptr || gadget == nullptr || numGad == 0) {
        return 0xFFFF;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    Gadget* last = gadget;
    for (int n = 1; last->NextGadget != nullptr && (numGad < 0 || n < numGad); ++n) {
        last = last->NextGadget;
    }
    Gadget** link = &window->FirstGadget;
    UWORD at = 0;
    while (*link != nullptr && at < position) {
        link = &(*link)->NextGadget;
        ++at;
    }
    last->NextGadget = *link;
    *link = gadget;
    return at;
}

UWORD AddGadget(Window* window, Gadget* gadget, UWORD position) {
    return AddGList(window, gadget, position, 1, nullptr);
}

UWORD RemoveGList(Window* window, Gadget* gadget, WORD numGad) {
    if (window == nullptr || gadget == nullptr || numGad == 0) {
        return 0xFFFF;
    }
    Intuition& in = Intuition::Get();
    UWORD at = 0;
    {
        std::lock_guard guard(in.lock);
        Gadget** link = &window->FirstGadget;
        while (*link != nullptr && *link != gadget) {
            link = &(*link)->NextGadget;
            ++at;
        }
        if (*link == nullptr) {
            return 0xFFFF;
        }
        Gadget* last = gadget;
        for (int n = 1; last->NextGadget != nullptr && (numGad < 0 || n < numGad); ++n) {
            last = last->NextGadget;
        }
        for (Gadget* g = gadget;; g = g->NextGadget) {
            if (g == in.activeGadget) {
                in.DeactivateGadget();
            }
            // A gadget leaving the window is not drawn there any more.
            std::erase_if(in.redraws, [g](const auto& r) { return r.second == g; });
            if (g == last) {
                break;
            }
        }
        *link = last->NextGadget;
        last->NextGadget = nullptr;
    }
    return at;
}

UWORD RemoveGadget(Window* window, Gadget* gadget) {
    return RemoveGList(window, gadget, 1);
}

void RefreshGList(Gadget* gadget, Window* window, Requester* /*req*/, WORD numGad) {
    if (window == nullptr || gadget == nullptr) {
        return;
    }
    RenderGadgets(window, gadget, numGad);
}

void RefreshGadgets(Gadget* gadget, Window* window, Requester* req) {
    RefreshGList(gadget, window, req, -1);
}

BOOL ActivateGadget(Gadget* gadget, Window* window, Requester* /*req*/) {
    if (window == nullptr || !IsCustom(gadget)) {
        return FALSE;
    }
    Intuition& in = Intuition::Get();
    {
        std::lock_guard guard(in.lock);
        auto w = in.Find(window);
        auto* custom = static_cast<CustomGadget*>(gadget);
        if (w == nullptr || !Contains(w.get(), gadget) || (gadget->Flags & GFLG_DISABLED) ||
            !custom->TakesKeyboard() || w->asleep > 0 || w->ReqCount > 0) {
            return FALSE;
        }
        // A gadget the user is holding, or a menu on the screen, keeps the input.
        if ((in.gesture == Gesture::Gadget && in.activeGadget != nullptr &&
             in.activeGadget != gadget) ||
            in.menus.window != nullptr) {
            return FALSE;
        }
        if (in.activeGadget != gadget) {
            in.DeactivateGadget();
            in.activeGadget = gadget;
            in.activeGadgetWindow = w.get();
            custom->GoActiveByCall();
        }
        // The keyboard follows the gadget, so its window becomes the active one.
        in.Activate(w.get());
        in.redraws.emplace_back(w, gadget);
    }
    FlushRedraws();
    return TRUE;
}

namespace {

void SetDisabled(Gadget* gadget, Window* window, bool disabled) {
    if (gadget == nullptr) {
        return;
    }
    Intuition& in = Intuition::Get();
    {
        std::lock_guard guard(in.lock);
        gadget->Flags =
            disabled ? (gadget->Flags | GFLG_DISABLED) : (gadget->Flags & ~GFLG_DISABLED);
        if (disabled && in.activeGadget == gadget) {
            in.DeactivateGadget();
        }
    }
    FlushRedraws();
    if (window != nullptr) {
        RenderGadgets(window, gadget, 1);
    }
}

}  // namespace

void OnGadget(Gadget* gadget, Window* window, Requester* /*req*/) {
    SetDisabled(gadget, window, false);
}

void OffGadget(Gadget* gadget, Window* window, Requester* /*req*/) {
    SetDisabled(gadget, window, true);
}

void BeginRefresh(Window* /*window*/) {}

void EndRefresh(Window* /*window*/, BOOL /*complete*/) {}
