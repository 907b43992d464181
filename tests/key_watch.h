#pragma once
// The keyboard as the game reads it, passed through from a script and
// watched: every press of a developer key (the cheats, the debug views and
// the level skip of the player control) is counted, whoever sent it.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "input/key_codes.h"
#include "input/scripted_input.h"

// The keys of the player control that are a developer's, not a player's.
// Z and X, the first-person and chase views a player is told about, are not
// among them.
inline bool IsDeveloperKey(std::uint8_t code) {
    static constexpr std::uint8_t kDeveloperKeys[] = {
        key::T,      key::G,  key::F,  key::H,  key::J,  key::K,  key::N,      key::M,     key::L,
        key::P,      key::B,  key::V,  key::C,  key::R,  key::F1, key::F2,     key::F3,    key::F4,
        key::F7,     key::F8, key::F12, key::Equals, key::Minus, key::RightShift};
    return std::find(std::begin(kDeveloperKeys), std::end(kDeveloperKeys), code) != std::end(kDeveloperKeys);
}

class DeveloperKeyWatch final : public InputDevices {
public:
    explicit DeveloperKeyWatch(ScriptedInput& script) : script(script) {}

    // Presses of developer keys the game has read: a key counts once each
    // time it goes down.
    int Presses() const { return presses; }

    bool CreateKeyboard() override { return script.CreateKeyboard(); }
    bool CreateMouse(bool exclusive) override { return script.CreateMouse(exclusive); }
    bool AcquireKeyboard() override { return script.AcquireKeyboard(); }
    void UnacquireKeyboard() override { script.UnacquireKeyboard(); }
    bool AcquireMouse() override { return script.AcquireMouse(); }
    void UnacquireMouse() override { script.UnacquireMouse(); }
    bool ReadMouse(MouseState& state) override { return script.ReadMouse(state); }
    bool ReadKeyboard(std::uint8_t (&keys)[kKeyTableSize]) override {
        if (!script.ReadKeyboard(keys)) return false;
        for (int code = 0; code < kKeyTableSize; ++code) {
            const bool down = (keys[code] & kDownBit) != 0;
            if (down && !wasDown[code] && IsDeveloperKey(static_cast<std::uint8_t>(code))) ++presses;
            wasDown[code] = down;
        }
        return true;
    }

private:
    ScriptedInput& script;
    bool wasDown[kKeyTableSize] = {};
    int presses = 0;
};
