#include "input/input.h"

#include <cstring>

Keyboard::Keyboard(InputDevices& d) : devices(d) {
    devices.AcquireKeyboard();
    std::memset(keys, 0, sizeof keys);
}

Keyboard::~Keyboard() { Unacquire(); }

bool Keyboard::Update() {
    if (devices.ReadKeyboard(keys)) return true;
    if (!devices.AcquireKeyboard()) return false;
    return devices.ReadKeyboard(keys);
}

bool Keyboard::Acquire() {
    std::memset(keys, 0, sizeof keys);
    return devices.AcquireKeyboard();
}

bool Keyboard::Unacquire() {
    std::memset(keys, 0, sizeof keys);
    devices.UnacquireKeyboard();
    return true;
}

Mouse::Mouse(InputDevices& d, bool /*exclusive*/) : devices(d) {
    devices.AcquireMouse();
    // Takes up whatever motion gathered before the game started reading.
    devices.ReadMouse(state);
    state.lX = state.lY = state.lZ = 0;
}

Mouse::~Mouse() { Unacquire(); }

bool Mouse::Update() {
    if (devices.ReadMouse(state)) return true;
    if (devices.AcquireMouse() && devices.ReadMouse(state)) return true;
    state.lX = state.lY = state.lZ = 0;
    return false;
}

bool Mouse::Acquire() { return devices.AcquireMouse(); }

bool Mouse::Unacquire() {
    devices.UnacquireMouse();
    return true;
}

bool Input::Init(InputDevices* d, bool exclusiveMouse, int deviceMask) {
    devices = d;
    if (!devices) return false;
    if ((deviceMask & kKeyboardDevice) && devices->CreateKeyboard())
        keyboard = std::make_unique<Keyboard>(*devices);
    if ((deviceMask & kMouseDevice) && devices->CreateMouse(exclusiveMouse))
        mouse = std::make_unique<Mouse>(*devices, exclusiveMouse);
    return true;
}

void Input::AcquireAll() {
    if (keyboard) keyboard->Acquire();
    if (mouse) mouse->Acquire();
}

void Input::UnacquireAll() {
    if (keyboard) keyboard->Unacquire();
    if (mouse) mouse->Unacquire();
}

bool Input::Update() {
    if (keyboard) {
        std::memcpy(keysBefore, keyboard->keys, sizeof keysBefore);
        keyboard->Update();
    }
    if (mouse) mouse->Update();
    return true;
}

bool Input::Shutdown() {
    UnacquireAll();
    keyboard.reset();
    mouse.reset();
    const bool hadDevices = devices != nullptr;
    devices = nullptr;
    return hadDevices;
}

bool Input::KeyDown(std::uint8_t code) const { return keyboard && keyboard->IsDown(code); }

bool Input::KeyPressed(std::uint8_t code) const { return KeyDown(code) && (keysBefore[code] & kDownBit) == 0; }

bool Input::MouseButtonDown(int button) const {
    if (!mouse || button < 0 || button > 3) return false;
    return (mouse->state.rgbButtons[button] & kDownBit) != 0;
}

void Input::GetMouseDelta(int* dx, int* dy) const {
    if (!mouse) return;
    if (dx) *dx = mouse->state.lX;
    if (dy) *dy = mouse->state.lY;
}

int Input::GetMouseWheel() const { return mouse ? mouse->state.lZ : 0; }

bool Input::PendingMouseMotion(int& dx, int& dy) const {
    dx = dy = 0;
    return mouse && devices && devices->PeekMouseMotion(dx, dy);
}
