#pragma once

#include "Presenter.h"

namespace tessella::intuition {

// Writes a frame as an 8-bit RGB PNG, its palette applied, at the given factor: each pixel a
// block of device pixels, the text drawn again at that size. Factor 1 is the pens themselves.
bool WritePng(const Frame& frame, const char* path, double factor = 1.0);

}  // namespace tessella::intuition
