#include "SdlSystem.h"

#include <mutex>

namespace tessella::sdl {
namespace {

std::mutex& SdlLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

bool StartSubSystem(Uint32 flags) {
    std::lock_guard guard(SdlLock());
    // The platform installs no signal handlers of its own and wants none of SDL's: Ctrl-C must
    // still end the program the ordinary way.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(flags) == 0;
}

void StopSubSystem(Uint32 flags) {
    std::lock_guard guard(SdlLock());
    SDL_QuitSubSystem(flags);
}

std::string FailureOf(const char* call) {
    const char* reason = SDL_GetError();
    if (reason != nullptr && *reason != '\0') {
        return reason;
    }
    return std::string(call) + " failed";
}

}  // namespace tessella::sdl
