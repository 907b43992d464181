#include "model_tiles.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "graphics/image_files.h"

namespace {

constexpr double kFieldOfView = 40.0;
constexpr double kViewHeading = 60.0;  // degrees round from straight in front
constexpr double kViewElevation = 18.0;
constexpr float kBackground[3] = {0.16f, 0.17f, 0.2f};

struct Box {
    Vec3 low{1e9f, 1e9f, 1e9f};
    Vec3 high{-1e9f, -1e9f, -1e9f};
    void Add(const Vec3& p) {
        low = Vec3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = Vec3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
};

// The game's flat normal of corners a, b, c: (a - b) x (a - c), normalised.
void EmitFlatNormal(const Vec3& a, const Vec3& b, const Vec3& c) {
    Vec3 n = (a - b).Cross(a - c);
    n.Normalize();
    glNormal3f(n.x, n.y, n.z);
}

void DrawFrame(const SheetModel& model, int frame) {
    const Md2FileData& d = model.data;
    const float sw = model.skin ? static_cast<float>(std::max(model.skin->width, 1)) : 1.0f;
    const float sh = model.skin ? static_cast<float>(std::max(model.skin->height, 1)) : 1.0f;
    if (model.skin) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, model.skin->texture.Name());
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    glBegin(GL_TRIANGLES);
    for (const Md2FileTriangle& tri : d.triangles) {
        const Vec3& p0 = d.Point(frame, tri.vertex[0]);
        const Vec3& p1 = d.Point(frame, tri.vertex[1]);
        const Vec3& p2 = d.Point(frame, tri.vertex[2]);
        EmitFlatNormal(p0, p2, p1);
        for (int corner : {0, 2, 1}) {
            const Md2FileTexCoord& st = d.texCoords[tri.texCoord[corner]];
            glTexCoord2f(st.s / sw, st.t / sh);
            const Vec3& p = d.Point(frame, tri.vertex[corner]);
            glVertex3f(p.x, p.y, p.z);
        }
    }
    glEnd();
}

void SetUpLight() {
    const GLfloat ambient[4] = {0.38f, 0.38f, 0.4f, 1.0f};
    const GLfloat diffuse[4] = {0.85f, 0.82f, 0.78f, 1.0f};
    const GLfloat direction[4] = {0.4f, 0.9f, 0.6f, 0.0f};  // eye space, from above right
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glColor3f(1, 1, 1);
    glEnable(GL_NORMALIZE);
}

RgbImage ReadTile(int size) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    RgbImage tile(size, size);
    for (int y = 0; y < size; ++y)  // GL rows run bottom up
        std::copy_n(&pixels[static_cast<std::size_t>(size - 1 - y) * size * 3], size * 3, tile.At(0, y));
    return tile;
}

}  // namespace

std::unique_ptr<SheetModel> LoadSheetModel(const std::string& modelPath, const std::string& skinPath) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(modelPath, bytes)) return nullptr;
    std::optional<Md2FileData> data = ParseMd2File(bytes);
    if (!data) return nullptr;
    auto model = std::make_unique<SheetModel>();
    model->name = modelPath;
    model->data = std::move(*data);
    model->skin = LoadSkinImage(skinPath.c_str());
    if (model->skin && !UploadSkinTexture(*model->skin)) model->skin.reset();
    return model;
}

std::vector<RgbImage> RenderModelTiles(const SheetModel& model, const std::vector<int>& frames, int tileSize,
                                       const SheetModel* companion) {
    // Each frame is centred on itself; all share the scale of the largest.
    std::vector<Vec3> centres;
    float radius = 1.0f;
    for (int frame : frames) {
        Box box;
        for (int v = 0; v < model.data.vertexCount; ++v) box.Add(model.data.Point(frame, v));
        const Vec3 size = box.high - box.low;
        centres.emplace_back((box.low.x + box.high.x) * 0.5f, (box.low.y + box.high.y) * 0.5f,
                             (box.low.z + box.high.z) * 0.5f);
        // Still models fill their tile; animated ones leave room round the pose.
        radius = std::max(radius, frames.size() == 1 ? 0.5f * size.Length()
                                                     : 0.55f * std::max(std::max(size.x, size.y), size.z));
    }
    const double distance = radius / std::sin(kFieldOfView * 0.5 * M_PI / 180.0);

    std::vector<RgbImage> tiles;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const int frame = frames[i];
        const Vec3& centre = centres[i];
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, tileSize, tileSize);
        glClearColor(kBackground[0], kBackground[1], kBackground[2], 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(kFieldOfView, 1.0, distance * 0.05, distance * 4.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        SetUpLight();
        // The world is y-up; models are placed as the game places them.
        const double heading = kViewHeading * M_PI / 180.0, elevation = kViewElevation * M_PI / 180.0;
        gluLookAt(distance * std::cos(elevation) * std::cos(heading), distance * std::sin(elevation),
                  -distance * std::cos(elevation) * std::sin(heading), 0, 0, 0, 0, 1, 0);
        glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
        glTranslatef(-centre.x, -centre.y, -centre.z);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(GL_CCW);
        DrawFrame(model, std::clamp(frame, 0, model.data.frameCount - 1));
        if (companion) DrawFrame(*companion, std::clamp(frame, 0, companion->data.frameCount - 1));
        glFinish();
        tiles.push_back(ReadTile(tileSize));
    }
    glDisable(GL_LIGHTING);
    return tiles;
}
