// System requesters raised by a worker task and answered through the test interface with the
// pointer and keys, while the program's own window goes on working.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "asl.h"
#include "dos.h"
#include "tests/support/GadToolsDesk.h"

using namespace tessella;

namespace {

namespace fs = std::filesystem;
using Requesters = GadToolsDesk;

template <typename F>
auto OnWorker(F f) {
    return std::async(std::launch::async, f);
}

TEST_F(Requesters, AnEasyRequestFormatsItsBodyAndNumbersItsButtons) {
    const EasyStruct es{sizeof(EasyStruct), 0, "Question", "File %s has %ld bytes\n100%% sure?",
                        "Yes|Maybe|No"};
    const char* name = "notes.txt";
    for (int button = 0; button < 3; ++button) {
        auto answer = OnWorker([&] { return EasyRequest(window, &es, nullptr, name, 42); });
        PlatformTest::RequesterView view;
        ASSERT_TRUE(PlatformTest::WaitRequester(&view));
        EXPECT_EQ(view.title, "Question");
        EXPECT_EQ(view.text, "File notes.txt has 42 bytes\n100% sure?");
        EXPECT_EQ(view.buttons, (std::vector<std::string>{"Yes", "Maybe", "No"}));
        ASSERT_TRUE(PlatformTest::AnswerRequester(button));
        // 1, 2 from the left, the rightmost 0.
        EXPECT_EQ(answer.get(), button == 2 ? 0 : button + 1);
    }
}

TEST_F(Requesters, ARequesterBlocksOnlyTheTaskThatRaisedIt) {
    Gadget* b = Add(BUTTON_KIND, At(20, 300, 80, 20, 31, "Go", PLACETEXT_IN));
    ASSERT_NE(b, nullptr);
    const EasyStruct es{sizeof(EasyStruct), 0, "Busy", "Working", "OK"};
    auto answer = OnWorker([&] { return EasyRequestArgs(window, &es, nullptr, nullptr); });
    ASSERT_TRUE(PlatformTest::WaitRequester());
    ActivateWindow(window);
    ClickIn(b);  // the window still answers while the worker waits
    const auto got = Only(Drain(), IDCMP_GADGETUP);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].gadgetId, 31);
    EXPECT_EQ(answer.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(answer.get(), 0);  // a single button is also the rightmost
}

TEST_F(Requesters, TextWithoutArgumentsShowsPercentSignsAsTheyAre) {
    const EasyStruct es{sizeof(EasyStruct), 0, "T", "Done: 100% of %s", "OK"};
    auto answer = OnWorker([&] { return EasyRequestArgs(nullptr, &es, nullptr, nullptr); });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.text, "Done: 100% of %s");
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(answer.get(), 0);
}

TEST_F(Requesters, DirectivesBeyondTheArgumentListShowAsWritten) {
    // One argument for four directives: the rest must not be read from past the list.
    const EasyStruct es{sizeof(EasyStruct), 0, "T", "%s then %s and %ld, %c", "OK"};
    auto answer = OnWorker([&] { return EasyRequest(nullptr, &es, nullptr, "first"); });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.text, "first then %s and %ld, %c");
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(answer.get(), 0);
    // A file name passed as the argument of "%s" keeps its own directives as text.
    const EasyStruct literal{sizeof(EasyStruct), 0, "T", "%s", "OK"};
    const IPTR list[] = {reinterpret_cast<IPTR>("100%s %ld.txt"), EASYARGS_END};
    auto shown = OnWorker([&] { return EasyRequestArgs(nullptr, &literal, nullptr, list); });
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.text, "100%s %ld.txt");
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(shown.get(), 0);
}

TEST_F(Requesters, ReturnAnswersWithTheLeftButtonAndEscapeWithTheRightOne) {
    const EasyStruct es{sizeof(EasyStruct), 0, "Quit", "Really quit?", "YES | NO"};
    auto yes = OnWorker([&] { return EasyRequestArgs(window, &es, nullptr, nullptr); });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.buttons, (std::vector<std::string>{"YES", "NO"}));
    PlatformTest::TypeKey(RAWKEY_RETURN);
    EXPECT_EQ(yes.get(), 1);
    auto no = OnWorker([&] { return EasyRequestArgs(window, &es, nullptr, nullptr); });
    ASSERT_TRUE(PlatformTest::WaitRequester());
    PlatformTest::TypeKey(RAWKEY_ESCAPE);
    EXPECT_EQ(no.get(), 0);
    auto amigaB = OnWorker([&] { return EasyRequestArgs(window, &es, nullptr, nullptr); });
    ASSERT_TRUE(PlatformTest::WaitRequester());
    PlatformTest::TypeKey(0x35, IEQUALIFIER_LCOMMAND);
    EXPECT_EQ(amigaB.get(), 0);
}

// Tab moves the keyboard along the buttons and round again, Shift+Tab the other way; Space and
// Return answer with the button that has it.
TEST_F(Requesters, TabMovesAlongTheButtonsAndSpaceOrReturnAnswersWithTheOneThatHasIt) {
    const EasyStruct es{sizeof(EasyStruct), 0, "Quit", "Really quit?", "YES | NO"};
    struct Case {
        std::vector<std::pair<UWORD, UWORD>> keys;
        LONG answer;
    };
    const std::vector<Case> cases = {
        {{{RAWKEY_TAB, 0}, {RAWKEY_TAB, 0}, {RAWKEY_RETURN, 0}}, 0},
        {{{RAWKEY_TAB, 0}, {RAWKEY_TAB, 0}, {RAWKEY_TAB, 0}, {RAWKEY_SPACE, 0}}, 1},
        {{{RAWKEY_TAB, IEQUALIFIER_LSHIFT}, {RAWKEY_SPACE, 0}}, 0},
        {{{RAWKEY_SPACE, 0}, {RAWKEY_RETURN, 0}}, 1},  // no button has it yet: Space does nothing
    };
    for (const Case& c : cases) {
        auto answer = OnWorker([&] { return EasyRequestArgs(window, &es, nullptr, nullptr); });
        ASSERT_TRUE(PlatformTest::WaitRequester());
        for (const auto& [key, qualifier] : c.keys) {
            PlatformTest::TypeKey(key, qualifier);
        }
        EXPECT_EQ(answer.get(), c.answer);
    }
}

TEST_F(Requesters, AnAutoRequestAnswersTrueForItsPositiveButton) {
    IntuiText second{1, 0, JAM1, 6, 20, nullptr, const_cast<char*>("second line"), nullptr};
    IntuiText body{1, 0, JAM1, 6, 4, nullptr, const_cast<char*>("first line"), &second};
    IntuiText yes{1, 0, JAM1, 6, 4, nullptr, const_cast<char*>("Retry"), nullptr};
    IntuiText no{1, 0, JAM1, 6, 4, nullptr, const_cast<char*>("Cancel"), nullptr};
    for (int button = 0; button < 2; ++button) {
        auto answer =
            OnWorker([&] { return AutoRequest(window, &body, &yes, &no, 0, 0, 300, 100); });
        PlatformTest::RequesterView view;
        ASSERT_TRUE(PlatformTest::WaitRequester(&view));
        EXPECT_EQ(view.text, "first line\nsecond line");
        EXPECT_EQ(view.buttons, (std::vector<std::string>{"Retry", "Cancel"}));
        ASSERT_TRUE(PlatformTest::AnswerRequester(button));
        EXPECT_EQ(answer.get(), button == 0 ? TRUE : FALSE);
    }
}

TEST_F(Requesters, AnAlertShowsItsPositionedLinesAndAnswersAClick) {
    // Two lines: x 10, y 20 and x 10, y 42, each ending in a zero and a continuation byte.
    std::vector<char> text;
    auto line = [&](int y, const std::string& s, bool more) {
        text.push_back(0);
        text.push_back(10);
        text.push_back(static_cast<char>(y));
        text.insert(text.end(), s.begin(), s.end());
        text.push_back(0);
        text.push_back(more ? 1 : 0);
    };
    line(20, "Title line", true);
    line(42, "Body line .. PREMI IL PULSANTE DEL MOUSE", false);
    auto answer = OnWorker([&] { return DisplayAlert(RECOVERY_ALERT, text.data(), 80); });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.text, "Title line\nBody line .. PREMI IL PULSANTE DEL MOUSE");
    EXPECT_EQ(PlatformTest::ReadScreenPixel(1, 1), 2);     // the frame
    EXPECT_EQ(PlatformTest::ReadScreenPixel(300, 60), 1);  // the dark box
    EXPECT_EQ(PlatformTest::ReadScreenPixel(300, 90), 0);  // below it, the screen again
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(answer.get(), TRUE);
    auto right = OnWorker([&] { return DisplayAlert(RECOVERY_ALERT, text.data(), 80); });
    ASSERT_TRUE(PlatformTest::WaitRequester());
    ASSERT_TRUE(PlatformTest::AnswerRequester(1));
    EXPECT_EQ(right.get(), FALSE);
    // A click anywhere answers it; the window under the pointer sees nothing of it.
    auto anywhere = OnWorker([&] { return DisplayAlert(RECOVERY_ALERT, text.data(), 80); });
    ASSERT_TRUE(PlatformTest::WaitRequester());
    PlatformTest::Click(X(200), Y(200));
    EXPECT_EQ(anywhere.get(), TRUE);
    EXPECT_TRUE(Only(Drain(), IDCMP_MOUSEBUTTONS).empty());
    EXPECT_TRUE(window->Flags & WFLG_WINDOWACTIVE);  // the input is back with the window
    // A dead end cannot go on, whatever the click.
    auto dead = OnWorker([&] { return DisplayAlert(DEADEND_ALERT, text.data(), 80); });
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(dead.get(), FALSE);
}

class FileRequesters : public GadToolsDesk {
protected:
    void SetUp() override {
        GadToolsDesk::SetUp();
        folder = fs::temp_directory_path() / ("tessella-asl-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "sub");
        fs::create_directories(folder / "Archive");
        for (const char* name : {"a.velx", "notes.txt", "C.VELX", "sub/inner.velx"}) {
            std::ofstream(folder / name) << "x";
        }
        fr = static_cast<FileRequester*>(AllocAslRequest(ASL_FileRequest, nullptr));
        ASSERT_NE(fr, nullptr);
    }
    void TearDown() override {
        FreeAslRequest(fr);
        fs::remove_all(folder);
        GadToolsDesk::TearDown();
    }

    std::future<BOOL> Open(const char* pattern, bool save = false) {
        return OnWorker([this, pattern, save] {
            return AslRequestTags(fr, ASLFR_Window, window, ASLFR_TitleText, "Choose",
                                  ASLFR_InitialPattern, pattern, ASLFR_SleepWindow, TRUE,
                                  ASLFR_DoSaveMode, save, ASLFR_InitialDrawer, folder.c_str(),
                                  ASLFR_DoPatterns, TRUE);
        });
    }

    fs::path folder;
    FileRequester* fr = nullptr;
};

TEST_F(FileRequesters, ListsDrawersAndTheFilesThatMatchThePattern) {
    auto chosen = Open("#?.velx");
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.title, "Choose");
    EXPECT_EQ(view.drawer, folder.string());
    EXPECT_EQ(view.entries, (std::vector<std::string>{"Archive/", "sub/", "a.velx", "C.VELX"}));
    EXPECT_EQ(view.buttons, (std::vector<std::string>{"OK", "Parent", "Cancel"}));
    ASSERT_TRUE(PlatformTest::SaveScreenPNG("asl_file_requester.png"));
    // A drawer opens on a click; Parent goes back up.
    ASSERT_TRUE(PlatformTest::PickRequesterEntry(1));
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.drawer, (folder / "sub").string());
    EXPECT_EQ(view.entries, (std::vector<std::string>{"inner.velx"}));
    ASSERT_TRUE(PlatformTest::ClickRequesterButton(1));
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.drawer, folder.string());
    // A file fills the file field; OK returns the drawer and the file apart.
    ASSERT_TRUE(PlatformTest::PickRequesterEntry(3));
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(chosen.get(), TRUE);
    EXPECT_STREQ(fr->fr_Drawer, folder.c_str());
    EXPECT_STREQ(fr->fr_File, "C.VELX");
}

TEST_F(FileRequesters, ATypedPathIsTheAnswerAndCancelGivesFalse) {
    auto chosen = Open("#?", true);
    ASSERT_TRUE(PlatformTest::AnswerFileRequester((folder / "sub" / "new.velx").c_str()));
    EXPECT_EQ(chosen.get(), TRUE);
    EXPECT_STREQ(fr->fr_Drawer, (folder / "sub").c_str());
    EXPECT_STREQ(fr->fr_File, "new.velx");
    auto cancelled = Open("#?");
    ASSERT_TRUE(PlatformTest::CancelRequester());
    EXPECT_EQ(cancelled.get(), FALSE);
    EXPECT_STREQ(fr->fr_File, "new.velx");  // the last choice stays
}

// Without a drawer to start in, the requester lists the current folder and says which it is;
// what it answers is absolute, also when the drawer was typed relative to that folder.
TEST_F(FileRequesters, TheCurrentFolderIsShownAndAnsweredAsAnAbsolutePath) {
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    const std::string here = fs::current_path().string();
    auto picked = OnWorker([&] { return AslRequestTags(fr, ASLFR_Window, window); });
    PlatformTest::RequesterView view;
    EXPECT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.drawer, here);
    EXPECT_EQ(view.entries,
              (std::vector<std::string>{"Archive/", "sub/", "a.velx", "C.VELX", "notes.txt"}));
    EXPECT_TRUE(PlatformTest::PickRequesterEntry(1));
    EXPECT_TRUE(PlatformTest::PickRequesterEntry(0));
    EXPECT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(picked.get(), TRUE);
    EXPECT_EQ(std::string(fr->fr_Drawer), here + "/sub");
    EXPECT_STREQ(fr->fr_File, "inner.velx");
    auto typed = OnWorker([&] { return AslRequestTags(fr, ASLFR_Window, window); });
    EXPECT_TRUE(PlatformTest::AnswerFileRequester("Archive/new.velx"));
    EXPECT_EQ(typed.get(), TRUE);
    EXPECT_EQ(std::string(fr->fr_Drawer), here + "/Archive");
    EXPECT_STREQ(fr->fr_File, "new.velx");
    fs::current_path(before);
}

TEST_F(FileRequesters, TheSleepingWindowIgnoresInputWhileTheRequesterIsUp) {
    Gadget* b = Add(BUTTON_KIND, At(20, 300, 80, 20, 41, "Go", PLACETEXT_IN));
    ASSERT_NE(b, nullptr);
    auto chosen = Open("#?");
    ASSERT_TRUE(PlatformTest::WaitRequester());
    ClickIn(b);
    EXPECT_TRUE(Drain().empty());
    ASSERT_TRUE(PlatformTest::CancelRequester());
    EXPECT_EQ(chosen.get(), FALSE);
    ClickIn(b);
    EXPECT_EQ(Only(Drain(), IDCMP_GADGETUP).size(), 1u);
}

// Names on disk are UTF-8; the program sees and types them as Latin-1.
TEST_F(FileRequesters, NamesOnDiskAreShownPickedAndTypedInTheProgramsText) {
    fs::create_directories(folder / "Citt\xC3\xA0");
    std::ofstream(folder / "Citt\xC3\xA0" / "dentro.velx") << "x";
    std::ofstream(folder / "Lettera \xC3\xA0 Zo\xC3\xAB.velx") << "letter";
    std::ofstream(folder / "\xE6\x97\xA5\xE6\x9C\xAC.velx") << "x";  // beyond Latin-1
    std::ofstream(folder / "old \xE8.velx") << "x";                  // not UTF-8 at all
    auto chosen = Open("#?.velx");
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.entries, (std::vector<std::string>{"Archive/", "Citt\xE0/", "sub/", "a.velx",
                                                      "C.VELX", "Lettera \xE0 Zo\xEB.velx"}));
    ASSERT_TRUE(PlatformTest::PickRequesterEntry(1));
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.drawer, folder.string() + "/Citt\xE0");
    EXPECT_EQ(view.entries, (std::vector<std::string>{"dentro.velx"}));
    ASSERT_TRUE(PlatformTest::ClickRequesterButton(1));  // Parent
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.drawer, folder.string());
    ASSERT_TRUE(PlatformTest::PickRequesterEntry(5));
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(chosen.get(), TRUE);
    EXPECT_STREQ(fr->fr_File, "Lettera \xE0 Zo\xEB.velx");
    // dos opens the picked name as the file on disk.
    const std::string picked = std::string(fr->fr_Drawer) + "/" + fr->fr_File;
    BPTR fh = ::Open(picked.c_str(), MODE_OLDFILE);
    ASSERT_NE(fh, nullptr);
    char text[16] = {};
    EXPECT_EQ(Read(fh, text, sizeof(text)), 6);
    EXPECT_STREQ(text, "letter");
    Close(fh);

    // A typed name reaches the disk in UTF-8.
    auto typed = Open("#?", true);
    ASSERT_TRUE(PlatformTest::AnswerFileRequester((folder.string() + "/Nuova \xE8.txt").c_str()));
    EXPECT_EQ(typed.get(), TRUE);
    EXPECT_STREQ(fr->fr_File, "Nuova \xE8.txt");
    const std::string name = std::string(fr->fr_Drawer) + "/" + fr->fr_File;
    fh = ::Open(name.c_str(), MODE_NEWFILE);
    ASSERT_NE(fh, nullptr);
    Close(fh);
    EXPECT_TRUE(fs::exists(folder / "Nuova \xC3\xA8.txt"));
    EXPECT_FALSE(fs::exists(folder / "Nuova \xE8.txt"));
}

TEST_F(FileRequesters, ADrawersOnlyRequesterAnswersWithTheDrawer) {
    auto chosen = OnWorker([&] {
        return AslRequestTags(fr, ASLFR_Window, window, ASLFR_DoSaveMode, TRUE, ASLFR_DrawersOnly,
                              TRUE, ASLFR_InitialDrawer, folder.c_str());
    });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.entries, (std::vector<std::string>{"Archive/", "sub/"}));
    ASSERT_TRUE(PlatformTest::AnswerFileRequester((folder / "Archive").c_str()));
    EXPECT_EQ(chosen.get(), TRUE);
    EXPECT_STREQ(fr->fr_Drawer, (folder / "Archive").c_str());
    EXPECT_STREQ(fr->fr_File, "");
}

TEST_F(Requesters, TheFontRequesterAnswersWithNameSizeStyleAndOrigin) {
    auto* fo = static_cast<FontRequester*>(AllocAslRequest(ASL_FontRequest, nullptr));
    ASSERT_NE(fo, nullptr);
    auto chosen = OnWorker([&] {
        return AslRequestTags(fo, ASLFO_Window, window, ASLFO_InitialName, "times.font",
                              ASLFO_SleepWindow, TRUE);
    });
    PlatformTest::RequesterView view;
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    EXPECT_EQ(view.entries.size(), 4u);
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(chosen.get(), TRUE);
    EXPECT_STREQ(fo->fo_Attr.ta_Name, "times.font");
    EXPECT_EQ(fo->fo_Attr.ta_YSize, 8);
    EXPECT_EQ(fo->fo_Attr.ta_Flags & FPF_ROMFONT, 0);

    auto second = OnWorker([&] {
        return AslRequestTags(fo, ASLFO_Window, window, ASLFO_InitialStyle, FSF_BOLD | FSF_ITALIC);
    });
    ASSERT_TRUE(PlatformTest::WaitRequester(&view));
    ASSERT_TRUE(PlatformTest::PickRequesterEntry(0));  // topaz
    ASSERT_TRUE(PlatformTest::AnswerRequester(0));
    EXPECT_EQ(second.get(), TRUE);
    EXPECT_STREQ(fo->fo_Attr.ta_Name, "topaz.font");
    EXPECT_TRUE(fo->fo_Attr.ta_Flags & FPF_ROMFONT);
    EXPECT_EQ(fo->fo_Attr.ta_Style, FSF_BOLD | FSF_ITALIC);
    FreeAslRequest(fo);
    EXPECT_EQ(AllocAslRequest(ASL_ScreenModeRequest, nullptr), nullptr);
}

}  // namespace
