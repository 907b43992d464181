#pragma once
// In-level cutscenes: shots ("Camera"), moving look-at points ("Focus"),
// animated models ("Entity"), named points ("Label") and the zones that
// start a scene ("SceneTrigger"), read from the level's entities and played
// by taking over the camera.
//
// Text fields keep the value line as the level file gives it, line end
// included: labels match only when written identically.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "base/clock.h"
#include "graphics/md2_model.h"
#include "math/vec3.h"

class SoundSystem;
struct LevelEntity;
struct ViewTransform;

// A value that names nothing.
inline const char* const kNoLabel = "NONE";

struct CutsceneShot {
    Vec3 position;
    std::string label = kNoLabel;
    float number = 0.0f;
    float scene = 0.0f;
    float timer = 0.0f;  // seconds
    std::string lookAt = kNoLabel;
    std::string interpTo = kNoLabel;
    float rate = 100.0f;
    std::string soundFile = kNoLabel;
    float soundDelay = 0.0f;
    std::string soundPosition = kNoLabel;
    float soundMinDist = 0.0f;
    float soundMaxDist = 0.0f;
    float progress = 0.0f;  // of the glide towards interpTo
    Sound3D sound;
    std::string caption;
    bool hasCaption = false;
    bool soundLoaded = false;
    bool soundStarted = false;
};

struct CutsceneFocus {
    Vec3 position;
    std::string label = kNoLabel;
    std::string interpTo = kNoLabel;
    float delay = 0.0f;
    float rate = 0.0f;
    float progress = 0.0f;
};

struct CutsceneEntity {
    Vec3 position;
    std::string label = kNoLabel;
    std::string modelName = kNoLabel;
    std::string interpTo = kNoLabel;
    float delay = 0.0f;
    float rate = 0.0f;  // also the animation step per draw
    std::int32_t startFrame = 0;
    std::int32_t endFrame = 0;
    float progress = 0.0f;
    const ModelSet* model = nullptr;
    std::string modelTexture;
    std::unique_ptr<ModelSet> ownModel;  // a model loaded from an MD2 path
    std::string lookAt = kNoLabel;
    // Animation counters; the first draw sets the frames up.
    int frame = 0;
    int nextFrame = 0;
    float interpolation = 1.0f;
};

struct CutsceneLabel {
    Vec3 position;
    std::string label = kNoLabel;
};

struct SceneTrigger {
    Vec3 position;
    std::int32_t sceneNumber = 0;
    float radius = 0.0f;
    bool fired = false;
    bool done = false;
    std::int32_t loadsLevel = 0;
};

// What a cutscene step reads and changes of the rest of the game.
struct CutsceneFrame {
    const Vec3& playerPosition;
    SoundSystem& sounds;
    ClockReading now;  // the step's
};

// A scene actor as the step's picture shows it.
struct ShownCutsceneEntity {
    Vec3 position;
    float yaw = 0.0f;
    ShownFrame shown;
};

// Draws scene actors as a step showed them.
void DrawShownEntities(const ViewTransform& view, const std::vector<ShownCutsceneEntity>& entities);

// Step's answer when a scene has just ended: the chase camera comes back.
constexpr int kSceneEnded = -1;

// The level's scenes: set up and read while the level loads, stepped once
// a frame while it is played.
class Cutscene {
public:
    // Forgets the previous level's scenes. `entities` must outlive the
    // records' use of them until the next Setup; `modelSets` are the game's
    // sets for the shrike, hero, lumarid and strider (slots 0 to 3); `time`
    // starts the shot clock.
    void Setup(const std::vector<LevelEntity>& entities, AudioDevice* audio, const ModelSet* modelSets,
               const ClockReading& time);
    // Turns the entities into records, orders the shots into scenes, loads
    // the models and sounds they need, and logs an account of it all.
    void ReadScenes();
    // The first record with this label: shots, then entities, focuses and
    // labels. (0, 0, 0) when there is none.
    Vec3 LabelPosition(const std::string& label) const;

    // One frame: triggers, then the current shot (camera, entities'
    // animation, caption, sound, listener). kSceneEnded when a scene has just
    // ended, else 0.
    int Step(CutsceneFrame frame);
    // The actors of the shot the last step played, as they showed.
    const std::vector<ShownCutsceneEntity>& ShownEntities() const { return shownEntities; }

    // The current shot's caption while a scene plays; null for none.
    const char* Caption() const { return hasCaption ? caption.c_str() : nullptr; }

    bool ScenesReady() const { return scenesReady; }
    int SceneCount() const { return static_cast<int>(sceneStarts.size()) - 1; }
    const std::vector<CutsceneShot>& Shots() const { return shots; }
    const std::vector<int>& SceneStarts() const { return sceneStarts; }
    const std::vector<CutsceneEntity>& Entities() const { return entities; }
    std::vector<SceneTrigger>& Triggers() { return triggers; }
    const std::vector<SceneTrigger>& Triggers() const { return triggers; }
    int CurrentShot() const { return currentShot; }

private:
    void ReadRecords();
    void OrderShots();
    void LoadModelsAndSounds();
    void EnterTriggers(const Vec3& playerPosition);
    bool ShotsLeftInScene() const;
    int EndScene();
    int PlayShot(CutsceneShot& shot, CutsceneFrame& frame);
    void AdvanceEntities();
    // The scene now playing, 0 when settings.activeCutscene names none or
    // no trigger started it.
    int ActiveScene() const;
    // The trigger that started the scene now playing; null for none.
    SceneTrigger* ActiveTrigger();
    const SceneTrigger* ActiveTrigger() const;

    const std::vector<LevelEntity>* table = nullptr;
    AudioDevice* device = nullptr;
    const ModelSet* sets = nullptr;
    Stopwatch shotTimer;
    // The game's clock as the last Setup or Step was handed it.
    ClockReading now;
    std::vector<int> sceneStarts;
    std::vector<CutsceneShot> shots;
    std::vector<CutsceneFocus> focuses;
    std::vector<CutsceneEntity> entities;
    std::vector<CutsceneLabel> labels;
    std::vector<SceneTrigger> triggers;
    std::vector<ShownCutsceneEntity> shownEntities;
    std::string caption;
    bool hasCaption = false;
    bool scenesReady = false;
    int currentShot = 0;
    // Index of the trigger that started the current scene, kNoTrigger for
    // none.
    static constexpr std::size_t kNoTrigger = static_cast<std::size_t>(-1);
    std::size_t activeTrigger = kNoTrigger;
};

// start + (dest - start) * progress, then progress += rate. Logs each bad
// argument (a start or dest at the origin, a zero rate, no progress) and
// gives (0, 0, 0) then.
Vec3 Interpolate(const Vec3& start, const Vec3& dest, float rate, float* progress);
