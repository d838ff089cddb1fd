#include "CellControl.h"

#include <intuition.h>

#include "Application.h"
#include "Form.h"

namespace {

constexpr unsigned long kNoColour = ~0UL;
// Left- and right-aligned text keeps this far from a frame, so that letters never touch it.
constexpr int kTextInset = 2;

int PenOr0(unsigned long colour) {
    return colour == kNoColour ? 0 : static_cast<int>(colour);
}

Window* WindowOf(const Child* c) {
    auto* form = dynamic_cast<Form*>(c->GetFormParent());
    return form != nullptr ? form->GetHandle() : nullptr;
}

}  // namespace

CellControl::CellControl(GUIElement* parent) : Child(parent) {
    className = "cellcontrol";
    isTabStop = 0;
    isRenderControl = 1;
}

void CellControl::Load() {
    if (loaded) {
        return;
    }
    if (id == 0) {
        id = ++countForm;
        handle = static_cast<unsigned long>(id);
    }
    savedBackground = static_cast<long>(backgroundColor);
    changed = false;
    loaded = true;
    visible = true;
}

void CellControl::Show() {
    GUIElement::Show();
    OnPaint();
}

void CellControl::ShowActivate() {
    GUIElement::ShowActivate();
    OnPaint();
}

void CellControl::Hide() {
    if (loaded) {
        if (Window* w = WindowOf(this)) {
            const tagPOINT at = GetPositionFromParent(position.x, position.y);
            Drawing d(w->RPort);
            d.DrawFillRectangle(at.x, at.y, size.cx, size.cy, 0, 0,
                                PenOr0(GetFormParent()->GetBackgroundColor()));
        }
    }
    GUIElement::Hide();
    loaded = false;
}

void CellControl::Repaint() {
    if (loaded) {
        OnPaint();
    }
}

void CellControl::SetText(std::string s) {
    Change(text, std::move(s));
}

void CellControl::SetSelected(bool v) {
    selected = v;
    Repaint();
}

void CellControl::SetSelectedColor(int pen) {
    selectedColor = pen;
    Repaint();
}

void CellControl::SetSelectedColorBG(int pen) {
    selectedBackground = pen;
    Repaint();
}

void CellControl::SetImage(Image* img, int width, int height, OrvAlign align) {
    image = img;
    imageWidth = width;
    imageHeight = height;
    imageAlign = align;
    Repaint();
}

void CellControl::ResetBackgroundColor() {
    if (!loaded || savedBackground < 0 ||
        static_cast<unsigned long>(savedBackground) == backgroundColor) {
        return;
    }
    backgroundColor = static_cast<unsigned long>(savedBackground);
    changed = true;
    Repaint();
}

void CellControl::OnPaint() {
    Window* w = WindowOf(this);
    if (Application::SospendiRefresh != 0 || !loaded || w == nullptr) {
        return;
    }
    Drawing d(w->RPort);
    const tagPOINT at = GetPositionFromParent(position.x, position.y);
    const int inset = border != 0 ? 1 : 0;
    const int x = at.x + inset;
    const int y = at.y + inset;
    const int width = size.cx - 2 * inset;
    const int height = size.cy - 2 * inset;
    const int back = selected ? selectedBackground : PenOr0(backgroundColor);
    const int fore = selected ? selectedColor : textColor;
    if (border != 0) {
        const int right = at.x + size.cx - 1;
        const int bottom = at.y + size.cy - 1;
        const int shadow = back == 2 ? 1 : 2;  // an edge in the background's pen would vanish
        d.DrawLine(at.x, at.y, right, at.y, 1);
        d.DrawLine(at.x, bottom, at.x, at.y, 1);
        d.DrawLine(right, at.y, right, bottom, shadow);
        d.DrawLine(at.x, bottom, right, bottom, shadow);
    }
    // The printer fills only its own box: the margins beside the text are filled here.
    const int pad = border != 0 && textAlign != AlignCenter ? kTextInset : 0;
    d.DrawFillRectangle(x, y, width, height, 0, 0, back);
    d.PrintText(x + pad, y, width - 2 * pad, height, text, fore, back, &font, textAlign);
    if (check != 0) {
        const int line = Drawing::GetHeightFont(&font);
        d.PrintText(x + width - line, y + height - line - 4, line, line, "*", fore, back, &font,
                    AlignCenter);
    }
    if (image != nullptr) {
        const int top = y + (height - imageHeight) / 2;
        int left = x + 3;
        if (imageAlign == AlignRight) {
            left = x + width - imageWidth - 3;
        } else if (imageAlign == AlignCenter) {
            left = x + (width - imageWidth) / 2;
        }
        d.DrawImageEx(left, top, image);
    }
}
