// The game's sounds over the level sequence: enemy voices, the level's
// sound nodes, the listener, and the music that changes with the level.
#include "core/game.h"
#include "math/camera.h"
#include "world/entities.h"

namespace {

constexpr int kPortalLevel = 5;
constexpr float kEnemyVoiceMinDistance = 50.0f;
const Vec3 kListenerTop{0.0f, 1.0f, 0.0f};

// The voice of an enemy kind; null for kinds without one.
const char* EnemyVoiceFile(int kind) {
    switch (kind) {
        case 0: return "sounds/Shrike/ShrikeNormal.wav";
        case 1: return "sounds/Lumarid/LumaridNormal.wav";
        case 2: return "sounds/Strider/StriderNormal.wav";
        case 3: return "sounds/Boss/Endboss.wav";
        default: return nullptr;
    }
}

}  // namespace

void Game::GiveEnemiesVoices() {
    enemyVoices.clear();
    enemyVoices.resize(world.enemies.size());
    for (std::size_t i = enemyVoices.size(); i-- > 0;) {
        Sound3D& voice = enemyVoices[i];
        if (const char* file = EnemyVoiceFile(world.enemies[i].kind)) {
            voice.Load(file, soundSystem.Device());
            voice.SetPosition(world.enemies[i].position);
        }
        voice.SetMinDistance(kEnemyVoiceMinDistance);
        voice.Play(true, Now());  // a voice without a file stays silent
    }
}

void Game::StopEnemyVoices() {
    for (Sound3D& voice : enemyVoices) voice.Stop(Now());
}

void Game::StartSoundNodes() {
    soundNodeSounds.clear();
    soundNodeSounds.resize(soundNodes.size());
    for (std::size_t i = 0; i < soundNodes.size(); ++i) {
        const SoundNode& node = soundNodes[i];
        Sound3D& sound = soundNodeSounds[i];
        sound.Load(node.path, soundSystem.Device());
        sound.SetMinDistance(node.minDistance);
        sound.SetMaxDistance(node.maxDistance);
        sound.SetPosition(node.position);
        sound.Play(true, Now());
    }
}

void Game::StopSoundNodes() {
    for (Sound3D& sound : soundNodeSounds) sound.Stop(Now());
}

void Game::PlaceSounds() {
    soundSystem.SetListenerPosition(camera.position);
    soundSystem.SetListenerOrientation(camera.forward, kListenerTop);
    if (levelIndex != kPortalLevel) {
        const std::size_t count = std::min(enemyVoices.size(), world.enemies.size());
        for (std::size_t i = count; i-- > 0;) enemyVoices[i].SetPosition(world.enemies[i].position);
    }
    soundSystem.Commit();
}

void Game::StartSequenceMusic(int index) {
    for (Sound* music : {&sounds.song, &sounds.ambient1, &sounds.ambient2, &sounds.creditsSong,
                         &sounds.portalWarp})
        music->Stop(Now());
    if (index == 0) return;  // the options menu has none
    // Level 4 keeps the second level's ambience going under the song.
    if (index == 4) sounds.ambient2.Play(true, Now());
    SwitchMusicAfterLoading(index);
}

void Game::SwitchMusicBeforeLoading(int index) {
    switch (index) {
        case 1: case 3: case 4: break;
        case kPortalLevel:
            sounds.ambient2.Stop(Now());
            sounds.song.Stop(Now());
            break;
        default: sounds.portalWarp.Stop(Now()); break;  // the credits
    }
}

void Game::SwitchMusicAfterLoading(int index) {
    switch (index) {
        case 1:
            sounds.portalWarp.Stop(Now());
            sounds.song.Play(true, Now());
            sounds.ambient1.Play(true, Now());
            break;
        case 3:
            sounds.song.Stop(Now());
            sounds.ambient1.Stop(Now());
            sounds.ambient2.Play(true, Now());
            break;
        case 4: sounds.song.Play(true, Now()); break;
        case kPortalLevel: sounds.portalWarp.Play(true, Now()); break;
        default: sounds.creditsSong.Play(false, Now()); break;  // the credits
    }
}
