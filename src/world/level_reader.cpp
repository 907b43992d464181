#include "world/level_reader.h"

#include <cstring>

namespace {
constexpr long kMinBytesPerLine = 2;  // one character and its line end

// An empty line (also one ended the DOS way) or a comment.
bool IsSkipped(const char* line) {
    return line[0] == '\n' || line[0] == '/' || (line[0] == '\r' && line[1] == '\n');
}
}  // namespace

LevelReader::LevelReader(const std::string& path) : file(std::fopen(path.c_str(), "r")) {
    if (!file) return;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) size = std::ftell(file.get());
    std::rewind(file.get());
}

bool LevelReader::ReadLine(char (&line)[kLineSize]) {
    if (!file) return false;
    for (;;) {
        if (!std::fgets(line, kLineSize, file.get())) {
            line[0] = '\0';
            return false;
        }
        if (atLineStart) ++lineNumber;
        const std::size_t length = std::strlen(line);
        atLineStart = length > 0 && line[length - 1] == '\n';
        if (!IsSkipped(line)) return true;
    }
}

long LevelReader::RemainingBytes() const {
    if (!file) return 0;
    const long position = std::ftell(file.get());
    return position < 0 || position > size ? 0 : size - position;
}

bool LevelReader::CountFits(long count, long linesEach) const {
    if (count < 0) return false;
    if (count == 0) return true;
    const long bytesEach = linesEach * kMinBytesPerLine;
    return count <= RemainingBytes() / bytesEach;
}
