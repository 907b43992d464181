#pragma once
// The list of every sound file of the game, with the function that makes
// each, and the runner that makes them all (in parallel) and writes them.
#include <functional>
#include <string>
#include <vector>

#include "common/wav.h"
#include "soundgen/speech.h"

namespace soundgen {

// How the game plays a sound, which decides how its ends are made.
enum class SoundUse {
    OneShot,  // played once: faded in and out
    Loop,     // played looped: its end joins its start without a click
};

struct SoundJob {
    std::string path;   // below the game folder, letter case as the game asks
    SoundUse use;
    std::function<PcmSound()> make;
};

struct GeneratedSound {
    std::string path;
    SoundUse use;
    PcmSound pcm;
};

// Where the writers' texts come from and whether espeak-ng speaks them.
struct ContentSources {
    std::string voicesFile;   // "path|text" lines
    std::string lyricsFile;   // the credits song's lines
    bool speak = true;        // false: murmured stand-ins, no sung lines
};

// Every sound of the game. Reads the two text files; throws
// std::runtime_error when they cannot be read or are malformed.
std::vector<SoundJob> SoundJobs(const ContentSources& sources);

// Runs the jobs on `threads` workers; results in job order. A job's
// exception is rethrown once all workers have stopped.
std::vector<GeneratedSound> MakeSounds(const std::vector<SoundJob>& jobs, unsigned threads);

// Writes each sound below `gameDir`, making folders.
void WriteSounds(const std::string& gameDir, const std::vector<GeneratedSound>& sounds);

}  // namespace soundgen
