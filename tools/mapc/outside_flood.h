#pragma once
// The void outside a level, found by flooding a grid of cells from its
// border: cells a sealing brush reaches into are solid, every other cell the
// flood reaches is outside, and the empty cells it cannot reach are inside.
// An entity in an outside cell means the level leaks; a face whose front is
// outside, and nowhere inside, is seen only from the void.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hidden_faces.h"

// The way from a leaking entity out of the level: its origin, then the
// centres of the cells from its own to one on the grid's border.
struct LeakPath {
    std::size_t entity = 0;  // index into the origins asked about
    std::vector<MapVec> points;
};

class OutsideFlood {
public:
    // Floods the grid over the brushes' bounds (editor coordinates) plus a
    // margin of empty cells.
    explicit OutsideFlood(const std::vector<BrushVolume>& sealing);

    // The first of `origins` (in order) that lies outside, with its way out.
    // Origins in solid cells are neither inside nor outside and are skipped.
    std::optional<LeakPath> Leak(const std::vector<MapVec>& origins) const;
    // True when one of `origins` lies in an empty cell the outside does not reach.
    bool AnyInside(const std::vector<MapVec>& origins) const;

    // True when a piece of a face (convex polygon on `plane`, normal to its
    // front) can be seen only from outside: what lies just in front of it is
    // outside or solid, and none of it is inside.
    bool SeenOnlyFromOutside(const std::vector<MapVec>& piece, const Plane& plane) const;

    double CellSize() const { return cell; }

private:
    enum class Region { Solid, Outside, Inside };
    struct CellCoord {
        long x = 0, y = 0, z = 0;
    };

    void MarkSolid(const BrushVolume& brush);
    void FillRow(const BrushVolume& brush, long y, long z, long fromX, long toX);
    void Flood();
    bool Contains(const CellCoord& c) const;
    std::size_t Index(const CellCoord& c) const;
    CellCoord CellOf(const MapVec& p) const;
    CellCoord Clamped(const CellCoord& c) const;
    MapVec Centre(const CellCoord& c) const;
    Region RegionAt(const MapVec& p) const;
    Region RegionOf(const CellCoord& c) const;
    // The region of the first cell that is not solid, a short way in front
    // of a point on a face; Solid when there is none within a cell.
    Region RegionInFront(const MapVec& onFace, const Plane& plane) const;
    std::vector<MapVec> WayOut(CellCoord from) const;

    double cell = 0;
    MapVec origin;  // the low corner of cell (0, 0, 0)
    long size[3] = {0, 0, 0};
    // One byte a cell: empty, solid, a border cell, or outside with the
    // direction of the neighbour the flood came from.
    std::vector<std::uint8_t> cells;
};

// A point file (one "x y z" a line) as editors load it to show a leak.
std::string PointFileText(const std::vector<MapVec>& points);
