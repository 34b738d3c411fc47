// Small ropes whose forces can be worked out by hand.
#pragma once

#include "programs/tether/tether_rope.h"
#include "rope/rope.h"

namespace rope_test {

// Two masses one unit apart, each of mass 1, with nothing acting on them: each test switches
// on the one force it looks at.
struct QuietRopeSettings : RopeSettings {
    QuietRopeSettings()
        : RopeSettings{.count = 2,
                       .totalMass = 2.0f,
                       .length = 2.0f,
                       .stiffness = 0.0f,
                       .airFriction = 0.0f,
                       .gravity = D3DXVECTOR3(0.0f, 0.0f, 0.0f),
                       .groundRepulsion = 1000.0f,
                       .groundAbsorption = 2.0f,
                       .groundFriction = 0.2f,
                       .groundHeight = -1000.0f} {}
};

inline Rope MakeRope(const RopeSettings& settings) { return Rope(settings); }

// The rope the tether program hangs: 80 masses over 20 units.
inline Rope MakeProgramRope() { return Rope(kTetherRope); }

}  // namespace rope_test
