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

// Where the screen shows inside the desktop window: a picture of the screen's shape, as large
// as the window allows, centred with even bars. `scale` is the whole factor nearest to it, for
// what is drawn only in whole pixels (the pointer).
struct View {
    int scale = 1;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The factor a screen opens at on a desktop with the given work area: the largest that fits
// 85 % of it, in quarter steps, at least 1 (1.5 on a 1920 x 1080 desktop).
double FactorFor(int desktopWidth, int desktopHeight, int screenWidth, int screenHeight);
// The view of a screen in a window of the given size (the window may have been resized).
View Fit(int windowWidth, int windowHeight, int screenWidth, int screenHeight);
// A window pixel as a screen pixel, clamped to the screen: the screen pixel the picture shows
// there.
void ToScreen(const View& view, int screenWidth, int screenHeight, int x, int y, int& screenX,
              int& screenY);

}  // namespace tessella::sdl
