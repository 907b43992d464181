#pragma once
// Recurring ingredients of the sounds: struck resonances (clicks, clacks,
// drips), falling thumps, swept noise bands, pitch glides and bells.
#include <cstdint>

#include "soundgen/dsp.h"
#include "soundgen/signal.h"

namespace soundgen {

enum class NoiseColour { White, Pink, Brown };

// A short noise tick ringing through a resonance at `hz` with quality `q`,
// fading with time constant `decay`: clicks, clacks and metal ticks.
Signal Click(double hz, double q, double decay, std::uint64_t seed);

// A sine whose pitch falls from startHz towards endHz (time constant
// `glide`) while it decays (time constant `decay`): kicks, booms, clunks.
Signal Thump(double startHz, double endHz, double glide, double decay, double seconds);

// Noise through a band-pass whose centre follows `centreHz`, shaped by
// `level`; both are functions of time in seconds.
Signal NoiseSweep(NoiseColour colour, const Breakpoints& centreHz, double q, const Breakpoints& level,
                  std::uint64_t seed);

// Noise through a low-pass whose cutoff follows `cutoffHz`, shaped by
// `level`.
Signal NoiseLowPass(NoiseColour colour, const Breakpoints& cutoffHz, const Breakpoints& level,
                    std::uint64_t seed);

// A sine gliding exponentially from startHz to endHz over `seconds`, with
// a quick attack and an exponential decay: chirps, plinks, whistles.
Signal Glide(double startHz, double endHz, double seconds, double decay);

// A struck bell or glass: inharmonic partials, each with its own decay.
Signal Bell(double hz, double seconds, double brightness);

// Random crackle: `perSecond` tiny ticks on average, density following
// `level`, bright (high-passed) for fire and debris.
Signal Crackle(double seconds, double perSecond, const Breakpoints& level, std::uint64_t seed);

}  // namespace soundgen
