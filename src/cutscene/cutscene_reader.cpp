// Reading a level's cutscene records from its entities.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/debug_log.h"
#include "base/settings.h"
#include "cutscene/cutscene.h"
#include "world/entity_values.h"
#include "world/world.h"

namespace {

// Model sets of the game an entity may name, with or without a blank
// before the line end.
struct NamedModel {
    const char* name;
    int slot;
};
constexpr NamedModel kNamedModels[] = {{"SHRIKE", 0}, {"ORV", 1}, {"LUMARID", 2}, {"STRIDER", 3}};

// A floating-point value (no number reads as 0, as the standard conversion
// gives); one that is not a finite number reads as the key's default, so a
// damaged file cannot make a glide or a timer run forever.
float RealValue(const char* text, float byDefault) {
    const float value = std::strtof(text, nullptr);
    return std::isfinite(value) ? value : byDefault;
}

bool IsNamed(const std::string& value, const char* name) {
    const std::string bare = name;
    return value == bare + "\n" || value == bare + " \n";
}

// The text up to its first line end.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// A text as the log shows it: its own line end, or one added.
std::string Logged(const std::string& text) {
    return !text.empty() && text.back() == '\n' ? text : text + "\n";
}

std::ostream& LogPosition(const Vec3& p) {
    return DebugLog() << "X,Y,Z : \t\t\t\t: " << p.x << ' ' << p.y << ' ' << p.z << '\n';
}

void ReadShot(const LevelEntity& e, CutsceneShot& shot) {
    const CutsceneShot defaults;
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "camera_label")) shot.label = p.value;
        if (KeyIs(p, "camera_number")) shot.number = RealValue(p.value, defaults.number);
        if (KeyIs(p, "camera_timer")) shot.timer = RealValue(p.value, defaults.timer);
        if (KeyIs(p, "camera_look_at")) shot.lookAt = p.value;
        if (KeyIs(p, "camera_interp_to")) shot.interpTo = p.value;
        if (KeyIs(p, "camera_rate")) shot.rate = RealValue(p.value, defaults.rate);
        if (KeyIs(p, "camera_sound_file")) shot.soundFile = p.value;
        if (KeyIs(p, "camera_caption")) {
            shot.caption = p.value;
            shot.hasCaption = true;
        }
        if (KeyIs(p, "camera_sound_delay")) shot.soundDelay = RealValue(p.value, defaults.soundDelay);
        if (KeyIs(p, "camera_sound_position")) shot.soundPosition = p.value;
        if (KeyIs(p, "camera_sound_max_dist")) shot.soundMaxDist = RealValue(p.value, defaults.soundMaxDist);
        if (KeyIs(p, "camera_sound_min_dist")) shot.soundMinDist = RealValue(p.value, defaults.soundMinDist);
        if (KeyIs(p, "camera_scene")) shot.scene = static_cast<float>(DecimalValue(p.value));
    }
    DebugLog() << "-----> Label\t\t\t: " << Logged(shot.label) << "Camera Number\t\t\t: " << shot.number << '\n'
               << "Camera Timer\t\t\t: " << shot.timer << '\n' << "Camera Scene\t\t\t: " << shot.scene << '\n'
               << "Camera Look at\t\t\t: " << Logged(shot.lookAt) << "Camera Interp to\t\t: " << Logged(shot.interpTo)
               << "Camera Rate\t\t\t\t: " << shot.rate << '\n' << "Camera Sound File\t\t: " << Logged(shot.soundFile)
               << "Camera Caption\t\t\t: " << Logged(shot.caption) << "Camera Sound Delay\t\t: " << shot.soundDelay
               << '\n' << "Camera Sound Position\t: " << Logged(shot.soundPosition)
               << "Camera Max Dist\t\t\t: " << shot.soundMaxDist << '\n'
               << "Camera Min Dist\t\t\t: " << shot.soundMinDist << '\n';
    LogPosition(shot.position);
}

void ReadFocus(const LevelEntity& e, CutsceneFocus& focus) {
    const CutsceneFocus defaults;
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "focus_label")) focus.label = p.value;
        if (KeyIs(p, "focus_interp_to")) focus.interpTo = p.value;
        if (KeyIs(p, "focus_delay")) focus.delay = RealValue(p.value, defaults.delay);
        if (KeyIs(p, "focus_rate")) focus.rate = RealValue(p.value, defaults.rate);
    }
    DebugLog() << "-----> Label\t\t\t: " << Logged(focus.label) << "Focus Interp to\t\t\t: "
               << Logged(focus.interpTo) << "Focus Delay\t\t\t\t: " << focus.delay << '\n'
               << "Focus Rate\t\t\t\t: " << focus.rate << '\n';
    LogPosition(focus.position);
}

void ReadTrigger(const LevelEntity& e, SceneTrigger& trigger) {
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "scene_number")) trigger.sceneNumber = DecimalValue(p.value);
        if (KeyIs(p, "scene_trigger_radius")) trigger.radius = static_cast<float>(DecimalValue(p.value));
        if (KeyIs(p, "scene_level_load")) trigger.loadsLevel = DecimalValue(p.value);
    }
    DebugLog() << "Scene\t\t\t\t\t: " << trigger.sceneNumber << '\n' << "SceneTrigger Radius\t: " << trigger.radius
               << '\n' << "Load Scene\t\t\t\t: " << trigger.loadsLevel << '\n';
    LogPosition(trigger.position);
}

void ReadEntity(const LevelEntity& e, CutsceneEntity& entity, const ModelSet* sets) {
    const CutsceneEntity defaults;
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "entity_label")) entity.label = p.value;
        if (KeyIs(p, "entity_model_text")) entity.modelTexture = p.value;
        if (KeyIs(p, "entity_look_at")) entity.lookAt = p.value;
        if (KeyIs(p, "entity_model")) {
            entity.modelName = p.value;
            entity.model = nullptr;
            entity.ownModel.reset();
            for (const NamedModel& named : kNamedModels)
                if (IsNamed(entity.modelName, named.name)) entity.model = sets ? &sets[named.slot] : nullptr;
            if (!entity.model) entity.ownModel = std::make_unique<ModelSet>();
        }
        if (KeyIs(p, "entity_interp_to")) entity.interpTo = p.value;
        if (KeyIs(p, "entity_delay")) entity.delay = RealValue(p.value, defaults.delay);
        if (KeyIs(p, "entity_rate")) entity.rate = RealValue(p.value, defaults.rate);
        if (KeyIs(p, "entity_state_sf")) entity.startFrame = DecimalValue(p.value);
        if (KeyIs(p, "entity_state_ef")) entity.endFrame = DecimalValue(p.value);
    }
    entity.frame = entity.startFrame;
    DebugLog() << "-----> Label\t\t\t: " << Logged(entity.label) << "Entity Interp to\t\t: "
               << Logged(entity.interpTo) << "Entity Delay\t\t\t: " << entity.delay << '\n'
               << "Entity Rate\t\t\t\t: " << entity.rate << '\n' << "Entity Model Texture\t: "
               << Logged(entity.modelTexture) << "Entity Model\t\t\t: " << Logged(entity.modelName)
               << "Entity Look At\t\t\t: " << Logged(entity.lookAt) << "Entity SF\t\t\t\t: " << entity.startFrame
               << '\n' << "Entity EF\t\t\t\t: " << entity.endFrame << '\n';
    LogPosition(entity.position);
}

void ReadLabel(const LevelEntity& e, CutsceneLabel& label) {
    for (const EntityProperty& p : e.properties)
        if (KeyIs(p, "label_label")) label.label = p.value;
    DebugLog() << "-----> Label\t\t\t\t: " << Logged(label.label);
    LogPosition(label.position);
}

template <typename Record>
Record& Next(std::vector<Record>& records, const LevelEntity& e) {
    records.emplace_back();
    records.back().position = e.origin;
    return records.back();
}

}  // namespace

void Cutscene::Setup(const std::vector<LevelEntity>& levelEntities, AudioDevice* audio, const ModelSet* modelSets,
                     const ClockReading& time) {
    now = time;
    settings.cutscenePlaying = 0;
    settings.activeCutscene = 0;
    table = &levelEntities;
    device = audio;
    sets = modelSets;
    shotTimer.Start(now);
    scenesReady = false;
    sceneStarts.clear();
    shots.clear();
    focuses.clear();
    entities.clear();
    shownEntities.clear();
    labels.clear();
    triggers.clear();
    currentShot = 0;
    activeTrigger = kNoTrigger;
    caption.clear();
    hasCaption = false;
}

void Cutscene::ReadScenes() {
    if (!table) return;
    ReadRecords();
    if (!shots.empty()) OrderShots();
    LoadModelsAndSounds();
    scenesReady = !shots.empty();
}

void Cutscene::ReadRecords() {
    const std::vector<LevelEntity>& all = *table;
    int counts[5] = {};
    const char* const classes[5] = {"Camera", "Focus", "Entity", "Label", "SceneTrigger"};
    for (std::size_t i = 0; i < all.size(); ++i) {
        DebugLog() << all[i].className << ' ' << i << '\n';
        for (int c = 0; c < 5; ++c) counts[c] += ClassIs(all[i], classes[c]) ? 1 : 0;
    }
    shots.reserve(counts[0]);
    focuses.reserve(counts[1]);
    entities.reserve(counts[2]);
    labels.reserve(counts[3]);
    triggers.reserve(counts[4]);
    DebugLog() << "Num entities\t\t: " << all.size() << '\n' << "Camera count\t\t: " << counts[0] << '\n'
               << "Focus count\t\t: " << counts[1] << '\n' << "Entity count\t\t: " << counts[2] << '\n'
               << "Label count\t\t: " << counts[3] << '\n' << "SceneTrgger count\t: " << counts[4] << '\n';
    for (const LevelEntity& e : all) {
        if (ClassIs(e, "Camera")) ReadShot(e, Next(shots, e));
        else if (ClassIs(e, "Focus")) ReadFocus(e, Next(focuses, e));
        else if (ClassIs(e, "Entity")) ReadEntity(e, Next(entities, e), sets);
        else if (ClassIs(e, "Label")) ReadLabel(e, Next(labels, e));
        else if (ClassIs(e, "SceneTrigger")) ReadTrigger(e, Next(triggers, e));
    }
}

void Cutscene::OrderShots() {
    std::stable_sort(shots.begin(), shots.end(),
                     [](const CutsceneShot& a, const CutsceneShot& b) { return a.scene < b.scene; });
    sceneStarts.clear();
    for (std::size_t i = 0; i < shots.size(); ++i)
        if (i == 0 || shots[i].scene != shots[i - 1].scene) sceneStarts.push_back(static_cast<int>(i));
    sceneStarts.push_back(static_cast<int>(shots.size()));
    DebugLog() << "scenes  = " << SceneCount() << '\n'
               << "shots_in_scene[scenes]  = " << sceneStarts.back() << '\n';
    for (int s = 0; s < SceneCount(); ++s) {
        std::stable_sort(shots.begin() + sceneStarts[s], shots.begin() + sceneStarts[s + 1],
                         [](const CutsceneShot& a, const CutsceneShot& b) { return a.number < b.number; });
    }
    for (std::size_t i = 0; i < shots.size(); ++i)
        DebugLog() << "Camera [" << i << "] has scene " << shots[i].scene << " and number : " << shots[i].number
                   << '\n';
}

void Cutscene::LoadModelsAndSounds() {
    for (CutsceneEntity& entity : entities) {
        if (!entity.ownModel) continue;
        entity.ownModel->LoadMainModel(FirstLine(entity.modelName).c_str(), FirstLine(entity.modelTexture).c_str());
        entity.model = entity.ownModel.get();
    }
    for (CutsceneShot& shot : shots) {
        if (shot.soundFile == kNoLabel || IsNamed(shot.soundFile, kNoLabel)) continue;  // no key, or "NONE"
        const std::string file = FirstLine(shot.soundFile);
        shot.soundLoaded = shot.sound.Load(file, device);
        if (!shot.soundLoaded) DebugLog() << "**ERROR** loading sound " << file << '\n';
        shot.sound.SetMinDistance(shot.soundMinDist);
        shot.sound.SetMaxDistance(shot.soundMaxDist);
        const Vec3 at = LabelPosition(shot.soundPosition);
        if (at.x == 0.0f && at.y == 0.0f && at.z == 0.0f) {
            DebugLog() << "**ERROR** didn't find sound label : " << Logged(shot.soundPosition);
            shot.soundLoaded = false;
        }
        shot.sound.SetPosition(at);
    }
}

Vec3 Cutscene::LabelPosition(const std::string& label) const {
    for (const CutsceneShot& r : shots)
        if (r.label == label) return r.position;
    for (const CutsceneEntity& r : entities)
        if (r.label == label) return r.position;
    for (const CutsceneFocus& r : focuses)
        if (r.label == label) return r.position;
    for (const CutsceneLabel& r : labels)
        if (r.label == label) return r.position;
    return {};
}
