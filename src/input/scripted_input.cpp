#include "input/scripted_input.h"

#include <algorithm>
#include <iterator>

// One wheel notch as the devices count it.
constexpr int kWheelNotch = 120;

void ScriptedInput::ReleaseAll() {
    std::fill(std::begin(keys), std::end(keys), std::uint8_t{0});
    std::fill(std::begin(mouse.rgbButtons), std::end(mouse.rgbButtons), std::uint8_t{0});
}

void ScriptedInput::PressButton(int button, bool down) {
    if (button < 0 || button >= 4) return;
    mouse.rgbButtons[button] = down ? kDownBit : 0;
}

void ScriptedInput::MoveMouse(int dx, int dy) {
    mouse.lX += dx;
    mouse.lY += dy;
}

void ScriptedInput::TurnWheel(int notches) { mouse.lZ += notches * kWheelNotch; }

bool ScriptedInput::ReadKeyboard(std::uint8_t (&table)[kKeyTableSize]) {
    if (!focused) return false;
    std::copy(std::begin(keys), std::end(keys), std::begin(table));
    return true;
}

bool ScriptedInput::PeekMouseMotion(int& dx, int& dy) {
    dx = focused ? mouse.lX : 0;
    dy = focused ? mouse.lY : 0;
    return true;
}

bool ScriptedInput::ReadMouse(MouseState& state) {
    if (!focused) return false;
    state = mouse;
    mouse.lX = mouse.lY = mouse.lZ = 0;
    return true;
}

bool ScriptedInput::ReadPad(PadState& state) {
    state = focused ? pad : PadState{};
    return focused && pad.connected;
}
