#include "soundgen/voice_lines.h"

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "soundgen/sounds.h"

namespace soundgen {
namespace {

constexpr float kSilenceThreshold = 0.004f;
constexpr double kLowCutHz = 90.0;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A path the generator may write: relative, below sounds/, a .wav file,
// no way up and out, no characters a file name should not have.
bool IsSafeSoundPath(const std::string& path) {
    if (path.rfind("sounds/", 0) != 0 || !EndsWith(path, ".wav")) return false;
    if (path.find("..") != std::string::npos || path.find("//") != std::string::npos) return false;
    for (unsigned char c : path) {
        const bool allowed = std::isalnum(c) || c == '/' || c == '_' || c == '-' || c == '.';
        if (!allowed) return false;
    }
    return true;
}

std::vector<std::string> ContentLines(const std::string& content) {
    std::vector<std::string> lines;
    std::istringstream in(content);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

bool Skipped(const std::string& trimmed) { return trimmed.empty() || trimmed[0] == '#'; }

}  // namespace

std::vector<VoiceLine> ParseVoiceLines(const std::string& content) {
    std::vector<VoiceLine> lines;
    std::set<std::string> seen;
    const std::vector<std::string> raw = ContentLines(content);
    for (std::size_t n = 0; n < raw.size(); ++n) {
        const std::string line = Trimmed(raw[n]);
        if (Skipped(line)) continue;
        const std::string where = "voice lines, line " + std::to_string(n + 1) + ": ";
        const auto bar = line.find('|');
        if (bar == std::string::npos) throw std::runtime_error(where + "expected path|text");
        VoiceLine entry{Trimmed(line.substr(0, bar)), Trimmed(line.substr(bar + 1))};
        if (!IsSafeSoundPath(entry.path)) throw std::runtime_error(where + "bad path '" + entry.path + "'");
        if (entry.text.empty()) throw std::runtime_error(where + "empty text");
        if (!seen.insert(entry.path).second) throw std::runtime_error(where + "path given twice");
        lines.push_back(std::move(entry));
    }
    return lines;
}

std::vector<std::string> ParseLyrics(const std::string& content) {
    std::vector<std::string> lyrics;
    for (const std::string& raw : ContentLines(content)) {
        const std::string line = Trimmed(raw);
        if (!Skipped(line)) lyrics.push_back(line);
    }
    return lyrics;
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

SpeechVoice HeroVoice() {
    SpeechVoice voice;
    voice.voice = "en-us+m3";
    voice.wordsPerMinute = 165;
    voice.pitch = 36;
    return voice;
}

SpeechVoice RapperVoice() {
    SpeechVoice voice;
    voice.voice = "en-us+m1";
    voice.wordsPerMinute = 175;
    voice.pitch = 30;
    return voice;
}

Signal HeroLine(const SpeechVoice& voice, const std::string& text, bool speak) {
    std::optional<Signal> spoken;
    if (speak) spoken = Speak(voice, text);
    Signal line = spoken ? std::move(*spoken) : MumbleLine(text);
    Trim(line, kSilenceThreshold);
    Biquad lowCut = Biquad::HighPass(kLowCutHz);
    for (float& s : line) s = lowCut.Process(s);
    FinishOneShot(line, kVoicePeakDb, 0.005, 0.02);
    return line;
}

}  // namespace soundgen
