#pragma once
// The utility's window on its screen, driven as a user drives it: the loop runs on the test's
// thread, a person on another clicks, types and answers the boxes through the test interface.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/FormAbout.h"
#include "app/FormMain.h"
#include "controls/ButtonCustom.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "platform_test.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"
#include "runtime/Startup.h"

namespace tessella {

namespace fs = std::filesystem;

// The window with one seam: the worker can be held when its content pass starts, so that a
// test acts while a job is surely running, or right after its last box, before it returns.
class HeldWindow : public FormMain {
public:
    HeldWindow(OrvScreen* screen, std::string title) : FormMain(screen, std::move(title)) {}

    void HoldNextJob() { hold = true; }
    void HoldAfterLastBox() { holdAfterBox = true; }
    bool WaitHeld(int timeoutMs = 5000) {
        std::unique_lock<std::mutex> lock(gate);
        return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [this] { return held; });
    }
    void Release() {
        const std::lock_guard<std::mutex> lock(gate);
        hold = false;
        holdAfterBox = false;
        held = false;
        changed.notify_all();
    }

protected:
    void ShowMessage(const std::string& message) override {
        FormMain::ShowMessage(message);
        if (!holdAfterBox) {
            return;
        }
        std::unique_lock<std::mutex> lock(gate);
        held = true;
        changed.notify_all();
        changed.wait(lock, [this] { return !holdAfterBox; });
    }

    void SetProgress(int value) override {
        FormMain::SetProgress(value);
        if (value < 10 || !hold) {
            return;
        }
        std::unique_lock<std::mutex> lock(gate);
        held = true;
        changed.notify_all();
        changed.wait(lock, [this] { return !hold; });
    }

private:
    std::atomic<bool> hold{false};
    std::atomic<bool> holdAfterBox{false};
    std::mutex gate;
    std::condition_variable changed;
    bool held = false;
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("tessella-window-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        title = Startup::WindowTitle();
        screen = new OrvScreen(title.c_str());
        ASSERT_NE(screen->GetHandle(), nullptr);
        Startup::LoadPalette(screen);
        window = new HeldWindow(screen, title);
        ASSERT_TRUE(window->IsLoad());
    }
    void TearDown() override {
        delete window;
        EXPECT_TRUE(screen->Close());
        delete screen;
        fs::remove_all(folder);
        PlatformTest::WaitIdle();
    }

    // The loop runs here until the person's actions have closed the window.
    void Run(const std::function<void()>& person) {
        std::thread user([&] {
            PlatformTest::WaitIdle();
            person();
        });
        Application::Run(window);
        user.join();
    }

    // ---- What a person does ----

    // Generous limits: the machine may be busy; they only matter when something went wrong.
    static void Settle() { PlatformTest::WaitIdle(10000); }

    static tagPOINT Centre(GUIElement* e) {
        const tagPOINT at = e->GetPosition();
        const tagSIZE s = e->GetSize();
        return {at.x + s.cx / 2, at.y + s.cy / 2};
    }

    // A control of the main window (a backdrop at the screen's corner) or of another window.
    static void Click(GUIElement* e, Form* in = nullptr) {
        const tagPOINT p = Centre(e);
        const int left = in != nullptr ? in->GetHandle()->LeftEdge : 0;
        const int top = in != nullptr ? in->GetHandle()->TopEdge : 0;
        PlatformTest::Click(left + p.x, top + p.y);
        Settle();
    }

    // A click that raises a box on the window's own task: nothing settles until it is answered.
    static void ClickForBox(GUIElement* e) {
        PlatformTest::WaitInputDrained();
        const tagPOINT p = Centre(e);
        PlatformTest::Click(p.x, p.y);
    }

    static void ClickAt(Form* in, int x, int y) {
        PlatformTest::Click(in->GetHandle()->LeftEdge + x, in->GetHandle()->TopEdge + y);
        Settle();
    }

    // Types into a box after clicking it; in a path box the text goes after what is there.
    static void Type(GUIElement* box, const std::string& text) {
        Click(box);
        if (box->GetOrvClassName() == "textbox") {
            PlatformTest::TypeKey(RAWKEY_RIGHT, IEQUALIFIER_LSHIFT);
        }
        ASSERT_TRUE(PlatformTest::TypeText(text.c_str()));
        Settle();
    }

    // Fills the Encrypt view as a user does, box after box: the source, the destination, the
    // password and its confirmation (the password again unless told otherwise).
    void FillEncryption(const std::string& source, const std::string& destination,
                        const std::string& password, const std::string* confirmation = nullptr) {
        Type(window->txtFiles, source);
        Type(window->txtDestination, destination);
        Type(window->txtPassword, password);
        Type(window->txtConfirm, confirmation != nullptr ? *confirmation : password);
    }

    // Empties a path box the way a user does, from its end.
    static void Clear(GUIElement* box) {
        Click(box);
        PlatformTest::TypeKey(RAWKEY_RIGHT, IEQUALIFIER_LSHIFT);
        for (size_t i = 0; i < 300; ++i) {
            PlatformTest::TypeKey(RAWKEY_BACKSPACE);
        }
        Settle();
    }

    // Picks an item of a radio-button column by clicking its button.
    void Pick(GUIElement* options, int item, int items) {
        const tagPOINT at = options->GetPosition();
        const Gadget* g = GadgetOf(options);
        ASSERT_NE(g, nullptr);
        const int pitch = (g->Height + 1) / items;
        PlatformTest::Click(g->LeftEdge + 4, g->TopEdge + item * pitch + 3);
        Settle();
        (void)at;
    }

    const Gadget* GadgetOf(GUIElement* e) const {
        for (Gadget* g = window->GetHandle()->FirstGadget; g != nullptr; g = g->NextGadget) {
            if (g->GadgetID == static_cast<UWORD>(e->GetID())) {
                return g;
            }
        }
        return nullptr;
    }

    // The text of the next box, answered with its leftmost button.
    // The box drops the clicks made while it was up: the next click waits until the box's
    // owner is no longer busy.
    PlatformTest::RequesterView Answer(int button = 0) {
        PlatformTest::RequesterView view;
        EXPECT_TRUE(PlatformTest::WaitRequester(&view, 20000));
        EXPECT_TRUE(PlatformTest::AnswerRequester(button, 20000));
        for (int i = 0; i < 1000 && window != nullptr && window->CursorWait(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        Settle();
        return view;
    }

    // A box raised before the loop runs, answered with its leftmost button. Nothing settles
    // until the loop runs, so the answer waits only for the box to go.
    static PlatformTest::RequesterView AnswerBeforeTheLoop() {
        PlatformTest::RequesterView view;
        EXPECT_TRUE(PlatformTest::WaitRequester(&view, 20000));
        EXPECT_TRUE(PlatformTest::AnswerRequester(0, 20000));
        return view;
    }

    // Until the newest box shows this text (another box may be up meanwhile).
    static bool WaitForBox(const std::string& text) {
        PlatformTest::RequesterView view;
        for (int i = 0; i < 400; ++i) {
            if (PlatformTest::WaitRequester(&view, 50) && view.text == text) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    bool AboutUp() const { return window->formAbout != nullptr && window->formAbout->IsLoad(); }
    // The about box closes after the loop has answered the click that closed it, and gives the
    // window its input back only then: until it has gone.
    bool AboutGone() const {
        for (int i = 0; i < 1000 && AboutUp(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        Settle();
        return !AboutUp();
    }
    bool CloseAbout() const {
        Click(window->formAbout->btnOk, window->formAbout.get());
        return AboutGone();
    }

    void WaitJobEnd() {
        for (int i = 0; i < 3000 && window->IsJobActive(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Settle();
    }

    void Quit() {
        ClickForBox(window->btnClose);
        const PlatformTest::RequesterView view = Answer(0);
        EXPECT_EQ(view.text, "Do you really want to go exit?");
        EXPECT_EQ(view.title, "Exit");
    }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    // The four inputs of an encryption, typed into the Encrypt view.
    void TypeEncryption(const std::string& source, const std::string& destination,
                        const std::string& password) {
        Type(window->txtFiles, Path(source));
        Type(window->txtDestination, Path(destination));
        Type(window->txtPassword, password);
        Type(window->txtConfirm, password);
    }

    // The names in the test's folder, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Content of every byte value, the same at every run.
    static std::string Sample(size_t size) {
        std::string s(size, '\0');
        for (size_t i = 0; i < size; ++i) {
            s[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
        }
        return s;
    }

    void Write(const std::string& name, const std::string& content) const {
        std::ofstream(folder / name, std::ios::binary) << content;
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(folder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path folder;
    std::string title;
    OrvScreen* screen = nullptr;
    HeldWindow* window = nullptr;
};

}  // namespace tessella
