#include "world/entities.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "base/debug_log.h"
#include "math/camera.h"
#include "world/entity_values.h"
#include "world/world.h"

std::vector<SoundNode> soundNodes;

namespace {

constexpr int kPuzzleCrystals = 6;
constexpr float kMenuTriggerRadius = 40.0f;

struct EntityCounts {
    int enemies = 0;
    int deathmatchStarts = 0;
    int crystals = 0;
    int corpses = 0;
    int lights = 0;
    int pulsingLights = 0;
};

constexpr float kDegreesToRadians = 3.14159265f / 180.0f;

// The way the start faces when it has an "angle": the editor's yaw in
// degrees, 0 along the editor's +x (the game's +x), 90 along its +y (the
// game's -z).
std::optional<Vec3> StartFacing(const LevelEntity& start) {
    for (const EntityProperty& p : start.properties) {
        float degrees = 0.0f;
        if (!KeyIs(p, "angle") || std::sscanf(p.value, "%f", &degrees) != 1 || !std::isfinite(degrees)) continue;
        const float yaw = degrees * kDegreesToRadians;
        return Vec3(std::cos(yaw), 0.0f, -std::sin(yaw));
    }
    return std::nullopt;
}

// Without an angle the camera looks along +x.
void PlaceCameraAtStart(const Vec3& at, const std::optional<Vec3>& facing) {
    const Vec3 forward = facing.value_or(Vec3(1.0f, 0.0f, 0.0f));
    camera.SetPosition(at.x, at.y, at.z);
    camera.SetForward(forward.x, forward.y, forward.z);
    DebugLog() << "Initialized Camera Origin to " << at.x << "," << at.y << "," << at.z << '\n';
}

int CountTypeKeys(const LevelEntity& e) {
    int count = 0;
    for (const EntityProperty& p : e.properties) count += KeyIs(p, "Type") ? 1 : 0;
    return count;
}

EntityCounts FirstPass(World& world) {
    EntityCounts counts;
    for (const LevelEntity& e : world.entities) {
        if (ClassIs(e, "PlayerStart")) {
            world.startFacing = StartFacing(e);
            PlaceCameraAtStart(e.origin, world.startFacing);
        } else if (ClassIs(e, "DeathmatchStart")) {
            ++counts.deathmatchStarts;
        } else if (ClassIs(e, "LevelEnd")) {
            world.levelEnd = e.origin;
            world.hasLevelEnd = true;
        } else if (ClassIs(e, "Light")) {
            ++counts.lights;
            counts.pulsingLights += CountTypeKeys(e);
        } else if (ClassIs(e, "Enemy")) {
            ++counts.enemies;
        } else if (ClassIs(e, "Gems")) {
            ++counts.crystals;
        } else if (ClassIs(e, "Corpse")) {
            ++counts.corpses;
        } else if (ClassIs(e, "ForceField")) {
            world.forceField = e.origin;
            world.hasForceField = true;
        } else if (ClassIs(e, "Fountain")) {
            world.fountains.push_back(e.origin);
        }
    }
    return counts;
}

Enemy EnemyFrom(const LevelEntity& e) {
    Enemy enemy;
    enemy.position = e.origin;
    enemy.kind = 0;
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "Type")) enemy.kind = DecimalValue(p.value);
        else if (KeyIs(p, "health")) enemy.health = static_cast<float>(DecimalValue(p.value));
    }
    enemy.nodeMarks.assign(aiNodes.size(), 0);
    return enemy;
}

Crystal CrystalFrom(const LevelEntity& e) {
    Crystal crystal;
    crystal.position = e.origin;
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "Type")) ScanInt(p.value, crystal.number);
    }
    return crystal;
}

void SecondPass(World& world, int enemyCount) {
    int dropped = 0;
    for (const LevelEntity& e : world.entities) {
        if (ClassIs(e, "Enemy")) {
            if (static_cast<int>(world.enemies.size()) < kMaxEnemies) world.enemies.push_back(EnemyFrom(e));
            else ++dropped;
        } else if (ClassIs(e, "DeathmatchStart")) {
            world.deathmatchStarts.push_back(e.origin);
        } else if (ClassIs(e, "Gems")) {
            world.crystals.push_back(CrystalFrom(e));
        } else if (ClassIs(e, "Light")) {
            world.lights.push_back(e.origin);
        }
    }
    if (dropped > 0) {
        DebugLog() << "**ERROR** " << enemyCount << " enemies in the level, only " << kMaxEnemies
                   << " can be kept: " << dropped << " dropped\n";
    }
}

void LoadSoundNodes(const World& world) {
    DebugLog() << "SSSSSSSSSS Sound Stuff SSSSSSSSSSS\n";
    int count = 0;
    for (const LevelEntity& e : world.entities) count += ClassIs(e, "Sound_Node") ? 1 : 0;
    DebugLog() << "# of sound_nodes = " << count << '\n';
    soundNodes.clear();
    soundNodes.reserve(count);
    for (std::size_t index = 0; index < world.entities.size(); ++index) {
        const LevelEntity& e = world.entities[index];
        if (!ClassIs(e, "Sound_Node")) continue;
        DebugLog() << "sound_node [" << index << "] has " << e.PropertyCount() << " properties\n";
        SoundNode node;
        int minDistance = 0, maxDistance = 0;
        for (const EntityProperty& p : e.properties) {
            if (KeyIs(p, "Min_Distance")) {
                minDistance = DecimalValue(p.value);
                DebugLog() << "Min dist  : " << minDistance << '\n';
            } else if (KeyIs(p, "Max_Distance")) {
                maxDistance = DecimalValue(p.value);
                DebugLog() << "Max dist  : " << maxDistance << '\n';
            } else if (KeyIs(p, "File_Path")) {
                node.path = SoundNodePath(p.value);
                DebugLog() << "File path : " << node.path << '\n';
            }
        }
        node.minDistance = static_cast<float>(minDistance);
        node.maxDistance = static_cast<float>(maxDistance);
        node.position = e.origin;
        DebugLog() << "location  : " << e.origin.x << " " << e.origin.y << " " << e.origin.z << '\n';
        soundNodes.push_back(node);
    }
    DebugLog() << "SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS\n";
}

}  // namespace

std::string SoundNodePath(const char* value) {
    const char* dot = std::strchr(value, '.');
    if (dot) return std::string(value, dot + 1) + "wav";
    std::string word(value);
    const std::size_t end = word.find_first_of(" \t\r\n");
    return word.substr(0, end) + ".wav";
}

void DrawCrystalPuzzle(World& world) {
    std::int32_t* c = world.correctCrystals;
    do {
        for (int i = 0; i < 3; ++i) c[i] = std::rand() % kPuzzleCrystals;
    } while (c[0] == c[1] || c[0] == c[2] || c[1] == c[2]);
    int wrong = 0;
    for (int n = 0; n < kPuzzleCrystals; ++n) {
        if (n != c[0] && n != c[1] && n != c[2]) world.wrongCrystals[wrong++] = n;
    }
}

void InterpretEntities(World& world) {
    world.lights.clear();
    world.menuTriggers.clear();
    world.deathmatchStarts.clear();
    world.crystals.clear();
    world.corpses.clear();
    world.enemies.clear();
    world.fountains.clear();
    world.hasForceField = false;
    world.startFacing.reset();

    const EntityCounts counts = FirstPass(world);
    DebugLog() << "ENEMY COUNT " << counts.enemies << '\n';
    world.enemies.reserve(counts.enemies < kMaxEnemies ? counts.enemies : kMaxEnemies);
    world.deathmatchStarts.reserve(counts.deathmatchStarts);
    world.crystals.reserve(counts.crystals);
    DebugLog() << "GEMCOUNT" << counts.crystals << '\n';
    world.corpses.reserve(counts.corpses);
    world.lights.reserve(counts.lights);

    DrawCrystalPuzzle(world);
    SecondPass(world, counts.enemies);
    LoadSoundNodes(world);
    DebugLog() << "Found " << counts.lights << " lights\n";
    DebugLog() << counts.pulsingLights << " of them are pulsing lights\n";
}

void BuildTriggersAndCorpses(World& world) {
    for (const LevelEntity& e : world.entities) {
        if (ClassIs(e, "MenuOptions")) {
            MenuTrigger zone;
            for (const EntityProperty& p : e.properties) {
                if (KeyIs(p, "Type")) ScanInt(p.value, zone.type);
            }
            zone.x = e.origin.x;
            zone.y = e.origin.y;
            zone.z = e.origin.z;
            zone.radius = kMenuTriggerRadius;
            world.menuTriggers.push_back(zone);
        } else if (ClassIs(e, "Corpse")) {
            Corpse corpse;
            corpse.position = e.origin;
            for (const EntityProperty& p : e.properties) {
                if (KeyIs(p, "Type")) ScanInt(p.value, corpse.kind);
            }
            world.corpses.push_back(corpse);
        }
    }
}
