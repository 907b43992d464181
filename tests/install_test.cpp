// The installed game: `cmake --install` of this build into a scratch
// prefix (with a space in its name), what lands where, and the launcher
// that runs the game from the player's own folder. The launcher and the
// game run as real programs, closed with SIGTERM like a desktop would.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "png_bytes.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::vector<std::string> kDataFolders{"levels", "models", "gfx", "sounds", "captions"};
constexpr std::array<int, 6> kIconSizes{16, 32, 48, 64, 128, 256};
// The last line the game logs before the options menu's first frame.
constexpr const char* kMenuStartedLine = "PLAYER INIT AT:";
constexpr auto kStartDeadline = 60s;  // generous: sanitizer builds start slowly
constexpr auto kPlayInMenu = 2s;
constexpr auto kExitDeadline = 10s;
constexpr auto kPollInterval = 50ms;
constexpr const char* kSvgRenderer = "/usr/bin/rsvg-convert";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

png_bytes::Bytes ReadBytes(const fs::path& path) {
    const std::string text = ReadFile(path);
    return png_bytes::Bytes(text.begin(), text.end());
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Changes a child's environment before it starts the program.
struct Environment {
    std::vector<std::pair<std::string, std::string>> set;
    std::vector<std::string> unset;
};

// A program run in a child process, its output in a file. A child still
// running when the object goes is killed, so a failed check leaves nothing
// behind.
class Process {
public:
    Process(const std::vector<std::string>& args, const Environment& env, const fs::path& workDir,
            const fs::path& output) {
        pid = fork();
        if (pid == 0) RunChild(args, env, workDir, output);
    }
    ~Process() {
        if (pid <= 0) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return pid > 0 || status.has_value(); }
    bool Running() {
        if (pid <= 0) return false;
        int waitStatus = 0;
        if (waitpid(pid, &waitStatus, WNOHANG) != pid) return true;
        status = waitStatus;
        pid = 0;
        return false;
    }
    void Terminate() {
        if (pid > 0) kill(pid, SIGTERM);
    }
    // The exit code once the program has ended by itself within the
    // deadline; nothing when it is still running, never started or died by
    // a signal.
    std::optional<int> Wait(std::chrono::milliseconds deadline = kExitDeadline) {
        for (auto waited = 0ms; Running() && waited < deadline; waited += kPollInterval)
            std::this_thread::sleep_for(kPollInterval);
        if (!status || !WIFEXITED(*status)) return std::nullopt;
        return WEXITSTATUS(*status);
    }

private:
    [[noreturn]] static void RunChild(const std::vector<std::string>& args, const Environment& env,
                                      const fs::path& workDir, const fs::path& output) {
        for (const std::string& name : env.unset) unsetenv(name.c_str());
        for (const auto& [name, value] : env.set) setenv(name.c_str(), value.c_str(), 1);
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(out, STDERR_FILENO) < 0) _exit(90);
        if (chdir(workDir.c_str()) != 0) _exit(91);
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(92);
    }

    pid_t pid = -1;
    std::optional<int> status;  // once it has ended
};

// The entries of a folder and all below it, as paths relative to it.
std::set<std::string> FilesBelow(const fs::path& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), folder).string());
    return files;
}

// The keys of a desktop entry's [Desktop Entry] group.
std::map<std::string, std::string> DesktopEntryKeys(const fs::path& path) {
    std::istringstream in(ReadFile(path));
    std::map<std::string, std::string> keys;
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inGroup && equals != std::string::npos) keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return keys;
}

// A gzip file's text (the manual page); empty when it cannot be read.
std::string ReadGzip(const fs::path& path) {
    std::string text;
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) return text;
    char buffer[4096];
    for (int read; (read = gzread(file, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(read));
    gzclose(file);
    return text;
}

// The premultiplied colour of an RGBA pixel, channel c (0..2), or alpha (3).
int Premultiplied(const png_bytes::Bytes& rgba, std::size_t pixel, int c) {
    const int alpha = rgba[pixel * 4 + 3];
    return c == 3 ? alpha : rgba[pixel * 4 + c] * alpha / 255;
}

// A scratch folder of the test's own, emptied first.
fs::path TestRoot() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path root = fs::path(::testing::TempDir()) / "install test" /
                          (std::string(info->test_suite_name()) + "_" + info->name());
    fs::remove_all(root);
    return root;
}

// Headless and silent, with neither HOME nor XDG_DATA_HOME.
Environment HeadlessEnvironment() {
    Environment env;
    env.set = {{"SDL_VIDEODRIVER", "offscreen"},
               {"ALSOFT_DRIVERS", "null"},
               // The system's GL and audio libraries leave allocations that
               // LeakSanitizer would report at exit.
               {"ASAN_OPTIONS", "detect_leaks=0"}};
    env.unset = {"HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"};
    return env;
}

// The game installed under a prefix of its own, or (inHome) under the
// player's ~/.local, where the player's folder and the install's share
// folder meet.
class InstalledGame : public ::testing::Test {
protected:
    InstalledGame() : InstalledGame(false) {}
    explicit InstalledGame(bool inHome)
        : prefix(inHome ? home / ".local" : root / "installed game"),
          launcher(prefix / "bin" / "talvemar"),
          dataDir(prefix / "share" / "games" / "talvemar") {}

    void SetUp() override {
        fs::create_directories(home);
        ASSERT_NO_FATAL_FAILURE(Install("install"));
    }

    void Install(const std::string& run) {
        Environment env;
        env.unset = {"DESTDIR"};  // the prefix alone says where
        const fs::path output = root / (run + ".txt");
        Process install({TALVEMAR_CMAKE_COMMAND, "--install", TALVEMAR_BUILD_DIR, "--prefix", prefix.string()}, env,
                        root, output);
        ASSERT_TRUE(install.Started());
        ASSERT_EQ(install.Wait(60s), 0) << ReadFile(output);
    }

    // A passed test's install goes (tens of megabytes); a failed one's
    // stays to be looked at.
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(root);
    }

    // What a desktop session gives the game, headless and silent.
    Environment PlayerEnvironment() const {
        Environment env = HeadlessEnvironment();
        env.set.emplace_back("HOME", home.string());
        return env;
    }

    // Starts the game through the installed launcher from an unrelated
    // folder, lets it play in the options menu, closes it and gives the
    // exit code.
    std::optional<int> PlayThroughLauncher(const std::string& run) {
        const fs::path output = root / (run + ".txt");
        Process game({launcher.string()}, PlayerEnvironment(), root, output);
        if (!game.Started()) return std::nullopt;
        const fs::path log = userDir / "kov_debug.txt";
        for (auto waited = 0ms; !Contains(ReadFile(log), kMenuStartedLine); waited += kPollInterval) {
            if (waited > kStartDeadline || !game.Running()) {
                ADD_FAILURE() << run << ": the options menu never started. Output:\n" << ReadFile(output);
                return std::nullopt;
            }
            std::this_thread::sleep_for(kPollInterval);
        }
        std::this_thread::sleep_for(kPlayInMenu);
        game.Terminate();
        const std::optional<int> code = game.Wait();
        if (code != 0) ADD_FAILURE() << run << " output:\n" << ReadFile(output);
        return code;
    }

    const fs::path root = TestRoot();
    const fs::path home = root / "home folder";
    const fs::path userDir = home / ".local" / "share" / "talvemar";
    const fs::path prefix;
    const fs::path launcher;
    const fs::path dataDir;
};

bool IsExecutableFile(const fs::path& path) {
    return fs::is_regular_file(path) && (fs::status(path).permissions() & fs::perms::owner_exec) != fs::perms::none;
}

TEST_F(InstalledGame, ProgramOutOfPathLauncherInBinAndOnlyTheGamesData) {
    EXPECT_TRUE(IsExecutableFile(launcher));
    EXPECT_EQ(ReadFile(launcher).rfind("#!/bin/sh\n", 0), 0u) << "a POSIX shell script";
    EXPECT_TRUE(IsExecutableFile(prefix / "libexec" / "talvemar" / "talvemar"));

    std::set<std::string> top;
    for (const auto& entry : fs::directory_iterator(dataDir)) top.insert(entry.path().filename().string());
    EXPECT_EQ(top, (std::set<std::string>{"captions", "gfx", "levels", "models", "sounds", "talvemar.ini",
                                          "install-manifest.txt"}))
        << "no program, debug log or screenshots among the data";
    EXPECT_EQ(ReadFile(dataDir / "talvemar.ini"), ReadFile(fs::path(TALVEMAR_GAME_DIR) / "talvemar.ini"));
    for (const std::string& folder : kDataFolders) {
        std::set<std::string> built = FilesBelow(fs::path(TALVEMAR_GAME_DIR) / folder);
        built.erase("textures.txt");  // the map editors' texture list
        EXPECT_EQ(FilesBelow(dataDir / folder), built) << folder;
    }
}

TEST_F(InstalledGame, DesktopEntryStartsTheLauncherWithTheIcon) {
    const fs::path entry = prefix / "share" / "applications" / "talvemar.desktop";
    ASSERT_TRUE(fs::is_regular_file(entry));
    EXPECT_EQ(ReadFile(entry).rfind("[Desktop Entry]\n", 0), 0u);
    std::map<std::string, std::string> keys = DesktopEntryKeys(entry);
    EXPECT_EQ(keys["Type"], "Application");
    EXPECT_EQ(keys["Name"], "Talvemar");
    EXPECT_EQ(keys["Exec"], "talvemar") << "the launcher's name, found through PATH";
    EXPECT_TRUE(IsExecutableFile(prefix / "bin" / keys["Exec"]));
    EXPECT_EQ(keys["Icon"], "talvemar");
    EXPECT_TRUE(Contains(keys["Categories"], "Game;"));
    EXPECT_EQ(keys["Terminal"], "false");
}

// Every theme size is a PNG of that size; the scalable SVG, drawn by the
// system's SVG renderer, looks like the 64-pixel picture.
TEST_F(InstalledGame, IconIsAPngOfEachThemeSizeAndAnSvgThatLooksTheSame) {
    const fs::path theme = prefix / "share" / "icons" / "hicolor";
    std::map<int, png_bytes::Bytes> pictures;
    for (const int size : kIconSizes) {
        const std::string side = std::to_string(size);
        const fs::path icon = theme / (side + "x" + side) / "apps" / "talvemar.png";
        std::uint32_t width = 0, height = 0;
        const std::optional<png_bytes::Bytes> rgba = png_bytes::DecodeRgba(ReadBytes(icon), width, height);
        ASSERT_TRUE(rgba.has_value()) << icon;
        EXPECT_EQ(width, static_cast<std::uint32_t>(size)) << icon;
        EXPECT_EQ(height, static_cast<std::uint32_t>(size)) << icon;
        pictures[size] = *rgba;
    }

    constexpr int kCompared = 64;
    const fs::path drawn = root / "scalable.png";
    Process render({kSvgRenderer, "-w", "64", "-h", "64", (theme / "scalable" / "apps" / "talvemar.svg").string(),
                    "-o", drawn.string()},
                   {}, root, root / "render.txt");
    ASSERT_EQ(render.Wait(), 0) << kSvgRenderer << " (librsvg2-bin, installed by scripts/setup.sh): "
                                << ReadFile(root / "render.txt");
    std::uint32_t width = 0, height = 0;
    const std::optional<png_bytes::Bytes> svg = png_bytes::DecodeRgba(ReadBytes(drawn), width, height);
    ASSERT_TRUE(svg.has_value() && width == kCompared && height == kCompared);
    double difference = 0;
    for (std::size_t pixel = 0; pixel < kCompared * kCompared; ++pixel)
        for (int c = 0; c < 4; ++c)
            difference += std::abs(Premultiplied(*svg, pixel, c) - Premultiplied(pictures[kCompared], pixel, c));
    // About 1 in 255 for the same shapes; a misplaced crystal or a lost
    // gradient costs several times that.
    EXPECT_LT(difference / (kCompared * kCompared * 4), 3.0);
}

TEST_F(InstalledGame, LauncherRunsTheGameInThePlayersOwnFolder) {
    ASSERT_EQ(PlayThroughLauncher("first start"), 0);

    for (const std::string& folder : kDataFolders) {
        const fs::path link = userDir / folder;
        EXPECT_TRUE(fs::is_symlink(link)) << link;
        EXPECT_EQ(fs::canonical(link), fs::canonical(dataDir / folder)) << link;
    }
    EXPECT_TRUE(fs::is_regular_file(userDir / "talvemar.ini"));
    EXPECT_FALSE(fs::is_symlink(userDir / "talvemar.ini")) << "the player's own copy";
    EXPECT_EQ(ReadFile(userDir / "talvemar.ini"), ReadFile(dataDir / "talvemar.ini"));

    const std::string log = ReadFile(userDir / "kov_debug.txt");
    EXPECT_TRUE(Contains(log, "levels/optionmenu.spt successfully opened.")) << log;
    EXPECT_TRUE(Contains(log, kMenuStartedLine)) << log;
    EXPECT_FALSE(fs::exists(root / "kov_debug.txt")) << "not where it was started from";
    EXPECT_FALSE(fs::exists(dataDir / "kov_debug.txt")) << "never into the install";
}

TEST_F(InstalledGame, SecondStartKeepsThePlayersSettingsAndMendsOldLinks) {
    ASSERT_EQ(PlayThroughLauncher("first start"), 0);
    const std::string edited = "1 1 0 1 0\n";
    WriteFile(userDir / "talvemar.ini", edited);
    // As if an older install elsewhere had made the link.
    const fs::path levels = userDir / "levels";
    fs::remove(levels);
    fs::create_directory_symlink(root / "old install" / "share" / "talvemar" / "levels", levels);

    ASSERT_EQ(PlayThroughLauncher("second start"), 0);
    EXPECT_EQ(ReadFile(userDir / "talvemar.ini"), edited);
    EXPECT_EQ(fs::canonical(levels), fs::canonical(dataDir / "levels"));
}

TEST_F(InstalledGame, LauncherWithoutHomeSaysWhatIsMissing) {
    Process run({launcher.string()}, HeadlessEnvironment(), root, root / "output.txt");
    ASSERT_TRUE(run.Started());
    EXPECT_EQ(run.Wait(), 1);
    EXPECT_TRUE(Contains(ReadFile(root / "output.txt"), "HOME is not set")) << ReadFile(root / "output.txt");
}

// The launcher finds the install from its own real location: after the
// install is moved, and through a link to it from elsewhere.
TEST_F(InstalledGame, MovedInstallIsFoundThroughALinkToItsLauncher) {
    const fs::path moved = root / "moved game";
    fs::rename(prefix, moved);
    const fs::path linkDir = root / "my programs";
    fs::create_directories(linkDir);
    fs::create_symlink(moved / "bin" / "talvemar", linkDir / "talvemar");
    // Without HOME the launcher stops right after finding the data and the
    // program, which it reports first when missing.
    Process run({(linkDir / "talvemar").string()}, HeadlessEnvironment(), root, root / "output.txt");
    ASSERT_TRUE(run.Started());
    EXPECT_EQ(run.Wait(), 1);
    const std::string output = ReadFile(root / "output.txt");
    EXPECT_TRUE(Contains(output, "HOME is not set")) << output;
    EXPECT_FALSE(Contains(output, "missing")) << output;
}

// The command-line flags and options.ini keys that `talvemar --help` lists.
std::vector<std::string> NamesInHelp(const std::string& help) {
    std::vector<std::string> names;
    std::istringstream in(help);
    std::string line;
    bool inOptionsFile = false;
    while (std::getline(in, line)) {
        if (Contains(line, "Options of options.ini:")) inOptionsFile = true;
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first.rfind("--", 0) == 0 || (inOptionsFile && line.rfind("  ", 0) == 0 && !first.empty()))
            names.push_back(first);
    }
    return names;
}

// The manual page is installed compressed, and names every flag and option
// the program's own help lists; the package's documents are there.
TEST_F(InstalledGame, ManualPageNamesEveryOptionOfTheHelp) {
    Process help({(prefix / "libexec" / "talvemar" / "talvemar").string(), "--help"}, HeadlessEnvironment(), root,
                 root / "help.txt");
    ASSERT_EQ(help.Wait(), 0);
    const std::vector<std::string> names = NamesInHelp(ReadFile(root / "help.txt"));
    ASSERT_GT(names.size(), 20u) << ReadFile(root / "help.txt");

    std::string manual = ReadGzip(prefix / "share" / "man" / "man6" / "talvemar.6.gz");
    ASSERT_EQ(manual.rfind(".TH TALVEMAR 6", 0), 0u);
    for (std::size_t at; (at = manual.find("\\-")) != std::string::npos;) manual.replace(at, 2, "-");
    for (const std::string& name : names) EXPECT_TRUE(Contains(manual, name)) << name << " is not in the manual";

    const fs::path docs = prefix / "share" / "doc" / "talvemar";
    EXPECT_EQ(ReadFile(docs / "copyright").rfind("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0), 0u);
    EXPECT_TRUE(Contains(ReadGzip(docs / "changelog.gz"), "talvemar (")) << "a Debian changelog";
}

// Installed into ~/.local, the install's data lands in share/games and the
// player's folder stays the player's: the launcher links into the data, a
// second install leaves the player's settings alone. The home starts as a
// removed package leaves it: links in the player's folder that lead nowhere.
class HomeInstall : public InstalledGame {
protected:
    HomeInstall() : InstalledGame(true) {}
    void SetUp() override {
        fs::create_directories(userDir);
        for (const std::string& folder : kDataFolders)
            fs::create_directory_symlink(fs::path("/usr/share/talvemar/removed package") / folder, userDir / folder);
        InstalledGame::SetUp();
    }
};

TEST_F(HomeInstall, ThePlayersFolderIsNeverTheInstallsAndSurvivesAReinstall) {
    ASSERT_EQ(PlayThroughLauncher("first start"), 0);
    EXPECT_FALSE(Contains(ReadFile(root / "first start.txt"), "using your own")) << ReadFile(root / "first start.txt");
    for (const std::string& folder : kDataFolders)
        EXPECT_EQ(fs::canonical(userDir / folder), fs::canonical(dataDir / folder)) << "the old link is replaced";
    EXPECT_TRUE(fs::is_regular_file(userDir / "kov_debug.txt"));
    EXPECT_FALSE(fs::exists(dataDir / "kov_debug.txt"));

    const std::string edited = "1 1 0 1 0\n";
    WriteFile(userDir / "talvemar.ini", edited);
    ASSERT_NO_FATAL_FAILURE(Install("second install"));
    ASSERT_EQ(PlayThroughLauncher("second start"), 0);
    EXPECT_EQ(ReadFile(userDir / "talvemar.ini"), edited);
    EXPECT_FALSE(Contains(ReadFile(root / "second start.txt"), "using your own"));
}

// Should the player's folder be the data folder after all (XDG_DATA_HOME
// pointed at the install's share/games), the game runs in the XDG state
// folder instead and says so; nothing is written into the install.
TEST_F(HomeInstall, APlayersFolderInsideTheInstallMovesToTheStateFolder) {
    Environment env = PlayerEnvironment();
    env.set.emplace_back("XDG_DATA_HOME", (prefix / "share" / "games").string());
    Process run({launcher.string(), "--help"}, env, root, root / "output.txt");
    ASSERT_EQ(run.Wait(), 0) << ReadFile(root / "output.txt");
    const fs::path stateDir = home / ".local" / "state" / "talvemar";
    EXPECT_TRUE(Contains(ReadFile(root / "output.txt"), "your settings and the debug log are in " + stateDir.string()))
        << ReadFile(root / "output.txt");
    EXPECT_TRUE(fs::is_regular_file(stateDir / "talvemar.ini"));
    EXPECT_TRUE(fs::is_symlink(stateDir / "levels"));
    for (const std::string& folder : kDataFolders)
        EXPECT_FALSE(fs::is_symlink(dataDir / folder)) << "the install's own " << folder << " is left as it was";
}

// The uninstall removes exactly the install's files and its emptied
// folders: the player's folder and a level added to the install stay.
TEST_F(HomeInstall, UninstallRemovesWhatTheInstallPutThere) {
    ASSERT_EQ(PlayThroughLauncher("start"), 0);
    const fs::path added = dataDir / "levels" / "mine.spt";
    WriteFile(added, "a level of the player's own");

    Process uninstall({TALVEMAR_CMAKE_COMMAND, "-DPREFIX=" + prefix.string(), "-P", TALVEMAR_UNINSTALL_SCRIPT}, {},
                      root, root / "uninstall.txt");
    ASSERT_EQ(uninstall.Wait(60s), 0) << ReadFile(root / "uninstall.txt");

    std::set<std::string> left = FilesBelow(prefix);
    std::set<std::string> playersFiles;
    for (const std::string& file : left)
        if (file.rfind("share/talvemar/", 0) == 0) playersFiles.insert(file);
    EXPECT_EQ(playersFiles, (std::set<std::string>{"share/talvemar/kov_debug.txt", "share/talvemar/talvemar.ini"}));
    for (const std::string& file : playersFiles) left.erase(file);
    EXPECT_EQ(left, (std::set<std::string>{"share/games/talvemar/levels/mine.spt"}));
    EXPECT_FALSE(fs::exists(prefix / "libexec" / "talvemar")) << "emptied folders of the game go";
    EXPECT_FALSE(fs::exists(prefix / "share" / "doc" / "talvemar"));
    EXPECT_TRUE(fs::is_symlink(userDir / "levels")) << "the player's folder is not the install's";
}

// A staged install (DESTDIR, as packagers make them) lists its files
// without the stage, and the uninstall finds them in the stage again.
TEST_F(InstalledGame, AStagedInstallIsUninstalledFromItsStage) {
    const fs::path stage = root / "stage";
    Environment env;
    env.set = {{"DESTDIR", stage.string()}};
    Process install({TALVEMAR_CMAKE_COMMAND, "--install", TALVEMAR_BUILD_DIR, "--prefix", "/opt/talvemar game"}, env,
                    root, root / "staged install.txt");
    ASSERT_EQ(install.Wait(60s), 0) << ReadFile(root / "staged install.txt");
    const fs::path stagedPrefix = stage / "opt" / "talvemar game";
    ASSERT_TRUE(fs::is_regular_file(stagedPrefix / "share" / "games" / "talvemar" / "install-manifest.txt"));
    EXPECT_FALSE(Contains(ReadFile(stagedPrefix / "share" / "games" / "talvemar" / "install-manifest.txt"),
                          stage.string()));

    Process uninstall({TALVEMAR_CMAKE_COMMAND, "-DPREFIX=/opt/talvemar game", "-DDESTDIR=" + stage.string(), "-P",
                       TALVEMAR_UNINSTALL_SCRIPT},
                      {}, root, root / "uninstall.txt");
    ASSERT_EQ(uninstall.Wait(60s), 0) << ReadFile(root / "uninstall.txt");
    EXPECT_EQ(FilesBelow(stage), std::set<std::string>{});
}

}  // namespace
