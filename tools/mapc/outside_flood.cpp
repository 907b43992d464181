#include "outside_flood.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Cells start at this size and grow (16, 24, 32, 48, 64, ...) until the grid
// holds at most kMostCells, a byte each: a map 16384 units wide and 4096
// high gets 48-unit cells, the editor's whole space (16384 units every way)
// 64-unit ones.
constexpr double kFinestCell = 16.0;
constexpr double kMostCells = 18.0 * 1024 * 1024;
// Empty cells around the brushes' bounds: the flood starts from all of them
// and reaches around every brush.
constexpr long kMarginCells = 1;
// How deep a brush must reach into a cell to fill it: the rounding of map
// coordinates. A brush merely touching a cell (a face flush with the cell's
// side) leaves it empty; otherwise every wall on the grid would grow a cell
// on each side, and a 32-unit gap on the grid would close.
constexpr double kPenetration = 0.01;

// A sample's first look is this far in front of the face, past the face's
// own plane; the next are half a cell and a cell further.
constexpr double kNudge = 0.5;
// Samples are pulled this far in from a piece's corners, towards its middle.
constexpr double kPullIn = 1.0;
// Columns of samples per axis at most, for the largest faces (a sky's).
constexpr double kMostSamplesAcross = 512.0;
// A normal this close to an axis faces along it.
constexpr double kAxial = 1.0 - 1e-9;

constexpr std::uint8_t kEmpty = 0;
constexpr std::uint8_t kSolid = 1;
constexpr std::uint8_t kBorder = 2;    // outside, where the flood began
constexpr std::uint8_t kCameFrom = 3;  // outside; plus the direction back towards the border

// The six neighbours; direction d ^ 1 is the opposite of d.
constexpr long kSteps[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};

double Axis(const MapVec& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

bool IsFinite(const MapVec& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool HasUsableBox(const BrushVolume& b) {
    return IsFinite(b.low) && IsFinite(b.high) && b.low.x <= b.high.x && b.low.y <= b.high.y && b.low.z <= b.high.z;
}

// The cell size after `step` growths: 16, 24, 32, 48, 64, 96, ...
double CellSizeAt(int step) { return std::ldexp(kFinestCell * (step % 2 ? 1.5 : 1.0), step / 2); }

// A cell index along one axis from a double, kept in a range where the
// conversion to long is defined.
long ToCell(double at) { return static_cast<long>(std::clamp(at, -2.0, kMostCells + 2.0)); }

// ToCell(std::floor(at)), without calling floor() (a library call on plain
// x86-64): cells are looked up millions of times. `at` must not be NaN.
long FloorToCell(double at) {
    at = std::clamp(at, -2.0, kMostCells + 2.0);
    const long truncated = static_cast<long>(at);
    return truncated - (static_cast<double>(truncated) > at ? 1 : 0);
}

int DominantAxis(const MapVec& n) {
    const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    return ax >= ay && ax >= az ? 0 : (ay >= az ? 1 : 2);
}

MapVec WithAxes(int a, double va, int b, double vb, int c, double vc) {
    double v[3] = {0, 0, 0};
    v[a] = va;
    v[b] = vb;
    v[c] = vc;
    return {v[0], v[1], v[2]};
}

// True when (u, v) lies in the convex polygon given by its corners'
// coordinates on the two axes, or on its edge; either winding.
bool InConvex(const std::vector<double>& us, const std::vector<double>& vs, double u, double v) {
    bool below = false, above = false;
    const std::size_t n = us.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const double cross = (us[j] - us[i]) * (v - vs[i]) - (vs[j] - vs[i]) * (u - us[i]);
        below = below || cross < 0;
        above = above || cross > 0;
    }
    return !(below && above);
}

// A piece as seen along its normal's main axis w: its corners on the other
// two axes a and b.
struct Projection {
    int w = 2, a = 0, b = 1;
    std::vector<double> us, vs;
    double uLow = 0, uHigh = 0, vLow = 0, vHigh = 0;
};

Projection Project(const std::vector<MapVec>& piece, const MapVec& normal) {
    Projection p;
    p.w = DominantAxis(normal);
    p.a = (p.w + 1) % 3;
    p.b = (p.w + 2) % 3;
    for (const MapVec& v : piece) {
        p.us.push_back(Axis(v, p.a));
        p.vs.push_back(Axis(v, p.b));
    }
    p.uLow = *std::min_element(p.us.begin(), p.us.end());
    p.uHigh = *std::max_element(p.us.begin(), p.us.end());
    p.vLow = *std::min_element(p.vs.begin(), p.vs.end());
    p.vHigh = *std::max_element(p.vs.begin(), p.vs.end());
    return p;
}

// Calls `visit` with points on the piece until it returns false: the
// centroid, the corners pulled in, and points in every column of cells
// (along the main axis) the piece crosses. Facing along an axis, a piece
// looks into the same cells from anywhere in a column, so one point a column
// does: the column's middle, or the point of the piece's box nearest it.
// Where that misses the piece (along a slanted edge), and for slanted
// pieces, four points a column stand in. Returns false when `visit` did.
template <typename Visit>
bool VisitSamples(const std::vector<MapVec>& piece, const Plane& plane, const MapVec& gridOrigin, double cell,
                  Visit&& visit) {
    MapVec centre;
    for (const MapVec& p : piece) centre = Add(centre, p);
    centre = Scale(centre, 1.0 / static_cast<double>(piece.size()));
    if (!visit(centre)) return false;
    for (const MapVec& p : piece) {
        const double toCentre = Length(Sub(centre, p));
        const double t = toCentre > 0 ? std::min(0.5, kPullIn / toCentre) : 0.0;
        if (!visit(Add(p, Scale(Sub(centre, p), t)))) return false;
    }
    const Projection pr = Project(piece, plane.normal);
    const double nw = Axis(plane.normal, pr.w), na = Axis(plane.normal, pr.a), nb = Axis(plane.normal, pr.b);
    const bool axial = std::fabs(nw) > kAxial;
    const double step =
        std::max({cell, (pr.uHigh - pr.uLow) / kMostSamplesAcross, (pr.vHigh - pr.vLow) / kMostSamplesAcross});
    const double ou = Axis(gridOrigin, pr.a), ov = Axis(gridOrigin, pr.b);
    const double uInset = std::min(kPullIn, (pr.uHigh - pr.uLow) / 2), vInset = std::min(kPullIn, (pr.vHigh - pr.vLow) / 2);
    auto pointAt = [&](double u, double v) {
        return WithAxes(pr.a, u, pr.b, v, pr.w, (plane.dist - na * u - nb * v) / nw);
    };
    for (double i = std::floor((pr.uLow - ou) / step); i * step + ou < pr.uHigh; ++i)
        for (double j = std::floor((pr.vLow - ov) / step); j * step + ov < pr.vHigh; ++j) {
            const double u = std::clamp(ou + (i + 0.5) * step, pr.uLow + uInset, pr.uHigh - uInset);
            const double v = std::clamp(ov + (j + 0.5) * step, pr.vLow + vInset, pr.vHigh - vInset);
            if (axial && InConvex(pr.us, pr.vs, u, v)) {
                if (!visit(pointAt(u, v))) return false;
                continue;
            }
            for (const double du : {0.25, 0.75})
                for (const double dv : {0.25, 0.75}) {
                    const double su = ou + (i + du) * step, sv = ov + (j + dv) * step;
                    if (InConvex(pr.us, pr.vs, su, sv) && !visit(pointAt(su, sv))) return false;
                }
        }
    return true;
}

}  // namespace

OutsideFlood::OutsideFlood(const std::vector<BrushVolume>& sealing) {
    cell = kFinestCell;
    bool any = false;
    MapVec low, high;
    for (const BrushVolume& b : sealing) {
        if (!HasUsableBox(b)) continue;
        low = any ? MapVec{std::min(low.x, b.low.x), std::min(low.y, b.low.y), std::min(low.z, b.low.z)} : b.low;
        high = any ? MapVec{std::max(high.x, b.high.x), std::max(high.y, b.high.y), std::max(high.z, b.high.z)} : b.high;
        any = true;
    }
    if (!any) return;
    // The grid's cells lie on multiples of the cell size, as the editor's
    // grid does, so walls on that grid fill whole cells.
    double first[3] = {0, 0, 0}, across[3] = {0, 0, 0};
    for (int step = 0;; ++step) {
        cell = CellSizeAt(step);
        for (int axis = 0; axis < 3; ++axis) {
            first[axis] = std::floor(Axis(low, axis) / cell) - kMarginCells;
            const double last = std::ceil(Axis(high, axis) / cell) + kMarginCells;
            across[axis] = std::max(last - first[axis], 1.0 + 2 * kMarginCells);
        }
        if (across[0] * across[1] * across[2] <= kMostCells) break;
    }
    origin = {first[0] * cell, first[1] * cell, first[2] * cell};
    for (int axis = 0; axis < 3; ++axis) size[axis] = static_cast<long>(across[axis]);
    cells.assign(static_cast<std::size_t>(size[0] * size[1] * size[2]), kEmpty);
    for (const BrushVolume& b : sealing)
        if (HasUsableBox(b)) MarkSolid(b);
    Flood();
}

bool OutsideFlood::Contains(const CellCoord& c) const {
    return c.x >= 0 && c.y >= 0 && c.z >= 0 && c.x < size[0] && c.y < size[1] && c.z < size[2];
}

std::size_t OutsideFlood::Index(const CellCoord& c) const {
    return static_cast<std::size_t>((c.z * size[1] + c.y) * size[0] + c.x);
}

OutsideFlood::CellCoord OutsideFlood::CellOf(const MapVec& p) const {
    const double perUnit = 1.0 / cell;
    return {FloorToCell((p.x - origin.x) * perUnit), FloorToCell((p.y - origin.y) * perUnit),
            FloorToCell((p.z - origin.z) * perUnit)};
}

OutsideFlood::CellCoord OutsideFlood::Clamped(const CellCoord& c) const {
    return {std::clamp(c.x, 0L, size[0] - 1), std::clamp(c.y, 0L, size[1] - 1), std::clamp(c.z, 0L, size[2] - 1)};
}

MapVec OutsideFlood::Centre(const CellCoord& c) const {
    return {origin.x + (c.x + 0.5) * cell, origin.y + (c.y + 0.5) * cell, origin.z + (c.z + 0.5) * cell};
}

// Cells the brush may reach into by more than kPenetration: those of its box
// that no plane of the brush leaves wholly in front (within kPenetration).
// That over-marks near slanted edges, which only makes the outside smaller:
// it can close a narrow real gap, but never open a wall or make a face seen
// from inside look outside.
void OutsideFlood::MarkSolid(const BrushVolume& brush) {
    long from[3], to[3];
    for (int axis = 0; axis < 3; ++axis) {
        const double o = Axis(origin, axis);
        from[axis] = std::max(0L, ToCell(std::floor((Axis(brush.low, axis) + kPenetration - o) / cell)));
        to[axis] = std::min(size[axis] - 1, ToCell(std::ceil((Axis(brush.high, axis) - kPenetration - o) / cell)) - 1);
        if (from[axis] > to[axis]) return;
    }
    for (long z = from[2]; z <= to[2]; ++z)
        for (long y = from[1]; y <= to[1]; ++y) FillRow(brush, y, z, from[0], to[0]);
}

// One row of cells along x: each plane bounds the cells it lets the brush
// reach into from one side, so the row is one run of solid cells.
void OutsideFlood::FillRow(const BrushVolume& brush, long y, long z, long fromX, long toX) {
    const double half = cell / 2;
    const double cy = origin.y + (y + 0.5) * cell, cz = origin.z + (z + 0.5) * cell;
    double low = static_cast<double>(fromX), high = static_cast<double>(toX);
    for (const Plane& p : brush.planes) {
        const MapVec& n = p.normal;
        // The brush reaches into the cell centred at cx when
        // n.x * cx + n.y * cy + n.z * cz - half * |n|1 < dist - kPenetration.
        const double limit =
            p.dist - kPenetration + half * (std::fabs(n.x) + std::fabs(n.y) + std::fabs(n.z)) - n.y * cy - n.z * cz;
        if (std::fabs(n.x) < 1e-12) {
            if (!(limit > 0)) return;
            continue;
        }
        const double at = (limit / n.x - origin.x) / cell - 0.5;  // cell index whose centre is on the bound
        if (n.x > 0) high = std::min(high, std::ceil(at) - 1);
        else low = std::max(low, std::floor(at) + 1);
        if (!(low <= high)) return;
    }
    const std::size_t row = Index({0, y, z});
    std::fill(cells.begin() + static_cast<std::ptrdiff_t>(row + static_cast<std::size_t>(low)),
              cells.begin() + static_cast<std::ptrdiff_t>(row + static_cast<std::size_t>(high) + 1), kSolid);
}

// Breadth first from every empty border cell, one layer at a time, so each
// outside cell's way back leads to its nearest border cell. The border cells
// are all in the first layer; later layers hold only inner cells, whose six
// neighbours all lie on the grid.
void OutsideFlood::Flood() {
    const long stride[6] = {1, -1, size[0], -size[0], size[0] * size[1], -size[0] * size[1]};
    std::vector<std::size_t> frontier, next;
    for (long z = 0; z < size[2]; ++z)
        for (long y = 0; y < size[1]; ++y) {
            const bool wholeRow = z == 0 || y == 0 || z == size[2] - 1 || y == size[1] - 1;
            for (long x = 0; x < size[0]; x = (wholeRow || x == size[0] - 1) ? x + 1 : size[0] - 1) {
                const std::size_t i = Index({x, y, z});
                if (cells[i] != kEmpty) continue;
                cells[i] = kBorder;
                frontier.push_back(i);
            }
        }
    auto reach = [&](std::size_t from, int d) {
        const std::size_t to = static_cast<std::size_t>(static_cast<long>(from) + stride[d]);
        if (cells[to] != kEmpty) return;
        cells[to] = static_cast<std::uint8_t>(kCameFrom + (d ^ 1));
        next.push_back(to);
    };
    for (const std::size_t i : frontier) {
        const long x = static_cast<long>(i) % size[0], y = static_cast<long>(i) / size[0] % size[1],
                   z = static_cast<long>(i) / (size[0] * size[1]);
        for (int d = 0; d < 6; ++d)
            if (Contains({x + kSteps[d][0], y + kSteps[d][1], z + kSteps[d][2]})) reach(i, d);
    }
    while (!next.empty()) {
        frontier.swap(next);
        next.clear();
        for (const std::size_t i : frontier)
            for (int d = 0; d < 6; ++d) reach(i, d);
    }
}

OutsideFlood::Region OutsideFlood::RegionAt(const MapVec& p) const {
    if (!IsFinite(p)) return Region::Solid;  // says nothing
    return RegionOf(CellOf(p));
}

OutsideFlood::Region OutsideFlood::RegionOf(const CellCoord& c) const {
    if (!Contains(c)) return Region::Outside;  // beyond every brush
    const std::uint8_t state = cells[Index(c)];
    if (state == kSolid) return Region::Solid;
    return state == kEmpty ? Region::Inside : Region::Outside;
}

std::vector<MapVec> OutsideFlood::WayOut(CellCoord from) const {
    std::vector<MapVec> points;
    // Each step leads one layer nearer the border: no more steps than cells.
    for (std::size_t steps = 0; steps <= cells.size(); ++steps) {
        points.push_back(Centre(from));
        const std::uint8_t state = cells[Index(from)];
        if (state < kCameFrom) break;
        const long* step = kSteps[state - kCameFrom];
        from = {from.x + step[0], from.y + step[1], from.z + step[2]};
    }
    return points;
}

std::optional<LeakPath> OutsideFlood::Leak(const std::vector<MapVec>& origins) const {
    for (std::size_t e = 0; e < origins.size(); ++e) {
        const MapVec& at = origins[e];
        if (!IsFinite(at)) continue;
        if (cells.empty()) return LeakPath{e, {at}};  // nothing seals anything
        // Only the entity's own cell counts: one in a cell a brush reaches
        // into (a light set into a wall, or a few units from it) is skipped
        // rather than judged by a neighbour, which might lie on the wall's
        // far side.
        const Region region = RegionAt(at);
        if (region != Region::Outside) continue;
        LeakPath leak{e, {at}};
        const std::vector<MapVec> way = WayOut(Clamped(CellOf(at)));
        leak.points.insert(leak.points.end(), way.begin(), way.end());
        return leak;
    }
    return std::nullopt;
}

bool OutsideFlood::AnyInside(const std::vector<MapVec>& origins) const {
    return std::any_of(origins.begin(), origins.end(),
                       [&](const MapVec& p) { return !cells.empty() && RegionAt(p) == Region::Inside; });
}

// Looks along the normal: just past the face, then half a cell and a cell
// (along the normal's main axis) further, which leaves the face's own cell
// without skipping a cell on the way. Further would look past thin walls.
OutsideFlood::Region OutsideFlood::RegionInFront(const MapVec& onFace, const Plane& plane) const {
    const double reach = cell / std::max({std::fabs(plane.normal.x), std::fabs(plane.normal.y), std::fabs(plane.normal.z)});
    CellCoord last{-1, -1, -1};
    for (const double ahead : {kNudge, kNudge + reach / 2, kNudge + reach}) {
        const MapVec p = Add(onFace, Scale(plane.normal, ahead));
        if (!IsFinite(p)) return Region::Solid;  // says nothing
        const CellCoord c = CellOf(p);
        if (c.x == last.x && c.y == last.y && c.z == last.z) continue;
        last = c;
        const Region region = RegionOf(c);
        if (region != Region::Solid) return region;
    }
    return Region::Solid;
}

// Samples the piece at its middle, its corners pulled in, and in every
// column of cells it crosses (see VisitSamples), then looks at
// the first cell in front of each that is not solid. One that is inside
// keeps the piece: someone in the level may stand in front of it. Solid
// cells say nothing. The piece is left out only when some sample looks into
// the outside and none into the inside. That is safe: an empty cell next to
// an outside one is outside itself, so solid cells part the inside from all
// that is sampled as outside, and nobody in the level stands there (where an
// entity does, the level leaks, and a level that leaks keeps every face).
// Looking no more than about a cell ahead keeps a sample from reaching past
// a wall in front of the piece. What the grid cannot tell apart is a space
// narrower than a cell, which lies in solid cells and says nothing.
bool OutsideFlood::SeenOnlyFromOutside(const std::vector<MapVec>& piece, const Plane& plane) const {
    if (cells.empty() || piece.size() < 3 || !IsFinite(plane.normal) || !std::isfinite(plane.dist)) return false;
    if (Length(plane.normal) < 0.5 || !std::all_of(piece.begin(), piece.end(), IsFinite)) return false;
    bool outside = false;
    const bool noneInside = VisitSamples(piece, plane, origin, cell, [&](const MapVec& sample) {
        const Region region = RegionInFront(sample, plane);
        outside = outside || region == Region::Outside;
        return region != Region::Inside;
    });
    return noneInside && outside;
}

std::string PointFileText(const std::vector<MapVec>& points) {
    std::string out;
    char line[128];
    for (const MapVec& p : points) {
        std::snprintf(line, sizeof line, "%.10g %.10g %.10g\n", p.x, p.y, p.z);
        out += line;
    }
    return out;
}
