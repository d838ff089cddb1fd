#pragma once
// SDL's subsystems are started and stopped from more than one task (the presenter's thread for
// video, whoever opens audio.device for sound), and SDL's own counting of them is not safe
// across threads, so every start and stop goes through here.

#include <SDL.h>

#include <string>

namespace tessella::sdl {

// SDL_InitSubSystem under the process's one SDL lock; false (and SDL_GetError set) on failure.
bool StartSubSystem(Uint32 flags);
void StopSubSystem(Uint32 flags);

// Why the SDL call that just failed failed: SDL's own reason, or, as SDL does not always give
// one, that `call` failed. Never empty, since an empty reason reads as success.
std::string FailureOf(const char* call);

}  // namespace tessella::sdl
