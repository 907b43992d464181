#include "demo/content_identity.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "base/fnv_hash.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kContentFolders[] = {"levels", "models", "gfx", "sounds"};

void HashFile(FnvHash& hash, const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        hash.Bytes(block, static_cast<std::size_t>(in.gcount()));
}

// The regular files below `folder`, as paths relative to `root` in a fixed
// order, so the identity does not depend on the order the system lists them.
std::vector<fs::path> FilesBelow(const fs::path& root, const char* folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root / folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error)) files.push_back(it->path().lexically_relative(root));
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::uint64_t ContentIdentity(const std::string& root, const std::string& extraFile) {
    FnvHash hash;
    for (const char* folder : kContentFolders) {
        for (const fs::path& file : FilesBelow(root, folder)) {
            hash.Text(file.generic_string());
            HashFile(hash, fs::path(root) / file);
        }
    }
    if (!extraFile.empty()) {
        hash.Text("--level");
        HashFile(hash, extraFile);
    }
    return hash.Value();
}
