// Loading level files written by the tests, in a real GL context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <set>
#include <sstream>

#include "actors/enemy.h"
#include "base/debug_log.h"
#include "core/game.h"
#include "fake_clock.h"
#include "gl_window_test.h"
#include "level_fixture.h"
#include "math/camera.h"
#include "world/entities.h"
#include "world/level_reader.h"
#include "world/octree.h"
#include "world/world.h"

namespace {

class LevelLoaderTest : public GlWindowTest {
protected:
    void SetUp() override {
        levelIndex = 0;
        GlWindowTest::SetUp();  // also starts kov_debug.txt in the temp dir
        WriteSolidBmp("gfx/stone.bmp", 8, 8, 120, 120, 120);
        WriteText("levels/Level1.ai", "0 0 0\n100 0 0\nEND\n");
    }
    void TearDown() override {
        world.reset();
        GlWindowTest::TearDown();
    }

    // Loads as the options menu (level 0, whose AI nodes are Level1.ai).
    int Load(const LevelText& level, const char* path = "levels/test.spt", int index = 0) {
        WriteText(path, level.Text());
        return world->Load(path, index);
    }
    std::string Log() const { return ReadText("kov_debug.txt"); }
    bool Logged(const std::string& line) const { return Log().find(line) != std::string::npos; }

    TempLevelDir dir;
    std::unique_ptr<World> world = std::make_unique<World>();
};

LevelText RoomLevel() {
    LevelText level;
    level.Entity("worldspawn", {}, {LevelText::FloorSquare(0, 0, 100), LevelText::FloorSquare(100, 0, 100)});
    return level;
}

TEST(LevelReader, LineRules) {
    TempLevelDir dir;
    const std::string sixty(60, 'a');
    WriteText("lines.txt", "first\n\n// comment\n/also a comment\n   \n" + sixty + "\r\n" +
                               "\r\nlast");
    LevelReader reader("lines.txt");
    char line[kLineSize];
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_STREQ(line, "first\n");
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_STREQ(line, "   \n") << "a line of blanks is a line";
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(std::string(line), std::string(49, 'a'));
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(std::string(line), std::string(11, 'a') + "\r\n");
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_STREQ(line, "last");
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_FALSE(LevelReader("missing.txt").IsOpen());
}

TEST_F(LevelLoaderTest, ReadsARoomWithTexturesEntitiesAndTriangles) {
    LevelText level = RoomLevel();
    level.Point("PlayerStart", 1, 2, 3).Point("PlayerStart", 10, 20, 30).Point("LevelEnd", 400, 0, 5);
    ASSERT_EQ(Load(level), 0);
    EXPECT_STREQ(world->name, "testlevel");
    ASSERT_EQ(world->textures.size(), 1u);
    EXPECT_NE(world->textures[0].glName.Name(), 0u);
    EXPECT_TRUE(glIsTexture(world->textures[0].glName.Name()));
    ASSERT_EQ(world->entities.size(), 4u);
    EXPECT_STREQ(world->entities[0].className, "worldspawn");
    EXPECT_EQ(world->WorldTriangles().size(), 4u);
    // Origins give the height last: "10 30 20" in the file is y = 20. The last start wins.
    EXPECT_FLOAT_EQ(camera.position.x, 10.0f);
    EXPECT_FLOAT_EQ(camera.position.y, 20.0f);
    EXPECT_FLOAT_EQ(camera.position.z, 30.0f);
    EXPECT_FLOAT_EQ(camera.forward.x, 1.0f);
    EXPECT_TRUE(world->hasLevelEnd);
    EXPECT_FLOAT_EQ(world->levelEnd.z, 5.0f);
    for (const char* line : {"1 Textures Loaded\n", "worldspawn's 2 Polygons split into 4 Triangles\n",
                             "Initialized Camera Origin to 1,2,3\nInitialized Camera Origin to 10,20,30\n"})
        EXPECT_TRUE(Logged(line)) << line;
    // Every world triangle is linked, in order, and marked.
    int linked = 0;
    for (WorldPolygon* t = world->polygonListHead; t; t = t->next) EXPECT_EQ(t->id, linked++);
    EXPECT_EQ(linked, 4);
    EXPECT_EQ(world->polygonListTail, &world->WorldTriangles().back());
    for (const WorldPolygon& t : world->WorldTriangles()) EXPECT_EQ(t.visited, 1);
    ASSERT_NE(world->octree, nullptr);
    EXPECT_EQ(world->currentPacket, &world->playerPacket);
    const Vec3 fallback = world->PickDeathmatchStart();
    EXPECT_FLOAT_EQ(fallback.x, 1.0f);
    EXPECT_FLOAT_EQ(fallback.z, 1.0f);
    EXPECT_TRUE(Logged("ERROR://  NO DEATHMATCH STARTS IN THIS LEVEL\n"));
}

TEST_F(LevelLoaderTest, FansEveryPolygonIntoTriangles) {
    LevelText level;
    level.Entity("worldspawn", {},
                 {LevelText::Polygon(0, {{0, 0, 0, 0, 0}, {0, 0, 1, 0, 1}, {1, 0, 1, 1, 1}, {2, 0, 0, 1, 0},
                                         {1, 0, -1, 0.5f, 0}}, "0 1 0 -7"),
                  LevelText::Polygon(0, {{5, 5, 5, 0, 0}, {6, 6, 6, 0, 0}})});
    ASSERT_EQ(Load(level), 0);
    const std::vector<WorldPolygon>& tris = world->WorldTriangles();
    ASSERT_EQ(tris.size(), 3u);
    // Triangle k of a fan uses vertices 0, k+1, k+2.
    const float expectedX[3][3] = {{0, 0, 1}, {0, 1, 2}, {0, 2, 1}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(tris[k].id, k);
        EXPECT_FLOAT_EQ(tris[k].planeD, -7.0f);
        EXPECT_FLOAT_EQ(tris[k].normal.y, 1.0f);
        for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(tris[k].vertices[i].x, expectedX[k][i]);
    }
    EXPECT_FLOAT_EQ(tris[2].vertices[2].u, 0.5f);
    EXPECT_TRUE(Logged("worldspawn's 2 Polygons split into 3 Triangles\n"));
    EXPECT_TRUE(Logged("**ERROR** ")) << "a two-vertex polygon is reported";
}

TEST_F(LevelLoaderTest, CommentsAndBlankLinesMayStandAnywhere) {
    const std::string text =
        "DRELIX 1\n// a comment\nNAME commented\n\nNUMWADS 1\nWAD base\nNUMTEXTURES 1\nTEXTURE stone\n"
        "NUMENTITIES 2\nworldspawn\n0\n1\n0\n0 1 0 0\n3\n0 0 0 0 0\n0 0 1 0 1\n1 0 0 1 0\n"
        "Enemy\n2\nhealth\n// between key and value\n/a value line starting with a slash is skipped\n"
        "250\nType\n2\n0\n";
    WriteText("levels/c.spt", text);
    ASSERT_EQ(world->Load("levels/c.spt", 0), 0);
    ASSERT_EQ(world->wads.size(), 1u);
    EXPECT_EQ(world->wads[0], "base");
    ASSERT_EQ(world->enemies.size(), 1u);
    EXPECT_EQ(world->enemies[0].kind, 2);
    EXPECT_FLOAT_EQ(world->enemies[0].health, 250.0f);
    EXPECT_STREQ(world->entities[1].properties[0].value, "250\n");
}

TEST_F(LevelLoaderTest, FailureCodes) {
    EXPECT_EQ(world->Load("levels/none.spt", 0), 1);
    EXPECT_TRUE(Logged("ERROR:  >> FILE NOT FOUND levels/none.spt\n"));

    WriteText("levels/v2.spt", "DRELIX 2\nNAME x\n");
    EXPECT_EQ(world->Load("levels/v2.spt", 0), 2);
    WriteText("levels/nover.spt", "hello\n");
    EXPECT_EQ(world->Load("levels/nover.spt", 0), 2);

    LevelText missing({"stone", "brick"});
    missing.Entity("worldspawn", {}, {LevelText::FloorSquare(0, 0, 10)});
    EXPECT_EQ(Load(missing), 3);
    EXPECT_TRUE(Logged("gfx/brick.bmp not found\n"));
}

TEST_F(LevelLoaderTest, AiFileFollowsTheLevelNumber) {
    WriteText("levels/Level2.ai", "1 2 3\n4 5 6\n7 8 9\nEND\n");
    WriteText("levels/Level4.ai", "1 1 1\nEND\n");
    struct Case {
        int index;
        std::size_t nodes;
    } cases[] = {{3, 2}, {4, 3}, {5, 1}, {6, 2}};
    for (const Case& c : cases) {
        ASSERT_EQ(Load(RoomLevel(), "levels/test.spt", c.index), 0);
        EXPECT_EQ(aiNodes.size(), c.nodes) << c.index;
        EXPECT_TRUE(Logged("Opening AI File for level " + std::to_string(c.index) + "\n"));
    }
    EXPECT_FLOAT_EQ(aiNodes[1].position.x, 100.0f);
    EXPECT_EQ(aiNodes[0].used, 1);
}

TEST_F(LevelLoaderTest, AiFilesStopAtTwoHundredNodesOrTheEnd) {
    std::string many;
    for (int i = 0; i < 250; ++i) many += std::to_string(i) + " 0 0\n";
    WriteText("levels/Level1.ai", many);  // no END line either
    ASSERT_EQ(Load(RoomLevel()), 0);
    EXPECT_EQ(aiNodes.size(), 200u);
    EXPECT_TRUE(Logged("**ERROR** levels/Level1.ai holds more than 200 nodes"));

    WriteText("levels/Level1.ai", "5 5 5\n6 6 6\n");
    ASSERT_EQ(Load(RoomLevel()), 0);
    EXPECT_EQ(aiNodes.size(), 2u);
}

TEST_F(LevelLoaderTest, EnemiesByTypeAndHealth) {
    LevelText level = RoomLevel();
    level.Point("Enemy", 0, 0, 0, {{"Type", "2"}, {"health", "250"}})
        .Point("Enemy", 50, 0, 0, {})
        .Point("Enemy", 90, 0, 0, {{"Type", "3"}, {"health", "abc"}});
    ASSERT_EQ(Load(level), 0);
    std::vector<Enemy>& enemies = world->enemies;
    ASSERT_EQ(enemies.size(), 3u);
    EXPECT_EQ(enemies[0].kind, 2);
    EXPECT_FLOAT_EQ(enemies[0].health, 250.0f);
    EXPECT_EQ(enemies[1].kind, 0);
    EXPECT_FLOAT_EQ(enemies[1].health, 100.0f);
    EXPECT_FLOAT_EQ(enemies[1].position.x, 50.0f);
    EXPECT_FLOAT_EQ(enemies[2].health, 0.0f) << "a health without a number reads as 0";
    for (const Enemy& e : enemies) {
        EXPECT_EQ(e.alive, 0) << "the loader only reads the records";
        EXPECT_EQ(e.nodeMarks.size(), aiNodes.size());
    }
    EXPECT_TRUE(Logged("ENEMY COUNT 3\n"));
}

TEST_F(LevelLoaderTest, AtMostOneHundredEnemiesAreKept) {
    LevelText level = RoomLevel();
    for (int i = 0; i < 105; ++i) level.Point("Enemy", static_cast<float>(i), 0, 0);
    ASSERT_EQ(Load(level), 0);
    EXPECT_EQ(world->enemies.size(), 100u);
    EXPECT_FLOAT_EQ(world->enemies.back().position.x, 99.0f);
    EXPECT_TRUE(Logged("**ERROR** 105 enemies in the level, only 100 can be kept: 5 dropped\n"));
}

TEST_F(LevelLoaderTest, CrystalsAndThePuzzleDraw) {
    LevelText level = RoomLevel();
    level.Point("Gems", 1, 0, 0, {{"Type", "6"}}).Point("Gems", 2, 0, 0).Point("ForceField", 5, 6, 7);
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::srand(seed);
        ASSERT_EQ(Load(level), 0);
        const std::int32_t* c = world->correctCrystals;
        std::set<int> all = {c[0], c[1], c[2]};
        EXPECT_EQ(all.size(), 3u) << "correct crystals must differ";
        const std::int32_t* w = world->wrongCrystals;
        EXPECT_LT(w[0], w[1]);
        EXPECT_LT(w[1], w[2]);
        for (int i = 0; i < 3; ++i) all.insert(w[i]);
        EXPECT_EQ(all, (std::set<int>{0, 1, 2, 3, 4, 5}));
    }
    ASSERT_EQ(world->crystals.size(), 2u);
    EXPECT_EQ(world->crystals[0].number, 6);
    EXPECT_EQ(world->crystals[1].number, 0);
    EXPECT_FLOAT_EQ(world->forceField.y, 6.0f);
    EXPECT_TRUE(Logged("GEMCOUNT2\n"));
}

TEST_F(LevelLoaderTest, ItemsByClassAndType) {
    LevelText level = RoomLevel();
    level.Point("Ammo", 0, 0, 0, {{"Type", "7"}, {"ammo", "30"}})
        .Entity("HealthPack", {{"origin", "0 0 0"}, {"Type", "2"}})
        .Point("HealthPack", 0, 0, 0, {{"Type", "2"}, {"heal", "50"}})
        .Point("Weapon", 0, 0, 0, {{"Type", "3"}})
        .Point("Weapon", 0, 0, 0, {{"Type", "4"}})
        .Point("Ammo", 0, 0, 0, {{"Type", "4"}, {"ammo", "5"}});
    ASSERT_EQ(Load(level), 0);
    const std::vector<Item>& items = world->items;
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].kind, item_kind::HandgunAmmo);
    EXPECT_EQ(items[0].amount, 30);
    EXPECT_EQ(items[1].kind, item_kind::SmallHealth) << "fewer than three properties";
    EXPECT_EQ(items[2].kind, item_kind::LargeHealth);
    EXPECT_EQ(items[2].amount, 50);
    EXPECT_EQ(items[3].kind, item_kind::FlameSleeve);
    EXPECT_EQ(items[4].kind, item_kind::AntimatterLauncher);
    EXPECT_EQ(items[5].kind, item_kind::EnergyCube);
    for (const Item& item : items) EXPECT_EQ(item.present, 1);
}

TEST_F(LevelLoaderTest, TriggersLightsCorpsesStartsAndSoundNodes) {
    LevelText level = RoomLevel();
    level.Point("MenuOptions", 1, 2, 3, {{"Type", "10"}, {"radius", "999"}})
        .Point("Light", 0, 0, 0, {{"Type", "0"}, {"radius", "200"}})
        .Point("Light", 500, 0, 0, {{"radius", "200"}})
        .Point("Corpse", 4, 5, 6, {{"Type", "1"}})
        .Point("DeathmatchStart", 9, 9, 9)
        .Point("Sound_Node", 3, 4, 5,
               {{"Min_Distance", "50"}, {"Max_Distance", "900"}, {"File_Path", "sounds/ambient/drip.mp3"}});
    ASSERT_EQ(Load(level), 0);
    ASSERT_EQ(world->menuTriggers.size(), 1u);
    EXPECT_EQ(world->menuTriggers[0].type, 10);
    EXPECT_FLOAT_EQ(world->menuTriggers[0].radius, 40.0f);
    EXPECT_FLOAT_EQ(world->menuTriggers[0].y, 2.0f);
    ASSERT_EQ(world->corpses.size(), 1u);
    EXPECT_EQ(world->corpses[0].kind, 1);
    EXPECT_TRUE(Logged("Found 2 lights\n1 of them are pulsing lights\n"));
    EXPECT_FLOAT_EQ(world->NearestLight({400, 0, 0}).x, 500.0f);
    EXPECT_FLOAT_EQ(world->NearestLight({250, 0, 0}).x, 0.0f) << "the first of equals wins";
    EXPECT_FLOAT_EQ(world->PickDeathmatchStart().x, 9.0f);
    ASSERT_EQ(soundNodes.size(), 1u);
    EXPECT_EQ(soundNodes[0].path, "sounds/ambient/drip.wav");
    EXPECT_FLOAT_EQ(soundNodes[0].maxDistance, 900.0f);
    EXPECT_TRUE(Logged("# of sound_nodes = 1\nsound_node [6] has 4 properties\nMin dist  : 50\n"
                       "Max dist  : 900\nFile path : sounds/ambient/drip.wav\nlocation  : 3 4 5\n"));
    // The path's extension, from its first dot, becomes .wav.
    EXPECT_EQ(SoundNodePath("a.b.c\n"), "a.wav");
    EXPECT_EQ(SoundNodePath("sounds/noext\n"), "sounds/noext.wav");
}

// The whole account of a small load, line by line in the order of the load:
// textures before the entities' polygons, the scenes read before the
// entities are interpreted, and the triangles after them.
TEST_F(LevelLoaderTest, TheLoadIsToldInTheLogInItsOrder) {
    LevelText level = RoomLevel();
    level.Point("PlayerStart", 1, 2, 3).Point("Light", 0, 0, 50, {{"Type", "0"}, {"radius", "200"}});
    WriteText("levels/test.spt", level.Text());
    ASSERT_TRUE(OpenDebugLog("account.txt"));
    ASSERT_EQ(world->Load("levels/test.spt", 0, [] { DebugLog() << "(the scenes are read here)\n"; }), 0);
    CloseDebugLog();
    std::vector<std::string> lines;
    std::istringstream account(ReadText("account.txt"));
    for (std::string line; std::getline(account, line);) lines.push_back(line);
    const std::vector<std::string> expected = {
        "Initializing Drelix System",
        "Opening levels/test.spt",
        "levels/test.spt successfully opened.",
        "1 Textures Loaded",
        "2 Polygons loaded from Entity worldspawn",
        "Opening AI File for level 0",
        "(the scenes are read here)",
        "Initialized Camera Origin to 1,2,3",
        "ENEMY COUNT 0",
        "GEMCOUNT0",
        "SSSSSSSSSS Sound Stuff SSSSSSSSSSS",
        "# of sound_nodes = 0",
        "SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS",
        "Found 1 lights",
        "1 of them are pulsing lights",
        "worldspawn's 2 Polygons split into 4 Triangles",
        "All Polygons initialized into Linked List",
        "Octree Parent Node Created",
        "Octree Created with " + std::to_string(8 * world->octreeNodeCount) + " Nodes",
        "Collision System Initialized",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(LevelLoaderTest, DamagedFilesFailWithAnErrorLine) {
    const std::string head = "DRELIX 1\nNAME x\nNUMWADS 0\nNUMTEXTURES 1\nTEXTURE stone\n";
    const std::string cases[] = {
        "DRELIX 1\nNAME abcdefghijklmnopqrstuvwxyz\nNUMWADS 0\n",  // name too long
        head + "NUMENTITIES -1\n",
        head + "NUMENTITIES 2000000000\n",
        head + "NUMENTITIES 1\nworldspawn\n0\n1\n5\n0 1 0 0\n3\n0 0 0 0 0\n0 0 1 0 0\n1 0 0 0 0\n",  // bad texture
        head + "NUMENTITIES 1\nworldspawn\n99999999\n",
        head + "NUMENTITIES 1\naveryveryverylongclassname\n0\n0\n",
        head + "NUMENTITIES 2\nworldspawn\n0\n0\n",  // ends early
        "DRELIX 1\nNAME x\nNUMWADS 0\nNUMTEXTURES 1\nTEXTURE ../../stone\nNUMENTITIES 0\n",  // outside gfx/
    };
    for (const std::string& text : cases) {
        WriteText("levels/bad.spt", text);
        EXPECT_EQ(world->Load("levels/bad.spt", 0), 4) << text;
    }
    EXPECT_TRUE(Logged("**ERROR** levels/bad.spt line"));
}

TEST_F(LevelLoaderTest, VertexListsRunningPastTheEndAreReported) {
    const std::string head = "DRELIX 1\nNAME x\nNUMWADS 0\nNUMTEXTURES 1\nTEXTURE stone\nNUMENTITIES 1\n"
                             "worldspawn\n0\n1\n0\n0 1 0 0\n";
    for (const std::string& tail : {std::string("3\n0 0 0 0 0\n0 0 1 0 0\n"),
                                    std::string("500000000\n"), std::string("3\n0 0 0 0 0\nxyz\n1 1 1 1 1\n")}) {
        WriteText("levels/short.spt", head + tail);
        EXPECT_NE(world->Load("levels/short.spt", 0), 0);
    }
    EXPECT_TRUE(Logged("ERROR>> Tried to read past the end of file!!  TOO MANY VERTICES !!\n"));
}

std::size_t Listings(const OctreeNode& node) {
    std::size_t listed = node.triangles.size();
    for (const auto& child : node.children)
        if (child) listed += Listings(*child);
    return listed;
}

// One polygon fanning into 151 copies of a large triangle: the octree split
// down to its depth limit all along their plane and listed every copy in
// each of about a million nodes, gigabytes and minutes from 2 KB of level.
TEST_F(LevelLoaderTest, StackedTrianglesKeepTheOctreeWithinItsListingLimit) {
    std::vector<std::vector<float>> fan = {{0, 0, 0, 0, 0}};
    for (int i = 0; i < kOctreeLeafTriangles + 2; ++i)
        fan.push_back(i % 2 ? std::vector<float>{0, 0, 1000, 0, 1} : std::vector<float>{1000, 0, 0, 1, 0});
    LevelText level;
    level.Entity("worldspawn", {}, {LevelText::Polygon(0, fan)});
    ASSERT_EQ(Load(level), 0) << "the level is still played";
    ASSERT_EQ(world->WorldTriangles().size(), std::size_t(kOctreeLeafTriangles + 1));
    ASSERT_TRUE(world->octree);
    EXPECT_EQ(world->octree->TriangleCount(), kOctreeLeafTriangles + 1);
    EXPECT_LE(Listings(*world->octree), kOctreeListingFloor);
    EXPECT_TRUE(Logged("**ERROR** the world's triangles overlap too much for the octree"));
}

TEST_F(LevelLoaderTest, EveryTruncationOfALevelLoadsOrFailsCleanly) {
    LevelText level = RoomLevel();
    level.Point("PlayerStart", 1, 2, 3).Point("Enemy", 5, 0, 5, {{"Type", "1"}});
    const std::string text = level.Text();
    const std::size_t versionLine = text.find('\n');
    const std::size_t textureName = text.find("TEXTURE stone") + std::string("TEXTURE ").size();
    for (std::size_t cut = 0; cut < text.size(); ++cut) {
        SCOPED_TRACE(cut);
        WriteText("levels/cut.spt", text.substr(0, cut));
        const std::size_t logBefore = Log().size();
        const int result = world->Load("levels/cut.spt", 0);
        const std::string logged = Log().substr(logBefore);
        switch (result) {
            case 0:
                EXPECT_EQ(cut, text.size() - 1) << "only the last line end may be cut off";
                break;
            case 2:
                EXPECT_LT(cut, versionLine) << "only a cut first line hides the version";
                break;
            case 3:
                EXPECT_GT(cut, textureName) << "a cut texture name names another texture";
                EXPECT_LT(cut, textureName + 5);
                EXPECT_NE(logged.find(".bmp not found\n"), std::string::npos);
                break;
            case 4:
                EXPECT_TRUE(logged.find("**ERROR** levels/cut.spt line ") != std::string::npos ||
                            logged.find("ERROR>> Tried to read past the end of file!!") != std::string::npos)
                    << logged;
                EXPECT_TRUE(world->entities.empty()) << "no half-read entity table is kept";
                break;
            default:
                ADD_FAILURE() << "result " << result;
        }
    }
}

// The 1-based number of the first line of `text` that reads `line`; 0 when
// there is none.
long LineOf(const std::string& text, const std::string& line) {
    std::istringstream in(text);
    std::string got;
    for (long number = 1; std::getline(in, got); ++number)
        if (got == line) return number;
    return 0;
}

long Count(const std::string& text, const std::string& part) {
    long count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// Point entities whose origin is no point of the world: not a number,
// infinite, or far outside it (the file writes the height last).
struct Nowhere {
    const char* className;
    const char* origin;
};
const Nowhere kNowhere[] = {
    {"LevelEnd", "nan 0 0"},         {"HealthPack", "inf 20 0"},  {"Weapon", "1e30 0 0"},
    {"Enemy", "-inf 0 0"},           {"PlayerStart", "2e6 0 0"},  {"Ammo", "0 0 -1e30"},
    {"Gems", "0 nan 0"},             {"Light", "0 0 1000001"},
};

// A room with a start in it and an enemy far away, then every entity of
// kNowhere.
LevelText RoomWithEntitiesNowhere() {
    LevelText level = RoomLevel();
    level.Point("PlayerStart", 50, 30, 50).Point("Enemy", 5000, 0, 50, {{"Type", "1"}});
    for (const Nowhere& n : kNowhere) level.Entity(n.className, {{"origin", n.origin}, {"Type", "2"}});
    return level;
}

TEST_F(LevelLoaderTest, EntitiesAtNoPointOfTheWorldAreLeftOutWithAnErrorLineEach) {
    const LevelText level = RoomWithEntitiesNowhere();
    ASSERT_EQ(Load(level), 0);
    ASSERT_EQ(world->entities.size(), 3u) << "only the worldspawn, the start and the enemy";
    EXPECT_STREQ(world->entities[2].className, "Enemy");
    EXPECT_FALSE(world->hasLevelEnd);
    EXPECT_TRUE(world->items.empty());
    EXPECT_TRUE(world->crystals.empty());
    EXPECT_TRUE(world->lights.empty());
    ASSERT_EQ(world->enemies.size(), 1u);
    EXPECT_FLOAT_EQ(world->enemies[0].position.x, 5000.0f);
    EXPECT_FLOAT_EQ(camera.position.x, 50.0f) << "the later start, out of the world, is left out";

    const std::string log = Log();
    EXPECT_EQ(Count(log, "**ERROR** "), static_cast<long>(std::size(kNowhere)));
    for (const Nowhere& n : kNowhere) {
        const long line = LineOf(level.Text(), n.origin);
        ASSERT_GT(line, 0) << n.origin;
        const std::string expected = "**ERROR** levels/test.spt line " + std::to_string(line) + ": " + n.className +
                                     " at origin \"" + n.origin + "\"";
        EXPECT_EQ(Count(log, expected), 1) << expected;
    }
    EXPECT_TRUE(Logged("ENEMY COUNT 1\n"));

    // The edge of the world is still inside it.
    LevelText edge = RoomLevel();
    edge.Point("LevelEnd", 1e6f, -1e6f, 1e6f);
    ASSERT_EQ(Load(edge), 0);
    EXPECT_TRUE(world->hasLevelEnd);
    EXPECT_FLOAT_EQ(world->levelEnd.y, -1e6f);
}

TEST_F(LevelLoaderTest, AiNodesAtNoPointOfTheWorldAreLeftOut) {
    WriteText("levels/Level1.ai", "1 2 3\nnan 0 0\n0 inf 0\n0 0 -2e6\n4 5 6\nEND\n");
    ASSERT_EQ(Load(RoomLevel()), 0);
    ASSERT_EQ(aiNodes.size(), 2u);
    EXPECT_FLOAT_EQ(aiNodes[1].position.x, 4.0f);
    EXPECT_EQ(Count(Log(), "**ERROR** levels/Level1.ai line "), 3);
}

TEST_F(LevelLoaderTest, ALightColourThatIsNotANumberBakesAsTheDefaultColour) {
    auto bakedColour = [this](const char* colour) {
        LevelText level = RoomLevel();
        level.Point("Light", 50, 20, 50, {{"radius", "300"}, {"color", colour}});
        EXPECT_EQ(Load(level), 0);
        const WorldVertex& v = world->WorldTriangles().at(0).vertices[0];
        return std::vector<float>{v.r, v.g, v.b};
    };
    const std::vector<float> expected = bakedColour("1 0.5 1");
    ASSERT_GT(expected[0], 0.0f) << "the light reaches the floor";
    EXPECT_EQ(bakedColour("nan 0.5 inf"), expected);
    EXPECT_EQ(bakedColour("1e99 0.5 -nan 7"), expected) << "1e99 reads as an infinity";
}

// The game over a level whose exit and pickups stand at no point of the
// world: the level does not end on its first frames.
TEST_F(LevelLoaderTest, ALevelWhoseExitIsAtNoPointOfTheWorldDoesNotEnd) {
    WriteText("levels/optionmenu.spt", RoomWithEntitiesNowhere().Text());
    ScopedFakeClock fake;
    Game game;
    game.Init(nullptr);
    EXPECT_TRUE(game.world.items.empty());
    for (int i = 0; i < 5; ++i) game.RunFrame();
    EXPECT_EQ(settings.levelChangePending, 0);
    EXPECT_EQ(levelIndex, 0) << "the level does not end";
    EXPECT_FALSE(Logged("--- CHANGING LEVELS ---"));
    EXPECT_TRUE(std::isfinite(game.player.position.x) && std::isfinite(game.player.position.y));
}

using LevelLoaderDeathTest = LevelLoaderTest;

TEST_F(LevelLoaderDeathTest, AMissingOptionsMenuEndsTheGameWithCodeOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Game game;
    EXPECT_EXIT(game.Init(nullptr), ::testing::ExitedWithCode(1), "cannot load levels/optionmenu.spt");
}

TEST_F(LevelLoaderTest, GameStartsInTheOptionsMenuLevel) {
    LevelText menu = RoomLevel();
    menu.Point("PlayerStart", 50, 30, 50).Point("MenuOptions", 60, 30, 50, {{"Type", "10"}});
    menu.Point("Enemy", 90, 0, 0, {{"Type", "3"}});
    WriteText("levels/optionmenu.spt", menu.Text());
    Game game;
    game.Init(nullptr);
    EXPECT_EQ(settings.inOptionsMenu, 1);
    EXPECT_FLOAT_EQ(game.player.position.x, 50.0f);
    EXPECT_TRUE(Logged("PLAYER INIT AT: 50 30 50\n"));
    EXPECT_TRUE(Logged("Opening AI File for level 0\n"));
    ASSERT_EQ(game.world.menuTriggers.size(), 1u);
    ASSERT_EQ(game.world.enemies.size(), 1u);
    EXPECT_EQ(game.world.enemies[0].alive, 1) << "the game brings the loaded enemies to life";
    EXPECT_EQ(game.world.enemies[0].aiState, kStateRoam);
    EXPECT_EQ(game.hud.enemies, &game.world.enemies) << "the radar watches the level's enemies";
}

}  // namespace
