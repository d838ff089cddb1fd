#pragma once
// A screen with one window for the gadget, menu and requester tests, and the messages that
// reach the window's port, as the program's event loop would see them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gadtools.h"
#include "platform_test.h"

namespace tessella {

struct Got {
    ULONG cls;
    UWORD code;
    UWORD gadgetId;  // of the gadget in IAddress, 0 when there is none
    bool hasGadget;
};

class GadToolsDesk : public ::testing::Test {
protected:
    static constexpr ULONG kIdcmp = IDCMP_GADGETUP | IDCMP_GADGETDOWN | IDCMP_MOUSEMOVE |
                                    IDCMP_MOUSEBUTTONS | IDCMP_MENUPICK | IDCMP_RAWKEY |
                                    IDCMP_CLOSEWINDOW;

    void SetUp() override {
        screen = OpenScreenTags(nullptr, SA_Width, 640, SA_Height, 400, SA_Depth, 8, SA_Title,
                                "Gadgets", SA_Type, CUSTOMSCREEN);
        ASSERT_NE(screen, nullptr);
        // A palette where pens are easy to tell apart in the snapshots.
        const ULONG table[] = {4UL << 16,  0xAAAAAAAA, 0xAAAAAAAA, 0xAAAAAAAA, 0,
                               0,          0,          0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                               0x66666666, 0x88888888, 0xBBBBBBBB, 0};
        LoadRGB32(&screen->ViewPort, table);
        vi = GetVisualInfoA(screen, nullptr);
        ASSERT_NE(vi, nullptr);
        window = OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, 20, WA_Top, 30, WA_Width,
                                560, WA_Height, 340, WA_Title, "Gadgets", WA_Flags,
                                WFLG_DRAGBAR | WFLG_DEPTHGADGET | WFLG_CLOSEGADGET | WFLG_ACTIVATE,
                                WA_IDCMP, kIdcmp);
        ASSERT_NE(window, nullptr);
        last = CreateContext(&glist);
        ASSERT_NE(last, nullptr);
    }

    void TearDown() override {
        if (window != nullptr) {
            ClearMenuStrip(window);
            RemoveGList(window, glist, -1);
            CloseWindow(window);
        }
        FreeGadgets(glist);
        FreeMenus(strip);
        FreeVisualInfo(vi);
        EXPECT_EQ(CloseScreen(screen), TRUE);
        EXPECT_TRUE(PlatformTest::WaitIdle());
    }

    NewGadget At(int left, int top, int width, int height, UWORD id, const char* text = nullptr,
                 ULONG flags = 0) const {
        return NewGadget{static_cast<WORD>(left),
                         static_cast<WORD>(top),
                         static_cast<WORD>(width),
                         static_cast<WORD>(height),
                         text,
                         nullptr,
                         id,
                         flags,
                         vi,
                         nullptr};
    }

    // Creates a gadget after the last one and shows the whole list in the window.
    template <typename... Args>
    Gadget* Add(ULONG kind, const NewGadget& ng, Args... tags) {
        RemoveGList(window, glist, -1);
        Gadget* g = CreateGadget(kind, last, &ng, tags...);
        if (g != nullptr) {
            last = g;
        }
        AddGList(window, glist, 0, -1, nullptr);
        RefreshGadgets(glist, window, nullptr);
        return g;
    }

    // The screen position of a point of the window.
    int X(int x) const { return window->LeftEdge + x; }
    int Y(int y) const { return window->TopEdge + y; }

    void ClickIn(const Gadget* g, int dx = -1, int dy = -1) {
        PlatformTest::Click(X(g->LeftEdge + (dx < 0 ? g->Width / 2 : dx)),
                            Y(g->TopEdge + (dy < 0 ? g->Height / 2 : dy)));
    }

    std::vector<Got> Drain() {
        EXPECT_TRUE(PlatformTest::WaitInputDrained());
        std::vector<Got> all;
        while (IntuiMessage* m = GT_GetIMsg(window->UserPort)) {
            const auto* g = static_cast<const Gadget*>(m->IAddress);
            const bool gadgetClass =
                m->Class & (IDCMP_GADGETUP | IDCMP_GADGETDOWN | IDCMP_MOUSEMOVE);
            all.push_back(Got{m->Class, m->Code,
                              static_cast<UWORD>(gadgetClass && g != nullptr ? g->GadgetID : 0),
                              gadgetClass && g != nullptr});
            GT_ReplyIMsg(m);
        }
        return all;
    }

    static std::vector<Got> Only(const std::vector<Got>& all, ULONG cls) {
        std::vector<Got> some;
        for (const Got& g : all) {
            if (g.cls == cls) {
                some.push_back(g);
            }
        }
        return some;
    }

    IPTR Attr(Gadget* g, Tag tag) {
        IPTR value = 0xDEAD;
        EXPECT_EQ(GT_GetGadgetAttrs(g, window, nullptr, tag, &value), 1);
        return value;
    }

    LONG Pen(int x, int y) const { return PlatformTest::ReadScreenPixel(X(x), Y(y)); }

    Screen* screen = nullptr;
    APTR vi = nullptr;
    Window* window = nullptr;
    Gadget* glist = nullptr;
    Gadget* last = nullptr;
    Menu* strip = nullptr;
};

}  // namespace tessella
