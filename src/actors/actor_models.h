#pragma once
// Placing the actors' models in the scene: enemies, the hero, his gun in the
// first-person view and the corpse. Each ends with white colour.
#include "graphics/md2_model.h"
#include "world/level_records.h"

struct Player;

// Advances the enemy's animation range (loops or holds by the state's loop
// flag); returns what the model shows meanwhile.
ShownFrame AdvanceRange(const Md2Model* model, AnimationState& state, float step);
// The same on the hero's animation fields, with his own step.
ShownFrame AdvanceRange(const Md2Model* model, Player& player);

// What a picture shows of a character: where, turned how, and the blends
// of its main model and its gun.
struct ShownActor {
    Vec3 position;
    float yaw = 0.0f;
    ShownFrame main;
    ShownFrame gun;
};

// An enemy's main model and gun model 1, both advancing its animation at the
// set's speed, as drawing it does.
ShownActor AdvanceEnemy(const ModelSet& set, Enemy& enemy);
// The hero with the gun of `weapon` (only when the main model exists);
// both advance his animation.
ShownActor AdvanceCharacter(const ModelSet& set, Player& player, int weapon);
// Draws what an advance showed.
void DrawShownActor(const ViewTransform& view, const ShownActor& actor);

// Advance and draw at once.
void DrawCharacter(const ModelSet& set, const ViewTransform& view, Player& player, int weapon);
// The gun of the hero's current weapon, frame 0, fixed in front of the
// camera (first-person view; no view transform).
void DrawViewWeapon(const ModelSet& set, int weapon);
// The main model at frame 177, lying; logs "CORPSE IS NULL" without one.
// Keeps the model-view matrix it finds (no leading identity).
void DrawCorpse(const ModelSet& set, const ViewTransform& view, const Vec3& position);
