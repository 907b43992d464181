// soundgen <game dir> <content dir>: makes every sound file of the game
// below <game dir>/sounds. The hero's lines come from <content dir>/voices.txt
// and the credits song's lines from <content dir>/rap.txt, spoken by
// espeak-ng; without espeak-ng murmured stand-ins take their place.
#include <cstdio>
#include <exception>
#include <thread>

#include "soundgen/catalog.h"
#include "soundgen/voice_lines.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: soundgen <game dir> <content dir>\n");
        return 2;
    }
    try {
        const std::string contentDir = argv[2];
        soundgen::ContentSources sources;
        sources.voicesFile = contentDir + "/voices.txt";
        sources.lyricsFile = contentDir + "/rap.txt";
        sources.speak = soundgen::SpeechAvailable(soundgen::HeroVoice());
        if (!sources.speak) {
            std::printf("soundgen: note: espeak-ng not found; voice lines are murmured stand-ins "
                        "and the credits song has no spoken lines (scripts/setup.sh installs it)\n");
        }
        const auto jobs = soundgen::SoundJobs(sources);
        const auto sounds = soundgen::MakeSounds(jobs, std::thread::hardware_concurrency());
        soundgen::WriteSounds(argv[1], sounds);
        std::size_t bytes = 0;
        for (const auto& sound : sounds) bytes += sound.pcm.samples.size() * 2;
        std::printf("soundgen: %zu sounds, %.1f MB of samples\n", sounds.size(), bytes / 1.0e6);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "soundgen: %s\n", error.what());
        return 1;
    }
    return 0;
}
