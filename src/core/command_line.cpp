#include "core/command_line.h"

#include <cstdlib>
#include <sstream>

#include "base/options.h"

namespace {

// Whole-text decimal integer within [low, high].
bool ParseInt(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    const int value = std::atoi(text.c_str());
    if (value < low || value > high) return false;
    out = value;
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) return false;
    return ParseInt(text.substr(0, x), kMinWindowSide, kMaxWindowSide, width) &&
           ParseInt(text.substr(x + 1), kMinWindowSide, kMaxWindowSide, height);
}

bool ParseSet(const std::string& text, CommandLine& line, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        error = "--set wants KEY=VALUE, not '" + text + "'";
        return false;
    }
    const std::string key = text.substr(0, equals);
    const std::string value = text.substr(equals + 1);
    Options scratch;
    if (!SetOption(scratch, key, value, error)) {
        error = "--set " + error;
        return false;
    }
    line.options.emplace_back(key, value);
    return true;
}

// Reads the value of `flag` at argv[i]; stores it in `value` or fills error.
class Arguments {
public:
    Arguments(int argc, const char* const* argv) : argc(argc), argv(argv) {}
    bool More() const { return next < argc; }
    std::string Next() { return argv[next++]; }
    bool Value(const std::string& flag, std::string& value, std::string& error) {
        if (next >= argc) {
            error = flag + " needs a value";
            return false;
        }
        value = argv[next++];
        return true;
    }

private:
    int argc;
    const char* const* argv;
    int next = 1;
};

bool ParseOne(const std::string& flag, Arguments& args, CommandLine& line, bool& indexGiven,
              std::string& error) {
    std::string value;
    if (flag == "--help" || flag == "-h") {
        line.help = true;
        return true;
    }
    if (flag == "--windowed" || flag == "--force") {
        (flag == "--force" ? line.force : line.windowed) = true;
        return true;
    }
    if (flag != "--level" && flag != "--index" && flag != "--size" && flag != "--set" &&
        flag != "--screenshot" && flag != "--at" && flag != "--look" && flag != "--record" &&
        flag != "--play" && flag != "--timedemo") {
        error = "unknown argument '" + flag + "'";
        return false;
    }
    if (!args.Value(flag, value, error)) return false;
    if (flag == "--level") line.levelFile = value;
    if (flag == "--record") line.recordFile = value;
    if (flag == "--play") line.playFile = value;
    if (flag == "--timedemo") line.timedemoFile = value;
    if (flag == "--at") line.atLabel = value;
    if (flag == "--look") line.lookLabel = value;
    if (flag == "--screenshot") line.screenshotFile = value;
    if (flag == "--set") return ParseSet(value, line, error);
    if (flag == "--index") {
        indexGiven = true;
        if (!ParseInt(value, 0, kMaxLevelIndex, line.levelIndex)) {
            error = "--index wants a level number from 0 to " + std::to_string(kMaxLevelIndex) +
                    ", not '" + value + "'";
            return false;
        }
    }
    if (flag == "--size" && !ParseSize(value, line.width, line.height)) {
        error = "--size wants WIDTHxHEIGHT, each " + std::to_string(kMinWindowSide) + " to " +
                std::to_string(kMaxWindowSide) + ", not '" + value + "'";
        return false;
    }
    if (value.empty()) {
        error = flag + " needs a value";
        return false;
    }
    return true;
}

bool SetsGameOption(const CommandLine& line) {
    for (const auto& option : line.options)
        if (!PicturesOnlyOption(option.first)) return true;
    return false;
}

// Arguments that only make sense together.
bool CheckCombination(const CommandLine& line, bool indexGiven, std::string& error) {
    const bool playing = !line.playFile.empty() || !line.timedemoFile.empty();
    const int modes = !line.recordFile.empty() + !line.playFile.empty() +
                      !line.timedemoFile.empty() + !line.screenshotFile.empty();
    if (indexGiven && line.levelFile.empty()) error = "--index goes with --level";
    else if ((!line.atLabel.empty() || !line.lookLabel.empty()) && line.screenshotFile.empty())
        error = "--at and --look go with --screenshot";
    else if (modes > 1) error = "--record, --play, --timedemo and --screenshot go one at a time";
    else if (playing && !line.levelFile.empty())
        error = "a demo brings its own level: --level does not go with it";
    else if (playing && SetsGameOption(line))
        error = "a demo brings its own options: with it --set takes only smooth, vsync and max_fps";
    else if (line.force && !playing) error = "--force goes with --play or --timedemo";
    return error.empty();
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv) {
    ParsedCommandLine parsed;
    Arguments args(argc, argv);
    bool indexGiven = false;
    while (args.More()) {
        if (!ParseOne(args.Next(), args, parsed.line, indexGiven, parsed.error)) return parsed;
    }
    CheckCombination(parsed.line, indexGiven, parsed.error);
    return parsed;
}

std::string UsageText() {
    std::ostringstream text;
    text << "usage: talvemar [options]\n"
            "With no options the game starts in its options menu as set by talvemar.ini.\n"
            "  --help                 print this text and exit\n"
            "  --level FILE           start in this level file (skips the options menu)\n"
            "  --index N              the level's place in the sequence, for its AI nodes\n"
            "                         (0 to " << kMaxLevelIndex << ", default 1; with --level)\n"
            "  --windowed             play in a window\n"
            "  --size WIDTHxHEIGHT    window or screen size (" << kMinWindowSide << " to "
         << kMaxWindowSide << " each)\n"
            "  --set KEY=VALUE        an option of options.ini, for this run only\n"
            "  --screenshot FILE      save the first settled frame as a BMP picture and exit\n"
            "  --at LABEL             with --screenshot: the hero starts at this label\n"
            "  --look LABEL           with --screenshot: and faces this label\n"
            "  --record FILE          record this game as a demo\n"
            "  --play FILE            play a demo back as it was recorded\n"
            "  --timedemo FILE        play a demo back as fast as it can be drawn and time it\n"
            "  --force                play a demo made with other content or another version\n"
            "Options of options.ini:\n"
         << DescribeOptions();
    return text.str();
}
