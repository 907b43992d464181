#pragma once
// Crystals that show their song: a crystal glows while its tone plays, and
// while the hint crystal sings, the three crystals of its song light up one
// after another. Only pictures change; the puzzle and its sounds do not.
#include <cstdint>
#include <vector>

#include "math/vec3.h"

class World;
class Sound;
struct ModelSet;
struct TouchState;
struct ViewTransform;

// Each crystal of the hint's song is lit this long, in the song's order.
constexpr std::uint32_t kHintNoteMs = 600;

// How brightly each of world.crystals glows at `now` (0: not at all, up to
// 1): a ringing (looping) tone pulses; for 3 x kHintNoteMs after the hint
// crystal sang, it glows and its song's crystals light in turn. `tones`:
// one per crystal index, or null.
std::vector<float> CrystalGlows(const World& world, const Sound* tones, int toneCount, const TouchState& touch,
                                std::uint32_t now);

// The glow over a crystal already drawn: the gem again, larger and added
// on, and a few sparks circling it. `number` picks the gem's colour;
// `seconds` turns the sparks.
void DrawCrystalGlow(const ModelSet& gem, const ViewTransform& view, const Vec3& at, float scale, int number,
                     float glow, double seconds);
