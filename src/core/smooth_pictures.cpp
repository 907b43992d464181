// Smooth mode: pictures between the last two steps, as often as the display
// takes them, until the next step is due.
#include <algorithm>

#include "base/settings.h"
#include "core/game.h"
#include "math/camera.h"

namespace {

// The 30 ms step in counts of a clock.
std::int64_t StepCounts(std::int64_t frequency) { return frequency * kFrameMs / 1000; }

double SecondsBetween(std::int64_t from, std::int64_t to, std::int64_t frequency) {
    return frequency > 0 ? static_cast<double>(to - from) / static_cast<double>(frequency) : 0.0;
}

}  // namespace

ViewTransform Game::ViewWithPendingTurn(const Vec3& eye, int dx, int dy) {
    // The turn the next step's mouse read makes, on the camera as this step
    // left it, squared as that step's view will square it.
    Camera turned = camera;
    const float s = MouseTurnPerCount();
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

std::int64_t Game::ScheduleSmoothStep(Clock& pacing) {
    const std::int64_t now = pacing.Counter();
    const std::int64_t step = StepCounts(pacing.Frequency());
    if (nextStepDue == 0 || now - nextStepDue >= step) nextStepDue = now;
    const std::int64_t start = nextStepDue;
    nextStepDue += step;
    return start;
}

void Game::ShowSmoothPictures(Clock& pacing, std::int64_t stepStart) {
    const std::int64_t frequency = pacing.Frequency();
    const std::int64_t step = StepCounts(frequency);
    const std::int64_t due = stepStart + step;
    const std::int64_t least = maxFps > 0 ? frequency / maxFps : 0;
    for (int drawn = 0;; ++drawn) {
        const std::int64_t start = pacing.Counter();
        if (drawn > 0 && start >= due) return;
        DrawSmoothPicture(step > 0 ? static_cast<float>(static_cast<double>(start - stepStart) / step) : 1.0f);
        const std::int64_t end = pacing.Counter();
        if (pictureSeconds) pictureSeconds->push_back(SecondsBetween(start, end, frequency));
        if (!paced) return;
        if (least > 0) WaitForCounter(pacing, std::min(start + least, due));
        else if (end == start) pacing.Relax();  // a clock that stands still between pictures
    }
}
