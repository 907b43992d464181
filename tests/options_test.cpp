// The options file and the command line, read without opening anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/options.h"
#include "core/command_line.h"
#include "core/shell.h"

namespace {

Options Read(const std::string& text, std::string& problems) {
    std::istringstream in(text);
    std::ostringstream log;
    const Options options = ReadOptions(in, log);
    problems = log.str();
    return options;
}

ParsedCommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "talvemar");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(OptionsFile, MissingFileGivesDefaultsAndCommentsAndBlanksAreSkipped) {
    std::ostringstream log;
    EXPECT_EQ(ReadOptionsFile("no/such/dir/options.ini", log).mouseSensitivity, 1.0f);
    std::string problems;
    const Options o = Read("# how the mouse feels\n\n   \nmouse_sensitivity = 2.5   # faster\n"
                           "mouse_sensitivity=0.5\r\n",
                           problems);
    EXPECT_EQ(o.mouseSensitivity, 0.5f) << "the last line of a key wins";
    EXPECT_EQ(log.str() + problems, "");
}

TEST(OptionsFile, BadLinesAreReportedWithTheirNumberAndIgnored) {
    std::string problems;
    const Options o = Read("mouse_sensitivity = 3\n"
                           "speed = 2\n"
                           "mouse_sensitivity = fast\n"
                           "mouse_sensitivity = 100\n"
                           "mouse_sensitivity = 2x\n"
                           "mouse_sensitivity = nan\n"
                           "just words\n",
                           problems);
    EXPECT_EQ(o.mouseSensitivity, 3.0f);
    EXPECT_EQ(problems.find("line 1:"), std::string::npos);
    std::string frameProblems;
    const Options frames = Read("smooth = 2\nvsync = 0\nmax_fps = -5\nmax_fps = 144\n"
                                "fullscreen = window\nrender_scale = 0.1\nrender_scale = 0.5\n",
                                frameProblems);
    EXPECT_TRUE(frames.smooth) << "2 is no switch: the default stays";
    EXPECT_FALSE(frames.vsync);
    EXPECT_EQ(frames.maxFps, 144);
    EXPECT_TRUE(frames.desktopFullScreen);
    EXPECT_EQ(frames.renderScale, 0.5f);
    EXPECT_NE(frameProblems.find("line 5: fullscreen: 'window' is neither desktop nor classic"), std::string::npos);
    EXPECT_NE(frameProblems.find("line 6: render_scale: '0.1' is outside 0.25 to 1"), std::string::npos)
        << frameProblems;
    EXPECT_NE(frameProblems.find("line 1: smooth: '2' is outside 0 to 1"), std::string::npos) << frameProblems;
    EXPECT_NE(frameProblems.find("line 3: max_fps: '-5' is outside 0 to 1000"), std::string::npos)
        << frameProblems;
    for (const char* expected :
         {"line 2: unknown option 'speed'", "line 3: mouse_sensitivity: 'fast'", "line 4:",
          "line 5:", "line 6:", "line 7: 'just words' is not key = value"})
        EXPECT_NE(problems.find(expected), std::string::npos) << expected << "\n" << problems;
}

TEST(OptionsFile, SetOverridesTheFileForOneRun) {
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "options_set";
    std::filesystem::create_directories(dir);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::ofstream(kOptionsFile) << "mouse_sensitivity = 4\nnoise = 1\n";
    std::ostringstream problems;
    EXPECT_EQ(LoadOptions(Parse({}).line, problems).mouseSensitivity, 4.0f);
    EXPECT_NE(problems.str().find("options.ini line 2: unknown option 'noise'"), std::string::npos);
    const ParsedCommandLine set = Parse({"--set", "mouse_sensitivity=0.25"});
    ASSERT_EQ(set.error, "");
    EXPECT_EQ(LoadOptions(set.line, problems).mouseSensitivity, 0.25f);
    std::filesystem::current_path(previous);
}

TEST(OptionsFile, OptionLinesReadBackToTheSameValues) {
    Options odd;
    odd.mouseSensitivity = 0.1f * 3.0f;  // no short decimal
    odd.renderScale = 0.7f;
    odd.desktopFullScreen = false;
    std::string problems;
    const Options back = Read(OptionLines(odd), problems);
    EXPECT_EQ(back.mouseSensitivity, odd.mouseSensitivity);
    EXPECT_EQ(back.renderScale, odd.renderScale);
    EXPECT_FALSE(back.desktopFullScreen);
    EXPECT_EQ(problems, "");
}

TEST(CommandLineParse, NoArgumentsChangeNothing) {
    const ParsedCommandLine parsed = Parse({});
    EXPECT_EQ(parsed.error, "");
    std::ostringstream out, err;
    EXPECT_FALSE(EarlyExit(parsed, out, err).has_value());
    EXPECT_EQ(out.str() + err.str(), "");
    Settings s = Settings::Defaults();
    ApplyCommandLine(parsed.line, s);
    EXPECT_EQ(s.fullScreen, 1);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 600);
}

TEST(CommandLineParse, EveryArgumentIsRead) {
    const ParsedCommandLine parsed =
        Parse({"--level", "levels/level2.spt", "--index", "3", "--windowed", "--size", "1280x720",
               "--set", "mouse_sensitivity=2", "--screenshot", "out.bmp", "--at", "a", "--look", "b"});
    ASSERT_EQ(parsed.error, "");
    const CommandLine& l = parsed.line;
    EXPECT_EQ(l.levelFile, "levels/level2.spt");
    EXPECT_EQ(l.levelIndex, 3);
    EXPECT_EQ(l.screenshotFile, "out.bmp");
    EXPECT_EQ(l.atLabel + l.lookLabel, "ab");
    ASSERT_EQ(l.options.size(), 1u);
    EXPECT_EQ(l.options[0].second, "2");
    Settings s = Settings::Defaults();
    ApplyCommandLine(l, s);
    EXPECT_EQ(s.fullScreen, 0);
    EXPECT_EQ(s.width, 1280);
    EXPECT_EQ(s.height, 720);
    EXPECT_EQ(Parse({"--level", "x.spt"}).line.levelIndex, 1) << "the default index";
    const CommandLine demo = Parse({"--timedemo", "t.dem", "--force", "--size", "800x600"}).line;
    EXPECT_EQ(demo.timedemoFile, "t.dem");
    EXPECT_TRUE(demo.force);
    EXPECT_EQ(Parse({"--record", "r.dem", "--level", "x.spt"}).line.recordFile, "r.dem");
}

TEST(CommandLineParse, BadArgumentsExitWithCodeTwoAndSayWhy) {
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"--bogus"}, "unknown argument '--bogus'"},
        {{"--record"}, "--record needs a value"},
        {{"--play", "a.dem", "--record", "b.dem"}, "--record, --play, --timedemo and --screenshot go one"},
        {{"--play", "a.dem", "--level", "levels/level1.spt"}, "a demo brings its own level"},
        {{"--timedemo", "a.dem", "--set", "smooth=0", "--set", "mouse_sensitivity=2"},
         "a demo brings its own options"},
        {{"--force"}, "--force goes with --play or --timedemo"},
        {{"--size", "0x480"}, "--size wants"},
        {{"--size", "640"}, "--size wants"},
        {{"--size", "99999x480"}, "--size wants"},
        {{"--set", "nope=1"}, "--set unknown option 'nope'"},
        {{"--set", "mouse_sensitivity=abc"}, "--set mouse_sensitivity"},
        {{"--set", "mouse_sensitivity"}, "--set wants KEY=VALUE"},
        {{"--level", "levels/level1.spt", "--index", "9"}, "--index wants"},
        {{"--index", "2"}, "--index goes with --level"},
        {{"--at", "x"}, "--at and --look go with --screenshot"},
    };
    for (const auto& [args, message] : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(EarlyExit(Parse(args), out, err), 2) << message;
        EXPECT_EQ(err.str().rfind("talvemar: " + message, 0), 0u) << err.str();
        EXPECT_NE(err.str().find("usage: talvemar"), std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
    std::ostringstream out, err;
    EXPECT_EQ(EarlyExit(Parse({"--timedemo", "a.dem", "--set", "smooth=0", "--set", "max_fps=60"}), out, err),
              std::nullopt)
        << "options of the pictures alone go with a demo: " << err.str();
    EXPECT_EQ(EarlyExit(Parse({"--level", "no/such/level.spt"}), out, err), 2);
    EXPECT_EQ(err.str().rfind("talvemar: no level file 'no/such/level.spt'\n", 0), 0u);
}

TEST(CommandLineParse, HelpPrintsTheUsageWithEveryOption) {
    std::ostringstream out, err;
    EXPECT_EQ(EarlyExit(Parse({"--help"}), out, err), 0);
    EXPECT_EQ(err.str(), "");
    for (const char* part : {"usage: talvemar", "--level FILE", "--screenshot FILE", "--record FILE",
                             "--play FILE", "--timedemo FILE", "--force",
                             "mouse_sensitivity (default 1.0)"})
        EXPECT_NE(out.str().find(part), std::string::npos) << part;
}

}  // namespace
