#pragma once

#include <string>
#include <vector>

#include "keymap.h"

namespace tessella::keymap {

struct KeyStroke {
    UWORD rawCode;
    UWORD qualifier;
};

// The keys that type a Latin-1 character on the US keymap: one key, or a dead key and a
// letter for an accented one. False for a character no keys give.
bool KeysFor(UBYTE character, std::vector<KeyStroke>& strokes);

// The characters of a key whose meaning the desktop's layout decided.
std::string DesktopTranslate(UWORD code, UWORD qualifier, const DesktopKey& key);

}  // namespace tessella::keymap
