#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "audio/audio_device.h"
#include "math/vec3.h"

// One sound of the game, loaded once from a WAV file and played whole.
//
// Play resumes where the sound stopped and never rewinds; Stop pauses. A
// sound played once ends by itself when its samples run out, and the next
// Play starts it from the beginning again. The playing state is kept here,
// from the game's clock, so it is the same whether or not an audio device
// mixes the samples: game rules (the crystal puzzle) read it.
class Sound {
public:
    Sound() = default;
    Sound(Sound&&) = default;
    Sound& operator=(Sound&&) = default;
    virtual ~Sound() = default;

    // Reads the file: 8- or 16-bit PCM, one or two channels. False, leaving
    // the sound silent for good, when the file is missing or not such a
    // WAV file. With a device the samples go to a voice of their own;
    // without one (or when the device refuses them) the sound plays
    // silently by the clock.
    bool Load(const std::string& path, AudioDevice* device = nullptr);
    // `now` is the game's millisecond clock (its step's reading).
    // False (and nothing happens) when the sound was never loaded.
    bool Play(bool loop, std::uint32_t now);
    void Stop(std::uint32_t now);
    // Whether it is sounding at `now`.
    bool IsPlaying(std::uint32_t now) const;
    // The playing state as kept by the clock (playing, looping, where and
    // when it last started), hashed without reading the clock.
    std::uint64_t StateKey() const;

    // Started to loop (and not stopped since).
    bool Looping() const { return playing && looping; }
    bool Loaded() const { return loaded; }
    // Whether a device mixes it.
    bool Audible() const { return voice != nullptr; }
    // Length of the samples in milliseconds.
    std::uint32_t LengthMs() const { return lengthMs; }
    const std::string& FileName() const { return fileName; }

protected:
    bool LoadVoice(const std::string& path, AudioDevice* device, bool positional);

    std::unique_ptr<AudioVoice> voice;

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

// A sound placed in the world. Its position and distances wait for the
// sound system's next commit. Full volume up to the minimum distance,
// falling off beyond it, silent beyond the maximum distance. Two-channel
// files are mixed down to one channel on load.
class Sound3D : public Sound {
public:
    bool Load(const std::string& path, AudioDevice* device = nullptr);
    void SetPosition(const Vec3& at);
    void SetMinDistance(float distance);
    void SetMaxDistance(float distance);

    const Vec3& Position() const { return position; }
    float MinDistance() const { return minDistance; }
    float MaxDistance() const { return maxDistance; }

private:
    void SendDistances();

    Vec3 position;
    float minDistance = 1.0f;
    float maxDistance = kUnlimitedSoundDistance;
};
