#pragma once
#include <string>

// The five enemy kinds, each with 199 frames laid out on the enemy
// animation table, and its skin.

namespace modelgen {

// models/shrike/shrike.md2: a tall two-legged bird-like stalker, about 165
// units from its toes to its crest.
void GenerateShrike(const std::string& gameDir);
// models/strider/strider.md2: a pod on four long jointed legs.
void GenerateStrider(const std::string& gameDir);
// models/lumarid/lumarid.md2: a floating bell trailing eight tentacles.
void GenerateLumarid(const std::string& gameDir);
// models/kultha/kultha.md2: a small six-legged crawling bug.
void GenerateKultha(const std::string& gameDir);
// models/marine/endboss.md2: an armoured giant about 210 units tall.
void GenerateEndBoss(const std::string& gameDir);

}  // namespace modelgen
