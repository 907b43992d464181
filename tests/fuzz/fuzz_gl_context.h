#pragma once
// The game's GL context for the fuzz targets that load textures.
#include <filesystem>

// Opens the game's window and GL context offscreen (320x240, windowed) for
// the rest of the run, with its debug log in `folder`. Aborts when no
// context can be made: a texture target without one would test nothing.
void OpenOffscreenGlContext(const std::filesystem::path& folder);
