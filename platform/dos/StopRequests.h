#pragma once
// The platform's own way to ask the program to stop (the display lost), besides the signals.

#include "dos.h"

namespace tessella::dos {

// Records why (the first reason stays) and sends every task the Ctrl-C break.
void RequestStop(LONG why);
// Forgets a request, for tests that ask for one and go on.
void ClearStopRequest();

}  // namespace tessella::dos
