#pragma once
// Placing the actors' models in the scene: enemies, the hero, his gun in the
// first-person view and the corpse. Each ends with white colour.
#include "graphics/md2_model.h"
#include "world/level_records.h"

struct Player;

// Draws the model within the enemy's animation range and advances it (loops
// or holds by the state's loop flag).
void AnimateRange(const Md2Model* model, AnimationState& state, float step);
// The same on the hero's animation fields, with his own step.
void AnimateRange(const Md2Model* model, Player& player);

// An enemy at its position and yaw: main model and gun model 1, both
// advancing the enemy's animation at the set's speed.
void DrawEnemy(const ModelSet& set, const ViewTransform& view, Enemy& enemy);
// The hero at his position and yaw with the gun of `weapon` (drawn only when
// the main model exists); both advance his animation.
void DrawCharacter(const ModelSet& set, const ViewTransform& view, Player& player, int weapon);
// The gun of the hero's current weapon, frame 0, fixed in front of the
// camera (first-person view; no view transform).
void DrawViewWeapon(const ModelSet& set, const Player& player);
// The main model at frame 177, lying; logs "CORPSE IS NULL" without one.
// Keeps the model-view matrix it finds (no leading identity).
void DrawCorpse(const ModelSet& set, const ViewTransform& view, const Vec3& position);
