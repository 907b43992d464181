#include "platform/sdl_video.h"

#include <SDL.h>

#include "platform/events_internal.h"

namespace platform {
namespace {
int users = 0;
}

bool AcquireSdlVideo(std::string& error) {
    if (users == 0) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            error = SDL_GetError();
            return false;
        }
        InstallEventFilter();
    }
    ++users;
    return true;
}

void ReleaseSdlVideo() {
    if (users == 0) return;
    if (--users == 0) {
        RemoveEventFilter();
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }
}

}  // namespace platform
