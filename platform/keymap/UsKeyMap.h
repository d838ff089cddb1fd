#pragma once

#include "keymap.h"

namespace tessella::keymap {

// The raw key and qualifier that type a Latin-1 character on the US keymap without a dead
// key; false for a character no single key gives.
bool KeyFor(UBYTE character, UWORD& rawCode, UWORD& qualifier);

}  // namespace tessella::keymap
