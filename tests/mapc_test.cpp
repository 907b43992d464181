// The map compiler: brushes to polygons, texture axes, coordinates, the
// level text it writes, and what it refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "brush.h"
#include "compiler.h"
#include "map_file.h"
#include "map_text.h"
#include "texcoords.h"

namespace {

TextureLookup FakeTextures() {
    return [](const std::string& name) -> std::optional<TextureSize> {
        if (name == "stone" || name == "metal" || name == "skip") return TextureSize{64, 32};
        if (name == "avery_long_texture_nm") return TextureSize{64, 64};
        return std::nullopt;
    };
}

MapBrush OnlyBrush(const std::string& brushText) {
    MapFile map = ParseMap("{\n\"classname\" \"worldspawn\"\n" + brushText + "}\n", "test.map");
    return map.entities.at(0).brushes.at(0);
}

MapVec Centroid(const FacePolygon& p) {
    MapVec c;
    for (const MapVec& v : p.points) c = Add(c, v);
    return Scale(c, 1.0 / p.points.size());
}

// (P1 - P0) x (P2 - P0): the normal the loader's collision computes.
MapVec WindingNormal(const std::vector<MapVec>& p) { return Cross(Sub(p[1], p[0]), Sub(p[2], p[0])); }

TEST(Brushes, CubeGivesSixOutwardQuadsWoundCounterClockwise) {
    const MapBrush brush = OnlyBrush(BoxBrush(0, 0, 0, 64, 64, 64));
    const std::vector<FacePolygon> polygons = BrushPolygons(brush, "test.map");
    ASSERT_EQ(polygons.size(), 6u);
    const MapVec centre{32, 32, 32};
    for (const FacePolygon& p : polygons) {
        ASSERT_EQ(p.points.size(), 4u);
        EXPECT_GT(Dot(p.plane.normal, Sub(Centroid(p), centre)), 0.0) << "normal points out";
        EXPECT_GT(Dot(WindingNormal(p.points), p.plane.normal), 0.0) << "visible side faces out";
        for (const MapVec& v : p.points) EXPECT_NEAR(Dot(v, p.plane.normal), p.plane.dist, 1e-6);
    }
}

TEST(Brushes, WedgeAndRedundantPlane) {
    // A ramp: box with its top replaced by a slope from z=0 at x=64 to z=64 at x=0.
    const std::string wedge =
        "{\n( 0 0 0 ) ( 0 64 0 ) ( 0 0 64 ) stone 0 0 0 1 1\n"
        "( 0 0 0 ) ( 0 0 64 ) ( 64 0 0 ) stone 0 0 0 1 1\n"
        "( 0 64 0 ) ( 64 64 0 ) ( 0 64 64 ) stone 0 0 0 1 1\n"
        "( 0 0 0 ) ( 64 0 0 ) ( 0 64 0 ) stone 0 0 0 1 1\n"
        "( 0 0 64 ) ( 0 64 64 ) ( 64 0 0 ) stone 0 0 0 1 1\n"
        "( 200 0 0 ) ( 200 0 64 ) ( 200 64 0 ) stone 0 0 0 1 1\n"  // far away: touches nothing
        "}\n";
    const std::vector<FacePolygon> polygons = BrushPolygons(OnlyBrush(wedge), "test.map");
    ASSERT_EQ(polygons.size(), 5u);
    int triangles = 0, quads = 0;
    for (const FacePolygon& p : polygons) {
        triangles += p.points.size() == 3;
        quads += p.points.size() == 4;
        EXPECT_GT(Dot(WindingNormal(p.points), p.plane.normal), 0.0);
    }
    EXPECT_EQ(triangles, 2);
    EXPECT_EQ(quads, 3);
}

TEST(Brushes, OpenAndDegenerateBrushesAreRefused) {
    EXPECT_THROW(BrushPolygons(OnlyBrush("{\n( 0 0 0 ) ( 0 64 0 ) ( 0 0 64 ) stone 0 0 0 1 1\n}\n"), "t"), MapError);
    // Five faces of a box: open at the top.
    std::string box = BoxBrush(0, 0, 0, 64, 64, 64);
    box.erase(box.rfind("( 0 0 64 )"), box.find('\n', box.rfind("( 0 0 64 )")) - box.rfind("( 0 0 64 )") + 1);
    EXPECT_THROW(BrushPolygons(OnlyBrush(box), "t"), MapError);
    // Collinear points.
    const std::string collinear = BoxBrush(0, 0, 0, 64, 64, 64) ;
    std::string bad = collinear;
    bad.replace(bad.find("( 0 0 0 ) ( 0 64 0 ) ( 0 0 64 )"), 31, "( 0 0 0 ) ( 0 64 0 ) ( 0 128 0 )");
    EXPECT_THROW(BrushPolygons(OnlyBrush(bad), "t"), MapError);
}

TEST(TexCoords, StandardFloorAndWallAxes) {
    MapFace floor;
    floor.uOffset = 16;
    floor.vOffset = 0;
    floor.uScale = 0.5;
    floor.vScale = 1;
    Plane up{{0, 0, 1}, 0};
    // Floors: u = +x, v = -y. x = 8 at scale 0.5 is 16 texels, plus 16 offset.
    TexCoord t = FaceTexCoord(floor, up, {8, 16, 0}, 64, 32);
    EXPECT_DOUBLE_EQ(t.u, 32.0 / 64.0);
    EXPECT_DOUBLE_EQ(t.v, -16.0 / 32.0);
    // Walls: v = -z, so the texture's first row is at the top.
    MapFace wall;
    Plane east{{1, 0, 0}, 0};
    t = FaceTexCoord(wall, east, {0, 10, 20}, 64, 32);
    EXPECT_DOUBLE_EQ(t.u, 10.0 / 64.0);
    EXPECT_DOUBLE_EQ(t.v, -20.0 / 32.0);
    // A quarter turn on the floor maps x to v.
    floor.uOffset = 0;
    floor.uScale = 1;
    floor.rotation = 90;
    t = FaceTexCoord(floor, up, {8, 0, 0}, 64, 32);
    EXPECT_NEAR(t.u, 0.0, 1e-12);
    EXPECT_NEAR(t.v, 8.0 / 32.0, 1e-12);
}

TEST(TexCoords, ValveAxesAreUsedAsGiven) {
    // A box whose faces give their axes in the Valve 220 way; the floor
    // face (its -z side) maps u to +y over 2 units a texel, v to +x.
    std::string box = BoxBrush(0, 0, 0, 64, 64, 64);
    std::string valve;
    std::istringstream lines(box);
    std::string line;
    int faceIndex = 0;
    while (std::getline(lines, line)) {
        const std::size_t at = line.find(" stone 0 0 0 1 1");
        if (at != std::string::npos) {
            line = line.substr(0, at) + (faceIndex == 4 ? " stone [ 0 1 0 8 ] [ 1 0 0 -4 ] 0 2 0.5"
                                                        : " stone [ 1 0 0 0 ] [ 0 0 -1 0 ] 0 1 1");
            ++faceIndex;
        }
        valve += line + "\n";
    }
    const MapFile map = ParseMap("{\n\"classname\" \"worldspawn\"\n\"mapversion\" \"220\"\n" + valve + "}\n", "valve.map");
    const MapFace& face = map.entities[0].brushes[0].faces[4];
    ASSERT_TRUE(face.valveAxes);
    const TexCoord t = FaceTexCoord(face, FacePlane(face, "valve.map"), {10, 20, 0}, 64, 32);
    EXPECT_DOUBLE_EQ(t.u, (20.0 / 2 + 8) / 64.0);
    EXPECT_DOUBLE_EQ(t.v, (10.0 / 0.5 - 4) / 32.0);
    // The whole Valve map compiles too.
    CompileOptions options;
    options.levelName = "valve";
    EXPECT_EQ(CompileMap(map, FakeTextures(), options).summary.triangles, 12);
}

TEST(Compiler, WritesALevelTheLoaderCanRead) {
    const std::string text = "// a room\n{\n\"classname\" \"worldspawn\"\n\"message\" \"hello\"\n" +
                             BoxBrush(0, 0, -16, 256, 256, 0) + BoxBrush(0, 0, 0, 16, 16, 16, "skip") +
                             "}\n{\n\"classname\" \"func_group\"\n" + BoxBrush(100, 100, 0, 132, 132, 32, "metal") +
                             "}\n{\n\"classname\" \"PlayerStart\"\n\"origin\" \"10 20 30\"\n}\n"
                             "{\n\"classname\" \"Light\"\n\"origin\" \"0 0 64\"\n\"color\" \"1 0.5 0.5 1\"\n\"radius\" \"300\"\n}\n";
    CompileOptions options;
    options.levelName = "room";
    const CompileResult r = CompileMap(ParseMap(text, "room.map"), FakeTextures(), options);
    std::istringstream in(r.levelText);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line)) {
        EXPECT_LE(line.size(), 48u) << line;
        EXPECT_FALSE(line.empty());
        lines.push_back(line);
    }
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "DRELIX 1");
    EXPECT_EQ(lines[1], "NAME room");
    EXPECT_EQ(lines[3], "NUMTEXTURES 2");
    EXPECT_EQ(lines[4], "TEXTURE stone");
    EXPECT_EQ(lines[5], "TEXTURE metal");
    EXPECT_EQ(lines[6], "NUMENTITIES 3") << "the group joins the world";
    EXPECT_EQ(lines[7], "worldspawn");
    EXPECT_EQ(lines[8], "1");
    EXPECT_EQ(lines[9], "message");
    // Two boxes of six faces (the skip box is gone), each face cut on the
    // 128-unit light grid: both boxes straddle x = 128 and y = 128, so tops
    // and bottoms give four pieces and sides two; the metal box's bottom
    // lies flat on the floor and is left out.
    EXPECT_EQ(lines[11], "28");
    EXPECT_EQ(r.summary.triangles, 56);
    EXPECT_TRUE(r.errors.empty());
    // Origins are stored as the game's x, z, y: editor (10, 20, 30) is game (10, 30, -20).
    EXPECT_NE(r.levelText.find("PlayerStart\n1\norigin\n10 -20 30\n0\n"), std::string::npos);
    EXPECT_NE(r.levelText.find("color\n1 0.5 0.5 1\n"), std::string::npos);
}

TEST(Compiler, GameFrameIsARotationOfTheEditorFrame) {
    const MapVec x = ToGame({1, 0, 0}), y = ToGame({0, 1, 0}), z = ToGame({0, 0, 1});
    EXPECT_DOUBLE_EQ(z.y, 1.0) << "editor up is game up";
    const MapVec c = Cross(x, y);
    EXPECT_DOUBLE_EQ(c.x, z.x);
    EXPECT_DOUBLE_EQ(c.y, z.y);
    EXPECT_DOUBLE_EQ(c.z, z.z);
}

// Every problem of a map comes out of one run, each at its own line.
TEST(Compiler, ReportsEveryErrorOfAMapAtItsOwnLine) {
    CompileOptions options;
    options.levelName = "bad";
    const std::string text = "{\n\"classname\" \"worldspawn\"\n" + BoxBrush(0, 0, 0, 8, 8, 8, "nosuch") +  // line 3
                             BoxBrush(0, 0, 0, 8, 8, 8, "avery_long_texture_nm") + "}\n{\n\"classname\" \"Light\"\n"
                             "\"origin\" \"1 2\"\n}\n";  // line 22
    const CompileResult r = CompileMap(ParseMap(text, "bad.map"), FakeTextures(), options);
    ASSERT_EQ(r.errors.size(), 3u);
    EXPECT_EQ(r.errors[0].rfind("bad.map:4: unknown texture \"nosuch\"", 0), 0u) << r.errors[0];
    EXPECT_EQ(r.errors[1].rfind("bad.map:12: texture name \"avery_long", 0), 0u) << r.errors[1];
    EXPECT_EQ(r.errors[2].rfind("bad.map:22: origin", 0), 0u) << r.errors[2];

    const CompileResult noWorld = CompileMap(ParseMap("{\n\"classname\" \"Light\"\n}\n", "bad.map"), FakeTextures(), options);
    ASSERT_EQ(noWorld.errors.size(), 1u);
    EXPECT_NE(noWorld.errors[0].find("no worldspawn"), std::string::npos) << noWorld.errors[0];
    EXPECT_THROW(ParseMap("{\n\"classname\" \"worldspawn\"\n", "bad.map"), MapError) << "unbalanced braces";
    EXPECT_THROW(ParseMap("}\n", "bad.map"), MapError);
    EXPECT_THROW(ParseMap("{\n\"classname\" \"worldspawn\n}\n", "bad.map"), MapError);
    try {
        ParseMap("{\n\"classname\" \"worldspawn\"\n{\n( 0 0 0 ) ( 1 0 0 ) ( 0 1 0 ) stone 0 x 0 1 1\n}\n}\n", "broken.map");
        FAIL() << "no error";
    } catch (const MapError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("broken.map:4:", 0), 0u) << "a syntax error: " << e.what();
    }
}

// One brush the size of the editor's space once compiled to twelve million
// triangles, four gigabytes and a minute from 700 bytes of map.
TEST(Compiler, TooManyTrianglesAreRefusedAtTheFaceThatPassesTheLimit) {
    CompileOptions options;
    options.levelName = "huge";
    const auto compile = [&](const std::string& brush) {
        return CompileMap(ParseMap("{\n\"classname\" \"worldspawn\"\n" + brush + "}\n", "huge.map"), FakeTextures(),
                          options);
    };
    const CompileResult whole = compile(BoxBrush(-65000, -65000, -65000, 65000, 65000, 65000));
    ASSERT_EQ(whole.errors.size(), 1u);
    EXPECT_EQ(whole.errors[0].rfind("huge.map:4: the map makes more than 131072 triangles", 0), 0u)
        << whole.errors[0];
    // A face of 256 x 256 grid cells is 131072 triangles: the first face
    // fits, the second passes the limit.
    const CompileResult cube = compile(BoxBrush(0, 0, 0, 32768, 32768, 32768));
    ASSERT_EQ(cube.errors.size(), 1u);
    EXPECT_EQ(cube.errors[0].rfind("huge.map:5: the map makes more than", 0), 0u) << cube.errors[0];
}

TEST(Compiler, UnknownTexturesCanUseAStandIn) {
    CompileOptions options;
    options.levelName = "foreign";
    options.standInTexture = "metal";
    const std::string text = "{\n\"classname\" \"worldspawn\"\n" + BoxBrush(0, 0, 0, 64, 64, 64, "base_wall") + "}\n";
    const CompileResult r = CompileMap(ParseMap(text, "foreign.map"), FakeTextures(), options);
    ASSERT_EQ(r.warnings.size(), 2u) << "each unknown name is reported once, and the map has no light";
    EXPECT_EQ(r.warnings[1].rfind("foreign.map:4: unknown texture \"base_wall\"", 0), 0u) << r.warnings[1];
    EXPECT_NE(r.levelText.find("TEXTURE metal\n"), std::string::npos);
}

// ---- Faces nobody sees ----

CompileSummary SummaryOf(const std::string& brushes) {
    CompileOptions options;
    options.levelName = "hidden";
    const CompileResult r =
        CompileMap(ParseMap("{\n\"classname\" \"worldspawn\"\n" + brushes + "}\n", "hidden.map"), FakeTextures(), options);
    EXPECT_TRUE(r.errors.empty());
    return r.summary;
}

TEST(HiddenFaces, SharedDuplicateAndBuriedFacesAreLeftOut) {
    const CompileSummary stacked = SummaryOf(BoxBrush(0, 0, 0, 64, 64, 64) + BoxBrush(0, 0, 64, 64, 64, 128));
    EXPECT_EQ(stacked.faces, 10) << "the shared face is seen from neither side";
    EXPECT_EQ(stacked.facesHidden, 2);
    const CompileSummary twice = SummaryOf(BoxBrush(0, 0, 0, 64, 64, 64) + BoxBrush(0, 0, 0, 64, 64, 64));
    EXPECT_EQ(twice.faces, 6) << "one of each pair of duplicates stays";
    const CompileSummary buried = SummaryOf(BoxBrush(0, 0, 0, 64, 64, 64) + BoxBrush(16, 16, 16, 48, 48, 48, "metal"));
    EXPECT_EQ(buried.faces, 6);
    EXPECT_EQ(buried.facesHidden, 6);
    const CompileSummary apart = SummaryOf(BoxBrush(0, 0, 0, 64, 64, 64) + BoxBrush(32, 32, 64, 96, 96, 128));
    EXPECT_EQ(apart.faces, 12) << "a face only partly covered stays";
}

// ---- Maps written for other games ----

struct Compiled {
    CompileResult result;
    std::string Text() const { return result.levelText; }
    bool Has(const std::string& text) const { return result.levelText.find(text) != std::string::npos; }
    int Warned(const std::string& text) const {
        int n = 0;
        for (const std::string& w : result.warnings) n += w.find(text) != std::string::npos ? 1 : 0;
        return n;
    }
};

Compiled CompileForeign(const char* name) {
    CompileOptions options;
    options.levelName = name;
    options.standInTexture = "stone";
    const std::string path = std::string(TALVEMAR_TEST_MAPS) + "/" + name + ".map";
    return {CompileMap(ReadMapFile(path), [](const std::string& texture) -> std::optional<TextureSize> {
                           if (texture == "stone" || texture == "sky_stars") return TextureSize{64, 64};
                           return std::nullopt;
                       }, options)};
}

TEST(ForeignMaps, AValveMapOfAnotherGameCompilesAsItStands) {
    const Compiled c = CompileForeign("foreign_valve");
    ASSERT_TRUE(c.result.errors.empty()) << c.result.errors.front();
    const CompileSummary& s = c.result.summary;
    EXPECT_EQ(s.groupsJoined, 3) << "func_detail_wall, _fence and _illusionary join the world";
    EXPECT_EQ(s.entitiesTranslated, 5) << "a start, two deathmatch starts, two lights";
    EXPECT_EQ(s.entitiesDropped, 4) << "the trigger, the door and two info_null";
    EXPECT_EQ(s.entities, 7);
    EXPECT_EQ(s.facesTool, 0) << "the nodraw underside and the clip brush block, undrawn";
    EXPECT_GE(s.facesHidden, 6 + 8) << "the second pillar, and faces against the floor and walls";
    EXPECT_LT(s.triangles, s.trianglesBeforeHiding);

    EXPECT_TRUE(c.Has("TEXTURE sky_stars\n")) << "sky textures become the game's sky";
    EXPECT_TRUE(c.Has("PlayerStart\n2\norigin\n-400 0 31\nangle\n0\n")) << "lifted to stand on the floor";
    EXPECT_TRUE(c.Has("TEXTURE #clip\n")) << "clip and nodraw block, with no picture";
    EXPECT_TRUE(c.Has("TEXTURE ~stone\n")) << "the fence never blocks";
    EXPECT_TRUE(c.Has("TEXTURE *stone\n")) << "the water is a liquid";
    EXPECT_TRUE(c.Has("DeathmatchStart\n1\norigin\n400 -100 31\n"));
    EXPECT_TRUE(c.Has("Light\n3\norigin\n0 0 200\nradius\n250\ncolor\n1 0.502 0.251 1\n"));
    EXPECT_TRUE(c.Has("Light\n3\norigin\n-500 0 100\nradius\n300\ncolor\n1 1 1 1\n")) << "a torch's defaults";
    EXPECT_FALSE(c.Has("//note")) << "the level reader would skip it and lose its place";

    EXPECT_EQ(c.Warned("class \"info_null\""), 1) << "one warning per class";
    EXPECT_EQ(c.Warned("\"trigger_once\""), 1);
    EXPECT_EQ(c.Warned("texture \"clip\": its faces block but are not drawn"), 1);
    EXPECT_EQ(c.Warned("doors (func_door) are left out: the way they close stays open"), 1);
    EXPECT_EQ(c.Warned("foreign_valve.map:8: the key \"//note\""), 1) << "at the key's own line";
    EXPECT_EQ(c.Warned("foreign_valve.map:9: \"message\" has no value"), 1);
    EXPECT_EQ(c.Warned("unknown texture \"{fence\""), 1) << "a fence texture is a name, not a brace";
    EXPECT_EQ(c.Warned("unknown texture \"*water1\""), 1);
    auto lineOf = [](const std::string& w) { return std::atoi(w.c_str() + w.find(".map:") + 5); };
    for (std::size_t i = 1; i < c.result.warnings.size(); ++i)
        EXPECT_LE(lineOf(c.result.warnings[i - 1]), lineOf(c.result.warnings[i])) << "in the order of the file";
}

TEST(ForeignMaps, WrittenLevelsAreReadBackAsTheGameReadsThem) {
    for (const char* name : {"foreign_valve", "foreign_standard"}) {
        const Compiled c = CompileForeign(name);
        ASSERT_TRUE(c.result.errors.empty()) << name;
        const std::string path = ::testing::TempDir() + name + ".spt";
        std::ofstream(path, std::ios::binary) << c.Text();
        EXPECT_EQ(LevelRefusal(path), std::nullopt) << name;
    }
    const std::string damaged = ::testing::TempDir() + "damaged.spt";
    std::ofstream(damaged, std::ios::binary) << "DRELIX 1\nNAME x\nNUMWADS 0\nNUMTEXTURES 0\nNUMENTITIES 1\n"
                                                "worldspawn\n-1\n";
    const std::optional<std::string> refusal = LevelRefusal(damaged);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_NE(refusal->find("negative property count"), std::string::npos) << *refusal;
}

}  // namespace
