#include "frame_plan.h"

#include <cstdio>
#include <stdexcept>

namespace modelgen {

std::vector<FrameCue> PlanFrames(const std::vector<FrameSpan>& spans) {
    std::vector<FrameCue> cues(kAnimatedFrameCount);
    std::vector<bool> covered(kAnimatedFrameCount, false);
    for (const FrameSpan& span : spans) {
        for (int frame = span.first; frame <= span.last && frame < kAnimatedFrameCount; ++frame) {
            const int played = frame <= span.settle ? frame : span.settle;
            const int length = span.settle - span.first;
            FrameCue& cue = cues[static_cast<std::size_t>(frame)];
            cue.motion = span.motion;
            cue.phase = length > 0 ? static_cast<float>(played - span.first) / static_cast<float>(length) : 1.0f;
            char name[32];
            std::snprintf(name, sizeof name, "%.9s%02d", span.name, (frame - span.first + 1) % 100);
            cue.name = name;
            covered[static_cast<std::size_t>(frame)] = true;
        }
    }
    for (bool c : covered)
        if (!c) throw std::logic_error("a frame of the animation layout has no motion");
    return cues;
}

std::vector<FrameSpan> HeroFrameSpans() {
    return {
        {0, 39, 39, Motion::Stand, "stand"},
        {40, 46, 46, Motion::Run, "run"},
        {47, 60, 60, Motion::Jump, "jump"},
        {61, 66, 66, Motion::Attack, "attack"},
        {67, 73, 73, Motion::Pain, "pain"},
        {74, 95, 95, Motion::Flip, "flip"},
        {96, 112, 112, Motion::Wave, "wave"},
        {113, 122, 122, Motion::Salute, "salute"},
        {123, 135, 135, Motion::Point, "point"},
        {136, 154, 154, Motion::Taunt, "taunt"},
        {155, 161, 161, Motion::CrouchWalk, "crwalk"},
        {162, 169, 169, Motion::Crouch, "crstand"},
        {170, 177, 178, Motion::DeathBack, "deatha"},
        {179, 183, 183, Motion::DeathForward, "deathb"},
        {184, 189, 190, Motion::DeathSpin, "deathc"},
        {191, 196, 198, Motion::DeathKnees, "deathd"},
    };
}

std::vector<FrameSpan> CreatureFrameSpans(bool bossDeaths) {
    std::vector<FrameSpan> spans = {
        {0, 39, 39, Motion::Stand, "stand"},
        {40, 46, 46, Motion::Run, "run"},
        {47, 60, 60, Motion::Attack, "attack"},
        {61, 66, 66, Motion::Pain, "pain"},
        {67, 73, 73, Motion::Pain, "painb"},
        {74, 95, 95, Motion::Roar, "roar"},
        {96, 112, 112, Motion::Attack, "attackb"},
        {113, 122, 122, Motion::Pain, "painc"},
        {123, 135, 135, Motion::Attack, "attackc"},
        {136, 154, 154, Motion::Roar, "roarb"},
        {155, 161, 161, Motion::Run, "runb"},
        {162, 169, 169, Motion::Walk, "walk"},
        {170, 176, 177, Motion::DeathBack, "deatha"},
    };
    if (bossDeaths) {
        spans.push_back({178, 183, 183, Motion::DeathForward, "deathb"});
        spans.push_back({184, 189, 190, Motion::DeathKnees, "deathc"});
    } else {
        spans.push_back({178, 184, 185, Motion::DeathForward, "deathb"});
        spans.push_back({186, 189, 190, Motion::DeathSpin, "deathc"});
    }
    spans.push_back({191, 197, 198, Motion::DeathBack, "deathd"});
    return spans;
}

bool IsDeath(Motion motion) {
    return motion == Motion::DeathBack || motion == Motion::DeathForward || motion == Motion::DeathSpin ||
           motion == Motion::DeathKnees;
}

}  // namespace modelgen
