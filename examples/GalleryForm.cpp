#include "GalleryForm.h"

#include <cstdio>

#include "controls/Button.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/CheckBox.h"
#include "controls/ComboBox.h"
#include "controls/ImageFrame.h"
#include "controls/Label.h"
#include "controls/ListBox.h"
#include "controls/MenuBar.h"
#include "controls/MyImage.h"
#include "controls/OptionBox.h"
#include "controls/OrvMenu.h"
#include "controls/PanelChildren.h"
#include "controls/ProgressBar.h"
#include "controls/ScrollBar.h"
#include "controls/Slider.h"
#include "controls/StatusBar.h"
#include "controls/SubMenu.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "controls/TextBoxView.h"
#include "controls/ToolBar.h"
#include "controls/ToolBarItem.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"

namespace tessella {

namespace {

constexpr int kEscape = 27;

const char* const kPadlock[16] = {
    "................", "......1111......", ".....1....1.....", "....1......1....",
    "....1......1....", "....1......1....", "..111111111111..", "..133333333331..",
    "..133333333331..", "..133332233331..", "..133332233331..", "..133333233331..",
    "..133333233331..", "..133333333331..", "..111111111111..", "................"};

// A light in a dark frame; the pen of its lamp is filled in.
const char* const kLight[16] = {
    "................", "...1111111111...", "..1111111111111.", "..111.....1111..",
    "..11..LLLL..11..", "..1..LLLLLL..1..", "..1.LLLLLLLL.1..", "..1.LLLLLLLL.1..",
    "..1.LLLLLLLL.1..", "..1.LLLLLLLL.1..", "..1..LLLLLL..1..", "..11..LLLL..11..",
    "..111......111..", "...1111111111...", "................", "................"};

const char* const kLampPens = "5ad";  // red, yellow, green

const char* const kViewText =
    "This view holds a text longer than it can show. The whole text is printed once into a "
    "picture of its own, and the scroll bar at its right chooses which rows of that picture "
    "the window shows.\n\nScroll down to read on: the lines wrap at the last space that fits, "
    "and every line after a break starts at the left edge.\n\nThe custom text boxes above "
    "draw every character in a cell of their own; the second one shows stars for what you "
    "type.";

int PenOf(char c) {
    if (c >= '1' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return 0;
}

}  // namespace

GalleryForm::Picture::Picture(const char* const rows[16], char from, char to) : planes(4 * 16, 0) {
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const char c = rows[y][x];
            const int pen = PenOf(c == from ? to : c);
            for (int plane = 0; plane < 4; ++plane) {
                if (pen & (1 << plane)) {
                    planes[plane * 16 + y] |= static_cast<UWORD>(0x8000 >> x);
                }
            }
        }
    }
    image = {0, 0, 16, 16, 4, planes.data(), 0x0F, 0, nullptr};
}

GalleryForm::GalleryForm(OrvScreen* s) : Form(0, false), padlock(kPadlock) {
    SetScreen(s);
    SetText("Tessella Cross Edition - controls");
    SetSize(s != nullptr ? s->GetWidth() : 800, s != nullptr ? s->GetHeight() : 600);
    for (const char* lamp = kLampPens; *lamp != 0; ++lamp) {
        lights.emplace_back(kLight, 'L', *lamp);
    }
    for (Picture& p : lights) {
        lightFrames.push_back(&p.image);
    }
    SetOnCreateChildren(CreateChildren);
}

// Members go in reverse order of declaration: the menus before their bar, controls before the
// panel that holds some of them.
GalleryForm::~GalleryForm() = default;

GalleryForm* GalleryForm::Of(GUIElement* e) {
    return dynamic_cast<GalleryForm*>(Application::GetForm(e));
}

void GalleryForm::CreateChildren(GUIElement* form, unsigned long /*handle*/) {
    auto* self = static_cast<GalleryForm*>(form);
    self->BuildCustomDrawn();
    self->BuildGadgets();
    self->BuildTextControls();
    self->BuildToolBar();
    self->BuildScrollingPanel();
    self->BuildMenus();
}

void GalleryForm::BuildCustomDrawn() {
    panel = std::make_unique<PanelChildren>(this);
    panel->SetLocation(16, 24);
    panel->SetSize(252, 300);
    panel->SetText("Drawn by the toolkit");
    panel->SetBorder(1);

    press = std::make_unique<ButtonCustom>(panel.get(), "Press me");
    press->SetLocation(12, 20);
    press->SetSize(110, 30);
    press->SetCommand(Pressed);
    disabled = std::make_unique<ButtonCustom>(panel.get(), "Disabled");
    disabled->SetLocation(130, 20);
    disabled->SetSize(110, 30);
    disabled->SetEnabled(false);
    locked = std::make_unique<ButtonCustom>(panel.get(), "Locked");
    locked->SetLocation(12, 58);
    locked->SetSize(110, 30);
    locked->SetBitmap(&padlock.image);
    locked->SetCommand(Pressed);
    combo = std::make_unique<ButtonCustom>(panel.get(), "Choose");
    combo->SetLocation(130, 58);
    combo->SetSize(110, 30);
    combo->SetComboCommand(1);
    combo->SetCommand(Pressed);
    next = std::make_unique<ButtonCustom>(panel.get(), "Next light");
    next->SetLocation(12, 96);
    next->SetSize(110, 30);
    next->SetCommand(NextFrame);

    image = std::make_unique<MyImage>(panel.get(), &padlock.image);
    image->SetLocation(150, 103);
    image->SetBorder(1);
    light = std::make_unique<ImageFrame>(panel.get(), lightFrames.data(), 0, 0);
    light->SetLocation(190, 103);

    label = std::make_unique<Label>(panel.get(), "A label on a text gadget");
    label->SetLocation(12, 136);
    label->SetSize(228, 20);
    progress = std::make_unique<ProgressBar>(panel.get(), 0, 100);
    progress->SetLocation(12, 166);
    progress->SetSize(228, 25);
    progress->SetValue(35);
    cell = std::make_unique<CellControl>(panel.get());
    cell->SetLocation(12, 202);
    cell->SetSize(228, 40);
    cell->SetBorder(1);
    cell->SetAlign(AlignCenter);
    cell->SetText("A text cell: wrapped, centred, framed");
    panel->Show();
}

void GalleryForm::BuildGadgets() {
    const int left = 290;
    button = std::make_unique<Button>(this, "Gadget button");
    button->SetLocation(left, 30);
    button->SetSize(140, 24);
    button->SetCommand(Pressed);
    button->Show();
    check = std::make_unique<CheckBox>(this, "Check me");
    check->SetLocation(left, 66);
    check->SetCommand(Checked);
    check->Show();
    option = std::make_unique<OptionBox>(this);
    option->AddItems("Encrypt", "E");
    option->AddItems("Decrypt", "D");
    option->SetLocation(left, 90);
    option->SetCommand(OptionChosen);
    option->Show();
    choice = std::make_unique<ComboBox>(this);
    choice->AddItems("First choice", "1");
    choice->AddItems("Second choice", "2");
    choice->AddItems("Third choice", "3");
    choice->SetLocation(left, 126);
    choice->SetSize(200, 20);
    choice->SetCommand(ComboChosen);
    choice->Show();
    list = std::make_unique<ListBox>(this);
    for (const char* item : {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot"}) {
        list->AddItems(item, item);
    }
    list->SetLocation(left, 156);
    list->SetSize(200, 80);
    list->SetCommand(ListChosen);
    list->Show();
    text = std::make_unique<TextBox>(this, "Type here");
    text->SetLocation(left, 246);
    text->SetSize(200, 20);
    text->SetOnTextChange(TextChanged);
    text->Show();
    slider = std::make_unique<Slider>(this, 0, 0, 100);
    slider->SetLocation(left + 24, 280);
    slider->SetSize(150, 12);
    slider->SetValue(35);
    slider->SetOnChangeValue(SliderMoved);
    slider->Show();
    scroll = std::make_unique<ScrollBar>(this, 0, 1000);
    scroll->SetLocation(left, 308);
    scroll->SetSize(200, 13);
    scroll->Show();
}

void GalleryForm::BuildTextControls() {
    const int left = 530;
    custom = std::make_unique<TextBoxCustom>(this, "Drawn text box");
    custom->SetLocation(left, 30);
    custom->SetSize(250, 20);
    custom->SetOnTextChange(TextChanged);
    custom->Show();
    password = std::make_unique<TextBoxCustom>(this, "");
    password->SetPassword(1);
    password->SetLocation(left, 60);
    password->SetSize(250, 20);
    password->SetOnTextChange(TextChanged);
    password->Show();
    view = std::make_unique<TextBoxView>(this, kViewText);
    view->SetLocation(left, 96);
    view->SetSize(250, 120);
    view->Show();
    status = std::make_unique<StatusBar>(this, "Right button: the menus. Escape: quit.");
    status->Show();
}

void GalleryForm::BuildToolBar() {
    toolBar = std::make_unique<ToolBar>(this, false);
    toolBar->SetLocation(16, 336);
    struct Tool {
        const char* caption;
        int image;
        uint8_t type;
    };
    // The standard images: a page, a folder, a disk; type 1 is a gap between groups.
    const Tool list[] = {{"", 0, 0}, {"", 1, 0}, {"", 2, 0}, {"", -1, 1}, {"Tool text", -1, 0}};
    for (const Tool& t : list) {
        auto item = std::make_unique<ToolBarItem>(toolBar.get());
        item->SetText(t.caption);
        item->SetImageStandard(t.image);
        item->SetType(t.type);
        item->SetCommand(ToolPressed);
        toolBar->AddToolBarItem(item.get());
        tools.push_back(std::move(item));
    }
    toolBar->SetAlignTop(true);
    toolBar->Show();
}

void GalleryForm::BuildScrollingPanel() {
    scrolling = std::make_unique<PanelChildren>(this);
    scrolling->SetLocation(290, 380);
    scrolling->SetSize(460, 150);
    scrolling->SetText("A panel with scroll bars; text cells in three styles");
    scrolling->SetBorderIncassato(0);
    scrolling->SetScrollV(1);
    scrolling->SetScrollH(1);
    scrolling->SetRangeScrollV(0, 400);
    scrolling->SetOnScrollV(PanelScrolled);
    scrolling->SetOnScrollH(PanelScrolled);
    // The cells draw in their element font; its style is the one the font opens.
    const struct {
        const char* text;
        OrvAlign align;
        void (Font::*style)(int16_t);
    } cells[] = {{"Left aligned, bold", AlignLeft, &Font::SetBold},
                 {"Centred, italic", AlignCenter, &Font::SetItalic},
                 {"Right aligned, underlined", AlignRight, &Font::SetUnderline}};
    int top = 24;
    for (const auto& c : cells) {
        Font font("helvetica.font", 13);
        (font.*c.style)(1);
        auto cellControl = std::make_unique<CellControl>(scrolling.get());
        cellControl->SetLocation(12, top);
        cellControl->SetSize(436, 30);
        cellControl->SetFonts(font);
        cellControl->SetAlign(c.align);
        cellControl->SetText(c.text);
        cellControl->SetBorder(1);
        styles.push_back(std::move(cellControl));
        top += 38;
    }
    scrolling->Show();
}

void GalleryForm::BuildMenus() {
    menuBar = std::make_unique<MenuBar>(this);
    project = std::make_unique<OrvMenu>(menuBar.get(), "Project");
    about = std::make_unique<SubMenu>(project.get(), "&About...");
    about->SetCommand(MenuAbout);
    separator = std::make_unique<SubMenu>(project.get());
    quit = std::make_unique<SubMenu>(project.get(), "&Quit");
    quit->SetCommand(MenuQuit);
    options = std::make_unique<OrvMenu>(menuBar.get(), "Options");
    sound = std::make_unique<SubMenu>(options.get(), "&Sound");
    sound->SetTypeCheck(1);
    sound->SetChecked(1);
    menuBar->Load();
}

void GalleryForm::Report(const std::string& what) {
    std::printf("gallery: %s\n", what.c_str());
    std::fflush(stdout);
    if (status != nullptr) {
        status->SetText(what);
    }
}

void GalleryForm::Pressed(GUIElement* e) {
    GalleryForm* self = Of(e);
    if (self == nullptr) {
        return;
    }
    ++self->presses;
    self->progress->SetValue(self->presses * 10 % 110);
    self->Report("pressed " + e->GetText() + " (" + std::to_string(self->presses) + "), text \"" +
                 self->text->GetText() + "\", drawn text \"" + self->custom->GetText() +
                 "\", password of " + std::to_string(self->password->GetText().size()));
}

void GalleryForm::NextFrame(GUIElement* e) {
    GalleryForm* self = Of(e);
    if (self == nullptr) {
        return;
    }
    self->frame = (self->frame + 1) % static_cast<int>(self->lightFrames.size());
    self->light->SetFrame(0, self->frame);
    self->Report("light " + std::to_string(self->frame));
}

void GalleryForm::Checked(GUIElement* e) {
    if (GalleryForm* self = Of(e)) {
        self->Report("check " + std::to_string(self->check->IsChecked()));
    }
}

void GalleryForm::OptionChosen(GUIElement* e) {
    if (GalleryForm* self = Of(e)) {
        self->Report("option " + self->option->GetItemsLabel(self->option->SelectedIndex()));
    }
}

void GalleryForm::ComboChosen(GUIElement* e) {
    if (GalleryForm* self = Of(e)) {
        self->Report("combo " + self->choice->GetItemsLabel(self->choice->SelectedIndex()));
    }
}

void GalleryForm::ListChosen(GUIElement* e) {
    if (GalleryForm* self = Of(e)) {
        self->Report("list " + self->list->GetItemsLabel(self->list->SelectedIndex()));
    }
}

void GalleryForm::SliderMoved(GUIElement* e, int value) {
    if (GalleryForm* self = Of(e)) {
        self->progress->SetValue(value);
        self->Report("slider " + std::to_string(value));
    }
}

void GalleryForm::TextChanged(GUIElement* e) {
    GalleryForm* self = Of(e);
    if (self == nullptr) {
        return;
    }
    // A password is never shown, only counted.
    if (e == self->password.get()) {
        self->Report("password of " + std::to_string(e->GetText().size()));
        return;
    }
    const char* which = e == self->text.get() ? "text" : "drawn text";
    self->Report(std::string(which) + " \"" + e->GetText() + "\"");
}

void GalleryForm::MenuQuit(GUIElement* /*e*/) {
    Application::postQuit = 1;
}

void GalleryForm::MenuAbout(GUIElement* e) {
    if (GalleryForm* self = Of(e)) {
        self->Report("Tessella Cross Edition: every control of the toolkit");
    }
}

void GalleryForm::ToolPressed(GUIElement* e) {
    if (GalleryForm* self = Of(e)) {
        const auto* item = static_cast<ToolBarItem*>(e);
        const char* names[] = {"page", "folder", "disk"};
        const int image = item->GetImageStandard();
        self->Report("tool " +
                     (image >= 0 && image < 3 ? std::string(names[image]) : e->GetText()));
    }
}

void GalleryForm::PanelScrolled(GUIElement* e, int pos) {
    if (GalleryForm* self = Of(e)) {
        self->Report("panel scrolled to " + std::to_string(pos));
    }
}

bool GalleryForm::OnKeyPress(int character) {
    if (character == kEscape) {
        Application::postQuit = 1;  // the loop then asks OnClosing, which agrees
    }
    return Form::OnKeyPress(character);
}

}  // namespace tessella
