#pragma once
#include <cstddef>
#include <cstdint>

#include "input/input.h"

namespace platform {

class GameWindow;

// One row of the table that fills the game's key table from SDL's keyboard.
struct KeyMapping {
    int sdlScancode;
    std::uint8_t code;
};

// Every key the game reads, with its scan code.
const KeyMapping* KeyMappings(std::size_t& count);

// Keyboard and mouse read from SDL's state. The keyboard is shared; the
// exclusive mouse is SDL's relative mode (hidden cursor, held in the window).
// Reads fail without the focus. Losing the focus also loses the mouse, as a
// device lost to another program: relative mode is let go, and reads keep
// failing until the mouse is acquired again with the focus back. Motion made
// while it was lost is never counted.
class SdlInputDevices final : public InputDevices {
public:
    explicit SdlInputDevices(GameWindow& window) : window(window) {}

    bool CreateKeyboard() override { return true; }
    bool CreateMouse(bool exclusive) override;
    bool AcquireKeyboard() override;
    void UnacquireKeyboard() override {}
    bool AcquireMouse() override;
    void UnacquireMouse() override;
    bool ReadKeyboard(std::uint8_t (&keys)[kKeyTableSize]) override;
    bool ReadMouse(MouseState& state) override;
    bool PeekMouseMotion(int& dx, int& dy) override;

private:
    void LoseMouse();

    GameWindow& window;
    bool exclusiveMouse = false;
    bool mouseAcquired = false;
    // Motion a peek took from SDL, counted by the next read.
    int peekedX = 0;
    int peekedY = 0;
};

}  // namespace platform
