#pragma once
// What the player's keys, mouse buttons and pad buttons do: each action of
// the hero's control is bound to the controls that press it. The defaults
// are the game's own key table (and a pad layout); "controls.ini" beside
// talvemar.ini binds them anew, one `action = control, control, ...` a line.
#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

enum class Action : std::uint8_t {
    Forward,
    Back,
    Left,  // the strafes
    Right,
    Jump,  // also brings the dead hero back
    Crouch,
    Run,
    Fire,
    Zoom,  // with weapon 2 in first person
    FirstPerson,
    ChaseView,
    SwitchView,  // first person and chase view in turn
    Weapon1,
    Weapon2,
    Weapon3,
    Weapon4,
    Weapon5,
    Weapon6,
    NextWeapon,  // one step of the weapon ring, as a wheel notch
    PreviousWeapon,
    ZoomReset,
    Count
};
constexpr int kActionCount = static_cast<int>(Action::Count);

// Pad buttons by their place on the pad, as SDL's game-controller
// interface names them, then the triggers and the left stick's four
// directions, pressed past their dead zones.
namespace pad_button {
enum : std::uint8_t {
    A,
    B,
    X,
    Y,
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    LeftTrigger,
    RightTrigger,
    LeftStickUp,
    LeftStickDown,
    LeftStickLeft,
    LeftStickRight,
    Count
};
}  // namespace pad_button

// One key of the game's key table, mouse button or pad button.
struct Control {
    enum class Device : std::uint8_t { Key, Mouse, Pad };
    Device device = Device::Key;
    std::uint8_t code = 0;
    bool operator==(const Control& other) const { return device == other.device && code == other.code; }
};

struct Bindings {
    std::array<std::vector<Control>, kActionCount> of;
    const std::vector<Control>& operator[](Action a) const { return of[static_cast<int>(a)]; }
};

// The game's key table, mouse buttons and pad layout.
Bindings DefaultBindings();
// `forward`, `weapon_1`...: the names the controls file uses.
const char* ActionName(Action action);
// A control's name as the controls file writes it: keys as SDL names them
// ("W", "Left Shift"), "Mouse Left", "Pad A". False for a name nothing has.
bool ParseControl(const std::string& name, Control& control);
std::string ControlName(const Control& control);

// The bindings of a stream in the controls-file format, starting from the
// defaults: a line binds its action to exactly its controls. A line that
// names no action or a control that does not exist is reported to
// `problems` as "controls.ini line N: reason" and ignored; its action keeps
// its binding.
Bindings ReadControls(std::istream& in, std::ostream& problems);
// The bindings of the file at `path`; a missing file gives the defaults.
Bindings ReadControlsFile(const std::string& path, std::ostream& problems);
// Every action as a line that ReadControls reads back to the same bindings.
std::string ControlLines(const Bindings& bindings);

constexpr char kControlsFile[] = "controls.ini";
