// The main window's layout: its menu, its controls as a table, the header band and the two
// views of the operation.
#include <intuition.h>
#include <workbench.h>

#include <string>
#include <variant>

#include "FormMain.h"
#include "LogoIFF.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/CheckBox.h"
#include "controls/Drawing.h"
#include "controls/MenuBar.h"
#include "controls/MyImage.h"
#include "controls/OptionBox.h"
#include "controls/OrvMenu.h"
#include "controls/ProgressBar.h"
#include "controls/SubMenu.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"

namespace tessella {

// What a row makes, and how it is set up beyond its place and size.
enum class FormMain::ControlKind {
    Logo,      // the shared logo image
    Header,    // a header button: pen 1 on pen 0
    Start,     // START: pen 2 on pen 15, with the hand pointer
    Choice,    // an option box of two options, "first|second"; a loaded one starts at the first
    Caption,   // a left-aligned text cell
    Path,      // a system text box as long as a path may be
    Button,    // a self-drawn button
    Check,     // a ticked check box
    Password,  // a masked self-drawn box in insert mode, as long as a password may be
    Progress,  // a progress bar from 0 to 100
};

struct FormMain::ControlRow {
    template <class T>
    using Slot = T* FormMain::*;

    ControlKind kind;
    std::variant<Slot<MyImage>, Slot<ButtonCustom>, Slot<OptionBox>, Slot<CellControl>,
                 Slot<TextBox>, Slot<CheckBox>, Slot<TextBoxCustom>, Slot<ProgressBar>>
        slot;
    const char* caption;
    int x;  // below 0: from the client area's right edge
    int y;
    int w;
    int h;
    // The Decrypt view's destination choice loads when that view first shows it.
    bool load = true;
};

namespace {

constexpr bool kLater = false;

// A choice's two options, from "first|second".
OptionBox* WithOptions(OptionBox* o, const std::string& options) {
    const size_t bar = options.find('|');
    o->AddItems(options.substr(0, bar), "0");
    o->AddItems(options.substr(bar + 1), "1");
    return o;
}

}  // namespace

// In the order they are made and loaded, which is also the order of their ids. The header band
// (OnPaint) lies behind the first five rows; the destination caption and choice share their
// place, since no view shows both. Tab goes by their places, not by this order: top to bottom,
// then left to right (START, Info, Close, the operation, the source and its Select, ...).
const FormMain::ControlRow FormMain::kControls[] = {
    {ControlKind::Logo, &FormMain::imgLogo, "", 15, 45, Logo::kWidth, Logo::kHeight},
    {ControlKind::Header, &FormMain::btnInfo, "Info", -248, 45, 100, 25},
    {ControlKind::Header, &FormMain::btnClose, "Close", -128, 45, 100, 25},
    {ControlKind::Start, &FormMain::btnStart, "START", -368, 45, 100, 25},
    {ControlKind::Choice, &FormMain::optOperation, "Encrypt|Decrypt", -368, 75, 120, 30},
    {ControlKind::Caption, &FormMain::lblFiles, "Files to Encrypt:", 30, 130, 150, 25},
    {ControlKind::Path, &FormMain::txtFiles, "", 30, 156, 450, 25},
    {ControlKind::Button, &FormMain::btnSelectFiles, "Select", 490, 156, 100, 25},
    {ControlKind::Choice, &FormMain::optDestination,
     "Same folder with original name|Specify pathname", 30, 189, 280, 30, kLater},
    {ControlKind::Caption, &FormMain::lblDestination, "Encrypted file:", 30, 197, 150, 25},
    {ControlKind::Path, &FormMain::txtDestination, "", 30, 223, 450, 25},
    {ControlKind::Button, &FormMain::btnSelectDestination, "Select", 490, 223, 100, 25},
    {ControlKind::Check, &FormMain::chkCheck, "Check", 30, 252, 250, 25},
    {ControlKind::Caption, &FormMain::lblPassword, "Password:", 30, 282, 150, 25},
    {ControlKind::Password, &FormMain::txtPassword, "", 30, 308, 150, 25},
    {ControlKind::Button, &FormMain::btnShow, "Show", 190, 308, 100, 25},
    {ControlKind::Caption, &FormMain::lblConfirm, "Confirm password:", 300, 282, 150, 25},
    {ControlKind::Password, &FormMain::txtConfirm, "", 300, 308, 150, 25},
    {ControlKind::Caption, &FormMain::lblStatus, "Status:", 30, 349, 150, 25},
    {ControlKind::Progress, &FormMain::prgStatus, "", 30, 375, 560, 25},
};

// ---- Building the window --------------------------------------------------------------------

void FormMain::CreaMenu() {
    menuBar = Own(new MenuBar(this));
    menuFile = Own(new OrvMenu(menuBar, "&File"));
    menuHelp = Own(new OrvMenu(menuBar, "&?"));
    itemExit = Own(new SubMenu(menuFile, "&Exit"));
    itemHome = Own(new SubMenu(menuHelp, "&Home"));
    itemInfo = Own(new SubMenu(menuHelp, "&Info..."));
    for (SubMenu* item : {itemExit, itemHome, itemInfo}) {
        item->SetCommand(&FormMain::MenuClick);
    }
    menuBar->Load();
}

void FormMain::evCreateChildren() {
    CreaMenu();
    CreateControls();
    timerBanner = std::make_unique<Timer>(this, Banner::kTickMs);
    timerBanner->SetOnTimer(&FormMain::OnTimer);
    timerBanner->Start();
    handover.MakeTimer(this, kHandoverMs, [this] { RunHandover(); });
    CreateDropTarget();
}

void FormMain::CreateControls() {
    const int w = GetClientSize().cx;
    for (const ControlRow& row : kControls) {
        GUIElement* made = MakeControl(row, row.x < 0 ? w + row.x : row.x);
        std::visit(
            [this, made](auto slot) {
                this->*slot =
                    dynamic_cast<std::remove_reference_t<decltype(*(this->*slot))>*>(made);
            },
            row.slot);
        if (!row.load) {
            continue;
        }
        made->Load();
        if (row.kind == ControlKind::Choice) {
            static_cast<OptionBox*>(made)->SetSelectedIndex(0);
        }
    }
}

GUIElement* FormMain::MakeControl(const ControlRow& row, int x) {
    const auto place = [&](auto* e) {
        e->SetLocation(x, row.y);
        e->SetSize(row.w, row.h);
        return e;
    };
    switch (row.kind) {
        case ControlKind::Logo:
            return place(Own(new MyImage(this, LogoIFF)));
        case ControlKind::Header:
        case ControlKind::Start: {
            const bool start = row.kind == ControlKind::Start;
            auto* b = place(Own(new ButtonCustom(this, row.caption)));
            b->SetBackgroundColor(start ? 15UL : 0UL);
            b->SetColor(start ? 2 : 1);
            b->SetCommand(&FormMain::OnExecCommand);
            if (start) {
                b->SetCursorHand(true);
            }
            return b;
        }
        case ControlKind::Choice: {
            auto* o = place(WithOptions(Own(new OptionBox(this)), row.caption));
            o->SetCommand(&FormMain::OnExecCommand);
            return o;
        }
        case ControlKind::Caption: {
            auto* c = Own(new CellControl(this));
            c->SetText(row.caption);
            place(c)->SetAlign(AlignLeft);
            return c;
        }
        case ControlKind::Path: {
            auto* t = place(Own(new TextBox(this, "")));
            t->SetMaxLength(kPathMax);
            return t;
        }
        case ControlKind::Button: {
            auto* b = place(Own(new ButtonCustom(this, row.caption)));
            b->SetCommand(&FormMain::OnExecCommand);
            return b;
        }
        case ControlKind::Check: {
            auto* c = place(Own(new CheckBox(this, row.caption)));
            c->SetChecked(1);
            c->SetCommand(&FormMain::OnExecCommand);
            return c;
        }
        case ControlKind::Password: {
            auto* t = place(Own(new TextBoxCustom(this, "")));
            t->SetPassword(1);
            t->SetInserimento(1);
            t->SetMaxLength(static_cast<int>(kMaxPasswordLength));
            return t;
        }
        case ControlKind::Progress:
            return place(Own(new ProgressBar(this, 0, 100)));
    }
    return nullptr;
}

// Files dropped on the window arrive at a port of their own, looked at a few times a second.
// Starting a timer pauses its caller, so the poll starts at the banner's first tick, after the
// window is up; files dropped before then wait in the port.
void FormMain::CreateDropTarget() {
    dropPort = CreateMsgPort();
    if (dropPort != nullptr) {
        dropWindow = AddAppWindowA(0, 0, GetHandle(), dropPort, nullptr);
        timerDrop = std::make_unique<Timer>(this, kDropMs);
        timerDrop->SetOnTimer(&FormMain::OnDrop);
    }
}

void FormMain::OnShow() {
    Form::OnShow();
}

void FormMain::OnPaint() {
    if (IsLoad()) {
        Drawing d(GetHandle() != nullptr ? GetHandle()->RPort : nullptr);
        d.DrawFillRectangle(0, 0, GetClientSize().cx, 120, 0, 0, 2);
    }
    if (GetHandle() != nullptr && gadgetList != nullptr) {
        RefreshGadgets(gadgetList, GetHandle(), nullptr);
    }
    Form::OnPaint();
}

// ---- The two views ----------------------------------------------------------------------------

void FormMain::ToggleShow() {
    if (!passwordVisible) {
        txtPassword->SetPassword(0);
        txtConfirm->SetText("");
        txtConfirm->SetEnabled(0);
        passwordVisible = true;
        btnShow->SetText("Hide");
    } else {
        txtPassword->SetPassword(1);
        txtConfirm->SetEnabled(1);
        passwordVisible = false;
        btnShow->SetText("Show");
    }
}

void FormMain::DestinationChoiceChanged() {
    if (optDestination->SelectedIndex() == 0) {
        btnSelectDestination->Hide();
        txtDestination->Hide();
        return;
    }
    btnSelectDestination->Show();
    txtDestination->SetText("");
    txtDestination->Show();
}

void FormMain::VisualizzaTab() {
    if (encryptMode) {
        lblFiles->SetText("Files to Encrypt:");
        for (GUIElement* e : std::initializer_list<GUIElement*>{
                 txtDestination, btnSelectDestination, chkCheck, lblConfirm, txtConfirm}) {
            e->Show();
        }
        optDestination->Hide();
        lblDestination->Show();
        return;
    }
    lblFiles->SetText("Files to Decrypt:");
    lblDestination->Hide();
    optDestination->Show();
    for (GUIElement* e : std::initializer_list<GUIElement*>{txtDestination, btnSelectDestination,
                                                            chkCheck, lblConfirm, txtConfirm}) {
        e->Hide();
    }
    if (optDestination->SelectedIndex() == 1) {
        txtDestination->Show();
        btnSelectDestination->Show();
    }
}

void FormMain::evTabSelected(GUIElement* /*element*/, int index) {
    const bool encrypt = index == 0;
    if (encrypt == encryptMode) {
        return;
    }
    const int leaving = encryptMode ? 0 : 1;
    savedFiles[leaving] = txtFiles->GetText();
    savedDestination[leaving] = txtDestination->GetText();
    savedPassword[leaving] = txtPassword->GetText();
    encryptMode = encrypt;
    VisualizzaTab();
    const int entering = encryptMode ? 0 : 1;
    txtFiles->SetText(savedFiles[entering]);
    txtDestination->SetText(savedDestination[entering]);
    txtPassword->SetText(savedPassword[entering]);
}

}  // namespace tessella
