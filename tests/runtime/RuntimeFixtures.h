#pragma once

#include <intuition.h>
#include <platform_test.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "runtime/Application.h"
#include "runtime/Child.h"
#include "runtime/Form.h"
#include "tests/support/TestLog.h"

namespace tessella {

// What the handlers saw, in order: "<who>:<event>[:<detail>]".
inline std::vector<std::string> trace;

// A custom-drawn control: focusable by a click, takes keys while focused.
class TraceControl : public Child {
public:
    TraceControl(GUIElement* parent, std::string name, int x, int y, int w, int h)
        : Child(parent), name(std::move(name)) {
        className = "TraceControl";
        isRenderControl = 1;
        isTabStop = 0;
        position = {x, y};
        size = {w, h};
    }
    void Load() override {
        if (!loaded) {
            LoadElementBase();
            loaded = true;
        }
    }
    void OnLeftMouseDOWN(tagPOINT) override { trace.push_back(name + ":down"); }
    void OnLeftMouseUP(tagPOINT) override { trace.push_back(name + ":up"); }
    void OnKeyDOWN(int key) override { trace.push_back(name + ":keydown:" + std::to_string(key)); }
    void OnKeyUP(int key) override { trace.push_back(name + ":keyup:" + std::to_string(key)); }
    bool OnKeyPress(int c) override {
        trace.push_back(name + ":press:" + std::string(1, static_cast<char>(c)));
        return true;
    }
    void OnFocus() override {
        GUIElement::OnFocus();
        trace.push_back(name + ":focus");
    }
    void OnLeave() override {
        GUIElement::OnLeave();
        trace.push_back(name + ":leave");
    }

    std::string name;
};

// A window that records its handlers; Escape asks the loop to quit, as a quit command would.
class TraceForm : public Form {
public:
    explicit TraceForm(std::string name, bool dialog = false)
        : Form(0, dialog), name(std::move(name)) {
        SetText(this->name);
    }
    void OnLeftMouseDOWN(tagPOINT) override { trace.push_back(name + ":down"); }
    void OnLeftMouseUP(tagPOINT) override { trace.push_back(name + ":up"); }
    void OnKeyDOWN(int key) override {
        trace.push_back(name + ":keydown:" + std::to_string(key));
        if (key == 0x45) {  // Escape
            Application::postQuit = 1;
        }
    }
    void OnKeyUP(int key) override { trace.push_back(name + ":keyup:" + std::to_string(key)); }
    bool OnKeyPress(int c) override {
        trace.push_back(name + ":press:" + std::string(1, static_cast<char>(c)));
        return true;
    }
    bool OnClosing() override {
        trace.push_back(name + ":closing");
        return allowClose;
    }
    void OnClose() override {
        trace.push_back(name + ":close");
        GUIElement::OnClose();
    }

    // A point inside the window, in screen coordinates.
    tagPOINT OnScreen(int x, int y) {
        Window* w = GetHandle();
        return {w->LeftEdge + x, w->TopEdge + y};
    }
    tagPOINT CloseGadget() {
        Window* w = GetHandle();
        return {w->LeftEdge + 6, w->TopEdge + w->BorderTop / 2};
    }

    Gadget* GadgetList() { return gadgetList; }

    std::string name;
    std::atomic<bool> allowClose{true};
};

inline void ClickAt(tagPOINT p) {
    PlatformTest::Click(p.x, p.y);
}

inline std::vector<std::string> LogLines() {
    return TestLog::Lines();
}

inline void FreshLog() {
    TestLog::Fresh();
}

// Runs the loop on this thread while a user acts on another; the user ends by closing the main
// window through its close gadget.
inline void RunWith(TraceForm& main, const std::function<void()>& user) {
    std::thread person([&] {
        PlatformTest::WaitIdle();
        user();
        PlatformTest::WaitIdle();
        ClickAt(main.CloseGadget());
        PlatformTest::WaitIdle();
    });
    Application::Run(&main);
    person.join();
}

// The trace without the entries that start with a prefix.
inline std::vector<std::string> Without(const std::vector<std::string>& all,
                                        const std::string& prefix) {
    std::vector<std::string> kept;
    for (const std::string& t : all) {
        if (t.rfind(prefix, 0) != 0) {
            kept.push_back(t);
        }
    }
    return kept;
}

}  // namespace tessella
