#pragma once
// What a step's picture shows, and a picture between two steps.
#include <cstdint>
#include <vector>

#include "actors/actor_models.h"
#include "actors/particles.h"
#include "cutscene/cutscene.h"
#include "graphics/view_transform.h"

struct Picture {
    enum class Hero { None, Gun, Character };
    ViewTransform view;
    bool playClock = false;
    bool world = false;
    bool particles = false;
    ParticleSystem::ShownSlots shownParticles;
    Hero hero = Hero::None;
    int heroWeapon = 0;
    ShownActor heroActor;
    std::vector<ShownActor> enemies;
    // The index in the level's enemies of each shown one.
    std::vector<int> enemyIds;
    // The scene's actors while a cutscene plays.
    std::vector<ShownCutsceneEntity> sceneActors;
    bool crosshair = false;
    // How brightly each crystal glows (empty: none do), and the time that
    // turns their sparks, in seconds of the step's clock.
    std::vector<float> crystalGlows;
    double glowSeconds = 0.0;
    // Pictures of two cuts are never blended: a level change, a respawn, a
    // camera reset or switch, a new shot of a scene. The light camera jumps
    // from light to light, so its pictures are not blended either.
    std::uint64_t cut = 0;
    bool lightCamera = false;
};

// The frame a model shows `fraction` of the way from `before` to `after`,
// when `after` is the same blend further on or the next frame's; otherwise
// `after`.
ShownFrame BlendFrames(const ShownFrame& before, const ShownFrame& after, float fraction);
// Yaw in degrees between two, the short way round.
float BlendYaw(float before, float after, float fraction);

// The picture `fraction` (0 to 1) of the way from the step before to the
// last step: the eye and its view, the hero, the enemies and the scene's
// actors placed, turned and animated in between; the rest is the last
// step's. Across a cut, or a jump farther than anything moves in a step,
// the last step's picture as it is.
Picture Interpolated(const Picture& before, const Picture& after, float fraction);
