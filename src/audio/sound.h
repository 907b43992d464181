#pragma once
#include <cstdint>
#include <string>

// One sound of the game, loaded once from a WAV file and played whole.
//
// Play resumes where the sound stopped and never rewinds; Stop pauses. A
// sound played once ends by itself when its samples run out, and the next
// Play starts it from the beginning again. The playing state is kept here,
// from the game's clock, so it is right whether or not an audio device
// mixes the samples: game rules (the crystal puzzle) read it.
class Sound {
public:
    // Reads the file's format and length. False, leaving the sound silent
    // for good, when the file is missing or not a readable WAV file.
    bool Load(const std::string& path);
    // False (and nothing happens) when the sound was never loaded.
    bool Play(bool loop);
    void Stop();
    bool IsPlaying() const;

    bool Loaded() const { return loaded; }
    // Length of the samples in milliseconds.
    std::uint32_t LengthMs() const { return lengthMs; }
    const std::string& FileName() const { return fileName; }

private:
    // Milliseconds into the samples at `now`, before any wrap of a loop.
    std::uint32_t PositionAt(std::uint32_t now) const;
    // A position brought back into the samples (a loop going round).
    std::uint32_t Wrapped(std::uint32_t position) const;

    std::string fileName;
    bool loaded = false;
    std::uint32_t lengthMs = 0;
    bool playing = false;
    bool looping = false;
    std::uint32_t startTick = 0;      // tick count when Play last started it
    std::uint32_t startPosition = 0;  // ms into the samples at startTick
};
