// icongen <icons dir> <size>...: draws the game's desktop icon at each size
// into <icons dir>/hicolor/<size>x<size>/apps/talvemar.png, the layout of
// the freedesktop icon theme the desktop looks in.
#include <cstdio>
#include <exception>
#include <string>

#include "common/image.h"
#include "common/png.h"
#include "icongen/emblem.h"

namespace {

constexpr int kFailure = 1;
constexpr int kSmallestSize = 16;
constexpr int kLargestSize = 1024;

int PrintUsage() {
    std::fprintf(stderr, "usage: icongen <icons dir> <size>...\n");
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return PrintUsage();
    const std::string iconsDir = argv[1];
    try {
        for (int i = 2; i < argc; ++i) {
            int size = 0;
            if (!ParseSize(argv[i], size)) {
                std::fprintf(stderr, "icongen: size %s is not a whole number from %d to %d\n", argv[i],
                             kSmallestSize, kLargestSize);
                return kFailure;
            }
            const std::string side = std::to_string(size);
            std::string path = iconsDir;
            path.append("/hicolor/").append(side).append("x").append(side).append("/apps/talvemar.png");
            WriteFileBytes(path, EncodePng(icongen::DrawEmblem(size)));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "icongen: %s\n", error.what());
        return kFailure;
    }
    return 0;
}
