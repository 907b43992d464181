#pragma once
// Every sound the generator makes, one function each, grouped by the file
// that makes them. Each returns a finished signal: levelled, its edges
// faded (one-shots) or its seam joined (loops).
#include <string>
#include <vector>

#include "soundgen/signal.h"
#include "soundgen/speech.h"

namespace soundgen {

// Peak levels in dBFS. Effects sit just under full scale; loops that play
// under everything, and the music, sit lower.
constexpr double kEffectPeakDb = -1.0;
constexpr double kCrystalPeakDb = -10.5;  // three sound together in the puzzle
constexpr double kAmbiencePeakDb = -6.0;
constexpr double kCreaturePeakDb = -3.0;
constexpr double kMusicPeakDb = -3.0;
constexpr double kVoicePeakDb = -1.0;

// effects_weapons.cpp: shots, empty clicks and reloads.
Signal HandgunFire();
Signal MachineGunFire();
Signal DartgunFire();
Signal AntiMatterLauncherFire();
Signal IonRepeaterFire();
Signal FlameSleeveFire();
Signal HandgunEmpty();
Signal MachineGunEmpty();
Signal AsrEmpty();
Signal AntiMatterLauncherEmpty();
Signal FlameSleeveEmpty();
Signal HandgunReload();
Signal MachineGunReload();
Signal AsrReload();
Signal AntiMatterLauncherReload();
Signal FlameSleeveReload();

// effects_world.cpp: the explosion, the interface beep and the puzzle.
Signal Explosion();
Signal OutOfAmmo();
// Number of crystal tones, and the looping tone of step 1..kCrystalSteps
// of their scale.
constexpr int kCrystalSteps = 6;
Signal CrystalTone(int step);
Signal CrystalChord();
Signal PuzzleSolve();

// ambience.cpp: looping backgrounds.
Signal IndustrialAmbience();
Signal CaveAmbience();
Signal PortalWarp();

// creatures.cpp: looping enemy voices.
Signal ShrikeVoice();
Signal LumaridVoice();
Signal StriderVoice();
Signal EndbossVoice();

// song.cpp: the level music, a seamless loop.
Stereo LevelSong();
// rap.cpp: the credits song with spoken lines over the beat; without a
// speech program the lines are left out.
Stereo CreditsSong(const std::vector<std::string>& lyrics, const SpeechVoice& voice, bool speak);

}  // namespace soundgen
