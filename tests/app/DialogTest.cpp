// Message boxes and standard requesters as the user sees and answers them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "app/Dialog.h"
#include "app/MsgBox.h"
#include "platform_test.h"
#include "runtime/Font.h"
#include "runtime/Form.h"
#include "runtime/OrvScreen.h"

using namespace tessella;

namespace {

namespace fs = std::filesystem;

template <typename F>
auto OnWorker(F f) {
    return std::async(std::launch::async, f);
}

class Boxes : public ::testing::Test {
protected:
    void SetUp() override {
        screen = std::make_unique<OrvScreen>("Boxes");
        owner = std::make_unique<Form>(0, true);
        owner->SetScreen(screen.get());
        owner->SetText("Owner");
        owner->SetPosition(100, 100);
        owner->SetSize(300, 200);
        owner->Show();
        ASSERT_TRUE(owner->IsLoad());
        folder = fs::temp_directory_path() / ("tessella-dialog-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "sub");
        for (const char* name : {"a.velx", "notes.txt"}) {
            std::ofstream(folder / name) << "x";
        }
    }
    void TearDown() override {
        owner.reset();
        EXPECT_TRUE(screen->Close());
        fs::remove_all(folder);
        ASSERT_TRUE(PlatformTest::WaitIdle());
    }

    std::unique_ptr<OrvScreen> screen;
    std::unique_ptr<Form> owner;
    fs::path folder;
};

TEST_F(Boxes, AMessageShowsPercentSignsOfAFileNameAsTheyAreAndMarksItsOwnerBusy) {
    auto done = OnWorker(
        [&] { MsgBox::ShowError(owner.get(), "100%s %d%% done.velx: file not found", "ERROR"); });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.title, "ERROR");
    EXPECT_EQ(view.text, "100%s %d%% done.velx: file not found");
    EXPECT_EQ(view.buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(owner->CursorWait());
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    done.get();
    EXPECT_FALSE(owner->CursorWait());
}

TEST_F(Boxes, AQuestionAnswersOneForYesAndZeroForNoOrEscape) {
    for (int button = 0; button < 3; ++button) {
        auto answer = OnWorker([&] {
            return MsgBox::ShowQuestion(owner.get(), "Do you really want to go exit?", "Exit");
        });
        PlatformTest::RequesterView view;
        ASSERT_TRUE(PlatformTest::WaitRequester(&view));
        EXPECT_EQ(view.buttons, (std::vector<std::string>{"YES", "NO"}));
        if (button == 2) {
            PlatformTest::TypeKey(RAWKEY_ESCAPE);
        } else {
            ASSERT_TRUE(PlatformTest::AnswerRequester(button));
        }
        EXPECT_EQ(answer.get(), button == 0 ? 1 : 0);
    }
}

TEST(AlertText, TitleAndBodyFillTheirFixedPlaces) {
    unsigned char buffer[MsgBox::kAlertSize] = {};
    MsgBox::CreaTesto(buffer, "short", "");
    const std::string text(reinterpret_cast<char*>(buffer), sizeof(buffer));
    // Positions: x 10 on every line, y 20, 42, 53, 64; continuation bytes 1, 1, 1, 0.
    for (size_t at : {0u, 55u, 137u, 219u}) {
        EXPECT_EQ(buffer[at], 0);
        EXPECT_EQ(buffer[at + 1], 10);
    }
    EXPECT_EQ(buffer[2], 20);
    EXPECT_EQ(buffer[57], 42);
    EXPECT_EQ(buffer[139], 53);
    EXPECT_EQ(buffer[221], 64);
    EXPECT_EQ(text.substr(3, 50), std::string(50, ' '));
    EXPECT_EQ(text.substr(53, 2), std::string("\0\1", 2));
    EXPECT_EQ(text.substr(135, 2), std::string("\0\1", 2));
    EXPECT_EQ(text.substr(217, 2), std::string("\0\1", 2));
    EXPECT_EQ(text.substr(299, 2), std::string("\0\0", 2));
    EXPECT_EQ(text.substr(58, 5), "short");
    // The prompt always starts at body position 201: the 48th character of the third line.
    EXPECT_EQ(text.substr(222 + 47, 30), ".. PREMI IL PULSANTE DEL MOUSE");

    const std::string longMessage(250, 'm');
    MsgBox::CreaTesto(buffer, longMessage, std::string(60, 't'));
    const std::string cut(reinterpret_cast<char*>(buffer), sizeof(buffer));
    EXPECT_EQ(cut.substr(3, 50), std::string(50, 't'));
    EXPECT_EQ(cut.substr(222, 47), std::string(47, 'm'));
    EXPECT_EQ(cut.substr(269, 30), ".. PREMI IL PULSANTE DEL MOUSE");
}

TEST_F(Boxes, AnAlertShowsTheTitleAndTheBodyLines) {
    auto done = OnWorker([&] { MsgBox::ShowAlert(owner.get(), "Out of memory", "Tessella"); });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.text.substr(0, 9), "Tessella ");
    EXPECT_NE(view.text.find("Out of memory"), std::string::npos);
    EXPECT_NE(view.text.find(".. PREMI IL PULSANTE DEL MOUSE"), std::string::npos);
    EXPECT_FALSE(owner->CursorWait());  // the owner is not marked busy by an alert
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    done.get();
}

TEST_F(Boxes, TheFileRequesterFiltersByTheSecondPatternAndJoinsDrawerAndFile) {
    auto chosen = OnWorker([&] {
        return Dialog::ShowOpenFile(owner.get(), {"File VELX (#?.velx)", "#?.velx"},
                                    std::string(130, 'T'), folder.string());
    });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.title, std::string(124, 'T'));
    EXPECT_EQ(view.entries, (std::vector<std::string>{"sub/", "a.velx"}));
    ASSERT_TRUE(PlatformTest::AnswerFileRequester((folder / "a.velx").c_str()));
    EXPECT_EQ(chosen.get(), (folder / "a.velx").string());

    // A label alone filters nothing.
    auto all = OnWorker([&] {
        return Dialog::ShowSaveFile(owner.get(), {"File VELX (#?.velx)"}, "", folder.string());
    });
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.entries, (std::vector<std::string>{"sub/", "a.velx", "notes.txt"}));
    // An emptied drawer field stands for the current folder, and the answer names it.
    ASSERT_TRUE(PlatformTest::AnswerFileRequester("new.velx"));
    EXPECT_EQ(all.get(), (fs::current_path() / "new.velx").string());

    auto cancelled = OnWorker([&] { return Dialog::ShowOpenFile(owner.get()); });
    ASSERT_TRUE(PlatformTest::CancelRequester());
    EXPECT_EQ(cancelled.get(), "");
}

TEST_F(Boxes, TheDirectoryRequesterAnswersWithTheDrawerUnchanged) {
    auto chosen = OnWorker([&] { return Dialog::ShowOpenDirectory(owner.get(), "Where to?"); });
    ASSERT_TRUE(PlatformTest::AnswerFileRequester((folder / "sub").c_str()));
    EXPECT_EQ(chosen.get(), (folder / "sub").string());
}

TEST_F(Boxes, TheFontRequesterGivesANewFontOrNothing) {
    auto chosen = OnWorker([&] { return Dialog::ShowFont(owner.get(), "times.font", 18); });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    std::unique_ptr<Font> font(chosen.get());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetNome(), "times.font");
    auto none = OnWorker([&] { return Dialog::ShowFont(owner.get(), "", 8); });
    ASSERT_TRUE(PlatformTest::CancelRequester());
    EXPECT_EQ(none.get(), nullptr);
}

}  // namespace
