// Tool bars: buttons laid out from their items, and a press reaching the item's command.
#include <graphics.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "GadgetDesk.h"
#include "controls/ButtonCustom.h"
#include "controls/Drawing.h"
#include "controls/ToolBar.h"
#include "controls/ToolBarItem.h"
#include "runtime/Font.h"

using namespace tessella;

namespace {

using ToolBars = GadgetDesk;

void Command(GUIElement* e) {
    Record(e, "command");
}

std::unique_ptr<ToolBarItem> Item(GUIElement* bar, const std::string& caption, int standard = -1,
                                  uint8_t type = 0) {
    auto item = std::make_unique<ToolBarItem>(bar);
    item->SetText(caption);
    item->SetImageStandard(standard);
    item->SetType(type);
    item->SetCommand(Command);
    return item;
}

// The bar lies below the window's title; its buttons are placed inside it.
constexpr int kBarX = 2;
constexpr int kBarY = 20;

// A caption as wide as the buttons' default font prints it.
int Caption(const std::string& text) {
    Font font;
    RastPort rp;
    InitRastPort(&rp);
    SetFont(&rp, font.GetTextFont());
    return TextLength(&rp, text.c_str(), static_cast<ULONG>(text.size()));
}

bool Ran(const std::string& what) {
    return std::find(events.begin(), events.end(), what) != events.end();
}

}  // namespace

TEST_F(ToolBars, ButtonsFollowEachOtherAlongTheTop) {
    ToolBar bar(&form, false);
    bar.SetLocation(kBarX, kBarY);
    EXPECT_EQ(bar.GetOrvClassName(), "panel");
    auto text = Item(&bar, "Go");
    auto gap = Item(&bar, "", -1, 1);
    auto picture = Item(&bar, "", 1);
    bar.AddToolBarItem(text.get());
    bar.AddToolBarItem(gap.get());
    bar.AddToolBarItem(picture.get());
    bar.SetAlignTop(true);
    bar.Show();

    const int textWidth = 22 + Caption("Go") + 14;
    const int pictureX = 2 + textWidth + 2 + 12;
    // Caption ink inside the first button, the folder's outline inside the second.
    EXPECT_GT(Count(kBarX + 2, kBarY + 6, textWidth, 22, 1), 10);
    EXPECT_GT(Count(kBarX + pictureX + 5, kBarY + 6 + 3, 16, 16, 1), 20);
    EXPECT_EQ(Count(kBarX + pictureX - 12, kBarY + 6, 10, 22, 1), 0);  // the separator's room

    Click(kBarX + pictureX + 13, kBarY + 6 + 11);
    EXPECT_EQ(events, (std::vector<std::string>{"form:down", ":command", "form:up"}));
    events.clear();
    Click(kBarX + 2 + 5, kBarY + 6 + 11);
    EXPECT_TRUE(Ran("Go:command"));
}

TEST_F(ToolBars, LeftAlignedButtonsStackDownwards) {
    ToolBar bar(&form, false);
    bar.SetLocation(kBarX, kBarY);
    auto a = Item(&bar, "", 0);
    auto b = Item(&bar, "", 2);
    bar.AddToolBarItem(a.get());
    bar.AddToolBarItem(b.get());
    bar.SetAlignLeft(true);
    bar.Show();
    // Two 26 x 22 buttons at (2, 6) and (2, 30) inside the bar.
    EXPECT_GT(Count(kBarX + 2 + 5, kBarY + 6 + 3, 16, 16, 1), 10);
    EXPECT_GT(Count(kBarX + 2 + 5, kBarY + 30 + 3, 16, 16, 1), 10);
    Click(kBarX + 2 + 13, kBarY + 30 + 11);
    EXPECT_TRUE(Ran(":command"));
}

TEST_F(ToolBars, ARemovedItemLeavesItsButtonHiddenAndADisabledOneRunsNothing) {
    ToolBar bar(&form, false);
    bar.SetLocation(kBarX, kBarY);
    auto a = Item(&bar, "A");
    auto b = Item(&bar, "B");
    bar.AddToolBarItem(a.get());
    bar.AddToolBarItem(b.get());
    bar.SetAlignTop(true);
    bar.Show();
    const int width = 22 + Caption("A") + 14;
    const int secondX = kBarX + 2 + width + 2;
    EXPECT_GT(Count(secondX, kBarY + 6, width, 22, 1), 10);

    bar.RemoveToolBarItem(b.get());
    bar.RefreshToolBarItems();
    EXPECT_EQ(Count(secondX, kBarY + 6, width, 22, 1), 0);

    a->SetEnabled(false);
    bar.RefreshToolBarItems();
    Click(kBarX + 2 + 5, kBarY + 6 + 11);
    EXPECT_FALSE(Ran("A:command"));
    EXPECT_TRUE(Ran("form:up"));
}

namespace {

// The standard pictures, one plane of 16 x 16 dots.
constexpr UWORD kPage[16] = {0x3FC0, 0x2060, 0x2050, 0x2078, 0x2008, 0x2008, 0x2008, 0x2008,
                             0x2008, 0x2008, 0x2008, 0x2008, 0x2008, 0x2008, 0x3FF8, 0x0000};
constexpr UWORD kFolder[16] = {0x0000, 0x0000, 0x7C00, 0x4200, 0x7FFE, 0x4002, 0x4002, 0x4002,
                               0x4002, 0x4002, 0x4002, 0x4002, 0x4002, 0x7FFE, 0x0000, 0x0000};

// A picture as rows of '#' (pen 1) and '.' (pen 0); a disabled one keeps every other dot.
std::string Expected(const UWORD* rows, bool dimmed) {
    std::string s;
    for (int y = 0; y < 16; ++y) {
        const UWORD mask = !dimmed ? 0xFFFF : (y % 2 == 0 ? 0xAAAA : 0x5555);
        for (int x = 0; x < 16; ++x) {
            s += (rows[y] & mask & (0x8000 >> x)) != 0 ? '#' : '.';
        }
        s += '\n';
    }
    return s;
}

}  // namespace

TEST_F(ToolBars, StandardPicturesAreDrawnDotForDot) {
    form.SetBackgroundColor(3);  // the buttons' own colour, told apart from the pictures' pen 0
    ToolBar bar(&form, false);
    bar.SetLocation(kBarX, kBarY);
    auto folder = Item(&bar, "", 1);
    auto page = Item(&bar, "", 0);
    page->SetEnabled(false);
    bar.AddToolBarItem(folder.get());
    bar.AddToolBarItem(page.get());
    bar.SetAlignTop(true);
    bar.Show();
    // What the 16 x 16 box at a window point shows: '#' pen 1, '.' pen 0, ' ' anything else.
    const auto shown = [&](int left, int top) {
        std::string s;
        for (int y = top; y < top + 16; ++y) {
            for (int x = left; x < left + 16; ++x) {
                const LONG pen = Pen(x, y);
                s += pen == 1 ? '#' : pen == 0 ? '.' : ' ';
            }
            s += '\n';
        }
        return s;
    };
    // 26 x 22 buttons side by side from (2, 6) in the bar, each picture 5 in and 3 down.
    EXPECT_EQ(shown(kBarX + 2 + 5, kBarY + 6 + 3), Expected(kFolder, false));
    EXPECT_EQ(shown(kBarX + 2 + 26 + 2 + 5, kBarY + 6 + 3), Expected(kPage, true));
}

TEST_F(ToolBars, AnItemsOwnPictureComesFromItsListOrNowhere) {
    UWORD dots[16] = {0xFFFF, 0xFFFF};
    Image one{0, 0, 16, 2, 1, dots, 0x1, 0, nullptr};
    Image two{0, 0, 16, 2, 1, dots, 0x1, 0, nullptr};
    std::vector<Image*> pictures;
    pictures.reserve(4);
    pictures.push_back(&one);
    pictures.push_back(&two);
    pictures.pop_back();  // one picture; the room after it is not the list's

    ToolBarItem item(&form);
    item.SetImageIndex(0);
    EXPECT_EQ(item.GetImage(), nullptr);  // no list yet
    EXPECT_EQ(item.GetImageDisabled(), nullptr);
    item.SetIdResourceList(&pictures);
    item.SetIdResourceListDisable(&pictures);
    EXPECT_EQ(item.GetImage(), &one);
    item.SetImageIndex(1);
    EXPECT_EQ(item.GetImage(), nullptr);
    EXPECT_EQ(item.GetImageDisabled(), nullptr);
    item.SetImageIndex(-1);
    EXPECT_EQ(item.GetImage(), nullptr);

    // Shown on a bar, the item is an element of the window like any other.
    ToolBar bar(&form, false);
    bar.SetLocation(kBarX, kBarY);
    auto a = Item(&bar, "A");
    auto b = Item(&bar, "B");
    bar.AddToolBarItem(a.get());
    bar.AddToolBarItem(b.get());
    bar.Show();
    EXPECT_NE(a->GetID(), 0);
    EXPECT_NE(b->GetID(), 0);
    EXPECT_NE(a->GetID(), b->GetID());
}
