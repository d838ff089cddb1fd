#include "CustomControl.h"

#include <intuition.h>

#include "Drawing.h"
#include "runtime/Application.h"
#include "runtime/Form.h"

namespace tessella {

namespace {

constexpr unsigned long kNoColour = ~0UL;

}  // namespace

CustomControl::CustomControl(GUIElement* parent, unsigned long instance) : Child(parent, instance) {
    isRenderControl = 1;
}

void CustomControl::Load() {
    if (id == 0) {
        LoadElementBase();
    }
    loaded = true;
    visible = true;
}

void CustomControl::Show() {
    GUIElement::Show();
    OnPaint();
}

void CustomControl::ShowActivate() {
    Show();
}

void CustomControl::Hide() {
    if (!loaded) {
        return;
    }
    Erase();
    GUIElement::Hide();
    loaded = false;
}

void CustomControl::SetSize(int w, int h) {
    if (!loaded) {
        size = {w, h};
        return;
    }
    Hide();
    size = {w, h};
    Show();
}

void CustomControl::SetLocation(int x, int y) {
    if (!loaded) {
        position = {x, y};
        return;
    }
    Hide();
    position = {x, y};
    Show();
}

void CustomControl::TakeFocus() {
    if (!loaded) {
        return;
    }
    GUIElement::Focus();
    OnFocus();
    if (Application::CustomsGadgetSel != nullptr && Application::CustomsGadgetSel != this) {
        Application::CustomsGadgetSel->OnLeave();
    }
    Application::CustomsGadgetSel = this;
}

RastPort* CustomControl::WindowPort() const {
    auto* form = dynamic_cast<Form*>(GetFormParent());
    Window* window = form != nullptr ? form->GetHandle() : nullptr;
    return window != nullptr ? window->RPort : nullptr;
}

RastPort* CustomControl::PaintPort() {
    if (Application::SospendiRefresh != 0 || !loaded) {
        return nullptr;
    }
    return WindowPort();
}

tagPOINT CustomControl::WindowOrigin() const {
    return GetPositionFromParent(position.x, position.y);
}

int CustomControl::FirstColour(std::initializer_list<unsigned long> colours) {
    for (const unsigned long c : colours) {
        if (c != kNoColour) {
            return static_cast<int>(c);
        }
    }
    return 0;
}

int CustomControl::EraseColour() const {
    GUIElement* form = GetFormParent();
    return FirstColour({parent != nullptr ? parent->GetBackgroundColor() : kNoColour,
                        form != nullptr ? form->GetBackgroundColor() : kNoColour});
}

void CustomControl::Erase() {
    RastPort* rp = WindowPort();
    if (rp == nullptr) {
        return;
    }
    const tagPOINT at = WindowOrigin();
    Drawing d(rp);
    d.DrawFillRectangle(at.x, at.y, size.cx, size.cy, 0, 0, EraseColour());
}

void CustomControl::DrawFrame(Drawing& d, int x, int y, int w, int h, bool sunken) {
    const int light = sunken ? 1 : 2;
    const int shadow = sunken ? 2 : 1;
    const int right = x + w - 1;
    const int bottom = y + h - 1;
    d.DrawLine(x, y, right, y, 1, light);
    d.DrawLine(x, bottom, x, y, 1, light);
    d.DrawLine(right, y, right, bottom, 1, shadow);
    d.DrawLine(x, bottom, right, bottom, 1, shadow);
}

}  // namespace tessella
