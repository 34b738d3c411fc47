#include "rope/rope.h"

#include <cmath>

void RopeSpring::Apply() const {
    D3DXVECTOR3 d = first->position - second->position;
    float r = D3DXVec3Length(&d);
    float stretch = r - restLength;
    // The tolerance is a double: a float stretch of exactly 1e-7f (slightly above 1e-7)
    // still pulls.
    if (std::fabs(static_cast<double>(stretch)) <= 1e-7) return;
    D3DXVECTOR3 pull = d * (-stiffness * stretch / r);
    first->force += pull;
    second->force -= pull;
}

Rope::Rope(const RopeSettings& settings)
    : count(settings.count > 0 ? settings.count : 0),
      totalMass(settings.totalMass),
      length(settings.length),
      stiffness(settings.stiffness),
      airFriction(settings.airFriction),
      gravity(settings.gravity),
      groundRepulsion(settings.groundRepulsion),
      groundAbsorption(settings.groundAbsorption),
      groundFriction(settings.groundFriction),
      groundHeight(settings.groundHeight) {
    float spacing = length / count;
    float pointMass = totalMass / count;
    masses.assign(count, RopeMass{});
    for (RopeMass& m : masses) m.mass = pointMass;
    PlaceAtStart();
    for (int i = 1; i < count; ++i) {
        springs.push_back(std::make_unique<RopeSpring>(RopeSpring{&masses[i - 1], &masses[i], stiffness, spacing}));
    }
}

void Rope::Simulate(float seconds) {
    ForEachSubStep(seconds, [this](float dt) { SubStep(dt); });
    if (!IsFinite()) PlaceAtStart();
}

void Rope::PlaceAtStart() {
    if (count == 0) return;
    D3DXVECTOR3 heldEnd = masses[0].position;
    if (!std::isfinite(heldEnd.x) || !std::isfinite(heldEnd.y) || !std::isfinite(heldEnd.z))
        heldEnd = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    float spacing = length / count;
    for (int i = 0; i < count; ++i) {
        masses[i].position = heldEnd + D3DXVECTOR3(i * spacing, 0.0f, 0.0f);
        masses[i].velocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        masses[i].force = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
}

bool Rope::IsFinite() const {
    for (const RopeMass& m : masses) {
        const float values[] = {m.position.x, m.position.y, m.position.z, m.velocity.x, m.velocity.y, m.velocity.z};
        for (float value : values) {
            if (!std::isfinite(value)) return false;
        }
    }
    return true;
}

void Rope::SubStep(float dt) {
    for (RopeMass& m : masses) m.force = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    AccumulateForces();
    // Semi-implicit Euler: the position moves with the velocity just updated.
    for (RopeMass& m : masses) {
        m.velocity += m.force * (1.0f / m.mass) * dt;
        m.position += m.velocity * dt;
    }
}

void Rope::AccumulateForces() {
    for (const auto& spring : springs) spring->Apply();

    float pointMass = totalMass / count;
    for (RopeMass& m : masses) {
        m.force += gravity * pointMass;

        D3DXVECTOR3 direction;
        D3DXVec3Normalize(&direction, &m.velocity);
        m.force += direction * (-airFriction * D3DXVec3LengthSq(&m.velocity));

        if (m.position.y <= groundHeight) {
            m.force.y += groundRepulsion * (groundHeight - m.position.y);
            m.force.x += -groundFriction * m.velocity.x;
            m.force.z += -groundFriction * m.velocity.z;
            m.force.y += -groundAbsorption * m.velocity.y;
        }
    }
    // The held end never accelerates: only its owner moves it.
    if (count > 0) masses[0].force = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}
