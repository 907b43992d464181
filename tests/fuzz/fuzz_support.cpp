#include "fuzz/fuzz_support.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr char kMemoryFolder[] = "/dev/shm";

std::filesystem::path& ScratchRoot() {
    static std::filesystem::path root;
    return root;
}

void RemoveScratchFolder() {
    std::error_code ignored;
    if (!ScratchRoot().empty()) std::filesystem::remove_all(ScratchRoot(), ignored);
}

// Memory-backed where there is such a folder: every input is written to a
// file, and rewriting a file on disk costs a flush at each close.
std::filesystem::path ScratchParent() {
    std::error_code error;
    if (std::filesystem::is_directory(kMemoryFolder, error)) return kMemoryFolder;
    return std::filesystem::temp_directory_path();
}

}  // namespace

std::filesystem::path MakeScratchFolder(const char* target) {
    const std::filesystem::path pattern =
        ScratchParent() / (std::string("talvemar-") + target + "-XXXXXX");
    std::string name = pattern.string();
    if (!mkdtemp(name.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    ScratchRoot() = name;
    std::atexit(RemoveScratchFolder);
    return name;
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& folder)
    : previous(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

bool WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return !out.fail();
}
