// Maps made for other games: their light, the faces that do not block or
// are not drawn, their exits, lifts, doors and starts, and their names.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "compiler.h"
#include "entity_rules.h"
#include "map_file.h"
#include "map_text.h"

namespace {

TextureLookup GameTextures() {
    return [](const std::string& name) -> std::optional<TextureSize> {
        if (name == "stone" || name == "lava" || name == "sky_stars") return TextureSize{64, 64};
        return std::nullopt;
    };
}

struct Compiled {
    CompileResult result;
    bool Has(const std::string& text) const { return result.levelText.find(text) != std::string::npos; }
    // The value line after the first `key` line of the level.
    std::string Value(const std::string& key) const {
        const std::size_t at = result.levelText.find("\n" + key + "\n");
        if (at == std::string::npos) return "(none)";
        const std::size_t begin = at + key.size() + 2;
        return result.levelText.substr(begin, result.levelText.find('\n', begin) - begin);
    }
    int Warned(const std::string& text) const {
        int n = 0;
        for (const std::string& w : result.warnings) n += w.find(text) != std::string::npos ? 1 : 0;
        return n;
    }
    int Count(const std::string& text) const {
        int n = 0;
        for (std::size_t at = result.levelText.find(text); at != std::string::npos;
             at = result.levelText.find(text, at + 1))
            ++n;
        return n;
    }
};

// A worldspawn with `keys` (lines of "key" "value") and `brushes`, then
// further entities as written.
Compiled Compile(const std::string& keys, const std::string& brushes, const std::string& entities = {},
                 const std::string& name = "other") {
    CompileOptions options;
    options.levelName = name;
    options.standInTexture = "stone";
    const std::string text = "{\n\"classname\" \"worldspawn\"\n" + keys + brushes + "}\n" + entities;
    return {CompileMap(ParseMap(text, "other.map"), GameTextures(), options)};
}

const std::string kFloor = BoxBrush(-256, -256, -16, 256, 256, 0);
const std::string kLight = "{\n\"classname\" \"light\"\n\"origin\" \"0 0 64\"\n}\n";

MapFace FaceWith(const std::string& texture, long contents = 0, long flags = 0) {
    MapFace face;
    face.texture = texture;
    face.hasFlags = contents != 0 || flags != 0;
    face.contents = contents;
    face.surfaceFlags = flags;
    return face;
}

TEST(OtherGamesLight, MinimumLightAndSunBecomeTheLevelsAmbientAndSun) {
    const Compiled quake = Compile("\"light\" \"51\"\n\"_sunlight\" \"255\"\n\"_sunlight_color\" \"255 128 0\"\n", kFloor);
    EXPECT_EQ(quake.Value("ambient"), "0.2 0.2 0.2");
    EXPECT_EQ(quake.Value("sun"), "0 -1 0") << "Quake's sun shines straight down unless turned";
    EXPECT_EQ(quake.Value("sun_color"), "1 0.502 0");
    EXPECT_EQ(quake.Warned("no light"), 0);

    const Compiled turned = Compile("\"_sunlight\" \"255\"\n\"_sun_mangle\" \"90 0 0\"\n", kFloor);
    EXPECT_EQ(turned.Value("sun"), "0 0 -1") << "travelling along the editor's +y, the game's -z";

    const Compiled halfLife = Compile("", kFloor,
                                      "{\n\"classname\" \"light_environment\"\n\"origin\" \"0 0 64\"\n"
                                      "\"_light\" \"255 255 255 51\"\n\"angles\" \"0 0 0\"\n\"pitch\" \"-90\"\n}\n");
    EXPECT_EQ(halfLife.Value("sun"), "0 -1 0");
    EXPECT_EQ(halfLife.Value("sun_color"), "0.2 0.2 0.2");
    EXPECT_EQ(halfLife.Warned("\"light_environment\" means nothing"), 0) << "read as the sun, not dropped with a word";

    const Compiled quake2 = Compile("\"_sun_light\" \"255\"\n\"_sun_vector\" \"1 0 -1\"\n", kFloor);
    EXPECT_EQ(quake2.Value("sun"), "0.7071 -0.7071 0");

    const Compiled dark = Compile("", kFloor);
    EXPECT_EQ(dark.Warned("the map has no light at all"), 1);
    EXPECT_EQ(dark.Value("ambient"), "0.5 0.5 0.5") << "never black";
    EXPECT_EQ(Compile("", kFloor, kLight).Value("ambient"), "(none)") << "lit by its lights, as written";
    EXPECT_EQ(Compile("\"ambient\" \"0.1 0.2 0.3\"\n\"light\" \"200\"\n", kFloor).Value("ambient"), "0.1 0.2 0.3")
        << "the designer's own key wins";
}

TEST(OtherGamesSurfaces, TextureFamiliesAreToldByTheirNamesAndFlags) {
    struct Case {
        const char* texture;
        FaceKind surface;
    };
    for (const Case& c : {Case{"clip", FaceKind::Clip}, {"clip_mon", FaceKind::Clip}, {"tools/toolsplayerclip", FaceKind::Clip},
                          {"monsterclip", FaceKind::Clip}, {"*waterskip", FaceKind::Tool}, {"{trigger", FaceKind::Tool},
                          {"aaatrigger", FaceKind::Tool}, {"hintskip", FaceKind::Tool}, {"origin", FaceKind::Tool},
                          {"skip", FaceKind::Tool}, {"common/caulk", FaceKind::Unseen}, {"nodraw", FaceKind::Unseen},
                          {"*lava1", FaceKind::Liquid}, {"!waterblue", FaceKind::Liquid}, {"{fence", FaceKind::Passable},
                          {"sky4", FaceKind::Sky}, {"+0button", FaceKind::Drawn}, {"eclipse_wall", FaceKind::Drawn},
                          {"slime", FaceKind::Drawn}, {"original", FaceKind::Drawn}})
        EXPECT_EQ(SurfaceOf(FaceWith(c.texture)), c.surface) << c.texture;
    // Quake 2: contents and surface flags say what the name does not.
    EXPECT_EQ(SurfaceOf(FaceWith("e1u1/water1_8", 32)), FaceKind::Liquid);
    EXPECT_EQ(SurfaceOf(FaceWith("e1u1/metal", 0x10000)), FaceKind::Clip);
    EXPECT_EQ(SurfaceOf(FaceWith("e1u1/sky", 0, 4)), FaceKind::Sky);
    EXPECT_EQ(SurfaceOf(FaceWith("e1u1/metal", 1, 0x80)), FaceKind::Unseen);
    EXPECT_EQ(SurfaceOf(FaceWith("e1u1/metal", 1, 0)), FaceKind::Drawn);
}

TEST(OtherGamesSurfaces, LiquidsAndFencesNeverBlockAndClipBlocksUndrawnWithoutHidingTheFloor) {
    const int floor = Compile("", kFloor, kLight).result.summary.triangles;
    const std::string floorTop = "\n0 1 0 0\n";  // the plane line of the floor's top pieces
    const int floorPieces = 16;

    const Compiled ghost = Compile("", kFloor, kLight + "{\n\"classname\" \"func_illusionary\"\n" +
                                                BoxBrush(-64, -64, 0, 64, 64, 64) + "}\n");
    EXPECT_TRUE(ghost.Has("TEXTURE ~stone\n")) << "an illusionary wall is drawn and never blocks";
    EXPECT_EQ(ghost.Count(floorTop), floorPieces) << "it hides none of the floor";
    const int wallPieces = ghost.result.summary.triangles - floor;

    const Compiled pool = Compile("", kFloor + BoxBrush(-64, -64, 0, 64, 64, 48, "*lava1"), kLight);
    EXPECT_TRUE(pool.Has("TEXTURE *lava\n")) << "the game's own lava, marked a liquid";
    EXPECT_EQ(pool.Count(floorTop), floorPieces) << "the pool's floor stays";
    EXPECT_EQ(pool.result.summary.triangles - floor, 2 * wallPieces) << "seen from inside the pool too";

    const Compiled clip = Compile("", kFloor + BoxBrush(-64, -64, 0, 64, 64, 64, "clip"), kLight);
    EXPECT_TRUE(clip.Has("TEXTURE #clip\n"));
    EXPECT_EQ(clip.Count(floorTop), floorPieces) << "the floor under the clip stays";
    EXPECT_EQ(clip.result.summary.triangles - floor, wallPieces) << "the clip's faces are written to block";

    const Compiled sky = Compile("", kFloor + BoxBrush(-1024, -1024, 512, 1024, 1024, 528, "sky1"), kLight);
    EXPECT_EQ(sky.Count("\n0 -1 0 -512\n"), 1) << "the sky's underside is one polygon, not cut on the grid";
}

TEST(OtherGamesEntities, ExitsLiftsDoorsAndStartsAreWhatTheGameCanPlay) {
    const std::string starts =
        "{\n\"classname\" \"info_player_start\"\n\"origin\" \"0 0 24\"\n}\n"
        "{\n\"classname\" \"info_player_start\"\n\"origin\" \"64 0 24\"\n\"angles\" \"0 90 0\"\n}\n";
    const std::string exit = "{\n\"classname\" \"trigger_changelevel\"\n\"map\" \"e1m2\"\n" +
                             BoxBrush(128, 0, 0, 192, 64, 128, "trigger") + "}\n";
    const std::string lift = "{\n\"classname\" \"func_plat\"\n" + BoxBrush(-200, -200, 0, -136, -136, 136) + "}\n";
    const std::string door = "{\n\"classname\" \"func_door\"\n" + BoxBrush(0, 100, 0, 8, 164, 128) + "}\n" +
                             "{\n\"classname\" \"func_door\"\n" + BoxBrush(0, -164, 0, 8, -100, 128) + "}\n";
    const Compiled c = Compile("", kFloor, kLight + starts + exit + lift + door);
    ASSERT_TRUE(c.result.errors.empty()) << c.result.errors.front();
    EXPECT_TRUE(c.Has("LevelEnd\n1\norigin\n160 -32 64\n")) << "at the trigger's centre";
    EXPECT_TRUE(c.Has("PlayerStart\n2\norigin\n64 0 31\nangle\n90\n")) << "facing the yaw of its angles";
    EXPECT_EQ(c.Warned("2 player starts: the game starts the hero at the last one"), 1);
    EXPECT_EQ(c.Warned("doors (func_door) are left out"), 1) << "once per class";
    EXPECT_EQ(c.Warned("lifts (func_plat) do not move in the game: they join the world where they rest (lowered 128"), 1);
    EXPECT_TRUE(c.Has("\n-200 8 136 ")) << "the lift's top, 136 - 128 above the floor";

    const Compiled targeted = Compile("", kFloor, kLight + "{\n\"classname\" \"func_plat\"\n\"targetname\" \"up\"\n" +
                                                      BoxBrush(-200, -200, 0, -136, -136, 136) + "}\n");
    EXPECT_TRUE(targeted.Has("\n-200 136 136 ")) << "a lift something calls waits at the top";
}

TEST(OtherGamesEntities, ByteColoursAndLongNamesAreMendedWithAWarning) {
    const Compiled c = Compile("", kFloor,
                               "{\n\"classname\" \"Light\"\n\"origin\" \"0 0 64\"\n\"radius\" \"300\"\n"
                               "\"color\" \"255 128 0\"\n}\n",
                               "the_first_level_of_the_episode");
    EXPECT_EQ(c.Value("color"), "1 0.502 0 1");
    EXPECT_EQ(c.Warned("Light color \"255 128 0\" is written 0 to 255"), 1);
    EXPECT_TRUE(c.Has("\nNAME the_first_level_of_\n"));
    EXPECT_EQ(c.Warned("is longer than 19 characters or holds blanks; the level is named \"the_first_level_of_\""), 1);
    EXPECT_TRUE(c.result.errors.empty());
}


// A hollow room of 16-unit walls around (-256, -256, 0) to (256, 256, 256),
// with a hole of `hole` units in its +x wall.
std::string Room(double hole = 0) {
    const double w = 16, lo = -256, hi = 256, top = 256;
    std::string r = BoxBrush(lo - w, lo - w, -w, hi + w, hi + w, 0) + BoxBrush(lo - w, lo - w, top, hi + w, hi + w, top + w) +
                    BoxBrush(lo - w, lo - w, 0, lo, hi + w, top) + BoxBrush(lo, lo - w, 0, hi, lo, top) +
                    BoxBrush(lo, hi, 0, hi, hi + w, top);
    if (hole <= 0) return r + BoxBrush(hi, lo, 0, hi + w, hi, top);
    return r + BoxBrush(hi, lo, 0, hi + w, -hole / 2, top) + BoxBrush(hi, hole / 2, 0, hi + w, hi, top) +
           BoxBrush(hi, -hole / 2, hole, hi + w, hole / 2, top);
}

TEST(OtherGamesSealing, FacesOnlyTheVoidSeesGoUnlessTheLevelLeaks) {
    const Compiled sealed = Compile("", Room(), kLight);
    const CompileSummary& s = sealed.result.summary;
    EXPECT_FALSE(sealed.result.leaked);
    EXPECT_GT(s.trianglesOutside, 0);
    EXPECT_EQ(sealed.Count("\n0 -1 0 16\n"), 0) << "the underside of the floor faces the void";
    EXPECT_GT(sealed.Count("\n0 1 0 0\n"), 0) << "the floor's top faces the room";

    const Compiled leaking = Compile("", Room(64), kLight);
    EXPECT_TRUE(leaking.result.leaked);
    EXPECT_EQ(leaking.result.summary.trianglesOutside, 0) << "every face kept";
    EXPECT_EQ(leaking.Warned("the level leaks: the void outside reaches this light at (0 0 64)"), 1);
    std::istringstream points(leaking.result.pointFile);
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(points >> x >> y >> z);
    EXPECT_EQ(x, 0.0) << "the way out starts at the entity";
    EXPECT_EQ(z, 64.0);
    double lastX = x;
    while (points >> x >> y >> z) lastX = x;
    EXPECT_GT(lastX, 256.0 + 16.0) << "and ends beyond the walls";
}

}  // namespace
