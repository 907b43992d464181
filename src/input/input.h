#pragma once
#include <cstdint>
#include <memory>

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

private:
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<Mouse> mouse;
    InputDevices* devices = nullptr;
    // The keyboard table as the previous Update left it.
    std::uint8_t keysBefore[kKeyTableSize] = {};
};
