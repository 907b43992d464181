#include "soundgen/speech.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "soundgen/dsp.h"

namespace soundgen {
namespace {

constexpr std::size_t kMaxSpeechBytes = 16u * 1024u * 1024u;  // far above any line
constexpr std::size_t kReadChunk = 65536;
constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kBits16 = 16;

// A pipe's two ends, closed when it goes out of scope.
class Pipe {
public:
    Pipe() {
        if (pipe2(fds_.data(), O_CLOEXEC) != 0) fds_ = {-1, -1};
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool Valid() const { return fds_[0] >= 0; }
    int ReadEnd() const { return fds_[0]; }
    int WriteEnd() const { return fds_[1]; }
    void CloseRead() { CloseFd(fds_[0]); }
    void CloseWrite() { CloseFd(fds_[1]); }

private:
    static void CloseFd(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    std::array<int, 2> fds_{};
};

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

// Runs a program with `arguments`, its standard output collected, its
// error output discarded. Nothing when it cannot start or exits non-zero.
std::optional<std::vector<std::uint8_t>> RunCapturingOutput(const std::vector<std::string>& arguments) {
    Pipe output;
    if (!output.Valid()) return std::nullopt;
    SpawnActions actions;
    posix_spawn_file_actions_adddup2(actions.Get(), output.WriteEnd(), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(actions.Get(), STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], actions.Get(), nullptr, argv.data(), environ) != 0) return std::nullopt;
    output.CloseWrite();

    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> chunk(kReadChunk);
    bool overflow = false;
    for (;;) {
        const ssize_t got = read(output.ReadEnd(), chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (bytes.size() + static_cast<std::size_t>(got) > kMaxSpeechBytes) overflow = true;
        if (!overflow) bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
    }
    output.CloseRead();
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (overflow || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return bytes;
}

std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return Get16(b, at) | (static_cast<std::uint32_t>(Get16(b, at + 2)) << 16);
}

bool TagAt(const std::vector<std::uint8_t>& b, std::size_t at, const char* tag) {
    return std::memcmp(b.data() + at, tag, 4) == 0;
}

// Vowel formants (first, second) in hertz.
struct Vowel {
    double f1;
    double f2;
};

Vowel VowelFor(char letter) {
    switch (std::tolower(static_cast<unsigned char>(letter))) {
        case 'a': return {730.0, 1090.0};
        case 'e': return {530.0, 1840.0};
        case 'i': return {300.0, 2250.0};
        case 'o': return {570.0, 840.0};
        case 'u': return {330.0, 900.0};
        default: return {500.0, 1500.0};  // y and the rest: a neutral vowel
    }
}

bool IsVowel(char c) { return std::strchr("aeiouyAEIOUY", c) != nullptr; }

std::uint64_t HashText(const std::string& text) {
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// One murmured syllable on `vowel`, pitch falling slightly.
Signal Syllable(const Vowel& vowel, double seconds, double pitchHz, std::uint64_t seed) {
    SawOsc glottis;
    WhiteNoise aspiration(seed);
    Svf first;
    Svf second;
    Signal out(SamplesFor(seconds));
    const Adsr shape{0.03, 0.05, 0.8, 0.06};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const float source = glottis.Next(pitchHz * (1.0 - 0.08 * t / seconds)) + 0.1f * aspiration.Next();
        const float voiced = first.BandPass(source, vowel.f1, 5.0) + 0.6f * second.BandPass(source, vowel.f2, 8.0);
        out[i] = voiced * shape.At(t, seconds - shape.release);
    }
    return out;
}

}  // namespace

bool SpeechAvailable(const SpeechVoice& voice) {
    return RunCapturingOutput({voice.program, "--version"}).has_value();
}

std::optional<Signal> Speak(const SpeechVoice& voice, const std::string& text) {
    // A leading dash would read as an option; a blank keeps it text.
    const std::string spoken = !text.empty() && text[0] == '-' ? " " + text : text;
    const auto bytes = RunCapturingOutput({voice.program, "-v", voice.voice, "-s", std::to_string(voice.wordsPerMinute),
                                           "-p", std::to_string(voice.pitch), "--stdout", spoken});
    if (!bytes) return std::nullopt;
    return DecodeSpeechWav(*bytes);
}

std::optional<Signal> DecodeSpeechWav(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 12 || !TagAt(bytes, 0, "RIFF") || !TagAt(bytes, 8, "WAVE")) return std::nullopt;
    std::size_t at = 12;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    int format = 0;
    while (at + 8 <= bytes.size()) {
        const std::size_t body = at + 8;
        const std::size_t available = bytes.size() - body;
        const std::size_t size = std::min<std::size_t>(Get32(bytes, at + 4), available);
        if (TagAt(bytes, at, "fmt ") && size >= 16) {
            format = Get16(bytes, body);
            channels = Get16(bytes, body + 2);
            rate = static_cast<int>(Get32(bytes, body + 4));
            bits = Get16(bytes, body + 14);
        } else if (TagAt(bytes, at, "data")) {
            if (format != kPcm || bits != kBits16 || channels < 1 || rate < 1000 || rate > 192000) return std::nullopt;
            const std::size_t frameBytes = static_cast<std::size_t>(channels) * 2;
            Signal out(size / frameBytes);
            for (std::size_t i = 0; i < out.size(); ++i) {
                out[i] = static_cast<std::int16_t>(Get16(bytes, body + i * frameBytes)) / 32768.0f;
            }
            if (out.empty()) return std::nullopt;
            return Resample(out, rate, kSampleRate);
        }
        at = body + size + (size & 1u);
    }
    return std::nullopt;
}

Signal MumbleLine(const std::string& text) {
    constexpr double kSyllableSeconds = 0.17;
    constexpr double kWordGapSeconds = 0.07;
    constexpr double kBasePitchHz = 118.0;
    Rng rng(HashText(text));
    Signal out;
    std::size_t at = 0;
    bool inVowel = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsVowel(c)) {
            if (!inVowel) {
                const double pitch = kBasePitchHz * rng.Range(0.9, 1.15);
                const Signal syllable = Syllable(VowelFor(c), kSyllableSeconds, pitch, rng.NextU32());
                MixInto(out, syllable, at, 1.0f);
                at += SamplesFor(kSyllableSeconds * 0.85);
            }
            inVowel = true;
            continue;
        }
        inVowel = false;
        if (std::isspace(static_cast<unsigned char>(c)) || std::ispunct(static_cast<unsigned char>(c))) {
            at += SamplesFor(kWordGapSeconds);
        }
    }
    if (out.empty()) out = Syllable(VowelFor('a'), kSyllableSeconds, kBasePitchHz, rng.NextU32());
    return out;
}

}  // namespace soundgen
