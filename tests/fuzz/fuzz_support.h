#pragma once
// What the fuzz targets that read files share: a scratch folder for the
// files an input is written to. The working directory is left alone outside
// WorkingDirectory, so libFuzzer's relative paths (corpus folders,
// -artifact_prefix) keep their meaning.
#include <cstddef>
#include <cstdint>
#include <filesystem>

// Makes a fresh folder named after the target (in /dev/shm where it
// exists, else the temporary folder) that is removed at exit.
std::filesystem::path MakeScratchFolder(const char* target);

// Makes `folder` the working directory for the guard's lifetime.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& folder);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous;
};

// Writes the bytes to the file; false when it cannot be written.
bool WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size);
