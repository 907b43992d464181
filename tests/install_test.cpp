// The installed game: `cmake --install` of this build into a scratch
// prefix (with a space in its name), what lands where, and the launcher
// that runs the game from the player's own folder. The launcher and the
// game run as real programs, closed with SIGTERM like a desktop would.
#include <gtest/gtest.h>

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

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::vector<std::string> kDataFolders{"levels", "models", "gfx", "sounds", "captions"};
constexpr std::array<int, 5> kIconSizes{32, 48, 64, 128, 256};
// The last line the game logs before the options menu's first frame.
constexpr const char* kMenuStartedLine = "PLAYER INIT AT:";
constexpr auto kStartDeadline = 60s;  // generous: sanitizer builds start slowly
constexpr auto kPlayInMenu = 2s;
constexpr auto kExitDeadline = 10s;
constexpr auto kPollInterval = 50ms;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

struct PngSize {
    std::uint32_t width = 0, height = 0;
};

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// The size in a PNG's header chunk, which must come first.
std::optional<PngSize> ReadPngSize(const fs::path& path) {
    const std::string bytes = ReadFile(path);
    const std::string signature = "\x89PNG\r\n\x1a\n";
    constexpr std::size_t kHeaderEnd = 24;
    if (bytes.size() < kHeaderEnd || bytes.compare(0, 8, signature) != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return std::nullopt;
    return PngSize{BigEndian32(bytes, 16), BigEndian32(bytes, 20)};
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
    env.unset = {"HOME", "XDG_DATA_HOME"};
    return env;
}

class InstalledGame : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(home);
        Environment env;
        env.unset = {"DESTDIR"};  // the prefix alone says where
        Process install({TALVEMAR_CMAKE_COMMAND, "--install", TALVEMAR_BUILD_DIR, "--prefix", prefix.string()}, env,
                        root, root / "install.txt");
        ASSERT_TRUE(install.Started());
        ASSERT_EQ(install.Wait(60s), 0) << ReadFile(root / "install.txt");
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
    const fs::path prefix = root / "installed game";
    const fs::path home = root / "home folder";
    const fs::path userDir = home / ".local" / "share" / "talvemar";
    const fs::path launcher = prefix / "bin" / "talvemar";
    const fs::path dataDir = prefix / "share" / "talvemar";
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
    EXPECT_EQ(top, (std::set<std::string>{"captions", "gfx", "levels", "models", "sounds", "talvemar.ini"}))
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

TEST_F(InstalledGame, IconIsAPngOfEachThemeSize) {
    for (const int size : kIconSizes) {
        const std::string side = std::to_string(size);
        const fs::path icon = prefix / "share" / "icons" / "hicolor" / (side + "x" + side) / "apps" / "talvemar.png";
        const std::optional<PngSize> png = ReadPngSize(icon);
        ASSERT_TRUE(png.has_value()) << icon;
        EXPECT_EQ(png->width, static_cast<std::uint32_t>(size)) << icon;
        EXPECT_EQ(png->height, static_cast<std::uint32_t>(size)) << icon;
    }
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

}  // namespace
