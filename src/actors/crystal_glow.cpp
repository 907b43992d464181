#include "actors/crystal_glow.h"

#include <GL/gl.h>

#include <cmath>

#include "actors/movement.h"
#include "audio/sound.h"
#include "base/settings.h"
#include "graphics/md2_model.h"
#include "graphics/view_transform.h"
#include "world/world.h"

namespace {

constexpr float kPi = 3.14159265f;
// A ringing crystal breathes between these brightnesses once a period.
constexpr float kPulseLow = 0.55f;
constexpr float kPulseHigh = 1.0f;
constexpr std::uint32_t kPulseMs = 1200;
// The glow's copy of the gem is this much larger than the gem.
constexpr float kHaloGrowth = 1.25f;
constexpr int kSparks = 6;
constexpr float kSparkRadius = 26.0f;
constexpr float kSparkRise = 70.0f;        // sparks climb this far, then start low again
constexpr float kSparkTurnsPerSecond = 0.4f;
constexpr float kSparkRisePerSecond = 45.0f;
constexpr float kSparkSize = 3.0f;
constexpr float kSparkLow = -25.0f;  // where a spark starts, below the gem's centre

// Gem colours by number: white, red, orange, yellow, green, blue, purple.
constexpr float kGemColours[][3] = {{1.0f, 1.0f, 1.0f}, {1.0f, 0.25f, 0.2f}, {1.0f, 0.6f, 0.15f},
                                    {1.0f, 0.95f, 0.3f}, {0.3f, 1.0f, 0.35f}, {0.3f, 0.5f, 1.0f},
                                    {0.8f, 0.35f, 1.0f}};
constexpr int kGemColourCount = static_cast<int>(sizeof kGemColours / sizeof kGemColours[0]);

float Pulse(std::uint32_t now) {
    const float phase = static_cast<float>(now % kPulseMs) / static_cast<float>(kPulseMs);
    const float wave = 0.5f + 0.5f * std::sin(2.0f * kPi * phase);
    return kPulseLow + (kPulseHigh - kPulseLow) * wave;
}

}  // namespace

std::vector<float> CrystalGlows(const World& world, const Sound* tones, int toneCount, const TouchState& touch,
                                std::uint32_t now) {
    std::vector<float> glows(world.crystals.size(), 0.0f);
    const float pulse = Pulse(now);
    // A crystal touched rings until touched again; the hint's tones, played
    // once, show only as its song below.
    for (std::size_t i = 0; i < glows.size(); ++i)
        if (tones && static_cast<int>(i) < toneCount && tones[i].Looping() && tones[i].IsPlaying(now))
            glows[i] = pulse;
    const std::uint32_t sinceHint = now - touch.hintStartedAt;
    if (!touch.hintPlaying || sinceHint >= 3 * kHintNoteMs) return glows;
    // The song: the hint crystal sings throughout, its three crystals one
    // after another (the three tones sound together, so the ear alone
    // cannot tell their order, but the eye sees which three).
    if (kHintCrystal < static_cast<int>(glows.size())) glows[kHintCrystal] = 1.0f;
    const std::uint32_t note = sinceHint / kHintNoteMs;
    for (std::uint32_t k = 0; k < 3; ++k) {
        const int crystal = world.correctCrystals[k];
        if (crystal < 0 || crystal >= static_cast<int>(glows.size()) || crystal == kHintCrystal) continue;
        glows[crystal] = k == note ? 1.0f : 0.0f;
    }
    return glows;
}

void DrawCrystalGlow(const ModelSet& gem, const ViewTransform& view, const Vec3& at, float scale, int number,
                     float glow, double seconds) {
    if (glow <= 0.0f) return;
    const float* colour = kGemColours[number >= 0 && number < kGemColourCount ? number : 0];
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    glColor4f(glow, glow, glow, 1.0f);
    DrawModelAt(gem, view, at, nullptr, scale * kHaloGrowth);

    glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glLoadIdentity();
    ApplyView(view);
    glPointSize(kSparkSize);
    glBegin(GL_POINTS);
    for (int i = 0; i < kSparks; ++i) {
        const float turn = 2.0f * kPi * (static_cast<float>(seconds) * kSparkTurnsPerSecond +
                                         static_cast<float>(i) / static_cast<float>(kSparks));
        const float rise = std::fmod(static_cast<float>(seconds) * kSparkRisePerSecond +
                                         kSparkRise * static_cast<float>(i) / static_cast<float>(kSparks),
                                     kSparkRise);
        const float fade = glow * (1.0f - rise / kSparkRise);
        glColor4f(colour[0] * fade, colour[1] * fade, colour[2] * fade, 1.0f);
        glVertex3f(at.x + kSparkRadius * std::cos(turn), at.y + kSparkLow + rise, at.z + kSparkRadius * std::sin(turn));
    }
    glEnd();
    glPointSize(1.0f);
    glPopMatrix();

    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (settings.texturesOn) glEnable(GL_TEXTURE_2D);
}
