#pragma once
#include <iosfwd>
#include <string>

// The game's options beyond the five numbers of talvemar.ini, read from
// "options.ini" in the working directory: `key = value` lines, `#` starts a
// comment (on its own line or after a value), blank lines are skipped. A
// missing file gives the defaults; an unknown key or a bad value is reported
// with its line number and the option keeps its default.
struct Options {
    // Multiplies the mouse turn of the hero and of the detached camera.
    float mouseSensitivity = 1.0f;
    // Mouse and pad: up looks down.
    bool invertLook = false;
    // Multiplies the pad's turn.
    float padSensitivity = 1.0f;
    // The pad shakes on firing and on damage, where it can.
    bool padRumble = true;
    // Pictures between the game's 30 ms steps, blended between the last two
    // (false: one picture a step, the classic way).
    bool smooth = true;
    // Pictures wait for the display's refresh.
    bool vsync = true;
    // Smooth pictures a second at most; 0: no cap beyond vsync.
    int maxFps = 0;
    // Full screen (when talvemar.ini asks for it) covers the desktop at its
    // own mode; false: the display switches to the configured size.
    bool desktopFullScreen = true;
    // The scene band drawn at this share of its size and scaled up.
    float renderScale = 1.0f;
    // The hero's health and the weapon's rounds as numbers in the HUD.
    bool hudNumbers = true;
    // A crystal glows while its tone plays, so the puzzle shows its song.
    bool crystalGlow = true;
    // The hero's remarks and the sounds that matter as lines on the screen.
    bool soundCaptions = false;
};

// Whether an option changes only how pictures are shown, never the game:
// such options may be set for the playback of a demo.
bool PicturesOnlyOption(const std::string& key);

// Sets one option from its text value. False (with the reason) for an
// unknown key or a value out of range; the options are then unchanged.
bool SetOption(Options& options, const std::string& key, const std::string& value,
               std::string& error);

// The options of a stream in the options-file format; every line it
// ignores is reported to `problems` as "options.ini line N: reason".
Options ReadOptions(std::istream& in, std::ostream& problems);
// The options of the file at `path`; a missing file gives the defaults.
Options ReadOptionsFile(const std::string& path, std::ostream& problems);

// Every option as a `key = value` line that ReadOptions reads back to the
// same values.
std::string OptionLines(const Options& options);

// One line per option for the usage text: "  key (default): meaning".
std::string DescribeOptions();

// The options file's name in the working directory.
constexpr char kOptionsFile[] = "options.ini";
