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
