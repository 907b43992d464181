#pragma once
// Small level folders written by the tests: a temporary working directory
// with gfx/ textures and levels/ files, and a builder for level text.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// A 24-bit BMP of one colour, rows padded to four bytes.
inline void WriteSolidBmp(const std::string& path, int width, int height, std::uint8_t r,
                          std::uint8_t g, std::uint8_t b) {
    const int stride = (width * 3 + 3) & ~3;
    const std::uint32_t imageSize = stride * height;
    std::vector<std::uint8_t> f(54 + imageSize, 0);
    auto put16 = [&](int at, std::uint16_t v) { f[at] = v & 0xFF; f[at + 1] = v >> 8; };
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = (v >> (8 * i)) & 0xFF;
    };
    put16(0, 0x4D42);
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = &f[54 + y * stride + x * 3];
            px[0] = b;
            px[1] = g;
            px[2] = r;
        }
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f.data()), f.size());
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Makes a fresh folder with gfx/ and levels/ in the tests' temporary folder
// and works inside it.
class TempLevelDir {
public:
    TempLevelDir() {
        std::string pattern = ::testing::TempDir() + "talvemar-level-XXXXXX";
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed under " + ::testing::TempDir());
        root = pattern;
        std::filesystem::create_directories(root + "/gfx");
        std::filesystem::create_directories(root + "/levels");
        previous = std::filesystem::current_path();
        std::filesystem::current_path(root);
    }
    ~TempLevelDir() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
    }
    std::string root;

private:
    std::filesystem::path previous;
};

// Builds level text. Entities are added in order; the first should be the
// worldspawn.
class LevelText {
public:
    explicit LevelText(std::vector<std::string> textureNames = {"stone"})
        : textures(std::move(textureNames)) {}

    LevelText& Entity(const std::string& className,
                      const std::vector<std::pair<std::string, std::string>>& properties,
                      const std::vector<std::string>& polygons = {}) {
        body << className << "\n" << properties.size() << "\n";
        for (const auto& [key, value] : properties) body << key << "\n" << value << "\n";
        body << polygons.size() << "\n";
        for (const std::string& p : polygons) body << p;
        ++entityCount;
        return *this;
    }
    // A point entity at world (x, y, z); the file writes the height last.
    LevelText& Point(const std::string& className, float x, float y, float z,
                     std::vector<std::pair<std::string, std::string>> properties = {}) {
        std::ostringstream origin;
        origin << x << " " << z << " " << y;
        properties.insert(properties.begin(), {"origin", origin.str()});
        return Entity(className, properties);
    }

    // One polygon of a worldspawn: texture index, plane, and x y z u v rows.
    static std::string Polygon(int texture, const std::vector<std::vector<float>>& vertices,
                               const std::string& plane = "0 1 0 0") {
        std::ostringstream out;
        out << texture << "\n" << plane << "\n" << vertices.size() << "\n";
        for (const auto& v : vertices) {
            for (std::size_t i = 0; i < v.size(); ++i) out << (i ? " " : "") << v[i];
            out << "\n";
        }
        return out.str();
    }
    // A floor square of side `size` at height y, as one four-sided polygon.
    static std::string FloorSquare(float x, float z, float size, float y = 0.0f) {
        return Polygon(0, {{x, y, z, 0, 0}, {x, y, z + size, 0, 1},
                           {x + size, y, z + size, 1, 1}, {x + size, y, z, 1, 0}});
    }

    std::string Text() const {
        std::ostringstream out;
        out << "DRELIX 1\nNAME testlevel\nNUMWADS 0\nNUMTEXTURES " << textures.size() << "\n";
        for (const std::string& t : textures) out << "TEXTURE " << t << "\n";
        out << "NUMENTITIES " << entityCount << "\n" << body.str();
        return out.str();
    }

    std::vector<std::string> textures;

private:
    std::ostringstream body;
    int entityCount = 0;
};
