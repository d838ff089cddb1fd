#pragma once
// Keys and pointer of the desktop window in the terms of the input task: Amiga raw key codes by
// the key's position, qualifier bits, and screen pixels.

#include <SDL.h>

#include <string>

#include "keymap.h"

namespace tessella::sdl {

constexpr UWORD kNoRawKey = 0xFF;

// The Amiga raw key at the same place on the keyboard, or kNoRawKey.
UWORD RawKeyFor(SDL_Scancode scancode);
// The qualifier bits for SDL's modifier state, with the numeric pad's bit for its keys.
UWORD QualifierFor(Uint16 modifiers, SDL_Scancode scancode);
// Latin-1 for SDL's UTF-8 text; characters beyond Latin-1 are left out.
std::string Latin1Of(const char* utf8);
std::string Utf8Of(const std::string& latin1);

// Where the screen shows inside the desktop window: an integer scale, centred.
struct View {
    int scale = 1;
    int left = 0;
    int top = 0;
};

// The largest integer scale at which a screen fits the desktop's usable area, at least 1.
int ScaleFor(int desktopWidth, int desktopHeight, int screenWidth, int screenHeight);
// The view of a screen in a window of the given size (the window may have been resized).
View Fit(int windowWidth, int windowHeight, int screenWidth, int screenHeight);
// A window pixel as a screen pixel, clamped to the screen.
void ToScreen(const View& view, int screenWidth, int screenHeight, int x, int y, int& screenX,
              int& screenY);

}  // namespace tessella::sdl
