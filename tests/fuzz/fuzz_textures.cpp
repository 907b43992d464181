// libFuzzer target for the texture loaders in the game's GL context: an
// input is written to a scratch file named by its first bytes ("BM": .bmp,
// a first byte of 10: .pcx, anything else: .tga) and loaded on every path
// the game takes for that kind: interface and effect images (LoadTexture,
// UploadTexture), model skins (LoadSkinImage, UploadSkinTexture; BMP and
// PCX) and level textures (LoadLevelTexture; BMP).
#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_gl_context.h"
#include "fuzz/fuzz_support.h"
#include "graphics/gl_texture.h"
#include "graphics/textures.h"

namespace {

constexpr std::uint8_t kPcxManufacturer = 10;

std::filesystem::path& ScratchFolder() {
    static std::filesystem::path folder;
    return folder;
}

const char* ExtensionFor(const std::uint8_t* data, std::size_t size) {
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return ".bmp";
    if (size >= 1 && data[0] == kPcxManufacturer) return ".pcx";
    return ".tga";
}

void LoadAsInterfaceImage(const char* path) {
    Texture texture;
    if (LoadTexture(texture, path)) UploadTexture(texture);
}

void LoadAsSkin(const char* path) {
    const auto skin = LoadSkinImage(path);
    if (skin) UploadSkinTexture(*skin);
}

void LoadAsLevelTexture(const char* path) {
    GlTexture texture;
    glBindTexture(GL_TEXTURE_2D, texture.Generate());
    LoadLevelTexture(path, GL_LINEAR_MIPMAP_LINEAR, GL_REPEAT);
}

}  // namespace


extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ScratchFolder() = MakeScratchFolder("fuzz-textures");
    OpenOffscreenGlContext(ScratchFolder());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string extension = ExtensionFor(data, size);
    const std::string path = (ScratchFolder() / ("input" + extension)).string();
    if (!WriteBytes(path, data, size)) return 0;
    LoadAsInterfaceImage(path.c_str());
    if (extension != ".tga") LoadAsSkin(path.c_str());
    if (extension == ".bmp") LoadAsLevelTexture(path.c_str());
    return 0;
}
