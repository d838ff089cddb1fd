// A small program on the platform alone: a screen with a backdrop and one dialog window, shown
// in a desktop window when there is a display. A click on the bell beeps; typed or pasted keys
// appear in the window as MapRawKey reads them, and so do the names of files dropped on it;
// every message is also written to standard output, so that a script can follow what arrived.
// It ends when its window is closed, from the close gadget or the desktop's close button, and
// at once (status 1) when there is no desktop to show it on.
//
//   tessella-window-demo [--snapshot FILE]   (FILE: the screen as composed, after each message)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dos.h"
#include "graphics.h"
#include "intuition.h"
#include "keymap.h"
#include "platform_test.h"
#include "workbench.h"

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kRampFirst = 32;  // pens 32..255: a wheel of hues for the backdrop
constexpr int kRampPens = 224;
constexpr UBYTE kBellPen = 4;
constexpr UBYTE kTextPen = 1;
constexpr UBYTE kPaperPen = 5;

ULONG Channel(double level) {
    return static_cast<ULONG>(std::lround(std::clamp(level, 0.0, 1.0) * 255)) * 0x01010101UL;
}

void LoadPalette(Screen* screen) {
    std::vector<ULONG> table{256UL << 16};
    const auto add = [&](double r, double g, double b) {
        table.push_back(Channel(r));
        table.push_back(Channel(g));
        table.push_back(Channel(b));
    };
    add(0.67, 0.67, 0.67);  // 0 background grey
    add(0.0, 0.0, 0.0);     // 1 black
    add(1.0, 1.0, 1.0);     // 2 white
    add(0.40, 0.53, 0.73);  // 3 blue of the active title bar
    add(0.95, 0.75, 0.20);  // 4 the bell
    add(0.97, 0.96, 0.90);  // 5 paper
    for (int pen = 6; pen < kRampFirst; ++pen) {
        switch (pen) {
            case 17:  // the pointer's colours
                add(0.80, 0.10, 0.10);
                break;
            case 18:
                add(0.0, 0.0, 0.0);
                break;
            case 19:
                add(1.0, 1.0, 1.0);
                break;
            default:
                add(0.5, 0.5, 0.5);
        }
    }
    for (int i = 0; i < kRampPens; ++i) {
        const double h = 6.0 * i / kRampPens;
        const auto part = [&](double offset) {
            const double d = std::fabs(std::fmod(h + offset, 6.0) - 3.0);
            return 0.35 + 0.45 * std::clamp(d - 1.0, 0.0, 1.0);
        };
        add(part(0), part(4), part(2));
    }
    table.push_back(0);
    LoadRGB32(&screen->ViewPort, table.data());
}

void PaintBackdrop(Window* w) {
    RastPort* rp = w->RPort;
    for (int x = 0; x < w->Width; ++x) {
        SetAPen(rp, kRampFirst + x * kRampPens / w->Width);
        RectFill(rp, x, 0, x, w->Height - 1);
    }
}

// The dialog's own pointer, a cross: red arms (colour 1) edged in white (colour 3).
UWORD crossPointer[2 + 2 * 11 + 2] = {0,      0,       // control words
                                      0x0E00, 0x0E00,  // row 0: plane 0, plane 1
                                      0x0E00, 0x0A00, 0x0E00, 0x0A00, 0x0E00, 0x0A00,  // rows 1..3
                                      0xFFE0, 0xFBE0, 0xFFE0, 0x8020, 0xFFE0, 0xFBE0,  // rows 4..6
                                      0x0E00, 0x0A00, 0x0E00, 0x0A00, 0x0E00, 0x0A00,  // rows 7..9
                                      0x0E00, 0x0E00,                                  // row 10
                                      0,      0};

struct Dialog {
    Window* window = nullptr;
    TextFont* font = nullptr;
    std::string typed;

    int Left() const { return window->BorderLeft; }
    int Top() const { return window->BorderTop; }
    // The bell, in window coordinates.
    int BellLeft() const { return Left() + 20; }
    int BellTop() const { return Top() + 110; }
    static constexpr int kBellWidth = 150;
    static constexpr int kBellHeight = 30;

    bool OnBell(int x, int y) const {
        return x >= BellLeft() && x < BellLeft() + kBellWidth && y >= BellTop() &&
               y < BellTop() + kBellHeight;
    }

    void Line(int x, int y, const std::string& text) const {
        Move(window->RPort, static_cast<WORD>(x), static_cast<WORD>(y + font->tf_Baseline));
        Text(window->RPort, text.c_str(), static_cast<ULONG>(text.size()));
    }

    void Paint() const {
        RastPort* rp = window->RPort;
        LockLayerRom(rp->Layer);
        SetFont(rp, font);
        SetDrMd(rp, JAM1);
        SetAPen(rp, kPaperPen);
        RectFill(rp, Left(), Top(), window->Width - window->BorderRight - 1,
                 window->Height - window->BorderBottom - 1);
        SetAPen(rp, kTextPen);
        Line(Left() + 20, Top() + 16, "Tessella Cross Edition");
        Line(Left() + 20, Top() + 40, "The platform layer, in a desktop window.");
        Line(Left() + 20, Top() + 60, "Click the bell, type some keys, then close");
        Line(Left() + 20, Top() + 76, "the window to end.");
        SetAPen(rp, kBellPen);
        RectFill(rp, BellLeft(), BellTop(), BellLeft() + kBellWidth - 1,
                 BellTop() + kBellHeight - 1);
        SetAPen(rp, kTextPen);
        Move(rp, static_cast<WORD>(BellLeft()), static_cast<WORD>(BellTop()));
        Draw(rp, BellLeft() + kBellWidth - 1, BellTop());
        Draw(rp, BellLeft() + kBellWidth - 1, BellTop() + kBellHeight - 1);
        Draw(rp, BellLeft(), BellTop() + kBellHeight - 1);
        Draw(rp, BellLeft(), BellTop());
        Line(BellLeft() + 44, BellTop() + 8, "Beep");
        Line(Left() + 20, Top() + 170, "Typed: " + typed);
        UnlockLayerRom(rp->Layer);
    }
};

// Written aside and renamed, so that a reader never sees half a file.
void Snapshot(const char* path) {
    if (path == nullptr) {
        return;
    }
    const std::string partial = std::string(path) + ".part";
    if (PlatformTest::SaveScreenPNG(partial.c_str())) {
        std::rename(partial.c_str(), path);
    }
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char digits[4];
    for (const char c : bytes) {
        std::snprintf(digits, sizeof(digits), "%02x", static_cast<unsigned char>(c));
        out += digits;
    }
    return out;
}

// Returns false when the program should end.
bool Handle(Dialog& dialog, Screen* screen, const IntuiMessage& m) {
    switch (m.Class) {
        case IDCMP_CLOSEWINDOW:
            std::printf("CLOSEWINDOW\n");
            return false;
        case IDCMP_MOUSEBUTTONS:
            std::printf("MOUSEBUTTONS code=0x%02x x=%d y=%d\n", m.Code, m.MouseX, m.MouseY);
            if (m.Code == SELECTUP && dialog.OnBell(m.MouseX, m.MouseY)) {
                DisplayBeep(screen);
            }
            return true;
        case IDCMP_RAWKEY: {
            InputEvent ie{};
            ie.ie_Class = IECLASS_RAWKEY;
            ie.ie_Code = m.Code;
            ie.ie_Qualifier = m.Qualifier;
            ie.ie_EventAddress = m.IAddress;
            char buffer[16];
            const WORD n = MapRawKey(&ie, buffer, sizeof(buffer), nullptr);
            const std::string text(buffer, n > 0 ? static_cast<size_t>(n) : 0);
            std::printf("RAWKEY code=0x%02x qualifier=0x%04x text=%s\n", m.Code, m.Qualifier,
                        Hex(text).c_str());
            if (!text.empty() && static_cast<unsigned char>(text[0]) >= 0x20 &&
                static_cast<unsigned char>(text[0]) != 0x7F &&
                static_cast<unsigned char>(text[0]) != 0x9B) {
                dialog.typed = (dialog.typed + text).substr(dialog.typed.size() > 30 ? 1 : 0);
                dialog.Paint();
            }
            return true;
        }
        default:
            return true;
    }
}

const char* SnapshotPath(int argc, char** argv) {
    const char* snapshot = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--snapshot") == 0 && i + 1 < argc) {
            snapshot = argv[++i];
        }
    }
    return snapshot;
}

Window* OpenBackdrop(Screen* screen) {
    return OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, 0, WA_Top, screen->BarHeight,
                          WA_Width, kScreenWidth, WA_Height, kScreenHeight - screen->BarHeight,
                          WA_Flags, WFLG_BACKDROP | WFLG_BORDERLESS, WA_IDCMP, 0);
}

// The dialog's font and window; false unless both opened.
bool OpenDialog(Dialog& dialog, Screen* screen) {
    TextAttr attr{"helvetica.font", 13, FS_NORMAL, FPF_DISKFONT};
    dialog.font = OpenFont(&attr);
    dialog.window =
        OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, 200, WA_Top, 150, WA_InnerWidth,
                       400, WA_InnerHeight, 220, WA_Title, "Welcome", WA_Flags,
                       WFLG_DRAGBAR | WFLG_CLOSEGADGET | WFLG_DEPTHGADGET | WFLG_ACTIVATE, WA_IDCMP,
                       IDCMP_CLOSEWINDOW | IDCMP_MOUSEBUTTONS | IDCMP_RAWKEY);
    return dialog.window != nullptr && dialog.font != nullptr;
}

// Files dropped on the desktop window are named in the dialog's line of typed text.
void TakeDrops(Dialog& dialog, MsgPort* drops) {
    while (drops != nullptr) {
        auto* m = reinterpret_cast<AppMessage*>(GetMsg(drops));
        if (m == nullptr) {
            break;
        }
        for (LONG i = 0; i < m->am_NumArgs; ++i) {
            std::printf("DROP name=%s\n", Hex(m->am_ArgList[i].wa_Name).c_str());
            const std::string name = m->am_ArgList[i].wa_Name;
            dialog.typed = name.size() > 30 ? name.substr(name.size() - 30) : name;
        }
        dialog.Paint();
        ReplyMsg(&m->am_Message);
    }
}

// Until the dialog is closed: its messages and the drops, a snapshot after each round.
void Run(Dialog& dialog, Screen* screen, MsgPort* drops, const char* snapshot) {
    const ULONG windowSignal = 1UL << dialog.window->UserPort->mp_SigBit;
    const ULONG dropSignal = drops != nullptr ? 1UL << drops->mp_SigBit : 0;
    bool running = true;
    while (running) {
        Wait(windowSignal | dropSignal);
        while (auto* m = reinterpret_cast<IntuiMessage*>(GetMsg(dialog.window->UserPort))) {
            running = Handle(dialog, screen, *m) && running;
            ReplyMsg(&m->ExecMessage);
        }
        TakeDrops(dialog, drops);
        Snapshot(snapshot);
        std::printf("IDLE\n");
    }
}

void CloseDrops(AppWindow* appWindow, MsgPort* drops) {
    if (appWindow != nullptr) {
        RemoveAppWindow(appWindow);
    }
    while (Message* m = drops != nullptr ? GetMsg(drops) : nullptr) {
        ReplyMsg(m);
    }
    if (drops != nullptr) {
        DeleteMsgPort(drops);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* snapshot = SnapshotPath(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    static const char kTitle[] = "Tessella Cross Edition - platform demonstration";
    Screen* screen =
        OpenScreenTags(nullptr, SA_Width, kScreenWidth, SA_Height, kScreenHeight, SA_Depth, 8,
                       SA_Title, kTitle, SA_Type, CUSTOMSCREEN, SA_DetailPen, 1, SA_BlockPen, 2);
    if (screen == nullptr) {
        std::fprintf(stderr, "The screen could not be opened.\n");
        return 1;
    }
    // Without a desktop window nobody could see or close the demonstration.
    if (!ScreensOnDesktop()) {
        CloseScreen(screen);
        return 1;
    }
    LoadPalette(screen);
    Window* backdrop = OpenBackdrop(screen);
    Dialog dialog;
    if (!OpenDialog(dialog, screen) || backdrop == nullptr) {
        std::fprintf(stderr, "The windows could not be opened.\n");
        return 1;
    }
    PaintBackdrop(backdrop);
    dialog.Paint();
    SetPointer(dialog.window, crossPointer, 11, 11, -5, -5);
    Snapshot(snapshot);
    std::printf("READY\n");

    MsgPort* drops = CreateMsgPort();
    AppWindow* appWindow =
        drops != nullptr ? AddAppWindowA(1, 0, dialog.window, drops, nullptr) : nullptr;
    Run(dialog, screen, drops, snapshot);
    CloseDrops(appWindow, drops);
    CloseWindow(dialog.window);
    CloseWindow(backdrop);
    CloseFont(dialog.font);
    CloseScreen(screen);
    return 0;
}
