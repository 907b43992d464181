#pragma once
// The hero's voice lines and the credits song's lyrics, read from text
// files that writers edit: voices.txt holds "path|text" lines, rap.txt one
// lyric line per line. Blank lines and lines starting with '#' are skipped.
#include <string>
#include <vector>

#include "soundgen/signal.h"
#include "soundgen/speech.h"

namespace soundgen {

struct VoiceLine {
    std::string path;   // below the game folder, e.g. "sounds/orvisms/pain/uh.wav"
    std::string text;
};

// Parses voices.txt. Throws std::runtime_error naming the line when a line
// has no '|', an empty text, a repeated path, or a path that is not a
// relative "sounds/....wav" path inside the game folder.
std::vector<VoiceLine> ParseVoiceLines(const std::string& content);
std::vector<std::string> ParseLyrics(const std::string& content);

// Reads a whole text file; throws std::runtime_error when it cannot.
std::string ReadTextFile(const std::string& path);

// The hero's voice.
SpeechVoice HeroVoice();
// The voice of the credits song.
SpeechVoice RapperVoice();

// A finished voice line: spoken when `speak`, else (or when speaking
// fails) the murmured stand-in.
Signal HeroLine(const SpeechVoice& voice, const std::string& text, bool speak);

}  // namespace soundgen
