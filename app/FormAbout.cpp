#include "FormAbout.h"

#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/MyImage.h"
#include "controls/PanelChildren.h"
#include "runtime/Application.h"
#include "util/Enviroment.h"

namespace tessella {

namespace {

constexpr int kReturn = 13;
constexpr int kEscape = 27;
constexpr int kDelete = 127;
// "http://www.": the part of a site address before its host's name.
constexpr size_t kSchemeLength = 11;

}  // namespace

FormAbout::FormAbout(Form* o) : Form(o != nullptr ? o->GetInstance() : 0, true), owner(o) {
    if (owner != nullptr) {
        SetScreen(owner->GetScreen());
    }
    SetTitle("Info...");
    SetSize(600, 210);
    CenterForm();
    SetDialogTopMost(false);
    SetModalDialog(true);
    SetBoxMaximize(false);
    SetBoxMinimize(false);
    SetOnCreateChildren(&FormAbout::CreateChildren);
    SetOnClosing(&FormAbout::Closing);
    SetOnKeyPress(&FormAbout::KeyPress);
    SetOnKeyDOWN(&FormAbout::KeyDown);
    SetOnKeyUP(&FormAbout::KeyUp);
    if (owner != nullptr) {
        owner->SetEnabled(false);
        owner->SetCursorWait(true);
    }
}

FormAbout::~FormAbout() {
    CloseForm();
    // The controls inside the panel go before the panel.
    for (GUIElement* e : std::initializer_list<GUIElement*>{logo, lblName, lblLegal, lblNote, btnOk,
                                                            lblSite, lblMail, panel}) {
        delete e;
    }
}

void FormAbout::SetImageLogo(Image* image, int width, int height) {
    imageLogo = image;
    logoWidth = width;
    logoHeight = height;
}

std::string FormAbout::MailAddress() const {
    // A site too short to carry a host gives no address rather than a made-up one.
    if (urlSite.size() <= kSchemeLength) {
        return std::string();
    }
    return std::string(kMailbox) + "@" + urlSite.substr(kSchemeLength);
}

void FormAbout::evCreateChildren() {
    const int l = logoWidth;
    const int h = logoHeight;
    const tagSIZE client = GetClientSize();
    const int x = l + 45;
    const int t = client.cx - x - 10;

    panel = new PanelChildren(this);
    panel->SetLocation(10, 23);
    panel->SetSize(l + 20, client.cy - 53);
    panel->SetBorder(1);
    panel->Load();

    logo = new MyImage(panel, imageLogo);
    logo->SetLocation(5, 5);
    logo->SetSize(l, h);
    logo->Load();

    auto label = [this](const std::string& text, int left, int top, int width, int height) {
        auto* c = new CellControl(this);
        c->SetText(text);
        c->SetLocation(left, top);
        c->SetSize(width, height);
        c->SetAlign(AlignLeft);
        return c;
    };
    lblName = label(programName, x, 27, t, 25);
    lblName->SetColor(2);
    lblName->Load();
    lblLegal = label(legalInformation, x, 48, t, 25);
    lblLegal->Load();
    lblSite = label(urlSite, x, 68, 200, 12);
    lblSite->SetColor(4);
    lblSite->SetCursorHand(true);
    lblSite->SetOnLeftMouseDOWN(&FormAbout::LeftMouseDOWN);
    lblSite->Load();
    lblMail = label(MailAddress(), l + 255, 68, 150, 12);
    lblMail->SetColor(4);
    lblMail->SetCursorHand(true);
    lblMail->SetOnLeftMouseDOWN(&FormAbout::LeftMouseDOWN);
    lblMail->Load();
    lblNote = label(note, x, 95, t, client.cy - 125);
    lblNote->SetBorder(1);
    lblNote->Load();

    btnOk = new ButtonCustom(this, "OK");
    btnOk->SetSize(80, 18);
    btnOk->SetLocation(x + t / 2 - btnOk->Width() / 2, client.cy - 17);
    btnOk->SetCommand(&FormAbout::OnExecCommand);
    btnOk->Load();
}

bool FormAbout::evClosing() {
    UnregisterHotKeyForm();
    if (owner != nullptr) {
        owner->SetEnabled(true);
        owner->SetCursorWait(false);
        // The input goes back to the window the box was opened over, not to no window at all.
        owner->Focus();
    }
    return true;
}

bool FormAbout::evKeyPress(int key) {
    if (key == kReturn || key == kEscape || key == kDelete) {
        postClose = 1;
        return false;
    }
    return true;
}

void FormAbout::evCommand(GUIElement* element) {
    if (element != nullptr && btnOk != nullptr && element->GetID() == btnOk->GetID()) {
        postClose = 1;
    }
}

void FormAbout::evLeftMouseDOWN(GUIElement* element) {
    if (element == nullptr) {
        return;
    }
    if (lblSite != nullptr && element->GetID() == lblSite->GetID()) {
        Enviroment::Shell(urlSite);
    } else if (lblMail != nullptr && element->GetID() == lblMail->GetID() &&
               !lblMail->GetText().empty()) {
        Enviroment::Shell("mailto:" + lblMail->GetText());
    }
}

FormAbout* FormAbout::GetForm(GUIElement* element) {
    return dynamic_cast<FormAbout*>(Application::GetForm(element));
}

void FormAbout::CreateChildren(GUIElement* form, unsigned long /*handle*/) {
    if (FormAbout* f = GetForm(form)) {
        f->evCreateChildren();
    }
}

bool FormAbout::Closing(GUIElement* form) {
    FormAbout* f = GetForm(form);
    return f == nullptr || f->evClosing();
}

bool FormAbout::KeyPress(GUIElement* element, int key) {
    FormAbout* f = GetForm(element);
    return f == nullptr || f->evKeyPress(key);
}

void FormAbout::KeyDown(GUIElement* /*element*/, int /*key*/) {}

void FormAbout::KeyUp(GUIElement* /*element*/, int /*key*/) {}

void FormAbout::OnExecCommand(GUIElement* element) {
    if (FormAbout* f = GetForm(element)) {
        f->evCommand(element);
    }
}

void FormAbout::LeftMouseDOWN(GUIElement* element, unsigned long /*handle*/, tagPOINT /*p*/) {
    if (FormAbout* f = GetForm(element)) {
        f->evLeftMouseDOWN(element);
    }
}

}  // namespace tessella
