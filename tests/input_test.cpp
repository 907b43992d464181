#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <map>
#include <set>

#include "input/input.h"
#include "input/key_codes.h"
#include "platform/sdl_input.h"

namespace {

// Scriptable devices: what the "hardware" holds, and whether the window has
// the focus (reads and acquires fail without it).
class FakeDevices final : public InputDevices {
public:
    bool focus = true;
    bool keyboardExists = true;
    bool mouseExists = true;
    std::uint8_t keys[kKeyTableSize] = {};
    MouseState mouse;
    int keyboardAcquires = 0;

    bool CreateKeyboard() override { return keyboardExists; }
    bool CreateMouse(bool) override { return mouseExists; }
    bool AcquireKeyboard() override {
        ++keyboardAcquires;
        return focus;
    }
    void UnacquireKeyboard() override {}
    bool AcquireMouse() override { return focus; }
    void UnacquireMouse() override {}
    bool ReadKeyboard(std::uint8_t (&out)[kKeyTableSize]) override {
        if (!focus) return false;
        std::memcpy(out, keys, sizeof keys);
        return true;
    }
    bool ReadMouse(MouseState& out) override {
        if (!focus) return false;
        out = mouse;
        mouse.lX = mouse.lY = mouse.lZ = 0;  // relative motion is consumed
        return true;
    }
    void Press(std::uint8_t code) { keys[code] = kDownBit; }
    void Release(std::uint8_t code) { keys[code] = 0; }
};

TEST(Input, WithoutDevicesEverythingReadsAsNothing) {
    Input input;
    EXPECT_FALSE(input.Init(nullptr, true, kKeyboardDevice | kMouseDevice));
    input.AcquireAll();
    input.Update();
    EXPECT_FALSE(input.KeyDown(key::W));
    EXPECT_FALSE(input.MouseButtonDown(mouse_button::Left));
    EXPECT_EQ(input.GetMouseWheel(), 0);
    int dx = 17, dy = -4;
    input.GetMouseDelta(&dx, &dy);
    EXPECT_EQ(dx, 17);
    EXPECT_EQ(dy, -4);
}

TEST(Input, DeviceMaskSelectsDevices) {
    FakeDevices devices;
    devices.Press(key::E);
    devices.mouse.rgbButtons[0] = kDownBit;
    Input keyboardOnly;
    ASSERT_TRUE(keyboardOnly.Init(&devices, true, kKeyboardDevice));
    keyboardOnly.Update();
    EXPECT_TRUE(keyboardOnly.HasKeyboard());
    EXPECT_FALSE(keyboardOnly.HasMouse());
    EXPECT_TRUE(keyboardOnly.KeyDown(key::E));
    EXPECT_FALSE(keyboardOnly.MouseButtonDown(mouse_button::Left));

    Input mouseOnly;
    ASSERT_TRUE(mouseOnly.Init(&devices, true, kMouseDevice));
    mouseOnly.Update();
    EXPECT_FALSE(mouseOnly.KeyDown(key::E));
    EXPECT_TRUE(mouseOnly.MouseButtonDown(mouse_button::Left));

    // A device that cannot be made counts as absent.
    devices.mouseExists = false;
    Input noMouse;
    EXPECT_TRUE(noMouse.Init(&devices, true, 3));
    EXPECT_TRUE(noMouse.HasKeyboard());
    EXPECT_FALSE(noMouse.HasMouse());
    EXPECT_EQ(noMouse.GetMouseWheel(), 0);
}

TEST(Input, LevelStateRepeatsEveryFrameWhileHeld) {
    FakeDevices devices;
    Input input;
    input.Init(&devices, true, 3);
    input.AcquireAll();
    devices.Press(key::Space);
    for (int frame = 0; frame < 5; ++frame) {
        input.Update();
        EXPECT_TRUE(input.KeyDown(key::Space)) << frame;
    }
    devices.Release(key::Space);
    input.Update();
    EXPECT_FALSE(input.KeyDown(key::Space));
}

TEST(Input, MotionBeforeStartIsNotReported) {
    FakeDevices devices;
    devices.mouse.lX = 500;
    devices.mouse.lY = 300;
    devices.mouse.lZ = 120;
    Input input;
    input.Init(&devices, true, 3);
    input.AcquireAll();
    input.Update();
    int dx = -1, dy = -1;
    input.GetMouseDelta(&dx, &dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    EXPECT_EQ(input.GetMouseWheel(), 0);

    devices.mouse.lX = 7;
    devices.mouse.lY = -3;
    devices.mouse.lZ = -240;
    input.Update();
    input.GetMouseDelta(&dx, &dy);
    EXPECT_EQ(dx, 7);
    EXPECT_EQ(dy, -3);
    EXPECT_EQ(input.GetMouseWheel(), -240);
}

TEST(Input, KeysHeldWhenFocusGoesStayHeldUntilItReturns) {
    FakeDevices devices;
    Input input;
    input.Init(&devices, true, 3);
    input.AcquireAll();
    devices.Press(key::W);
    devices.mouse.rgbButtons[0] = kDownBit;
    devices.mouse.lX = 9;
    input.Update();
    ASSERT_TRUE(input.KeyDown(key::W));

    devices.focus = false;
    devices.Release(key::W);
    devices.mouse.lX = 9;
    for (int frame = 0; frame < 3; ++frame) {
        input.Update();
        EXPECT_TRUE(input.KeyDown(key::W));
        EXPECT_TRUE(input.MouseButtonDown(mouse_button::Left));
        int dx = -1, dy = -1;
        input.GetMouseDelta(&dx, &dy);
        EXPECT_EQ(dx, 0) << "motion must not repeat while the window is in the background";
    }

    devices.focus = true;
    devices.mouse.rgbButtons[0] = 0;
    input.Update();
    EXPECT_FALSE(input.KeyDown(key::W));
    EXPECT_FALSE(input.MouseButtonDown(mouse_button::Left));
}

TEST(Input, ButtonsOutsideTheFourReadAsUpAndShutdownDropsBothDevices) {
    FakeDevices devices;
    devices.Press(key::A);
    for (auto& b : devices.mouse.rgbButtons) b = kDownBit;
    Input input;
    input.Init(&devices, true, 3);
    input.Update();
    ASSERT_TRUE(input.KeyDown(key::A));
    EXPECT_TRUE(input.MouseButtonDown(3));
    EXPECT_FALSE(input.MouseButtonDown(4));
    EXPECT_FALSE(input.MouseButtonDown(-1));
    EXPECT_TRUE(input.Shutdown());
    EXPECT_FALSE(input.HasKeyboard());
    EXPECT_FALSE(input.HasMouse());
    EXPECT_FALSE(input.KeyDown(key::A));
    EXPECT_FALSE(input.MouseButtonDown(0));
}

TEST(KeyTable, SdlKeysMapOneToOneOntoTheClassicScanCodes) {
    std::map<int, std::uint8_t> expected = {{SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_SPACE, 0x39},
                                            {SDL_SCANCODE_F12, 0x58}};
    // The classic scan codes run along the keyboard's rows.
    for (const auto& [row, first] : {std::pair{"QWERTYUIOP", 0x10}, {"ASDFGHJKL", 0x1E}, {"ZXCVBNM", 0x2C}})
        for (int i = 0; row[i]; ++i) expected[SDL_SCANCODE_A + (row[i] - 'A')] = std::uint8_t(first + i);
    for (int i = 0; i < 10; ++i) expected[SDL_SCANCODE_1 + i] = std::uint8_t(0x02 + i);  // 1..9, then 0
    std::size_t count = 0;
    const platform::KeyMapping* table = platform::KeyMappings(count);
    std::map<int, std::uint8_t> actual;
    std::set<std::uint8_t> codes;
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_TRUE(actual.emplace(table[i].sdlScancode, table[i].code).second)
            << "SDL scancode listed twice: " << table[i].sdlScancode;
        EXPECT_TRUE(codes.insert(table[i].code).second)
            << "two SDL keys fill the same code " << int(table[i].code);
    }
    for (const auto& [sdl, code] : expected) {
        ASSERT_TRUE(actual.count(sdl)) << SDL_GetScancodeName(static_cast<SDL_Scancode>(sdl));
        EXPECT_EQ(actual[sdl], code) << SDL_GetScancodeName(static_cast<SDL_Scancode>(sdl));
    }
}

TEST(KeyTable, TheControlsFileNamesEveryKeyAsSdlDoes) {
    std::size_t count = 0;
    const platform::KeyMapping* table = platform::KeyMappings(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char* sdlName = SDL_GetScancodeName(static_cast<SDL_Scancode>(table[i].sdlScancode));
        Control control;
        ASSERT_TRUE(ParseControl(sdlName, control)) << sdlName;
        EXPECT_EQ(control, (Control{Control::Device::Key, table[i].code})) << sdlName;
    }
}

}  // namespace
