#include "platform/sdl_input.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "input/key_codes.h"
#include "platform/events_internal.h"
#include "platform/window.h"

namespace platform {
namespace {

const KeyMapping kKeyMappings[] = {
    {SDL_SCANCODE_ESCAPE, key::Escape},
    {SDL_SCANCODE_1, key::Num1}, {SDL_SCANCODE_2, key::Num2}, {SDL_SCANCODE_3, key::Num3},
    {SDL_SCANCODE_4, key::Num4}, {SDL_SCANCODE_5, key::Num5}, {SDL_SCANCODE_6, key::Num6},
    {SDL_SCANCODE_7, key::Num7}, {SDL_SCANCODE_8, key::Num8}, {SDL_SCANCODE_9, key::Num9},
    {SDL_SCANCODE_0, key::Num0},
    {SDL_SCANCODE_MINUS, key::Minus}, {SDL_SCANCODE_EQUALS, key::Equals},
    {SDL_SCANCODE_Q, key::Q}, {SDL_SCANCODE_W, key::W}, {SDL_SCANCODE_E, key::E},
    {SDL_SCANCODE_R, key::R}, {SDL_SCANCODE_T, key::T}, {SDL_SCANCODE_Y, key::Y},
    {SDL_SCANCODE_U, key::U}, {SDL_SCANCODE_I, key::I}, {SDL_SCANCODE_O, key::O},
    {SDL_SCANCODE_P, key::P}, {SDL_SCANCODE_RETURN, key::Return},
    {SDL_SCANCODE_LCTRL, key::LeftControl},
    {SDL_SCANCODE_A, key::A}, {SDL_SCANCODE_S, key::S}, {SDL_SCANCODE_D, key::D},
    {SDL_SCANCODE_F, key::F}, {SDL_SCANCODE_G, key::G}, {SDL_SCANCODE_H, key::H},
    {SDL_SCANCODE_J, key::J}, {SDL_SCANCODE_K, key::K}, {SDL_SCANCODE_L, key::L},
    {SDL_SCANCODE_LSHIFT, key::LeftShift},
    {SDL_SCANCODE_Z, key::Z}, {SDL_SCANCODE_X, key::X}, {SDL_SCANCODE_C, key::C},
    {SDL_SCANCODE_V, key::V}, {SDL_SCANCODE_B, key::B}, {SDL_SCANCODE_N, key::N},
    {SDL_SCANCODE_M, key::M}, {SDL_SCANCODE_RSHIFT, key::RightShift},
    {SDL_SCANCODE_SPACE, key::Space},
    {SDL_SCANCODE_F1, key::F1}, {SDL_SCANCODE_F2, key::F2}, {SDL_SCANCODE_F3, key::F3},
    {SDL_SCANCODE_F4, key::F4}, {SDL_SCANCODE_F5, key::F5}, {SDL_SCANCODE_F6, key::F6},
    {SDL_SCANCODE_F7, key::F7}, {SDL_SCANCODE_F8, key::F8}, {SDL_SCANCODE_F9, key::F9},
    {SDL_SCANCODE_F10, key::F10}, {SDL_SCANCODE_F11, key::F11}, {SDL_SCANCODE_F12, key::F12},
    {SDL_SCANCODE_RCTRL, key::RightControl},
    {SDL_SCANCODE_UP, key::Up}, {SDL_SCANCODE_LEFT, key::Left},
    {SDL_SCANCODE_RIGHT, key::Right}, {SDL_SCANCODE_DOWN, key::Down},
};

constexpr std::uint8_t ButtonByte(Uint32 buttons, Uint32 mask) {
    return (buttons & mask) ? kDownBit : 0;
}

}  // namespace

const KeyMapping* KeyMappings(std::size_t& count) {
    count = std::size(kKeyMappings);
    return kKeyMappings;
}

SdlInputDevices::SdlInputDevices(GameWindow& window) : window(window) {
    // Without the subsystem (no joystick support) the game plays without pads.
    padSubsystem = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

SdlInputDevices::~SdlInputDevices() {
    if (pad) SDL_GameControllerClose(pad);
    if (padSubsystem) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

SDL_GameController* SdlInputDevices::PlayingPad() {
    if (!padSubsystem) return nullptr;
    if (pad && !SDL_GameControllerGetAttached(pad)) {
        SDL_GameControllerClose(pad);
        pad = nullptr;
    }
    for (int i = 0; !pad && i < SDL_NumJoysticks(); ++i)
        if (SDL_IsGameController(i)) pad = SDL_GameControllerOpen(i);
    return pad;
}

bool SdlInputDevices::ReadPad(PadState& state) {
    state = PadState{};
    if (!window.HasInputFocus()) return false;
    SDL_GameController* playing = PlayingPad();
    if (!playing) return false;
    state.connected = true;
    for (int axis = 0; axis < kPadAxes; ++axis)
        state.axes[axis] = SDL_GameControllerGetAxis(playing, static_cast<SDL_GameControllerAxis>(axis));
    for (int button = 0; button < kPadReadButtons; ++button)
        if (SDL_GameControllerGetButton(playing, static_cast<SDL_GameControllerButton>(button)))
            state.buttons = static_cast<std::uint16_t>(state.buttons | 1u << button);
    return true;
}

void SdlInputDevices::RumblePad(float low, float high, std::uint32_t ms) {
    if (!pad) return;
    const auto strength = [](float share) {
        return static_cast<Uint16>(std::clamp(share, 0.0f, 1.0f) * 0xFFFF);
    };
    SDL_GameControllerRumble(pad, strength(low), strength(high), ms);  // pads without motors ignore it
}

bool SdlInputDevices::CreateMouse(bool exclusive) {
    exclusiveMouse = exclusive;
    return true;
}

bool SdlInputDevices::AcquireKeyboard() { return window.HasInputFocus(); }

bool SdlInputDevices::AcquireMouse() {
    if (!window.HasInputFocus()) return false;
    // Relative mode may be unsupported (some remote displays); the mouse
    // still reads, only the cursor stays visible.
    if (exclusiveMouse && !SDL_GetRelativeMouseMode()) SDL_SetRelativeMouseMode(SDL_TRUE);
    if (!mouseAcquired) {
        SDL_GetRelativeMouseState(nullptr, nullptr);  // motion from before is not the game's
        peekedX = peekedY = 0;
        mouseAcquired = true;
    }
    return true;
}

void SdlInputDevices::UnacquireMouse() { LoseMouse(); }

void SdlInputDevices::LoseMouse() {
    if (exclusiveMouse && SDL_GetRelativeMouseMode()) SDL_SetRelativeMouseMode(SDL_FALSE);
    mouseAcquired = false;
}

bool SdlInputDevices::ReadKeyboard(std::uint8_t (&keys)[kKeyTableSize]) {
    if (!window.HasInputFocus()) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    std::memset(keys, 0, sizeof keys);
    for (const KeyMapping& m : kKeyMappings) {
        if (m.sdlScancode < count && state[m.sdlScancode]) keys[m.code] = kDownBit;
    }
    return true;
}

bool SdlInputDevices::ReadMouse(MouseState& state) {
    if (!window.HasInputFocus()) {
        if (mouseAcquired) LoseMouse();
        return false;
    }
    if (!mouseAcquired) return false;
    int dx = 0, dy = 0;
    const Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy);
    state.lX = dx + peekedX;
    state.lY = dy + peekedY;
    peekedX = peekedY = 0;
    state.lZ = TakeWheelMotion();
    state.rgbButtons[0] = ButtonByte(buttons, SDL_BUTTON_LMASK);
    state.rgbButtons[1] = ButtonByte(buttons, SDL_BUTTON_RMASK);
    state.rgbButtons[2] = ButtonByte(buttons, SDL_BUTTON_MMASK);
    state.rgbButtons[3] = ButtonByte(buttons, SDL_BUTTON_X1MASK);
    return true;
}

bool SdlInputDevices::PeekMouseMotion(int& dx, int& dy) {
    dx = dy = 0;
    if (!window.HasInputFocus() || !mouseAcquired) return true;  // the next read takes nothing
    // SDL hands relative motion out once: what is taken here waits for the
    // next read.
    SDL_PumpEvents();
    int x = 0, y = 0;
    SDL_GetRelativeMouseState(&x, &y);
    peekedX += x;
    peekedY += y;
    dx = peekedX;
    dy = peekedY;
    return true;
}

}  // namespace platform
