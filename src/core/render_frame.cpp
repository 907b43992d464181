#include <GL/gl.h>
#include <GL/glu.h>

#include <string>

#include "core/debug_log.h"
#include "core/game.h"
#include "core/screenshot.h"
#include "core/settings.h"
#include "core/shell.h"
#include "core/view_frustum.h"

// Field of view of the scene band, in degrees.
float fieldOfView = 60.0f;

namespace {

struct Band {
    int x, y, width, height;
};

// The window is split into a top band (1/8), the scene (3/4) and a bottom
// band (1/8); GL window coordinates have y up.
Band TopBand() { return {0, settings.height * 7 / 8, settings.width, settings.height / 8}; }
Band SceneBand() { return {0, settings.height / 8, settings.width, settings.height * 3 / 4}; }
Band BottomBand() { return {0, 0, settings.width, settings.height / 8}; }

void SelectBand(const Band& b) {
    glViewport(b.x, b.y, b.width, b.height);
    glScissor(b.x, b.y, b.width, b.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Pixel units for the flat bands: origin at the band's top-left, y down.
void PushFlatProjection() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, settings.width, settings.height / 8, 0.0);
    glMatrixMode(GL_MODELVIEW);
}

void PopFlatProjection() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace

double SceneAspect(int width, int height) {
    // A window only a few pixels high still gets a finite aspect ratio.
    int sceneHeight = height * 3 / 4;
    if (sceneHeight < 1) sceneHeight = 1;
    return static_cast<double>(width) / sceneHeight;
}

int Game::RenderFrame() {
    glEnable(GL_SCISSOR_TEST);

    SelectBand(TopBand());
    PushFlatProjection();
    PopFlatProjection();

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    SelectBand(SceneBand());
    viewFrustum.Set(fieldOfView, SceneAspect(settings.width, settings.height),
                    settings.nearPlane, settings.farPlane);
    glLoadIdentity();
    if (settings.drawWorld) world.Draw(player.position);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    SelectBand(BottomBand());
    PushFlatProjection();
    PopFlatProjection();

    glDisable(GL_SCISSOR_TEST);
    if (screenshotRequested) {
        screenshotRequested = false;
        const std::string name = NextScreenshotName();
        if (SaveScreenshot(name, settings.width, settings.height))
            DebugLog() << "Screenshot saved to " << name << '\n';
    }
    if (presentFrame) presentFrame();
    return 0;
}
