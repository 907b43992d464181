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

Uint32 FullScreenFlag(FullScreenMode mode) {
    return mode == FullScreenMode::Desktop ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
}

// The display mode of the requested size and depth, as a mode switch would
// take it; false when the display offers no mode of exactly that size.
bool FindFullScreenMode(const WindowRequest& request, int display, SDL_DisplayMode& mode) {
    SDL_DisplayMode wanted{};
    wanted.format = request.colourBits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    wanted.w = request.width;
    wanted.h = request.height;
    if (!SDL_GetClosestDisplayMode(display, &wanted, &mode)) return false;
    return mode.w == request.width && mode.h == request.height;
}

}  // namespace

std::unique_ptr<GameWindow> GameWindow::Create(const WindowRequest& request, std::string& error) {
    if (!AcquireSdlVideo(error)) return nullptr;
    std::unique_ptr<GameWindow> result(new GameWindow(request));

    // Desktop full screen needs no mode; the classic one needs the exact
    // mode of the requested size, or it opens windowed.
    const bool classic = request.fullScreenMode == FullScreenMode::Classic;
    SDL_DisplayMode mode{};
    bool fullScreen = request.fullScreen && (!classic || FindFullScreenMode(request, 0, mode));

    // Like choosing a pixel format, settle for the nearest depth buffer the
    // driver offers when the requested one does not exist.
    const int depthChoices[] = {request.depthBits, 24, 16};
    for (int depthBits : depthChoices) {
        for (int attempt = 0; attempt < 2 && !result->context; ++attempt) {
            RequestPixelFormat(request.colourBits, depthBits);
            // Sizes are read as drawable pixels, so high-DPI displays get
            // their full resolution.
            Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE |
                           SDL_WINDOW_ALLOW_HIGHDPI;
            if (fullScreen) flags |= FullScreenFlag(request.fullScreenMode);
            SDL_Window* window = SDL_CreateWindow(request.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                                  SDL_WINDOWPOS_CENTERED, request.width,
                                                  request.height, flags);
            if (window && fullScreen && classic && SDL_SetWindowDisplayMode(window, &mode) != 0) {
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
        }
        if (result->context) break;
    }
    if (!result->context) {
        ReleaseSdlVideo();
        return nullptr;
    }
    if (result->IsFullScreen()) SDL_ShowCursor(SDL_DISABLE);
    SetGameWindow(result.get());
    return result;
}

GameWindow::GameWindow(const WindowRequest& request)
    : request(request), windowedWidth(request.width), windowedHeight(request.height) {}

GameWindow::~GameWindow() {
    SetGameWindow(nullptr);
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);  // leaving full screen restores the display mode
    ReleaseSdlVideo();
}

bool GameWindow::IsFullScreen() const {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

bool GameWindow::ToggleFullScreen() {
    if (!IsFullScreen()) return EnterFullScreen();
    LeaveFullScreen();
    return true;
}

bool GameWindow::EnterFullScreen() {
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    if (request.fullScreenMode == FullScreenMode::Classic) {
        SDL_DisplayMode mode{};
        if (!FindFullScreenMode(request, SDL_GetWindowDisplayIndex(window), mode) ||
            SDL_SetWindowDisplayMode(window, &mode) != 0)
            return false;
    }
    if (SDL_SetWindowFullscreen(window, FullScreenFlag(request.fullScreenMode)) != 0) return false;
    windowedWidth = width;
    windowedHeight = height;
    SDL_ShowCursor(SDL_DISABLE);
    return true;
}

void GameWindow::LeaveFullScreen() {
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowSize(window, windowedWidth, windowedHeight);
    SDL_ShowCursor(SDL_ENABLE);
}

void GameWindow::SwapBuffers() { SDL_GL_SwapWindow(window); }

void GameWindow::SetVsync(bool on) { SDL_GL_SetSwapInterval(on ? 1 : 0); }

bool GameWindow::SetIcon(const std::string& bmpPath) {
    SDL_Surface* icon = SDL_LoadBMP(bmpPath.c_str());
    if (!icon) return false;
    SDL_SetWindowIcon(window, icon);  // SDL keeps its own copy
    SDL_FreeSurface(icon);
    return true;
}

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
