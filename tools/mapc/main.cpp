// mapc <game dir> <source.map> <level path below the game dir> [--stand-in TEXTURE] [--point-file FILE]
// Compiles a .map level source into the game's level format.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "compiler.h"

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: mapc <game dir> <source.map> <level file below the game dir> [--stand-in TEXTURE] "
                 "[--point-file FILE]\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        Usage();
        return 2;
    }
    const std::string gameDir = argv[1], source = argv[2], target = argv[3];
    CompileOptions options;
    options.levelName = std::filesystem::path(target).stem().string();
    // Beside the map, where editors look for it, unless named.
    std::filesystem::path pointFile = std::filesystem::path(source).replace_extension(".pts");
    for (int i = 4; i < argc; i += 2) {
        const std::string flag = argv[i];
        if (i + 1 >= argc || (flag != "--stand-in" && flag != "--point-file")) {
            std::fprintf(stderr, "mapc: unknown option or missing value: %s\n", flag.c_str());
            Usage();
            return 2;
        }
        if (flag == "--stand-in") options.standInTexture = argv[i + 1];
        else pointFile = argv[i + 1];
    }
    options.pointFileName = pointFile.string();
    CompileResult result;
    try {
        result = CompileMap(ReadMapFile(source), TexturesInGameFolder(gameDir), options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: error: %s\n", source.c_str(), e.what());
        return 1;
    }
    for (const std::string& w : result.warnings) std::fprintf(stderr, "warning: %s\n", w.c_str());
    for (const std::string& e : result.errors) std::fprintf(stderr, "error: %s\n", e.c_str());
    std::printf("%s: %s\n", source.c_str(), result.summary.Line().c_str());
    if (result.leaked) {
        std::ofstream file(pointFile, std::ios::binary | std::ios::trunc);
        file << result.pointFile;
        if (!file) std::fprintf(stderr, "mapc: cannot write the point file %s\n", pointFile.c_str());
    }
    if (!result.errors.empty()) {
        std::fprintf(stderr, "%s: %zu errors, nothing written\n", source.c_str(), result.errors.size());
        return 1;
    }

    const std::filesystem::path out = std::filesystem::path(gameDir) / target;
    std::filesystem::create_directories(out.parent_path());
    {
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        file << result.levelText;
        if (!file) {
            std::fprintf(stderr, "mapc: cannot write %s\n", out.c_str());
            return 1;
        }
    }
    if (const std::optional<std::string> refusal = LevelRefusal(out.string())) {
        std::fprintf(stderr, "%s: error: the game would refuse the level written: %s\n", source.c_str(),
                     refusal->c_str());
        std::filesystem::remove(out);
        return 1;
    }
    std::printf("%s -> %s\n", source.c_str(), target.c_str());
    return 0;
}
