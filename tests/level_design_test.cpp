// The shipped levels as a player meets them: enemies' paths on the floor,
// everything a level holds within walking reach of its start, the level-1
// exit only past the force field, no black floor on the way, level 1's
// opening scene before he can walk off, and every scene played to its end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/frame_rules.h"
#include "core/shell.h"
#include "game_driver.h"
#include "math/camera.h"
#include "walkable_search.h"
#include "world/octree.h"
#include "world/ray_cast.h"

namespace {

struct PlayLevel {
    const char* file;
    int index;  // its place in the sequence: it picks the AI node file
};
const PlayLevel kPlayLevels[] = {
    {"levels/optionmenu.spt", 0}, {"levels/level1.spt", 1}, {"levels/Credits.spt", 2},
    {"levels/level2.spt", 3}, {"levels/level3.spt", 4}, {"levels/portal.spt", 5}};

// How near the hero's centre must come: items, gems, the exit.
constexpr float kItemReach = 50.0f;
constexpr float kGemReach = 70.0f;
constexpr float kExitReach = 150.0f;
// A force field that is up closes this much of the way around it.
constexpr float kFieldHalfWidth = 120.0f;

// The least light, in the brightest channel of a floor's baked colour, that
// a floor the hero walks may have. The light scales the floor's texture,
// whose texels average about half of white: below a tenth of full light a
// floor draws at about 13 of 255 or darker, which a player calls black. The
// corners the levels mean to be dim (the warp's rock, the credits hall's
// edges) lie between 0.11 and 0.15.
constexpr float kDarkestFloor = 0.1f;

// Where the hero standing at `at` (his sphere's centre) meets the floor: a
// cast straight down from his centre, or, where he rests on an edge beside
// it, the highest floor met by casts from points within his sphere around
// it. Nothing when no floor lies within `depth` below.
std::optional<Vec3> FloorUnder(World& world, const Vec3& at, float depth = 100.0f) {
    std::optional<Vec3> floor;
    constexpr float kRings[] = {0.0f, 14.0f, 27.0f};  // inside his radius of 30
    for (const float ring : kRings) {
        const int points = ring == 0.0f ? 1 : 8;
        for (int k = 0; k < points; ++k) {
            const double angle = k * 2.0 * M_PI / points;
            const Vec3 from(at.x + ring * static_cast<float>(std::cos(angle)), at.y,
                            at.z + ring * static_cast<float>(std::sin(angle)));
            std::uint8_t hit = 0;
            Vec3 normal;
            const Vec3 met = CastRay(world, from, {0.0f, -depth, 0.0f}, hit, normal);
            if (hit && (!floor || met.y > floor->y)) floor = met;
        }
        if (floor) return floor;
    }
    return floor;
}

// The light baked into the world at `point` on a triangle: its vertices'
// colours interpolated there, each channel clamped to 1 as GL clamps the
// colour. Nothing when no triangle holds the point.
std::optional<Vec3> BakedLightAt(const World& world, const Vec3& point) {
    if (!world.octree) return std::nullopt;
    // Of the triangles listed in the leaves around the point, the one whose
    // plane holds it and which holds it the most deeply (a point on an edge
    // lies in both triangles there).
    constexpr float kOnPlane = 0.5f;
    constexpr float kFloorFacing = 0.5f;  // walls beside an edge he stands on are not his floor
    const WorldPolygon* best = nullptr;
    float bestInside = -1.0f, weights[3] = {};
    std::vector<const OctreeNode*> nodes{world.octree.get()};
    while (!nodes.empty()) {
        const OctreeNode& node = *nodes.back();
        nodes.pop_back();
        const bool holds = point.x >= node.minX - kOnPlane && point.x <= node.maxX + kOnPlane &&
                           point.y >= node.minY - kOnPlane && point.y <= node.maxY + kOnPlane &&
                           point.z >= node.minZ - kOnPlane && point.z <= node.maxZ + kOnPlane;
        if (!holds) continue;
        if (node.hasChildren) {
            for (const auto& child : node.children)
                if (child) nodes.push_back(child.get());
            continue;
        }
        for (const WorldPolygon* t : node.triangles) {
            if (t->normal.y < kFloorFacing) continue;
            const WorldVertex* v = t->vertices;
            const Vec3 a(v[0].x, v[0].y, v[0].z), b(v[1].x, v[1].y, v[1].z), c(v[2].x, v[2].y, v[2].z);
            const Vec3 n = (b - a).Cross(c - a);
            const double area = n.Length();  // twice the triangle's
            if (area <= 0.0 || std::fabs(Dot(n, point - a)) / area > kOnPlane) continue;
            // Each corner's weight: the share of the triangle facing it.
            float w[3] = {static_cast<float>(Dot(n, (b - point).Cross(c - point)) / (area * area)),
                          static_cast<float>(Dot(n, (c - point).Cross(a - point)) / (area * area)), 0.0f};
            w[2] = 1.0f - w[0] - w[1];
            const float inside = std::min({w[0], w[1], w[2]});
            if (inside <= bestInside) continue;
            best = t;
            bestInside = inside;
            std::copy(w, w + 3, weights);
        }
    }
    if (!best || bestInside < -0.01f) return std::nullopt;
    Vec3 light;
    for (int i = 0; i < 3; ++i) {
        const float w = std::clamp(weights[i], 0.0f, 1.0f);
        light.x += w * std::min(best->vertices[i].r, 1.0f);
        light.y += w * std::min(best->vertices[i].g, 1.0f);
        light.z += w * std::min(best->vertices[i].b, 1.0f);
    }
    return light;
}

class LevelDesign : public GameDirTest {
protected:
    void SetUp() override { OpenWindow(320, 240); }
    void Load(const PlayLevel& level) {
        levelIndex = level.index;
        ASSERT_EQ(world.Load(level.file, level.index), 0) << level.file;
        start = camera.position;
    }
    World world;
    Vec3 start;
};

TEST_F(LevelDesign, EnemyPathsLieOnWalkableFloor) {
    for (const PlayLevel& level : kPlayLevels) {
        Load(level);
        if (world.enemies.empty()) continue;
        for (auto& plane : world.frameFrustum.planes) plane[3] = 1.0f;  // every box searched
        for (const AiNode& node : aiNodes) {
            std::uint8_t hit = 0;
            Vec3 normal;
            const Vec3 floor = CastRay(world, node.position, {0.0f, -100.0f, 0.0f}, hit, normal);
            EXPECT_TRUE(hit && normal.y > 0.7f && node.position.y - floor.y > 20.0f &&
                        node.position.y - floor.y < 45.0f)
                << level.file << ": node at " << node.position.x << ' ' << node.position.y << ' '
                << node.position.z << " stands " << node.position.y - floor.y << " above its floor";
        }
    }
}

TEST_F(LevelDesign, EverythingALevelHoldsIsReachedOnFoot) {
    for (const PlayLevel& level : kPlayLevels) {
        Load(level);
        const Vec3 field = world.forceField;
        const bool hasField = world.hasForceField;
        WalkableSearch walk(world, [&](const Vec3& at) {
            return hasField && std::hypot(at.x - field.x, at.z - field.z) < kFieldHalfWidth;
        });
        walk.From(start);
        SCOPED_TRACE(level.file);
        EXPECT_GT(walk.places.size(), 20u);
        for (const Vec3& fall : walk.falls)
            ADD_FAILURE() << "a step falls out of the world near " << fall.x << ' ' << fall.y << ' ' << fall.z;
        for (const Item& item : world.items)
            EXPECT_TRUE(walk.Reaches(item.position, kItemReach))
                << "item " << item.kind << " at " << item.position.x << ' ' << item.position.y << ' ' << item.position.z;
        for (const Crystal& gem : world.crystals)
            EXPECT_TRUE(walk.Reaches(gem.position, kGemReach)) << "gem " << gem.number;
        if (!hasField) {
            EXPECT_TRUE(walk.Reaches(world.levelEnd, kExitReach)) << "the exit";
            continue;
        }
        EXPECT_FALSE(walk.Reaches(world.levelEnd, kExitReach)) << "the exit, past the raised field";
        WalkableSearch open(world);
        open.From(start);
        EXPECT_TRUE(open.Reaches(world.levelEnd, kExitReach)) << "the exit, with the field down";
    }
}

// No floor on the way through a level is black: at every place the walk
// from the start reaches (the force field taken as down, so the exit's side
// too), the light baked into the floor under the hero is at least
// kDarkestFloor.
TEST_F(LevelDesign, NoFloorTheHeroWalksIsBlack) {
    constexpr int kListed = 8;  // dark places named in a failure; the rest counted
    for (const PlayLevel& level : kPlayLevels) {
        Load(level);
        WalkableSearch walk(world);
        walk.From(start);
        SCOPED_TRACE(level.file);
        ASSERT_GT(walk.places.size(), 20u);
        int dark = 0;
        float darkest = 1.0f;
        Vec3 darkestAt;
        std::ostringstream listed;
        // A place on the very edge of a ramp or step may have no floor the
        // casts find; a few such places are the search's, not the level's.
        std::size_t unmeasured = 0;
        for (const Vec3& place : walk.places) {
            const std::optional<Vec3> floor = FloorUnder(world, place);
            const std::optional<Vec3> light = floor ? BakedLightAt(world, *floor) : std::nullopt;
            if (!light) {
                ++unmeasured;
                continue;
            }
            const float brightest = std::max({light->x, light->y, light->z});
            if (brightest < darkest) {
                darkest = brightest;
                darkestAt = place;
            }
            if (brightest >= kDarkestFloor || ++dark > kListed) continue;
            listed << "\n  the hero at " << place.x << ' ' << place.y << ' ' << place.z << ": floor light "
                   << light->x << ' ' << light->y << ' ' << light->z;
        }
        std::ostringstream summary;
        summary << dark << " of " << walk.places.size() << " places stand on a floor lit below " << kDarkestFloor
                << ", the darkest " << darkest << " under the hero at " << darkestAt.x << ' ' << darkestAt.y << ' '
                << darkestAt.z << listed.str();
        EXPECT_EQ(dark, 0) << summary.str();
        EXPECT_LT(unmeasured * 100, walk.places.size()) << unmeasured << " places with no floor found under them";
    }
}

class LevelScenes : public GameDriverTest {};

// Level 1 opens with its scene before the hero can walk past it: a game
// started there and left alone plays scene 1 within its first second of
// 30 ms steps.
TEST_F(LevelScenes, LevelOnesOpeningScenePlaysWithinTheFirstSecond) {
    constexpr int kFirstSecondSteps = 1000 / kFrameMs + 1;
    StartGame();
    CommandLine line;
    line.levelFile = "levels/level1.spt";
    line.levelIndex = 1;
    EnterRequestedLevel(line, *game);
    ASSERT_EQ(levelIndex, 1);
    ASSERT_EQ(settings.cutscenePlaying, 0);
    const Vec3 start = game->player.position;
    int steps = 0;
    for (; steps < kFirstSecondSteps && !settings.cutscenePlaying; ++steps) Frames(1);
    ASSERT_EQ(settings.cutscenePlaying, 1) << "no scene after " << steps << " steps";
    EXPECT_EQ(settings.activeCutscene, 1);
    EXPECT_EQ(game->player.position.x, start.x) << "he has not moved";
    EXPECT_EQ(game->player.position.z, start.z);
}

// Every scene trigger of every level starts its scene, which plays to its
// end and gives the hero back his control (or moves on to the next level).
TEST_F(LevelScenes, EverySceneOfTheShippedLevelsPlaysToItsEnd) {
    StartGame();
    for (const PlayLevel& level : kPlayLevels) {
        levelIndex = level.index;
        settings.inOptionsMenu = 0;
        game->EnterLevel(level.file);
        const std::size_t triggers = game->cutscene.Triggers().size();
        for (std::size_t t = 0; t < triggers && levelIndex == level.index; ++t) {
            SCOPED_TRACE(std::string(level.file) + " scene " + std::to_string(t + 1));
            const SceneTrigger trigger = game->cutscene.Triggers()[t];
            game->player.position = trigger.position;
            int frames = 0;
            for (; frames < 3000 && !settings.cutscenePlaying && levelIndex == level.index; ++frames) Frames(1);
            ASSERT_EQ(settings.cutscenePlaying, 1);
            for (; frames < 6000 && settings.cutscenePlaying; ++frames) Frames(1);
            EXPECT_EQ(settings.cutscenePlaying, 0) << "still playing after " << frames << " frames";
            if (trigger.loadsLevel == 1) EXPECT_NE(levelIndex, level.index) << "the scene moves on";
        }
    }
}

}  // namespace
