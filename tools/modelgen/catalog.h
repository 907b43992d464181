#pragma once
#include <string>
#include <vector>

// Every model the game loads, and the one call that writes them all.

namespace modelgen {

struct ModelFile {
    std::string model;               // relative to the game folder
    std::vector<std::string> skins;  // every skin the game pairs with it
    int frames = 1;
};

const std::vector<ModelFile>& ModelCatalog();

// Writes every model and skin of the catalog below the game folder.
void GenerateAllModels(const std::string& gameDir);

}  // namespace modelgen
