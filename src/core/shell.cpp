#include "core/shell.h"

#include <GL/gl.h>

#include <cstdio>
#include <memory>
#include <string>

#include "base/debug_log.h"
#include "core/game.h"
#include "base/settings.h"
#include "graphics/view_frustum.h"
#include "math/camera.h"
#include "platform/clock.h"
#include "platform/openal_audio.h"
#include "platform/sdl_input.h"
#include "platform/window.h"

namespace {
constexpr char kWindowTitle[] = "The Talvemar";
constexpr double kWindowFieldOfView = 60.0;
constexpr int kParticleTestKinds = 15;

void ToggleLighting() {
    if (glIsEnabled(GL_LIGHTING)) glDisable(GL_LIGHTING);
    else glEnable(GL_LIGHTING);
}
}  // namespace

void InitGlState() {
    glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
}

void ResizeScene(int width, int height) {
    if (height < 1) height = 1;
    glViewport(0, height / 8, width, height * 3 / 4);
    glScissor(0, height / 8, width, height * 3 / 4);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    viewFrustum.Set(kWindowFieldOfView, SceneAspect(width, height), settings.nearPlane,
                    settings.farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void HandleWindowKey(platform::WindowKey key, Game& game) {
    using platform::WindowKey;
    switch (key) {
        // The window and its context stay until the main loop has ended.
        case WindowKey::Escape: settings.quitRequested = 1; break;
        case WindowKey::Up: glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); break;
        case WindowKey::Down: glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); break;
        case WindowKey::Left: settings.texturesOn = 0; break;
        case WindowKey::Right: settings.texturesOn = 1; break;
        case WindowKey::O: settings.drawWorld = 1; break;
        case WindowKey::K: settings.drawWorld = 0; break;
        case WindowKey::Zero:
            game.particleTestKind = (game.particleTestKind + 1) % kParticleTestKinds;
            break;
        case WindowKey::Enter: ToggleLighting(); break;
        case WindowKey::F9: game.screenshotRequested = true; break;
    }
}

void HandleWindowEvent(const platform::WindowEvent& event, Game& game) {
    using Type = platform::WindowEvent::Type;
    switch (event.type) {
        case Type::Quit: settings.quitRequested = 1; break;
        case Type::Resized: ResizeScene(event.width, event.height); break;
        case Type::KeyDown: HandleWindowKey(event.key, game); break;
        case Type::FocusGained:
        case Type::FocusLost: break;  // the input devices notice by themselves
    }
}

std::unique_ptr<platform::GameWindow> OpenGameWindow(std::string& error) {
    platform::WindowRequest request;
    request.title = kWindowTitle;
    request.width = settings.width;
    request.height = settings.height;
    request.colourBits = settings.colourBits;
    request.depthBits = settings.depthBits;
    request.fullScreen = settings.fullScreen != 0;

    std::unique_ptr<platform::GameWindow> window = platform::GameWindow::Create(request, error);
    if (!window) return nullptr;
    if (!window->IsFullScreen()) settings.fullScreen = 0;

    InitGlState();
    camera.SetPosition(0.0f, 0.5f, -50.0f);
    OpenDebugLog();
    int drawableWidth = 0, drawableHeight = 0;
    window->DrawableSize(drawableWidth, drawableHeight);
    ResizeScene(drawableWidth, drawableHeight);
    return window;
}

void RunMainLoop(Game& game) {
    while (!settings.quitRequested) {
        platform::WindowEvent event;
        if (platform::PollWindowEvent(event)) HandleWindowEvent(event, game);
        if (settings.quitRequested) break;
        game.RunFrame();
    }
}

int RunApplication() {
    platform::SeedRandomFromTime();
    platform::CloseOnTerminationSignals();
    std::string error;
    std::unique_ptr<platform::GameWindow> window = OpenGameWindow(error);
    if (!window) {
        std::fprintf(stderr, "talvemar: cannot open the game window: %s\n", error.c_str());
        return 1;
    }
    // Declared before the game, so it outlives the sounds the game makes.
    const std::unique_ptr<AudioDevice> audio = platform::OpenAudioDevice();
    auto game = std::make_unique<Game>();
    platform::SdlInputDevices devices(*window);
    game->presentFrame = [&window] { window->SwapBuffers(); };
    game->Init(&devices, audio.get());
    RunMainLoop(*game);
    game->input.Shutdown();
    return 0;
}
