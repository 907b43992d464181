#include "graphics/band_upscaler.h"

#include <GL/gl.h>

#include <cmath>

namespace {

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

int ScaledLength(int length, float scale) {
    const int scaled = static_cast<int>(std::lround(static_cast<double>(length) * scale));
    if (scaled < 1) return 1;
    return scaled < length ? scaled : length;
}

}  // namespace

PixelRect BandUpscaler::ScaledPart(const PixelRect& band, float scale) {
    if (!(scale < kMostScale)) return band;  // also catches a scale that is not a number
    PixelRect part = band;
    part.width = ScaledLength(band.width, scale);
    part.height = ScaledLength(band.height, scale);
    return part;
}

void BandUpscaler::Reserve(int width, int height) {
    if (texture.Name() != 0 && width <= textureWidth && height <= textureHeight) return;
    textureWidth = PowerOfTwoAtLeast(width);
    textureHeight = PowerOfTwoAtLeast(height);
    glBindTexture(GL_TEXTURE_2D, texture.Generate());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, textureWidth, textureHeight, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
}

void BandUpscaler::Stretch(const PixelRect& part, const PixelRect& band) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT | GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT);
    Reserve(part.width, part.height);
    glBindTexture(GL_TEXTURE_2D, texture.Name());
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, part.x, part.y, part.width, part.height);

    glViewport(band.x, band.y, band.width, band.height);
    glScissor(band.x, band.y, band.width, band.height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glEnable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);  // also while the scene is drawn as lines
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // Texel centres at the edges: filtering never reaches past the copy.
    const float s0 = 0.5f / static_cast<float>(textureWidth);
    const float t0 = 0.5f / static_cast<float>(textureHeight);
    const float s1 = (static_cast<float>(part.width) - 0.5f) / static_cast<float>(textureWidth);
    const float t1 = (static_cast<float>(part.height) - 0.5f) / static_cast<float>(textureHeight);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(s1, t0);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(s1, t1);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(s0, t1);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
