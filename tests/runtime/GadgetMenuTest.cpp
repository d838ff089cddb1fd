#include <gadtools.h>
#include <gtest/gtest.h>

#include "RuntimeFixtures.h"
#include "runtime/Application.h"
#include "runtime/Checkable.h"
#include "runtime/CommandElement.h"
#include "runtime/MenuEntries.h"

using namespace tessella;

namespace {

constexpr UWORD kRawO = 0x18;
constexpr UWORD kRawC = 0x33;
constexpr UWORD kRawN = 0x36;

void Traced(GUIElement* e) {
    trace.push_back(e->GetText() + ":command");
}

// A push button on a GadTools gadget, as the system-gadget controls make them.
class GadgetButton : public Child, public CommandElement {
public:
    GadgetButton(TraceForm* form, std::string caption, int x, int y, UWORD forcedId = 0)
        : Child(form), forcedId(forcedId) {
        className = "button";
        isTabStop = 0;
        text = std::move(caption);
        position = {x, y};
        size = {80, 20};
        SetCommand(Traced);
    }
    void Load() override {
        if (loaded) {
            return;
        }
        LoadElementBase();
        auto* form = static_cast<TraceForm*>(parent);
        Gadget* last = form->GadgetList();
        while (last->NextGadget != nullptr) {
            last = last->NextGadget;
        }
        NewGadget ng{};
        ng.ng_LeftEdge = static_cast<WORD>(position.x);
        ng.ng_TopEdge = static_cast<WORD>(position.y);
        ng.ng_Width = static_cast<WORD>(size.cx);
        ng.ng_Height = static_cast<WORD>(size.cy);
        ng.ng_GadgetText = text.c_str();
        ng.ng_Flags = PLACETEXT_IN;
        ng.ng_VisualInfo = GlobalVisualInfo;
        ng.ng_GadgetID = forcedId != 0 ? forcedId : static_cast<UWORD>(id);
        gadget = CreateGadget(BUTTON_KIND, last, &ng, TAG_DONE);
        GT_RefreshWindow(form->GetHandle(), nullptr);
        loaded = true;
    }

private:
    UWORD forcedId;
};

// Menu bar, menus and entries as elements: the loop walks them by position.
class Entry : public Child, public CommandElement, public Checkable, public MenuEntries {
public:
    Entry(GUIElement* parent, std::string caption) : Child(parent) {
        className = "submenu";
        text = std::move(caption);
        SetCommand(Traced);
    }
    void Load() override {}
    void SetChecked(short checked) override {
        trace.push_back(text + ":checked:" + std::to_string(checked));
    }
    GUIElement* at(int i) override {
        return i >= 0 && i < static_cast<int>(subs.size()) ? subs[static_cast<size_t>(i)] : nullptr;
    }
    int count() override { return static_cast<int>(subs.size()); }
    std::vector<GUIElement*> subs;
};

class Group : public Child, public MenuEntries {
public:
    Group(GUIElement* parent, const char* kind) : Child(parent) { className = kind; }
    void Load() override {}
    GUIElement* at(int i) override {
        return i >= 0 && i < static_cast<int>(entries.size()) ? entries[static_cast<size_t>(i)]
                                                              : nullptr;
    }
    int count() override { return static_cast<int>(entries.size()); }
    std::vector<GUIElement*> entries;
};

const NewMenu kStrip[] = {
    {NM_TITLE, "File", nullptr, 0, 0, nullptr},
    {NM_ITEM, "Open", "O", 0, 0, nullptr},
    {NM_ITEM, "Check", "C", CHECKIT | MENUTOGGLE, 0, nullptr},
    {NM_ITEM, "Sound", nullptr, 0, 0, nullptr},
    {NM_SUB, "On", "N", 0, 0, nullptr},
    {NM_END, nullptr, nullptr, 0, 0, nullptr},
};

class GadgetsAndMenus : public ::testing::Test {
protected:
    void SetUp() override {
        trace.clear();
        FreshLog();
        main.SetPosition(40, 40);
        main.SetSize(400, 300);
        main.Show();
        ASSERT_TRUE(main.IsLoad());
    }
    TraceForm main{"main"};
};

}  // namespace

TEST_F(GadgetsAndMenus, ButtonCommandThenWindowAndUnknownGadgetIsLogged) {
    GadgetButton ok(&main, "OK", 40, 60);
    GadgetButton stray(&main, "stray", 200, 60, 999);
    ok.Show();
    stray.Show();
    RunWith(main, [&] {
        ClickAt(main.OnScreen(60, 70));
        PlatformTest::WaitIdle();
        ClickAt(main.OnScreen(220, 70));
    });
    EXPECT_EQ(Without(trace, "main:clos"),
              (std::vector<std::string>{"OK:command", "main:down", "main:up"}));
    const std::vector<std::string> log = LogLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "non trovato!"), log.end());
}

TEST_F(GadgetsAndMenus, MenuPicksReachTheEntryCommandsWithCheckMarksFirst) {
    Group bar(&main, "menubar");
    Group file(&bar, "menu");
    Entry open(&file, "Open");
    Entry check(&file, "Check");
    Entry sound(&file, "Sound");
    Entry on(&sound, "On");
    bar.entries = {&file};
    file.entries = {&open, &check, &sound};
    sound.subs = {&on};
    Menu* strip = CreateMenus(kStrip, GTMN_FrontPen, 1);
    ASSERT_NE(strip, nullptr);
    ASSERT_TRUE(LayoutMenusA(strip, GUIElement::GlobalVisualInfo, nullptr));
    ASSERT_TRUE(SetMenuStrip(main.GetHandle(), strip));
    Application::menu = strip;
    Application::menuBar = &bar;
    RunWith(main, [&] {
        for (UWORD key : {kRawO, kRawC, kRawC, kRawN}) {
            PlatformTest::TypeKey(key, IEQUALIFIER_LCOMMAND);
            PlatformTest::WaitIdle();
        }
    });
    EXPECT_EQ(Application::menu, nullptr);  // the loop frees the strip when it ends
    EXPECT_EQ(Application::menuBar, nullptr);
    EXPECT_EQ(Without(Without(Without(trace, "main:key"), "main:press"), "main:clos"),
              (std::vector<std::string>{"Open:command", "Check:checked:1", "Check:command",
                                        "Check:checked:0", "Check:command", "On:command"}));
}

// Removing a window's children takes its menu entries too, down to the items under each menu:
// an entry left registered would answer a later search with a dead object.
TEST_F(GadgetsAndMenus, RemovingTheChildrenTakesTheMenusItemsAlong) {
    Group bar(&main, "menubar");
    Group file(&bar, "menu");
    Entry open(&file, "Open");
    Entry sound(&file, "Sound");
    bar.entries = {&file};
    file.entries = {&open, &sound};
    for (GUIElement* e : {static_cast<GUIElement*>(&bar), static_cast<GUIElement*>(&file),
                          static_cast<GUIElement*>(&open), static_cast<GUIElement*>(&sound)}) {
        e->LoadElementBase();  // the ids a loaded menu's entries have
    }
    const int32_t ids[] = {bar.GetID(), file.GetID(), open.GetID(), sound.GetID()};
    for (int32_t id : ids) {
        ASSERT_NE(Application::GetElementByID(id), nullptr) << id;
    }
    Application::RimuoviChildren(main.GetID());
    for (int32_t id : ids) {
        EXPECT_EQ(Application::GetElementByID(id), nullptr) << id;
    }
    for (GUIElement* e : {static_cast<GUIElement*>(&bar), static_cast<GUIElement*>(&file),
                          static_cast<GUIElement*>(&open), static_cast<GUIElement*>(&sound)}) {
        Application::AddWinForm(e);  // for their own destructors
    }
}
