// The standard gadget kinds driven with the pointer and the keyboard: the messages that reach
// the window, the attributes read back, and the pixels of their states.
#include <thread>

#include "tests/support/GadToolsDesk.h"

using namespace tessella;

namespace {

using Gadgets = GadToolsDesk;

TEST_F(Gadgets, AButtonReportsAReleaseOverItAndNothingElse) {
    Gadget* ok = Add(BUTTON_KIND, At(40, 40, 80, 20, 7, "OK", PLACETEXT_IN));
    ASSERT_NE(ok, nullptr);
    ClickIn(ok);
    const auto got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_GADGETUP);
    EXPECT_EQ(got[0].gadgetId, 7);

    // Held, it is drawn sunken and filled; let go away from it, it reports nothing.
    PlatformTest::MovePointer(X(45), Y(45));
    PlatformTest::PressButton();
    ASSERT_TRUE(PlatformTest::WaitIdle());
    EXPECT_EQ(Pen(41, 41), 3);
    EXPECT_EQ(Pen(40, 40), 1);  // the shadow edge is on the top-left while pressed
    PlatformTest::MovePointer(X(300), Y(200));
    PlatformTest::ReleaseButton();
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(Pen(41, 41), 0);
    EXPECT_EQ(Pen(40, 40), 2);
}

TEST_F(Gadgets, ADisabledGadgetIsGhostedAndLetsTheClickThrough) {
    Gadget* b = Add(BUTTON_KIND, At(40, 40, 80, 20, 3), GA_Disabled, TRUE);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Attr(b, GA_Disabled), static_cast<IPTR>(TRUE));
    // The ghost pattern: every fourth dot of every second row, shifted on alternate rows.
    EXPECT_EQ(Pen(44, 44), 1);
    EXPECT_EQ(Pen(45, 44), 0);
    EXPECT_EQ(Pen(46, 46), 1);
    EXPECT_EQ(Pen(44, 45), 0);
    ClickIn(b);
    auto got = Drain();
    EXPECT_TRUE(Only(got, IDCMP_GADGETUP).empty());
    EXPECT_EQ(Only(got, IDCMP_MOUSEBUTTONS).size(), 2u);

    GT_SetGadgetAttrs(b, window, nullptr, GA_Disabled, FALSE);
    EXPECT_EQ(Pen(44, 44), 0);
    ClickIn(b);
    got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_GADGETUP);
}

TEST_F(Gadgets, ACheckBoxTogglesAndShowsItsTick) {
    Gadget* c = Add(CHECKBOX_KIND, At(40, 40, 80, 30, 4, "Check", PLACETEXT_RIGHT), GTCB_Checked,
                    FALSE, GA_RelVerify, TRUE);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Width, CHECKBOXWIDTH);
    auto inked = [&] {
        int n = 0;
        for (int y = 2; y < c->Height - 2; ++y) {
            for (int x = 2; x < c->Width - 2; ++x) {
                n += Pen(c->LeftEdge + x, c->TopEdge + y) == 1;
            }
        }
        return n;
    };
    EXPECT_EQ(inked(), 0);
    ClickIn(c);
    auto got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_GADGETUP);
    EXPECT_EQ(got[0].gadgetId, 4);
    EXPECT_EQ(got[0].code, 1);
    EXPECT_EQ(Attr(c, GTCB_Checked), static_cast<IPTR>(TRUE));
    EXPECT_GT(inked(), 10);

    GT_SetGadgetAttrs(c, window, nullptr, GTCB_Checked, FALSE);
    EXPECT_EQ(inked(), 0);
    ClickIn(c);
    ClickIn(c);
    got = Drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].code, 0);
    EXPECT_EQ(Attr(c, GTCB_Checked), static_cast<IPTR>(FALSE));
}

TEST_F(Gadgets, ACycleGadgetAdvancesAndGoesBackWithShift) {
    const char* labels[] = {"One", "Two", "Three", nullptr};
    Gadget* cy = Add(CYCLE_KIND, At(40, 40, 120, 20, 5), GTCY_Labels, labels);
    ASSERT_NE(cy, nullptr);
    ClickIn(cy);
    ClickIn(cy);
    ClickIn(cy);
    auto got = Only(Drain(), IDCMP_GADGETUP);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].code, 1);
    EXPECT_EQ(got[1].code, 2);
    EXPECT_EQ(got[2].code, 0);  // round to the first again

    PlatformTest::PressKey(RAWKEY_LSHIFT);
    ClickIn(cy);
    PlatformTest::ReleaseKey(RAWKEY_LSHIFT);
    got = Only(Drain(), IDCMP_GADGETUP);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].code, 2);
    EXPECT_EQ(Attr(cy, GTCY_Active), 2u);

    GT_SetGadgetAttrs(cy, window, nullptr, GTCY_Active, 1);
    EXPECT_EQ(Attr(cy, GTCY_Active), 1u);
    GT_SetGadgetAttrs(cy, window, nullptr, GTCY_Active, 9);  // past the end: the last one
    EXPECT_EQ(Attr(cy, GTCY_Active), 2u);
}

TEST_F(Gadgets, ARadioItemIsChosenOnPressAndShownSunken) {
    const char* labels[] = {"Encrypt", "Decrypt", "Check", nullptr};
    Gadget* mx = Add(MX_KIND, At(40, 40, 80, 60, 6, nullptr, PLACETEXT_RIGHT), GTMX_Labels, labels);
    ASSERT_NE(mx, nullptr);
    ASSERT_EQ(mx->Width, MXWIDTH);
    const int pitch = (mx->Height + 1) / 3;
    EXPECT_EQ(Pen(mx->LeftEdge + 4, mx->TopEdge + 4), 3);  // the first starts chosen
    PlatformTest::MovePointer(X(mx->LeftEdge + 5), Y(mx->TopEdge + 2 * pitch + 4));
    PlatformTest::PressButton();
    auto got = Drain();  // before the release: radio buttons act at once
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_GADGETDOWN);
    EXPECT_EQ(got[0].gadgetId, 6);
    EXPECT_EQ(got[0].code, 2);
    PlatformTest::ReleaseButton();
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(Attr(mx, GTMX_Active), 2u);
    EXPECT_EQ(Pen(mx->LeftEdge + 4, mx->TopEdge + 2 * pitch + 4), 3);
    EXPECT_EQ(Pen(mx->LeftEdge + 4, mx->TopEdge + 4), 0);
}

TEST_F(Gadgets, AListViewSelectsARowAndTakesNewLabels) {
    Node nodes[3] = {};
    const char* names[] = {"alpha", "beta", "gamma"};
    List list;
    NewList(&list);
    for (int i = 0; i < 3; ++i) {
        nodes[i].ln_Name = const_cast<char*>(names[i]);
        AddTail(&list, &nodes[i]);
    }
    Gadget* lv = Add(LISTVIEW_KIND, At(40, 60, 160, 100, 8), GTLV_Labels, &list, GTLV_ShowSelected,
                     nullptr, GTLV_Selected, -1);
    ASSERT_NE(lv, nullptr);
    EXPECT_EQ(static_cast<LONG>(Attr(lv, GTLV_Selected)), -1);
    const int rowHeight = screen->RastPort.Font->tf_YSize + 1;
    ClickIn(lv, 20, 2 + rowHeight + rowHeight / 2);
    auto got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_GADGETUP);
    EXPECT_EQ(got[0].gadgetId, 8);
    EXPECT_EQ(got[0].code, 1);
    EXPECT_EQ(Attr(lv, GTLV_Selected), 1u);
    EXPECT_EQ(Pen(lv->LeftEdge + 3, lv->TopEdge + 2 + rowHeight + 1), 3);  // shown selected

    // Detached, the program may change its nodes; then it hands the list back.
    GT_SetGadgetAttrs(lv, window, nullptr, GTLV_Labels, ~IPTR{0});
    Remove(&nodes[0]);
    GT_SetGadgetAttrs(lv, window, nullptr, GTLV_Labels, &list, GTLV_Selected, 0);
    EXPECT_EQ(Attr(lv, GTLV_Selected), 0u);
    ClickIn(lv, 20, 2 + 2 * rowHeight + rowHeight / 2);  // below the last row: nothing
    EXPECT_TRUE(Only(Drain(), IDCMP_GADGETUP).empty());
}

TEST_F(Gadgets, AScrollerReportsItsTopWhileDraggedAndWhenLetGo) {
    Gadget* sc =
        Add(SCROLLER_KIND, At(40, 200, 213, 13, 9), GTSC_Top, 0, GTSC_Total, 100, GTSC_Visible, 20,
            GTSC_Arrows, 13, GA_RelVerify, TRUE, GA_Immediate, TRUE, PGA_Freedom, LORIENT_HORIZ);
    ASSERT_NE(sc, nullptr);
    // The knob is a fifth of the track (187 pixels less the frame) at its left end.
    PlatformTest::MovePointer(X(sc->LeftEdge + 10), Y(sc->TopEdge + 6));
    PlatformTest::PressButton();
    PlatformTest::MovePointer(X(sc->LeftEdge + 50), Y(sc->TopEdge + 6));
    PlatformTest::MovePointer(X(sc->LeftEdge + 100), Y(sc->TopEdge + 6));
    PlatformTest::ReleaseButton();
    const auto got = Drain();
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got.front().cls, IDCMP_GADGETDOWN);
    EXPECT_EQ(got.front().code, 0);
    const auto moves = Only(got, IDCMP_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 2u);
    for (const Got& m : moves) {
        EXPECT_TRUE(m.hasGadget);
        EXPECT_EQ(m.gadgetId, 9);
    }
    EXPECT_LT(moves[0].code, moves[1].code);
    EXPECT_EQ(got.back().cls, IDCMP_GADGETUP);
    EXPECT_EQ(got.back().code, moves[1].code);
    EXPECT_EQ(Attr(sc, GTSC_Top), moves[1].code);
    EXPECT_GT(moves[1].code, 30);

    // The right arrow steps one, the track left of the knob goes back a page.
    ClickIn(sc, sc->Width - 4, 6);
    ClickIn(sc, 4, 6);
    const auto ups = Only(Drain(), IDCMP_GADGETUP);
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(ups[0].code, moves[1].code + 1);
    EXPECT_EQ(ups[1].code, moves[1].code + 1 - 20);
}

TEST_F(Gadgets, ASliderReportsItsLevelAndStaysInRange) {
    Gadget* sl = Add(SLIDER_KIND, At(60, 220, 200, 12, 10), GTSL_Min, 0, GTSL_Max, 10, GTSL_Level,
                     5, GTSL_LevelPlace, PLACETEXT_LEFT, GTSL_MaxLevelLen, 2, GA_Immediate, TRUE,
                     GA_RelVerify, TRUE, PGA_Freedom, LORIENT_HORIZ);
    ASSERT_NE(sl, nullptr);
    PlatformTest::MovePointer(X(sl->LeftEdge + sl->Width / 2), Y(sl->TopEdge + 6));
    PlatformTest::PressButton();
    PlatformTest::MovePointer(X(sl->LeftEdge + sl->Width + 80), Y(sl->TopEdge + 6));
    PlatformTest::ReleaseButton();
    const auto got = Drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].cls, IDCMP_GADGETDOWN);
    EXPECT_EQ(got[0].code, 5);
    EXPECT_EQ(got[1].cls, IDCMP_MOUSEMOVE);
    EXPECT_EQ(got[1].code, 10);  // dragged far past the end: the maximum
    EXPECT_EQ(got[2].cls, IDCMP_GADGETUP);
    EXPECT_EQ(got[2].code, 10);
    EXPECT_EQ(Attr(sl, GTSL_Level), 10u);
    GT_SetGadgetAttrs(sl, window, nullptr, GTSL_Level, 99);
    EXPECT_EQ(Attr(sl, GTSL_Level), 10u);
}

TEST_F(Gadgets, AStringGadgetTakesTheKeyboardUntilReturn) {
    Gadget* st = Add(STRING_KIND, At(80, 100, 160, 18, 11), GTST_String, "ab", GTST_MaxChars, 6);
    ASSERT_NE(st, nullptr);
    ClickIn(st, st->Width - 5);  // the cursor goes to the end
    auto got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_GADGETDOWN);
    EXPECT_EQ(got[0].gadgetId, 11);
    ASSERT_TRUE(PlatformTest::TypeText("cdefgh"));  // two past the maximum
    PlatformTest::TypeKey(RAWKEY_LEFT);
    PlatformTest::TypeKey(RAWKEY_LEFT);
    PlatformTest::TypeKey(RAWKEY_BACKSPACE);
    PlatformTest::TypeKey(RAWKEY_DELETE);
    EXPECT_TRUE(Drain().empty());  // the keys went to the field, not to the window
    EXPECT_STREQ(reinterpret_cast<const char*>(Attr(st, GTST_String)), "abcf");
    PlatformTest::TypeKey(RAWKEY_RETURN);
    got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_GADGETUP);
    EXPECT_EQ(got[0].gadgetId, 11);
    // Editing is over: keys reach the window again.
    PlatformTest::TypeKey(0x20);
    EXPECT_EQ(Only(Drain(), IDCMP_RAWKEY).size(), 2u);

    GT_SetGadgetAttrs(st, window, nullptr, GTST_String, "a very long text");
    EXPECT_STREQ(reinterpret_cast<const char*>(Attr(st, GTST_String)), "a very");
}

TEST_F(Gadgets, AnIntegerGadgetKeepsDigitsAndReadsBackTheNumber) {
    Gadget* in = Add(INTEGER_KIND, At(80, 130, 100, 18, 12), GTIN_MaxChars, 4, GTIN_Number, 7);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(static_cast<LONG>(Attr(in, GTIN_Number)), 7);
    ClickIn(in, 3);  // the cursor goes before the 7
    ASSERT_TRUE(PlatformTest::TypeText("-x12"));
    PlatformTest::TypeKey(RAWKEY_TAB);
    const auto got = Drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].cls, IDCMP_GADGETUP);
    EXPECT_EQ(got[1].code, 9);
    EXPECT_EQ(static_cast<LONG>(Attr(in, GTIN_Number)), -127);
}

TEST_F(Gadgets, ActivateGadgetFromAnotherTaskGivesTheFieldTheKeyboard) {
    Gadget* st = Add(STRING_KIND, At(80, 100, 160, 18, 13), GTST_String, "", GTST_MaxChars, 20);
    Gadget* b = Add(BUTTON_KIND, At(80, 140, 60, 18, 14, "Go", PLACETEXT_IN));
    ASSERT_NE(b, nullptr);
    BOOL activated = FALSE;
    std::thread worker([&] { activated = ActivateGadget(st, window, nullptr); });
    worker.join();
    EXPECT_EQ(activated, TRUE);
    // The cursor shows at the start of the empty field, a block in the fill pen.
    ASSERT_TRUE(PlatformTest::WaitIdle());
    EXPECT_EQ(Pen(st->LeftEdge + 5, st->TopEdge + st->Height / 2), 3);
    ASSERT_TRUE(PlatformTest::TypeText("Hi"));
    ClickIn(b);  // a click elsewhere ends the editing without a message from the field
    const auto got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].gadgetId, 14);
    EXPECT_STREQ(reinterpret_cast<const char*>(Attr(st, GTST_String)), "Hi");
    // A disabled field cannot take the keyboard.
    GT_SetGadgetAttrs(st, window, nullptr, GA_Disabled, TRUE);
    EXPECT_EQ(ActivateGadget(st, window, nullptr), FALSE);
}

TEST_F(Gadgets, ARequesterKeepsTheWindowsGadgetsFromTheUserUntilItEnds) {
    Gadget* st = Add(STRING_KIND, At(80, 100, 160, 18, 15), GTST_String, "ab", GTST_MaxChars, 20);
    ASSERT_NE(st, nullptr);
    ClickIn(st, st->Width - 5);
    Drain();
    Requester block;
    InitRequester(&block);
    ASSERT_EQ(Request(&block, window), TRUE);
    EXPECT_EQ(window->ReqCount, 1);
    EXPECT_EQ(window->FirstRequest, &block);
    EXPECT_TRUE(block.Flags & REQACTIVE);
    EXPECT_EQ(Request(&block, window), FALSE);  // already up
    // The field that had the keyboard has let it go, and the keys reach no one.
    ASSERT_TRUE(PlatformTest::TypeText("x"));
    EXPECT_TRUE(Drain().empty());
    // A click on the field is a plain click on the window, and the program cannot give it
    // the keyboard either.
    ClickIn(st, st->Width - 5);
    ASSERT_TRUE(PlatformTest::TypeText("y"));
    const auto got = Drain();
    EXPECT_EQ(Only(got, IDCMP_MOUSEBUTTONS).size(), 2u);
    EXPECT_EQ(got.size(), 2u);
    EXPECT_EQ(ActivateGadget(st, window, nullptr), FALSE);
    EXPECT_STREQ(reinterpret_cast<const char*>(Attr(st, GTST_String)), "ab");
    // Only the empty requester is taken: this platform draws none in a window.
    IntuiText words{1, 0, JAM1, 0, 0, nullptr, const_cast<STRPTR>("Wait"), nullptr};
    Requester shown;
    InitRequester(&shown);
    shown.ReqText = &words;
    EXPECT_EQ(Request(&shown, window), FALSE);
    EndRequest(&block, window);
    EXPECT_EQ(window->ReqCount, 0);
    EXPECT_EQ(window->FirstRequest, nullptr);
    EXPECT_FALSE(block.Flags & REQACTIVE);
    ClickIn(st, st->Width - 5);
    ASSERT_TRUE(PlatformTest::TypeText("c"));
    EXPECT_EQ(Only(Drain(), IDCMP_GADGETDOWN).size(), 1u);
    EXPECT_STREQ(reinterpret_cast<const char*>(Attr(st, GTST_String)), "abc");
}

TEST_F(Gadgets, AWorkerChangesGadgetsWhileThePointerUsesThem) {
    Gadget* check = Add(CHECKBOX_KIND, At(40, 40, 26, 11, 51, "Check", PLACETEXT_RIGHT));
    Gadget* field = Add(STRING_KIND, At(80, 100, 160, 18, 52), GTST_String, "", GTST_MaxChars, 400);
    ASSERT_NE(field, nullptr);
    // The worker disables, enables and refills the field and focuses it, as a job does with
    // its inputs, while the user clicks the check box and types.
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) {
            GT_SetGadgetAttrs(field, window, nullptr, GA_Disabled, i % 2, GTST_String, "job");
            ActivateGadget(field, window, nullptr);
        }
        GT_SetGadgetAttrs(field, window, nullptr, GA_Disabled, FALSE, GTST_String, "done");
    });
    for (int i = 0; i < 20; ++i) {
        ClickIn(check);
        PlatformTest::TypeText("ab");
    }
    worker.join();
    const auto ups = Only(Drain(), IDCMP_GADGETUP);
    int checks = 0;
    for (const Got& g : ups) {
        checks += g.gadgetId == 51;
    }
    EXPECT_EQ(checks, 20);  // every click on the check box arrived, whatever the field did
    EXPECT_EQ(Attr(check, GTCB_Checked), static_cast<IPTR>(FALSE));
    EXPECT_STREQ(reinterpret_cast<const char*>(Attr(field, GTST_String)), "done");
}

TEST_F(Gadgets, ATextGadgetReportsAPressOnlyWhenAskedTo) {
    NewGadget ng = At(40, 260, 120, 16, 15);
    Gadget* label = Add(TEXT_KIND, ng, GTTX_Text, "Label", GTTX_FrontPen, 3, GTTX_BackPen, 2,
                        GTTX_Justification, GTJ_CENTER, GTTX_Border, FALSE);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(Pen(41, 261), 2);
    ClickIn(label);
    EXPECT_EQ(Only(Drain(), IDCMP_MOUSEBUTTONS).size(), 2u);
    label->Activation = (label->Activation | GACT_IMMEDIATE) & ~GACT_RELVERIFY;
    ClickIn(label);
    const auto got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_GADGETDOWN);
    EXPECT_EQ(got[0].gadgetId, 15);
    GT_SetGadgetAttrs(label, window, nullptr, GTTX_Text, "Changed");
    EXPECT_STREQ(reinterpret_cast<const char*>(Attr(label, GTTX_Text)), "Changed");
}

TEST_F(Gadgets, RemovedGadgetsStopAnsweringAndComeBackWhenAdded) {
    Gadget* a = Add(BUTTON_KIND, At(40, 40, 60, 18, 21, "A", PLACETEXT_IN));
    Gadget* b = Add(BUTTON_KIND, At(120, 40, 60, 18, 22, "B", PLACETEXT_IN));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(RemoveGadget(window, a), 1);  // after the context gadget
    EXPECT_EQ(a->NextGadget, nullptr);
    EXPECT_EQ(RemoveGadget(window, a), 0xFFFF);
    ClickIn(a);
    ClickIn(b);
    auto got = Drain();
    EXPECT_EQ(Only(got, IDCMP_MOUSEBUTTONS).size(), 2u);
    ASSERT_EQ(Only(got, IDCMP_GADGETUP).size(), 1u);
    EXPECT_EQ(Only(got, IDCMP_GADGETUP)[0].gadgetId, 22);
    EXPECT_EQ(AddGList(window, a, ~0, 1, nullptr), 2);
    ClickIn(a);
    got = Only(Drain(), IDCMP_GADGETUP);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].gadgetId, 21);
}

TEST_F(Gadgets, SnapshotOfOneGadgetOfEachKind) {
    const char* cycle[] = {"Encrypt", "Decrypt", nullptr};
    const char* radio[] = {"Same folder", "Other folder", nullptr};
    Node nodes[4] = {};
    const char* names[] = {"report.txt", "photo.png", "notes.velx", "archive.zip"};
    List list;
    NewList(&list);
    for (int i = 0; i < 4; ++i) {
        nodes[i].ln_Name = const_cast<char*>(names[i]);
        AddTail(&list, &nodes[i]);
    }
    Add(BUTTON_KIND, At(20, 30, 90, 20, 1, "START", PLACETEXT_IN));
    Add(BUTTON_KIND, At(120, 30, 90, 20, 2, "STOP", PLACETEXT_IN), GA_Disabled, TRUE);
    Gadget* check =
        Add(CHECKBOX_KIND, At(20, 64, 80, 30, 3, "Check", PLACETEXT_RIGHT), GTCB_Checked, TRUE);
    Add(CYCLE_KIND, At(120, 62, 120, 20, 4), GTCY_Labels, cycle);
    Gadget* mx = Add(MX_KIND, At(20, 96, 80, 60, 5, nullptr, PLACETEXT_RIGHT), GTMX_Labels, radio,
                     GTMX_Active, 1);
    Add(LISTVIEW_KIND, At(280, 40, 200, 110, 6, "Files", PLACETEXT_ABOVE), GTLV_Labels, &list,
        GTLV_ShowSelected, nullptr, GTLV_Selected, 2);
    Add(SCROLLER_KIND, At(20, 170, 213, 13, 7), GTSC_Top, 3, GTSC_Total, 10, GTSC_Visible, 4,
        GTSC_Arrows, 13, PGA_Freedom, LORIENT_HORIZ);
    Add(SLIDER_KIND, At(60, 195, 173, 12, 8), GTSL_Min, 0, GTSL_Max, 20, GTSL_Level, 15,
        GTSL_LevelFormat, "%ld", GTSL_MaxLevelLen, 2);
    Add(STRING_KIND, At(80, 220, 180, 18, 9, "Source", PLACETEXT_LEFT), GTST_String,
        "/home/user/notes.txt", GTST_MaxChars, 256);
    Add(INTEGER_KIND, At(80, 246, 80, 18, 10, "Count", PLACETEXT_LEFT), GTIN_Number, 128);
    Add(TEXT_KIND, At(280, 170, 200, 18, 11), GTTX_Text, "Ready", GTTX_Border, TRUE,
        GTTX_Justification, GTJ_CENTER);
    ASSERT_TRUE(PlatformTest::WaitIdle());
    const std::string path = "gadtools_all_kinds.png";
    ASSERT_TRUE(PlatformTest::SaveScreenPNG(path.c_str()));
    // A few states, read back from the screen that was saved.
    EXPECT_EQ(Pen(124, 34), 1);  // the disabled STOP button is ghosted
    EXPECT_EQ(Pen(125, 34), 0);
    EXPECT_EQ(Pen(check->LeftEdge + check->Width * 2 / 5, check->TopEdge + check->Height - 3),
              1);  // the tick's low point
    EXPECT_EQ(Pen(mx->LeftEdge + 4, mx->TopEdge + (mx->Height + 1) / 2 + 4),
              3);  // second radio item
    EXPECT_EQ(Pen(mx->LeftEdge + 4, mx->TopEdge + 4), 0);
}

TEST_F(Gadgets, AGadgetOutOfTheWindowIsNotDrawnThereAndFreedOnesLetGo) {
    Gadget* c = Add(CHECKBOX_KIND, At(40, 40, 26, 11, 61));
    Gadget* d = Add(BUTTON_KIND, At(120, 40, 60, 18, 62, "D", PLACETEXT_IN));
    ASSERT_NE(d, nullptr);
    // Hidden the way the program hides a control: out of the list, its place erased.
    RemoveGadget(window, c);
    SetAPen(window->RPort, 0);
    RectFill(window->RPort, 40, 40, 65, 50);
    GT_SetGadgetAttrs(c, window, nullptr, GTCB_Checked, TRUE);
    RefreshGadgets(window->FirstGadget, window, nullptr);
    for (int y = 40; y <= 50; ++y) {
        for (int x = 40; x <= 65; ++x) {
            ASSERT_EQ(Pen(x, y), 0) << x << "," << y;
        }
    }
    EXPECT_EQ(Attr(c, GTCB_Checked), static_cast<IPTR>(TRUE));  // the state is kept
    FreeGadgets(c);
    // Freed while still in the window: the window lets go of it rather than keep a dangling
    // pointer, and clicks where it was reach the window.
    d->NextGadget = nullptr;
    last = window->FirstGadget;
    FreeGadgets(d);
    EXPECT_EQ(window->FirstGadget->NextGadget, nullptr);
    PlatformTest::Click(X(150), Y(49));
    EXPECT_EQ(Only(Drain(), IDCMP_MOUSEBUTTONS).size(), 2u);
}

TEST_F(Gadgets, AListViewScrollsWithItsArrowsAndSaysNothing) {
    std::vector<Node> nodes(20);
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back("row " + std::to_string(i));
    }
    List list;
    NewList(&list);
    for (int i = 0; i < 20; ++i) {
        nodes[static_cast<size_t>(i)].ln_Name = names[static_cast<size_t>(i)].data();
        AddTail(&list, &nodes[static_cast<size_t>(i)]);
    }
    Gadget* lv = Add(LISTVIEW_KIND, At(40, 60, 160, 80, 63), GTLV_Labels, &list);
    ASSERT_NE(lv, nullptr);
    // The two arrows sit at the bottom of the bar on the right: down twice, up once.
    ClickIn(lv, lv->Width - 8, lv->Height - 3);
    ClickIn(lv, lv->Width - 8, lv->Height - 3);
    ClickIn(lv, lv->Width - 8, lv->Height - 13);
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(Attr(lv, GTLV_Top), 1u);
    GT_SetGadgetAttrs(lv, window, nullptr, GTLV_MakeVisible, 19);
    const IPTR top = Attr(lv, GTLV_Top);
    EXPECT_GT(top, 10u);
    GT_SetGadgetAttrs(lv, window, nullptr, GTLV_Top, 500);  // past the end: the last page
    EXPECT_EQ(Attr(lv, GTLV_Top), top);
}

TEST_F(Gadgets, AVerticalScrollerFollowsThePointerDownwards) {
    Gadget* sc = Add(SCROLLER_KIND, At(300, 40, 16, 200, 64), GTSC_Total, 50, GTSC_Visible, 10,
                     GTSC_Arrows, 10, PGA_Freedom, LORIENT_VERT);
    ASSERT_NE(sc, nullptr);
    PlatformTest::MovePointer(X(308), Y(45));
    PlatformTest::PressButton();
    PlatformTest::MovePointer(X(308), Y(145));
    PlatformTest::ReleaseButton();
    const auto ups = Only(Drain(), IDCMP_GADGETUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_GT(ups[0].code, 20);
    EXPECT_LE(ups[0].code, 40);  // never past total - visible
    EXPECT_EQ(Attr(sc, GTSC_Top), ups[0].code);
}

TEST_F(Gadgets, LabelsGoWhereTheirPlacementSaysWithTheMarkedLetterUnderlined) {
    auto inked = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                n += Pen(x, y) == 1;
            }
        }
        return n;
    };
    Gadget* left =
        Add(STRING_KIND, At(120, 40, 100, 18, 71, "_Name", PLACETEXT_LEFT), GT_Underscore, '_');
    Gadget* above = Add(LISTVIEW_KIND, At(260, 80, 120, 60, 72, "Files", PLACETEXT_ABOVE));
    Gadget* right = Add(CHECKBOX_KIND, At(40, 160, 26, 11, 73, "Check", PLACETEXT_RIGHT));
    ASSERT_NE(right, nullptr);
    const int line = screen->RastPort.Font->tf_YSize;
    EXPECT_GT(inked(left->LeftEdge - 60, left->TopEdge, left->LeftEdge - 2, left->TopEdge + 17),
              20);
    EXPECT_GT(inked(above->LeftEdge, above->TopEdge - line - 2, above->LeftEdge + 119,
                    above->TopEdge - 1),
              20);
    EXPECT_GT(
        inked(right->LeftEdge + 28, right->TopEdge, right->LeftEdge + 80, right->TopEdge + 10), 20);
    // Nothing is drawn on the sides the labels do not use.
    EXPECT_EQ(inked(left->LeftEdge + 101, left->TopEdge, left->LeftEdge + 140, left->TopEdge + 17),
              0);
    EXPECT_EQ(inked(right->LeftEdge - 30, right->TopEdge, right->LeftEdge - 1, right->TopEdge + 10),
              0);
    // The underscore is not shown; the N is underlined: a run of ink one row below the baseline.
    const int baseline = left->TopEdge + (18 - line) / 2 + screen->RastPort.Font->tf_Baseline;
    EXPECT_GT(inked(left->LeftEdge - 60, baseline + 1, left->LeftEdge - 2, baseline + 1), 4);
}

TEST_F(Gadgets, CreationFailsSafelyWithoutAPreviousGadgetOrVisualInfo) {
    NewGadget ng = At(10, 10, 50, 14, 1, "x");
    EXPECT_EQ(CreateGadget(BUTTON_KIND, nullptr, &ng, TAG_DONE), nullptr);
    ng.ng_VisualInfo = nullptr;
    EXPECT_EQ(CreateGadget(BUTTON_KIND, last, &ng, TAG_DONE), nullptr);
    ng.ng_VisualInfo = vi;
    EXPECT_EQ(CreateGadget(PALETTE_KIND, last, &ng, TAG_DONE), nullptr);
    EXPECT_EQ(GT_GetIMsg(nullptr), nullptr);
    EXPECT_EQ(GT_GetIMsg(window->UserPort), nullptr);  // an empty port
}

}  // namespace
