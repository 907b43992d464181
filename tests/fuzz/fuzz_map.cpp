// libFuzzer target for the map compiler: .map text parsed, compiled with
// every texture known (64 x 64), and a level written without errors read
// back with the game's level reader, as mapc does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler.h"
#include "fuzz/fuzz_support.h"
#include "map_file.h"

namespace {

constexpr int kTextureSide = 64;

std::string& LevelPath() {
    static std::string path;
    return path;
}

std::optional<TextureSize> AnyTexture(const std::string&) { return TextureSize{kTextureSide, kTextureSide}; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    LevelPath() = (MakeScratchFolder("fuzz-map") / "input.spt").string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    MapFile map;
    try {
        map = ParseMap(text, "input.map");
    } catch (const MapError&) {
        return 0;
    }
    CompileOptions options;
    options.levelName = "input";
    const CompileResult result = CompileMap(map, AnyTexture, options);
    if (!result.errors.empty()) return 0;
    const auto bytes = reinterpret_cast<const std::uint8_t*>(result.levelText.data());
    if (WriteBytes(LevelPath(), bytes, result.levelText.size())) LevelRefusal(LevelPath());
    return 0;
}
