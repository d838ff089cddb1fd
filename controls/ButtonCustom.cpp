#include "ButtonCustom.h"

#include <dos.h>
#include <intuition.h>

#include "Drawing.h"

namespace tessella {

namespace {

constexpr int kPressTicks = 10;  // 1/50 s each: 200 ms

// A downward triangle in pen 1; the disabled one keeps every other dot, which reads as grey.
UWORD arrowData[4 * 16] = {0, 0, 0, 0, 0, 0x1FF8, 0x0FF0, 0x07E0, 0x03C0, 0x0180};
UWORD arrowDisabledData[4 * 16] = {0, 0, 0, 0, 0, 0x1550, 0x0AA0, 0x0540, 0x0280, 0x0100};

}  // namespace

Image ButtonCustom::imgCbo = {0, 0, 16, 16, 4, arrowData, 0x0F, 0, nullptr};
Image ButtonCustom::imgCboDis = {0, 0, 16, 16, 4, arrowDisabledData, 0x0F, 0, nullptr};

ButtonCustom::ButtonCustom(GUIElement* p, std::string caption) : CustomControl(p) {
    className = "ButtonCustom";
    isTabStop = 1;
    size = {80, 30};
    text = std::move(caption);
}

void ButtonCustom::Init(GUIElement* newParent, std::string caption) {
    parent = newParent;
    text = std::move(caption);
    size = {80, 30};
    textColour = 1;
    pressed = 0;
    combo = 0;
    image = nullptr;
    imageDisabled = nullptr;
}

void ButtonCustom::Repaint() {
    if (loaded) {
        OnPaint();
    }
}

void ButtonCustom::SetText(std::string s) {
    text = std::move(s);
    Repaint();
}

void ButtonCustom::SetEnabled(bool enable) {
    enabled = enable;
    Repaint();
}

void ButtonCustom::SetComboCommand(int8_t flag) {
    combo = flag;
    Repaint();
}

void ButtonCustom::SetBitmap(Image* img) {
    image = img;
    Repaint();
}

void ButtonCustom::SetBitmapDisabled(Image* img) {
    imageDisabled = img;
    Repaint();
}

void ButtonCustom::OnFocus() {
    CustomControl::OnFocus();
    Repaint();
}

void ButtonCustom::OnLeave() {
    CustomControl::OnLeave();
    Repaint();
}

bool ButtonCustom::Press() {
    // A button disabled while it held the focus still receives the release: it must not act.
    if (!enabled) {
        return false;
    }
    pressed = 1;
    Repaint();
    Delay(kPressTicks);
    pressed = 0;
    Repaint();
    OnCommand(this);
    return true;
}

void ButtonCustom::OnLeftMouseUP(tagPOINT p) {
    if (Press()) {
        CustomControl::OnLeftMouseUP(p);
    }
}

bool ButtonCustom::OnKeyPress(int character) {
    if ((character == ' ' || character == '\r') && focused != 0) {
        Press();
        return false;
    }
    return CustomControl::OnKeyPress(character);
}

void ButtonCustom::PaintCaption(Drawing& d, int x, int y, int w, int h, int background,
                                Image* shown) {
    const int pen = enabled ? textColour : Drawing::kDisabledTextPen;
    const int imageRoom = shown != nullptr ? shown->Width + 10 : 0;
    if (combo != 0) {
        Image* arrow = enabled ? &imgCbo : &imgCboDis;
        if (!text.empty()) {
            const int left = shown != nullptr ? x + imageRoom : x + 6;
            d.PrintText(left, y + 4, w - arrow->Width - 16 - imageRoom, h - 8, text, pen,
                        background, &font, AlignLeft);
        }
        if (shown != nullptr && !text.empty()) {
            d.DrawImageEx(x + 8, y + (h - shown->Height) / 2, shown);
        }
        d.DrawImageEx(x + w - arrow->Width - 8, y + (h - arrow->Height) / 2, arrow);
        return;
    }
    if (shown == nullptr) {
        if (!text.empty()) {
            d.PrintText(x + 6, y + 4, w - 12, h - 8, text, pen, background, &font, AlignCenter);
        }
        return;
    }
    if (text.empty()) {
        d.DrawImageEx(x + (w - shown->Width) / 2, y + (h - shown->Height) / 2, shown);
        return;
    }
    d.PrintText(x + imageRoom, y + 4, w - 12 - imageRoom, h - 8, text, pen, background, &font,
                AlignLeft);
    d.DrawImageEx(x + 8, y + (h - shown->Height) / 2, shown);
}

void ButtonCustom::OnPaint() {
    RastPort* rp = PaintPort();
    if (rp == nullptr) {
        return;
    }
    const tagPOINT at = WindowOrigin();
    const int x = at.x;
    const int y = at.y;
    const int w = size.cx;
    const int h = size.cy;
    GUIElement* form = GetFormParent();
    const int background =
        FirstColour({backgroundColor, parent != nullptr ? parent->GetBackgroundColor() : ~0UL,
                     form != nullptr ? form->GetBackgroundColor() : ~0UL});
    Drawing d(rp);
    d.DrawFillRectangle(x, y, w, h, 0, 0, background);
    DrawFrame(d, x, y, w, h, pressed != 0);
    if (focused != 0 && enabled && pressed == 0) {
        const int right = x + w - 5;
        const int bottom = y + h - 3;
        d.DrawLine(x + 4, y + 2, right, y + 2, LineDashed, 1, textColour);
        d.DrawLine(right, y + 2, right, bottom, LineDashed, 1, textColour);
        d.DrawLine(x + 4, bottom, right, bottom, LineDashed, 1, textColour);
        d.DrawLine(x + 4, bottom, x + 4, y + 2, LineDashed, 1, textColour);
    }
    Image* shown = !enabled && imageDisabled != nullptr ? imageDisabled : image;
    PaintCaption(d, x, y, w, h, background, shown);
}

}  // namespace tessella
