// Playing a level's cutscenes: triggers, shots, gliding cameras.
#include <algorithm>
#include <cmath>

#include "audio/sound_system.h"
#include "base/debug_log.h"
#include "base/settings.h"
#include "cutscene/cutscene.h"
#include "math/camera.h"
#include "math/geometry.h"

namespace {

// A glide counts as arrived this close to its destination (in units of its
// rate) or once it has flown this far past it.
constexpr float kArrivalRates = 2.0f;
constexpr float kLostGlideDistance = 8000.0f;
constexpr float kDegreesPerRadian = 180.0f / 3.141592f;
const Vec3 kWorldUp{0.0f, 1.0f, 0.0f};

bool Names(const std::string& value, const char* name) {
    const std::string bare = name;
    return value == bare + "\n" || value == bare + " \n";
}

// "Not found" is the origin, as LabelPosition answers.
bool Found(const Vec3& p) { return !IsZeroVector(p); }

// Points the global camera from eye at target, keeping it upright.
void AimCamera(const Vec3& eye, const Vec3& target) {
    camera.SetPosition(eye.x, eye.y, eye.z);
    const Vec3 forward = NormalizedOrZero(target - eye);
    if (IsZeroVector(forward)) return;  // looking at itself: keep the old aim
    camera.SetForward(forward.x, forward.y, forward.z);
    const Vec3 side = NormalizedOrZero(kWorldUp.Cross(forward));
    if (IsZeroVector(side)) return;  // straight up or down: keep the old up
    const Vec3 up = NormalizedOrZero(forward.Cross(side));
    camera.SetUp(up.x, up.y, up.z);
}

}  // namespace

Vec3 Interpolate(const Vec3& start, const Vec3& dest, float rate, float* progress) {
    bool valid = true;
    if (IsZeroVector(start)) {
        DebugLog() << "**ERROR** Invalid Start Point\n";
        valid = false;
    }
    if (IsZeroVector(dest)) {
        DebugLog() << "**ERROR** Invalid Dest Point\n";
        valid = false;
    }
    if (rate == 0.0f) {
        DebugLog() << "**ERROR** Invalid Rate\n";
        valid = false;
    }
    if (!progress) {
        DebugLog() << "**ERROR** Invalid Current Rate\n";
        valid = false;
    }
    if (!valid) return {};
    const Vec3 result = start + ScaledBy(dest - start, *progress);
    *progress += rate;
    return result;
}

int Cutscene::ActiveScene() const {
    const int scene = settings.activeCutscene;
    const bool known = scene >= 1 && scene <= SceneCount() && ActiveTrigger();
    return known ? scene : 0;
}

SceneTrigger* Cutscene::ActiveTrigger() {
    return activeTrigger < triggers.size() ? &triggers[activeTrigger] : nullptr;
}

const SceneTrigger* Cutscene::ActiveTrigger() const {
    return activeTrigger < triggers.size() ? &triggers[activeTrigger] : nullptr;
}

int Cutscene::Step(CutsceneFrame frame) {
    now = frame.now;
    shownEntities.clear();
    EnterTriggers(frame.playerPosition);
    const int scene = ActiveScene();
    if (scenesReady && settings.cutscenePlaying && scene && ShotsLeftInScene() && !ActiveTrigger()->done)
        return PlayShot(shots[sceneStarts[scene - 1] + currentShot], frame);
    return EndScene();
}

// Without shots there is nothing to play, and a trigger whose scene number
// names no scene is passed over. The trigger that starts a scene is the one
// marked fired (and done when the scene ends), wherever it stands in the
// file, so each trigger plays its scene once.
void Cutscene::EnterTriggers(const Vec3& playerPosition) {
    if (!scenesReady) return;
    for (std::size_t i = 0; i < triggers.size(); ++i) {
        SceneTrigger& trigger = triggers[i];
        if (trigger.fired || !(playerPosition.Distance(trigger.position) < trigger.radius)) continue;
        if (trigger.sceneNumber < 1 || trigger.sceneNumber > SceneCount()) continue;
        settings.activeCutscene = trigger.sceneNumber;
        settings.cutscenePlaying = 1;
        trigger.fired = true;
        activeTrigger = i;
    }
}

bool Cutscene::ShotsLeftInScene() const {
    const int scene = ActiveScene();
    return scene && currentShot < sceneStarts[scene] - sceneStarts[scene - 1];
}

int Cutscene::EndScene() {
    if (!scenesReady) return 0;
    const bool wasPlaying = settings.cutscenePlaying != 0;
    shotTimer.Start(now);
    settings.cutscenePlaying = 0;
    currentShot = 0;
    if (ActiveScene()) {
        SceneTrigger& trigger = *ActiveTrigger();
        if (trigger.fired) trigger.done = true;
        if (trigger.loadsLevel == 1 && trigger.done) settings.levelChangePending = 1;
    }
    return wasPlaying ? kSceneEnded : 0;
}

int Cutscene::PlayShot(CutsceneShot& shot, CutsceneFrame& frame) {
    settings.cameraDetached = 0;
    const Vec3 lookAt = LabelPosition(shot.lookAt);
    if (!Found(lookAt)) {
        // Nothing to look at: the scene ends here and the hero gets the
        // camera back.
        DebugLog() << "**ERROR** invalid look at label for " << shot.label;
        if (shot.label.empty() || shot.label.back() != '\n') DebugLog() << '\n';
        return EndScene();
    }

    // A shot without the key, or with "NONE", holds still.
    const bool hasGlide = shot.interpTo != kNoLabel && !Names(shot.interpTo, kNoLabel);
    bool moving = false, arrived = false;
    Vec3 eye = shot.position;
    if (hasGlide) {
        const Vec3 destination = LabelPosition(shot.interpTo);
        if (!Found(destination)) DebugLog() << "**ERROR** invalid interplation label\n";
        if (shot.rate == 0.0f) DebugLog() << "**ERROR** invalid interplation rate\n";
        if (Found(destination) && shot.rate != 0.0f) {
            moving = true;
            const float before = shot.progress;
            eye = Interpolate(shot.position, destination, shot.rate, &shot.progress);
            // Arrives once the glide has covered the whole way, whatever
            // the rate's step: never past the destination.
            if (before >= 1.0f) eye = destination;
            const float left = static_cast<float>(eye.Distance(destination));
            arrived = before >= 1.0f || left <= kArrivalRates * shot.rate || left > kLostGlideDistance;
        }
    }

    AdvanceEntities();
    AimCamera(eye, lookAt);

    // The last shot of the scene ends it when its time is up. (Measured
    // against the scene's own last shot: a later scene's numbers must not
    // cut this one short.)
    int result = 0;
    const int scene = ActiveScene();
    const CutsceneShot& lastOfScene = shots[sceneStarts[scene] - 1];
    if (shotTimer.Seconds(now) > shot.timer && !moving) {
        if (lastOfScene.number <= shot.number) {
            settings.cutscenePlaying = 0;
            result = kSceneEnded;
        } else {
            arrived = true;
        }
    }
    caption = shot.caption;
    hasCaption = shot.hasCaption;
    frame.sounds.Commit();
    if (shot.soundLoaded && !shot.soundStarted) {
        DebugLog() << "WE SHOULD BE PLAYING\n";
        shot.sound.Play(false, now.ms);
        shot.soundStarted = true;
    }
    if (arrived) {
        shot.progress = 0.0f;
        ++currentShot;
        shotTimer.Start(now);
    }
    frame.sounds.SetListenerPosition(camera.position);
    frame.sounds.SetListenerOrientation(camera.forward, camera.up);
    frame.sounds.Commit();
    return result;
}

void Cutscene::AdvanceEntities() {
    for (CutsceneEntity& e : entities) {
        if (!e.model) continue;
        const Vec3 facing = NormalizedOrZero(LabelPosition(e.lookAt) - e.position);
        const float yaw = IsZeroVector(facing) ? 0.0f : std::acos(std::clamp(facing.x, -1.0f, 1.0f)) * kDegreesPerRadian;
        const ShownFrame shown =
            AdvanceMainModel(*e.model, e.startFrame, e.endFrame, e.frame, e.nextFrame, e.interpolation, e.rate);
        if (e.model->main) shownEntities.push_back({e.position, yaw, shown});
    }
}

void DrawShownEntities(const ViewTransform& view, const std::vector<ShownCutsceneEntity>& entities) {
    for (const ShownCutsceneEntity& e : entities) DrawShownModelAt(view, e.position, e.yaw, 1.0f, e.shown);
}
