#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/md2_file.h"
#include "graphics/textures.h"
#include "math/vec3.h"

struct AnimationState;
struct Enemy;
struct Player;

// An animated model: every frame's points decoded, one skin.
struct Md2Model {
    std::int32_t frameCount = 0;
    std::int32_t vertexCount = 0;
    std::vector<Md2FileTriangle> triangles;
    std::vector<float> texCoords;  // s, t pairs divided by the skin's size
    std::vector<Vec3> points;      // frame-major
    std::unique_ptr<SkinImage> skin;

    const Vec3* Frame(int frame) const { return &points[static_cast<std::size_t>(frame) * vertexCount]; }
};

// Loads a model and its skin (points divided by loadScale). Null when either
// file is missing or damaged.
std::unique_ptr<Md2Model> LoadMd2(const char* md2Path, const char* skinPath, float loadScale = 1.0f);

// One key frame, no blending; frames outside the model draw nothing.
void DrawFrame(const Md2Model& model, int frame);

// Draws within the state's frame range and advances it by step: loops when
// the state's loop flag is set, else holds on the range's last frame.
void AnimateRange(const Md2Model* model, AnimationState& state, float step);
// The same on the hero's animation fields, with his own step.
void AnimateRange(const Md2Model* model, Player& player);
// The always-looping form with the frame counters held by the caller.
void AnimateRange(const Md2Model* model, int startFrame, int endFrame, int& frame, int& nextFrame,
                  float& interpolation, float step);

constexpr int kGunModels = 6;

// A character's main model with up to six gun models.
struct ModelSet {
    std::unique_ptr<Md2Model> main;
    std::unique_ptr<Md2Model> guns[kGunModels];  // gun model 1 is guns[0]
    float animationSpeed = 0.25f;

    // Empties the set; logs "Model Initialized".
    void Reset();
    bool LoadMainModel(const char* md2Path, const char* skinPath);
    // Six (model, skin) pairs for gun models 1 to 6.
    void LoadGunModels(const char* const (&paths)[kGunModels][2]);
    // The gun model a weapon index draws with (index 5 uses slot 4).
    const Md2Model* GunForWeapon(int weapon) const;
};

// Placement, each with the camera's view and ending with white colour.
// An enemy at its position and yaw: main model and gun model 1, both
// advancing the enemy's animation at the set's speed.
void DrawEnemy(const ModelSet& set, Enemy& enemy);
// The hero at his position and yaw with the gun of `weapon` (drawn only when
// the main model exists); both advance his animation.
void DrawCharacter(const ModelSet& set, Player& player, int weapon);
// The gun of the hero's current weapon, frame 0, fixed in front of the
// camera (first-person view).
void DrawViewWeapon(const ModelSet& set, const Player& player);
// The main model at frame 177, lying; logs "CORPSE IS NULL" without one.
void DrawCorpse(const ModelSet& set, const Vec3& position);
// Frame 0 of `model`, or of the main model when null, scaled.
void DrawModelAt(const ModelSet& set, const Vec3& position, const Md2Model* model, float scale);
// The main model looping startFrame..endFrame-1 with caller-held counters
// (cutscene actors).
void DrawAnimatedModelAt(const ModelSet& set, const Vec3& position, float yaw, float scale, int startFrame,
                         int endFrame, int& frame, int& nextFrame, float& interpolation, float step);
// Frame 0 of a model in the current model-view matrix (the HUD's ring).
void DrawModel(const ModelSet& set, const Md2Model* model);
