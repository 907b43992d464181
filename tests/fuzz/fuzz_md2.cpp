// libFuzzer target for the MD2 model parser. Whatever it accepts must be
// safe to draw: every triangle's indices inside their tables and a point
// for every vertex of every frame.
#include <cstddef>
#include <cstdint>

#include "graphics/md2_file.h"

namespace {
bool Drawable(const Md2FileData& model) {
    if (model.points.size() != std::size_t(model.frameCount) * std::size_t(model.vertexCount)) return false;
    for (const Md2FileTriangle& t : model.triangles) {
        for (int c = 0; c < 3; ++c) {
            if (t.vertex[c] >= model.vertexCount || t.texCoord[c] >= model.texCoords.size()) return false;
        }
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto model = ParseMd2File(data, size);
    if (model && !Drawable(*model)) __builtin_trap();
    return 0;
}
