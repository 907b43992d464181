// icongen <icons dir> <size>...: draws the game's desktop icon at each size
// into <icons dir>/hicolor/<size>x<size>/apps/talvemar.png, and the scalable
// one into <icons dir>/hicolor/scalable/apps/talvemar.svg: the layout of the
// freedesktop icon theme the desktop looks in.
// icongen --bmp <file> <size>: the icon as a 32-bit BMP with alpha, which
// the game sets as its window's icon.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "common/image.h"
#include "common/png.h"
#include "icongen/emblem.h"

namespace {

constexpr int kFailure = 1;
constexpr int kSmallestSize = 16;
constexpr int kLargestSize = 1024;

int PrintUsage() {
    std::fprintf(stderr, "usage: icongen <icons dir> <size>...\n       icongen --bmp <file> <size>\n");
    return kFailure;
}

bool ParseSize(const std::string& text, int& size) {
    try {
        std::size_t used = 0;
        size = std::stoi(text, &used);
        return used == text.size() && size >= kSmallestSize && size <= kLargestSize;
    } catch (const std::exception&) {
        return false;
    }
}

std::string ThemeIconPath(const std::string& iconsDir, const std::string& sizeFolder, const char* extension) {
    return iconsDir + "/hicolor/" + sizeFolder + "/apps/talvemar" + extension;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return PrintUsage();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool bmp = args[0] == "--bmp";
    if (bmp && args.size() != 3) return PrintUsage();
    try {
        for (std::size_t i = bmp ? 2 : 1; i < args.size(); ++i) {
            int size = 0;
            if (!ParseSize(args[i], size)) {
                std::fprintf(stderr, "icongen: size %s is not a whole number from %d to %d\n", args[i].c_str(),
                             kSmallestSize, kLargestSize);
                return kFailure;
            }
            if (bmp) {
                WriteFileBytes(args[1], EncodeBmpWithAlpha(icongen::DrawEmblem(size)));
                continue;
            }
            std::string folder = std::to_string(size);
            folder.append("x").append(std::to_string(size));
            WriteFileBytes(ThemeIconPath(args[0], folder, ".png"), EncodePng(icongen::DrawEmblem(size)));
        }
        if (!bmp) {
            const std::string svg = icongen::DrawEmblemSvg();
            WriteFileBytes(ThemeIconPath(args[0], "scalable", ".svg"), std::vector<std::uint8_t>(svg.begin(), svg.end()));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "icongen: %s\n", error.what());
        return kFailure;
    }
    return 0;
}
