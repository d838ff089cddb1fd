#pragma once
// What a test does as a user would: everything goes through the input task, as the input of a
// real display does. Coordinates are those of the front screen.

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

void InjectDiskInserted();

// Until every queued event has been handled; false when that takes longer than the timeout.
bool WaitInputDrained(int timeoutMs = 5000);
// Also until every IntuiMessage sent has been replied.
bool WaitIdle(int timeoutMs = 5000);

// The pen shown at a point of the front screen, or -1 outside it or with no screen open.
LONG ReadScreenPixel(int x, int y);
// The same as 0xRRGGBB, through the screen's palette.
LONG ReadScreenColor(int x, int y);
// Saves the front screen as an RGB PNG; false when it cannot.
bool SaveScreenPNG(const char* path);

int BeepCount();

// A pixel of the active window's own pointer image: 0 transparent, 1 to 3 its colours; -1
// outside it or while the default pointer is shown.
LONG PointerPixel(int x, int y);

}  // namespace PlatformTest
