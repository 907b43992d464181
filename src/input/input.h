#pragma once
#include <cstdint>
#include <memory>

#include "input/controls.h"

// One read of the mouse: relative motion since the previous read
// (horizontal, vertical, wheel) and four buttons (bit 7 set = down).
struct MouseState {
    std::int32_t lX = 0;
    std::int32_t lY = 0;
    std::int32_t lZ = 0;
    std::uint8_t rgbButtons[4] = {};
};

constexpr int kKeyTableSize = 256;
constexpr std::uint8_t kDownBit = 0x80;

namespace pad_axis {
enum : std::uint8_t { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger, Count };
}
constexpr int kPadAxes = pad_axis::Count;
// The pad buttons a read reports (the triggers and stick directions are
// taken from the axes).
constexpr int kPadReadButtons = pad_button::DpadRight + 1;

// One read of the game pad that plays: whether one is plugged in, its axes
// (sticks -32768 to 32767 with y down, triggers 0 to 32767) and its buttons
// (bit n: pad_button n).
struct PadState {
    bool connected = false;
    std::int16_t axes[kPadAxes] = {};
    std::uint16_t buttons = 0;
};

// What the platform supplies for reading the devices. A read fails while the
// game's window does not have the focus; acquiring fails likewise.
class InputDevices {
public:
    virtual ~InputDevices() = default;
    virtual bool CreateKeyboard() = 0;
    virtual bool CreateMouse(bool exclusive) = 0;
    virtual bool AcquireKeyboard() = 0;
    virtual void UnacquireKeyboard() = 0;
    virtual bool AcquireMouse() = 0;
    virtual void UnacquireMouse() = 0;
    // Fills the whole table in scan-code order.
    virtual bool ReadKeyboard(std::uint8_t (&keys)[kKeyTableSize]) = 0;
    // Motion and wheel since the previous read, and the buttons now.
    virtual bool ReadMouse(MouseState& state) = 0;
    // The motion the next ReadMouse will count so far, without taking it:
    // for pictures drawn between two reads. False where it cannot be known.
    virtual bool PeekMouseMotion(int& dx, int& dy) {
        dx = dy = 0;
        return false;
    }
    // The first pad plugged in, as it is now; false (no pad) where the
    // devices have none.
    virtual bool ReadPad(PadState& pad) {
        pad = PadState{};
        return false;
    }
    // Shakes the pad (each motor 0 to 1) for `ms`, where it can.
    virtual void RumblePad(float /*low*/, float /*high*/, std::uint32_t /*ms*/) {}
};

class Keyboard {
public:
    explicit Keyboard(InputDevices& devices);
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Reads the table; a lost device is acquired again and read once more.
    // When that fails the previous table stays, so held keys stay held.
    bool Update();
    // Start-up and shutdown only: both clear the table.
    bool Acquire();
    bool Unacquire();
    bool IsDown(std::uint8_t code) const { return (keys[code] & kDownBit) != 0; }

    std::uint8_t keys[kKeyTableSize] = {};

private:
    InputDevices& devices;
};

class Mouse {
public:
    Mouse(InputDevices& devices, bool exclusive);
    ~Mouse();
    Mouse(const Mouse&) = delete;
    Mouse& operator=(const Mouse&) = delete;

    // As for the keyboard. While the device cannot be read the buttons keep
    // their last state but the motion and wheel read as zero: a relative
    // movement is not something that can stay pressed.
    bool Update();
    bool Acquire();
    bool Unacquire();

    MouseState state;

private:
    InputDevices& devices;
};

// Device-selection bits for Input::Init.
constexpr int kKeyboardDevice = 1;
constexpr int kMouseDevice = 2;

// Level-state keyboard and mouse, read once per frame.
class Input {
public:
    // devices == nullptr stands for a platform without input: no device is
    // created and Init returns false.
    bool Init(InputDevices* devices, bool exclusiveMouse, int deviceMask);
    void AcquireAll();
    void UnacquireAll();
    bool Update();
    bool Shutdown();

    bool KeyDown(std::uint8_t code) const;
    // Down now and up at the read before: true on one frame per press,
    // however long the key is held.
    bool KeyPressed(std::uint8_t code) const;
    bool MouseButtonDown(int button) const;
    // Leaves the outputs untouched when there is no mouse.
    void GetMouseDelta(int* dx, int* dy) const;
    int GetMouseWheel() const;
    // The motion the next Update will read so far; false (and zero) where
    // the devices cannot tell.
    bool PendingMouseMotion(int& dx, int& dy) const;

    bool HasKeyboard() const { return keyboard != nullptr; }
    bool HasMouse() const { return mouse != nullptr; }

    // An action is down while any control bound to it is; pressed on the
    // read it went down.
    bool ActionDown(Action action) const;
    bool ActionPressed(Action action) const;
    bool ControlDown(const Control& control) const;
    // The right stick past its dead zone, each way -1 to 1 on the response
    // curve (x right, y down); zero without a pad.
    void PadLook(float& x, float& y) const;
    bool PadConnected() const { return pad.connected; }
    void RumblePad(float low, float high, std::uint32_t ms);

    Bindings bindings = DefaultBindings();

private:
    bool ActionDownIn(Action action, bool before) const;
    bool ControlDownIn(const Control& control, bool before) const;
    PadState pad;
    PadState padBefore;
    std::uint8_t mouseButtonsBefore[4] = {};
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<Mouse> mouse;
    InputDevices* devices = nullptr;
    // The keyboard table as the previous Update left it.
    std::uint8_t keysBefore[kKeyTableSize] = {};
};
