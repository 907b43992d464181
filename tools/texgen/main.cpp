// texgen <game dir>: writes the game's textures, interface images and font
// below the game folder. texgen --list prints the level texture list.
#include <cstdio>
#include <exception>
#include <string>

#include "texgen/texgen.h"

namespace {

constexpr int kFailure = 1;

int PrintUsage() {
    std::fprintf(stderr, "usage: texgen <game dir>\n       texgen --list\n");
    return kFailure;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return PrintUsage();
    const std::string argument = argv[1];
    try {
        const texgen::GeneratedContent content = texgen::GenerateContent();
        if (argument == "--list") {
            std::fputs(texgen::TextureListText(content.levelTextures).c_str(), stdout);
            return 0;
        }
        texgen::WriteContent(content, argument);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "texgen: %s\n", error.what());
        return kFailure;
    }
    return 0;
}
