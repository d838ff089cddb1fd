#include "Form.h"

#include <gadtools.h>
#include <graphics.h>
#include <intuition.h>

#include <algorithm>
#include <vector>

#include "Application.h"
#include "OrvScreen.h"

namespace tessella {

namespace {

constexpr ULONG kWindowIDCMP = IDCMP_NEWSIZE | IDCMP_REFRESHWINDOW | IDCMP_MOUSEBUTTONS |
                               IDCMP_MOUSEMOVE | IDCMP_GADGETDOWN | IDCMP_GADGETUP |
                               IDCMP_CLOSEWINDOW | IDCMP_RAWKEY | IDCMP_DISKINSERTED |
                               IDCMP_ACTIVEWINDOW | IDCMP_INACTIVEWINDOW;

void AddTag(std::vector<TagItem>& tags, Tag tag, IPTR data) {
    tags.push_back({tag, data});
}

}  // namespace

Form::Form(unsigned long inst, bool dialog) : GUIElement(inst), isDialog(dialog) {
    className = "form";
    backgroundColor = 0;
    Application::AddWindow(this);
}

Form::~Form() {
    Application::RemoveWinForm(this);
    CloseForm();
}

tagPOINT Form::GetPosition() const {
    if (loaded && window != nullptr) {
        return {window->LeftEdge, window->TopEdge};
    }
    return position;
}

void Form::SetBackgroundColor(unsigned long color) {
    backgroundColor = color;
    if (loaded) {
        Refresh();
    }
}

void Form::Focus() {
    if (loaded && window != nullptr) {
        ActivateWindow(window);
    }
    GUIElement::Focus();
}

void Form::SetCursorWait(bool b) {
    if (loaded) {
        GUIElement::SetCursorWait(b);
    }
}

void Form::SetEnabled(bool enable) {
    GUIElement::SetEnabled(enable);
    ApplyBlock();
}

void Form::ApplyBlock() {
    const bool wanted = window != nullptr && !enabled;
    if (wanted == blocking) {
        return;
    }
    if (wanted) {
        InitRequester(&blocker);
        blocking = Request(&blocker, window) != FALSE;
    } else {
        EndRequest(&blocker, blocker.RWindow);
        blocking = false;
    }
}

void* Form::GetHWND() {
    return window;
}

void Form::SetTitle(std::string s) {
    SetText(std::move(s));
    if (loaded && window != nullptr) {
        SetWindowTitles(window, text.c_str(), text.c_str());
    }
}

Window* Form::OpenPlatformWindow() {
    std::vector<TagItem> tags;
    Screen* publicScreen = nullptr;
    const bool onScreen = screen != nullptr && screen->GetHandle() != nullptr;
    ULONG idcmp = kWindowIDCMP;
    if (!(onScreen && isDialog)) {
        idcmp |= IDCMP_MENUPICK;
    }
    if (onScreen && !isDialog) {
        // The main window: a borderless backdrop covering the configured screen area.
        Screen* s = screen->GetHandle();
        const int left = std::max(0, (s->Width - screen->GetWidth()) / 2);
        const int top = std::max(0, (s->Height - screen->GetHeight()) / 2);
        position = {left, top};
        AddTag(tags, WA_Left, left);
        AddTag(tags, WA_Top, top);
        AddTag(tags, WA_Width, static_cast<IPTR>(screen->GetWidth()));
        AddTag(tags, WA_Height, static_cast<IPTR>(screen->GetHeight()));
        AddTag(tags, WA_CustomScreen, reinterpret_cast<IPTR>(s));
        AddTag(tags, WA_Backdrop, TRUE);
        AddTag(tags, WA_ReportMouse, TRUE);
        AddTag(tags, WA_Borderless, TRUE);
        // It opens with the input, so that its menus and command keys work before any click.
        AddTag(tags, WA_Activate, TRUE);
    } else {
        AddTag(tags, WA_Left, static_cast<IPTR>(position.x));
        AddTag(tags, WA_Top, static_cast<IPTR>(position.y));
        AddTag(tags, WA_InnerWidth, static_cast<IPTR>(size.cx));
        AddTag(tags, WA_InnerHeight, static_cast<IPTR>(size.cy));
        AddTag(tags, WA_MinWidth, 50);
        AddTag(tags, WA_MinHeight, 50);
        AddTag(tags, WA_AutoAdjust, TRUE);
        AddTag(tags, WA_Title, reinterpret_cast<IPTR>(text.c_str()));
        AddTag(tags, WA_ReportMouse, TRUE);
        AddTag(tags, WA_CloseGadget, TRUE);
        AddTag(tags, WA_DragBar, TRUE);
        AddTag(tags, WA_Activate, TRUE);
        if (onScreen) {
            AddTag(tags, WA_CustomScreen, reinterpret_cast<IPTR>(screen->GetHandle()));
            AddTag(tags, WA_DepthGadget, TRUE);
        } else {
            publicScreen = LockPubScreen(nullptr);
            AddTag(tags, WA_PubScreen, reinterpret_cast<IPTR>(publicScreen));
            if (!isDialog) {
                AddTag(tags, WA_SizeGadget, TRUE);
            }
            if (boxMaximize || boxMinimize) {
                AddTag(tags, WA_DepthGadget, TRUE);
            }
        }
    }
    AddTag(tags, WA_Gadgets, reinterpret_cast<IPTR>(gadgetList));
    AddTag(tags, WA_IDCMP, idcmp);
    AddTag(tags, TAG_DONE, 0);
    Window* opened = OpenWindowTagList(nullptr, tags.data());
    if (publicScreen != nullptr) {
        UnlockPubScreen(nullptr, publicScreen);
    }
    return opened;
}

void Form::Load() {
    if (loaded) {
        return;
    }
    if (CreateContext(&gadgetList) == nullptr) {
        gadgetList = nullptr;
    }
    if (GlobalScreen == nullptr) {
        if (screen != nullptr && screen->GetHandle() != nullptr) {
            GlobalScreen = screen->GetHandle();
        } else {
            GlobalScreen = LockPubScreen(nullptr);
            UnlockPubScreen(nullptr, GlobalScreen);
        }
        GlobalVisualInfo = GetVisualInfoA(GlobalScreen, nullptr);
    }
    window = OpenPlatformWindow();
    if (window == nullptr) {
        Application::Log("Errore creazione Form ");
        if (gadgetList != nullptr) {
            FreeGadgets(gadgetList);
            gadgetList = nullptr;
        }
        return;
    }
    ApplyBlock();  // disabled before it opened
    LoadElementBase();
    Application::SospendiRefresh = 1;
    OnCreateChildren(handle);
    loaded = true;
    Application::SospendiRefresh = 0;
    Refresh();
    OnLoad();
    visible = true;
}

void Form::CloseForm() {
    loaded = false;
    if (blocking) {
        EndRequest(&blocker, window);
        blocking = false;
    }
    if (window != nullptr) {
        Log("Form::CloseForm() CloseWindow inizio");
        CloseWindow(window);
        window = nullptr;
        Log("Form::CloseForm() CloseWindow fine");
    }
    if (gadgetList != nullptr) {
        Log("Form::CloseForm() FreeGadgets inizio");
        FreeGadgets(gadgetList);
        gadgetList = nullptr;
        Log("Form::CloseForm() FreeGadgets fine");
    }
}

void Form::OnPaint() {
    for (GUIElement* child : Application::GetChildren(id)) {
        if (child->IsRenderControl() != 0 && child->IsVisible()) {
            child->OnPaint();
        }
    }
}

void Form::_SpecializedRefresh() {
    if (Application::SospendiRefresh != 0 || window == nullptr) {
        return;
    }
    // Clearing fills with the background pen in JAM2 (pen 0 otherwise): both pens take the
    // window's colour for the clear, and the rastport's own pens and mode come back afterwards.
    RastPort* rp = window->RPort;
    const ULONG colour = backgroundColor == ~0UL ? 0 : static_cast<ULONG>(backgroundColor);
    const ULONG oldBPen = GetBPen(rp);
    const ULONG oldMode = GetDrMd(rp);
    SetAPen(rp, colour);
    SetBPen(rp, colour);
    SetDrMd(rp, JAM2);
    Move(rp, 0, 0);
    ClearScreen(rp);
    SetBPen(rp, oldBPen);
    SetDrMd(rp, oldMode);
    OnPaint();
    GT_RefreshWindow(window, nullptr);
    RefreshWindowFrame(window);
}

void Form::SetClientArea(int w, int h, bool move) {
    if (!loaded) {
        return;
    }
    if (move) {
        const tagPOINT at = GetPosition();
        SetLocation(at.x, at.y);
    }
    SetSize(w, h);
}

void Form::CenterForm() {
    const tagSIZE s = GetSize();
    const int screenWidth = screen != nullptr ? screen->GetWidth() : OrvScreen::Width();
    const int screenHeight = screen != nullptr ? screen->GetHeight() : OrvScreen::Height();
    SetPosition((screenWidth - s.cx) / 2, (screenHeight - s.cy) / 2);
}

void Form::Maximizes() {
    if (!loaded) {
        Load();
    }
    if (window != nullptr) {
        ZipWindow(window);
    }
    visible = true;
}

void Form::Minimize() {
    Maximizes();
}

void Form::SetCursorCustom(unsigned short* data, int a, int b) {
    if (loaded && window != nullptr) {
        SetPointer(window, data, a, b, 0, 0);
        SetCursorHand(true);
    }
}

void Form::ClearCursorCustom() {
    if (loaded && window != nullptr) {
        ClearPointer(window);
        SetCursorHand(false);
    }
}

void Form::AddAGList(Gadget* g) {
    if (gadgetList == nullptr) {
        return;
    }
    Gadget* last = gadgetList;
    while (last->NextGadget != nullptr) {
        last = last->NextGadget;
    }
    last->NextGadget = g;
}

void Form::RemoveDaGList(Gadget* g) {
    for (Gadget* prev = gadgetList; prev != nullptr; prev = prev->NextGadget) {
        if (prev->NextGadget == g) {
            prev->NextGadget = g->NextGadget;
            return;
        }
    }
}

void Form::_SpecializedMove() {
    if (window != nullptr) {
        ChangeWindowBox(window, position.x, position.y, window->Width, window->Height);
    }
}

void Form::_SpecializedResize() {
    if (window != nullptr) {
        ChangeWindowBox(window, window->LeftEdge, window->TopEdge,
                        size.cx + window->BorderLeft + window->BorderRight,
                        size.cy + window->BorderTop + window->BorderBottom);
    }
}

void Form::_SpecializedMoveFront() {
    if (window != nullptr) {
        WindowToFront(window);
    }
}

void Form::_SpecializedMoveBottom() {
    if (window != nullptr) {
        WindowToBack(window);
    }
}

void Form::_SpecializedMoveOver(GUIElement* other) {
    if (window != nullptr && other->GetOrvClassName() == "form") {
        auto* otherWindow = static_cast<Window*>(other->GetHWND());
        if (otherWindow != nullptr) {
            MoveWindowInFrontOf(window, otherWindow);
        }
    }
}

void Form::_SpecializedSetFont() {
    if (window == nullptr) {
        return;
    }
    if (TextFont* f = font.FontOpen()) {
        SetFont(window->RPort, f);
    }
}

}  // namespace tessella
