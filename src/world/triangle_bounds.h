#pragma once

// A world triangle's box, kept apart from the triangle so a sweep can pass
// over far triangles without reading them.
struct TriangleBounds {
    float low[3] = {};
    float high[3] = {};
};
