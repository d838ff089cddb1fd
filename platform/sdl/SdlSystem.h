#pragma once
// SDL's subsystems are started and stopped from more than one task (the presenter's thread for
// video, whoever opens audio.device for sound), and SDL's own counting of them is not safe
// across threads, so every start and stop goes through here.

#include <SDL.h>

namespace tessella::sdl {

// SDL_InitSubSystem under the process's one SDL lock; false (and SDL_GetError set) on failure.
bool StartSubSystem(Uint32 flags);
void StopSubSystem(Uint32 flags);

}  // namespace tessella::sdl
