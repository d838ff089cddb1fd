#pragma once
// diskfont.library: the same faces as OpenFont, marked as loaded from disk.

#include "graphics.h"

TextFont* OpenDiskFont(TextAttr* textAttr);
