#include "Application.h"

#include <dos.h>
#include <exec.h>
#include <gadtools.h>
#include <intuition.h>
#include <keymap.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "Checkable.h"
#include "Child.h"
#include "CommandElement.h"
#include "ElementKind.h"
#include "Form.h"
#include "GadgetValueElement.h"
#include "MenuEntries.h"
#include "Timer.h"
#include "util/Enviroment.h"
#include "util/Log.h"
#include "util/StringUtils.h"

namespace tessella {

Menu* Application::menu = nullptr;
GUIElement* Application::menuBar = nullptr;
uint8_t Application::keyState[256] = {};
GUIElement* Application::GadgetSel = nullptr;
GUIElement* Application::CustomsGadgetSel = nullptr;
int16_t Application::SospendiRefresh = 0;
int16_t& Application::Randomize = Enviroment::Randomize;
int16_t Application::postQuit = 0;
uint64_t Application::eventTime = 0;

namespace {

// The key buffer's size is held in 8 bits: it grows by doubling up to 128 bytes, which holds
// any keymap string.
constexpr uint8_t kMaxKeyBuffer = 128;
constexpr int kTab = 9;

bool Shifted(UWORD qualifier) {
    return (qualifier & (IEQUALIFIER_LSHIFT | IEQUALIFIER_RSHIFT)) != 0;
}

// Where a control lies in its window: reading order goes by its top edge, then its left edge.
tagPOINT WindowPlace(GUIElement* e) {
    const tagPOINT at = e->GetPosition();
    if (auto* child = dynamic_cast<Child*>(e)) {
        return child->GetPositionFromParent(at.x, at.y);
    }
    return at;
}

bool ReadsBefore(tagPOINT a, tagPOINT b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
}

void Command(GUIElement* e) {
    if (CommandElement* c = dynamic_cast<CommandElement*>(e)) {
        c->OnCommand(e);
    }
}

bool IsUserInput(ULONG idcmpClass) {
    switch (idcmpClass) {
        case IDCMP_MOUSEBUTTONS:
        case IDCMP_MOUSEMOVE:
        case IDCMP_GADGETDOWN:
        case IDCMP_GADGETUP:
        case IDCMP_RAWKEY:
        case IDCMP_VANILLAKEY:
        case IDCMP_MENUPICK:
        case IDCMP_INTUITICKS:
            return true;
        default:
            return false;
    }
}

}  // namespace

void Application::Run(Form* mainWindow) {
    std::fill(std::begin(keyState), std::end(keyState), 0);
    short done = 0;
    auto* event = static_cast<InputEvent*>(AllocMem(sizeof(InputEvent), MEMF_CLEAR));
    uint8_t keyBufferSize = 2;
    char* keyBuffer = static_cast<char*>(AllocMem(keyBufferSize, MEMF_CLEAR));
    while (done == 0) {
        // A request to stop the program (a signal, the display lost) is a close that cannot be
        // refused: the loop ends, and the program takes itself down in its usual order.
        if (StopRequested() != 0) {
            break;
        }
        const uint32_t timerMask = ElaboraMessaggiTimer();
        const uint32_t windowMask =
            ElaboraMessaggiWinSec(mainWindow, event, keyBuffer, keyBufferSize);
        Window* win = mainWindow->GetHandle();
        if (win == nullptr) {
            break;  // nothing could ever close a window that is not open: nothing to wait for
        }
        IntuiMessage* msg = GT_GetIMsg(win->UserPort);
        if (msg != nullptr) {
            ElaboraEventi(mainWindow, msg, done, event, keyBuffer, keyBufferSize);
        }
        // A quit may come from a timer as well as from an input, and is answered before the
        // loop sleeps again.
        if (done == 0 && postQuit != 0) {
            postQuit = 0;
            if (mainWindow->OnClosing()) {
                done = 1;
            }
        } else if (msg == nullptr) {
            Wait((1UL << win->UserPort->mp_SigBit) | timerMask | windowMask | SIGBREAKF_CTRL_C);
        }
    }
    if (menu != nullptr) {
        if (mainWindow->GetHandle() != nullptr) {
            ClearMenuStrip(mainWindow->GetHandle());
        }
        FreeMenus(menu);
        menu = nullptr;
        menuBar = nullptr;
    }
    FreeMem(event, sizeof(InputEvent));
    FreeMem(keyBuffer, keyBufferSize);
    CloseWindows();
    mainWindow->OnClose();
}

uint32_t Application::ElaboraMessaggiTimer() {
    uint32_t mask = 0;
    const std::vector<GUIElement*> timers = lstTimer;
    for (GUIElement* e : timers) {
        // A timer removed by an earlier callback of this pass is not visited.
        if (e == nullptr || std::find(lstTimer.begin(), lstTimer.end(), e) == lstTimer.end()) {
            continue;
        }
        if (!IsKind(e, "timer")) {
            Log(e->GetOrvClassName());
            continue;
        }
        Timer* t = static_cast<Timer*>(e);
        if (t->IsStart() != 0) {
            mask |= t->mp_SigBit();
            if (t->GetMSG()) {
                t->OnTimer();
            }
        }
    }
    return mask;
}

uint32_t Application::ElaboraMessaggiWinSec(Form* mainWindow, InputEvent* event, char*& keyBuffer,
                                            uint8_t& keyBufferSize) {
    if (lstForm.size() <= 1) {
        return 0;
    }
    const std::vector<GUIElement*> windows(lstForm.begin() + 1, lstForm.end());
    for (GUIElement* e : windows) {
        if (e == nullptr || std::find(lstForm.begin(), lstForm.end(), e) == lstForm.end() ||
            !e->IsLoad() || e->GetID() == mainWindow->GetID()) {
            continue;
        }
        Form* f = static_cast<Form*>(e);
        while (f->GetHandle() != nullptr) {
            IntuiMessage* msg = GT_GetIMsg(f->GetHandle()->UserPort);
            if (msg == nullptr) {
                break;
            }
            short closeAccepted = 0;
            ElaboraEventi(f, msg, closeAccepted, event, keyBuffer, keyBufferSize);
            if (f->postClose == 0 && closeAccepted == 0) {
                continue;
            }
            if (f->postClose != 0) {
                f->postClose = f->OnClosing() ? 1 : 0;
            }
            GadgetSel = nullptr;
            CustomsGadgetSel = nullptr;
            f->CloseForm();
            f->OnClose();
            break;
        }
    }
    uint32_t mask = 0;
    for (GUIElement* e : lstForm) {
        if (e == nullptr || e == mainWindow || !e->IsLoad()) {
            continue;
        }
        Window* win = static_cast<Form*>(e)->GetHandle();
        if (win != nullptr) {
            mask |= 1UL << win->UserPort->mp_SigBit;
        }
    }
    return mask;
}

void Application::ElaboraEventi(Form* w, IntuiMessage* msg, short& done, InputEvent* event,
                                char*& keyBuffer, uint8_t& keyBufferSize) {
    Randomize = 0;
    if (!w->IsLoad() || !w->GetEnabled()) {
        // A window under a modal dialog: a click beeps (once, on the press), everything else is
        // dropped.
        if (msg->Class == IDCMP_MOUSEBUTTONS && (msg->Code & IECODE_UP_PREFIX) == 0) {
            Enviroment::Beep();
        }
        GT_ReplyIMsg(msg);
        return;
    }
    const tagPOINT p{msg->MouseX, msg->MouseY};
    eventTime = static_cast<uint64_t>(msg->Seconds) * 1000000u + msg->Micros;
    switch (msg->Class) {
        case IDCMP_NEWSIZE:
            w->OnResize();
            break;
        case IDCMP_REFRESHWINDOW:
            GT_BeginRefresh(w->GetHandle());
            GT_EndRefresh(w->GetHandle(), TRUE);
            break;
        case IDCMP_MOUSEBUTTONS:
            MouseButtons(w, msg, p);
            break;
        case IDCMP_MOUSEMOVE:
            MouseMove(w, msg);
            break;
        case IDCMP_GADGETDOWN:
            GadgetDown(w, msg, p);
            break;
        case IDCMP_GADGETUP:
            GadgetUp(w, msg, p);
            break;
        case IDCMP_MENUPICK:
            MenuPick(msg);
            break;
        case IDCMP_CLOSEWINDOW:
            if (w->OnClosing()) {
                done = 1;
            }
            break;
        case IDCMP_RAWKEY:
            RawKey(w, msg, event, keyBuffer, keyBufferSize);
            break;
        case IDCMP_ACTIVEWINDOW:
            w->OnActivate();
            break;
        case IDCMP_INACTIVEWINDOW:
            w->OnDeactivate();
            break;
        default:
            Log("evento non gestito " + StringUtils::IntToStr(static_cast<int64_t>(msg->Class)));
            break;
    }
    eventTime = 0;
    GT_ReplyIMsg(msg);
}

void Application::ReleaseTextGadget() {
    if (GadgetSel != nullptr && GadgetSel->IsTabStop() != 0) {
        GadgetSel->OnLeave();
        GadgetSel = nullptr;
    }
}

void Application::ReleaseCustomFocus() {
    if (CustomsGadgetSel != nullptr) {
        CustomsGadgetSel->OnLeave();
        CustomsGadgetSel = nullptr;
    }
}

void Application::ClickOnChild(Form* w, tagPOINT p, bool down) {
    GUIElement* hit = GetChildrenHit(w->GetID(), p);
    if (hit == nullptr) {
        ReleaseCustomFocus();
    } else {
        if (CustomsGadgetSel == nullptr) {
            hit->OnFocus();
        } else if (CustomsGadgetSel->GetID() != hit->GetID()) {
            CustomsGadgetSel->OnLeave();
            hit->OnFocus();
        } else if (!down) {
            hit->OnLeftMouseUP(p);
        }
        if (down) {
            hit->OnLeftMouseDOWN(p);
        }
        CustomsGadgetSel = hit;
    }
    if (down) {
        w->OnLeftMouseDOWN(p);
    } else {
        w->OnLeftMouseUP(p);
    }
}

void Application::MouseButtons(Form* w, IntuiMessage* msg, tagPOINT p) {
    switch (msg->Code) {
        case MENUDOWN:
            ReleaseTextGadget();
            w->OnRightMouseDOWN(p);
            break;
        case MENUUP:
            ReleaseTextGadget();
            w->OnRightMouseUP(p);
            break;
        case SELECTDOWN:
            ReleaseTextGadget();
            if (GadgetSel != nullptr && GadgetSel->IsTabStop() == 0) {
                GadgetSel->OnLeftMouseDOWN(p);
                w->OnLeftMouseDOWN(p);
            } else if (CustomsGadgetSel != nullptr && CustomsGadgetSel->Hit(p) &&
                       ParentOf(CustomsGadgetSel) == w) {
                CustomsGadgetSel->OnLeftMouseDOWN(p);
                w->OnLeftMouseDOWN(p);
            } else {
                ClickOnChild(w, p, true);
            }
            break;
        case SELECTUP:
            ReleaseTextGadget();
            if (GadgetSel != nullptr && GadgetSel->IsTabStop() == 0) {
                GadgetSel->OnLeftMouseUP(p);
                GadgetSel = nullptr;
                w->OnLeftMouseUP(p);
            } else if (CustomsGadgetSel != nullptr && CustomsGadgetSel->Hit(p) &&
                       ParentOf(CustomsGadgetSel) == w) {
                CustomsGadgetSel->OnLeftMouseUP(p);
                w->OnLeftMouseUP(p);
            } else {
                ClickOnChild(w, p, false);
            }
            break;
        default:
            break;
    }
}

void Application::MouseMove(Form* w, IntuiMessage* msg) {
    const Gadget* g = static_cast<const Gadget*>(msg->IAddress);
    GUIElement* e = g != nullptr && g->GadgetID != 0 ? GetElementByID(g->GadgetID) : nullptr;
    if (e != nullptr) {
        if (IsKind(e, "scrollbar")) {
            if (auto* v = dynamic_cast<GadgetValueElement*>(e)) {
                v->OnScroll(msg->Code);
            }
        }
        e->OnMouseMove(0, 0);
    }
    w->OnMouseMove(0, 0);
}

void Application::LeaveGadgetOtherThan(int32_t id) {
    if (GadgetSel != nullptr && GadgetSel->GetID() != id && GadgetSel->IsTabStop() != 0) {
        GadgetSel->OnLeave();
        GadgetSel = nullptr;
    }
}

void Application::GadgetDown(Form* w, IntuiMessage* msg, tagPOINT p) {
    const int32_t id = static_cast<const Gadget*>(msg->IAddress)->GadgetID;
    LeaveGadgetOtherThan(id);
    ReleaseCustomFocus();
    GadgetSel = GetElementByID(id);
    if (GadgetSel == nullptr) {
        return;
    }
    if (GadgetSel->IsTabStop() != 0) {
        GadgetSel->OnFocus();
        return;
    }
    const bool radio = IsKind(GadgetSel, "optionbox");
    if (radio) {
        Command(GadgetSel);
    }
    if (w->GetHandle() != nullptr && GadgetSel != nullptr) {
        GadgetSel->OnLeftMouseDOWN(p);
        w->OnLeftMouseDOWN(p);
    }
    // A radio button is done with its press and reports no release: kept as the selected
    // gadget, it would swallow the next click meant for another control.
    if (radio) {
        GadgetSel = nullptr;
    }
}

void Application::GadgetUp(Form* w, IntuiMessage* msg, tagPOINT p) {
    const int32_t id = static_cast<const Gadget*>(msg->IAddress)->GadgetID;
    LeaveGadgetOtherThan(id);
    ReleaseCustomFocus();
    GadgetSel = GetElementByID(id);
    if (GadgetSel == nullptr) {
        Log("non trovato!");
        return;
    }
    bool handled = true;
    if (IsKind(GadgetSel, "button") || IsKind(GadgetSel, "checkbox") ||
        IsKind(GadgetSel, "combobox") || IsKind(GadgetSel, "listbox")) {
        Command(GadgetSel);
    } else if (IsKind(GadgetSel, "scrollbar")) {
        if (auto* v = dynamic_cast<GadgetValueElement*>(GadgetSel)) {
            v->OnScroll(msg->Code);
        }
    } else if (IsKind(GadgetSel, "slider")) {
        if (auto* v = dynamic_cast<GadgetValueElement*>(GadgetSel)) {
            v->OnChangeValue();
        }
    } else {
        handled = false;
    }
    if (handled && w->GetHandle() != nullptr) {
        w->OnLeftMouseDOWN(p);
        w->OnLeftMouseUP(p);
    }
    GUIElement* left = GadgetSel;
    GadgetSel = nullptr;
    // A text field ends its editing on Tab and reports it in the code: the keyboard moves on.
    if (msg->Code == kTab && left != nullptr && IsKind(left, "textbox")) {
        MoveFocus(w, left, Shifted(msg->Qualifier));
    }
}

void Application::MenuPick(IntuiMessage* msg) {
    ReleaseTextGadget();
    ReleaseCustomFocus();
    UWORD code = msg->Code;
    while (code != MENUNULL) {
        MenuItem* item = ItemAddress(menu, code);
        if (item == nullptr) {
            break;
        }
        // Read before any command runs: checking an entry rebuilds the strip.
        const UWORD next = item->NextSelect;
        const UWORD flags = item->Flags;
        auto* bar = dynamic_cast<MenuEntries*>(menuBar);
        if (bar == nullptr) {
            code = next;
            continue;
        }
        auto* menuElement = dynamic_cast<MenuEntries*>(bar->at(MENUNUM(code)));
        GUIElement* entry = menuElement != nullptr ? menuElement->at(ITEMNUM(code)) : nullptr;
        if (entry == nullptr) {
            break;
        }
        auto* entryMenu = dynamic_cast<MenuEntries*>(entry);
        GUIElement* sub = entryMenu != nullptr ? entryMenu->at(SUBNUM(code)) : nullptr;
        GUIElement* target = sub != nullptr ? sub : entry;
        if ((flags & CHECKIT) != 0) {
            if (auto* c = dynamic_cast<Checkable*>(target)) {
                c->SetChecked((flags & CHECKED) != 0 ? 1 : 0);
            }
        }
        Command(target);
        code = next;
    }
}

void Application::RawKey(Form* w, IntuiMessage* msg, InputEvent* event, char*& keyBuffer,
                         uint8_t& keyBufferSize) {
    if (GadgetSel != nullptr) {
        GadgetSel->OnLeave();
        GadgetSel = nullptr;
    }
    const int key = msg->Code & 127;
    const bool up = (msg->Code & 128) != 0;
    event->ie_Class = IECLASS_RAWKEY;
    event->ie_Code = msg->Code;
    event->ie_Qualifier = msg->Qualifier;
    event->ie_EventAddress = msg->IAddress;
    WORD n = MapRawKey(event, keyBuffer, keyBufferSize, nullptr);
    while (n == -1 && keyBufferSize < kMaxKeyBuffer) {
        FreeMem(keyBuffer, keyBufferSize);
        keyBufferSize = static_cast<uint8_t>(keyBufferSize * 2);
        keyBuffer = static_cast<char*>(AllocMem(keyBufferSize, MEMF_CLEAR));
        n = MapRawKey(event, keyBuffer, keyBufferSize, nullptr);
    }
    const bool single = n == 1 && keyBuffer[0] != 0;
    // Only the window's own control takes its keys: one focused in a window behind a dialog
    // must not be typed into, nor pressed, from the dialog.
    GUIElement* focus = FocusIn(w);
    if (!up) {
        if (focus != nullptr) {
            focus->OnKeyDOWN(key);
        }
        keyState[key] = 1;
        w->OnKeyDOWN(key);
    } else {
        if (focus != nullptr) {
            focus->OnKeyUP(key);
        }
        keyState[key] = 0;
        w->OnKeyUP(key);
    }
    if (!single) {
        return;
    }
    const int ch = static_cast<uint8_t>(keyBuffer[0]);
    if (ch == kTab) {
        // Tab moves the keyboard through the window's controls; no control edits it.
        MoveFocus(w, focus, Shifted(msg->Qualifier));
        return;
    }
    // The key may have moved the focus or closed a window: the control is looked up again.
    focus = FocusIn(w);
    if (focus != nullptr) {
        focus->OnKeyPress(ch);
    }
    w->OnKeyPress(ch);
}

GUIElement* Application::FocusIn(Form* w) {
    if (CustomsGadgetSel == nullptr || w == nullptr || GetForm(CustomsGadgetSel) != w) {
        return nullptr;
    }
    return CustomsGadgetSel;
}

bool Application::MoveFocus(Form* w, GUIElement* from, bool backward) {
    if (w == nullptr || !w->IsLoad()) {
        return false;
    }
    std::vector<GUIElement*> stops;
    for (GUIElement* e : GetChildren(w->GetID())) {
        if (e->TakesFocus() && e->IsLoad() && e->IsVisible() && e->GetEnabled()) {
            stops.push_back(e);
        }
    }
    if (stops.empty()) {
        return false;
    }
    std::stable_sort(stops.begin(), stops.end(), [](GUIElement* a, GUIElement* b) {
        return ReadsBefore(WindowPlace(a), WindowPlace(b));
    });
    const size_t n = stops.size();
    size_t next = backward ? n - 1 : 0;
    const auto at = std::find(stops.begin(), stops.end(), from);
    if (at != stops.end()) {
        const size_t i = static_cast<size_t>(at - stops.begin());
        next = backward ? (i + n - 1) % n : (i + 1) % n;
    } else if (from != nullptr) {
        // A control that no longer takes the keyboard (hidden, disabled) still has its place.
        const tagPOINT place = WindowPlace(from);
        if (backward) {
            for (size_t i = 0; i < n; ++i) {
                if (ReadsBefore(WindowPlace(stops[i]), place)) {
                    next = i;
                }
            }
        } else {
            for (size_t i = n; i-- > 0;) {
                if (ReadsBefore(place, WindowPlace(stops[i]))) {
                    next = i;
                }
            }
        }
    }
    GUIElement* to = stops[next];
    if (CustomsGadgetSel != nullptr && CustomsGadgetSel != to) {
        ReleaseCustomFocus();
    }
    if (GadgetSel != nullptr && GadgetSel != to) {
        GadgetSel->OnLeave();
        GadgetSel = nullptr;
    }
    to->Focus();
    return true;
}

bool Application::ReadsMessagesOf(const Window* window) {
    return window != nullptr && window->UserPort != nullptr &&
           window->UserPort->mp_SigTask == FindTask(nullptr);
}

void Application::CancellaBuffer(Window* window) {
    // Only the task that reads a port may empty it: another task's drain would take messages
    // that task's loop has not seen yet, a close request among them.
    if (!ReadsMessagesOf(window)) {
        return;
    }
    // What a box makes stale is the input meant for it: clicks, keys, gadgets and menus. A close
    // request or a change of activation still stands, in its order.
    std::vector<IntuiMessage*> kept;
    while (IntuiMessage* msg = GT_GetIMsg(window->UserPort)) {
        if (IsUserInput(msg->Class)) {
            GT_ReplyIMsg(msg);
        } else {
            kept.push_back(msg);
        }
    }
    for (IntuiMessage* msg : kept) {
        PutMsg(window->UserPort, &msg->ExecMessage);
    }
}

int16_t Application::GetKeyState(int16_t rawKey) {
    if (rawKey < 0 || rawKey > 255) {
        return 0;
    }
    return keyState[rawKey] != 0 ? -1 : 0;
}

void Application::Log(const char* text) {
    Log(std::string(text != nullptr ? text : ""));
}

void Application::Log(const std::string& text) {
    tessella::Log::Write(text);
}

void Application::SetLogFile(std::string path) {
    tessella::Log::SetFile(std::move(path));
}

std::string Application::GetLogFile() {
    return tessella::Log::File();
}

}  // namespace tessella
