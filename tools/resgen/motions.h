// The sixteen animations of the generated characters, as poses frame by frame: standing and
// breathing, a run cycle, an overhead strike, pain, a jump, a somersault, a salute, a taunt,
// a wave, pointing, a crouched walk, strike and flinch, and three deaths (falling back,
// falling forward, spinning to the side).
#pragma once

#include "tools/resgen/rig.h"

namespace resgen {

// The MD2 frame-name stem of each animation ("stand", "run" ... "death3").
extern const char* const AnimationNames[];

// How a character's build changes every pose: hips and knees bent at rest, knees that bend
// forward (a bird's legs), a body leaning forward while the head keeps looking ahead.
struct MotionStyle {
    float restHip = 0;
    float restKnee = 0;
    bool forwardKnees = false;
    float lean = 0;
};

// The pose of frame `step` (0 to steps - 1) of animation `animation` (0 to 15). lift is the
// height of the character's lowest point above the ground (0 unless it is in the air); the
// caller stands the character on the ground accordingly.
Pose AnimationPose(int animation, int step, int steps);

// The pose as a character of that build takes it; the feet stay level.
Pose Styled(const Pose& pose, const MotionStyle& style);

}  // namespace resgen
