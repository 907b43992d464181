#pragma once
// A synthetic level for the benchmarks: boxes of textured quads scattered over
// a wide, low area (12 triangles a box), all with one texture.
#include <cstdlib>
#include <string>

inline std::string GeneratedLevel(int boxes, const std::string& texture = "stone") {
    std::string out = "DRELIX 1\nNAME bench\nNUMWADS 0\nNUMTEXTURES 1\nTEXTURE " + texture + "\nNUMENTITIES 2\n";
    out += "worldspawn\n0\n" + std::to_string(boxes * 6) + "\n";
    std::srand(7);
    for (int b = 0; b < boxes; ++b) {
        const float x = static_cast<float>(std::rand() % 20000 - 10000);
        const float z = static_cast<float>(std::rand() % 20000 - 10000);
        const float y = static_cast<float>(std::rand() % 400);
        const float s = static_cast<float>(16 + std::rand() % 240);
        const float corners[8][3] = {{x, y, z},         {x + s, y, z},         {x + s, y, z + s},
                                     {x, y, z + s},     {x, y + s, z},         {x + s, y + s, z},
                                     {x + s, y + s, z + s}, {x, y + s, z + s}};
        const int faces[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1},
                                 {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};
        for (const auto& f : faces) {
            out += "0\n0 1 0 0\n4\n";
            for (int i = 0; i < 4; ++i) {
                const float* c = corners[f[i]];
                out += std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]) +
                       " " + std::to_string(i & 1) + " " + std::to_string(i >> 1) + "\n";
            }
        }
    }
    out += "PlayerStart\n1\norigin\n0 0 50\n0\n";
    return out;
}
