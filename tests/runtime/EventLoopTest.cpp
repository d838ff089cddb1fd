#include <exec.h>
#include <gadtools.h>
#include <gtest/gtest.h>
#include <keymap.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "RuntimeFixtures.h"
#include "runtime/Application.h"
#include "runtime/KeyControl.h"
#include "runtime/OrvScreen.h"
#include "runtime/Timer.h"
#include "runtime/Tread.h"
#include "tests/support/Poll.h"
#include "tests/support/VirtualClock.h"

using namespace tessella;

namespace {

constexpr UWORD kRawA = 0x20;
constexpr UWORD kRawQ = 0x10;
constexpr UWORD kRawEscape = 0x45;

class EventLoop : public ::testing::Test {
protected:
    void SetUp() override {
        trace.clear();
        FreshLog();
        Application::postQuit = 0;
        main.SetPosition(40, 40);
        main.SetSize(400, 300);
        main.Show();
        ASSERT_TRUE(main.IsLoad());
    }

    TraceForm main{"main"};
};

}  // namespace

TEST_F(EventLoop, KeyOnAFocusedCustomControlReachesControlThenWindow) {
    TraceControl control(&main, "ctl", 20, 40, 60, 20);
    control.Show();
    RunWith(main, [&] {
        ClickAt(main.OnScreen(30, 50));
        PlatformTest::WaitIdle();
        PlatformTest::TypeKey(kRawA);
    });
    EXPECT_EQ(Without(trace, "main:clos"),
              (std::vector<std::string>{"ctl:focus", "ctl:down", "main:down", "ctl:up", "main:up",
                                        "ctl:keydown:32", "main:keydown:32", "ctl:press:a",
                                        "main:press:a", "ctl:keyup:32", "main:keyup:32"}));
}

namespace {

// A focusable custom control that keeps the element's own handlers, which hand each event to
// the functions set on it.
class CallbackControl : public Child {
public:
    CallbackControl(GUIElement* parent, int x, int y, int w, int h) : Child(parent) {
        className = "CallbackControl";
        isRenderControl = 1;
        position = {x, y};
        size = {w, h};
    }
    void Load() override {
        if (!loaded) {
            LoadElementBase();
            loaded = true;
        }
    }
};

}  // namespace

// The functions set on an element hear every kind of event a person makes, in order.
TEST_F(EventLoop, FunctionsSetOnAnElementHearEveryKindOfEvent) {
    CallbackControl control(&main, 20, 40, 60, 20);
    control.SetOnLeftMouseDOWN(
        [](GUIElement*, unsigned long, tagPOINT) { trace.push_back("down"); });
    control.SetOnLeftMouseUP([](GUIElement*, unsigned long, tagPOINT) { trace.push_back("up"); });
    // The menu button belongs to the window, wherever it is pressed.
    main.SetOnRightMouseDOWN(
        [](GUIElement*, unsigned long, tagPOINT) { trace.push_back("rdown"); });
    main.SetOnRightMouseUP([](GUIElement*, unsigned long, tagPOINT) { trace.push_back("rup"); });
    control.SetOnKeyDOWN(
        [](GUIElement*, int key) { trace.push_back("key:" + std::to_string(key)); });
    control.SetOnKeyUP(
        [](GUIElement*, int key) { trace.push_back("keyup:" + std::to_string(key)); });
    control.SetOnKeyPress([](GUIElement*, int c) {
        trace.push_back("press:" + std::string(1, static_cast<char>(c)));
        return true;
    });
    control.Show();
    RunWith(main, [&] {
        ClickAt(main.OnScreen(30, 50));
        PlatformTest::WaitIdle();
        const tagPOINT at = main.OnScreen(30, 50);
        PlatformTest::Click(at.x, at.y, IECODE_RBUTTON);
        PlatformTest::WaitIdle();
        PlatformTest::TypeKey(kRawA);
    });
    EXPECT_EQ(Without(trace, "main:"), (std::vector<std::string>{"down", "up", "rdown", "rup",
                                                                 "key:32", "press:a", "keyup:32"}));
}

// Each key a program may poll reads as held from its press to its release, and never for a
// window that is disabled or absent.
TEST_F(EventLoop, APolledKeyIsHeldFromItsPressToItsRelease) {
    using Poll = bool (*)(GUIElement*);
    const std::vector<std::pair<UWORD, Poll>> keys = {
        {RAWKEY_LEFT, KeyControl::LeftCursorPressed},
        {RAWKEY_RIGHT, KeyControl::RightCursorPressed},
        {RAWKEY_UP, KeyControl::UpCursorPressed},
        {RAWKEY_DOWN, KeyControl::DownCursorPressed},
        {RAWKEY_SPACE, KeyControl::SpacePressed},
        {RAWKEY_CONTROL, KeyControl::LeftCtrlPressed},
        {RAWKEY_LALT, KeyControl::AltPressed},
        {RAWKEY_P, KeyControl::P_Pressed},
        {RAWKEY_G, KeyControl::G_Pressed}};
    // Per key: held while down, by this key's poll only; held for a disabled window; for none;
    // after the release.
    std::vector<std::string> seen;
    RunWith(main, [&] {
        for (const auto& [raw, poll] : keys) {
            PlatformTest::PressKey(raw);
            PlatformTest::WaitIdle();
            std::string row;
            for (const auto& other : keys) {
                row += other.second(&main) ? '1' : '0';
            }
            main.SetEnabled(false);
            row += poll(&main) ? " disabled:1" : " disabled:0";
            main.SetEnabled(true);
            row += poll(nullptr) ? " none:1" : " none:0";
            PlatformTest::ReleaseKey(raw);
            PlatformTest::WaitIdle();
            row += poll(&main) ? " released:1" : " released:0";
            seen.push_back(row);
        }
    });
    for (size_t k = 0; k < keys.size(); ++k) {
        std::string held(keys.size(), '0');
        held[k] = '1';
        EXPECT_EQ(seen.at(k), held + " disabled:0 none:0 released:0") << k;
    }
}

TEST_F(EventLoop, KeysWhoseTranslationOutgrowsTheBufferStillArrive) {
    constexpr UWORD kRawF1 = 0x50;
    constexpr UWORD kRawHelp = 0x5F;
    RunWith(main, [&] {
        // Function keys translate to escape sequences longer than the first 2-byte buffer.
        PlatformTest::TypeKey(kRawF1);
        PlatformTest::TypeKey(kRawHelp);
        PlatformTest::TypeKey(kRawA);
    });
    EXPECT_EQ(Without(trace, "main:clos"),
              (std::vector<std::string>{"main:keydown:80", "main:keyup:80", "main:keydown:95",
                                        "main:keyup:95", "main:keydown:32", "main:press:a",
                                        "main:keyup:32"}));
}

TEST_F(EventLoop, ClickOnADisabledWindowBeepsAndReachesNoHandler) {
    TraceForm dialog("dialog", true);
    dialog.SetPosition(200, 200);
    dialog.SetSize(150, 80);
    dialog.Show();
    main.SetEnabled(false);
    dialog.SetOnClose([](GUIElement* d) {
        static_cast<TraceForm*>(Application::lstForm.front())->SetEnabled(true);
        (void)d;
    });
    const int beeps = PlatformTest::BeepCount();
    RunWith(main, [&] {
        ClickAt(main.OnScreen(100, 100));
        PlatformTest::WaitIdle();
        EXPECT_EQ(PlatformTest::BeepCount(), beeps + 1);
        ClickAt(dialog.CloseGadget());
    });
    EXPECT_EQ(trace, (std::vector<std::string>{"dialog:closing", "dialog:close", "main:closing",
                                               "main:close"}));
    EXPECT_FALSE(dialog.IsLoad());
}

TEST_F(EventLoop, UnhandledMessagesAreLogged) {
    RunWith(main, [&] { PlatformTest::InjectDiskInserted(); });
    const std::vector<std::string> log = LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "evento non gestito 32768"), log.end());
}

// After a box, the clicks and keys made meanwhile were meant for the box and are dropped, but
// only by the task that reads the window's port: another task's drain would take them from
// under the loop.
TEST_F(EventLoop, OnlyThePortsOwnTaskDropsTheInputMadeDuringABox) {
    ClickAt(main.OnScreen(100, 100));
    PlatformTest::WaitInputDrained();
    std::thread([&] { Application::CancellaBuffer(main.GetHandle()); }).join();
    ClickAt(main.CloseGadget());
    PlatformTest::WaitInputDrained();
    Application::Run(&main);
    EXPECT_EQ(Without(trace, "main:clos"), (std::vector<std::string>{"main:down", "main:up"}));
}

// A close request made while a box was up is not input meant for the box: it stays.
TEST_F(EventLoop, ACloseRequestOutlivesTheDropAfterABox) {
    main.allowClose = false;
    ClickAt(main.OnScreen(100, 100));
    ClickAt(main.CloseGadget());
    PlatformTest::WaitInputDrained();
    Application::CancellaBuffer(main.GetHandle());
    std::thread person([&] {
        PlatformTest::WaitIdle();
        main.allowClose = true;
        ClickAt(main.CloseGadget());
        PlatformTest::WaitIdle();
    });
    Application::Run(&main);
    person.join();
    EXPECT_EQ(Without(trace, "main:clos"), (std::vector<std::string>{}));
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "main:closing"), 2);
}

TEST_F(EventLoop, QuitEndsTheLoopOnlyWhenClosingIsAllowed) {
    std::atomic<int> stage{0};
    main.allowClose = false;
    std::thread person([&] {
        PlatformTest::WaitIdle();
        PlatformTest::TypeKey(kRawEscape);
        PlatformTest::WaitIdle();
        stage = 1;
        main.allowClose = true;
        PlatformTest::TypeKey(kRawEscape);
        PlatformTest::WaitIdle();
    });
    Application::Run(&main);
    person.join();
    EXPECT_EQ(stage.load(), 1);
    const auto closings = std::count(trace.begin(), trace.end(), "main:closing");
    EXPECT_EQ(closings, 2);
    EXPECT_EQ(trace.back(), "main:close");
}

TEST_F(EventLoop, SecondaryWindowsCloseByPostCloseAndByTheirCloseGadget) {
    class QuitOnQ : public TraceForm {
    public:
        QuitOnQ() : TraceForm("byKey", true) {}
        void OnKeyDOWN(int key) override {
            if (key == kRawQ) {
                postClose = 1;
            }
        }
    } byKey;
    TraceForm byGadget("byGadget", true);
    byKey.SetPosition(100, 320);
    byKey.SetSize(150, 60);
    byGadget.SetPosition(300, 320);
    byGadget.SetSize(150, 60);
    byKey.Show();
    byGadget.Show();
    RunWith(main, [&] {
        ClickAt(byKey.OnScreen(40, 30));
        PlatformTest::WaitIdle();
        PlatformTest::TypeKey(kRawQ);
        PlatformTest::WaitIdle();
        ClickAt(byGadget.CloseGadget());
    });
    EXPECT_FALSE(byKey.IsLoad());
    EXPECT_FALSE(byGadget.IsLoad());
    EXPECT_TRUE(byKey.IsClosed());
    EXPECT_TRUE(byGadget.IsClosed());
    const std::vector<std::string> closes = {"byKey:closing",  "byKey:close",  "byGadget:closing",
                                             "byGadget:close", "main:closing", "main:close"};
    EXPECT_EQ(Without(Without(Without(trace, "byKey:press"), "byKey:down"), "byKey:up"), closes);
}

TEST(Windows, CenterFormOnTheScreen) {
    TraceForm dialog("centred", true);
    dialog.SetSize(300, 200);
    dialog.CenterForm();
    EXPECT_EQ(dialog.GetPosition().x, 250);
    EXPECT_EQ(dialog.GetPosition().y, 200);
}

TEST(Windows, RepaintFillsTheBackgroundColour) {
    TraceForm dialog("coloured", true);
    dialog.SetPosition(30, 30);
    dialog.SetSize(100, 60);
    dialog.Show();
    ASSERT_TRUE(dialog.IsLoad());
    Window* w = dialog.GetHandle();
    const int x = w->LeftEdge + w->BorderLeft + 50;
    const int y = w->TopEdge + w->BorderTop + 30;
    EXPECT_EQ(PlatformTest::ReadScreenPixel(x, y), 0);
    dialog.SetBackgroundColor(5);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(x, y), 5);
    // While refreshing is suspended (a window being rebuilt) nothing is painted; the next
    // refresh after it resumes paints the window as it now is.
    Application::SospendiRefresh = 1;
    dialog.SetBackgroundColor(6);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(x, y), 5);
    Application::SospendiRefresh = 0;
    dialog.Refresh();
    EXPECT_EQ(PlatformTest::ReadScreenPixel(x, y), 6);
    dialog.CloseForm();
}

TEST(Windows, InnerAreaFollowsSetSizeWhateverTheBorders) {
    TraceForm dialog("sized", true);
    dialog.SetPosition(10, 10);
    dialog.Show();
    ASSERT_TRUE(dialog.IsLoad());
    dialog.SetSize(220, 130);
    Window* w = dialog.GetHandle();
    EXPECT_EQ(w->Width - w->BorderLeft - w->BorderRight, 220);
    EXPECT_EQ(w->Height - w->BorderTop - w->BorderBottom, 130);
    dialog.SetTitle("renamed");
    EXPECT_STREQ(reinterpret_cast<const char*>(w->Title), "renamed");
    dialog.CloseForm();
    dialog.SetTitle("closed");
    EXPECT_EQ(dialog.GetText(), "closed");
}

namespace {

std::atomic<int> ticks{0};
int stopAfter = 0;

void Tick(GUIElement* t) {
    if (++ticks == stopAfter) {
        static_cast<Timer*>(t)->Stop();
    }
}

}  // namespace

// The interval counts from when the timer is armed, a tick comes neither early nor late, and a
// timer stopped by its own callback is not called or armed again. The clock moves in 10 ms steps,
// so each tick comes back at the very step that reaches its time.
TEST_F(EventLoop, TimerFiresAtItsIntervalAndAStoppedTimerIsNotCalledAgain) {
    ticks = 0;
    stopAfter = 4;
    VirtualClock clock;
    Timer timer(&main, 120);
    timer.SetOnTimer(Tick);
    VirtualClock::ThroughDelay(100, [&] { timer.Start(); });  // armed, then 100 ms of pause
    EXPECT_EQ(timer.IsStart(), 1);
    std::vector<int> firedAt;  // ms since the timer was first armed
    RunWith(main, [&] {
        for (int elapsed = 100; elapsed < 1500;) {
            elapsed += 10;
            if (PlatformTest::AdvanceClock(10) == 0) {
                continue;
            }
            firedAt.push_back(elapsed);
            // The callback runs before the timer is armed again; the last one arms nothing, so
            // the test waits for the callback itself before the window is closed.
            if (static_cast<int>(firedAt.size()) < stopAfter) {
                ASSERT_TRUE(PlatformTest::WaitTimerRequests(1));
            } else {
                ASSERT_TRUE(PollUntil([] { return ticks.load() == stopAfter; }));
            }
        }
    });
    EXPECT_EQ(firedAt, (std::vector<int>{120, 240, 360, 480}));
    EXPECT_EQ(ticks.load(), 4);
    EXPECT_EQ(timer.IsStart(), 0);
    EXPECT_EQ(timer.mp_SigBit(), 0u);
    EXPECT_EQ(LogLines(), std::vector<std::string>{});  // a timer that runs well logs nothing
}

// The counter as the program found it, before any test made a worker.
const int32_t treadCountAtStart = Tread::count;

TEST(Tread, FirstWorkerHasIdOneAndRunsOnAnotherThread) {
    static std::thread::id where;
    static std::atomic<Tread*> seen;
    static std::string name;
    where = std::this_thread::get_id();
    seen = nullptr;
    name.clear();
    // The count starts at 0 and each worker takes the next number: the program's first worker
    // is 1, and so is this test's on its first run; on a repeat it is the next one.
    EXPECT_EQ(treadCountAtStart, 0);
    const int32_t before = Tread::count;
    Tread worker;
    EXPECT_EQ(worker.GetID(), before + 1);
    EXPECT_EQ(Tread::count, worker.GetID());
    worker.SetFn([](Tread* t) {
        where = std::this_thread::get_id();
        name = FindTask(nullptr)->tc_Node.ln_Name;
        seen = t;
    });
    ASSERT_TRUE(worker.Start());
    worker.Join();
    EXPECT_NE(where, std::this_thread::get_id());
    EXPECT_EQ(seen.load(), &worker);
    EXPECT_EQ(name, "task" + std::to_string(worker.GetID()));
}

TEST(Windows, MainWindowIsABackdropCoveringTheProgramScreen) {
    // As at start-up: no window has fixed the toolkit's screen yet.
    if (GUIElement::GlobalVisualInfo != nullptr) {
        FreeVisualInfo(GUIElement::GlobalVisualInfo);
    }
    GUIElement::GlobalVisualInfo = nullptr;
    GUIElement::GlobalScreen = nullptr;
    OrvScreen screen("Tessella Cross Edition");
    ASSERT_NE(screen.GetHandle(), nullptr);
    EXPECT_EQ(screen.GetHandle()->Width, 800);
    EXPECT_EQ(screen.GetHandle()->Height, 600);
    {
        TraceForm main("main");
        main.SetScreen(&screen);
        main.Show();
        ASSERT_TRUE(main.IsLoad());
        Window* w = main.GetHandle();
        EXPECT_EQ(main.GetPosition().x, 0);
        EXPECT_EQ(main.GetPosition().y, 0);
        EXPECT_EQ(w->Width, 800);
        EXPECT_EQ(w->Height, 600);
        EXPECT_TRUE(w->Flags & WFLG_BACKDROP);
        EXPECT_TRUE(w->Flags & WFLG_BORDERLESS);
        EXPECT_EQ(GUIElement::GlobalScreen, screen.GetHandle());
        // Windows still open: the screen refuses to close.
        EXPECT_FALSE(screen.Close());
        main.CloseForm();
    }
    // Scrolling slides the screen down until it has gone below the display's bottom edge.
    screen.Scrolling();
    EXPECT_EQ(screen.GetHandle()->TopEdge, 600);
    EXPECT_TRUE(screen.Close());
    EXPECT_EQ(GUIElement::GlobalScreen, nullptr);
}
