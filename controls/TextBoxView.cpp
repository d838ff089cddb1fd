#include "TextBoxView.h"

#include <graphics.h>

#include <algorithm>

#include "Drawing.h"
#include "ScrollBar.h"
#include "runtime/Application.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

constexpr int kBarWidth = 14;
// Spare rows below the text, so that the last line never sits on the bitmap's edge.
constexpr int kSpareRows = 20;
constexpr int kDepth = 5;
// The text keeps clear of the frame on the left and at the top.
constexpr int kTextInset = 3;
constexpr ULONG kPlainCopy = 0xC0;

}  // namespace

TextBoxView::TextBoxView(GUIElement* parent, std::string s) : CustomControl(parent) {
    className = "TextBoxView";
    isTabStop = 1;
    size = {180, 150};
    backgroundColor = 2;
    text = StringUtils::RTrim(std::move(s));
}

TextBoxView::~TextBoxView() {
    if (image != nullptr) {
        FreeBitMap(image);
    }
}

int TextBoxView::TextWidth() const {
    return size.cx - kBarWidth - 2 * kTextInset;
}

int TextBoxView::PrintedHeight() {
    if (text.empty()) {
        return size.cy;
    }
    Drawing d(WindowPort());
    return d.GetStringHeight(TextWidth(), text, &font) + 2 * kTextInset;
}

void TextBoxView::Load() {
    if (loaded) {
        return;
    }
    CustomControl::Load();
    if (scrollBar == nullptr) {
        scrollBar = std::make_unique<ScrollBar>(parent, 0, PrintedHeight());
        scrollBar->SetVScroll(1);
        scrollBar->SetOnScroll(evChangeValue);
    }
    // Over the view's right edge, wherever the view was moved to since.
    scrollBar->SetSize(kBarWidth, size.cy);
    scrollBar->SetLocation(position.x + size.cx - kBarWidth, position.y);
    scrollBar->Show();
    CreaImmagine();
}

void TextBoxView::Hide() {
    if (loaded) {
        scrollBar->Hide();
    }
    CustomControl::Hide();
}

void TextBoxView::CreaImmagine() {
    const int background = enabled ? static_cast<int>(backgroundColor) : 0;
    if (image != nullptr) {
        FreeBitMap(image);
        image = nullptr;
    }
    contentHeight = std::max(size.cy, PrintedHeight());
    const int width = std::max(size.cx, 1);
    image = AllocBitMap(static_cast<ULONG>(width), static_cast<ULONG>(contentHeight + kSpareRows),
                        kDepth, BMF_CLEAR, nullptr);
    if (image == nullptr) {
        return;
    }
    RastPort rp;
    InitRastPort(&rp);
    rp.BitMap = image;
    Drawing d(&rp);
    d.DrawFillRectangle(0, 0, size.cx - kBarWidth, contentHeight + kSpareRows, 0, 0, background);
    SetBPen(&rp, static_cast<ULONG>(background));  // continuation lines leave the pens as found
    // Printed as continuation lines: from the top down, where a first call would centre a
    // single line in the whole bitmap.
    d.PrintText(kTextInset, kTextInset, TextWidth(), contentHeight + kSpareRows - kTextInset, text,
                textColor, background, &font, AlignLeft, 0);
}

void TextBoxView::OnPaint() {
    RastPort* rp = WindowPort();
    if (!loaded || rp == nullptr || image == nullptr) {
        return;
    }
    const tagPOINT at = WindowOrigin();
    const int areaWidth = size.cx - kBarWidth;
    const int inset = border != 0 ? 1 : 0;
    const int visibleWidth = areaWidth - 2 * inset;
    const int visibleHeight = size.cy - 2 * inset;
    offset = std::clamp(offset, 0, std::max(contentHeight - visibleHeight, 0));
    Drawing d(rp);
    BltBitMapRastPort(image, 0, offset, rp, at.x + inset, at.y + inset, visibleWidth, visibleHeight,
                      kPlainCopy);
    if (border == 0) {
        return;
    }
    // A double bevel, sunken: drawn over the copy's edge so that both rings show.
    const int right = at.x + areaWidth - 1;
    const int bottom = at.y + size.cy - 1;
    d.DrawLine(at.x, at.y, right, at.y, 2);
    d.DrawLine(at.x, bottom, at.x, at.y, 2);
    d.DrawLine(right, at.y, right, bottom, 1);
    d.DrawLine(at.x, bottom, right, bottom, 1);
    d.DrawLine(at.x + 1, at.y + 1, right - 1, at.y + 1, 1);
    d.DrawLine(at.x + 1, bottom - 1, at.x + 1, at.y + 1, 1);
    d.DrawLine(right - 1, at.y + 1, right - 1, bottom - 1, 2);
    d.DrawLine(at.x + 1, bottom - 1, right - 1, bottom - 1, 2);
}

void TextBoxView::SetText(std::string s) {
    text = std::move(s);
    if (!loaded) {
        return;
    }
    scrollBar->SetRange(0, PrintedHeight());
    offset = 0;
    scrollBar->SetPos(0);
    CreaImmagine();
    OnPaint();
}

void TextBoxView::SetEnabled(bool enable) {
    enabled = enable;
    if (scrollBar != nullptr) {
        scrollBar->SetEnabled(enable);  // a view that shows it is off does not scroll either
    }
    if (loaded) {
        CreaImmagine();
        OnPaint();
    }
}

void TextBoxView::SetColor(int pen) {
    textColor = pen;
    if (loaded) {
        CreaImmagine();
        OnPaint();
    }
}

void TextBoxView::SetBorder(short v) {
    border = v;
}

void TextBoxView::SetLeftAlign(short v) {
    if (v != 0) {
        rightAlign = 0;
        centerAlign = 0;
    }
}

void TextBoxView::SetRightAlign(short v) {
    rightAlign = v;
    if (v != 0) {
        centerAlign = 0;
    }
}

void TextBoxView::SetCenterAlign(short v) {
    centerAlign = v;
    if (v != 0) {
        rightAlign = 0;
    }
}

void TextBoxView::evChangeValue(GUIElement* element, int value) {
    for (GUIElement* e : Application::lst) {
        auto* view = dynamic_cast<TextBoxView*>(e);
        if (view != nullptr && view->scrollBar.get() == element) {
            view->OnChangeValue(element, value);
            return;
        }
    }
}

void TextBoxView::OnChangeValue(GUIElement* /*element*/, int value) {
    offset = value;
    OnPaint();
}

}  // namespace tessella
