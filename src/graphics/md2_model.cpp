#include "graphics/md2_model.h"

#include <GL/gl.h>

#include <cmath>

#include "base/debug_log.h"
#include "graphics/image_files.h"

namespace {

// Weapon index to gun slot (1-based): 0 handgun, 1 machine gun, 2 ASR,
// 3 antimatter launcher with its own skin, 4 flame sleeve, 5 the launcher
// with the common weapon skin.
constexpr int kGunSlotForWeapon[] = {1, 2, 3, 5, 6, 4};

Vec3 FlatNormal(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 u = a - b, v = a - c;
    Vec3 n(u.y * v.z - v.y * u.z, v.x * u.z - u.x * v.z, u.x * v.y - v.x * u.y);
    n.Normalize();
    return n;
}

// The triangles of the model with positions blended between two frames;
// the file's winding is reversed.
void EmitBlended(const Md2Model& model, int frameA, int frameB, float f) {
    const Vec3* a = model.Frame(frameA);
    const Vec3* b = model.Frame(frameB);
    auto at = [&](int i) { return Vec3(a[i].x + (b[i].x - a[i].x) * f, a[i].y + (b[i].y - a[i].y) * f,
                                       a[i].z + (b[i].z - a[i].z) * f); };
    if (model.skin) glBindTexture(GL_TEXTURE_2D, model.skin->texture.Name());
    glBegin(GL_TRIANGLES);
    for (const Md2FileTriangle& t : model.triangles) {
        const Vec3 p0 = at(t.vertex[0]), p1 = at(t.vertex[1]), p2 = at(t.vertex[2]);
        const Vec3 n = FlatNormal(p0, p2, p1);
        glNormal3f(n.x, n.y, n.z);
        const int order[3] = {0, 2, 1};
        const Vec3* corners[3] = {&p0, &p1, &p2};
        for (int k : order) {
            glTexCoord2f(model.texCoords[t.texCoord[k] * 2], model.texCoords[t.texCoord[k] * 2 + 1]);
            glVertex3f(corners[k]->x, corners[k]->y, corners[k]->z);
        }
    }
    glEnd();
}

bool RangeFits(const Md2Model* model, int start, int end) {
    return model && start >= 0 && start < model->frameCount && end >= 0 && end < model->frameCount;
}

}  // namespace

std::unique_ptr<Md2Model> LoadMd2(const char* md2Path, const char* skinPath, float loadScale) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(md2Path, bytes)) return nullptr;
    std::optional<Md2FileData> file = ParseMd2File(bytes);
    if (!file) return nullptr;
    auto model = std::make_unique<Md2Model>();
    model->frameCount = file->frameCount;
    model->vertexCount = file->vertexCount;
    model->points = std::move(file->points);
    if (loadScale != 0.0f && loadScale != 1.0f)
        for (Vec3& p : model->points) p /= loadScale;
    model->skin = LoadSkinImage(skinPath);
    if (!model->skin || !UploadSkinTexture(*model->skin)) return nullptr;
    const float w = static_cast<float>(model->skin->width), h = static_cast<float>(model->skin->height);
    for (const Md2FileTexCoord& tc : file->texCoords) {
        model->texCoords.push_back(tc.s / w);
        model->texCoords.push_back(tc.t / h);
    }
    model->triangles = std::move(file->triangles);
    return model;
}

void DrawFrame(const Md2Model& model, int frame) {
    if (frame < 0 || frame >= model.frameCount) return;
    EmitBlended(model, frame, frame, 0.0f);
}

ShownFrame AdvanceRange(const Md2Model* model, FrameCounters c, float step) {
    if (!RangeFits(model, c.start, c.end)) return {};
    if (c.frame < c.start) c.frame = c.start;
    if (c.interpolation >= 1.0f) {
        c.interpolation = 0.0f;
        if (c.frame < c.end) ++c.frame;
        if (c.frame >= c.end && c.loops) c.frame = c.start;
        if (c.frame < c.end) c.next = c.frame + 1;
        if (c.next >= c.end) c.next = c.start;
    }
    const bool holding = c.frame >= c.end - 1 && !c.loops;
    const int frame = c.frame < model->frameCount ? c.frame : model->frameCount - 1;
    const int next = c.next >= 0 && c.next < model->frameCount ? c.next : frame;
    const ShownFrame shown = holding ? ShownFrame{model, frame, frame, 0.0f}
                                     : ShownFrame{model, frame, next, c.interpolation};
    if (!holding) c.interpolation += step;
    return shown;
}

ShownFrame AdvanceRange(const Md2Model* model, int startFrame, int endFrame, int& frame,
                        int& nextFrame, float& interpolation, float step) {
    if (!RangeFits(model, startFrame, endFrame)) return {};
    if (interpolation >= 1.0f) {
        interpolation = 0.0f;
        if (frame < endFrame) ++frame;
        if (frame >= endFrame) frame = startFrame;
        nextFrame = frame + 1;
        if (nextFrame >= endFrame) nextFrame = startFrame;
    }
    const int shownFrame = frame >= 0 && frame < model->frameCount ? frame : startFrame;
    const int blendTo = nextFrame >= 0 && nextFrame < model->frameCount ? nextFrame : shownFrame;
    const ShownFrame shown = frame < endFrame ? ShownFrame{model, shownFrame, blendTo, interpolation}
                                              : ShownFrame{model, shownFrame, shownFrame, 0.0f};
    interpolation += step;
    return shown;
}

void DrawShown(const ShownFrame& shown) {
    if (shown.model) EmitBlended(*shown.model, shown.frame, shown.next, shown.blend);
}

void AnimateRange(const Md2Model* model, int startFrame, int endFrame, int& frame, int& nextFrame,
                  float& interpolation, float step) {
    DrawShown(AdvanceRange(model, startFrame, endFrame, frame, nextFrame, interpolation, step));
}

void ModelSet::Reset() {
    main.reset();
    for (auto& gun : guns) gun.reset();
    animationSpeed = 0.25f;
    DebugLog() << "Model Initialized\n";
}

bool ModelSet::LoadMainModel(const char* md2Path, const char* skinPath) {
    main = LoadMd2(md2Path, skinPath);
    if (!main) DebugLog() << "-- " << md2Path << " Model file not found. Model is not loaded --\n";
    return main != nullptr;
}

void ModelSet::LoadGunModels(const char* const (&paths)[kGunModels][2]) {
    for (int i = 0; i < kGunModels; ++i) {
        guns[i] = LoadMd2(paths[i][0], paths[i][1]);
        if (!guns[i]) DebugLog() << "-- Gun Model file " << i + 1 << " not found. Model is not loaded --\n";
    }
}

const Md2Model* ModelSet::GunForWeapon(int weapon) const {
    const int slot = weapon >= 0 && weapon < 6 ? kGunSlotForWeapon[weapon] : 1;
    return guns[slot - 1].get();
}

void BeginPlacement(const ViewTransform& view, const Vec3& position, MatrixOnEntry entry) {
    if (entry == MatrixOnEntry::Reset) glLoadIdentity();
    glPushMatrix();
    glLoadIdentity();
    ApplyView(view);
    glTranslatef(position.x, position.y, position.z);
    glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
}

void EndPlacement() {
    glPopMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
}

void DrawModelAt(const ModelSet& set, const ViewTransform& view, const Vec3& position, const Md2Model* model,
                 float scale) {
    const Md2Model* drawn = model ? model : set.main.get();
    if (!drawn) {
        DebugLog() << "Trying to render a NULL model file\n";
        return;
    }
    BeginPlacement(view, position);
    glScalef(scale, scale, scale);
    DrawFrame(*drawn, 0);
    EndPlacement();
}

ShownFrame AdvanceMainModel(const ModelSet& set, int startFrame, int endFrame, int& frame,
                            int& nextFrame, float& interpolation, float step) {
    if (!set.main) {
        DebugLog() << "Trying to render a NULL model file\n";
        return {};
    }
    return AdvanceRange(set.main.get(), startFrame, endFrame, frame, nextFrame, interpolation, step);
}

void DrawShownModelAt(const ViewTransform& view, const Vec3& position, float yaw, float scale,
                      const ShownFrame& shown) {
    BeginPlacement(view, position);
    glRotatef(yaw, 0.0f, 0.0f, 1.0f);
    glScalef(scale, scale, scale);
    DrawShown(shown);
    EndPlacement();
}

void DrawModel(const ModelSet&, const Md2Model* model) {
    if (model) DrawFrame(*model, 0);
    glColor3f(1.0f, 1.0f, 1.0f);
}
