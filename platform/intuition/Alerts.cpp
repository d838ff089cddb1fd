// DisplayAlert: a box across the top of the screen, run on the calling task, which alone waits
// for the answer.
#include <dos.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "IntuitionState.h"
#include "SysRequest.h"
#include "platform/graphics/GadgetLook.h"

using namespace tessella::intuition;
namespace look = tessella::graphics::look;

namespace {

Window* OpenAlertWindow(Screen* screen, UWORD height) {
    const int boxHeight = std::clamp<int>(height, 24, screen->Height);
    return OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, 0, WA_Top, 0, WA_Width,
                          screen->Width, WA_Height, boxHeight, WA_Flags,
                          WFLG_BORDERLESS | WFLG_ACTIVATE | WFLG_RMBTRAP, WA_IDCMP,
                          IDCMP_MOUSEBUTTONS);
}

// A dark box framed in the light pen; each line at its own position, y its baseline. Returns
// the lines' text, one to a line.
std::string DrawAlert(Window* w, TextFont* font, CONST_STRPTR string, int screenWidth) {
    std::string shown;
    RastPort* rp = w->RPort;
    LockLayerRom(rp->Layer);
    look::Fill(rp, 0, 0, w->Width, w->Height, 1);
    for (int i = 0; i < 4; ++i) {
        look::Fill(rp, i, i, w->Width - 2 * i, 1, 2);
        look::Fill(rp, i, w->Height - 1 - i, w->Width - 2 * i, 1, 2);
        look::Fill(rp, i, i, 1, w->Height - 2 * i, 2);
        look::Fill(rp, w->Width - 1 - i, i, 1, w->Height - 2 * i, 2);
    }
    SetFont(rp, font);
    SetAPen(rp, 2);
    SetDrMd(rp, JAM1);
    const auto* p = reinterpret_cast<const UBYTE*>(string);
    // A line cannot run past its terminating zero; a missing one ends the text after a screen
    // width of characters.
    const size_t most = static_cast<size_t>(screenWidth);
    for (bool more = p != nullptr; more;) {
        const int x = (p[0] << 8) | p[1];
        const int y = p[2];
        const char* text = reinterpret_cast<const char*>(p + 3);
        const size_t length = strnlen(text, most);
        Move(rp, static_cast<WORD>(x), static_cast<WORD>(y));
        Text(rp, text, static_cast<ULONG>(length));
        if (!shown.empty()) {
            shown += '\n';
        }
        shown.append(text, length);
        more = length < most && p[3 + length + 1] != 0;
        p += 3 + length + 2;
    }
    UnlockLayerRom(rp->Layer);
    return shown;
}

// TRUE for a click of the left button, FALSE for the right one or when the program is asked to
// stop (the alert is then left unanswered).
BOOL WaitAlertAnswer(Window* w) {
    BOOL answer = FALSE;
    bool answered = false;
    while (!answered) {
        if (!WaitRequesterInput(w)) {
            break;
        }
        while (IntuiMessage* m = GT_GetIMsg(w->UserPort)) {
            if (m->Class == IDCMP_MOUSEBUTTONS && (m->Code == SELECTUP || m->Code == MENUUP)) {
                answer = m->Code == SELECTUP ? TRUE : FALSE;
                answered = true;
            }
            GT_ReplyIMsg(m);
        }
    }
    return answer;
}

}  // namespace

BOOL DisplayAlert(ULONG alertNumber, CONST_STRPTR string, UWORD height) {
    Screen* screen = LockPubScreen(nullptr);
    if (screen == nullptr) {
        return FALSE;
    }
    Window* previouslyActive = ActiveWindowNow();
    TextAttr topaz{"topaz.font", 8, FS_NORMAL, FPF_ROMFONT};
    TextFont* font = OpenFont(&topaz);
    Window* w = OpenAlertWindow(screen, height);
    if (w == nullptr || font == nullptr) {
        if (w != nullptr) {
            CloseWindow(w);
        }
        CloseFont(font);
        UnlockPubScreen(nullptr, screen);
        return FALSE;
    }
    SysRequest request;
    request.kind = SysRequest::Kind::Alert;
    request.window = w;
    request.text = DrawAlert(w, font, string, screen->Width);
    // Like the alert of a real machine, it answers a click anywhere on the display.
    CaptureButtons(w);
    ShowRequest(&request);
    const BOOL answer = WaitAlertAnswer(w);
    HideRequest(&request);
    CaptureButtons(nullptr);
    CloseWindow(w);
    if (previouslyActive != nullptr) {
        ActivateWindow(previouslyActive);  // the input goes back where it was
    }
    CloseFont(font);
    UnlockPubScreen(nullptr, screen);
    // A dead-end alert cannot be recovered from, whatever the answer.
    return (alertNumber & DEADEND_ALERT) ? FALSE : answer;
}
