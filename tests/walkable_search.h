#pragma once
// Where the hero can walk in a level, found with the game's own collision:
// from a start, steps in eight directions (a jump where a ledge stops the
// walk), each followed by a fall to the floor, over every place reached. Steps that fall out of the world are
// recorded. A filter can close places (a force field that is up). Moves go
// in pieces no longer than the hero's frame steps and falls in gravity's
// steps, as the game moves him: the collision looks for walls only in the
// octree boxes around each piece's ends.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

#include "world/collision_packet.h"
#include "world/octree.h"
#include "world/sweep.h"
#include "world/world.h"

class WalkableSearch {
public:
    static constexpr float kStep = 48.0f;
    static constexpr float kFallProbe = 1500.0f;
    static constexpr float kWalkPiece = 16.0f;  // about a frame's walk
    static constexpr float kFallPiece = 30.0f;  // gravity's step
    // A jump lifts the hero about 100 units (five frames of 50 up against
    // gravity's 30); the search asks a little less of it.
    static constexpr float kJumpRise = 80.0f;
    static constexpr std::size_t kMostPlaces = 60000;

    explicit WalkableSearch(World& world, std::function<bool(const Vec3&)> closed = {})
        : world(world), closed(std::move(closed)) {}

    // Places lie on a lattice of kStep around the start; a step walks to a
    // neighbouring lattice point and counts when it arrives there (a wall
    // stops or deflects it).
    void From(const Vec3& start) {
        origin = start;
        std::vector<Place> queue;
        Visit({Drop(start), 0, 0}, queue);
        for (std::size_t next = 0; next < queue.size() && places.size() < kMostPlaces; ++next) {
            const Place at = queue[next];
            for (int di = -1; di <= 1; ++di) {
                for (int dj = -1; dj <= 1; ++dj) {
                    if (di == 0 && dj == 0) continue;
                    const long i = at.i + di, j = at.j + dj;
                    const Vec3 target(origin.x + i * kStep, at.position.y, origin.z + j * kStep);
                    Vec3 moved = Move(at.position, Vec3(target.x - at.position.x, 0.0f, target.z - at.position.z));
                    if (!Arrived(moved, target)) moved = JumpTowards(at.position, target);
                    if (!Arrived(moved, target)) continue;
                    const Vec3 landed = Drop(moved);
                    if (moved.y - landed.y > kFallProbe - kFallPiece) {
                        falls.push_back(moved);
                        continue;
                    }
                    if (closed && closed(landed)) continue;
                    Visit({landed, i, j}, queue);
                }
            }
        }
    }

    // A place reached from which one straight walk ends within `reach` of
    // the target (3D distance from the hero's centre).
    bool Reaches(const Vec3& target, float reach) {
        for (const Vec3& from : places) {
            if (from.Distance(target) < reach) return true;
            if (std::hypot(from.x - target.x, from.z - target.z) > 4.0f * kStep) continue;
            if (std::fabs(from.y - target.y) > 4.0f * kStep) continue;
            const Vec3 walked = Move(from, Vec3(target.x - from.x, 0.0f, target.z - from.z));
            const Vec3 landed = Move(walked, {0.0f, -kStep, 0.0f});
            if (landed.Distance(target) < reach && !(closed && closed(landed))) return true;
        }
        return false;
    }

    std::vector<Vec3> places;
    std::vector<Vec3> falls;

private:
    static bool Arrived(const Vec3& at, const Vec3& target) {
        return std::hypot(at.x - target.x, at.z - target.z) <= kStep * 0.25f;
    }
    // Up a ledge the walk could not pass: rise, then go on at that height.
    Vec3 JumpTowards(const Vec3& from, const Vec3& target) {
        const Vec3 risen = Move(from, {0.0f, kJumpRise, 0.0f});
        return Move(risen, Vec3(target.x - risen.x, 0.0f, target.z - risen.z));
    }
    Vec3 Sweep(const Vec3& from, const Vec3& by) {
        world.currentPacket = &world.playerPacket;
        world.playerPacket.hasSafePosition = false;
        return SweepSphere(world, from, by, kMoverPlayer);
    }
    // A walk in frame-sized pieces.
    Vec3 Move(const Vec3& from, const Vec3& by) {
        if (by.y < 0.0f && by.x == 0.0f && by.z == 0.0f) return Fall(from, -by.y);
        const int pieces = std::max(1, static_cast<int>(std::ceil(by.Length() / kWalkPiece)));
        const Vec3 piece(by.x / pieces, by.y / pieces, by.z / pieces);
        Vec3 at = from;
        for (int i = 0; i < pieces; ++i) at = Sweep(at, piece);
        return at;
    }
    // Down in gravity's steps until a floor holds him, or `most` units. On a
    // ramp gravity only slides him a little way down it each step (which the
    // walk up outpaces in the game), so a step that drops less than half of
    // gravity's lands him.
    Vec3 Fall(const Vec3& from, float most) {
        Vec3 at = from;
        for (float fallen = 0.0f; fallen < most; fallen += kFallPiece) {
            const Vec3 next = Sweep(at, {0.0f, -kFallPiece, 0.0f});
            const bool landed = at.y - next.y < 0.5f * kFallPiece;
            at = next;
            if (landed) break;
        }
        return at;
    }
    Vec3 Drop(const Vec3& at) { return Fall(at, kFallProbe); }
    struct Place {
        Vec3 position;
        long i, j;  // on the lattice around the start
    };
    void Visit(const Place& at, std::vector<Place>& queue) {
        if (!seen.insert(std::make_tuple(at.i, at.j, std::lround(at.position.y / kStep))).second) return;
        places.push_back(at.position);
        queue.push_back(at);
    }

    World& world;
    std::function<bool(const Vec3&)> closed;
    std::set<std::tuple<long, long, long>> seen;
    Vec3 origin;
};
