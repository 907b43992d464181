#pragma once
#include <memory>
#include <string>
#include <vector>

#include "common/image.h"
#include "graphics/md2_file.h"
#include "graphics/textures.h"

// Renders MD2 models into square tiles the way the game draws them (file
// winding reversed, one flat normal per triangle, z-up models turned upright
// by a -90 degree turn about x, back faces culled), lit by one light.

struct SheetModel {
    std::string name;
    Md2FileData data;
    std::unique_ptr<SkinImage> skin;  // null when the skin would not load
};

// Loads the model and its skin (relative to the working directory, which is
// the game folder). Null model data when the MD2 file is unusable.
std::unique_ptr<SheetModel> LoadSheetModel(const std::string& modelPath, const std::string& skinPath);

// Draws the given frames of the model, one per tile, all seen from the same
// camera fitted to their joint bounds, and returns the tiles read back. A
// companion (a held weapon) is drawn at the same frames in the same place.
std::vector<RgbImage> RenderModelTiles(const SheetModel& model, const std::vector<int>& frames, int tileSize,
                                       const SheetModel* companion = nullptr);
