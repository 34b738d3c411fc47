// The rope tether hangs, and where its held end starts: shared with the rope's tests and
// benchmark, which look at this very rope.
#pragma once

#include "rope/rope.h"

constexpr int kRopeMassCount = 80;

// 80 masses over 20 units of 20 mass units, stiff springs, a little air drag, the ground
// at y = 0.
inline const RopeSettings kTetherRope = {
    .count = kRopeMassCount,
    .totalMass = 20.0f,
    .length = 20.0f,
    .stiffness = 10000.0f,
    .airFriction = 1.0f,
    .gravity = D3DXVECTOR3(0.0f, -9.81f, 0.0f),
    .groundRepulsion = 1000.0f,
    .groundAbsorption = 2.0f,
    .groundFriction = 0.2f,
    .groundHeight = 0.0f,
};

// The held end starts this high, so the rope swings down at once.
constexpr float kHeldEndStartHeight = 10.0f;
