#pragma once
#include <string>
#include <vector>

#include "geometry.h"

namespace modelgen {

// Writes the held guns (one frame per hero frame, each placed in the hero's
// right palm), the pick-up guns (one frame, floating level, 30 to 60 units
// long) and their skins: weapon.pcx for the handgun, machine gun, ASR and
// antimatter launcher (one shared layout), antimatterlauncher.pcx (the same
// layout, energised colours) and flametex.pcx for the flame sleeve.
void GenerateWeapons(const std::string& gameDir, const std::vector<Xform>& palms,
                     const std::vector<std::string>& frameNames);

}  // namespace modelgen
