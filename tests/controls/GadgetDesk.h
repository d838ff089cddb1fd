#pragma once
// One window for the control tests, with the event loop's dispatch run on the test's own
// thread: the test acts as a user would, then hands each message the window received to the
// loop exactly as its main pass would.

#include <exec.h>
#include <gadtools.h>
#include <graphics.h>
#include <gtest/gtest.h>
#include <intuition.h>
#include <platform_test.h>

#include <string>
#include <vector>

#include "runtime/Application.h"
#include "runtime/Child.h"
#include "runtime/Form.h"

namespace tessella {

// What the handlers saw, in order: "<who>:<event>".
inline std::vector<std::string> events;

inline void Record(GUIElement* e, const char* what) {
    events.push_back(e->GetText() + ":" + what);
}

class GadgetDeskForm : public Form {
public:
    GadgetDeskForm() : Form(0, false) { SetText("form"); }
    void OnLeftMouseDOWN(tagPOINT) override { events.push_back("form:down"); }
    void OnLeftMouseUP(tagPOINT) override { events.push_back("form:up"); }
};

// A custom-drawn control that takes the focus when clicked, as a self-drawn text box does.
class FocusProbe : public Child {
public:
    FocusProbe(GUIElement* parent, int x, int y) : Child(parent) {
        className = "FocusProbe";
        isRenderControl = 1;
        text = "probe";
        position = {x, y};
        size = {60, 20};
    }
    void Load() override {
        if (!loaded) {
            LoadElementBase();
            loaded = true;
            visible = true;
        }
    }
    void OnFocus() override {
        GUIElement::OnFocus();
        Record(this, "focus");
    }
    void OnLeave() override {
        GUIElement::OnLeave();
        Record(this, "leave");
    }
    void OnLeftMouseDOWN(tagPOINT) override { Record(this, "down"); }
};

class GadgetDesk : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        Application::ResetRiferimenti();
        form.SetPosition(20, 20);
        form.SetSize(720, 520);
        form.Show();
        ASSERT_TRUE(form.IsLoad());
        event = static_cast<InputEvent*>(AllocMem(sizeof(InputEvent), MEMF_CLEAR));
        keyBuffer = static_cast<char*>(AllocMem(keyBufferSize, MEMF_CLEAR));
        Pump();
    }

    void TearDown() override {
        Pump();
        FreeMem(event, sizeof(InputEvent));
        FreeMem(keyBuffer, keyBufferSize);
        Application::ResetRiferimenti();
    }

    // Hands every message waiting at the window to the loop's dispatch.
    void Pump() {
        EXPECT_TRUE(PlatformTest::WaitInputDrained());
        short done = 0;
        while (IntuiMessage* m = GT_GetIMsg(form.GetHandle()->UserPort)) {
            Application::ElaboraEventi(&form, m, done, event, keyBuffer, keyBufferSize);
        }
    }

    // A point of the window on the screen.
    int X(int x) { return form.GetHandle()->LeftEdge + x; }
    int Y(int y) { return form.GetHandle()->TopEdge + y; }

    void Click(int x, int y) {
        PlatformTest::Click(X(x), Y(y));
        Pump();
    }
    void Type(const char* text) {
        ASSERT_TRUE(PlatformTest::TypeText(text));
        Pump();
    }
    void Key(UWORD raw) {
        PlatformTest::TypeKey(raw);
        Pump();
    }
    // A pen of the window's own picture, which the screen shows where nothing covers it;
    // reading it needs no composition of the whole screen, so areas can be counted quickly.
    LONG Pen(int x, int y) { return ReadPixel(form.GetHandle()->RPort, x, y); }
    // The same point as the user sees it on the screen.
    LONG ScreenPen(int x, int y) { return PlatformTest::ReadScreenPixel(X(x), Y(y)); }
    // How many pixels of the window's rectangle show the pen.
    int Count(int x, int y, int w, int h, LONG pen) {
        int n = 0;
        for (int row = y; row < y + h; ++row) {
            for (int col = x; col < x + w; ++col) {
                n += Pen(col, row) == pen;
            }
        }
        return n;
    }
    void Snapshot(const std::string& name) {
        Pump();
        EXPECT_TRUE(PlatformTest::SaveScreenPNG((name + ".png").c_str()));
    }

    GadgetDeskForm form;
    InputEvent* event = nullptr;
    uint8_t keyBufferSize = 2;
    char* keyBuffer = nullptr;
};

}  // namespace tessella
