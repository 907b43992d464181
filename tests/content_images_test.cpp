// The image generator's output, read back the way the game reads it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
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
#include "texgen/procedural.h"
#include "texgen/signs.h"
#include "texgen/texgen.h"

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

// Pictures of one framed object (a door, a crate, a lamp, a wall panel):
// their edges are the frame, lit on one side and shaded on the other, so
// the wrap-around is a frame meeting a frame rather than a continuation.
const std::set<std::string> kFramedMaterials = {"door_metal", "crate_wood", "crate_metal",
                                                "light_panel", "light_amber", "tech_wall"};

constexpr int kMinimumMaterials = 16;

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

bool IsSign(const std::string& name) { return name.rfind("sign_", 0) == 0; }

bool IsBlack(const RgbImage& image, int x, int y) {
    const std::uint8_t* p = image.At(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

float PixelLuminance(const RgbImage& image, int x, int y) {
    const std::uint8_t* p = image.At(x, y);
    return (0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2]) / 255.0f;
}

float MeanLuminance(const RgbImage& image) {
    double sum = 0.0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) sum += PixelLuminance(image, x, y);
    return static_cast<float>(sum / (image.width * image.height));
}

// Mean absolute channel difference between two columns (or two rows).
double ColumnDifference(const RgbImage& image, int a, int b) {
    double sum = 0.0;
    for (int y = 0; y < image.height; ++y)
        for (int c = 0; c < 3; ++c) sum += std::abs(image.At(a, y)[c] - image.At(b, y)[c]);
    return sum / (image.height * 3);
}

RgbImage Transposed(const RgbImage& image) {
    RgbImage result(image.height, image.width);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.At(x, y);
            result.Set(y, x, p[0], p[1], p[2]);
        }
    return result;
}

// Whether the step from the last column to the first looks like any step
// inside the picture: no larger than half again the busiest columns, or
// than half again the step across the middle (where a pattern whose period
// divides half the size repeats the same transition).
bool WrapsAcrossColumns(const RgbImage& image, std::string& detail) {
    std::vector<double> steps;
    for (int x = 0; x + 1 < image.width; ++x) steps.push_back(ColumnDifference(image, x, x + 1));
    std::sort(steps.begin(), steps.end());
    const double busy = steps[steps.size() * 95 / 100];
    const double middle = ColumnDifference(image, image.width / 2 - 1, image.width / 2);
    const double wrap = ColumnDifference(image, image.width - 1, 0);
    std::ostringstream text;
    text << "wrap step " << wrap << ", 95th percentile step " << busy << ", middle step " << middle;
    detail = text.str();
    return wrap <= 1.5 * std::max(busy, middle) + 4.0;
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

const std::vector<texgen::LevelTexture>& MaterialTextures() {
    static const std::vector<texgen::LevelTexture> materials = texgen::MakeMaterials();
    return materials;
}

std::vector<const texgen::LevelTexture*> Materials() {
    std::vector<const texgen::LevelTexture*> materials;
    for (const auto& texture : MaterialTextures()) materials.push_back(&texture);
    return materials;
}

const texgen::LevelTexture& SignNamed(const std::string& name) {
    static const std::vector<texgen::LevelTexture> signs = texgen::MakeSigns(Fonts());
    for (const auto& sign : signs)
        if (sign.name == name) return sign;
    throw std::runtime_error("no sign " + name);
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

TEST(LevelTextures, MaterialsTileWithoutSeams) {
    for (const auto* texture : Materials()) {
        if (kFramedMaterials.count(texture->name) > 0) continue;
        std::string detail;
        EXPECT_TRUE(WrapsAcrossColumns(texture->image, detail)) << texture->name << " across: " << detail;
        EXPECT_TRUE(WrapsAcrossColumns(Transposed(texture->image), detail)) << texture->name << " down: " << detail;
    }
}

TEST(LevelTextures, SeamCheckCatchesAPictureThatDoesNotWrap) {
    // Three quarters of one period of noise: its right side does not meet its left.
    texgen::ColourMap cut(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float n = texgen::TileFbm(0.75f * (x + 0.5f) / 128, (y + 0.5f) / 128, 4, 4, 77);
            cut.At(x, y) = {n, n, n};
        }
    std::string detail;
    EXPECT_FALSE(WrapsAcrossColumns(cut.ToImage(), detail)) << detail;
    EXPECT_TRUE(WrapsAcrossColumns(Transposed(cut.ToImage()), detail)) << detail;
}

TEST(LevelTextures, BrightEnoughForVertexLight) {
    for (const auto* texture : Materials()) {
        const float mean = MeanLuminance(texture->image);
        if (texture->name == "sky_stars") {
            EXPECT_LT(mean, 0.2f) << "the sky stays dark";
        } else if (texture->name.rfind("light_", 0) == 0) {
            EXPECT_GT(mean, 0.5f) << texture->name;
        } else {
            EXPECT_GE(mean, 0.33f) << texture->name;
            EXPECT_LE(mean, 0.7f) << texture->name;
        }
    }
}

TEST(LevelTextures, MaterialsHaveDetailAndDifferFromEachOther) {
    const auto materials = Materials();
    for (const auto* texture : materials) {
        double sum = 0.0, squares = 0.0;
        const int count = texture->image.width * texture->image.height;
        for (int y = 0; y < texture->image.height; ++y)
            for (int x = 0; x < texture->image.width; ++x) {
                const double l = PixelLuminance(texture->image, x, y);
                sum += l;
                squares += l * l;
            }
        const double deviation = std::sqrt(squares / count - (sum / count) * (sum / count));
        EXPECT_GT(deviation, 0.02) << texture->name << " is nearly flat";
    }
    for (std::size_t i = 0; i < materials.size(); ++i)
        for (std::size_t j = i + 1; j < materials.size(); ++j) {
            const RgbImage& a = materials[i]->image;
            const RgbImage& b = materials[j]->image;
            if (a.width != b.width) continue;
            double difference = 0.0;
            for (std::size_t k = 0; k < a.rgb.size(); ++k) difference += std::abs(a.rgb[k] - b.rgb[k]);
            EXPECT_GT(difference / a.rgb.size(), 10.0) << materials[i]->name << " and " << materials[j]->name;
        }
}

// ---------------------------------------------------------------- signs

TEST(Signs, EveryOptionsMenuSignIsMade) {
    const std::map<std::string, std::pair<int, int>> expected = {
        {"sign_difficulty", {256, 64}}, {"sign_gore", {256, 64}}, {"sign_music", {256, 64}},
        {"sign_sfx", {256, 64}},        {"sign_exit", {256, 64}}, {"sign_plus", {128, 128}},
        {"sign_minus", {128, 128}}};
    for (const auto& [name, size] : expected) {
        const RgbImage& image = SignNamed(name).image;
        EXPECT_EQ(image.width, size.first) << name;
        EXPECT_EQ(image.height, size.second) << name;
    }
}

// Bounding box of the light lettering on a sign's dark plate.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    void Add(int x, int y) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

// Light pixels away from the plate's bevelled rim and screws.
bool IsLettering(const RgbImage& image, int x, int y) {
    constexpr int kRim = 13;
    const bool inside = x >= kRim && y >= kRim && x < image.width - kRim && y < image.height - kRim;
    return inside && PixelLuminance(image, x, y) > 0.75f;
}

Box LetteringBox(const RgbImage& image, int fromX = 0, int toX = -1) {
    Box box;
    if (toX < 0) toX = image.width;
    for (int y = 0; y < image.height; ++y)
        for (int x = fromX; x < toX; ++x)
            if (IsLettering(image, x, y)) box.Add(x, y);
    return box;
}

int LetteringWidthInRow(const RgbImage& image, int y, int fromX, int toX) {
    int first = -1, last = -1;
    for (int x = fromX; x < toX; ++x)
        if (IsLettering(image, x, y)) {
            if (first < 0) first = x;
            last = x;
        }
    return first < 0 ? 0 : last - first + 1;
}

TEST(Signs, LetteringIsCentredAndUprightWithRowZeroAtTheTop) {
    const RgbImage& exit = SignNamed("sign_exit").image;
    const Box text = LetteringBox(exit);
    ASSERT_GE(text.right, 0) << "no lettering found";
    EXPECT_NEAR((text.left + text.right) / 2.0, exit.width / 2.0, 4.0);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, exit.height / 2.0, 4.0);
    // The last letter is a T: its bar is at the top, where row 0 is.
    const int tLeft = text.right - (text.right - text.left) / 5;
    const Box t = LetteringBox(exit, tLeft, text.right + 1);
    EXPECT_GT(LetteringWidthInRow(exit, t.top + 1, tLeft, text.right + 1),
              2 * LetteringWidthInRow(exit, t.bottom - 1, tLeft, text.right + 1));
}

TEST(Signs, PlusHasAnUprightBarAndMinusDoesNot) {
    const RgbImage& plus = SignNamed("sign_plus").image;
    const RgbImage& minus = SignNamed("sign_minus").image;
    const Box plusBox = LetteringBox(plus), minusBox = LetteringBox(minus);
    EXPECT_GT(plusBox.bottom - plusBox.top, (plusBox.right - plusBox.left) * 3 / 4);
    EXPECT_LT(minusBox.bottom - minusBox.top, (minusBox.right - minusBox.left) / 2);
    EXPECT_GT(minusBox.right - minusBox.left, minus.width / 4) << "the minus should be readable from afar";
}

// ---------------------------------------------------------------- font atlas

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

TEST(FontAtlas, GlyphsSitInTheCellsTheFontListsAddress) {
    const RgbImage atlas = DecodedAtlas();
    ASSERT_EQ(atlas.width, texgen::kAtlasSize);
    ASSERT_EQ(atlas.height, texgen::kAtlasSize);
    // 'A' is glyph 33: column 1, cell row 2, drawn from t = 1 - 2/16 - 1/16 up
    // to t = 1 - 2/16, that is stored rows 208 to 223.
    const texgen::AtlasCell a = texgen::GlyphCell(33);
    EXPECT_EQ(a.firstColumn, 16);
    EXPECT_EQ(a.firstStoredRow, 208);
    EXPECT_GT(GlyphInk(atlas, GlyphOf('A', 0)).count, 20);
    EXPECT_GT(GlyphInk(atlas, GlyphOf('.', 0)).count, 1);
    EXPECT_LT(GlyphInk(atlas, GlyphOf('.', 0)).count, GlyphInk(atlas, GlyphOf('A', 0)).count / 3);
    for (int set = 0; set < 2; ++set) {
        EXPECT_EQ(GlyphInk(atlas, GlyphOf(' ', set)).count, 0) << "the space is blank";
        for (int glyph = texgen::kLastCharacter - texgen::kFirstCharacter + 1; glyph < texgen::kGlyphsPerSet; ++glyph)
            EXPECT_EQ(GlyphInk(atlas, set * texgen::kGlyphsPerSet + glyph).count, 0) << glyph;
        for (char c = '!'; c <= '~'; ++c) EXPECT_GT(GlyphInk(atlas, GlyphOf(c, set)).count, 0) << c;
    }
}

TEST(FontAtlas, LettersStandUprightWithTheirTopsTowardsTheLastRow) {
    const RgbImage atlas = DecodedAtlas();
    for (int set = 0; set < 2; ++set) {
        const Ink a = GlyphInk(atlas, GlyphOf('A', set));
        const Ink t = GlyphInk(atlas, GlyphOf('T', set));
        const Ink dot = GlyphInk(atlas, GlyphOf('.', set));
        const Ink quote = GlyphInk(atlas, GlyphOf('\'', set));
        // Higher stored rows are higher on screen: A's apex is narrow, T's bar wide.
        EXPECT_LT(a.rowWidths[a.box.bottom], a.rowWidths[a.box.top]) << set;
        EXPECT_GT(t.rowWidths[t.box.bottom], t.rowWidths[t.box.top]) << set;
        // The full stop sits on the baseline with A's feet; the apostrophe up high.
        EXPECT_NEAR(dot.box.top, a.box.top, 1) << set;
        EXPECT_GT(quote.box.top, dot.box.bottom) << set;
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
    const int c = glow.width / 2;
    EXPECT_GT(glow.At(c + 3, c + 5)[0], glow.At(c + 3, c + 5)[2]) << "red carries the glow";
    EXPECT_TRUE(IsBlack(glow, c + 3 * c / 4 + 4, c)) << "the bezel is left alone";
}

TEST(InterfaceImages, HudPanelsAreStoredBottomRowFirst) {
    // The health quad puts t = 1 at the top of the screen: the pulse trace,
    // drawn along the bottom of the panel, lies in the low stored rows.
    const RgbImage& health = ImageAt("gfx/Hud/health.bmp");
    auto brightRows = [&](int from, int to) {
        int count = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < health.width; ++x) count += PixelLuminance(health, x, y) > 0.7f;
        return count;
    };
    EXPECT_GT(brightRows(0, health.height / 4), 40);
    // The fuel can's cap is at the top: the high stored rows.
    const RgbImage& can = ImageAt("gfx/Hud/FlameSleeveAmmo.bmp");
    const int c = can.width / 2 - 6;
    EXPECT_GT(can.At(c, can.height - 12)[2], 120) << "grey cap";
    EXPECT_LT(can.At(c, 12)[2], 100) << "red body";
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

}  // namespace
