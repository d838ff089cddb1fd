#include "DemoForm.h"

#include <graphics.h>
#include <intuition.h>

#include "Application.h"
#include "OrvScreen.h"
#include "StringUtils.h"
#include "Timer.h"

namespace {

constexpr int kBarMaxWidth = 300;
constexpr int kTickMs = 500;

const UBYTE kPens[32][3] = {{192, 192, 192}, {0, 0, 0},       {255, 255, 255}, {0, 166, 214},
                            {0, 0, 255},     {207, 59, 118},  {0, 255, 255},   {150, 75, 0},
                            {255, 165, 0},   {128, 255, 128}, {255, 255, 0},   {153, 17, 153},
                            {200, 160, 200}, {0, 255, 0},     {255, 255, 85},  {0, 170, 0},
                            {239, 239, 239}, {255, 0, 0},     {211, 211, 211}, {255, 253, 229},
                            {183, 183, 183}, {171, 171, 171}, {155, 155, 155}, {143, 143, 143},
                            {127, 127, 127}, {115, 115, 115}, {103, 103, 103}, {87, 87, 87},
                            {75, 75, 75},    {59, 59, 59},    {47, 47, 47},    {35, 35, 35}};

}  // namespace

void DemoForm::LoadPalette(OrvScreen* screen) {
    if (screen == nullptr || screen->GetHandle() == nullptr) {
        return;
    }
    // Count and first pen, three 32-bit components per pen (the level in the top byte), then 0.
    ULONG table[2 + 32 * 3] = {32UL << 16};
    for (int pen = 0; pen < 32; ++pen) {
        for (int c = 0; c < 3; ++c) {
            table[1 + pen * 3 + c] = static_cast<ULONG>(kPens[pen][c]) << 24;
        }
    }
    LoadRGB32(&screen->GetHandle()->ViewPort, table);
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
