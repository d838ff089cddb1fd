#pragma once
// A window for the self-drawn controls, the loop run while a user acts on another thread, and
// the ways a test looks at what the user sees.

#include <graphics.h>
#include <gtest/gtest.h>
#include <intuition.h>
#include <platform_test.h>

#include <functional>
#include <string>
#include <thread>

#include "runtime/Application.h"
#include "runtime/Form.h"
#include "runtime/GUIElement.h"

namespace tessella {

// The window the controls sit in: a dialog on the default screen, with the program's first
// 32 pens loaded so that snapshots show the colours the user will see.
class ControlsWindow : public Form {
public:
    ControlsWindow() : Form(0, true) {
        SetText("Controls");
        SetPosition(40, 30);
        SetSize(520, 360);
    }

    void Open() {
        Show();
        ASSERT_NE(GetHandle(), nullptr);
        LoadPens();
        Refresh();
    }

    // Where a control at (x, y) of the client area goes: below and right of the borders.
    int Left(int x) { return GetHandle()->BorderLeft + x; }
    int Top(int y) { return GetHandle()->BorderTop + y; }
    // A window point on the screen.
    int ScreenX(int x) { return GetHandle()->LeftEdge + x; }
    int ScreenY(int y) { return GetHandle()->TopEdge + y; }
    // What the user sees at a window point.
    LONG Seen(int x, int y) { return PlatformTest::ReadScreenPixel(ScreenX(x), ScreenY(y)); }
    // The window's own picture, quicker for counting.
    LONG Pen(int x, int y) { return ReadPixel(GetHandle()->RPort, x, y); }
    int Count(int x0, int y0, int x1, int y1, LONG pen) {
        int n = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                n += Pen(x, y) == pen;
            }
        }
        return n;
    }
    void ClickAt(int x, int y) { PlatformTest::Click(ScreenX(x), ScreenY(y)); }
    void ClickCloseGadget() {
        PlatformTest::Click(GetHandle()->LeftEdge + 6, GetHandle()->TopEdge + 5);
    }
    Gadget* Gadgets() { return gadgetList; }

private:
    void LoadPens() {
        static const UBYTE pens[32][3] = {
            {192, 192, 192}, {0, 0, 0},       {255, 255, 255}, {0, 166, 214},   {0, 0, 255},
            {207, 59, 118},  {0, 255, 255},   {150, 75, 0},    {255, 165, 0},   {128, 255, 128},
            {255, 255, 0},   {153, 17, 153},  {200, 160, 200}, {0, 255, 0},     {255, 255, 85},
            {0, 170, 0},     {239, 239, 239}, {255, 0, 0},     {211, 211, 211}, {255, 253, 229},
            {183, 183, 183}, {171, 171, 171}, {155, 155, 155}, {143, 143, 143}, {127, 127, 127},
            {115, 115, 115}, {103, 103, 103}, {87, 87, 87},    {75, 75, 75},    {59, 59, 59},
            {47, 47, 47},    {35, 35, 35}};
        for (ULONG pen = 0; pen < 32; ++pen) {
            SetRGB32(&GetHandle()->WScreen->ViewPort, pen, ULONG{pens[pen][0]} << 24,
                     ULONG{pens[pen][1]} << 24, ULONG{pens[pen][2]} << 24);
        }
    }
};

// Runs the loop on this thread while the user acts on another; the user ends by closing the
// window.
inline void RunWithUser(ControlsWindow& window, const std::function<void()>& user) {
    std::thread person([&] {
        PlatformTest::WaitIdle();
        user();
        PlatformTest::WaitIdle();
        window.ClickCloseGadget();
        PlatformTest::WaitIdle();
    });
    Application::Run(&window);
    person.join();
    Application::ResetRiferimenti();
}

// Snapshots land in the build tree, next to the test program, to be looked at.
inline void Snapshot(const std::string& name) {
    PlatformTest::WaitInputDrained();
    EXPECT_TRUE(PlatformTest::SaveScreenPNG((name + ".png").c_str()));
}

}  // namespace tessella
