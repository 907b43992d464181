#pragma once
// Input devices driven by a script instead of a person: tests and automated
// playthroughs hold keys, move the mouse and press buttons, and the game reads
// them through the same Input object the SDL backend feeds.
#include <cstdint>
#include <utility>
#include <vector>

#include "input/input.h"

class ScriptedInput final : public InputDevices {
public:
    // Keys stay down until released.
    void Hold(std::uint8_t code) { keys[code] = kDownBit; }
    void Release(std::uint8_t code) { keys[code] = 0; }
    void ReleaseAll();
    // Buttons 0..3 stay down until released.
    void PressButton(int button, bool down);
    // Motion and wheel notches add up until the game reads them once.
    void MoveMouse(int dx, int dy);
    void TurnWheel(int notches);
    // The pad the script plays (plugged in while `connected`), as the next
    // reads will find it.
    PadState pad;
    // While unfocused the devices cannot be read, as when the window loses
    // the focus.
    void SetFocused(bool focused) { this->focused = focused; }

    bool CreateKeyboard() override { return true; }
    bool CreateMouse(bool) override { return mouseAttached; }
    // False plays a machine with no mouse.
    bool mouseAttached = true;
    bool AcquireKeyboard() override { return focused; }
    void UnacquireKeyboard() override {}
    bool AcquireMouse() override { return focused; }
    void UnacquireMouse() override {}
    bool ReadKeyboard(std::uint8_t (&table)[kKeyTableSize]) override;
    bool ReadMouse(MouseState& state) override;
    bool PeekMouseMotion(int& dx, int& dy) override;
    bool ReadPad(PadState& state) override;
    void RumblePad(float low, float high, std::uint32_t) override { rumbles.push_back({low, high}); }
    // Every rumble the game asked for: low and high motor.
    std::vector<std::pair<float, float>> rumbles;

private:
    std::uint8_t keys[kKeyTableSize] = {};
    MouseState mouse;
    bool focused = true;
};
