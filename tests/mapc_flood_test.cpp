// The map compiler's flood of the void outside a level: which faces only
// the outside sees, and where a level leaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "brush.h"
#include "hidden_faces.h"
#include "map_file.h"
#include "map_text.h"
#include "outside_flood.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A box-shaped room: its empty interior and the thickness of its walls.
struct Room {
    MapVec low, high;
    double wall = 16;
};

// The six wall brushes closing the room; the wall at +x has a square hole
// of side `hole` in its middle when hole > 0.
std::string RoomWalls(const Room& r, double hole = 0) {
    const double w = r.wall;
    std::string out = BoxBrush(r.low.x - w, r.low.y - w, r.low.z - w, r.low.x, r.high.y + w, r.high.z + w) +
                      BoxBrush(r.low.x, r.low.y - w, r.low.z - w, r.high.x, r.low.y, r.high.z + w) +
                      BoxBrush(r.low.x, r.high.y, r.low.z - w, r.high.x, r.high.y + w, r.high.z + w) +
                      BoxBrush(r.low.x, r.low.y, r.low.z - w, r.high.x, r.high.y, r.low.z) +
                      BoxBrush(r.low.x, r.low.y, r.high.z, r.high.x, r.high.y, r.high.z + w);
    const double x0 = r.high.x, x1 = r.high.x + w, y0 = r.low.y - w, y1 = r.high.y + w;
    const double z0 = r.low.z - w, z1 = r.high.z + w;
    if (hole <= 0) return out + BoxBrush(x0, y0, z0, x1, y1, z1);
    const double hy = (r.low.y + r.high.y - hole) / 2, hz = (r.low.z + r.high.z - hole) / 2;
    return out + BoxBrush(x0, y0, z0, x1, y1, hz) + BoxBrush(x0, y0, hz + hole, x1, y1, z1) +
           BoxBrush(x0, y0, hz, x1, hy, hz + hole) + BoxBrush(x0, hy + hole, hz, x1, y1, hz + hole);
}

MapVec TurnedAboutZ(const MapVec& p, double degrees) {
    const double a = degrees * kPi / 180.0, c = std::cos(a), s = std::sin(a);
    return {c * p.x - s * p.y, s * p.x + c * p.y, p.z};
}

// Brushes as the compiler builds them, optionally turned about the z axis.
struct Brushes {
    MapFile map;
    std::vector<std::vector<FacePolygon>> faces;
    std::vector<BrushVolume> volumes;
};

Brushes Build(const std::string& brushText, double turnDegrees = 0) {
    Brushes b;
    b.map = ParseMap("{\n\"classname\" \"worldspawn\"\n" + brushText + "}\n", "flood.map");
    for (MapBrush& brush : b.map.entities.at(0).brushes) {
        for (MapFace& face : brush.faces)
            for (MapVec& p : face.points) p = TurnedAboutZ(p, turnDegrees);
        b.faces.push_back(BrushPolygons(brush, "flood.map"));
        b.volumes.push_back(VolumeOf(b.faces.back()));
    }
    return b;
}

bool WithinBox(const MapVec& p, const MapVec& low, const MapVec& high) {
    return p.x > low.x && p.y > low.y && p.z > low.z && p.x < high.x && p.y < high.y && p.z < high.z;
}

MapVec Centroid(const std::vector<MapVec>& points) {
    MapVec c;
    for (const MapVec& p : points) c = Add(c, p);
    return Scale(c, 1.0 / static_cast<double>(points.size()));
}

struct Box {
    MapVec low, high;
};

// The box around the rooms and their walls.
Box Hull(const std::vector<Room>& rooms) {
    Box hull{Sub(rooms[0].low, {rooms[0].wall, rooms[0].wall, rooms[0].wall}),
             Add(rooms[0].high, {rooms[0].wall, rooms[0].wall, rooms[0].wall})};
    for (const Room& r : rooms) {
        const MapVec low = Sub(r.low, {r.wall, r.wall, r.wall}), high = Add(r.high, {r.wall, r.wall, r.wall});
        hull.low = {std::min(hull.low.x, low.x), std::min(hull.low.y, low.y), std::min(hull.low.z, low.z)};
        hull.high = {std::max(hull.high.x, high.x), std::max(hull.high.y, high.y), std::max(hull.high.z, high.z)};
    }
    return hull;
}

// Every face looking into one of the sealed rooms (in the rooms' own frame,
// before the turn) must stay; every face looking out of the hull must be
// found seen only from outside. Returns how many faces of each kind there were.
std::pair<int, int> ExpectFacesSorted(const Brushes& b, const OutsideFlood& flood, const std::vector<Room>& sealed,
                                      const Box& hull, double turnDegrees = 0) {
    int inner = 0, outer = 0;
    for (const auto& brush : b.faces)
        for (const FacePolygon& face : brush) {
            const MapVec ahead = TurnedAboutZ(Add(Centroid(face.points), face.plane.normal), -turnDegrees);
            const bool inRoom =
                std::any_of(sealed.begin(), sealed.end(), [&](const Room& r) { return WithinBox(ahead, r.low, r.high); });
            if (inRoom) {
                ++inner;
                EXPECT_FALSE(flood.SeenOnlyFromOutside(face.points, face.plane)) << "a face inside a room";
            } else if (!WithinBox(ahead, hull.low, hull.high)) {
                ++outer;
                EXPECT_TRUE(flood.SeenOnlyFromOutside(face.points, face.plane)) << "a face of the hull";
            }
        }
    return {inner, outer};
}

const Room kRoom{{0, 0, 0}, {256, 256, 128}, 16};
const MapVec kRoomMiddle{128, 128, 64};

TEST(OutsideFlood, SealedRoomKeepsItsInnerFacesAndDropsItsHull) {
    const Brushes b = Build(RoomWalls(kRoom));
    const OutsideFlood flood(b.volumes);
    EXPECT_FALSE(flood.Leak({kRoomMiddle}));
    EXPECT_TRUE(flood.AnyInside({kRoomMiddle}));
    const auto [inner, outer] = ExpectFacesSorted(b, flood, {kRoom}, Hull({kRoom}));
    EXPECT_EQ(inner, 6);
    EXPECT_EQ(outer, 2 * 5 + 2 * 3 + 2);  // the x walls show five faces, the y walls three, floor and ceiling one
}

// Walls thinner than a cell, on and off the cell grid, straight and turned.
TEST(OutsideFlood, ThinAndTurnedWallsSeal) {
    for (const double shift : {0.0, 7.0})
        for (const double turn : {0.0, 30.0}) {
            SCOPED_TRACE("shift " + std::to_string(shift) + ", turn " + std::to_string(turn));
            const Room room{{shift, shift, shift}, {shift + 256, shift + 256, shift + 128}, 4};
            const Brushes b = Build(RoomWalls(room), turn);
            const OutsideFlood flood(b.volumes);
            const MapVec middle = TurnedAboutZ(Scale(Add(room.low, room.high), 0.5), turn);
            EXPECT_FALSE(flood.Leak({middle}));
            EXPECT_TRUE(flood.AnyInside({middle}));
            ExpectFacesSorted(b, flood, {room}, Hull({room}), turn);
        }
}

// A crawl space narrower than two cells: its faces look only a short way
// ahead, not across it and through the thin wall beyond. Off the grid, no
// cell across it is empty, and its faces stay too.
TEST(OutsideFlood, NarrowRoomKeepsItsFaces) {
    for (const double shift : {0.0, 7.0}) {
        SCOPED_TRACE("shift " + std::to_string(shift));
        const Room duct{{shift, 0, 0}, {shift + 24, 256, 64}, 4};
        const Brushes b = Build(RoomWalls(duct));
        const OutsideFlood flood(b.volumes);
        EXPECT_FALSE(flood.Leak({{shift + 12, 128, 32}}));
        const auto [inner, outer] = ExpectFacesSorted(b, flood, {duct}, Hull({duct}));
        EXPECT_EQ(inner, 6);
    }
}

// A long slab under a small room: its top is the void's but for the room's
// floor in the middle of it, which the piece's middle and corners all miss.
TEST(OutsideFlood, FacePartlyInARoomStays) {
    const std::string walls = BoxBrush(-512, -48, -16, 512, 48, 0) + BoxBrush(112, -48, 0, 128, 48, 80) +
                              BoxBrush(192, -48, 0, 208, 48, 80) + BoxBrush(128, -48, 0, 192, -32, 80) +
                              BoxBrush(128, 32, 0, 192, 48, 80) + BoxBrush(128, -32, 64, 192, 32, 80);
    const Brushes b = Build(walls);
    const OutsideFlood flood(b.volumes);
    ASSERT_TRUE(flood.AnyInside({{160, 0, 32}}));
    const FacePolygon* top = nullptr;
    for (const FacePolygon& face : b.faces.at(0))
        if (face.plane.normal.z > 0.5) top = &face;
    ASSERT_NE(top, nullptr);
    EXPECT_FALSE(flood.SeenOnlyFromOutside(top->points, top->plane));
    // Its part beyond the room alone is the void's.
    const std::vector<MapVec> beyond{{-512, -48, 0}, {0, -48, 0}, {0, 48, 0}, {-512, 48, 0}};
    EXPECT_TRUE(flood.SeenOnlyFromOutside(beyond, top->plane));
}

TEST(OutsideFlood, HoleLeaksAlongCellsToTheBorder) {
    const Brushes b = Build(RoomWalls(kRoom, 32));
    const OutsideFlood flood(b.volumes);
    const MapVec inWall{-8, 128, 64};
    const std::optional<LeakPath> leak = flood.Leak({inWall, kRoomMiddle});
    ASSERT_TRUE(leak);
    EXPECT_EQ(leak->entity, 1u) << "the entity in the wall is neither in nor out";
    const std::vector<MapVec>& points = leak->points;
    ASSERT_GE(points.size(), 3u);
    EXPECT_DOUBLE_EQ(Length(Sub(points[0], kRoomMiddle)), 0.0);
    const double cell = flood.CellSize();
    for (const double d : {points[1].x - kRoomMiddle.x, points[1].y - kRoomMiddle.y, points[1].z - kRoomMiddle.z})
        EXPECT_LE(std::fabs(d), cell / 2) << "the first cell is the entity's own";
    for (std::size_t i = 1; i + 1 < points.size(); ++i)
        EXPECT_DOUBLE_EQ(Length(Sub(points[i + 1], points[i])), cell) << "step " << i;
    for (const BrushVolume& wall : b.volumes)
        for (const MapVec& p : points) EXPECT_FALSE(WithinBox(p, wall.low, wall.high)) << "the way crosses a wall";
    // The way ends on the grid's border, beyond every brush.
    const MapVec& end = points.back();
    const MapVec hullLow{-16, -16, -16}, hullHigh{272, 272, 144};
    const MapVec margin{cell / 4, cell / 4, cell / 4};
    EXPECT_FALSE(WithinBox(end, Sub(hullLow, margin), Add(hullHigh, margin)));
    // A leaking room has no inside: its faces look into the outside.
    EXPECT_FALSE(flood.AnyInside({kRoomMiddle}));
}

TEST(OutsideFlood, EntityInAWallOrBeyondTheMap) {
    const OutsideFlood sealed(Build(RoomWalls(kRoom)).volumes);
    EXPECT_FALSE(sealed.Leak({{-8, 128, 64}, {128, 128, 136}}));
    const std::optional<LeakPath> far = sealed.Leak({{-100000, 0, 0}});
    ASSERT_TRUE(far);
    EXPECT_EQ(far->points.size(), 2u) << "its origin, then the border cell nearest it";
}

TEST(OutsideFlood, RoomsSharingAWall) {
    const Room left{{0, 0, 0}, {256, 256, 128}, 16}, right{{272, 0, 0}, {528, 256, 128}, 16};
    const MapVec inLeft{128, 128, 64}, inRight{400, 128, 64};
    {
        const Brushes b = Build(RoomWalls(left) + RoomWalls(right));
        const OutsideFlood flood(b.volumes);
        EXPECT_FALSE(flood.Leak({inLeft, inRight}));
        const auto [inner, outer] = ExpectFacesSorted(b, flood, {left, right}, Hull({left, right}));
        EXPECT_EQ(inner, 2 * 6 + 2) << "each room's own faces, and the other's side of the shared wall";
        EXPECT_GT(outer, 0);
    }
    // A hole in the right room's far wall: the left one stays sealed.
    const Brushes b = Build(RoomWalls(left) + RoomWalls(right, 32));
    const OutsideFlood flood(b.volumes);
    const std::optional<LeakPath> leak = flood.Leak({inLeft, inRight});
    ASSERT_TRUE(leak);
    EXPECT_EQ(leak->entity, 1u);
    EXPECT_TRUE(flood.AnyInside({inLeft}));
    ExpectFacesSorted(b, flood, {left}, Hull({left, right}));
}

TEST(OutsideFlood, LargeMapOfManyRooms) {
    constexpr int kRoomsAcross = 16;
    constexpr double kPitch = 512;
    std::string text;
    std::vector<MapVec> origins;
    for (int i = 0; i < kRoomsAcross; ++i)
        for (int j = 0; j < kRoomsAcross; ++j) {
            const double x = -4096 + i * kPitch + 16, y = -4096 + j * kPitch + 16;
            text += RoomWalls({{x, y, 0}, {x + kPitch - 32, y + kPitch - 32, 256}, 16});
            origins.push_back({x + 200, y + 200, 100});
        }
    const Brushes b = Build(text);
    const OutsideFlood flood(b.volumes);
    EXPECT_FALSE(flood.Leak(origins));
    EXPECT_TRUE(flood.AnyInside({origins.back()}));
}

TEST(OutsideFlood, PointFileHasOnePointALine) {
    const std::string text = PointFileText({{8, -24.5, 40}, {24, -24.5, 40}});
    std::istringstream in(text);
    MapVec a, b;
    ASSERT_TRUE(in >> a.x >> a.y >> a.z >> b.x >> b.y >> b.z);
    EXPECT_EQ(text, "8 -24.5 40\n24 -24.5 40\n");
}

}  // namespace
