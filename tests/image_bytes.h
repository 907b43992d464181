#pragma once
// Image files built byte by byte for the decoders: BMP, PCX and TGA.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// Stored rows of the given R, G, B pixels as B, G, R, each row padded to 4
// bytes with 0xEE.
inline Bytes BgrRowsOf(int width, const Bytes& rgb) {
    Bytes rows;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        rows.insert(rows.end(), {rgb[i + 2], rgb[i + 1], rgb[i]});
        if ((i / 3 + 1) % std::size_t(width) == 0)
            while (rows.size() % 4 != 0) rows.push_back(0xEE);
    }
    return rows;
}

// Stored pixel (x, y) is R = 100 + x, G = y, B = x.
inline Bytes BgrRows(int width, int height) {
    Bytes rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rgb.insert(rgb.end(), {std::uint8_t(100 + x), std::uint8_t(y), std::uint8_t(x)});
    return BgrRowsOf(width, rgb);
}

inline Bytes Bmp(std::int32_t width, std::int32_t height, const Bytes& pixelBytes, std::uint16_t bits = 24,
                 bool writeImageSize = true) {
    Bytes b(54);
    Put16(b, 0, 19778);
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, std::uint32_t(width));
    Put32(b, 22, std::uint32_t(height));
    Put16(b, 28, bits);
    Put32(b, 34, writeImageSize ? std::uint32_t(pixelBytes.size()) : 0);
    b.insert(b.end(), pixelBytes.begin(), pixelBytes.end());
    return b;
}

// Minimal run-length coding: runs of up to 63; indices of 192 and up are
// always coded as runs.
inline Bytes PcxRuns(const Bytes& indices) {
    Bytes coded;
    for (std::size_t i = 0; i < indices.size();) {
        std::size_t run = 1;
        while (i + run < indices.size() && run < 63 && indices[i + run] == indices[i]) ++run;
        if (run > 1 || indices[i] >= 192) coded.push_back(std::uint8_t(192 + run));
        coded.push_back(indices[i]);
        i += run;
    }
    return coded;
}

// Palette entry i is (i, 255 - i, i / 2).
inline Bytes Pcx(int width, int height, int bytesPerLine, const Bytes& coded, std::uint8_t marker = 12) {
    Bytes b(128);
    b[0] = 10;
    b[1] = 5;
    Put16(b, 4, 7);
    Put16(b, 6, 3);
    Put16(b, 8, 7 + width - 1);
    Put16(b, 10, 3 + height - 1);
    Put16(b, 66, bytesPerLine);
    b.insert(b.end(), coded.begin(), coded.end());
    b.push_back(marker);
    for (int i = 0; i < 256; ++i)
        b.insert(b.end(), {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2)});
    return b;
}

inline Bytes Tga(std::uint8_t type, int width, int height, int bits, const Bytes& pixels,
                 const std::string& id = "") {
    Bytes b(18 + id.size());
    std::copy(id.begin(), id.end(), b.begin() + 18);
    b[0] = std::uint8_t(id.size());
    b[2] = type;
    Put16(b, 12, width);
    Put16(b, 14, height);
    b[16] = std::uint8_t(bits);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}
