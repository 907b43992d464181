#include "actors/decals.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

#include "graphics/view_transform.h"

namespace {

const char* const kTextureFiles[decal_texture::Count] = {
    "gfx/part.bmp",
    "gfx/blood.bmp",
    "gfx/blood2.bmp",
};

constexpr int kBloodKind = 2;
constexpr int kScorchKind = 9;

// Pulls the marks towards the eye so they win the depth test on their wall.
constexpr GLfloat kOffsetFactor = -1.0f;
constexpr GLfloat kOffsetUnits = -2.0f;

// Texture coordinates of corners 0 to 3.
constexpr GLfloat kCornerUv[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};

}  // namespace

void Decals::Init() {
    for (int i = 0; i < decal_texture::Count; ++i) {
        if (LoadTexture(textures[i], kTextureFiles[i])) UploadTexture(textures[i]);
    }
    Reset();
}

void Decals::Reset() {
    for (Decal& mark : marks) mark.active = 0;
    newest = 0;
    count = 0;
}

void Decals::Add(const Vec3 (&corners)[4], int kind) {
    newest = (newest + kDecalSlots - 1) % kDecalSlots;
    Decal& mark = marks[newest];
    for (int i = 0; i < 4; ++i) mark.corners[i] = corners[i];
    mark.kind = kind;
    mark.texture = kind == kBloodKind ? decal_texture::Blood + std::rand() % 2 : decal_texture::Spark;
    mark.active = 1;
    if (count < kDecalSlots) ++count;
}

const Decal& Decals::Mark(int age) const {
    const int clamped = age < 0 ? 0 : (age >= kDecalSlots ? kDecalSlots - 1 : age);
    return marks[(newest + clamped) % kDecalSlots];
}

void Decals::DrawMark(const Decal& mark) const {
    if (mark.kind == kBloodKind) {
        glColor3ub(55, 0, 0);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else if (mark.kind == kScorchKind) {
        glColor3ub(20, 20, 20);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    } else {
        glColor3ub(3, 3, 3);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glBindTexture(GL_TEXTURE_2D, textures[mark.texture].texture.Name());
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(kCornerUv[i][0], kCornerUv[i][1]);
        glVertex3f(mark.corners[i].x, mark.corners[i].y, mark.corners[i].z);
    }
    glEnd();
}

void Decals::Draw(const ViewTransform& view) const {
    glPushMatrix();
    ApplyView(view);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(kOffsetFactor, kOffsetUnits);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    for (int age = 0; age < count; ++age) {
        const Decal& mark = Mark(age);
        if (mark.active) DrawMark(mark);
    }
    glColor3ub(255, 255, 255);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glPopMatrix();
}

void DecalSquare(const Vec3& at, const Vec3& normal, float half, Vec3 (&corners)[4]) {
    const float ax = std::fabs(normal.x);
    const float ay = std::fabs(normal.y);
    const float az = std::fabs(normal.z);
    Vec3 u;
    if (ax > ay && ax > az) {
        u = normal.x > 0.0f ? Vec3(0.0f, 0.0f, -1.0f) : Vec3(0.0f, 0.0f, 1.0f);
    } else if (ay >= ax && ay > az) {
        u = Vec3(0.0f, 0.0f, -1.0f);
    } else {
        u = Vec3(normal.z, 0.0f, 0.0f);
    }
    // Keep the edge in the wall's plane on walls that are not axis-aligned.
    const float along = static_cast<float>(Dot(u, normal));
    u = u - Vec3(normal.x * along, normal.y * along, normal.z * along);
    Vec3 v = normal.Cross(u);
    u.Normalize();
    v.Normalize();
    const Vec3 su(u.x * half, u.y * half, u.z * half);
    const Vec3 sv(v.x * half, v.y * half, v.z * half);
    corners[0] = at - su - sv;
    corners[1] = at + su - sv;
    corners[2] = at + su + sv;
    corners[3] = at - su + sv;
}
