#pragma once
#include <GL/gl.h>

// Owns one OpenGL texture name; deleted with the owner. Needs the game's GL
// context to be current when generated and when destroyed.
class GlTexture {
public:
    GlTexture() = default;
    ~GlTexture() { Release(); }
    GlTexture(const GlTexture&) = delete;
    GlTexture& operator=(const GlTexture&) = delete;
    GlTexture(GlTexture&& other) noexcept : id(other.id) { other.id = 0; }
    GlTexture& operator=(GlTexture&& other) noexcept {
        if (this != &other) {
            Release();
            id = other.id;
            other.id = 0;
        }
        return *this;
    }

    // Makes a new texture name (releasing any held one) and returns it.
    GLuint Generate() {
        Release();
        glGenTextures(1, &id);
        return id;
    }
    GLuint Name() const { return id; }
    void Release() {
        if (id != 0) glDeleteTextures(1, &id);
        id = 0;
    }

private:
    GLuint id = 0;
};
