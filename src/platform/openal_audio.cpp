#include "platform/openal_audio.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <vector>

#include "base/debug_log.h"

namespace platform {
namespace {

class OpenAlDevice;

// One OpenAL source with its own static buffer.
class OpenAlVoice : public AudioVoice {
public:
    OpenAlVoice(OpenAlDevice& owner, ALuint source, ALuint buffer, bool positional);
    ~OpenAlVoice() override;
    OpenAlVoice(const OpenAlVoice&) = delete;
    OpenAlVoice& operator=(const OpenAlVoice&) = delete;

    void Play(bool loop) override {
        alSourcei(source_, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
        if (State() != AL_PLAYING) alSourcePlay(source_);  // playing: never restarted
    }
    void Pause() override {
        if (State() == AL_PLAYING) alSourcePause(source_);
    }
    void Rewind() override { alSourceRewind(source_); }
    void SetPosition(const Vec3& position) override {
        position_ = position;
        changed_ = true;
    }
    void SetDistances(float minDistance, float maxDistance) override {
        minDistance_ = minDistance;
        maxDistance_ = maxDistance;
        changed_ = true;
    }

    // The waiting changes, and the gain for where the listener now is:
    // OpenAL holds the volume at the maximum distance, the game wants
    // silence beyond it.
    void Apply(const Vec3& listener) {
        if (changed_) {
            alSource3f(source_, AL_POSITION, position_.x, position_.y, position_.z);
            alSourcef(source_, AL_REFERENCE_DISTANCE, minDistance_);
            alSourcef(source_, AL_MAX_DISTANCE, maxDistance_);
            changed_ = false;
        }
        const bool inReach = static_cast<float>(position_.Distance(listener)) <= maxDistance_;
        alSourcef(source_, AL_GAIN, inReach ? 1.0f : 0.0f);
    }

private:
    ALint State() const {
        ALint state = AL_STOPPED;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        return state;
    }

    OpenAlDevice& owner_;
    ALuint source_;
    ALuint buffer_;
    bool positional_;
    Vec3 position_;
    float minDistance_ = 1.0f;
    float maxDistance_ = kUnlimitedSoundDistance;
    bool changed_ = true;
};

ALenum FormatOf(const PcmBuffer& samples) {
    if (samples.channels == 1) return samples.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return samples.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

bool Usable(const PcmBuffer& samples, bool positional) {
    const int frameBytes = samples.channels * samples.bitsPerSample / 8;
    return (samples.channels == 1 || (samples.channels == 2 && !positional)) &&
           (samples.bitsPerSample == 8 || samples.bitsPerSample == 16) && samples.samplesPerSecond > 0 &&
           !samples.bytes.empty() && samples.bytes.size() % static_cast<std::size_t>(frameBytes) == 0 &&
           samples.bytes.size() <= static_cast<std::size_t>(INT32_MAX);
}

class OpenAlDevice : public AudioDevice {
public:
    OpenAlDevice(ALCdevice* device, ALCcontext* context) : device_(device), context_(context) {
        deferred_ = alIsExtensionPresent("AL_SOFT_deferred_updates") == AL_TRUE;
        if (deferred_) {
            defer_ = reinterpret_cast<LPALDEFERUPDATESSOFT>(alGetProcAddress("alDeferUpdatesSOFT"));
            process_ = reinterpret_cast<LPALPROCESSUPDATESSOFT>(alGetProcAddress("alProcessUpdatesSOFT"));
            deferred_ = defer_ && process_;
        }
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    }
    ~OpenAlDevice() override {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
        alcCloseDevice(device_);
    }
    OpenAlDevice(const OpenAlDevice&) = delete;
    OpenAlDevice& operator=(const OpenAlDevice&) = delete;

    std::unique_ptr<AudioVoice> CreateVoice(const PcmBuffer& samples, bool positional) override {
        if (!Usable(samples, positional)) return nullptr;
        alGetError();
        ALuint buffer = 0, source = 0;
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR) return nullptr;
        alBufferData(buffer, FormatOf(samples), samples.bytes.data(), static_cast<ALsizei>(samples.bytes.size()),
                     samples.samplesPerSecond);
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) {
            if (alIsSource(source)) alDeleteSources(1, &source);
            alDeleteBuffers(1, &buffer);
            return nullptr;
        }
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
        if (!positional) {
            // Heard as it is, wherever the listener stands.
            alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
            alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
            alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
        }
        return std::make_unique<OpenAlVoice>(*this, source, buffer, positional);
    }

    void SetListener(const Vec3& position, const Vec3& front, const Vec3& up) override {
        listener_ = position;
        front_ = front;
        up_ = up;
    }

    void Commit() override {
        if (deferred_) defer_();
        alListener3f(AL_POSITION, listener_.x, listener_.y, listener_.z);
        const ALfloat orientation[6] = {front_.x, front_.y, front_.z, up_.x, up_.y, up_.z};
        alListenerfv(AL_ORIENTATION, orientation);
        for (OpenAlVoice* voice : placed_) voice->Apply(listener_);
        if (deferred_) process_();
    }

    void Register(OpenAlVoice* voice) { placed_.push_back(voice); }
    void Unregister(OpenAlVoice* voice) { placed_.erase(std::remove(placed_.begin(), placed_.end(), voice), placed_.end()); }

private:
    ALCdevice* device_;
    ALCcontext* context_;
    bool deferred_ = false;
    LPALDEFERUPDATESSOFT defer_ = nullptr;
    LPALPROCESSUPDATESSOFT process_ = nullptr;
    Vec3 listener_;
    Vec3 front_{0.0f, 0.0f, -1.0f};
    Vec3 up_{0.0f, 1.0f, 0.0f};
    // The positional voices, placed again at every commit.
    std::vector<OpenAlVoice*> placed_;
};

OpenAlVoice::OpenAlVoice(OpenAlDevice& owner, ALuint source, ALuint buffer, bool positional)
    : owner_(owner), source_(source), buffer_(buffer), positional_(positional) {
    if (positional_) owner_.Register(this);
}

OpenAlVoice::~OpenAlVoice() {
    if (positional_) owner_.Unregister(this);
    alSourceStop(source_);
    alDeleteSources(1, &source_);
    alDeleteBuffers(1, &buffer_);
}

}  // namespace

std::unique_ptr<AudioDevice> OpenAudioDevice() {
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) {
        DebugLog() << "No sound device: the game runs silent\n";
        return nullptr;
    }
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context) alcDestroyContext(context);
        alcCloseDevice(device);
        DebugLog() << "No sound device: the game runs silent\n";
        return nullptr;
    }
    return std::make_unique<OpenAlDevice>(device, context);
}

}  // namespace platform
