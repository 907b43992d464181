#include "base/options.h"

#include <cmath>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

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

// One row per option: adding an option is adding a field and a row.
struct OptionRow {
    const char* key;
    const char* defaultText;
    const char* meaning;
    bool (*set)(Options&, const std::string&, std::string&);
    std::string (*show)(const Options&);
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
     [](const Options& o) { return ShowFloat(o.mouseSensitivity); }},
};

std::string Trimmed(const std::string& text) {
    const char* const blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

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
