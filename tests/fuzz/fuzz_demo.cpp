// libFuzzer entry point for demo files: the decoder's checks, then a player
// answering a game's calls from whatever decoded. Built only with
// -DTALVEMAR_FUZZ=ON and clang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "demo/demo_devices.h"
#include "demo/demo_file.h"

namespace {

// A clock that never moves: a paced player would sleep on it.
constexpr int kMostFrames = 2000;
constexpr int kMostReadingsAFrame = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::optional<Demo> demo = DecodeDemo(bytes, error);
    if (!demo) {
        if (error.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    DemoPlayer player(*demo);
    player.CreateKeyboard();
    player.CreateMouse(true);
    player.EndFrame();
    std::uint8_t keys[kKeyTableSize] = {};
    MouseState mouse;
    for (int frame = 0; frame < kMostFrames && !player.AtEnd(); ++frame) {
        platform::WindowEvent event;
        player.NextWindowEvent(event);
        player.ReadKeyboard(keys);
        player.ReadMouse(mouse);
        for (int i = 0; i < kMostReadingsAFrame; ++i) player.TickCount();
        player.Counter();
        player.EndFrame();
    }
    return 0;
}
