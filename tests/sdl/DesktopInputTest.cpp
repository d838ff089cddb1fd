// What the desktop window hands to intuition: keys with the layout's characters, and its close
// button, arriving at the program's windows as IDCMP messages; and the fallback to no window.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "intuition.h"
#include "platform/intuition/Presenter.h"
#include "platform/intuition/SysRequest.h"
#include "platform/sdl/DisplayProbe.h"
#include "platform_test.h"
#include "tests/support/KeyText.h"

using namespace tessella;

namespace {

using tessella::intuition::PostInputEvent;

struct Got {
    ULONG cls;
    UWORD code;
    std::string text;
};

std::vector<Got> Drain(Window* w) {
    EXPECT_TRUE(PlatformTest::WaitInputDrained());
    std::vector<Got> all;
    while (auto* m = reinterpret_cast<IntuiMessage*>(GetMsg(w->UserPort))) {
        Got g{m->Class, m->Code, ""};
        if (m->Class == IDCMP_RAWKEY) {
            g.text = KeyText(m);
        }
        all.push_back(g);
        ReplyMsg(&m->ExecMessage);
    }
    return all;
}

class DesktopInput : public ::testing::Test {
protected:
    void SetUp() override {
        screen = OpenScreenTags(nullptr, SA_Width, 320, SA_Height, 200, SA_Depth, 8);
        ASSERT_NE(screen, nullptr);
    }
    void TearDown() override {
        for (Window* w : windows) {
            CloseWindow(w);
        }
        EXPECT_EQ(CloseScreen(screen), TRUE);
    }
    Window* Open(int left, ULONG flags) {
        Window* w = OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, left, WA_Top, 20,
                                   WA_Width, 100, WA_Height, 80, WA_Title, "w", WA_Flags,
                                   WFLG_DRAGBAR | WFLG_CLOSEGADGET | flags, WA_IDCMP,
                                   IDCMP_RAWKEY | IDCMP_CLOSEWINDOW);
        EXPECT_NE(w, nullptr);
        windows.push_back(w);
        return w;
    }
    Screen* screen = nullptr;
    std::vector<Window*> windows;
};

void PostKey(UWORD code, const DesktopKey& key) {
    InputEvent e{};
    e.ie_Class = IECLASS_RAWKEY;
    e.ie_Code = code;
    PostInputEvent(e, key);
}

TEST_F(DesktopInput, KeysCarryTheLayoutsCharactersToTheActiveWindow) {
    Window* w = Open(10, WFLG_ACTIVATE);
    PostKey(0x1A, DesktopKey{1, 1, {0xE8}, 0, 0});
    PostKey(0x1A | IECODE_UP_PREFIX, DesktopKey{1, 0, {}, 0, 0});
    PostKey(0x1A, DesktopKey{});  // a key typed through the test interface: the US keymap
    const auto got = Drain(w);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].code, 0x1A);
    EXPECT_EQ(got[0].text, "\xE8");
    EXPECT_EQ(got[1].code, 0x1A | IECODE_UP_PREFIX);
    EXPECT_EQ(got[1].text, "");
    EXPECT_EQ(got[2].text, "[");
}

void AskToClose() {
    InputEvent close{};
    close.ie_Class = IECLASS_CLOSEWINDOW;
    PostInputEvent(close);
}

size_t CloseRequests(Window* w) {
    size_t n = 0;
    for (const Got& g : Drain(w)) {
        n += g.cls == IDCMP_CLOSEWINDOW ? 1 : 0;
    }
    return n;
}

// The program's main window is asked, whichever window has the input: a dialog, none (after a
// click on the screen's title bar), or a requester that keeps the main window asleep.
TEST_F(DesktopInput, ClosingTheDesktopWindowAsksTheMainWindowInEveryState) {
    Window* main = Open(10, 0);
    Window* dialog = Open(150, WFLG_ACTIVATE);
    AskToClose();
    EXPECT_EQ(CloseRequests(main), 1u);
    EXPECT_EQ(CloseRequests(dialog), 0u);
    // The program decides: its windows stay open until it closes them.
    EXPECT_EQ(CloseScreen(screen), FALSE);

    PlatformTest::Click(100, 2);  // the screen's title bar: no window is active
    AskToClose();
    EXPECT_EQ(CloseRequests(main), 1u);

    tessella::intuition::SleepWindow(main, true);
    AskToClose();
    PlatformTest::Click(40, 60);  // a click on the sleeping window still reaches nothing
    const auto got = Drain(main);
    tessella::intuition::SleepWindow(main, false);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_CLOSEWINDOW);
}

TEST_F(DesktopInput, AWindowThatDoesNotListenForClosingIsPassedOver) {
    Window* deaf = OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, 0, WA_Top, 20,
                                  WA_Width, 50, WA_Height, 50, WA_IDCMP, IDCMP_RAWKEY);
    ASSERT_NE(deaf, nullptr);
    windows.push_back(deaf);
    Window* main = Open(150, 0);
    AskToClose();
    EXPECT_EQ(CloseRequests(main), 1u);
    EXPECT_TRUE(Drain(deaf).empty());
}

// The desktop window is titled after the program: the main window's screen title, or the
// screen's own; a dialog's title leaves it alone.
TEST_F(DesktopInput, TheDesktopTitleFollowsTheProgram) {
    const auto title = [] {
        tessella::intuition::Frame frame;
        EXPECT_TRUE(tessella::intuition::ComposeFrontScreen(frame));
        return frame.title;
    };
    Screen* titled = OpenScreenTags(nullptr, SA_Width, 320, SA_Height, 200, SA_Depth, 8, SA_Title,
                                    "Tessella \xA9 2026");
    ASSERT_NE(titled, nullptr);
    EXPECT_EQ(title(), "Tessella \xA9 2026");
    Window* main = OpenWindowTags(nullptr, WA_CustomScreen, titled, WA_Backdrop, TRUE,
                                  WA_Borderless, TRUE, WA_IDCMP, IDCMP_CLOSEWINDOW);
    Window* dialog = OpenWindowTags(nullptr, WA_CustomScreen, titled, WA_Left, 20, WA_Top, 20,
                                    WA_Width, 100, WA_Height, 60, WA_Activate, TRUE);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(dialog, nullptr);
    SetWindowTitles(main, reinterpret_cast<CONST_STRPTR>(~IPTR{0}), "Cifra il file");
    SetWindowTitles(dialog, "About", "About");
    EXPECT_EQ(title(), "Cifra il file");
    CloseWindow(dialog);
    CloseWindow(main);
    EXPECT_EQ(title(), "Tessella \xA9 2026");
    EXPECT_EQ(CloseScreen(titled), TRUE);
}

// Each test runs in a process of its own, so the first screen here is the process's first.
TEST(DesktopFallback, WithoutADisplayTheProgramRunsWithoutAWindowAndSaysSoOnce) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing::internal::CaptureStderr();
    Screen* first = OpenScreenTags(nullptr, SA_Width, 64, SA_Height, 64, SA_Depth, 8);
    Screen* second = OpenScreenTags(nullptr, SA_Width, 64, SA_Height, 64, SA_Depth, 8);
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(said.find("without a window"), std::string::npos) << said;
    EXPECT_EQ(said.find("without a window"), said.rfind("without a window")) << said;
    // The screen works: drawing and reading back go on as usual.
    SetAPen(&second->RastPort, 7);
    RectFill(&second->RastPort, 0, 30, 63, 63);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(10, 40), 7);
    EXPECT_EQ(CloseScreen(second), TRUE);
    EXPECT_EQ(CloseScreen(first), TRUE);
}

TEST(DesktopFallback, ADisplayThatCannotBeOpenedFallsBackToo) {
    setenv("DISPLAY", ":32761", 1);  // no X server answers there
    testing::internal::CaptureStderr();
    Screen* screen = OpenScreenTags(nullptr, SA_Width, 64, SA_Height, 64, SA_Depth, 8);
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_NE(screen, nullptr);
    EXPECT_NE(said.find("without a window"), std::string::npos) << said;
    EXPECT_EQ(CloseScreen(screen), TRUE);
}

// A server that takes connections and never says a word, as a stopped X server does: under the
// abstract name the X library tries first, so no file is needed.
class SilentServer {
public:
    explicit SilentServer(bool answers) {
        number_ = 30000 + getpid() % 2000;
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const std::string name = "/tmp/.X11-unix/X" + std::to_string(number_);
        std::memcpy(addr.sun_path + 1, name.c_str(), name.size());
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
        EXPECT_EQ(bind(fd_, reinterpret_cast<sockaddr*>(&addr), length), 0);
        EXPECT_EQ(listen(fd_, 4), 0);
        if (answers) {
            replier_ = std::thread([this] {
                const int client = accept(fd_, nullptr, nullptr);
                if (client >= 0) {
                    char opening[12];
                    EXPECT_EQ(recv(client, opening, sizeof(opening), MSG_WAITALL), 12);
                    EXPECT_EQ(send(client, "\0", 1, 0), 1);  // "refused": an answer all the same
                    close(client);
                }
            });
        }
    }
    ~SilentServer() {
        if (replier_.joinable()) {
            replier_.join();
        }
        close(fd_);
    }
    std::string Display() const { return ":" + std::to_string(number_) + ".0"; }

private:
    int number_ = 0;
    int fd_ = -1;
    std::thread replier_;
};

TEST(DisplayProbe, AServerThatNeverAnswersIsGivenUpAfterTheTimeLimit) {
    SilentServer silent(false);
    std::string error;
    EXPECT_FALSE(tessella::sdl::XServerAnswers(silent.Display(), 300, error));
    EXPECT_NE(error.find("does not answer"), std::string::npos) << error;
}

TEST(DisplayProbe, AnyAnswerCountsAndUnknownFormsAreLeftToTheDesktop) {
    SilentServer answering(true);
    std::string error;
    EXPECT_TRUE(tessella::sdl::XServerAnswers(answering.Display(), 3000, error)) << error;
    EXPECT_TRUE(tessella::sdl::XServerAnswers("/private/tmp/launch-x/org.x:0", 300, error));
    EXPECT_TRUE(tessella::sdl::XServerAnswers("nonsense", 300, error));
    EXPECT_FALSE(tessella::sdl::XServerAnswers(":32762", 300, error));  // nobody there
}

TEST(DesktopFallback, AStalledDisplayFallsBackAndTheProgramCanTellItHasNoWindow) {
    SilentServer silent(false);
    setenv("DISPLAY", silent.Display().c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ScreensOnDesktop(), FALSE);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("does not answer): running without a window"), std::string::npos) << said;
    Screen* screen = OpenScreenTags(nullptr, SA_Width, 64, SA_Height, 64, SA_Depth, 8);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(ScreensOnDesktop(), FALSE);
    EXPECT_EQ(CloseScreen(screen), TRUE);
}

}  // namespace
