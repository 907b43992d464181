// contactsheet <game dir> <out.png|out.bmp> [text [tile size]]: one picture of every
// model the game loads (or only those whose path contains the text), at a
// row of animation frames each, followed by the level textures.
// Opens an offscreen-capable GL window (set SDL_VIDEODRIVER=offscreen to run
// without a display). Prints which row shows which model.
#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/image.h"
#include "common/png.h"
#include "graphics/image_files.h"
#include "model_tiles.h"
#include "platform/window.h"

namespace {

namespace fs = std::filesystem;

int tileSize = 160;  // pixels; the fourth argument can change it
constexpr int kTilesPerRow = 16;
constexpr int kAnimatedFrames = 199;
// Stand, idle, run, jump, attack, pain, gesture, crouch walk, crouch or
// wander, deaths (177 is the corpse frame), held death frames.
const std::vector<int> kSampleFrames = {0, 20, 42, 45, 52, 63, 70, 100, 158, 165, 174, 177, 183, 186, 189, 196};

struct SheetRow {
    std::string label;
    std::vector<RgbImage> tiles;
};

std::vector<std::string> FilesWithExtension(const std::string& dir, const std::string& extension, bool recursive) {
    std::vector<std::string> paths;
    if (!fs::is_directory(dir)) return paths;
    auto take = [&](const fs::directory_entry& entry) {
        if (entry.is_regular_file() && entry.path().extension() == extension) paths.push_back(entry.path().string());
    };
    if (recursive)
        for (const auto& entry : fs::recursive_directory_iterator(dir)) take(entry);
    else
        for (const auto& entry : fs::directory_iterator(dir)) take(entry);
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The hero holding each of his guns, drawn together as the game does.
const char* const kHeldGuns[] = {"models/marine/handgun.md2", "models/marine/machinegun.md2",
                                 "models/marine/asr2.md2", "models/marine/antimatterlauncher.md2",
                                 "models/marine/flamesleeve.md2"};
const char kHero[] = "models/marine/tris.md2";
const char kHeroSkin[] = "models/marine/Orv.bmp";

// Skin pairings beyond the one named inside each file.
struct ExtraPairing {
    const char* model;
    const char* skin;
};
const ExtraPairing kExtraPairings[] = {
    {"models/marine/tris.md2", "models/marine/corpse2.pcx"},
    {"models/marine/antimatterlauncher.md2", "models/marine/weapon.pcx"},
};

// Animated models get a row each; still models share rows, one tile each.
void AddModelRow(std::vector<SheetRow>& rows, SheetRow& stills, const std::string& modelPath,
                 const std::string& skinPath) {
    std::unique_ptr<SheetModel> model = LoadSheetModel(modelPath, skinPath);
    if (!model) {
        std::fprintf(stderr, "contactsheet: %s does not load\n", modelPath.c_str());
        return;
    }
    if (!model->skin) std::fprintf(stderr, "contactsheet: skin %s does not load\n", skinPath.c_str());
    const std::string label = modelPath + " + " + skinPath;
    if (model->data.frameCount >= kAnimatedFrames) {
        rows.push_back({label, RenderModelTiles(*model, kSampleFrames, tileSize)});
        return;
    }
    stills.label += (stills.label.empty() ? "" : ", ") + label;
    stills.tiles.push_back(RenderModelTiles(*model, {0}, tileSize).front());
    if (static_cast<int>(stills.tiles.size()) == kTilesPerRow) {
        rows.push_back(std::move(stills));
        stills = SheetRow{};
    }
}

std::string SkinNamedIn(const std::string& modelPath) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(modelPath, bytes)) return "";
    const std::optional<Md2FileData> data = ParseMd2File(bytes);
    return data && !data->skinNames.empty() ? data->skinNames.front() : "";
}

void AddHeldGunRows(std::vector<SheetRow>& rows) {
    std::unique_ptr<SheetModel> hero = LoadSheetModel(kHero, kHeroSkin);
    if (!hero) return;
    for (const char* gunPath : kHeldGuns) {
        std::unique_ptr<SheetModel> gun = LoadSheetModel(gunPath, SkinNamedIn(gunPath));
        if (gun) rows.push_back({std::string(kHero) + " holding " + gunPath,
                                 RenderModelTiles(*hero, kSampleFrames, tileSize, gun.get())});
    }
}

RgbImage ScaledTile(const DecodedImage& image) {
    RgbImage tile(tileSize, tileSize);
    for (int y = 0; y < tileSize; ++y)
        for (int x = 0; x < tileSize; ++x) {
            const int sx = x * image.width / tileSize, sy = y * image.height / tileSize;
            const std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(sy) * image.width + sx) * image.bytesPerPixel];
            tile.Set(x, y, p[0], p[1], p[2]);
        }
    return tile;
}

void AddTextureRows(std::vector<SheetRow>& rows) {
    SheetRow row;
    for (const std::string& path : FilesWithExtension("gfx", ".bmp", false)) {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(path, bytes)) continue;
        std::optional<DecodedImage> image = DecodeLevelBmp(bytes);
        if (!image) image = DecodeBmp(bytes);
        if (!image || image->width < 1 || image->height < 1) continue;
        if (row.tiles.empty()) row.label = "textures from " + path;
        row.tiles.push_back(ScaledTile(*image));
        if (static_cast<int>(row.tiles.size()) == kTilesPerRow) {
            rows.push_back(std::move(row));
            row = SheetRow{};
        }
    }
    if (!row.tiles.empty()) rows.push_back(std::move(row));
}

// BMP files keep their rows bottom up; the writer stores the first row
// first, so the sheet is built upside down to be seen upright.
RgbImage UpsideDown(const RgbImage& image) {
    RgbImage flipped(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        std::copy_n(image.At(0, y), image.width * 3, flipped.At(0, image.height - 1 - y));
    return flipped;
}

RgbaImage Opaque(const RgbImage& image) {
    RgbaImage out(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::copy_n(image.At(x, y), 3, out.At(x, y));
            out.At(x, y)[3] = 255;
        }
    return out;
}

RgbImage Compose(const std::vector<SheetRow>& rows) {
    RgbImage sheet(tileSize * kTilesPerRow, tileSize * std::max<int>(1, static_cast<int>(rows.size())));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].tiles.size() && c < static_cast<std::size_t>(kTilesPerRow); ++c)
            for (int y = 0; y < tileSize; ++y)
                std::copy_n(rows[r].tiles[c].At(0, y), tileSize * 3,
                            sheet.At(static_cast<int>(c) * tileSize, static_cast<int>(r) * tileSize + y));
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: contactsheet <game dir> <out.png|out.bmp> [path text [tile size]]\n");
        return 2;
    }
    if (argc == 5) tileSize = std::clamp(std::atoi(argv[4]), 32, 1024);
    try {
        const fs::path output = fs::absolute(argv[2]);
        fs::current_path(argv[1]);
        platform::WindowRequest request;
        request.title = "Talvemar contact sheet";
        request.width = 2 * tileSize;
        request.height = 2 * tileSize;
        std::string error;
        std::unique_ptr<platform::GameWindow> window = platform::GameWindow::Create(request, error);
        if (!window) {
            std::fprintf(stderr, "contactsheet: no GL window: %s\n", error.c_str());
            return 1;
        }
        std::vector<SheetRow> rows;
        SheetRow stills;
        for (const std::string& path : FilesWithExtension("models", ".md2", true)) {
            const std::string relative = fs::path(path).lexically_relative(".").string();
            if (argc >= 4 && relative.find(argv[3]) == std::string::npos) continue;
            AddModelRow(rows, stills, relative, SkinNamedIn(relative));
            for (const ExtraPairing& extra : kExtraPairings)
                if (relative == extra.model) AddModelRow(rows, stills, relative, extra.skin);
        }
        if (!stills.tiles.empty()) rows.push_back(std::move(stills));
        if (argc == 3 || std::string(kHero).find(argv[3]) != std::string::npos) AddHeldGunRows(rows);
        if (argc == 3) AddTextureRows(rows);
        for (std::size_t r = 0; r < rows.size(); ++r) std::printf("row %2zu: %s\n", r, rows[r].label.c_str());
        const RgbImage sheet = Compose(rows);
        if (output.extension() == ".png") WriteFileBytes(output.string(), EncodePng(Opaque(sheet)));
        else WriteBmp(output.string(), UpsideDown(sheet));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "contactsheet: %s\n", e.what());
        return 1;
    }
    return 0;
}
