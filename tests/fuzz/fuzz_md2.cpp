// libFuzzer entry point for the MD2 model parser. Built only with
// -DTALVEMAR_FUZZ=ON and clang; seed it with the generated models, e.g.
// `fuzz_md2 -max_len=65536 corpus/` with corpus/ holding build/game/models/**/*.md2.
#include <cstddef>
#include <cstdint>

#include "graphics/md2_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParseMd2File(data, size);
    return 0;
}
