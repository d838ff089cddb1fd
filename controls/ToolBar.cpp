#include "ToolBar.h"

#include <graphics.h>
#include <intuition.h>

#include <algorithm>

#include "ButtonCustom.h"
#include "Drawing.h"
#include "ToolBarItem.h"
#include "runtime/Application.h"

namespace tessella {

namespace {

constexpr int kSeparatorDown = 10;
constexpr int kSeparatorAlong = 12;
constexpr int kPlainButton = 22;
constexpr int kGap = 2;
// Beyond the caption itself: the button's margins around its text, and a letter's space more so
// that the caption never touches the frame.
constexpr int kCaptionRoom = 14;

// The caption as wide as the button's font prints it.
int CaptionWidth(GUIElement* button, const std::string& caption) {
    TextFont* font = button->GetFonts()->GetTextFont();
    if (font == nullptr) {
        return Drawing::GetStringWidth(button, caption);
    }
    RastPort rp;
    InitRastPort(&rp);
    SetFont(&rp, font);
    return TextLength(&rp, caption.c_str(), static_cast<ULONG>(caption.size()));
}

// One-plane 16 x 16 pictures in pen 1: a page with a folded corner, a folder and a disk.
UWORD pageData[16] = {0x3FC0, 0x2060, 0x2050, 0x2078, 0x2008, 0x2008, 0x2008, 0x2008,
                      0x2008, 0x2008, 0x2008, 0x2008, 0x2008, 0x2008, 0x3FF8, 0x0000};
UWORD folderData[16] = {0x0000, 0x0000, 0x7C00, 0x4200, 0x7FFE, 0x4002, 0x4002, 0x4002,
                        0x4002, 0x4002, 0x4002, 0x4002, 0x4002, 0x7FFE, 0x0000, 0x0000};
UWORD diskData[16] = {0x7FFC, 0x4824, 0x4824, 0x4824, 0x4FE4, 0x4004, 0x4004, 0x5FF4,
                      0x5014, 0x5014, 0x5014, 0x5014, 0x5014, 0x7FFC, 0x0000, 0x0000};

// The same pictures with every other dot, which reads as grey.
struct Dimmed {
    UWORD data[16] = {};
    explicit Dimmed(const UWORD* from) {
        for (int row = 0; row < 16; ++row) {
            data[row] = static_cast<UWORD>(from[row] & (row % 2 == 0 ? 0xAAAA : 0x5555));
        }
    }
};

Dimmed pageDim(pageData);
Dimmed folderDim(folderData);
Dimmed diskDim(diskData);

Image page = {0, 0, 16, 16, 1, pageData, 0x01, 0, nullptr};
Image folder = {0, 0, 16, 16, 1, folderData, 0x01, 0, nullptr};
Image disk = {0, 0, 16, 16, 1, diskData, 0x01, 0, nullptr};
Image pageOff = {0, 0, 16, 16, 1, pageDim.data, 0x01, 0, nullptr};
Image folderOff = {0, 0, 16, 16, 1, folderDim.data, 0x01, 0, nullptr};
Image diskOff = {0, 0, 16, 16, 1, diskDim.data, 0x01, 0, nullptr};

template <typename List>
Image* At(const List& list, int i) {
    return i >= 0 && static_cast<size_t>(i) < list.size() ? list[static_cast<size_t>(i)] : nullptr;
}

}  // namespace

std::array<Image*, ToolBar::kStandardImages> ToolBar::lstImgStandard = {&page, &folder, &disk};
std::array<Image*, ToolBar::kStandardImages> ToolBar::lstImgStandard_dis = {&pageOff, &folderOff,
                                                                            &diskOff};

ToolBar::ToolBar(GUIElement* parent, bool /*flag*/) : CustomControl(parent) {
    className = "panel";
    isTabStop = 1;
    size = {190, 25};
    position = {2, 6};
}

ToolBar::~ToolBar() = default;

void ToolBar::AddToolBarItem(ToolBarItem* item) {
    if (item != nullptr) {
        items.push_back(item);
    }
}

void ToolBar::RemoveToolBarItem(ToolBarItem* item) {
    if (item == nullptr) {
        return;
    }
    const auto it = std::find_if(items.begin(), items.end(), [item](ToolBarItem* i) {
        return i == item || (i->GetID() != 0 && i->GetID() == item->GetID());
    });
    if (it != items.end()) {
        items.erase(it);
    }
}

void ToolBar::SetAlignTop(bool v) {
    alignTop = v;
    if (v) {
        alignBottom = false;
    }
}

void ToolBar::SetAlignBottom(bool v) {
    alignBottom = v;
    if (v) {
        alignTop = false;
    }
}

void ToolBar::SetAlignLeft(bool v) {
    alignLeft = v;
    if (v) {
        alignRight = false;
    }
}

void ToolBar::SetAlignRight(bool v) {
    alignRight = v;
    if (v) {
        alignLeft = false;
    }
}

void ToolBar::InitAlign() {
    alignTop = false;
    alignBottom = false;
    alignLeft = false;
    alignRight = false;
}

void ToolBar::Hide() {
    for (auto& b : buttons) {
        b->Hide();
    }
    CustomControl::Hide();
}

void ToolBar::OnPaint() {
    if (PaintPort() != nullptr) {
        RefreshToolBarItems();
    }
}

tagSIZE ToolBar::PlaceButton(ToolBarItem* item, size_t index, int x, int y) {
    if (index == buttons.size()) {
        const int16_t suspended = Application::SospendiRefresh;
        Application::SospendiRefresh = 1;
        buttons.push_back(std::make_unique<ButtonCustom>(this, ""));
        buttons.back()->SetCommand(OnCommand);
        Application::SospendiRefresh = suspended;
        buttonItems.push_back(item);
    }
    ButtonCustom* b = buttons[index].get();
    buttonItems[index] = item;
    Image* image = At(lstImgStandard, item->GetImageStandard());
    Image* imageDisabled = At(lstImgStandard_dis, item->GetImageStandard());
    if (item->GetImageStandard() < 0 && item->GetImageIndex() >= 0) {
        image = item->GetImage();
        imageDisabled = item->GetImageDisabled();
    }
    const std::string caption = item->GetText();
    int width = image != nullptr ? image->Width + 10 : kPlainButton;
    if (!caption.empty()) {
        width += CaptionWidth(b, caption) + kCaptionRoom;
    }
    const int height = image != nullptr ? image->Height + 6 : kPlainButton;
    GUIElement* form = GetFormParent();
    if (alignRight && form != nullptr) {
        x = form->ClientWidth() - width - 10;
    } else if (alignBottom && form != nullptr) {
        y = form->ClientHeight() - height - 8;
    }
    b->SetEnabled(item->GetEnabled());
    b->SetBitmap(image);
    b->SetBitmapDisabled(imageDisabled);
    if (b->GetText() != caption) {
        b->SetText(caption);
    }
    if (b->Width() != width || b->Height() != height) {
        b->SetSize(width, height);
    }
    if (b->GetPosition().x != x || b->GetPosition().y != y) {
        b->SetLocation(x, y);
    }
    if (!b->IsLoad()) {
        b->Show();
    }
    return {width, height};
}

void ToolBar::RefreshToolBarItems() {
    if (items.empty()) {
        return;
    }
    tagPOINT at = position;
    if (alignTop || alignLeft) {
        at = {2, 6};
    } else if (alignBottom) {
        at = {2, 0};
    } else if (alignRight) {
        at = {0, 6};
    }
    const bool downwards = (alignLeft || (alignRight && !alignBottom)) && !alignTop;
    size_t used = 0;
    for (ToolBarItem* item : items) {
        item->Load();
        if (item->IsSeparator()) {
            if (downwards) {
                at.y += kSeparatorDown;
            } else {
                at.x += kSeparatorAlong;
            }
            continue;
        }
        const tagSIZE s = PlaceButton(item, used++, at.x, at.y);
        if (downwards) {
            at.y += s.cy + kGap;
        } else {
            at.x += s.cx + kGap;
        }
    }
    for (size_t i = used; i < buttons.size(); ++i) {
        buttons[i]->Hide();
    }
}

void ToolBar::OnCommand(GUIElement* button) {
    auto* c = dynamic_cast<Child*>(button);
    if (auto* bar = dynamic_cast<ToolBar*>(c != nullptr ? c->GetParent() : nullptr)) {
        bar->evCommand(button);
    }
}

void ToolBar::evCommand(GUIElement* button) {
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].get() == button && buttons[i]->IsLoad()) {
            buttonItems[i]->OnCommand(buttonItems[i]);
            return;
        }
    }
}

}  // namespace tessella
