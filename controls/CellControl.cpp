#include "CellControl.h"

namespace tessella {

namespace {

// Left- and right-aligned text keeps this far from a frame, so that letters never touch it.
constexpr int kTextInset = 2;

}  // namespace

CellControl::CellControl(GUIElement* parent) : CustomControl(parent) {
    className = "cellcontrol";
    isTabStop = 0;
}

void CellControl::Load() {
    if (loaded) {
        return;
    }
    CustomControl::Load();
    savedBackground = static_cast<long>(backgroundColor);
    changed = false;
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
    RastPort* rp = PaintPort();
    if (rp == nullptr) {
        return;
    }
    Drawing d(rp);
    const tagPOINT at = WindowOrigin();
    const int inset = border != 0 ? 1 : 0;
    const int x = at.x + inset;
    const int y = at.y + inset;
    const int width = size.cx - 2 * inset;
    const int height = size.cy - 2 * inset;
    const int back = selected ? selectedBackground : FirstColour({backgroundColor});
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

}  // namespace tessella
