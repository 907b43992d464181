// The level editor's way to the game: the compile and engine profiles the
// build writes (never over a designer's edits), read the way the editor
// reads them, and the game's icon in its list of games.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A JSON value as the editor's configuration reader takes it (// comments
// allowed). Numbers and literals keep their text.
struct Json {
    enum class Kind { kString, kScalar, kArray, kObject } kind = Kind::kScalar;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json* Find(const std::string& key) const {
        const auto it = members.find(key);
        return it == members.end() ? nullptr : &it->second;
    }
    bool IsString(const std::string& key) const {
        const Json* value = Find(key);
        return value != nullptr && value->kind == Kind::kString;
    }
    std::string String(const std::string& key) const { return IsString(key) ? Find(key)->text : ""; }
};

class JsonReader {
public:
    explicit JsonReader(std::string text) : text_(std::move(text)) {}

    // The whole text as one value, or nothing when it is not well formed.
    std::optional<Json> ReadAll() {
        Json value;
        if (!Value(value, 0)) return std::nullopt;
        SkipBlanks();
        if (at_ != text_.size()) return std::nullopt;
        return value;
    }

private:
    static constexpr int kMaxDepth = 32;

    void SkipBlanks() {
        while (at_ < text_.size()) {
            if (std::isspace(static_cast<unsigned char>(text_[at_]))) {
                ++at_;
            } else if (text_.compare(at_, 2, "//") == 0) {
                at_ = text_.find('\n', at_);
                if (at_ == std::string::npos) at_ = text_.size();
            } else {
                break;
            }
        }
    }
    bool Take(char c) {
        SkipBlanks();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool String(std::string& out) {
        if (!Take('"')) return false;
        for (; at_ < text_.size() && text_[at_] != '"'; ++at_) {
            if (text_[at_] == '\\' && ++at_ >= text_.size()) return false;
            out += text_[at_];
        }
        return at_++ < text_.size();
    }
    bool Scalar(Json& out) {
        const std::size_t start = at_;
        while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '.' ||
                                      text_[at_] == '-' || text_[at_] == '+'))
            ++at_;
        out.text = text_.substr(start, at_ - start);
        return !out.text.empty();
    }
    // Items separated by commas up to `close`; `one` reads an item.
    template <typename ReadOne>
    bool List(char close, ReadOne one) {
        if (Take(close)) return true;
        do {
            if (!one()) return false;
        } while (Take(','));
        return Take(close);
    }
    bool Value(Json& out, int depth) {
        if (depth > kMaxDepth) return false;
        SkipBlanks();
        if (at_ >= text_.size()) return false;
        if (text_[at_] == '"') {
            out.kind = Json::Kind::kString;
            return String(out.text);
        }
        if (Take('[')) {
            out.kind = Json::Kind::kArray;
            return List(']', [&] { return Value(out.items.emplace_back(), depth + 1); });
        }
        if (Take('{')) {
            out.kind = Json::Kind::kObject;
            return List('}', [&] {
                std::string key;
                return String(key) && Take(':') && Value(out.members[key], depth + 1);
            });
        }
        return Scalar(out);
    }

    std::string text_;
    std::size_t at_ = 0;
};

Json ReadJson(const fs::path& path) {
    std::optional<Json> json = JsonReader(ReadText(path)).ReadAll();
    EXPECT_TRUE(json.has_value()) << path << " is not well formed";
    return json.value_or(Json{});
}

// A tool's parameters split as the editor splits them: at blanks, except
// within double quotes.
std::vector<std::string> Arguments(const std::string& parameters) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false, started = false;
    for (char c : parameters) {
        if (c == '"') {
            quoted = !quoted;
            started = true;
        } else if (c == ' ' && !quoted) {
            if (started) arguments.push_back(current);
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started) arguments.push_back(current);
    return arguments;
}

// The task types the profiles may use, those every editor release the
// configuration is made for reads (one unknown type makes the editor refuse
// the whole file), with the keys each must have.
const std::map<std::string, std::vector<std::string>> kTaskKeys = {
    {"export", {"target"}}, {"copy", {"source", "target"}}, {"delete", {"target"}}, {"tool", {"tool", "parameters"}}};

// The profile's tasks, each checked for the keys its type needs.
std::vector<Json> CheckedTasks(const Json& profile) {
    EXPECT_TRUE(profile.IsString("name") && profile.IsString("workdir")) << profile.String("name");
    const Json* tasks = profile.Find("tasks");
    if (tasks == nullptr || tasks->kind != Json::Kind::kArray) {
        ADD_FAILURE() << profile.String("name") << " has no task list";
        return {};
    }
    for (const Json& task : tasks->items) {
        const auto keys = kTaskKeys.find(task.String("type"));
        if (keys == kTaskKeys.end()) {
            ADD_FAILURE() << "task type '" << task.String("type") << "' in " << profile.String("name");
            continue;
        }
        for (const std::string& key : keys->second) EXPECT_TRUE(task.IsString(key)) << key;
    }
    return tasks->items;
}

int WriteProfile(const fs::path& folder) {
    const std::string command = std::string("\"") + TALVEMAR_CMAKE_COMMAND + "\" -DTEMPLATE=" +
                                (folder / "p.cfg.in").string() + " -DOUTPUT=" + (folder / "p.cfg").string() +
                                " -DLAST=" + (folder / "p.last").string() + " -DGAME=/built/talvemar -P " +
                                TALVEMAR_SOURCE_DIR "/cmake/write_unless_edited.cmake > /dev/null";
    return std::system(command.c_str());
}

TEST(EditorProfiles, RegeneratingKeepsWhatTheDesignerEditedAndRefreshesTheRest) {
    const fs::path folder = fs::path(::testing::TempDir()) / "editor_profiles";
    fs::remove_all(folder);
    fs::create_directories(folder);
    WriteText(folder / "p.cfg.in", "run @GAME@\n");
    ASSERT_EQ(WriteProfile(folder), 0);
    EXPECT_EQ(ReadText(folder / "p.cfg"), "run /built/talvemar\n");

    WriteText(folder / "p.cfg.in", "play @GAME@\n");
    ASSERT_EQ(WriteProfile(folder), 0);
    EXPECT_EQ(ReadText(folder / "p.cfg"), "play /built/talvemar\n") << "untouched: follows the template";

    WriteText(folder / "p.cfg", "run /my/own/talvemar\n");
    WriteText(folder / "p.cfg.in", "start @GAME@\n");
    ASSERT_EQ(WriteProfile(folder), 0);
    ASSERT_EQ(WriteProfile(folder), 0);
    EXPECT_EQ(ReadText(folder / "p.cfg"), "run /my/own/talvemar\n") << "the designer's edit stays";

    fs::remove(folder / "p.cfg");
    ASSERT_EQ(WriteProfile(folder), 0);
    EXPECT_EQ(ReadText(folder / "p.cfg"), "start /built/talvemar\n") << "a deleted profile comes back";
}

// "Compile and play" hands the export to mapc, deletes it, and starts the
// game on the level mapc wrote; the engine profile starts the same level.
TEST(EditorProfiles, TheBuiltProfilesCompileWithMapcAndStartTheBuiltGame) {
    const fs::path editor = TALVEMAR_EDITOR_DIR;
    const Json compile = ReadJson(editor / "CompilationProfiles.cfg");
    const Json* version = compile.Find("version");
    EXPECT_TRUE(version != nullptr && version->kind == Json::Kind::kScalar && version->text == "1");
    const Json* profiles = compile.Find("profiles");
    ASSERT_TRUE(profiles != nullptr && profiles->kind == Json::Kind::kArray);
    const Json* play = nullptr;
    for (const Json& profile : profiles->items) {
        CheckedTasks(profile);
        if (profile.String("name") == "Compile and play") play = &profile;
    }
    ASSERT_NE(play, nullptr);
    const std::vector<Json> tasks = CheckedTasks(*play);
    ASSERT_EQ(tasks.size(), 4u) << "export, mapc, delete, play";
    const std::vector<std::string> mapc = Arguments(tasks[1].String("parameters"));
    const std::vector<std::string> game = Arguments(tasks[3].String("parameters"));
    ASSERT_GE(mapc.size(), 3u);
    ASSERT_GE(game.size(), 2u);

    EXPECT_EQ(fs::path(tasks[1].String("tool")), fs::path(TALVEMAR_MAPC));
    const Json* stopOnError = tasks[1].Find("treatNonZeroResultCodeAsError");
    EXPECT_TRUE(stopOnError != nullptr && stopOnError->text == "true") << "a map that does not compile is not played";
    EXPECT_EQ(mapc[0], play->String("workdir")) << "mapc writes below the folder the game runs in";
    EXPECT_EQ(mapc[1], tasks[0].String("target")) << "mapc compiles the export";
    EXPECT_EQ(tasks[2].String("target"), tasks[0].String("target")) << "the export is deleted";
    EXPECT_EQ(fs::path(tasks[3].String("tool")), fs::path(TALVEMAR_GAME_DIR) / "talvemar");
    EXPECT_EQ(game[0], "--level");
    EXPECT_EQ(game[1], mapc[2]) << "the game starts the level mapc wrote";

    const Json engine = ReadJson(editor / "GameEngineProfiles.cfg");
    const Json* engines = engine.Find("profiles");
    ASSERT_TRUE(engines != nullptr && engines->kind == Json::Kind::kArray && !engines->items.empty());
    const Json& first = engines->items.front();
    EXPECT_TRUE(first.IsString("name") && first.IsString("parameters"));
    EXPECT_EQ(fs::path(first.String("path")), fs::path(TALVEMAR_GAME_DIR) / "talvemar");
    EXPECT_EQ(Arguments(first.String("parameters")), game) << "the engine starts what the profile plays";
}

// The editor's game list shows the icon at its own size: 32 pixels.
constexpr unsigned kGameListIconSide = 32;

unsigned BigEndian32(const std::string& bytes, std::size_t at) {
    unsigned value = 0;
    for (std::size_t i = at; i < at + 4 && i < bytes.size(); ++i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

TEST(EditorProfiles, TheConfigurationNamesTheIconMapcAndTheColourPicker) {
    const Json config = ReadJson(TALVEMAR_EDITOR_DIR "/GameConfig.cfg");
    ASSERT_TRUE(config.IsString("icon"));
    const std::string icon = ReadText(fs::path(TALVEMAR_EDITOR_DIR) / config.String("icon"));
    ASSERT_GE(icon.size(), 24u) << config.String("icon");
    EXPECT_EQ(icon.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(icon.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(icon, 16), kGameListIconSide);
    EXPECT_EQ(BigEndian32(icon, 20), kGameListIconSide);

    const Json* tools = config.Find("compilationTools");
    ASSERT_TRUE(tools != nullptr && tools->kind == Json::Kind::kArray);
    std::set<std::string> names;
    for (const Json& tool : tools->items) names.insert(tool.String("name"));
    EXPECT_EQ(names.count("mapc"), 1u) << "${mapc} names the compiler";

    // TrenchBroom's picker writes 0..255 into a plain colour and 0..1 into color1.
    const std::string fgd = ReadText(TALVEMAR_EDITOR_DIR "/talvemar.fgd");
    const std::size_t light = fgd.find("= Light :");
    ASSERT_NE(light, std::string::npos);
    const std::size_t color = fgd.find("\tcolor(", light);
    ASSERT_NE(color, std::string::npos);
    EXPECT_EQ(fgd.compare(color, 14, "\tcolor(color1)"), 0) << fgd.substr(color, 40);
}

}  // namespace
