// Small ropes whose forces can be worked out by hand.
#pragma once

#include "rope/rope.h"

namespace rope_test {

// Two masses one unit apart, each of mass 1, with nothing acting on them: each test switches
// on the one force it looks at.
struct QuietRopeSettings {
    int count = 2;
    float totalMass = 2.0f;
    float length = 2.0f;
    float stiffness = 0.0f;
    float airFriction = 0.0f;
    D3DXVECTOR3 gravity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    float groundRepulsion = 1000.0f;
    float groundAbsorption = 2.0f;
    float groundFriction = 0.2f;
    float groundHeight = -1000.0f;
};

inline Rope MakeRope(const QuietRopeSettings& s) {
    return Rope(s.count, s.totalMass, s.length, s.stiffness, s.airFriction, s.gravity, s.groundRepulsion,
                s.groundAbsorption, s.groundFriction, s.groundHeight);
}

// The rope the tether program hangs: 80 masses over 20 units.
inline Rope MakeProgramRope() {
    return Rope(80, 20.0f, 20.0f, 10000.0f, 1.0f, D3DXVECTOR3(0.0f, -9.81f, 0.0f), 1000.0f, 2.0f, 0.2f, 0.0f);
}

}  // namespace rope_test
