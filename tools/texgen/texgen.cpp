#include "texgen/texgen.h"

#include <utility>

#include "texgen/font_atlas.h"
#include "texgen/font_raster.h"
#include "texgen/signs.h"

namespace texgen {

GeneratedContent GenerateContent() {
    const FontLibrary fonts;
    GeneratedContent content;
    content.levelTextures = MakeMaterials();
    for (LevelTexture& sign : MakeSigns(fonts)) content.levelTextures.push_back(std::move(sign));
    for (auto maker : {MakeEffectImages, MakeHudImages, MakeAmmoIcons})
        for (NamedImage& image : maker()) content.images.push_back(std::move(image));
    content.images.push_back({kFontAtlasPath, MakeFontAtlas(fonts)});
    return content;
}

std::string LevelTexturePath(const LevelTexture& texture) { return "gfx/" + texture.name + ".bmp"; }

std::vector<std::string> WriteContent(const GeneratedContent& content, const std::string& gameDir) {
    std::vector<std::string> written;
    for (const LevelTexture& texture : content.levelTextures) {
        WriteLevelBmp(gameDir + "/" + LevelTexturePath(texture), texture.image);
        written.push_back(LevelTexturePath(texture));
    }
    for (const NamedImage& image : content.images) {
        WriteBmp(gameDir + "/" + image.path, image.image);
        written.push_back(image.path);
    }
    const std::string list = TextureListText(content.levelTextures);
    WriteFileBytes(gameDir + "/" + kTextureListPath, std::vector<std::uint8_t>(list.begin(), list.end()));
    written.push_back(kTextureListPath);
    return written;
}

std::string ToolTexturePath(const LevelTexture& tool) { return kToolTextureFolder + tool.name + ".bmp"; }

std::vector<std::string> WriteToolTextures(const std::vector<LevelTexture>& tools, const std::string& editorDir) {
    std::vector<std::string> written;
    for (const LevelTexture& tool : tools) {
        WriteLevelBmp(editorDir + "/" + ToolTexturePath(tool), tool.image);
        written.push_back(ToolTexturePath(tool));
    }
    return written;
}

}  // namespace texgen
