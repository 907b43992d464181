#pragma once
#include <cstddef>
#include <cstdint>

#include "input/input.h"

// SDL's own name for its game controller, declared here so that this header
// needs none of SDL's.
struct _SDL_GameController;  // NOLINT(bugprone-reserved-identifier)
using SdlGameController = _SDL_GameController;  // NOLINT(bugprone-reserved-identifier)

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
// The first game pad SDL's game-controller interface knows plays; one
// plugged in or out while playing is taken up or let go at the next read.
class SdlInputDevices final : public InputDevices {
public:
    explicit SdlInputDevices(GameWindow& window);
    ~SdlInputDevices() override;
    SdlInputDevices(const SdlInputDevices&) = delete;
    SdlInputDevices& operator=(const SdlInputDevices&) = delete;

    bool CreateKeyboard() override { return true; }
    bool CreateMouse(bool exclusive) override;
    bool AcquireKeyboard() override;
    void UnacquireKeyboard() override {}
    bool AcquireMouse() override;
    void UnacquireMouse() override;
    bool ReadKeyboard(std::uint8_t (&keys)[kKeyTableSize]) override;
    bool ReadMouse(MouseState& state) override;
    bool PeekMouseMotion(int& dx, int& dy) override;
    bool ReadPad(PadState& state) override;
    void RumblePad(float low, float high, std::uint32_t ms) override;

private:
    void LoseMouse();
    // The pad that plays: the one open while it stays plugged in, else the
    // first game controller SDL lists; null when there is none.
    SdlGameController* PlayingPad();

    GameWindow& window;
    bool exclusiveMouse = false;
    bool mouseAcquired = false;
    bool padSubsystem = false;
    SdlGameController* pad = nullptr;
    // Motion a peek took from SDL, counted by the next read.
    int peekedX = 0;
    int peekedY = 0;
};

}  // namespace platform
