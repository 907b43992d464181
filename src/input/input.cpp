#include "input/input.h"

#include <cmath>
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
    if (mouse) {
        std::memcpy(mouseButtonsBefore, mouse->state.rgbButtons, sizeof mouseButtonsBefore);
        mouse->Update();
    }
    padBefore = pad;
    if (devices && !devices->ReadPad(pad)) pad = PadState{};
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

namespace {

// Sticks and triggers move this far before they count (of 32767).
constexpr int kStickDeadZone = 8000;
constexpr int kTriggerDeadZone = 8000;
constexpr float kAxisRange = 32767.0f;
// The response curve's power: fine aim near the middle, full speed at the edge.
constexpr float kCurvePower = 2.0f;

int Axis(const PadState& pad, int axis) { return pad.axes[axis]; }

// A pad control read from the buttons and, for the triggers and the left
// stick's directions, from the axes past their dead zones.
bool PadControlDown(const PadState& pad, std::uint8_t code) {
    if (!pad.connected) return false;
    if (code < kPadReadButtons) return (pad.buttons >> code & 1u) != 0;
    switch (code) {
        case pad_button::LeftTrigger: return Axis(pad, pad_axis::LeftTrigger) > kTriggerDeadZone;
        case pad_button::RightTrigger: return Axis(pad, pad_axis::RightTrigger) > kTriggerDeadZone;
        case pad_button::LeftStickUp: return Axis(pad, pad_axis::LeftY) < -kStickDeadZone;
        case pad_button::LeftStickDown: return Axis(pad, pad_axis::LeftY) > kStickDeadZone;
        case pad_button::LeftStickLeft: return Axis(pad, pad_axis::LeftX) < -kStickDeadZone;
        case pad_button::LeftStickRight: return Axis(pad, pad_axis::LeftX) > kStickDeadZone;
        default: return false;
    }
}

// -1 to 1 past the dead zone, on the response curve.
float Curved(int value) {
    const float magnitude = std::fabs(static_cast<float>(value));
    if (magnitude <= kStickDeadZone) return 0.0f;
    const float share = std::fmin((magnitude - kStickDeadZone) / (kAxisRange - kStickDeadZone), 1.0f);
    const float curved = std::pow(share, kCurvePower);
    return value < 0 ? -curved : curved;
}

}  // namespace

bool Input::ControlDownIn(const Control& control, bool before) const {
    switch (control.device) {
        case Control::Device::Key:
            if (!keyboard) return false;
            return ((before ? keysBefore[control.code] : keyboard->keys[control.code]) & kDownBit) != 0;
        case Control::Device::Mouse:
            if (!mouse || control.code > 3) return false;
            return ((before ? mouseButtonsBefore[control.code] : mouse->state.rgbButtons[control.code]) &
                    kDownBit) != 0;
        case Control::Device::Pad: return PadControlDown(before ? padBefore : pad, control.code);
    }
    return false;
}

bool Input::ControlDown(const Control& control) const { return ControlDownIn(control, false); }

bool Input::ActionDownIn(Action action, bool before) const {
    for (const Control& control : bindings[action])
        if (ControlDownIn(control, before)) return true;
    return false;
}

bool Input::ActionDown(Action action) const { return ActionDownIn(action, false); }

bool Input::ActionPressed(Action action) const { return ActionDownIn(action, false) && !ActionDownIn(action, true); }

void Input::PadLook(float& x, float& y) const {
    x = y = 0.0f;
    if (!pad.connected) return;
    x = Curved(Axis(pad, pad_axis::RightX));
    y = Curved(Axis(pad, pad_axis::RightY));
}

void Input::RumblePad(float low, float high, std::uint32_t ms) {
    if (devices && pad.connected) devices->RumblePad(low, high, ms);
}
