#pragma once
// What shows the screen to the user. The headless presenter has no window; a desktop presenter
// sleeps until graphics::WaitDisplayChange returns, composes the front screen then, feeds its
// mouse and keyboard to PostInputEvent, and shows beeps and the active window's pointer image.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "intuition.h"
#include "platform/graphics/LayerImpl.h"
#include "platform/graphics/TextRuns.h"

namespace tessella::intuition {

class Presenter {
public:
    virtual ~Presenter() = default;
    virtual void Beep(Screen* screen) = 0;
    // The pointer image of the active window changed (SetPointer, ClearPointer, activation).
    virtual void PointerChanged() = 0;
    // Whether the screens are seen in a desktop window.
    virtual bool ShowsWindow() const { return false; }
};

class HeadlessPresenter : public Presenter {
public:
    void Beep(Screen*) override {}
    void PointerChanged() override {}
};

// Replaces the presenter; the headless one serves until a program installs another.
void SetPresenter(std::unique_ptr<Presenter> presenter);

// The front screen as it is seen: pens after composition, and the palette to show them with.
struct Frame {
    int width = 0;
    int height = 0;
    int topEdge = 0;    // how far the screen has been slid down
    std::string title;  // the screen's own title, Latin-1
    std::vector<UBYTE> pens;
    std::array<ULONG, 256> palette{};
    // The lines of text the pens show just as they were drawn, for pictures drawn larger;
    // gathered only when withRuns is set before composing.
    bool withRuns = false;
    std::vector<graphics::PlacedRun> runs;
};

// False when no screen is open.
bool ComposeFrontScreen(Frame& frame);

// The active window's own pointer (SetPointer), as colour numbers: 0 transparent, 1 to 3 the
// sprite colours. custom is false while the default pointer is shown.
struct PointerImage {
    bool custom = false;
    int width = 0;
    int height = 0;
    int xOffset = 0;
    int yOffset = 0;
    std::vector<UBYTE> pixels;
};

PointerImage ActivePointer();

// Queues one input event for the input task: IECLASS_RAWMOUSE with absolute ie_X/ie_Y on the
// front screen (ie_Code a button code or IECODE_NOBUTTON), IECLASS_RAWKEY (with what the
// desktop's layout made of the key, when it comes from a desktop window),
// IECLASS_DISKINSERTED, or IECLASS_CLOSEWINDOW.
void PostInputEvent(const InputEvent& event, const DesktopKey& key = DesktopKey{});

// Pasting desktop text: the characters arrive as key presses and releases, so that every text
// field, the platform's and the program's own, takes them as typed. The modifier keys held to
// paste play no part in them.
// At most this many characters are pasted at once: a text field of the program is far shorter.
constexpr size_t kPasteLimit = 1024;
// The clipboard's UTF-8 text as what can be typed: Latin-1, without line breaks and other
// control characters, and without characters Latin-1 lacks.
std::string PasteText(const std::string& utf8);
void PostPaste(const std::string& latin1);
// Whether a paste key pastes. Ctrl+V and Shift+Insert do, unless the active window's menu has
// the letter as a command key; the Amiga key with V only while a text field has the keyboard,
// since requesters and menus use it otherwise. The raw key of the V (or Insert) key tells which.
bool PasteWanted(bool amigaKey, UBYTE letter);

// A desktop back end opens its presenter, or returns none and says why in `error`.
using DesktopOpener = std::unique_ptr<Presenter> (*)(std::string& error);

// The desktop back end makes itself known when the program starts, so that intuition names
// none. Returns true, for use as a static initialiser.
bool RegisterDesktop(DesktopOpener opener);

// Picks the presenter when the first screen opens: the desktop window when the back end can
// open one, the headless presenter otherwise (said once on standard error). The caller holds
// intuition's lock.
void ChoosePresenter();

// Ends the desktop presenter (its window and its thread), if one runs: when the last screen
// closes, and at exit. Its thread works inside the desktop's graphics libraries, which tear
// their state down at exit; one still drawing then would crash the ending program. The caller
// does not hold intuition's lock.
void EndDesktopPresenter();

}  // namespace tessella::intuition
