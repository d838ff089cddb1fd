#pragma once
// Whether the X server a DISPLAY names answers at all. A server that is unreachable (a remote
// host that drops packets) or stopped would keep the first connection waiting for minutes or
// for ever, and the program with it; asked here with a time limit, the program falls back to
// running without a window instead.

#include <string>

namespace tessella::sdl {

// True when the server answered the opening of a connection within timeoutMs, or when the
// DISPLAY is of a form this does not know (then SDL is left to decide). False, with the reason
// in `error`, when it did not answer.
bool XServerAnswers(const std::string& display, int timeoutMs, std::string& error);

}  // namespace tessella::sdl
