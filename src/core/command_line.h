#pragma once
#include <string>
#include <utility>
#include <vector>

// What the command line asks for. Parsed without touching files or the
// game, so every field keeps its default when there are no arguments.
struct CommandLine {
    bool help = false;
    // Start in this level file (empty: the options menu, as always) with
    // the AI nodes of level `levelIndex` of the sequence.
    std::string levelFile;
    int levelIndex = 1;
    bool windowed = false;
    // 0 keeps the size of talvemar.ini.
    int width = 0;
    int height = 0;
    // Options set for this run, in the order given; already checked.
    std::vector<std::pair<std::string, std::string>> options;
    // Save the first settled frame here and exit (empty: play).
    std::string screenshotFile;
    // Labels of the level's scenes: where the hero stands and what he faces.
    std::string atLabel;
    std::string lookLabel;
    // Demos: record this game to a file, play one back at its own pace, or
    // as fast as it can be drawn (empty: none).
    std::string recordFile;
    std::string playFile;
    std::string timedemoFile;
    // Play a demo made with other content or another format version.
    bool force = false;
};

struct ParsedCommandLine {
    CommandLine line;
    // Empty when the arguments are good; otherwise what is wrong, one line.
    std::string error;
};

// Parses argv[1..argc-1].
ParsedCommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage text, options of options.ini included.
std::string UsageText();

// Bounds of --size and --index.
constexpr int kMinWindowSide = 64;
constexpr int kMaxWindowSide = 16384;
constexpr int kMaxLevelIndex = 5;
