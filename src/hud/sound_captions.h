#pragma once
// Lines for players who play without sound: what the hero says and the
// sounds that matter, each shown for a few seconds. The texts come from
// files of "key|text" lines (a sound file's path, or the name of an event
// such as "dies shrike"); '#' starts a comment line, blank lines are
// skipped. Keys without a text show nothing, so a level's own sounds need
// no captions.
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <vector>

// The caption files in the working directory: the game's events, and the
// hero's lines (the same file the voices are spoken from).
constexpr char kEventCaptionsFile[] = "captions/events.txt";
constexpr char kVoiceCaptionsFile[] = "captions/voices.txt";

class SoundCaptions {
public:
    static constexpr std::uint32_t kShownMs = 3000;
    static constexpr std::size_t kMostLines = 3;
    static constexpr std::size_t kLongestText = 80;

    // Adds the texts of a stream; returns how many lines were not
    // "key|text" (they are skipped). Later texts replace earlier ones.
    int Read(std::istream& in);
    // False when the file cannot be opened.
    bool ReadFile(const std::string& path);
    bool Has(const std::string& key) const { return texts.count(key) != 0; }
    // Shows the text of `key` from `now` for kShownMs (nothing when it has
    // none); shown again while on screen, it stays and lasts from now.
    void Show(const std::string& key, std::uint32_t now);
    // The lines on screen at `now`, oldest first, at most kMostLines.
    std::vector<std::string> Lines(std::uint32_t now) const;
    void Clear() { shown.clear(); }

private:
    struct Shown {
        std::string text;
        std::uint32_t since = 0;
    };
    std::unordered_map<std::string, std::string> texts;
    std::deque<Shown> shown;
};

// Event keys for an enemy kind (0 shrike .. 4 kultha): "hurt KIND" and
// "dies KIND"; other kinds give "hurt enemy", "dies enemy".
std::string EnemyCaptionKey(const char* event, int kind);
constexpr char kFieldFallsCaption[] = "field falls";
constexpr char kBossNearCaption[] = "boss near";
