// mapc <game dir> <source.map> <level path below the game dir> [--stand-in TEXTURE]
// Compiles a .map level source into the game's level format.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "compiler.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) {
        std::fprintf(stderr, "usage: mapc <game dir> <source.map> <level file below the game dir> [--stand-in TEXTURE]\n");
        return 2;
    }
    const std::string gameDir = argv[1], source = argv[2], target = argv[3];
    CompileOptions options;
    options.levelName = std::filesystem::path(target).stem().string();
    if (argc == 6) {
        if (std::string(argv[4]) != "--stand-in") {
            std::fprintf(stderr, "mapc: unknown option %s\n", argv[4]);
            return 2;
        }
        options.standInTexture = argv[5];
    }
    try {
        const CompileResult result = CompileMap(ReadMapFile(source), TexturesInGameFolder(gameDir), options);
        for (const std::string& w : result.warnings) std::fprintf(stderr, "%s: warning: %s\n", source.c_str(), w.c_str());
        const std::filesystem::path out = std::filesystem::path(gameDir) / target;
        std::filesystem::create_directories(out.parent_path());
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        file << result.levelText;
        if (!file) {
            std::fprintf(stderr, "mapc: cannot write %s\n", out.c_str());
            return 1;
        }
        std::printf("%s: %d triangles -> %s\n", source.c_str(), result.triangles, target.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
