#pragma once
// Spoken lines: espeak-ng run as a child process (its arguments passed
// directly, no shell), its WAV output read from a pipe and brought to the
// game's rate; and a synthesized stand-in for machines without it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "soundgen/signal.h"

namespace soundgen {

struct SpeechVoice {
    std::string program = "espeak-ng";
    std::string voice = "en-us+m3";
    int wordsPerMinute = 160;
    int pitch = 38;   // 0..99, espeak-ng's scale
};

// Whether the speech program can be run at all (it answers --version).
bool SpeechAvailable(const SpeechVoice& voice);

// Speaks `text`; nothing when the program cannot be run, fails, or gives
// no usable sound. The result is at the game's sample rate.
std::optional<Signal> Speak(const SpeechVoice& voice, const std::string& text);

// Decodes the 16-bit PCM WAV a speech program writes to a pipe. Such a
// stream cannot go back to fill in its sizes, so a "data" chunk that claims
// more than is there is taken to run to the end of the bytes. Channels
// beyond the first are dropped; other rates are resampled.
std::optional<Signal> DecodeSpeechWav(const std::vector<std::uint8_t>& bytes);

// A stand-in for a spoken line: a murmur of formant-shaped syllables whose
// number and vowels follow the text. Deterministic for a given text.
Signal MumbleLine(const std::string& text);

}  // namespace soundgen
