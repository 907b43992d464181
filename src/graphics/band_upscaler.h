#pragma once
#include "graphics/gl_texture.h"

// A rectangle of the picture in GL window coordinates (origin at the
// bottom-left corner, y up).
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Draws a band of the picture at a share of its size, then scales it up:
// the band is drawn into its own lower-left corner, copied to a texture and
// stretched over the whole band with linear filtering. Software renderers
// pay per pixel, so a half-size scene costs about a quarter.
class BandUpscaler {
public:
    // Shares of the band's size the scene may be drawn at.
    static constexpr float kLeastScale = 0.25f;
    static constexpr float kMostScale = 1.0f;

    // The corner of `band` a scene drawn at `scale` fills (the whole band at
    // 1 or more; at least one pixel each way).
    static PixelRect ScaledPart(const PixelRect& band, float scale);
    // Copies `part` of the picture and stretches it over `band`. Leaves the
    // viewport and scissor on `band`, the matrices and GL's switches as they
    // were.
    void Stretch(const PixelRect& part, const PixelRect& band);

private:
    // A texture of at least the given size (powers of two, as old GL wants).
    void Reserve(int width, int height);
    GlTexture texture;
    int textureWidth = 0;
    int textureHeight = 0;
};
