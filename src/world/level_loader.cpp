// Reading a level file and its AI node file into the World.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/debug_log.h"
#include "graphics/textures.h"
#include "progress/progress_window.h"
#include "world/entities.h"
#include "world/level_reader.h"
#include "world/level_text.h"
#include "world/level_records.h"
#include "world/octree.h"
#include "world/world.h"
#include "world/world_render.h"

namespace {

constexpr char kLoaderTitle[] = "Initializing Drelix System";
constexpr int kVerticesPerTriangle = 3;

// The level's textures by name from gfx/, in the order of the file.
int LoadTextures(World& world, const std::vector<std::string>& names) {
    world.textures.clear();
    world.textures.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        TextureEntry& entry = world.textures[i];
        std::snprintf(entry.name, sizeof entry.name, "%s", names[i].c_str());
        const Surface surface = SurfaceOfTextureName(entry.name);
        if (surface == Surface::Undrawn) continue;  // never drawn: no picture to load
        // A marked name's picture is the one of the name without its mark.
        const std::string file = surface == Surface::Solid ? names[i] : names[i].substr(1);
        const std::string texturePath = "gfx/" + file + ".bmp";
        glBindTexture(GL_TEXTURE_2D, entry.glName.Generate());
        if (!LoadLevelTexture(texturePath.c_str(), GL_LINEAR_MIPMAP_LINEAR, GL_REPEAT)) {
            DebugLog() << texturePath << " not found\n";
            return kLevelTextureMissing;
        }
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    DebugLog() << names.size() << " Textures Loaded\n";
    return kLevelLoadOk;
}

WorldPolygon TriangleFrom(const SourcePolygon& polygon, int a, int b, int c, int id) {
    WorldPolygon t;
    const int corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        const WorldVertex& from = polygon.vertices[corners[i]];
        WorldVertex& to = t.vertices[i];
        to.x = from.x;
        to.y = from.y;
        to.z = from.z;
        to.u = from.u;
        to.v = from.v;
    }
    t.texture = polygon.texture;
    std::memcpy(t.plane, polygon.plane, sizeof t.plane);
    t.vertexCount = kVerticesPerTriangle;
    t.normal = {polygon.plane[0], polygon.plane[1], polygon.plane[2]};
    t.planeD = polygon.plane[3];
    t.indexCount = kVerticesPerTriangle;
    t.id = id;
    return t;
}

// Splits every polygon into a fan of triangles (0, k+1, k+2).
void TriangulateEntity(LevelEntity& entity, const std::vector<SourcePolygon>& polygons) {
    const int polygonCount = static_cast<int>(polygons.size());
    std::size_t total = 0;
    for (const SourcePolygon& p : polygons) {
        if (p.vertices.size() >= kVerticesPerTriangle) total += p.vertices.size() - 2;
    }
    progressWindow.SetTask("Creating Triangles");
    std::vector<WorldPolygon> triangles;
    triangles.reserve(total);
    for (int i = 0; i < polygonCount; ++i) {
        const SourcePolygon& p = polygons[i];
        const int n = static_cast<int>(p.vertices.size());
        for (int k = 0; k + 2 < n; ++k)
            triangles.push_back(TriangleFrom(p, 0, k + 1, k + 2, static_cast<int>(triangles.size())));
        progressWindow.SetPosition(i * 100 / polygonCount);
    }
    DebugLog() << entity.className << "'s " << polygonCount << " Polygons split into " << total
               << " Triangles\n";
    entity.polygons = std::move(triangles);
}

void Triangulate(World& world, std::vector<std::vector<SourcePolygon>>& sourcePolygons) {
    progressWindow.SetTask("Create Indexed Triangles");
    for (std::size_t i = 0; i < world.entities.size(); ++i) {
        if (sourcePolygons[i].empty()) continue;
        TriangulateEntity(world.entities[i], sourcePolygons[i]);
        sourcePolygons[i].clear();
        sourcePolygons[i].shrink_to_fit();
    }
}

// The AI node file of a level by its number in the level sequence.
const char* AiFileFor(int index) {
    switch (index) {
        case 4: return "levels/Level2.ai";
        case 5: return "levels/Level4.ai";
        default: return "levels/Level1.ai";
    }
}

void ReadAiNodes(int levelIndex) {
    aiNodes.clear();
    DebugLog() << "Opening AI File for level " << levelIndex << '\n';
    const char* path = AiFileFor(levelIndex);
    LevelReader reader(path);
    if (!reader.IsOpen()) {
        DebugLog() << "**ERROR** " << path << " not found: the enemies have no AI nodes\n";
        return;
    }
    char line[kLineSize];
    while (reader.ReadLine(line) && line[0] != 'E') {
        if (static_cast<int>(aiNodes.size()) == kMaxAiNodes) {
            DebugLog() << "**ERROR** " << path << " holds more than " << kMaxAiNodes
                       << " nodes: the rest are ignored\n";
            break;
        }
        AiNode node;
        if (std::sscanf(line, "%f %f %f", &node.position.x, &node.position.y, &node.position.z) != 3) {
            DebugLog() << "**ERROR** " << path << " line " << reader.LineNumber()
                       << ": an AI node needs three numbers\n";
            continue;
        }
        if (!InsideWorldRange(node.position)) {
            DebugLog() << "**ERROR** " << path << " line " << reader.LineNumber()
                       << ": an AI node is not a point of the world (finite numbers within "
                       << static_cast<long>(kWorldExtent) << " of 0); it is left out\n";
            continue;
        }
        node.used = 1;
        aiNodes.push_back(node);
    }
}

// Each world triangle learns from its texture's name whether it blocks and
// how it is drawn; one log line counts the triangles that are not ordinary.
void MarkSurfaces(World& world) {
    int liquid = 0, passable = 0, undrawn = 0;
    for (WorldPolygon& t : world.WorldTriangles()) {
        const bool known = t.texture >= 0 && static_cast<std::size_t>(t.texture) < world.textures.size();
        t.surface = known ? SurfaceOfTextureName(world.textures[t.texture].name) : Surface::Solid;
        liquid += t.surface == Surface::Liquid ? 1 : 0;
        passable += t.surface == Surface::Passable ? 1 : 0;
        undrawn += t.surface == Surface::Undrawn ? 1 : 0;
    }
    if (liquid + passable + undrawn == 0) return;
    DebugLog() << "Surfaces: " << liquid << " liquid, " << passable << " not solid, " << undrawn
               << " not drawn triangles\n";
}

void ClearPulseMarks(World& world) {
    for (WorldPolygon& t : world.WorldTriangles()) {
        for (WorldVertex& v : t.vertices) v.pulseSlow = v.pulseFast = 0;
    }
}

void LinkPolygonList(World& world) {
    progressWindow.SetTask("Initialize Linked List");
    world.polygonListHead = world.polygonListTail = nullptr;
    std::vector<WorldPolygon>& triangles = world.WorldTriangles();
    const std::size_t count = triangles.size();
    for (std::size_t i = 0; i < count; ++i) {
        WorldPolygon& t = triangles[i];
        t.next = nullptr;
        if (world.polygonListTail) world.polygonListTail->next = &t;
        else world.polygonListHead = &t;
        world.polygonListTail = &t;
        progressWindow.SetPosition(static_cast<int>(i * 100 / count));
    }
    DebugLog() << "All Polygons initialized into Linked List\n";
}

void ResetCollisionPackets(World& world) {
    world.playerPacket = CollisionPacket{};
    world.sparePacket = CollisionPacket{};
    for (CollisionPacket& packet : world.enemyPackets) packet = CollisionPacket{};
    world.currentPacket = &world.playerPacket;
    DebugLog() << "Collision System Initialized\n";
}

// Clears what the previous level left, so a load always starts clean.
void ResetLevelState(World& world) {
    world.octree.reset();
    world.octreeNodeCount = 0;  // the log reports this level's nodes only
    world.polygonListHead = world.polygonListTail = nullptr;
    world.hasLevelEnd = false;
    world.menuTriggers.clear();
    world.corpses.clear();
    world.crystals.clear();
    world.lights.clear();
    world.deathmatchStarts.clear();
}

}  // namespace

int World::Load(const char* path, int levelIndex, const std::function<void()>& readScenes) {
    DebugLog() << kLoaderTitle << '\n';
    progressWindow.Create(kLoaderTitle);
    progressWindow.SetTask("Loading World Data");

    DebugLog() << "Opening " << path << '\n';
    LevelReader reader(path);
    if (!reader.IsOpen()) {
        DebugLog() << "ERROR:  >> FILE NOT FOUND " << path << '\n';
        progressWindow.Close();
        return kLevelFileNotFound;
    }
    DebugLog() << path << " successfully opened.\n";

    ResetLevelState(*this);
    ParsedLevel parsed;
    std::string error;
    ParseHooks hooks;
    hooks.progress = [](int percent) { progressWindow.SetPosition(percent); };
    // Textures load as soon as their list is read, before the entities.
    hooks.texturesRead = [this](const std::vector<std::string>& names) { return LoadTextures(*this, names); };
    const int result = ParseLevel(reader, path, parsed, DebugLog(), error, hooks);
    if (result != kLevelLoadOk) {
        entities.clear();
        progressWindow.Close();
        return result;
    }
    std::memcpy(name, parsed.name, sizeof name);
    wads = std::move(parsed.wads);
    entities = std::move(parsed.entities);

    ReadAiNodes(levelIndex);
    items = ItemsFromEntities(entities);
    if (readScenes) readScenes();
    InterpretEntities(*this);
    Triangulate(*this, parsed.polygons);
    ClearPulseMarks(*this);
    MarkSurfaces(*this);
    BuildTriggersAndCorpses(*this);
    BakeLights(*this);
    LinkPolygonList(*this);
    BuildOctree(*this);
    DebugLog() << "Octree Created with " << 8 * octreeNodeCount << " Nodes\n";
    BakeSunlight(*this);  // its shadows are found through the octree
    for (WorldPolygon& t : WorldTriangles()) t.visited = 1;
    ResetCollisionPackets(*this);
    progressWindow.Close();
    return kLevelLoadOk;
}
