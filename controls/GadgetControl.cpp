#include "GadgetControl.h"

#include <graphics.h>
#include <intuition.h>

#include <algorithm>

#include "Drawing.h"
#include "runtime/Application.h"
#include "runtime/Form.h"

namespace tessella {

namespace {

constexpr unsigned long kNoColour = ~0UL;

bool InChain(Gadget* first, const Gadget* g) {
    for (Gadget* it = first; it != nullptr; it = it->NextGadget) {
        if (it == g) {
            return true;
        }
    }
    return false;
}

}  // namespace

GadgetControl::GadgetControl(GUIElement* parent) : Child(parent) {}

GadgetControl::~GadgetControl() {
    if (gadget == nullptr) {
        return;
    }
    if (attached) {
        // Still in a window: take it out first. One the window freed when it closed is gone.
        if (!GadgetAlive()) {
            return;
        }
        if (Window* w = GetWindow()) {
            RemoveGadget(w, gadget);
        }
        GetForm()->RemoveDaGList(gadget);
        gadget->NextGadget = nullptr;
    }
    FreeGadgets(gadget);
}

Form* GadgetControl::GetForm() const {
    return dynamic_cast<Form*>(GetFormParent());
}

Window* GadgetControl::GetWindow() const {
    Form* f = GetForm();
    return f != nullptr ? f->GetHandle() : nullptr;
}

bool GadgetControl::GadgetAlive() {
    if (gadget == nullptr || !attached) {
        return gadget != nullptr;
    }
    Form* f = GetForm();
    if (f != nullptr && InChain(f->GetGadgetList(), gadget) && gadget->GadgetID == id) {
        return true;
    }
    // The window closed and freed its whole chain with this gadget in it.
    gadget = nullptr;
    attached = false;
    loaded = false;
    return false;
}

void GadgetControl::Load() {
    if (loaded) {
        return;
    }
    Form* form = GetForm();
    Window* window = GetWindow();
    if (form == nullptr || window == nullptr || form->GetGadgetList() == nullptr) {
        return;  // no open window to put a gadget in
    }
    if (id == 0) {
        id = ++countForm;
        handle = static_cast<unsigned long>(id);
    }
    Gadget* first = form->GetGadgetList();
    Gadget* last = first;
    while (last->NextGadget != nullptr) {
        last = last->NextGadget;
    }
    const tagPOINT at = GetPositionFromParent(position.x, position.y);
    NewGadget ng{};
    ng.ng_LeftEdge = static_cast<WORD>(at.x);
    ng.ng_TopEdge = static_cast<WORD>(at.y);
    ng.ng_Width = static_cast<WORD>(size.cx);
    ng.ng_Height = static_cast<WORD>(size.cy);
    ng.ng_TextAttr = font.GetHFONT();
    ng.ng_GadgetID = static_cast<UWORD>(id);
    ng.ng_VisualInfo = GlobalVisualInfo;
    if (GlobalVisualInfo == nullptr) {
        return;
    }
    RemoveGList(window, first, -1);
    if (gadget != nullptr && stale) {
        DropGadget();
    }
    bool made = true;
    if (gadget != nullptr) {
        form->AddAGList(gadget);
        attached = true;
        WriteAttrs(GA_Disabled, enabled ? FALSE : TRUE);
        OnReattach();
    } else {
        gadget = CreateOwnGadget(last, ng);
        attached = gadget != nullptr;
        stale = false;
        made = gadget != nullptr || LoadWithoutGadget();
    }
    AddGList(window, first, 0, -1, nullptr);
    if (!made) {
        return;
    }
    if (Application::SospendiRefresh == 0) {
        RefreshGadgets(first, window, nullptr);
    }
    loaded = true;
    visible = true;
}

void GadgetControl::DropGadget() {
    FreeGadgets(gadget);
    gadget = nullptr;
    attached = false;
}

void GadgetControl::Hide() {
    DropFocus();
    if (loaded && GadgetAlive()) {
        OnDetach();
        if (Window* w = GetWindow()) {
            RemoveGadget(w, gadget);
        }
        GetForm()->RemoveDaGList(gadget);
        gadget->NextGadget = nullptr;
        attached = false;
        EraseArea();
    }
    GUIElement::Hide();
    loaded = false;
}

// The control's rectangle, and the gadget's own box where the kind sizes itself (a check box,
// a column of radio buttons), back to the colour of what lies under it.
void GadgetControl::EraseArea() {
    Form* form = GetForm();
    Window* w = GetWindow();
    if (w == nullptr) {
        return;
    }
    unsigned long colour = parent->GetBackgroundColor();
    if (colour == kNoColour) {
        colour = form->GetBackgroundColor();
    }
    if (colour == kNoColour) {
        colour = 0;
    }
    const tagPOINT at = GetPositionFromParent(position.x, position.y);
    const int left = std::min<int>(at.x, gadget->LeftEdge);
    const int top = std::min<int>(at.y, gadget->TopEdge);
    const int right = std::max<int>(at.x + size.cx, gadget->LeftEdge + gadget->Width);
    const int bottom = std::max<int>(at.y + size.cy, gadget->TopEdge + gadget->Height);
    Drawing d(w->RPort);
    d.DrawFillRectangle(left, top, right - left, bottom - top, 0, 0, static_cast<int>(colour));
}

void GadgetControl::SetSize(int w, int h) {
    const bool shown = loaded;
    if (shown) {
        Hide();
    }
    size = {w, h};
    stale = gadget != nullptr;
    if (shown) {
        Show();
    }
}

void GadgetControl::SetLocation(int x, int y) {
    const bool shown = loaded;
    if (shown) {
        Hide();
    }
    position = {x, y};
    stale = gadget != nullptr;
    if (shown) {
        Show();
    }
}

void GadgetControl::Rebuild() {
    stale = gadget != nullptr;
    if (loaded) {
        Hide();
        Show();
    }
}

void GadgetControl::SetEnabled(bool enable) {
    if (!enable) {
        DropFocus();
    }
    enabled = enable;
    SetGadgetAttrs(GA_Disabled, enable ? FALSE : TRUE);
}

void GadgetControl::Focus() {
    if (!loaded || !GadgetAlive()) {
        return;
    }
    GUIElement::Focus();
    if (Application::CustomsGadgetSel != this) {
        if (Application::CustomsGadgetSel != nullptr) {
            Application::CustomsGadgetSel->OnLeave();
        }
        Application::CustomsGadgetSel = this;
        OnFocus();
    }
    if (!keyFocus) {
        keyFocus = true;
        DrawRing();
    }
}

void GadgetControl::OnLeave() {
    if (keyFocus) {
        keyFocus = false;
        EraseRing();
    }
    Child::OnLeave();
}

void GadgetControl::DropFocus() {
    if (Application::CustomsGadgetSel == this) {
        Application::CustomsGadgetSel = nullptr;
        OnLeave();
    }
}

// Around the control's area and its gadget's own box, two pixels out, every other pixel.
void GadgetControl::DrawRing() {
    Window* w = GetWindow();
    if (w == nullptr || gadget == nullptr) {
        return;
    }
    const tagPOINT at = GetPositionFromParent(position.x, position.y);
    const int left = std::min<int>(at.x, gadget->LeftEdge) - 2;
    const int top = std::min<int>(at.y, gadget->TopEdge) - 2;
    const int right = std::max<int>(at.x + size.cx, gadget->LeftEdge + gadget->Width) + 1;
    const int bottom = std::max<int>(at.y + size.cy, gadget->TopEdge + gadget->Height) + 1;
    std::vector<tagPOINT> dots;
    for (int x = left; x <= right; x += 2) {
        dots.push_back({x, top});
        dots.push_back({x, bottom});
    }
    for (int y = top + 2; y < bottom; y += 2) {
        dots.push_back({left, y});
        dots.push_back({right, y});
    }
    Drawing d(w->RPort);
    underRing.clear();
    for (const tagPOINT& p : dots) {
        underRing.push_back({p.x, p.y, d.GetColorPixel(p.x, p.y)});
    }
    for (const tagPOINT& p : dots) {
        d.DrawPixel(p.x, p.y, 1);
    }
}

void GadgetControl::EraseRing() {
    Window* w = GetWindow();
    if (w != nullptr) {
        Drawing d(w->RPort);
        for (const Dot& dot : underRing) {
            if (dot.pen >= 0) {
                d.DrawPixel(dot.x, dot.y, dot.pen);
            }
        }
    }
    underRing.clear();
}

bool GadgetControl::GetGadgetAttr(Tag tag, IPTR& value) {
    if (!loaded || !GadgetAlive()) {
        return false;
    }
    IPTR read = 0;
    if (GT_GetGadgetAttrs(gadget, GetWindow(), nullptr, tag, &read) != 1) {
        return false;
    }
    value = read;
    return true;
}

void GadgetControl::FocusGadget() {
    if (loaded && GadgetAlive()) {
        ActivateGadget(gadget, GetWindow(), nullptr);
    }
    GUIElement::Focus();
}

std::string GadgetControl::ItemOf(const std::vector<std::string>& items, int i) {
    if (items.empty()) {
        return "";
    }
    if (i < 0 || static_cast<size_t>(i) >= items.size()) {
        return items.back();
    }
    return items[static_cast<size_t>(i)];
}

}  // namespace tessella
