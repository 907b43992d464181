#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>

// The video mode read from talvemar.ini, the run-wide switches (mostly
// developer switches toggled by keys) and the four options-menu levels.
// The file is read once and never written back.
struct Settings {
    std::int32_t width = 800;
    std::int32_t height = 600;
    std::int32_t colourBits = 32;
    std::int32_t depthBits = 16;
    std::int32_t nearPlane = 1;
    std::int32_t farPlane = 10000;
    std::uint8_t smoothing = 1;
    std::uint8_t fullScreen = 1;
    std::uint8_t quitRequested = 0;
    std::uint8_t drawWithOctree = 1;
    std::uint8_t drawParticles = 1;
    std::uint8_t drawWorld = 1;
    std::uint8_t flyMode = 0;
    std::uint8_t collisionOn = 1;
    std::uint8_t vertexLighting = 1;
    std::uint8_t cameraDetached = 0;
    std::uint8_t texturesOn = 1;
    std::uint8_t levelChangePending = 0;
    std::uint8_t lightCamera = 0;
    std::uint8_t deathmatchRespawn = 0;
    std::int32_t activeCutscene = 0;
    std::uint8_t cutscenePlaying = 0;
    std::uint8_t forceFieldDown = 0;
    std::uint8_t inOptionsMenu = 0;
    float goreLevel = 1.0f;
    float difficultyLevel = 1.0f;
    float sfxLevel = 1.0f;
    float musicLevel = 1.0f;
    std::uint8_t delayedLevelChange = 0;

    // Reads "talvemar.ini" from the working directory.
    Settings();

    // The record as it would be built from the given file; a missing file
    // gives the defaults.
    static Settings FromFile(const std::string& path);
    // The record built from up to five integers of the stream. Values that
    // are missing or unreadable keep their defaults.
    static Settings FromStream(std::istream& in);
    // The record for a missing settings file.
    static Settings Defaults();

private:
    struct NoFile {};
    explicit Settings(NoFile) {}
};

// 0: 320x240, 1: 640x480, 3: 1024x768, anything else 800x600.
void ResolutionForIndex(int index, std::int32_t& width, std::int32_t& height);

extern Settings settings;
