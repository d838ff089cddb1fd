#include "Label.h"

#include <gadtools.h>
#include <intuition.h>

#include "Application.h"
#include "Form.h"

namespace {

Form* FormOf(GUIElement* e) {
    return dynamic_cast<Form*>(e);
}

}  // namespace

Label::Label(GUIElement* p, std::string caption) : CustomControl(p) {
    className = "label";
    isTabStop = 1;
    isRenderControl = 0;
    size = {80, 30};
    text = std::move(caption);
}

Label::~Label() {
    Detach();
}

void Label::Init(GUIElement* newParent, std::string caption) {
    parent = newParent;
    text = std::move(caption);
}

int Label::BackPen() const {
    return FirstColour({backgroundColor, parent != nullptr ? parent->GetBackgroundColor() : ~0UL});
}

int Label::Justification() const {
    if (centreAlign != 0) {
        return GTJ_CENTER;
    }
    return rightAlign != 0 ? GTJ_RIGHT : GTJ_LEFT;
}

void Label::Load() {
    if (loaded) {
        return;
    }
    if (id == 0) {
        LoadElementBase();
    }
    Form* form = FormOf(GetFormParent());
    Window* window = form != nullptr ? form->GetHandle() : nullptr;
    if (window == nullptr || GlobalVisualInfo == nullptr) {
        return;
    }
    const tagPOINT at = WindowOrigin();
    NewGadget ng{};
    ng.ng_LeftEdge = static_cast<WORD>(at.x);
    ng.ng_TopEdge = static_cast<WORD>(at.y);
    ng.ng_Width = static_cast<WORD>(size.cx);
    ng.ng_Height = static_cast<WORD>(size.cy);
    ng.ng_TextAttr = font.GetHFONT();
    ng.ng_GadgetID = static_cast<UWORD>(id);
    ng.ng_Flags = rightAlign != 0    ? PLACETEXT_RIGHT
                  : centreAlign != 0 ? PLACETEXT_IN
                                     : PLACETEXT_LEFT;
    ng.ng_VisualInfo = GlobalVisualInfo;

    Gadget* first = window->FirstGadget;
    Gadget* last = first;
    while (last != nullptr && last->NextGadget != nullptr) {
        last = last->NextGadget;
    }
    if (first != nullptr) {
        RemoveGList(window, first, -1);
    }
    gadget = CreateGadget(TEXT_KIND, last, &ng, GTTX_Text, text.c_str(), GTTX_CopyText, TRUE,
                          GTTX_FrontPen, static_cast<ULONG>(textPen), GTTX_BackPen,
                          static_cast<ULONG>(BackPen()), GTTX_Justification,
                          static_cast<ULONG>(Justification()), GTTX_Border,
                          static_cast<ULONG>(border != 0), GA_Immediate, TRUE, GA_RelVerify, FALSE);
    if (first != nullptr) {
        AddGList(window, first, 0, -1, nullptr);
        if (Application::SospendiRefresh == 0) {
            RefreshGadgets(first, window, nullptr);
        }
    } else if (gadget != nullptr) {
        // A window without a gadget list of its own: the label's gadget starts one.
        AddGList(window, gadget, 0, -1, nullptr);
        RefreshGadgets(gadget, window, nullptr);
    }
    loaded = true;
    visible = true;
}

void Label::Show() {
    GUIElement::Show();
}

void Label::ShowActivate() {
    GUIElement::Show();
}

void Label::Detach() {
    if (gadget == nullptr) {
        return;
    }
    Form* form = FormOf(GetFormParent());
    Window* window = form != nullptr ? form->GetHandle() : nullptr;
    if (window == nullptr) {
        // The window closed and freed its whole gadget list, this one included.
        gadget = nullptr;
        return;
    }
    RemoveGadget(window, gadget);
    form->RemoveDaGList(gadget);
    gadget->NextGadget = nullptr;
    FreeGadgets(gadget);
    gadget = nullptr;
}

void Label::Hide() {
    if (!loaded) {
        return;
    }
    Detach();
    Erase();
    GUIElement::Hide();
    loaded = false;
}

void Label::Retune() {
    Form* form = FormOf(GetFormParent());
    if (!loaded || gadget == nullptr || form == nullptr || form->GetHandle() == nullptr) {
        return;
    }
    GT_SetGadgetAttrs(gadget, form->GetHandle(), nullptr, GTTX_Text, text.c_str(), GTTX_FrontPen,
                      static_cast<ULONG>(textPen), GTTX_BackPen, static_cast<ULONG>(BackPen()),
                      GTTX_Justification, static_cast<ULONG>(Justification()));
}

void Label::SetText(std::string s) {
    text = std::move(s);
    Retune();
}

void Label::SetColor(int pen) {
    textPen = static_cast<uint8_t>(pen);
    Retune();
}

void Label::SetBackgroundColor(unsigned long color) {
    backgroundColor = color;
    Retune();
}

void Label::SetLeftAlign(short /*on*/) {
    rightAlign = 0;
    centreAlign = 0;
    Retune();
}

void Label::SetRightAlign(short on) {
    rightAlign = on;
    if (on != 0) {
        centreAlign = 0;
    }
    Retune();
}

void Label::SetCenterAlign(short on) {
    centreAlign = on;
    if (on != 0) {
        rightAlign = 0;
    }
    Retune();
}

void Label::SetWindosStyle() {
    Retune();
}

void Label::SetBorder(short flag) {
    border = flag;
    if (loaded) {
        Hide();
        Show();
    }
}
