#pragma once
#include <cstdint>
#include <string>

// A hash of every file the game loads from the data folder under `root`
// (levels/, models/, gfx/, sounds/: their paths and bytes), and of
// `extraFile` too when it is not empty (a --level file that may lie outside
// the data folder). Two games with equal identities load the same content.
std::uint64_t ContentIdentity(const std::string& root, const std::string& extraFile = {});
