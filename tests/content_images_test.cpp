// The image generator's output, read back the way the game reads it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/image_files.h"
#include "texgen/font_atlas.h"
#include "texgen/interface_images.h"
#include "texgen/level_materials.h"
#include "texgen/texgen.h"
#include "texgen/tool_textures.h"

namespace {

namespace fs = std::filesystem;

// Every interface image the game loads, by the path it asks for.
const char* const kInterfacePaths[] = {
    "gfx/part.bmp",           "gfx/part_blood_test.bmp",     "gfx/blood.bmp",
    "gfx/blood2.bmp",         "gfx/radar/radar.bmp",         "gfx/radar/radar(screen).bmp",
    "gfx/Hud/health.bmp",     "gfx/Hud/crosshair.bmp",       "gfx/Hud/9mmAmmo.bmp",
    "gfx/Hud/MachineGunAmmo.bmp", "gfx/Hud/ASRAmmo.bmp",     "gfx/Hud/FlameSleeveAmmo.bmp",
    "gfx/Hud/EnergyCube.bmp", "gfx/Hud/Zone4.bmp",
};

constexpr int kMinimumMaterials = 16;

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

bool IsSign(const std::string& name) { return name.rfind("sign_", 0) == 0; }

bool IsBlack(const RgbImage& image, int x, int y) {
    const std::uint8_t* p = image.At(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path.string(), bytes)) << path;
    return bytes;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A folder of its own below the tests' temporary folder, removed at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& tag)
        : path(fs::path(::testing::TempDir()) / ("talvemar_texgen_" + tag + "_" + std::to_string(getpid()))) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~ScratchFolder() { fs::remove_all(path); }
    const fs::path path;
};

// Generation is the slow part; the tests in a process share its results,
// and each part is made only when a test asks for it.
const texgen::GeneratedContent& Content() {
    static const texgen::GeneratedContent content = texgen::GenerateContent();
    return content;
}

const texgen::FontLibrary& Fonts() {
    static const texgen::FontLibrary fonts;
    return fonts;
}

// The interface images: effects, HUD panels and ammunition icons.
const std::vector<texgen::NamedImage>& KeyedImages() {
    static const std::vector<texgen::NamedImage> images = [] {
        std::vector<texgen::NamedImage> all;
        for (auto maker : {texgen::MakeEffectImages, texgen::MakeHudImages, texgen::MakeAmmoIcons})
            for (auto& image : maker()) all.push_back(std::move(image));
        return all;
    }();
    return images;
}

const RgbImage& ImageAt(const std::string& path) {
    for (const auto& image : KeyedImages())
        if (image.path == path) return image.image;
    throw std::runtime_error("no image " + path);
}

// ---------------------------------------------------------------- level textures

TEST(LevelTextures, EnoughMaterialsWithNamesAndSizesLevelsAccept) {
    const auto& all = Content().levelTextures;
    EXPECT_GE(std::count_if(all.begin(), all.end(), [](const auto& t) { return !IsSign(t.name); }), kMinimumMaterials);
    std::set<std::string> names;
    for (const auto& texture : Content().levelTextures) {
        EXPECT_TRUE(names.insert(texture.name).second) << "duplicate " << texture.name;
        EXPECT_LE(texture.name.size(), texgen::kMaxTextureNameLength) << texture.name;
        for (char c : texture.name)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') << texture.name;
        EXPECT_TRUE(IsPowerOfTwo(texture.image.width) && IsPowerOfTwo(texture.image.height)) << texture.name;
        EXPECT_GE(std::min(texture.image.width, texture.image.height), 64) << texture.name;
        EXPECT_LE(std::max(texture.image.width, texture.image.height), 256) << texture.name;
    }
}

// ---------------------------------------------------------------- font atlas

// Bounding box of the ink in a glyph's cell.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    void Add(int x, int y) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

// The non-black pixels of a glyph's cell, in pixels from the cell's first
// column and first stored row: box.top is the lowest row on screen.
struct Ink {
    int count = 0;
    Box box;
    std::vector<int> rowWidths;  // from the first to the last inked column
};

Ink GlyphInk(const RgbImage& atlas, int glyph) {
    const texgen::AtlasCell cell = texgen::GlyphCell(glyph);
    Ink ink;
    for (int y = 0; y < texgen::kAtlasCellPixels; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < texgen::kAtlasCellPixels; ++x)
            if (!IsBlack(atlas, cell.firstColumn + x, cell.firstStoredRow + y)) {
                ++ink.count;
                ink.box.Add(x, y);
                if (first < 0) first = x;
                last = x;
            }
        ink.rowWidths.push_back(first < 0 ? 0 : last - first + 1);
    }
    return ink;
}

int GlyphOf(char c, int set) { return set * texgen::kGlyphsPerSet + (c - texgen::kFirstCharacter); }

RgbImage DecodedAtlas() {
    ScratchFolder folder("atlas");
    WriteBmp((folder.path / "Zone4.bmp").string(), texgen::MakeFontAtlas(Fonts()));
    const auto decoded = DecodeBmp(ReadBytes(folder.path / "Zone4.bmp"));
    EXPECT_TRUE(decoded.has_value());
    RgbImage image(decoded->width, decoded->height);
    image.rgb = decoded->pixels;
    return image;
}

TEST(FontAtlas, GlyphsSitUprightInTheCellsTheFontListsAddress) {
    const RgbImage atlas = DecodedAtlas();
    ASSERT_EQ(atlas.width, texgen::kAtlasSize);
    ASSERT_EQ(atlas.height, texgen::kAtlasSize);
    // 'A' is glyph 33: column 1, cell row 2, drawn from t = 1 - 2/16 - 1/16 up
    // to t = 1 - 2/16, that is stored rows 208 to 223.
    const texgen::AtlasCell a = texgen::GlyphCell(33);
    EXPECT_EQ(a.firstColumn, 16);
    EXPECT_EQ(a.firstStoredRow, 208);
    EXPECT_LT(GlyphInk(atlas, GlyphOf('.', 0)).count, GlyphInk(atlas, GlyphOf('A', 0)).count / 3);
    for (int set = 0; set < 2; ++set) {
        EXPECT_EQ(GlyphInk(atlas, GlyphOf(' ', set)).count, 0) << "the space is blank";
        for (int glyph = texgen::kLastCharacter - texgen::kFirstCharacter + 1; glyph < texgen::kGlyphsPerSet; ++glyph)
            EXPECT_EQ(GlyphInk(atlas, set * texgen::kGlyphsPerSet + glyph).count, 0) << glyph;
        for (char c = '!'; c <= '~'; ++c) EXPECT_GT(GlyphInk(atlas, GlyphOf(c, set)).count, 0) << c;
        // Higher stored rows are higher on screen: A's apex is narrow, T's bar
        // wide; the full stop sits on the baseline with A's feet, the
        // apostrophe up high.
        const Ink capitalA = GlyphInk(atlas, GlyphOf('A', set));
        const Ink t = GlyphInk(atlas, GlyphOf('T', set));
        const Ink dot = GlyphInk(atlas, GlyphOf('.', set));
        EXPECT_LT(capitalA.rowWidths[capitalA.box.bottom], capitalA.rowWidths[capitalA.box.top]) << set;
        EXPECT_GT(t.rowWidths[t.box.bottom], t.rowWidths[t.box.top]) << set;
        EXPECT_NEAR(dot.box.top, capitalA.box.top, 1) << set;
        EXPECT_GT(GlyphInk(atlas, GlyphOf('\'', set)).box.top, dot.box.bottom) << set;
    }
}

TEST(FontAtlas, CellsKeepTheirEdgesClearAgainstBleeding) {
    const RgbImage atlas = DecodedAtlas();
    for (int glyph = 0; glyph < 2 * texgen::kGlyphsPerSet; ++glyph) {
        const texgen::AtlasCell cell = texgen::GlyphCell(glyph);
        const int last = texgen::kAtlasCellPixels - 1;
        for (int i = 0; i <= last; ++i) {
            EXPECT_TRUE(IsBlack(atlas, cell.firstColumn + i, cell.firstStoredRow)) << glyph;
            EXPECT_TRUE(IsBlack(atlas, cell.firstColumn + i, cell.firstStoredRow + last)) << glyph;
            EXPECT_TRUE(IsBlack(atlas, cell.firstColumn, cell.firstStoredRow + i)) << glyph;
            EXPECT_TRUE(IsBlack(atlas, cell.firstColumn + last, cell.firstStoredRow + i)) << glyph;
        }
    }
}

TEST(InterfaceImages, TransparentAroundTheEdgeAndSolidInside) {
    for (const auto& [path, image] : KeyedImages()) {
        EXPECT_TRUE(IsPowerOfTwo(image.width) && image.width == image.height) << path;
        int visible = 0, holes = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const bool edge = x == 0 || y == 0 || x == image.width - 1 || y == image.height - 1;
                if (edge) {
                    EXPECT_TRUE(IsBlack(image, x, y)) << path << " at " << x << ", " << y;
                    continue;
                }
                if (!IsBlack(image, x, y)) {
                    ++visible;
                } else if (!IsBlack(image, x - 1, y) && !IsBlack(image, x + 1, y) && !IsBlack(image, x, y - 1) &&
                           !IsBlack(image, x, y + 1)) {
                    ++holes;  // a see-through pixel inside a painted area
                }
            }
        EXPECT_GT(visible, image.width * image.height / 20) << path;
        EXPECT_EQ(holes, 0) << path;
    }
}

TEST(InterfaceImages, RadarGlowCoversTheScreenAndNothingElse) {
    const RgbImage& panel = ImageAt("gfx/radar/radar.bmp");
    const RgbImage& glow = ImageAt("gfx/radar/radar(screen).bmp");
    ASSERT_EQ(panel.width, glow.width);
    for (int y = 0; y < glow.height; ++y)
        for (int x = 0; x < glow.width; ++x)
            if (!IsBlack(glow, x, y)) EXPECT_FALSE(IsBlack(panel, x, y)) << x << ", " << y;
}

// ---------------------------------------------------------------- files

TEST(ContentFiles, EveryFileTheGameLoadsIsWrittenAndDecodes) {
    ScratchFolder folder("files");
    const auto written = texgen::WriteContent(Content(), folder.path.string());
    for (const char* path : kInterfacePaths) {
        ASSERT_TRUE(std::find(written.begin(), written.end(), path) != written.end()) << path;
        const auto decoded = DecodeBmp(ReadBytes(folder.path / path));
        ASSERT_TRUE(decoded.has_value()) << path;
        EXPECT_EQ(decoded->bitsPerPixel, 24) << path;
        EXPECT_TRUE(IsPowerOfTwo(decoded->width) && IsPowerOfTwo(decoded->height)) << path;
    }
    for (const auto& texture : Content().levelTextures) {
        const auto decoded = DecodeLevelBmp(ReadBytes(folder.path / texgen::LevelTexturePath(texture)));
        ASSERT_TRUE(decoded.has_value()) << texture.name;
        EXPECT_EQ(decoded->width, texture.image.width);
        EXPECT_EQ(decoded->pixels, texture.image.rgb) << texture.name;
    }
    const std::string list = ReadText(folder.path / texgen::kTextureListPath);
    EXPECT_EQ(list, texgen::TextureListText(Content().levelTextures));
    EXPECT_NE(list.find("brick_red 256 256\n"), std::string::npos);
    EXPECT_EQ(ReadText(fs::path(TALVEMAR_SOURCE_DIR) / "content/textures.txt"), list)
        << "content/textures.txt is out of date: rewrite it with `texgen --list`";
}

TEST(ContentFiles, GenerationIsDeterministic) {
    ScratchFolder first("first"), second("second");
    const auto written = texgen::WriteContent(Content(), first.path.string());
    texgen::WriteContent(texgen::GenerateContent(), second.path.string());
    for (const std::string& path : written)
        EXPECT_TRUE(ReadBytes(first.path / path) == ReadBytes(second.path / path)) << path;
}

// ---------------------------------------------------------------- level editor

const std::vector<texgen::LevelTexture>& ToolTextures() {
    static const std::vector<texgen::LevelTexture> tools = texgen::MakeToolTextures(Fonts());
    return tools;
}

std::string EditorConfig() { return ReadText(fs::path(TALVEMAR_SOURCE_DIR) / "content/editor/GameConfig.cfg"); }

// The quoted strings from the first one after "key" up to `last` (skipping
// // comments).
std::vector<std::string> ConfigStrings(const std::string& config, const std::string& key, char last) {
    std::vector<std::string> strings;
    const std::size_t at = config.find("\"" + key + "\"");
    if (at == std::string::npos) return strings;
    for (std::size_t i = config.find(':', at); i < config.size(); ++i) {
        if (config.compare(i, 2, "//") == 0) {
            i = config.find('\n', i);
        } else if (config[i] == '"') {
            const std::size_t end = config.find('"', i + 1);
            if (end == std::string::npos) break;
            strings.push_back(config.substr(i + 1, end - i - 1));
            i = end;
        } else if (config[i] == last) {
            break;
        }
        if (i == std::string::npos) break;
    }
    return strings;
}

// TrenchBroom's test for a material exclude: the pattern against the file
// name without folder and extension, letters in either case, '*' for any run
// of characters and '?' for any one.
bool MatchesExclude(const char* name, const char* pattern) {
    if (*pattern == '\0') return *name == '\0';
    if (*pattern == '*') return MatchesExclude(name, pattern + 1) || (*name != '\0' && MatchesExclude(name + 1, pattern));
    if (*name == '\0') return false;
    const bool same = *pattern == '?' || std::tolower(static_cast<unsigned char>(*pattern)) ==
                                             std::tolower(static_cast<unsigned char>(*name));
    return same && MatchesExclude(name + 1, pattern + 1);
}

TEST(ContentFiles, ToolTexturesAreWrittenForTheEditorAndAreNoLevelTextures) {
    ScratchFolder folder("tools");
    texgen::WriteToolTextures(ToolTextures(), folder.path.string());
    std::set<std::string> names;
    for (const auto& tool : ToolTextures()) {
        names.insert(tool.name);
        EXPECT_LE(tool.name.size(), texgen::kMaxTextureNameLength) << tool.name;
        const auto decoded = DecodeLevelBmp(ReadBytes(folder.path / texgen::ToolTexturePath(tool)));
        ASSERT_TRUE(decoded.has_value()) << tool.name;
        EXPECT_EQ(decoded->pixels, tool.image.rgb) << tool.name;
        for (const auto& texture : Content().levelTextures) EXPECT_NE(texture.name, tool.name);
    }
    EXPECT_EQ(names.count("skip"), 1u) << "maps drop faces with the skip texture";
    EXPECT_EQ(names.size(), ToolTextures().size()) << "two tool textures share a name";
}

// The editor's material browser lists every image below the material root
// (the game folder's and those in the configuration's assets folder) except
// the excluded ones; it must show the level and tool textures and nothing else.
TEST(ContentFiles, EditorConfigurationShowsExactlyTheLevelAndToolTextures) {
    const std::string config = EditorConfig();
    const std::vector<std::string> root = ConfigStrings(config, "root", ',');
    ASSERT_EQ(root.size(), 1u);
    const std::vector<std::string> excludes = ConfigStrings(config, "excludes", ']');
    ASSERT_FALSE(excludes.empty());
    for (const std::string& pattern : excludes)
        ASSERT_EQ(pattern.find_first_of("%\\"), std::string::npos) << pattern << ": a glob this check does not know";
    const auto excluded = [&](const std::string& name) {
        return std::any_of(excludes.begin(), excludes.end(),
                           [&](const std::string& pattern) { return MatchesExclude(name.c_str(), pattern.c_str()); });
    };
    for (const auto& texture : Content().levelTextures) {
        EXPECT_EQ(*fs::path(texgen::LevelTexturePath(texture)).begin(), root[0]) << texture.name;
        EXPECT_FALSE(excluded(texture.name)) << texture.name << " is hidden from the editor";
    }
    for (const auto& tool : ToolTextures()) {
        EXPECT_EQ(texgen::ToolTexturePath(tool), "assets/" + root[0] + "/" + tool.name + ".bmp");
        EXPECT_FALSE(excluded(tool.name)) << tool.name << " is hidden from the editor";
    }
    for (const auto& image : Content().images) {
        const fs::path path(image.path);
        if (*path.begin() != root[0]) continue;
        EXPECT_TRUE(excluded(path.stem().string())) << image.path << " shows among the level textures";
    }
}

}  // namespace
