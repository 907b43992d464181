#pragma once
#include "audio/sound.h"

// The voice-line groups of the hero, in the order of RemarkGroup.
constexpr int kVoiceIdleLines = 7;
constexpr int kVoiceHealthLines = 6;
constexpr int kVoiceKillingLines = 12;
constexpr int kVoicePainLines = 7;
constexpr int kVoiceWeaponLines = 3;
// Crystal tones 0..5 and, last, the hint crystal's chord.
constexpr int kCrystalSounds = 7;
// Weapons with a fire sound and an empty sound of their own.
constexpr int kGunsWithSounds = 4;

// Distances of the explosion's sound.
constexpr float kExplosionMinDistance = 1000.0f;
constexpr float kExplosionMaxDistance = 2000.0f;

// The game's own sounds, loaded once at start-up.
struct SoundTable {
    Sound ambient1, ambient2, song, creditsSong;
    Sound fire[kGunsWithSounds];   // handgun, machine gun, ASR, antimatter launcher
    Sound empty[kGunsWithSounds];  // the same weapons without ammunition
    Sound outOfAmmo;      // also weapon 5 without ammunition
    Sound ionRepeater;    // weapon 5
    Sound reloadHandgun, reloadMachinegun, reloadAsr, reloadAntiMatterLauncher, reloadFlamesleeve;
    Sound flamesleeveEmpty, puzzleSolve, flamesleeve, portalWarp;
    Sound crystals[kCrystalSounds];
    Sound voiceHealth[kVoiceHealthLines];
    Sound voiceIdle[kVoiceIdleLines];
    Sound voiceKilling[kVoiceKillingLines];
    Sound voicePain[kVoicePainLines];
    Sound voiceWeapon[kVoiceWeaponLines];
    // Placed where a shot explodes.
    Sound3D explosion;

    // Loads every entry from the sounds/ folder of the working directory,
    // onto the device when there is one. Returns how many loaded; a missing
    // file leaves its entry silent.
    int Load(AudioDevice* device);
};
