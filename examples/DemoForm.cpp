#include "DemoForm.h"

#include <graphics.h>
#include <intuition.h>

#include "runtime/Application.h"
#include "runtime/OrvScreen.h"
#include "runtime/Startup.h"
#include "runtime/Timer.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

constexpr int kBarMaxWidth = 300;
constexpr int kTickMs = 500;

}  // namespace

void DemoForm::LoadPalette(OrvScreen* screen) {
    Startup::LoadPalette(screen);
}

ColourBox::ColourBox(GUIElement* parent, int x, int y, int w, int h, int p)
    : Child(parent), pen(p) {
    className = "colourbox";
    isRenderControl = 1;
    isTabStop = 0;
    position = {x, y};
    size = {w, h};
}

void ColourBox::Load() {
    if (!loaded) {
        LoadElementBase();
        loaded = true;
    }
}

void ColourBox::OnPaint() {
    Form* form = static_cast<Form*>(GetFormParent());
    if (form == nullptr || form->GetHandle() == nullptr || Application::SospendiRefresh != 0) {
        return;
    }
    RastPort* rp = form->GetHandle()->RPort;
    const tagPOINT at = GetPositionFromParent(position.x, position.y);
    SetAPen(rp, static_cast<ULONG>(pen));
    RectFill(rp, at.x, at.y, at.x + size.cx - 1, at.y + size.cy - 1);
}

void ColourBox::OnLeftMouseUP(tagPOINT p) {
    SetPen(pen % 15 + 1);
    Child::OnLeftMouseUP(p);
}

void ColourBox::SetPen(int newPen) {
    pen = newPen;
    OnPaint();
}

DemoForm::DemoForm(OrvScreen* s) : Form(0, true) {
    SetScreen(s);
    SetText("Tessella Cross Edition");
    SetPosition(200, 150);
    SetSize(400, 260);
    SetOnCreateChildren(CreateChildren);
}

DemoForm::~DemoForm() {
    delete timer;
    delete bar;
    delete box;
}

void DemoForm::CreateChildren(GUIElement* form, unsigned long /*handle*/) {
    auto* self = static_cast<DemoForm*>(form);
    Window* w = self->GetHandle();
    const int left = w->BorderLeft + 20;
    const int top = w->BorderTop + 20;
    self->box = new ColourBox(self, left, top, 120, 120, 3);
    self->bar = new ColourBox(self, left, top + 150, 10, 30, 8);
    self->box->Show();
    self->bar->Show();
    self->timer = new Timer(self, kTickMs);
    self->timer->SetOnTimer(OnTick);
    self->timer->Start();
}

void DemoForm::OnTick(GUIElement* t) {
    auto* self = static_cast<DemoForm*>(static_cast<Timer*>(t)->GetParent());
    ++self->ticks;
    // The bar grows a step per tick and starts again when full.
    const int width = 10 + (self->ticks * 20) % kBarMaxWidth;
    self->bar->SetSize(width, 30);
    self->Refresh();
    self->SetTitle("Tessella Cross Edition - " + StringUtils::IntToStr(self->ticks));
}

bool DemoForm::OnKeyPress(int character) {
    if (character == 27 || character == 'q') {
        Application::postQuit = 1;  // the loop then asks OnClosing, which agrees
    }
    return true;
}

}  // namespace tessella
