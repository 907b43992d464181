#pragma once
#include "audio/audio_device.h"
#include "math/vec3.h"

// The game's side of the audio device: the listener, kept until the
// once-a-frame commit that applies it with every positional change made
// since. Without a device every call is accepted and nothing sounds.
class SoundSystem {
public:
    // The device is not owned and must outlive every sound made with it;
    // null gives a silent game.
    void Attach(AudioDevice* audioDevice) { device = audioDevice; }
    AudioDevice* Device() const { return device; }

    void SetListenerPosition(const Vec3& position);
    // front: where the listener looks; top: the listener's up.
    void SetListenerOrientation(const Vec3& front, const Vec3& top);
    void Commit();

    const Vec3& ListenerPosition() const { return listenerPosition; }

private:
    AudioDevice* device = nullptr;
    Vec3 listenerPosition;
    Vec3 listenerFront{0.0f, 0.0f, -1.0f};
    Vec3 listenerTop{0.0f, 1.0f, 0.0f};
};
