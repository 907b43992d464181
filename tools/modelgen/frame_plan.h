#pragma once
#include <string>
#include <vector>

// Which motion, and how far into it, each of the 199 frames of an animated
// model shows. The game picks frame ranges by number (the hero's and the
// enemies' animation tables), so every model lays its motions out on the
// same frame numbers.

namespace modelgen {

constexpr int kAnimatedFrameCount = 199;
constexpr int kCorpseFrame = 177;  // the hero frame the game draws for a corpse

enum class Motion {
    Stand,       // idle breathing
    Run,
    Walk,        // the enemies' wandering pace
    Jump,
    Attack,
    Pain,
    Flip,
    Wave,
    Salute,
    Point,
    Taunt,
    Roar,        // an enemy's threat display
    CrouchWalk,
    Crouch,
    DeathBack,     // thrown onto the back
    DeathForward,  // collapses face down
    DeathSpin,     // turns and falls sideways
    DeathKnees,    // drops to the knees, then forward
};

// Frames first..settle play the motion from its start to its end; frames
// settle+1..last hold its end. A cycle's last frame equals its first, so a
// range played up to (not including) its last frame loops without a jump.
struct FrameSpan {
    int first = 0;
    int settle = 0;
    int last = 0;
    Motion motion = Motion::Stand;
    const char* name = "";
};

struct FrameCue {
    Motion motion = Motion::Stand;
    float phase = 0.0f;  // 0..1 through the motion
    std::string name;    // the frame's name in the file, e.g. "run03"
};

// One cue per frame; later spans win where spans overlap.
std::vector<FrameCue> PlanFrames(const std::vector<FrameSpan>& spans);

// The hero's layout (the player animation table; deaths settle on the
// frame each death range holds: 177, 183, 189 and 196).
std::vector<FrameSpan> HeroFrameSpans();
// The enemies' layout (the enemy animation table: stand 0..38, run 40..45,
// wander 162..168; deaths held on 184 and 189). The end boss's death runs
// 184..189, so for it frame 184 still stands and the earlier death settles
// on 183.
std::vector<FrameSpan> CreatureFrameSpans(bool bossDeaths);

bool IsDeath(Motion motion);

}  // namespace modelgen
