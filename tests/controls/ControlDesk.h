#pragma once
// The program's screen with its main window, and a person who acts on it while the event loop
// runs on the test's thread, as it does in the program.

#include <gadtools.h>
#include <graphics.h>
#include <gtest/gtest.h>
#include <intuition.h>
#include <keymap.h>
#include <platform_test.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "runtime/Application.h"
#include "runtime/Form.h"
#include "runtime/OrvScreen.h"

namespace tessella {

// What the window's own handlers saw, and what commands ran: "<who>:<event>".
inline std::vector<std::string> deskTrace;

// The main window: a backdrop over the whole screen. F10 asks the loop to end, as the program's
// quit command would.
class DeskForm : public Form {
public:
    explicit DeskForm(OrvScreen* s) : Form(0) { SetScreen(s); }
    void OnKeyDOWN(int key) override {
        if (key == RAWKEY_F10) {
            Application::postQuit = 1;
        }
        Form::OnKeyDOWN(key);
    }
    bool OnKeyPress(int c) override {
        deskTrace.push_back("window:press:" + std::string(1, static_cast<char>(c)));
        return true;
    }
};

class ControlDesk : public ::testing::Test {
protected:
    // Pens the controls use, easy to tell apart in pictures and pixel reads.
    static constexpr LONG kGrey = 0;
    static constexpr LONG kBlack = 1;
    static constexpr LONG kWhite = 2;
    static constexpr LONG kYellow = 10;
    static constexpr LONG kDimGrey = 22;

    void SetUp() override {
        deskTrace.clear();
        Application::ResetRiferimenti();
        // As at start-up: the first window opened fixes the toolkit's screen.
        if (GUIElement::GlobalVisualInfo != nullptr) {
            FreeVisualInfo(GUIElement::GlobalVisualInfo);
        }
        GUIElement::GlobalVisualInfo = nullptr;
        GUIElement::GlobalScreen = nullptr;
        screen = std::make_unique<OrvScreen>("Controls");
        ASSERT_NE(screen->GetHandle(), nullptr);
        LoadPens();
        main = std::make_unique<DeskForm>(screen.get());
        main->Show();
        ASSERT_TRUE(main->IsLoad());
    }

    void TearDown() override {
        if (main != nullptr && main->IsLoad()) {
            main->CloseForm();
        }
        main.reset();
        EXPECT_TRUE(PlatformTest::WaitIdle());
        screen.reset();
        Application::ResetRiferimenti();
    }

    // Runs the loop here while the person acts on another thread; the person ends with F10.
    void RunWith(const std::function<void()>& person) {
        std::thread user([&] {
            PlatformTest::WaitIdle();
            // The backdrop takes the input once clicked, as the program's window is on start.
            PlatformTest::Click(790, 590);
            PlatformTest::WaitIdle();
            person();
            PlatformTest::WaitIdle();
            PlatformTest::TypeKey(RAWKEY_F10);
            PlatformTest::WaitIdle();
        });
        Application::Run(main.get());
        user.join();
    }

    // Saves the screen next to the test program, for a person to look at.
    static void Snapshot(const std::string& name) {
        ASSERT_TRUE(PlatformTest::WaitIdle());
        EXPECT_TRUE(PlatformTest::SaveScreenPNG(name.c_str()));
    }

    static LONG Pen(int x, int y) { return PlatformTest::ReadScreenPixel(x, y); }

    std::unique_ptr<OrvScreen> screen;
    std::unique_ptr<DeskForm> main;

private:
    void LoadPens() {
        std::vector<ULONG> table{32UL << 16};
        for (int pen = 0; pen < 32; ++pen) {
            ULONG rgb = 0x808080;
            switch (pen) {
                case kGrey:
                    rgb = 0xAAAAAA;
                    break;
                case kBlack:
                    rgb = 0x000000;
                    break;
                case kWhite:
                    rgb = 0xFFFFFF;
                    break;
                case 3:
                    rgb = 0x6688BB;
                    break;
                case kYellow:
                    rgb = 0xFFFF00;
                    break;
                case kDimGrey:
                    rgb = 0x9B9B9B;
                    break;
                default:
                    break;
            }
            for (int shift : {16, 8, 0}) {
                table.push_back(((rgb >> shift) & 0xFF) * 0x01010101UL);
            }
        }
        table.push_back(0);
        LoadRGB32(&screen->GetHandle()->ViewPort, table.data());
    }
};

}  // namespace tessella
