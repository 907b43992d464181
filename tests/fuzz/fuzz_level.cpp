// libFuzzer target for the level file and its AI node file, read the way the
// game reads them: World::Load in the game's GL context, in a scratch data
// folder whose gfx/, models/ and sounds/ link to a generated one
// (TALVEMAR_GAME_DIR, else the folder this target was configured with), so
// the textures a level names are there to load.
//
// After every load that succeeds the real game plays the level for a few
// frames (one Game for the run, over a fake clock): the hero walks, turns,
// jumps and fires, the enemies, pickups, exits and cutscenes do their part,
// so what the loader accepts is fuzzed where the game uses it. The level is
// entered as the last of the sequence, whose next level has the same file:
// a level change reloads the input.
//
// An input holds both files: its first four bytes are the length of the
// level file (little-endian, cut to what follows), then the level file,
// then the AI node file (levels/Level1.ai, which that level reads).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "base/debug_log.h"
#include "base/settings.h"
#include "core/game.h"
#include "fake_clock.h"
#include "fuzz/fuzz_gl_context.h"
#include "fuzz/fuzz_support.h"
#include "input/key_codes.h"
#include "input/scripted_input.h"
#include "world/entities.h"
#include "world/level_text.h"
#include "world/world.h"

namespace {

// Relative to the scratch data folder, as the game names them. The input is
// the level of index kInputLevelIndex, which reads Level1.ai, and the level
// after it (LevelFileFor) is the same file.
constexpr char kLevelPath[] = "levels/Credits.spt";
constexpr char kAiPath[] = "levels/Level1.ai";
constexpr char kOptionsMenuPath[] = "levels/optionmenu.spt";
constexpr int kInputLevelIndex = 6;
constexpr std::size_t kLengthBytes = 4;
// The frames played on a loaded level: enough for the first steps, shots,
// touches and a level change, few enough to keep the search fast.
constexpr int kFramesPlayed = 4;
constexpr int kJumpFrame = 1;
constexpr int kTurnPerFrame = 40;  // mouse counts
constexpr unsigned kRandomSeed = 1;

std::filesystem::path& DataFolder() {
    static std::filesystem::path folder;
    return folder;
}

// The game every input is played in: its models and sounds load once.
struct FuzzGame {
    ScopedFakeClock clock;
    ScriptedInput script;
    Game game;
    Settings startSettings;
};

std::unique_ptr<FuzzGame>& TheGame() {
    static std::unique_ptr<FuzzGame> game;
    return game;
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

// The level entered as the game enters any level, with what an input before
// it left behind put back: settings, weapons, keys; then a few frames with
// the hero walking forward, turning, jumping and firing.
void PlayLevel(FuzzGame& fuzz) {
    Game& game = fuzz.game;
    settings = fuzz.startSettings;
    std::srand(kRandomSeed);
    levelIndex = kInputLevelIndex;
    fuzz.script.ReleaseAll();
    InitWeapons(game.weapons);
    game.EnterLevel(kLevelPath);
    fuzz.script.Hold(key::W);
    fuzz.script.Hold(key::E);
    for (int frame = 0; frame < kFramesPlayed && !settings.quitRequested; ++frame) {
        if (frame == kJumpFrame) fuzz.script.Hold(key::Space);
        fuzz.script.MoveMouse(kTurnPerFrame, 0);
        game.RunFrame();
    }
    fuzz.script.ReleaseAll();
}

void LinkFromGameFolder(const std::filesystem::path& gameDir, const char* name) {
    const std::filesystem::path from = gameDir / name;
    if (std::filesystem::is_directory(from)) std::filesystem::create_directory_symlink(from, DataFolder() / name);
    else std::filesystem::create_symlink(from, DataFolder() / name);
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
    for (const char* name : {"gfx", "models", "sounds"}) LinkFromGameFolder(gameDir, name);
    // Only the options menu is linked: the input and its AI nodes are
    // written into levels/, never through a link into the game folder.
    std::filesystem::create_directory(DataFolder() / "levels");
    LinkFromGameFolder(gameDir, kOptionsMenuPath);
    OpenOffscreenGlContext(DataFolder());
    const WorkingDirectory inDataFolder(DataFolder());
    TheGame() = std::make_unique<FuzzGame>();
    TheGame()->game.Init(&TheGame()->script);
    TheGame()->startSettings = settings;
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
    {
        World world;
        const int result = world.Load(kLevelPath, kInputLevelIndex);
        if (result < kLevelLoadOk || result > kLevelDamaged) __builtin_trap();
        if (result != kLevelLoadOk) return 0;
        if (!Consistent(world)) __builtin_trap();
    }
    PlayLevel(*TheGame());
    return 0;
}
