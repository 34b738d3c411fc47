// A rope as a chain of point masses joined by linear springs, under gravity, quadratic air
// drag and a flat ground that pushes back and damps what touches it. Mass 0 is the held end:
// it takes no force and moves only when its owner writes its position.
#pragma once

#include <d3dx9.h>

#include <memory>
#include <vector>

// Starts at rest at the origin: a D3DX vector's own constructor leaves it uninitialised, so
// RopeMass{} would not.
struct RopeMass {
    D3DXVECTOR3 position{0, 0, 0};
    D3DXVECTOR3 velocity{0, 0, 0};  // units per second
    D3DXVECTOR3 force{0, 0, 0};     // accumulated during the current sub-step
    float mass = 0;
};

struct RopeSpring {
    RopeMass* first;   // the mass nearer the held end
    RopeMass* second;  // the next one along the chain
    float stiffness;
    float restLength;

    // Adds the spring's pull (or push) to both ends; no damping of its own.
    void Apply() const;
};

// The rope advances by fixed 1 ms sub-steps whatever the frame rate. A frame of more than
// three seconds (a stall) counts as one second. The remaining time is kept in single
// precision, so 1.0 s splits into 1000 steps of 0.001 and a last one of about 0.0000093.
// step(dt) is called once per sub-step.
template <typename StepFunction>
void ForEachSubStep(float seconds, StepFunction step) {
    if (seconds > 3.0f) seconds = 1.0f;
    while (seconds > 0.001f) {
        seconds -= 0.001f;
        step(0.001f);
    }
    if (seconds > 0.0f) step(seconds);
}

// What a rope is made of, in the order a rope is built from them.
struct RopeSettings {
    int count;              // masses, the held end included
    float totalMass;
    float length;           // spaces the masses length / count apart
    float stiffness;        // of every spring
    float airFriction;      // quadratic drag constant
    D3DXVECTOR3 gravity;    // acceleration
    float groundRepulsion;  // spring constant of the ground
    float groundAbsorption; // damps vertical velocity at the ground
    float groundFriction;   // damps horizontal velocity at the ground
    float groundHeight;     // y of the ground plane
};

class Rope {
public:
    // The chain starts straight along +x from the origin, masses length / count apart, so
    // count - 1 springs give it a rest length of (count - 1) * length / count.
    explicit Rope(const RopeSettings& settings);

    // Advances the rope. A rope whose positions or velocities are no longer finite numbers
    // (a huge jump of the held end can throw it hard enough) starts again from its start
    // layout rather than drawing garbage for the rest of the run.
    void Simulate(float seconds);

    // The owner reads every position and writes the position of mass 0.
    std::vector<RopeMass> masses;
    // Spring i joins masses i and i + 1. Declared after the masses so they are freed first.
    std::vector<std::unique_ptr<RopeSpring>> springs;
    int count;

    float totalMass;
    float length;
    float stiffness;
    float airFriction;
    D3DXVECTOR3 gravity;
    float groundRepulsion;
    float groundAbsorption;  // damps vertical velocity at the ground
    float groundFriction;    // damps horizontal velocity at the ground
    float groundHeight;

private:
    // The start layout: straight along +x from the held end, masses length / count apart, at
    // rest. The held end stays where its owner put it, or returns to the origin when that
    // is no finite point.
    void PlaceAtStart();
    bool IsFinite() const;
    void SubStep(float dt);
    void AccumulateForces();
};
