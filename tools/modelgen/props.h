#pragma once
#include <string>
#include <vector>

#include "rig_mesh.h"

// Still models: the seven gems of the crystal puzzle and the eight pickups.
// The game draws both at scale 4.

namespace modelgen {

void GenerateGems(const std::string& gameDir);
void GeneratePowerups(const std::string& gameDir);

// Writes every group of the atlas as a one-frame model, each centred on the
// origin, with the given paths.
void WriteStillModels(const std::string& gameDir, const RigAtlas& atlas, const std::string& skinPath,
                      const std::vector<std::string>& modelPaths);

}  // namespace modelgen
