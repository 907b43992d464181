#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graphics/gl_texture.h"
#include "graphics/view_frustum.h"
#include "math/vec3.h"
#include "world/collision_packet.h"
#include "world/level_format.h"
#include "world/triangle_bounds.h"
#include "world/level_records.h"

struct TextureEntry {
    char name[kNameSize] = {};
    GlTexture glName;
};

// A zone of the options-menu level that changes a menu level while the
// player stands in it.
struct MenuTrigger {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    std::int32_t type = 0;
    float radius = 40.0f;
};

struct Crystal {
    Vec3 position;
    std::int32_t number = 0;  // 0..5 tone crystals, 6 the hint crystal
};

struct Corpse {
    Vec3 position;
    std::int32_t kind = 0;
};

struct AiNode {
    std::uint8_t used = 0;
    Vec3 position;
};

// Room of the AI node table.
constexpr int kMaxAiNodes = 200;
// The AI nodes of the loaded level (at most kMaxAiNodes).
extern std::vector<AiNode> aiNodes;

struct OctreeNode;

struct ViewTransform;

// The loaded level: geometry, entities and the records built from them.
class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Loads a level file and the AI node file of the level with the given
    // number in the level sequence. 0 on success; 1 file not found; 2 wrong
    // version; 3 a texture could not be loaded; 4 the file is damaged
    // (logged with an "**ERROR** " line). The enemies come back as the file
    // describes them: bringing them to life is the actors' part.
    // `readScenes`, when given, runs once the items are built and before the
    // other entities are read, where the level's scenes are read from the
    // entity table (the log then tells the load in its order).
    int Load(const char* path, int levelIndex, const std::function<void()>& readScenes = {});

    // What showing the view does to the world, once a step: the pulsing
    // lights step on while vertexLighting is on, and the frustum's world
    // corners and planes are rebuilt from the view (its projection corners
    // must be set) and kept in frameFrustum, which ray casts read. The
    // caller squares the camera (Camera::Reorthogonalise) before taking the
    // view from it.
    void StepView(const ViewTransform& view, ViewFrustum& frustum);
    // Draws the world's triangles that the frustum (its projection corners),
    // placed at the view, can see (through the octree unless drawWithOctree
    // is off), lit by their baked colours while vertexLighting is on.
    void Draw(const ViewTransform& view, const ViewFrustum& frustum);

    // The light nearest to pos (by truncated distance; the first of equals).
    // A level without lights answers pos itself.
    Vec3 NearestLight(const Vec3& pos) const;
    // A random deathmatch start; (1, 1, 1) with a log line when the level
    // has none.
    Vec3 PickDeathmatchStart() const;

    // The world's geometry: the triangles of entity 0.
    std::vector<WorldPolygon>& WorldTriangles();
    const std::vector<WorldPolygon>& WorldTriangles() const;

    std::vector<Corpse> corpses;
    std::vector<LevelEntity> entities;
    std::vector<TextureEntry> textures;
    std::vector<std::string> wads;
    char name[kNameSize] = {};
    WorldPolygon* polygonListHead = nullptr;
    WorldPolygon* polygonListTail = nullptr;
    std::unique_ptr<OctreeNode> octree;
    std::int32_t octreeNodeCount = 0;

    // How sweeps and casts keep each triangle to one test per pass, and the
    // number of the pass now running (see world/sweep.h).
    SweepMarking sweepMarking = SweepMarking::Stamp;
    // Sweeps and casts pass over triangles out of their reach by their
    // bounds; off, every listed triangle gets the full test, with the same
    // results, only slower.
    bool sweepPruning = true;
    std::uint32_t sweepPass = 0;
    // By world triangle: its box, and the pass that last tested it.
    std::vector<TriangleBounds> triangleBounds;
    std::vector<std::uint32_t> sweepMarks;
    // The view frustum of the last drawn frame; ray casts read it.
    ViewFrustum frameFrustum;

    CollisionPacket* currentPacket = nullptr;
    CollisionPacket playerPacket;
    CollisionPacket sparePacket;
    std::array<CollisionPacket, kEnemyPackets> enemyPackets;

    // The level's enemies (at most kMaxEnemies) and pickups, rebuilt by
    // every load.
    std::vector<Enemy> enemies;
    std::vector<Item> items;
    std::vector<MenuTrigger> menuTriggers;
    // Origin of the level's exit; only meaningful when hasLevelEnd is set,
    // so a level without an exit entity cannot be left by walking.
    Vec3 levelEnd;
    bool hasLevelEnd = false;
    std::vector<Vec3> lights;
    // The way the hero faces at the player start, when it gives an "angle"
    // (the camera starts so, and the hero at every start there).
    std::optional<Vec3> startFacing;
    std::vector<Vec3> deathmatchStarts;
    std::vector<Crystal> crystals;
    Vec3 forceField;
    // A level without a "ForceField" entity has no field and no sparks.
    bool hasForceField = false;
    // Origins of the "Fountain" entities, in file order.
    std::vector<Vec3> fountains;
    std::int32_t correctCrystals[3] = {};
    std::int32_t wrongCrystals[3] = {};
};
