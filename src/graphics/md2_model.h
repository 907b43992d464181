#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/md2_file.h"
#include "graphics/textures.h"
#include "graphics/view_transform.h"
#include "math/vec3.h"

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

// The frame counters of one animation, wherever they are kept: the range
// start..end-1, the frame shown, the frame it blends towards, the blend
// between them, and whether the range loops or holds on its last frame.
struct FrameCounters {
    int start;
    int end;
    int& frame;
    int& next;
    float& interpolation;
    bool loops;
};

// What a picture of an animated model shows: `frame` blended towards `next`
// by `blend`. A null model shows nothing.
struct ShownFrame {
    const Md2Model* model = nullptr;
    int frame = 0;
    int next = 0;
    float blend = 0.0f;
};

// Advances the counters by step and returns the blend the model shows
// meanwhile: a looping range blends its last frame back into the first, a
// non-looping one holds on its last frame for good. A range outside the
// model shows nothing and changes nothing.
ShownFrame AdvanceRange(const Md2Model* model, FrameCounters counters, float step);
// The always-looping form with the frame counters held by the caller.
ShownFrame AdvanceRange(const Md2Model* model, int startFrame, int endFrame, int& frame,
                        int& nextFrame, float& interpolation, float step);
// Draws a shown blend in the current model-view matrix.
void DrawShown(const ShownFrame& shown);
// Both at once: draws the range as it advances.
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

// Model placement. A placement loads the identity, pushes the model-view
// matrix, loads the identity again and applies the view, then moves to the
// position and turns the model's z axis up; EndPlacement pops the matrix and
// leaves the colour white. With MatrixOnEntry::Keep the leading identity is
// left out, so the matrix found is the one restored afterwards.
enum class MatrixOnEntry { Reset, Keep };
void BeginPlacement(const ViewTransform& view, const Vec3& position,
                    MatrixOnEntry entry = MatrixOnEntry::Reset);
void EndPlacement();

// Frame 0 of `model`, or of the main model when null, scaled; logs "Trying
// to render a NULL model file" when there is neither.
void DrawModelAt(const ModelSet& set, const ViewTransform& view, const Vec3& position, const Md2Model* model,
                 float scale);
// The set's main model advanced looping startFrame..endFrame-1 with
// caller-held counters (cutscene actors); logs "Trying to render a NULL
// model file" for a set without one.
ShownFrame AdvanceMainModel(const ModelSet& set, int startFrame, int endFrame, int& frame,
                            int& nextFrame, float& interpolation, float step);
// The main model showing `shown`, turned by yaw and scaled (cutscene actors).
void DrawShownModelAt(const ViewTransform& view, const Vec3& position, float yaw, float scale,
                      const ShownFrame& shown);
// Frame 0 of a model in the current model-view matrix (the HUD's ring).
void DrawModel(const ModelSet& set, const Md2Model* model);
