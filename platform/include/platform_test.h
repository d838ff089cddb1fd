#pragma once
// What a test does as a user would: everything goes through the input task, as the input of a
// real display does. Coordinates are those of the front screen.

#include <string>
#include <vector>

#include "intuition.h"

namespace PlatformTest {

void MovePointer(int x, int y);
// Buttons: IECODE_LBUTTON (select) or IECODE_RBUTTON (menu), pressed where the pointer is.
void PressButton(UWORD button = IECODE_LBUTTON);
void ReleaseButton(UWORD button = IECODE_LBUTTON);
// Moves there, presses and releases the button.
void Click(int x, int y, UWORD button = IECODE_LBUTTON);

// A raw key going down or up; the qualifier adds to the modifier keys held down.
void PressKey(UWORD rawCode, UWORD qualifier = 0);
void ReleaseKey(UWORD rawCode, UWORD qualifier = 0);
void TypeKey(UWORD rawCode, UWORD qualifier = 0);
// Types Latin-1 text key by key, accented letters through their dead key; false (typing
// nothing) when a character has no key.
bool TypeText(const char* text);

// Pastes desktop clipboard text (UTF-8) as the desktop window does on Ctrl+V: its Latin-1
// characters arrive as typed keys, line breaks and what Latin-1 lacks left out.
void Paste(const char* utf8);

// Drops files (Linux paths, UTF-8) on the desktop window where the pointer is, as a file
// manager does: the AppWindow that takes them gets one AppMessage. False when none took them.
bool DropFiles(const std::vector<std::string>& paths);

void InjectDiskInserted();

// Presses the desktop window's close button: the program's main window is asked to close,
// whichever window has the input.
void CloseDesktopWindow();

// Composes the front screen as the desktop window shows it, and gives the title the desktop
// window takes from it (Latin-1); false when no screen is open.
bool ComposeDesktopFrame(std::string* title = nullptr);

// Until every queued event has been handled; false when that takes longer than the timeout.
bool WaitInputDrained(int timeoutMs = 5000);
// Also until every IntuiMessage sent has been replied.
bool WaitIdle(int timeoutMs = 5000);

// The pen shown at a point of the front screen, or -1 outside it or with no screen open.
LONG ReadScreenPixel(int x, int y);
// The same as 0xRRGGBB, through the screen's palette.
LONG ReadScreenColor(int x, int y);
// The pens of the whole front screen, row by row, and its width: one composition for many
// pixels, where ReadScreenPixel composes one for each. False with no screen open.
bool ReadScreenPens(std::vector<UBYTE>* pens, int* width);
// The front screen as the desktop window shows it at width x height (every screen pixel a
// block of whole device pixels, its text drawn again at that size), as 0xRRGGBB, rows
// [firstRow, endRow) of it (endRow -1: to the last); false with no screen open.
bool ReadScreenPicture(int width, int height, std::vector<ULONG>* rgb, int firstRow = 0,
                       int endRow = -1);
// The memory the fonts drawn at other sizes for such pictures hold, in bytes.
size_t ScaledFontBytes();
// Saves the front screen as an RGB PNG, at a factor from 1 to 8 (its text drawn again at that
// size); false when it cannot.
bool SaveScreenPNG(const char* path, double factor = 1.0);

int BeepCount();

// The file of the bitmap face that the fixed families (the default font among them) take at 8
// pixels; empty when none is installed.
std::string BitmapFontFile();

// ---- System requesters ---------------------------------------------------------------------

// What a system requester shows: its title, its text (an alert's lines, one a line), its
// buttons from the left, and for the file requester its drawer, file and list entries.
struct RequesterView {
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    std::string drawer;
    std::string file;
    std::vector<std::string> entries;
};

// Until a system requester is up; view receives the newest one. False when none comes in time.
bool WaitRequester(RequesterView* view = nullptr, int timeoutMs = 5000);
// Answers the newest requester with its button (0 the leftmost; an alert: 0 the left mouse
// button, 1 the right one) and waits until it has gone.
bool AnswerRequester(int button, int timeoutMs = 5000);
// Answers with the rightmost button (Cancel, No) and waits until it has gone.
bool CancelRequester(int timeoutMs = 5000);
// Clicks a button that leaves the requester up (Parent) and waits until it has acted.
bool ClickRequesterButton(int button, int timeoutMs = 5000);
// Clicks entry index of the requester's list and waits until it has acted.
bool PickRequesterEntry(int index, int timeoutMs = 5000);
// Types a path into the file requester's drawer and file fields (the drawer alone for a
// drawers-only requester), presses OK and waits until it has gone.
bool AnswerFileRequester(const char* path, int timeoutMs = 5000);

// ---- Time ----------------------------------------------------------------------------------

// Stops the platform's clock where it stands: timer.device, Delay and the time stamps of
// messages (and MyDateTime) then see time move only when the test advances it. Real time is the
// default; UseRealClock lets it run again (waits count on from where the virtual clock left
// them; the time of day is the real one).
void UseVirtualClock();
void UseRealClock();
// Moves the virtual clock on. Before it returns, every timer request whose time has come has
// been replied, in deadline order, and every Delay whose deadline has passed has returned. How
// many requests and Delays the step completed.
int AdvanceClock(int ms);
// Until count threads wait in Delay on the virtual clock; false when that takes longer.
bool WaitDelays(int count, int timeoutMs = 5000);
// Until count timer.device requests wait for their time; false when that takes longer.
bool WaitTimerRequests(int count, int timeoutMs = 5000);

// A pixel of the active window's own pointer image: 0 transparent, 1 to 3 its colours; -1
// outside it or while the default pointer is shown.
LONG PointerPixel(int x, int y);

}  // namespace PlatformTest
