// Smooth mode: pictures between the last two steps, as often as the display
// takes them, until the next step is due.
#include <algorithm>
#include <cmath>

#include "base/settings.h"
#include "core/game.h"
#include "math/camera.h"

namespace {

constexpr double kStepSeconds = kFrameMs / 1000.0;
constexpr double kMsPerSecond = 1000.0;

double SecondsBetween(std::int64_t from, std::int64_t to, std::int64_t frequency) {
    return frequency > 0 ? static_cast<double>(to - from) / static_cast<double>(frequency) : 0.0;
}

}  // namespace

ViewTransform Game::ViewWithPendingTurn(const Vec3& eye, int dx, int dy) {
    // The turn the next step's mouse read makes, on the camera as this step
    // left it, squared as that step's view will square it.
    Camera turned = camera;
    const float s = fieldOfView / 120.0f * mouseSensitivity;
    turned.Pitch(dy * s);
    turned.Turn(-dx * s, 0.0f, 1.0f, 0.0f);
    if (settings.drawWorld) turned.Reorthogonalise();
    ViewTransform view = ViewAlong(turned);
    view.eye = eye;
    return view;
}

Picture Game::SmoothPicture(float fraction) {
    Picture shown = Interpolated(previousPicture, picture, fraction);
    const bool mouseLook = settings.cameraDetached && !settings.cutscenePlaying && !settings.lightCamera &&
                           !player.dead;
    int dx = 0, dy = 0;
    // Without a device that can tell (a demo's playback) the view turns
    // between the steps like everything else.
    if (mouseLook && input.PendingMouseMotion(dx, dy)) shown.view = ViewWithPendingTurn(shown.view.eye, dx, dy);
    return shown;
}

void Game::DrawSmoothPicture(float fraction) {
    const float f = std::clamp(fraction, 0.0f, 1.0f);
    // Particles keep to the step's own places when the picture is not blended.
    const bool blended = previousPicture.cut == picture.cut;
    DrawPictureOf(SmoothPicture(f), blended ? f : 1.0f);
}

void Game::ShowSmoothPictures(Clock& pacing, std::uint32_t stepStartMs, std::int64_t stepStartCounter) {
    const std::int64_t frequency = pacing.Frequency();
    const double least = maxFps > 0 ? 1.0 / maxFps : 0.0;
    for (int drawn = 0;; ++drawn) {
        const std::int64_t start = pacing.Counter();
        const double since = SecondsBetween(stepStartCounter, start, frequency);
        // A picture that would end after the next step is due waits for
        // that step, so steps keep their 30 ms; the first is always drawn.
        if (drawn > 0 && since + std::max(lastPictureSeconds, least) > kStepSeconds) break;
        DrawSmoothPicture(static_cast<float>(since / kStepSeconds));
        const std::int64_t end = pacing.Counter();
        lastPictureSeconds = SecondsBetween(start, end, frequency);
        if (pictureSeconds) pictureSeconds->push_back(lastPictureSeconds);
        if (!paced) return;
        if (least > 0.0) {
            const double until = std::min(since + least, kStepSeconds);
            PaceFrame(pacing, stepStartMs, static_cast<std::uint32_t>(std::ceil(until * kMsPerSecond)));
        } else if (end == start) {
            pacing.Relax();  // a clock that stands still between pictures
        }
    }
    if (paced) PaceFrame(pacing, stepStartMs);
}
