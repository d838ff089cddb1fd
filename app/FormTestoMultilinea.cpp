#include "FormTestoMultilinea.h"

#include "controls/ButtonCustom.h"
#include "controls/TextBoxCustom.h"
#include "runtime/Application.h"

namespace tessella {

namespace {

constexpr int kEscape = 27;

}  // namespace

FormTestoMultilinea::FormTestoMultilinea(Form* o, unsigned long instance, std::string title,
                                         std::string initial, bool ita)
    : Form(instance, true), owner(o), text(std::move(initial)), italian(ita) {
    if (owner != nullptr) {
        SetScreen(owner->GetScreen());
    }
    SetDialogTopMost(false);
    if (owner != nullptr) {
        owner->SetEnabled(false);
        owner->SetCursorWait(true);
    }
    SetPosition(70, 25);
    SetSize(500, 200);
    SetTitle(std::move(title));
    SetBoxMaximize(false);
    SetBoxMinimize(false);
    SetOnCreateChildren(&FormTestoMultilinea::CreateChildren);
    SetOnClosing(&FormTestoMultilinea::Closing);
    SetOnResize(&FormTestoMultilinea::Resizing);
    SetOnKeyPress(&FormTestoMultilinea::KeyPress);
    SetOnKeyDOWN(&FormTestoMultilinea::KeyDown);
    SetOnKeyUP(&FormTestoMultilinea::KeyUp);
}

FormTestoMultilinea::~FormTestoMultilinea() {
    CloseForm();
    delete txtTesto;
    delete btnOk;
    delete btnCancel;
}

void FormTestoMultilinea::evCreateChildren() {
    const tagSIZE s = GetSize();
    txtTesto = new TextBoxCustom(this, text);
    txtTesto->SetMultiline(1);
    txtTesto->SetMaxLength(kMaxText);
    txtTesto->SetInserimento(1);
    txtTesto->SetLocation(5, 15);
    txtTesto->SetSize(s.cx - 10, s.cy - 45);
    txtTesto->Load();

    auto button = [this](const char* caption, int x, int y) {
        auto* b = new ButtonCustom(this, caption);
        b->SetSize(80, 20);
        b->SetLocation(x, y);
        b->SetCommand(&FormTestoMultilinea::OnExecCommand);
        b->Load();
        return b;
    };
    btnOk = button("OK", s.cx - 180, s.cy - 20);
    btnCancel = button(italian ? "ANNULLA" : "CANCEL", s.cx - 90, s.cy - 20);
    txtTesto->Focus();
}

bool FormTestoMultilinea::evClosing() {
    UnregisterHotKeyForm();
    if (owner != nullptr) {
        owner->SetEnabled(true);
        owner->SetCursorWait(false);
        // The input goes back to the window the box was opened over, not to no window at all.
        owner->Focus();
    }
    return true;
}

bool FormTestoMultilinea::evKeyPress(int key) {
    if (key != kEscape) {
        return true;
    }
    result = 2;
    postClose = 1;
    return false;
}

void FormTestoMultilinea::evCommand(GUIElement* element) {
    if (element == nullptr) {
        return;
    }
    if (btnOk != nullptr && element->GetID() == btnOk->GetID()) {
        text = txtTesto->GetText();
        result = 1;
        postClose = 1;
    } else if (btnCancel != nullptr && element->GetID() == btnCancel->GetID()) {
        result = 2;
        postClose = 1;
    }
}

FormTestoMultilinea* FormTestoMultilinea::GetForm(GUIElement* element) {
    return dynamic_cast<FormTestoMultilinea*>(Application::GetForm(element));
}

void FormTestoMultilinea::CreateChildren(GUIElement* form, unsigned long /*handle*/) {
    if (FormTestoMultilinea* f = GetForm(form)) {
        f->evCreateChildren();
    }
}

bool FormTestoMultilinea::Closing(GUIElement* form) {
    FormTestoMultilinea* f = GetForm(form);
    return f == nullptr || f->evClosing();
}

void FormTestoMultilinea::Resizing(GUIElement* /*form*/) {}

bool FormTestoMultilinea::KeyPress(GUIElement* element, int key) {
    FormTestoMultilinea* f = GetForm(element);
    return f == nullptr || f->evKeyPress(key);
}

void FormTestoMultilinea::KeyDown(GUIElement* /*element*/, int /*key*/) {}

void FormTestoMultilinea::KeyUp(GUIElement* /*element*/, int /*key*/) {}

void FormTestoMultilinea::OnExecCommand(GUIElement* element) {
    if (FormTestoMultilinea* f = GetForm(element)) {
        f->evCommand(element);
    }
}

}  // namespace tessella
