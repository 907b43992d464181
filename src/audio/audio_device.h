#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "math/vec3.h"

// Sample data ready for a device: 8-bit unsigned or 16-bit signed PCM, one
// or two channels interleaved.
struct PcmBuffer {
    int channels = 1;
    int bitsPerSample = 16;
    int samplesPerSecond = 22050;
    std::vector<std::uint8_t> bytes;
};

// One sound on the device: a static buffer and the voice that plays it.
// Calls take effect at once, except the positional settings, which wait
// for the device's next Commit.
class AudioVoice {
public:
    virtual ~AudioVoice() = default;
    // Sounds from where it stands; a voice already sounding goes on
    // unchanged apart from its looping.
    virtual void Play(bool loop) = 0;
    // Holds the voice where it is; Play resumes it there.
    virtual void Pause() = 0;
    // Back to the start, not sounding.
    virtual void Rewind() = 0;
    // Positional voices only: where it sounds from, full volume up to
    // minDistance, falling off beyond it and silent beyond maxDistance.
    virtual void SetPosition(const Vec3& position) = 0;
    virtual void SetDistances(float minDistance, float maxDistance) = 0;
};

// The game's audio output: where the listener is and the voices it mixes.
class AudioDevice {
public:
    virtual ~AudioDevice() = default;
    // A voice for the samples; positional voices take one channel only.
    // Null when the device cannot take the data.
    virtual std::unique_ptr<AudioVoice> CreateVoice(const PcmBuffer& samples, bool positional) = 0;
    // The listener's place and orientation, applied at the next Commit.
    virtual void SetListener(const Vec3& position, const Vec3& front, const Vec3& up) = 0;
    // Applies every waiting positional change at once.
    virtual void Commit() = 0;
};

// The positional sounds' default maximum distance: far enough never to
// matter.
constexpr float kUnlimitedSoundDistance = 1.0e9f;
