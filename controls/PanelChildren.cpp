#include "PanelChildren.h"

#include <gadtools.h>
#include <intuition.h>

#include "Drawing.h"
#include "ScrollBar.h"
#include "runtime/Application.h"
#include "runtime/Form.h"

namespace tessella {

PanelChildren::PanelChildren(GUIElement* p) : CustomControl(p) {
    className = "panel";
    isTabStop = 0;
}

PanelChildren::~PanelChildren() {
    delete barH;
    delete barV;
}

std::vector<GUIElement*> PanelChildren::DirectChildren() const {
    // The registry also lists the children of panels inside this one: those go with their own
    // panel.
    std::vector<GUIElement*> direct;
    for (GUIElement* e : Application::GetChildren(id)) {
        const auto* c = dynamic_cast<const Child*>(e);
        if (c != nullptr && c->GetParent() == this) {
            direct.push_back(e);
        }
    }
    return direct;
}

void PanelChildren::Load() {
    const bool first = id == 0;
    CustomControl::Load();
    if (first) {
        CreateScrollBars();
    }
}

void PanelChildren::CreateScrollBars() {
    // Just outside the panel: below it and right of it. A range with no maximum scrolls over
    // twice the panel's length.
    if (scrollH != 0 && barH == nullptr) {
        if (hMax == 0) {
            hMax = 2 * size.cx;
        }
        barH = new ScrollBar(this, hMin, hMax);
        barH->SetPos(hPos);
        barH->SetSize(size.cx, 13);
        barH->SetLocation(0, size.cy);
        barH->SetHScroll(1);
        barH->SetOnScroll(ScrollingH);
        barH->Load();
    }
    if (scrollV != 0 && barV == nullptr) {
        if (vMax == 0) {
            vMax = 2 * size.cy;
        }
        barV = new ScrollBar(this, vMin, vMax);
        barV->SetPos(vPos);
        barV->SetSize(26, size.cy);
        barV->SetLocation(size.cx, 0);
        barV->SetVScroll(1);
        barV->SetOnScroll(ScrollingV);
        barV->Load();
    }
}

void PanelChildren::TintChild(GUIElement* child) const {
    if (childBackground != ~0UL && child->GetBackgroundColor() != childBackground) {
        child->SetBackgroundColor(childBackground);
    }
}

void PanelChildren::OnPaint() {
    RastPort* rp = PaintPort();
    if (rp == nullptr) {
        return;
    }
    const tagPOINT at = WindowOrigin();
    const int background = FirstColour({backgroundColor});
    {
        Drawing d(rp);
        d.DrawFillRectangle(at.x, at.y, size.cx, size.cy, 0, 0, background);
        if (border != 0) {
            if (flat != 0) {
                d.DrawRectangle(at.x, at.y, size.cx, size.cy, 1, 1);
            } else {
                DrawFrame(d, at.x, at.y, size.cx, size.cy, recessed != 0);
            }
        }
        if (!text.empty()) {
            d.PrintText(at.x + 4, at.y + 2, size.cx - 8, 10, text, FirstColour({titleColour, 1}),
                        background, nullptr, AlignLeft);
        }
    }
    if (id == 0) {
        return;
    }
    for (GUIElement* child : Application::GetChildren(id)) {
        if (child->IsRenderControl() == 0 || !child->IsLoad()) {
            continue;
        }
        TintChild(child);
        child->OnPaint();
    }
}

void PanelChildren::Show() {
    if (!loaded) {
        Load();
    }
    OnPaint();
    for (GUIElement* child : DirectChildren()) {
        // Children loading now paint themselves; they take the panel's colour for them first.
        if (child->IsRenderControl() != 0) {
            TintChild(child);
        }
        child->Show();
    }
    auto* form = dynamic_cast<Form*>(GetFormParent());
    if (form != nullptr && form->GetHandle() != nullptr) {
        GT_RefreshWindow(form->GetHandle(), nullptr);
    }
    GUIElement::Show();
}

void PanelChildren::ShowActivate() {
    Show();
}

void PanelChildren::Hide() {
    for (GUIElement* child : DirectChildren()) {
        child->Hide();
    }
    if (loaded) {
        Erase();
    }
    GUIElement::Hide();
    loaded = false;
}

void PanelChildren::SetBorder(short flag) {
    border = flag;
    flat = 0;
}

void PanelChildren::SetBorderFlat(short flag) {
    flat = flag;
    border = 1;
}

void PanelChildren::SetBorderIncassato(short flag) {
    recessed = flag;
    border = 1;
}

void PanelChildren::SetRangeScrollH(int min, int max, int pos) {
    hMin = min;
    hMax = max;
    hPos = pos;
}

void PanelChildren::SetRangeScrollV(int min, int max, int pos) {
    vMin = min;
    vMax = max;
    vPos = pos;
}

void PanelChildren::SetRangeScroll(int min, int max, int pos) {
    if (scrollV != 0) {
        SetRangeScrollV(min, max, pos);
    } else if (scrollH != 0) {
        SetRangeScrollH(min, max, pos);
    }
}

void PanelChildren::OnScrollV(int pos) {
    if (onScrollV != nullptr) {
        onScrollV(this, pos);
    }
}

void PanelChildren::OnScrollH(int pos) {
    if (onScrollH != nullptr) {
        onScrollH(this, pos);
    }
}

int32_t PanelChildren::GetIDScrollV() const {
    return barV != nullptr ? barV->GetID() : 0;
}

int32_t PanelChildren::GetIDScrollH() const {
    return barH != nullptr ? barH->GetID() : 0;
}

void PanelChildren::ScrollingV(GUIElement* bar, int pos) {
    const auto* c = dynamic_cast<const Child*>(bar);
    if (auto* panel = dynamic_cast<PanelChildren*>(c != nullptr ? c->GetParent() : nullptr)) {
        panel->OnScrollV(pos);
    }
}

void PanelChildren::ScrollingH(GUIElement* bar, int pos) {
    const auto* c = dynamic_cast<const Child*>(bar);
    if (auto* panel = dynamic_cast<PanelChildren*>(c != nullptr ? c->GetParent() : nullptr)) {
        panel->OnScrollH(pos);
    }
}

}  // namespace tessella
