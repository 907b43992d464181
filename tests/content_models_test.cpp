// The generated models and skins, read back with the game's own readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include <unistd.h>

#include "graphics/image_files.h"
#include "graphics/md2_file.h"
#include "modelgen/catalog.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFrames = 199;
constexpr float kFloor = -30.0f;
const char kHero[] = "models/marine/tris.md2";
const char kBoss[] = "models/marine/endboss.md2";
const char* const kEnemies[] = {"models/shrike/shrike.md2", "models/strider/strider.md2",
                                "models/lumarid/lumarid.md2", "models/kultha/kultha.md2", kBoss};
const char* const kHeldGuns[] = {"models/marine/handgun.md2", "models/marine/machinegun.md2",
                                 "models/marine/asr2.md2", "models/marine/antimatterlauncher.md2",
                                 "models/marine/flamesleeve.md2"};
const char* const kPickupGuns[] = {"models/marine/ac_handgun.md2", "models/marine/ac_machinegun.md2",
                                   "models/marine/ac_asr.md2", "models/marine/ac_antimatterlauncher.md2",
                                   "models/marine/ac_flamesleeve.md2"};

struct Bounds {
    Vec3 low{1e9f, 1e9f, 1e9f};
    Vec3 high{-1e9f, -1e9f, -1e9f};
    float Height() const { return high.z - low.z; }
    float Length() const { return std::max(high.x - low.x, high.y - low.y); }
    Vec3 Centre() const { return Vec3((low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2); }
};

Bounds FrameBounds(const Md2FileData& model, int frame) {
    Bounds b;
    for (int v = 0; v < model.vertexCount; ++v) {
        const Vec3& p = model.Point(frame, v);
        b.low = Vec3(std::min(b.low.x, p.x), std::min(b.low.y, p.y), std::min(b.low.z, p.z));
        b.high = Vec3(std::max(b.high.x, p.x), std::max(b.high.y, p.y), std::max(b.high.z, p.z));
    }
    return b;
}

// Six times the enclosed volume, with the corners in the order the game
// draws them (0, 2, 1) and counter-clockwise faces in front: positive when
// every closed part shows its outside.
double DrawnVolume(const Md2FileData& model, int frame) {
    double sum = 0.0;
    for (const Md2FileTriangle& t : model.triangles) {
        const Vec3& a = model.Point(frame, t.vertex[0]);
        const Vec3& b = model.Point(frame, t.vertex[2]);
        const Vec3& c = model.Point(frame, t.vertex[1]);
        sum += Dot(a, b.Cross(c));
    }
    return sum;
}

double MeanPointDistance(const Md2FileData& model, int f, int g) {
    double total = 0.0;
    for (int v = 0; v < model.vertexCount; ++v) total += model.Point(f, v).Distance(model.Point(g, v));
    return total / model.vertexCount;
}

// A folder of its own for each test process (ctest runs them side by side).
fs::path ScratchFolder(const std::string& name) {
    return fs::path(::testing::TempDir()) / (name + "_" + std::to_string(::getpid()));
}

std::map<std::string, std::vector<std::uint8_t>> ReadTree(const fs::path& root) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::vector<std::uint8_t> bytes;
        ReadWholeFile(entry.path().string(), bytes);
        files[fs::relative(entry.path(), root).string()] = std::move(bytes);
    }
    return files;
}

class GeneratedModels : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gameDir = ScratchFolder("talvemar_models_first");
        fs::remove_all(gameDir);
        modelgen::GenerateAllModels(gameDir.string());
    }
    static void TearDownTestSuite() { fs::remove_all(gameDir); }

    static Md2FileData Model(const std::string& path) {
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(ReadWholeFile((gameDir / path).string(), bytes)) << path;
        std::optional<Md2FileData> model = ParseMd2File(bytes);
        EXPECT_TRUE(model.has_value()) << path;
        return model ? *model : Md2FileData{};
    }

    static std::optional<DecodedImage> Skin(const std::string& path) {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile((gameDir / path).string(), bytes)) return std::nullopt;
        return ImageKindFromName(path.c_str()) == ImageFileKind::Bmp ? DecodeBmp(bytes) : DecodePcx(bytes);
    }

    static inline fs::path gameDir;
};

TEST_F(GeneratedModels, EveryModelAndSkinExistsAndDecodes) {
    for (const modelgen::ModelFile& file : modelgen::ModelCatalog()) {
        const Md2FileData model = Model(file.model);
        EXPECT_GE(model.frameCount, file.frames) << file.model;
        EXPECT_GT(model.triangles.size(), 0u) << file.model;
        for (const std::string& skinPath : file.skins) {
            const auto skin = Skin(skinPath);
            ASSERT_TRUE(skin.has_value()) << skinPath;
            EXPECT_EQ(skin->width, model.skinWidth) << file.model << " with " << skinPath;
            EXPECT_EQ(skin->height, model.skinHeight) << file.model << " with " << skinPath;
            for (const Md2FileTexCoord& st : model.texCoords) {
                ASSERT_GE(st.s, 0) << file.model;
                ASSERT_LE(st.s, skin->width) << file.model;
                ASSERT_GE(st.t, 0) << file.model;
                ASSERT_LE(st.t, skin->height) << file.model;
            }
        }
        ASSERT_FALSE(model.skinNames.empty());
        EXPECT_EQ(model.skinNames[0], file.skins.front()) << "the file names its own skin";
    }
}

TEST_F(GeneratedModels, HeroStandsOnTheFloorAndDiesLyingOnIt) {
    const Md2FileData hero = Model(kHero);
    for (int frame : {0, 10, 20, 30, 40, 43, 162})
        EXPECT_NEAR(FrameBounds(hero, frame).low.z, kFloor, 0.5f) << "frame " << frame << " stands on the floor";
    const Bounds stand = FrameBounds(hero, 0);
    EXPECT_NEAR(stand.high.z, 60.0f, 6.0f);
    EXPECT_LT(stand.Length(), 50.0f);
    EXPECT_LT(FrameBounds(hero, 165).Height(), 0.8f * stand.Height()) << "crouching is lower";
    EXPECT_GT(FrameBounds(hero, 52).low.z, kFloor + 10.0f) << "the jump leaves the floor";
    // The frames each death range holds, with their held copies.
    for (int frame : {177, 178, 183, 189, 190, 196, 197, 198}) {
        const Bounds b = FrameBounds(hero, frame);
        EXPECT_NEAR(b.low.z, kFloor, 0.5f) << frame;
        EXPECT_LT(b.Height(), 35.0f) << "frame " << frame << " lies flat";
        EXPECT_GT(b.Length(), 65.0f) << "frame " << frame << " lies at full length";
    }
    EXPECT_LT(MeanPointDistance(hero, 177, 178), 0.5) << "the corpse frame is held";
    EXPECT_GT(FrameBounds(hero, 172).Height(), 40.0f) << "the first death starts upright";
    EXPECT_GT(FrameBounds(hero, 184).Height(), 70.0f) << "frame 184 starts a death standing";
}

TEST_F(GeneratedModels, LoopsCloseOnThemselves) {
    const Md2FileData hero = Model(kHero);
    for (auto [first, last] : {std::pair{0, 39}, {40, 46}, {155, 161}, {162, 169}})
        EXPECT_LT(MeanPointDistance(hero, first, last), 0.3) << first << ".." << last;
    for (const char* enemy : kEnemies) {
        const Md2FileData model = Model(enemy);
        for (auto [first, last] : {std::pair{0, 39}, {40, 46}, {162, 169}})
            EXPECT_LT(MeanPointDistance(model, first, last), 0.5) << enemy << " " << first << ".." << last;
    }
}

TEST_F(GeneratedModels, EnemySizesMatchTheirHitSpheres) {
    auto standing = [&](const char* path) { return FrameBounds(Model(path), 0); };
    const Bounds shrike = standing("models/shrike/shrike.md2");
    const Bounds strider = standing("models/strider/strider.md2");
    const Bounds lumarid = standing("models/lumarid/lumarid.md2");
    const Bounds kultha = standing("models/kultha/kultha.md2");
    const Bounds boss = standing(kBoss);
    EXPECT_NEAR(shrike.Height(), 165.0f, 20.0f);
    EXPECT_GT(boss.Height(), shrike.Height() + 20.0f) << "the end boss is the biggest";
    EXPECT_GT(boss.Length(), 100.0f);
    for (const Bounds& b : {strider, lumarid}) {
        EXPECT_GT(b.Height(), 60.0f);
        EXPECT_LT(b.Height(), 110.0f);
        EXPECT_GT(b.Length(), 55.0f) << "as wide as a radius-40 sphere";
    }
    EXPECT_LT(kultha.Height(), 30.0f);
    EXPECT_LT(kultha.Length(), 45.0f);
    for (const Bounds& b : {shrike, strider, boss}) EXPECT_NEAR(b.low.z, kFloor, 0.5f);
    // The kultha hovers with its middle at its origin, inside the struck
    // sphere of radius 5 that lies there.
    EXPECT_NEAR((kultha.low.z + kultha.high.z) / 2.0f, 0.0f, 4.0f);
    EXPECT_GT(lumarid.low.z, kFloor) << "the lumarid floats";
    EXPECT_LT(lumarid.low.z, kFloor + 10.0f);
}

TEST_F(GeneratedModels, EnemyDeathsEndLow) {
    for (const char* path : kEnemies) {
        const Md2FileData model = Model(path);
        const float standing = FrameBounds(model, 0).Height();
        // The frames the enemy table's death ranges hold.
        for (int frame : {path == std::string(kBoss) ? 183 : 184, 189}) {
            const Bounds b = FrameBounds(model, frame);
            EXPECT_LT(b.Height(), 0.6f * standing) << path << " frame " << frame;
            EXPECT_NEAR(b.low.z, kFloor, 0.5f) << path << " frame " << frame;
        }
    }
    const Md2FileData boss = Model(kBoss);
    EXPECT_GT(FrameBounds(boss, 184).Height(), 0.9f * FrameBounds(boss, 0).Height())
        << "the end boss's death range 184..189 starts standing";
}

TEST_F(GeneratedModels, HeldGunsStayInTheHeroesHand) {
    const Md2FileData hero = Model(kHero);
    for (const char* path : kHeldGuns) {
        const Md2FileData gun = Model(path);
        for (int frame = 0; frame < kFrames; ++frame) {
            const Bounds body = FrameBounds(hero, frame);
            const Bounds held = FrameBounds(gun, frame);
            const Vec3 c = held.Centre();
            ASSERT_TRUE(c.x > body.low.x - 20 && c.x < body.high.x + 20 && c.y > body.low.y - 20 &&
                        c.y < body.high.y + 20 && c.z > body.low.z - 5 && c.z < body.high.z + 10)
                << path << " frame " << frame;
            ASSERT_LT(held.Length(), 50.0f) << path;
        }
        // In the ready stance the barrel points the way the hero faces.
        const Bounds ready = FrameBounds(gun, 0);
        EXPECT_GT(ready.high.x, FrameBounds(hero, 0).high.x) << path;
    }
}

TEST_F(GeneratedModels, PickupGunsShareTheHeldGunsSkinLayout) {
    for (std::size_t i = 0; i < std::size(kHeldGuns); ++i) {
        const Md2FileData held = Model(kHeldGuns[i]);
        const Md2FileData pickup = Model(kPickupGuns[i]);
        ASSERT_EQ(held.texCoords.size(), pickup.texCoords.size()) << kPickupGuns[i];
        for (std::size_t t = 0; t < held.texCoords.size(); ++t) {
            EXPECT_EQ(held.texCoords[t].s, pickup.texCoords[t].s);
            EXPECT_EQ(held.texCoords[t].t, pickup.texCoords[t].t);
        }
        ASSERT_EQ(held.triangles.size(), pickup.triangles.size());
        for (std::size_t t = 0; t < held.triangles.size(); ++t) {
            EXPECT_EQ(held.triangles[t].vertex, pickup.triangles[t].vertex);
            EXPECT_EQ(held.triangles[t].texCoord, pickup.triangles[t].texCoord);
        }
    }
}

// Skin pixels whose centres lie inside any of the model's skin triangles.
std::vector<bool> CoveredSkinPixels(const Md2FileData& model) {
    const int w = model.skinWidth, h = model.skinHeight;
    std::vector<bool> covered(static_cast<std::size_t>(w) * h, false);
    for (const Md2FileTriangle& t : model.triangles) {
        float s[3], u[3];
        for (int c = 0; c < 3; ++c) {
            s[c] = model.texCoords[t.texCoord[c]].s;
            u[c] = model.texCoords[t.texCoord[c]].t;
        }
        const float area = (s[1] - s[0]) * (u[2] - u[0]) - (s[2] - s[0]) * (u[1] - u[0]);
        if (std::fabs(area) < 1e-6f) continue;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float a = ((s[1] - px) * (u[2] - py) - (s[2] - px) * (u[1] - py)) / area;
                const float b = ((s[2] - px) * (u[0] - py) - (s[0] - px) * (u[2] - py)) / area;
                if (a > 0 && b > 0 && a + b < 1) covered[static_cast<std::size_t>(y) * w + x] = true;
            }
    }
    return covered;
}

TEST_F(GeneratedModels, GunsSharingASkinUseSeparateAreas) {
    std::vector<bool> taken;
    for (const char* path : {"models/marine/handgun.md2", "models/marine/machinegun.md2", "models/marine/asr2.md2",
                             "models/marine/antimatterlauncher.md2"}) {
        const std::vector<bool> covered = CoveredSkinPixels(Model(path));
        if (taken.empty()) taken.assign(covered.size(), false);
        ASSERT_EQ(covered.size(), taken.size()) << "one skin size for all";
        int pixels = 0;
        for (std::size_t i = 0; i < covered.size(); ++i) {
            if (!covered[i]) continue;
            ++pixels;
            EXPECT_FALSE(taken[i]) << path << " paints over another gun at pixel " << i;
            taken[i] = true;
        }
        EXPECT_GT(pixels, 500) << path;
    }
}

TEST_F(GeneratedModels, UnwritableFolderStopsGeneration) {
    EXPECT_THROW(modelgen::GenerateAllModels("/dev/null/models"), std::runtime_error);
}

TEST_F(GeneratedModels, EveryPartShowsItsOutside) {
    for (const modelgen::ModelFile& file : modelgen::ModelCatalog()) {
        const Md2FileData model = Model(file.model);
        for (int frame : {0, 42, 100, 177}) {
            if (frame >= model.frameCount) continue;
            EXPECT_GT(DrawnVolume(model, frame), 0.0) << file.model << " frame " << frame;
        }
    }
}

TEST_F(GeneratedModels, GenerationIsDeterministic) {
    const fs::path second = ScratchFolder("talvemar_models_second");
    fs::remove_all(second);
    modelgen::GenerateAllModels(second.string());
    const auto a = ReadTree(gameDir);
    const auto b = ReadTree(second);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [path, bytes] : a) {
        ASSERT_EQ(b.count(path), 1u) << path;
        EXPECT_TRUE(bytes == b.at(path)) << path << " differs between runs";
    }
    fs::remove_all(second);
}

}  // namespace
