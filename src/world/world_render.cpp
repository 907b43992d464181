// Drawing the world's triangles through the octree, and its baked light.
#include "world/world_render.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/settings.h"
#include "graphics/view_frustum.h"
#include "graphics/view_transform.h"
#include "world/entity_values.h"
#include "world/octree.h"
#include "world/ray_cast.h"
#include "world/world.h"

int worldTrianglesDrawn = 0;

namespace {

constexpr int kSlowPulse = 1;
constexpr int kFastPulse = 2;

// One of the two pulse rhythms; the counters advance once per pulsing
// vertex visited, so the rhythm follows the number of such vertices.
struct PulseRhythm {
    float step;
    int turnDown;
    int turnUp;
    bool rising = true;
    int count = 0;

    void Apply(WorldVertex& v) {
        float* channels[3] = {&v.r, &v.g, &v.b};
        if (rising) {
            for (float* c : channels) *c = *c + step > 1.0f ? 1.0f : *c + step;
            if (++count >= turnDown) rising = false;
        } else {
            for (float* c : channels) *c = *c - step < 0.0f ? 0.0f : *c - step;
            if (--count <= turnUp) rising = true;
        }
    }
};

PulseRhythm slowPulse{0.02f, 5000, -10000};
PulseRhythm fastPulse{0.2f, 100, -200};

constexpr float kDefaultLightChannel = 1.0f;
// How much of a liquid covers what lies behind it.
constexpr float kLiquidAlpha = 0.6f;

struct LightSource {
    Vec3 origin;
    int radius = 0;
    int type = 0;
    float r = kDefaultLightChannel, g = kDefaultLightChannel, b = kDefaultLightChannel;
};

// Numbers are taken in order until one is missing; a fourth is allowed and
// unused. A channel whose number is not finite keeps the default (1.0), so
// the baked colours stay numbers.
void ReadLightColour(const char* value, LightSource& light) {
    float read[3] = {kDefaultLightChannel, kDefaultLightChannel, kDefaultLightChannel};
    float unused = 0.0f;
    const int count = std::sscanf(value, "%f %f %f %f", &read[0], &read[1], &read[2], &unused);
    float* channels[3] = {&light.r, &light.g, &light.b};
    for (int i = 0; i < 3 && i < count; ++i) *channels[i] = std::isfinite(read[i]) ? read[i] : kDefaultLightChannel;
}

LightSource LightFrom(const LevelEntity& e) {
    LightSource light;
    light.origin = e.origin;
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "radius")) {
            ScanInt(p.value, light.radius);
        } else if (KeyIs(p, "color")) {
            ReadLightColour(p.value, light);
        } else if (KeyIs(p, "Type")) {
            ScanInt(p.value, light.type);
        }
    }
    return light;
}

void LightVertex(const LightSource& light, WorldVertex& v, const Vec3& normal) {
    const Vec3 p(v.x, v.y, v.z);
    const float dist = light.origin.Distance(p);
    const float radius = static_cast<float>(light.radius);
    if (!(dist < radius)) return;
    if (light.type == kSlowPulse) v.pulseSlow = 1;
    else if (light.type == kFastPulse) v.pulseFast = 1;
    Vec3 toLight = light.origin - p;
    toLight.Normalize();
    Vec3 n = normal;
    n.Normalize();
    float f = static_cast<float>((radius - dist) * Dot(toLight, n) / radius);
    if (f < 0.0f) f = 0.0f;
    if (f > 1.0f) f = 1.0f;
    v.r += f * light.r;
    v.g += f * light.g;
    v.b += f * light.b;
}

// Triangles drawn in runs: one glBegin/glEnd for as long as the texture
// stays the same. The picture is the same as one draw per triangle, with far
// fewer draws for the driver to set up and keep.
class TriangleRuns {
public:
    TriangleRuns(const World& world, bool lit) : world(world), lit(lit) {}
    ~TriangleRuns() {
        if (open) glEnd();
    }
    TriangleRuns(const TriangleRuns&) = delete;
    TriangleRuns& operator=(const TriangleRuns&) = delete;

    void Add(const WorldPolygon& t) {
        if (t.surface == Surface::Undrawn) return;
        if (t.surface == Surface::Liquid) {
            liquids.push_back(&t);  // blended over the rest once it is drawn
            return;
        }
        Draw(t, 1.0f);
    }

    // The liquids seen this frame, translucent over the opaque world: depth
    // tested against it but not written, so what lies behind shows through.
    void DrawLiquids() {
        if (liquids.empty()) return;
        if (open) glEnd();
        open = false;
        glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);  // blending and the depth mask as they were
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
        for (const WorldPolygon* t : liquids) Draw(*t, kLiquidAlpha);
        if (open) glEnd();
        open = false;
        glPopAttrib();
        liquids.clear();
    }

private:
    void Draw(const WorldPolygon& t, float alpha) {
        const GLuint texture = world.textures[t.texture].glName.Name();
        if (!open || texture != bound) {
            if (open) glEnd();
            glBindTexture(GL_TEXTURE_2D, texture);
            glBegin(GL_TRIANGLES);
            bound = texture;
            open = true;
        }
        for (int i = 0; i < t.vertexCount; ++i) {
            const WorldVertex& v = t.vertices[i];
            if (lit) glColor4f(v.r, v.g, v.b, alpha);
            else if (alpha < 1.0f) glColor4f(1.0f, 1.0f, 1.0f, alpha);
            glTexCoord2f(v.u, v.v);
            glVertex3f(v.x, v.y, v.z);
        }
        ++worldTrianglesDrawn;
    }

    const World& world;
    const bool lit;
    GLuint bound = 0;
    bool open = false;
    std::vector<const WorldPolygon*> liquids;
};

void DrawNodeTriangles(const OctreeNode& node, TriangleRuns& runs) {
    for (WorldPolygon* t : node.triangles) {
        if (t->visited) continue;
        runs.Add(*t);
        t->visited = 1;
    }
}

void DrawOctreeNode(const ViewFrustum& frustum, const OctreeNode& node, TriangleRuns& runs) {
    if (!NodeInFrustum(frustum, node)) return;
    if (node.hasChildren) {
        if (NodeWhollyInFrustum(frustum, node)) {
            DrawNodeTriangles(node, runs);
            return;
        }
        for (const auto& child : node.children)
            if (child) DrawOctreeNode(frustum, *child, runs);
        return;
    }
    DrawNodeTriangles(node, runs);
}

void PlaneFrom(float out[4], const float* a, const float* b, const float* c) {
    const Vec3 A(a[0], a[1], a[2]), B(b[0], b[1], b[2]), C(c[0], c[1], c[2]);
    Vec3 n = (C - A).Cross(B - A);
    n.Normalize();
    out[0] = n.x;
    out[1] = n.y;
    out[2] = n.z;
    out[3] = static_cast<float>(-Dot(n, C));
}

// A shadow ray starts this far off its vertex, into its own triangle and
// out along its normal, so that it leaves the surfaces meeting at the
// vertex (a floor's corner against a wall) instead of starting on them.
constexpr float kShadowRayLift = 1.0f;
// Closer hits are rounding at the ray's own start, not shade.
constexpr float kShadowRaySkip = 0.01f;
constexpr char kSkyPrefix[] = "sky";

// Three finite numbers at the start of a value, or nothing.
bool ReadTriple(const char* value, Vec3& out) {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    if (std::sscanf(value, "%f %f %f", &x, &y, &z) != 3) return false;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return false;
    out = {x, y, z};
    return true;
}

// Light of the whole level, from the worldspawn's keys: a minimum everywhere
// ("ambient") and a sun ("sun", the way its light travels, and
// "sun_color").
struct WorldLight {
    bool hasAmbient = false;
    Vec3 ambient;
    bool hasSun = false;
    Vec3 towardsSun;
    Vec3 sunColour{1.0f, 1.0f, 1.0f};
};

WorldLight WorldLightOf(const World& world) {
    WorldLight light;
    if (world.entities.empty()) return light;
    for (const EntityProperty& p : world.entities[0].properties) {
        Vec3 v;
        if (KeyIs(p, "ambient") && ReadTriple(p.value, v)) {
            light.hasAmbient = true;
            light.ambient = v;
        } else if (KeyIs(p, "sun") && ReadTriple(p.value, v) && v.Length() > 0.0f) {
            v.Normalize();
            light.hasSun = true;
            light.towardsSun = Vec3(-v.x, -v.y, -v.z);
        } else if (KeyIs(p, "sun_color") && ReadTriple(p.value, v)) {
            light.sunColour = v;
        }
    }
    return light;
}

void AddLight(WorldVertex& v, const Vec3& colour, float share) {
    v.r += share * colour.x;
    v.g += share * colour.y;
    v.b += share * colour.z;
}

// What stops sunlight: every drawn, opaque face (sky faces included, which
// let it through). Liquids and faces never drawn cast no shadow.
bool CastsShadow(const WorldPolygon& t) { return t.surface == Surface::Solid || t.surface == Surface::Passable; }

Vec3 VertexPosition(const WorldVertex& v) { return {v.x, v.y, v.z}; }

Vec3 Centroid(const WorldPolygon& t) {
    const WorldVertex* v = t.vertices;
    return {(v[0].x + v[1].x + v[2].x) / 3.0f, (v[0].y + v[1].y + v[2].y) / 3.0f, (v[0].z + v[1].z + v[2].z) / 3.0f};
}

// Where a vertex's shadow ray starts: kShadowRayLift towards the middle of
// its triangle and as far out along the normal (a triangle smaller than the
// lift keeps to its middle).
Vec3 ShadowRayStart(const WorldPolygon& t, const WorldVertex& v, const Vec3& normal) {
    const Vec3 at = VertexPosition(v);
    Vec3 inwards = Centroid(t) - at;
    const float room = inwards.Length();
    if (room > 0.0f) inwards.SetLength(std::min(room, kShadowRayLift));
    return at + inwards + Vec3(normal.x * kShadowRayLift, normal.y * kShadowRayLift, normal.z * kShadowRayLift);
}

class SkyView {
public:
    SkyView(const World& world, const Vec3& towardsSun) : world(world), towardsSun(towardsSun) {
        for (const TextureEntry& texture : world.textures)
            sky.push_back(std::strncmp(texture.name, kSkyPrefix, sizeof kSkyPrefix - 1) == 0);
    }
    // True when the way from `start` towards the sun meets a sky face first,
    // or nothing.
    bool SeesSun(const Vec3& start) const {
        const WorldPolygon* first = FirstTriangleOnRay(world, start, towardsSun, kShadowRaySkip, CastsShadow);
        if (!first) return true;
        const std::size_t texture = static_cast<std::size_t>(first->texture);
        return texture < sky.size() && sky[texture];
    }

private:
    const World& world;
    const Vec3 towardsSun;
    std::vector<bool> sky;  // by texture index
};

}  // namespace

void BakeLights(World& world) {
    std::vector<WorldPolygon>& triangles = world.WorldTriangles();
    const WorldLight whole = WorldLightOf(world);
    if (whole.hasAmbient) {
        for (WorldPolygon& t : triangles)
            for (WorldVertex& v : t.vertices) AddLight(v, whole.ambient, 1.0f);
    }
    for (const LevelEntity& e : world.entities) {
        if (!ClassIs(e, "Light")) continue;
        const LightSource light = LightFrom(e);
        for (WorldPolygon& t : triangles)
            for (WorldVertex& v : t.vertices) LightVertex(light, v, t.normal);
    }
}

void BakeSunlight(World& world) {
    const WorldLight whole = WorldLightOf(world);
    if (!whole.hasSun) return;
    const SkyView sky(world, whole.towardsSun);
    for (WorldPolygon& t : world.WorldTriangles()) {
        Vec3 n = t.normal;
        n.Normalize();
        const float facing = static_cast<float>(Dot(n, whole.towardsSun));
        if (!(facing > 0.0f)) continue;
        for (WorldVertex& v : t.vertices)
            if (sky.SeesSun(ShadowRayStart(t, v, n))) AddLight(v, whole.sunColour, facing);
    }
}

void UpdateFrustumPlanes(ViewFrustum& frustum, const ViewTransform& view) {
    const Vec3& up = view.up;
    const Vec3& eye = view.eye;
    const Vec3 back(-view.forward.x, -view.forward.y, -view.forward.z);
    const Vec3 right = up.Cross(back);
    for (int k = 0; k < 8; ++k) {
        const float* e = frustum.corners[k];
        float* w = frustum.worldCorners[k];
        w[0] = right.x * e[0] + up.x * e[1] + back.x * e[2] + eye.x;
        w[1] = right.y * e[0] + up.y * e[1] + back.y * e[2] + eye.y;
        w[2] = right.z * e[0] + up.z * e[1] + back.z * e[2] + eye.z;
        w[3] = 1.0f;
    }
    const int corners[6][3] = {{0, 1, 3}, {4, 6, 7}, {1, 0, 4}, {3, 7, 6}, {0, 2, 6}, {1, 5, 7}};
    for (int p = 0; p < 6; ++p)
        PlaneFrom(frustum.planes[p], frustum.worldCorners[corners[p][0]], frustum.worldCorners[corners[p][1]],
                  frustum.worldCorners[corners[p][2]]);
}

bool SphereInFrustum(const ViewFrustum& frustum, const Vec3& p, float radius) {
    for (int plane : {0, 1, 2, 3, 5, 4}) {
        const float* q = frustum.planes[plane];
        if (q[0] * p.x + q[1] * p.y + q[2] * p.z + q[3] + radius <= 0.0f) return false;
    }
    return true;
}

bool NodeInFrustum(const ViewFrustum& frustum, const OctreeNode& node) {
    for (int i = 0; i < 8; ++i)
        if (SphereInFrustum(frustum, {node.cornerX[i], node.cornerY[i], node.cornerZ[i]}, 0.0f)) return true;
    return SphereInFrustum(frustum, {node.centre[0], node.centre[1], node.centre[2]}, node.maxZ - node.minZ);
}

bool NodeWhollyInFrustum(const ViewFrustum& frustum, const OctreeNode& node) {
    for (int i = 0; i < 8; ++i)
        if (!SphereInFrustum(frustum, {node.cornerX[i], node.cornerY[i], node.cornerZ[i]}, 0.0f)) return false;
    return true;
}

void World::StepView(const ViewTransform& view, ViewFrustum& frustum) {
    UpdateFrustumPlanes(frustum, view);
    frameFrustum = frustum;
    if (!settings.vertexLighting) return;
    for (WorldPolygon& t : WorldTriangles())
        for (WorldVertex& v : t.vertices) {
            if (v.pulseSlow) slowPulse.Apply(v);
            if (v.pulseFast) fastPulse.Apply(v);
        }
}

void World::Draw(const ViewTransform& view, const ViewFrustum& frustum) {
    // Culled by the frustum this picture is drawn with, which may be wider
    // (another window shape) or turned (a smooth picture) from the step's.
    ViewFrustum culling = frustum;
    UpdateFrustumPlanes(culling, view);
    std::vector<WorldPolygon>& triangles = WorldTriangles();
    for (WorldPolygon& t : triangles) t.visited = 0;
    worldTrianglesDrawn = 0;
    glPushMatrix();
    ApplyView(view);
    const bool lit = settings.vertexLighting != 0;
    if (!lit) glColor3ub(255, 255, 255);
    {
        TriangleRuns runs(*this, lit);
        if (!settings.drawWithOctree || !octree) {
            for (const WorldPolygon& t : triangles) runs.Add(t);
        } else {
            DrawOctreeNode(culling, *octree, runs);
        }
        runs.DrawLiquids();
    }
    glPopMatrix();
    glColor3ub(255, 255, 255);
}
