#pragma once
#include "rig_mesh.h"

// The hero's guns, each built in its own frame: the grip (where the hand
// holds it) at the origin, the barrel along +x and up along +z, at the size
// the hero holds it.

namespace modelgen {

enum class Gun { Handgun, MachineGun, Asr, AntimatterLauncher, FlameSleeve };

// Adds the gun's parts to the builder, all on bone 0.
void AddGunParts(RigBuilder& builder, Gun gun);

}  // namespace modelgen
