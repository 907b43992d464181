// libFuzzer target for the level file and its AI node file, read the way the
// game reads them: World::Load in the game's GL context, in a scratch data
// folder whose gfx/ links to a generated one (TALVEMAR_GAME_DIR, else the
// folder this target was configured with), so the textures a level names
// are there to load.
//
// An input holds both files: its first four bytes are the length of the
// level file (little-endian, cut to what follows), then the level file,
// then the AI node file (levels/Level1.ai, which the options menu, level
// index 0, reads).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/debug_log.h"
#include "fuzz/fuzz_gl_context.h"
#include "fuzz/fuzz_support.h"
#include "world/entities.h"
#include "world/level_text.h"
#include "world/world.h"

namespace {

// Relative to the scratch data folder, as the game names them.
constexpr char kLevelPath[] = "levels/input.spt";
constexpr char kAiPath[] = "levels/Level1.ai";
constexpr int kOptionsMenuIndex = 0;
constexpr std::size_t kLengthBytes = 4;

std::filesystem::path& DataFolder() {
    static std::filesystem::path folder;
    return folder;
}

std::size_t LevelLength(const std::uint8_t* data, std::size_t size) {
    const std::uint32_t length = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                                 std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24;
    const std::size_t rest = size - kLengthBytes;
    return length < rest ? length : rest;
}

// What the rest of the game relies on after a load: every triangle names a
// loaded texture, and the tables stay within their rooms.
bool Consistent(const World& world) {
    for (const LevelEntity& entity : world.entities) {
        for (const WorldPolygon& t : entity.polygons) {
            if (t.texture < 0 || std::size_t(t.texture) >= world.textures.size()) return false;
        }
    }
    return aiNodes.size() <= std::size_t(kMaxAiNodes) && world.enemies.size() <= std::size_t(kMaxEnemies);
}

}  // namespace


extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* fromEnvironment = std::getenv("TALVEMAR_GAME_DIR");
    const std::filesystem::path gameDir =
        std::filesystem::absolute(fromEnvironment ? fromEnvironment : TALVEMAR_FUZZ_GAME_DIR);
    if (!std::filesystem::is_directory(gameDir / "gfx")) {
        std::fprintf(stderr, "%s has no gfx/: build the game first or set TALVEMAR_GAME_DIR\n",
                     gameDir.c_str());
        std::exit(1);
    }
    DataFolder() = MakeScratchFolder("fuzz-level");
    std::filesystem::create_directory_symlink(gameDir / "gfx", DataFolder() / "gfx");
    std::filesystem::create_directory(DataFolder() / "levels");
    OpenOffscreenGlContext(DataFolder());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kLengthBytes) return 0;
    const std::size_t levelBytes = LevelLength(data, size);
    const std::uint8_t* level = data + kLengthBytes;
    const WorkingDirectory inDataFolder(DataFolder());
    if (!WriteBytes(kLevelPath, level, levelBytes) ||
        !WriteBytes(kAiPath, level + levelBytes, size - kLengthBytes - levelBytes))
        return 0;
    OpenDebugLog();  // the log of the last input only
    World world;
    const int result = world.Load(kLevelPath, kOptionsMenuIndex);
    if (result < kLevelLoadOk || result > kLevelDamaged) __builtin_trap();
    if (result == kLevelLoadOk && !Consistent(world)) __builtin_trap();
    return 0;
}
