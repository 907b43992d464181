#include "base/options.h"

#include <cmath>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

#include "base/trimmed.h"

namespace {

constexpr float kMinMouseSensitivity = 0.05f;
constexpr float kMaxMouseSensitivity = 20.0f;

// A number that fills the whole text, finite and within [low, high].
bool ParseBoundedFloat(const std::string& text, float low, float high, float& out,
                       std::string& error) {
    std::istringstream in(text);
    float value = 0.0f;
    in >> value;
    if (in.fail() || !(in >> std::ws).eof() || !std::isfinite(value)) {
        error = "'" + text + "' is not a number";
        return false;
    }
    if (value < low || value > high) {
        std::ostringstream range;
        range << "'" << text << "' is outside " << low << " to " << high;
        error = range.str();
        return false;
    }
    out = value;
    return true;
}

constexpr int kMaxFpsCap = 1000;
constexpr float kLeastRenderScale = 0.25f;
constexpr float kMostRenderScale = 1.0f;
constexpr char kDesktopFullScreen[] = "desktop";
constexpr char kClassicFullScreen[] = "classic";

bool ParseFullScreenKind(const std::string& text, bool& desktop, std::string& error) {
    if (text == kDesktopFullScreen || text == kClassicFullScreen) {
        desktop = text == kDesktopFullScreen;
        return true;
    }
    error = "'" + text + "' is neither desktop nor classic";
    return false;
}

// A whole number that fills the text, within [low, high].
bool ParseBoundedInt(const std::string& text, int low, int high, int& out, std::string& error) {
    std::istringstream in(text);
    long long value = 0;
    in >> value;
    if (in.fail() || !(in >> std::ws).eof()) {
        error = "'" + text + "' is not a whole number";
        return false;
    }
    if (value < low || value > high) {
        error = "'" + text + "' is outside " + std::to_string(low) + " to " + std::to_string(high);
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool ParseSwitch(const std::string& text, bool& out, std::string& error) {
    int value = 0;
    if (!ParseBoundedInt(text, 0, 1, value, error)) return false;
    out = value != 0;
    return true;
}

// One row per option: adding an option is adding a field and a row.
struct OptionRow {
    const char* key;
    const char* defaultText;
    const char* meaning;
    bool (*set)(Options&, const std::string&, std::string&);
    std::string (*show)(const Options&);
    bool picturesOnly;
};

// Nine significant digits give a float back exactly.
std::string ShowFloat(float value) {
    std::ostringstream text;
    text.precision(9);
    text << value;
    return text.str();
}

const OptionRow kOptionRows[] = {
    {"mouse_sensitivity", "1.0", "multiplier on the mouse turn, 0.05 to 20",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseBoundedFloat(v, kMinMouseSensitivity, kMaxMouseSensitivity,
                                  o.mouseSensitivity, e);
     },
     [](const Options& o) { return ShowFloat(o.mouseSensitivity); }, false},
    {"invert_look", "0", "1: moving the mouse or the right stick up looks down (first person)",
     [](Options& o, const std::string& v, std::string& e) { return ParseSwitch(v, o.invertLook, e); },
     [](const Options& o) { return std::string(o.invertLook ? "1" : "0"); }, false},
    {"pad_sensitivity", "1.0", "multiplier on the pad's turn, 0.05 to 20",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseBoundedFloat(v, kMinMouseSensitivity, kMaxMouseSensitivity, o.padSensitivity, e);
     },
     [](const Options& o) { return ShowFloat(o.padSensitivity); }, false},
    {"pad_rumble", "1", "1: the pad shakes when a round leaves and when the hero is hurt",
     [](Options& o, const std::string& v, std::string& e) { return ParseSwitch(v, o.padRumble, e); },
     [](const Options& o) { return std::string(o.padRumble ? "1" : "0"); }, true},
    {"smooth", "1", "1: pictures between the 30 ms steps, blended; 0: one picture a step",
     [](Options& o, const std::string& v, std::string& e) { return ParseSwitch(v, o.smooth, e); },
     [](const Options& o) { return std::string(o.smooth ? "1" : "0"); }, true},
    {"vsync", "1", "1: pictures wait for the display's refresh",
     [](Options& o, const std::string& v, std::string& e) { return ParseSwitch(v, o.vsync, e); },
     [](const Options& o) { return std::string(o.vsync ? "1" : "0"); }, true},
    {"max_fps", "0", "smooth pictures a second at most, 0 to 1000; 0: no cap beyond vsync",
     [](Options& o, const std::string& v, std::string& e) { return ParseBoundedInt(v, 0, kMaxFpsCap, o.maxFps, e); },
     [](const Options& o) { return std::to_string(o.maxFps); }, true},
    {"fullscreen", "desktop",
     "desktop: full screen at the desktop's resolution; classic: the display switches to talvemar.ini's",
     [](Options& o, const std::string& v, std::string& e) { return ParseFullScreenKind(v, o.desktopFullScreen, e); },
     [](const Options& o) { return std::string(o.desktopFullScreen ? kDesktopFullScreen : kClassicFullScreen); },
     true},
    {"render_scale", "1.0", "the scene drawn at this share of its size and scaled up, 0.25 to 1",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseBoundedFloat(v, kLeastRenderScale, kMostRenderScale, o.renderScale, e);
     },
     [](const Options& o) { return ShowFloat(o.renderScale); }, true},
    {"hud_numbers", "1", "1: the hero's health and the weapon's rounds as numbers in the HUD",
     [](Options& o, const std::string& v, std::string& e) { return ParseSwitch(v, o.hudNumbers, e); },
     [](const Options& o) { return std::string(o.hudNumbers ? "1" : "0"); }, true},
    {"crystal_glow", "1", "1: a crystal glows while its tone plays, so the puzzle can be solved by eye",
     [](Options& o, const std::string& v, std::string& e) { return ParseSwitch(v, o.crystalGlow, e); },
     [](const Options& o) { return std::string(o.crystalGlow ? "1" : "0"); }, true},
    {"sound_captions", "0", "1: the hero's remarks and the sounds that matter as lines on the screen",
     [](Options& o, const std::string& v, std::string& e) { return ParseSwitch(v, o.soundCaptions, e); },
     [](const Options& o) { return std::string(o.soundCaptions ? "1" : "0"); }, true},
};

// Applies one line of the file; false with the reason for a line ignored.
bool ApplyLine(Options& options, const std::string& raw, std::string& error) {
    const std::string line = Trimmed(raw.substr(0, raw.find('#')));
    if (line.empty()) return true;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
        error = "'" + line + "' is not key = value";
        return false;
    }
    return SetOption(options, Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)),
                     error);
}

}  // namespace

bool SetOption(Options& options, const std::string& key, const std::string& value,
               std::string& error) {
    for (const OptionRow& row : kOptionRows) {
        if (key != row.key) continue;
        Options changed = options;
        if (!row.set(changed, value, error)) {
            error.insert(0, key + ": ");
            return false;
        }
        options = changed;
        return true;
    }
    error = "unknown option '" + key + "'";
    return false;
}

bool PicturesOnlyOption(const std::string& key) {
    for (const OptionRow& row : kOptionRows)
        if (key == row.key) return row.picturesOnly;
    return false;
}

Options ReadOptions(std::istream& in, std::ostream& problems) {
    Options options;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string error;
        if (!ApplyLine(options, line, error))
            problems << kOptionsFile << " line " << number << ": " << error << ", ignored\n";
    }
    return options;
}

Options ReadOptionsFile(const std::string& path, std::ostream& problems) {
    std::ifstream in(path);
    if (!in.is_open()) return Options{};
    return ReadOptions(in, problems);
}

std::string OptionLines(const Options& options) {
    std::string text;
    for (const OptionRow& row : kOptionRows) text += std::string(row.key) + " = " + row.show(options) + "\n";
    return text;
}

std::string DescribeOptions() {
    std::string text;
    for (const OptionRow& row : kOptionRows)
        text += std::string("  ") + row.key + " (default " + row.defaultText + "): " + row.meaning +
                "\n";
    return text;
}
