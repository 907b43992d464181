#include "audio/sound.h"

#include "audio/wave_file.h"
#include "platform/clock.h"

bool Sound::Load(const std::string& path) {
    Stop();
    fileName = path;
    loaded = false;
    lengthMs = 0;
    startPosition = 0;
    WaveFile file;
    if (!file.Open(path)) return false;
    const std::uint32_t bytesPerSecond = file.AverageBytesPerSecond();
    if (bytesPerSecond == 0) return false;
    lengthMs = static_cast<std::uint32_t>(std::uint64_t{file.DataSize()} * 1000u / bytesPerSecond);
    loaded = true;
    return true;
}

std::uint32_t Sound::PositionAt(std::uint32_t now) const { return startPosition + (now - startTick); }

std::uint32_t Sound::Wrapped(std::uint32_t position) const { return lengthMs ? position % lengthMs : 0; }

bool Sound::Play(bool loop) {
    if (!loaded) return false;
    const std::uint32_t now = platform::GetTickCount();
    if (playing) {
        // Still sounding: it goes on from where it is. A one-shot that ran
        // out starts again from the beginning.
        startPosition = IsPlaying() ? Wrapped(PositionAt(now)) : 0;
    }
    startTick = now;
    playing = true;
    looping = loop;
    return true;
}

void Sound::Stop() {
    if (!playing) return;
    const std::uint32_t at = PositionAt(platform::GetTickCount());
    if (looping) startPosition = Wrapped(at);
    else startPosition = at < lengthMs ? at : 0;
    playing = false;
}

bool Sound::IsPlaying() const {
    if (!playing) return false;
    if (looping) return true;
    return PositionAt(platform::GetTickCount()) < lengthMs;
}
