// texgen <game dir>: writes the game's textures, interface images and font
// below the game folder. texgen --list prints the level texture list.
// texgen --editor <editor dir> writes the level editor's tool textures below
// its game folder.
#include <cstdio>
#include <exception>
#include <string>

#include "texgen/font_raster.h"
#include "texgen/texgen.h"
#include "texgen/tool_textures.h"

namespace {

constexpr int kFailure = 1;

int PrintUsage() {
    std::fprintf(stderr, "usage: texgen <game dir>\n       texgen --list\n       texgen --editor <editor dir>\n");
    return kFailure;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) return PrintUsage();
    const std::string argument = argv[1];
    const bool editor = argument == "--editor";
    if (editor != (argc == 3)) return PrintUsage();
    try {
        if (editor) {
            const texgen::FontLibrary fonts;
            texgen::WriteToolTextures(texgen::MakeToolTextures(fonts), argv[2]);
            return 0;
        }
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
