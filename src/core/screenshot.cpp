#include "core/screenshot.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {
constexpr int kBmpHeaderBytes = 54;
constexpr int kMaxScreenshots = 1000;

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
}  // namespace

bool SaveScreenshot(const std::string& path, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    const int stride = (width * 3 + 3) & ~3;  // BMP rows are padded to four bytes
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * height);
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    // GL gives the bottom row first, the order of a bottom-up BMP; BGR is
    // the BMP's byte order.
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);

    std::vector<std::uint8_t> file;
    file.reserve(kBmpHeaderBytes + pixels.size());
    file.push_back('B');
    file.push_back('M');
    Put(file, static_cast<std::uint32_t>(kBmpHeaderBytes + pixels.size()), 4);
    Put(file, 0, 4);
    Put(file, kBmpHeaderBytes, 4);
    Put(file, 40, 4);
    Put(file, static_cast<std::uint32_t>(width), 4);
    Put(file, static_cast<std::uint32_t>(height), 4);
    Put(file, 1, 2);
    Put(file, 24, 2);
    Put(file, 0, 4);
    Put(file, static_cast<std::uint32_t>(pixels.size()), 4);
    Put(file, 2835, 4);
    Put(file, 2835, 4);
    Put(file, 0, 4);  // colours used
    Put(file, 0, 4);  // important colours
    file.insert(file.end(), pixels.begin(), pixels.end());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

std::string NextScreenshotName() {
    for (int i = 0; i < kMaxScreenshots; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "screenshot%03d.bmp", i);
        if (!std::ifstream(name)) return name;
    }
    return "screenshot999.bmp";
}
