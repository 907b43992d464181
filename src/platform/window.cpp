#include "platform/window.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/events_internal.h"
#include "platform/sdl_video.h"

namespace platform {
namespace {

void RequestPixelFormat(int colourBits, int depthBits) {
    const bool highColour = colourBits != 16;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, highColour ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, highColour ? 8 : 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, highColour ? 8 : 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

// The display mode of the requested size and depth, as a mode switch would
// take it; false when the display offers no mode of exactly that size.
bool FindFullScreenMode(const WindowRequest& request, SDL_DisplayMode& mode) {
    SDL_DisplayMode wanted{};
    wanted.format = request.colourBits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    wanted.w = request.width;
    wanted.h = request.height;
    if (!SDL_GetClosestDisplayMode(0, &wanted, &mode)) return false;
    return mode.w == request.width && mode.h == request.height;
}

}  // namespace

std::unique_ptr<GameWindow> GameWindow::Create(const WindowRequest& request, std::string& error) {
    if (!AcquireSdlVideo(error)) return nullptr;
    std::unique_ptr<GameWindow> result(new GameWindow());

    SDL_DisplayMode mode{};
    bool fullScreen = request.fullScreen && FindFullScreenMode(request, mode);

    // Like choosing a pixel format, settle for the nearest depth buffer the
    // driver offers when the requested one does not exist.
    const int depthChoices[] = {request.depthBits, 24, 16};
    for (int depthBits : depthChoices) {
        for (int attempt = 0; attempt < 2 && !result->context; ++attempt) {
            RequestPixelFormat(request.colourBits, depthBits);
            Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
            if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN;
            SDL_Window* window = SDL_CreateWindow(request.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                                  SDL_WINDOWPOS_CENTERED, request.width,
                                                  request.height, flags);
            if (window && fullScreen && SDL_SetWindowDisplayMode(window, &mode) != 0) {
                SDL_DestroyWindow(window);
                window = nullptr;
            }
            if (!window) {
                error = SDL_GetError();
                if (fullScreen) fullScreen = false;  // try once more, windowed
                else break;
                continue;
            }
            SDL_GLContext context = SDL_GL_CreateContext(window);
            if (!context) {
                error = SDL_GetError();
                SDL_DestroyWindow(window);
                break;
            }
            result->window = window;
            result->context = context;
            result->fullScreen = fullScreen;
        }
        if (result->context) break;
    }
    if (!result->context) {
        ReleaseSdlVideo();
        return nullptr;
    }
    if (result->fullScreen) SDL_ShowCursor(SDL_DISABLE);
    SetGameWindowId(SDL_GetWindowID(result->window));
    return result;
}

GameWindow::~GameWindow() {
    SetGameWindowId(0);
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);  // leaving full screen restores the display mode
    ReleaseSdlVideo();
}

void GameWindow::SwapBuffers() { SDL_GL_SwapWindow(window); }

void GameWindow::SetVsync(bool on) { SDL_GL_SetSwapInterval(on ? 1 : 0); }

void GameWindow::DrawableSize(int& width, int& height) const {
    SDL_GL_GetDrawableSize(window, &width, &height);
}

bool GameWindow::HasInputFocus() const {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void ExitRestoringDisplay(int code) {
    SDL_Quit();
    std::exit(code);
}

}  // namespace platform
