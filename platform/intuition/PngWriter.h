#pragma once

#include "Presenter.h"

namespace tessella::intuition {

// Writes a frame as an 8-bit RGB PNG, its palette applied.
bool WritePng(const Frame& frame, const char* path);

}  // namespace tessella::intuition
