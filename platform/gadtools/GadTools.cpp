// gadtools.library: gadget lists, attributes, visual information and message handling.
#include <mutex>

#include "GadgetKinds.h"
#include "platform/graphics/GadgetLook.h"
#include "platform/intuition/IntuitionState.h"

namespace look = tessella::graphics::look;

using namespace tessella::gadtools;
using tessella::intuition::Intuition;

namespace {

GTGadget* AsGT(Gadget* gadget) {
    return tessella::intuition::IsCustom(gadget)
               ? dynamic_cast<GTGadget*>(static_cast<tessella::intuition::CustomGadget*>(gadget))
               : nullptr;
}

GTGadget* Make(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags) {
    switch (kind) {
        case BUTTON_KIND:
            return NewButtonGadget(ng, vi, tags);
        case CHECKBOX_KIND:
            return NewCheckBoxGadget(ng, vi, tags);
        case CYCLE_KIND:
            return NewCycleGadget(ng, vi, tags);
        case MX_KIND:
            return NewMxGadget(ng, vi, tags);
        case LISTVIEW_KIND:
            return NewListViewGadget(ng, vi, tags);
        case SCROLLER_KIND:
        case SLIDER_KIND:
            return NewPropGadget(kind, ng, vi, tags);
        case STRING_KIND:
        case INTEGER_KIND:
            return NewStringGadget(kind, ng, vi, tags);
        case TEXT_KIND:
        case NUMBER_KIND:
            return NewTextGadget(kind, ng, vi, tags);
        default:
            return nullptr;
    }
}

}  // namespace

Gadget* CreateContext(Gadget** glistPtr) {
    if (glistPtr == nullptr) {
        return nullptr;
    }
    static VisualInfo none;
    Gadget* context = NewContextGadget(&none);
    *glistPtr = context;
    return context;
}

Gadget* CreateGadgetA(ULONG kind, Gadget* previous, const NewGadget* newGadget,
                      const TagItem* tagList) {
    if (previous == nullptr || newGadget == nullptr) {
        return nullptr;
    }
    VisualInfo* vi = VisualInfoOf(newGadget->ng_VisualInfo);
    if (vi == nullptr) {
        return nullptr;
    }
    GTGadget* g = Make(kind, *newGadget, vi, tagList);
    if (g == nullptr) {
        return nullptr;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    g->NextGadget = previous->NextGadget;
    previous->NextGadget = g;
    return g;
}

void FreeGadgets(Gadget* glist) {
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    for (Gadget* g = glist; g != nullptr;) {
        Gadget* next = g->NextGadget;
        if (GTGadget* gt = AsGT(g)) {
            tessella::intuition::ForgetGadget(g);
            delete gt;
        }
        g = next;
    }
}

void GT_SetGadgetAttrsA(Gadget* gadget, Window* window, Requester* /*req*/,
                        const TagItem* tagList) {
    GTGadget* gt = AsGT(gadget);
    if (gt == nullptr) {
        return;
    }
    Intuition& in = Intuition::Get();
    bool redraw;
    {
        std::lock_guard guard(in.lock);
        redraw = gt->SetAttrs(tagList);
        if ((gadget->Flags & GFLG_DISABLED) && in.activeGadget == gadget) {
            in.DeactivateGadget();
        }
    }
    tessella::intuition::FlushRedraws();
    if (redraw && window != nullptr) {
        tessella::intuition::RenderGadgets(window, gadget, 1);
    }
}

LONG GT_GetGadgetAttrsA(Gadget* gadget, Window* /*window*/, Requester* /*req*/,
                        const TagItem* tagList) {
    GTGadget* gt = AsGT(gadget);
    if (gt == nullptr) {
        return 0;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    LONG count = 0;
    const TagItem* state = tagList;
    while (const TagItem* t = NextTagItem(&state)) {
        IPTR value = 0;
        if (t->ti_Data != 0 && gt->GetAttr(t->ti_Tag, &value)) {
            *reinterpret_cast<IPTR*>(t->ti_Data) = value;
            ++count;
        }
    }
    return count;
}

APTR GetVisualInfoA(Screen* screen, const TagItem* /*tagList*/) {
    if (screen == nullptr) {
        return nullptr;
    }
    auto* vi = new VisualInfo;
    vi->screen = screen;
    vi->font = screen->RastPort.Font;
    return vi;
}

void FreeVisualInfo(APTR visualInfo) {
    delete VisualInfoOf(visualInfo);
}

IntuiMessage* GT_GetIMsg(MsgPort* port) {
    return port != nullptr ? reinterpret_cast<IntuiMessage*>(GetMsg(port)) : nullptr;
}

void GT_ReplyIMsg(IntuiMessage* message) {
    if (message != nullptr) {
        ReplyMsg(&message->ExecMessage);
    }
}

IntuiMessage* GT_FilterIMsg(IntuiMessage* message) {
    return message;
}

IntuiMessage* GT_PostFilterIMsg(IntuiMessage* message) {
    return message;
}

void GT_RefreshWindow(Window* window, Requester* /*req*/) {
    if (window != nullptr) {
        tessella::intuition::RenderGadgets(window, nullptr, -1);
    }
}

void GT_BeginRefresh(Window* window) {
    BeginRefresh(window);
}

void GT_EndRefresh(Window* window, BOOL complete) {
    EndRefresh(window, complete);
}

void DrawBevelBoxA(RastPort* rp, LONG left, LONG top, LONG width, LONG height,
                   const TagItem* tagList) {
    if (rp == nullptr) {
        return;
    }
    look::Bevel(rp, left, top, width, height, GetTagData(GTBB_Recessed, FALSE, tagList) != 0);
}
