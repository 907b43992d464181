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
void DrawEnemy(const ModelSet& set, Enemy& enemy);
void DrawCorpse(const ModelSet& set, const Vec3& position);
void DrawModelAt(const ModelSet& set, const Vec3& position, const Md2Model* model, float scale);
