// The forces of one sub-step, seen through the velocity they give after 1 ms: a force F on a
// mass m changes its velocity by F / m * 0.001.
#include "rope/rope.h"
#include "tests/rope/rope_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using rope_test::MakeRope;
using rope_test::QuietRopeSettings;

void ExpectVelocity(const RopeMass& m, float x, float y, float z) {
    EXPECT_NEAR(m.velocity.x, x, 1e-6f);
    EXPECT_NEAR(m.velocity.y, y, 1e-6f);
    EXPECT_NEAR(m.velocity.z, z, 1e-6f);
}

TEST(RopeConstruction, MassesLieAlongXWithSpringsBetweenNeighbours) {
    rope_test::QuietRopeSettings settings;
    settings.count = 4;
    settings.length = 10.0f;
    settings.stiffness = 300.0f;
    Rope rope(settings);
    ASSERT_EQ(rope.count, 4);
    ASSERT_EQ(rope.masses.size(), 4u);
    const float expectedX[] = {0.0f, 2.5f, 5.0f, 7.5f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rope.masses[i].position, D3DXVECTOR3(expectedX[i], 0.0f, 0.0f)) << i;
        EXPECT_EQ(rope.masses[i].velocity, D3DXVECTOR3(0.0f, 0.0f, 0.0f)) << i;
        EXPECT_EQ(rope.masses[i].mass, 0.5f) << i;
    }
    ASSERT_EQ(rope.springs.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rope.springs[i]->first, &rope.masses[i]) << i;
        EXPECT_EQ(rope.springs[i]->second, &rope.masses[i + 1]) << i;
        EXPECT_EQ(rope.springs[i]->restLength, 2.5f) << i;
        EXPECT_EQ(rope.springs[i]->stiffness, 300.0f) << i;
    }
}

TEST(RopeConstruction, EmptyRopesHaveNothingToSimulate) {
    for (int count : {0, -3}) {
        rope_test::QuietRopeSettings settings;
        settings.count = count;
        Rope rope(settings);
        EXPECT_EQ(rope.count, 0);
        EXPECT_TRUE(rope.masses.empty());
        EXPECT_TRUE(rope.springs.empty());
        rope.Simulate(1.0f);
    }
}

// Three masses one unit apart, each of mass 0.5; the last spring is stretched to 1.5 along
// (0.6, 0.8, 0): a pull of 100 * 0.5 = 50 on both of its ends.
TEST(RopeForces, SpringPullsAndPushesBothEndsAlongItself) {
    QuietRopeSettings settings;
    settings.count = 3;
    settings.totalMass = 1.5f;
    settings.length = 3.0f;
    settings.stiffness = 100.0f;

    Rope stretched = MakeRope(settings);
    stretched.masses[2].position = D3DXVECTOR3(1.9f, 1.2f, 0.0f);
    stretched.Simulate(0.001f);
    ExpectVelocity(stretched.masses[1], 0.06f, 0.08f, 0.0f);
    ExpectVelocity(stretched.masses[2], -0.06f, -0.08f, 0.0f);

    Rope compressed = MakeRope(settings);
    compressed.masses[2].position = D3DXVECTOR3(1.5f, 0.0f, 0.0f);
    compressed.Simulate(0.001f);
    ExpectVelocity(compressed.masses[1], -0.1f, 0.0f, 0.0f);
    ExpectVelocity(compressed.masses[2], 0.1f, 0.0f, 0.0f);
    EXPECT_EQ(compressed.masses[0].position, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
}

float StretchedBy(float restLength, int steps) {
    float x = restLength;
    for (int i = 0; i < std::abs(steps); ++i) x = std::nextafter(x, steps > 0 ? 1.0f : -1.0f);
    return x;
}

// Velocity of mass 1 of a two-mass rope after 1 ms with mass 1 at (x, 0, 0).
float VelocityAfterSpringAt(float x, float length) {
    QuietRopeSettings settings;
    settings.length = length;
    settings.stiffness = 10000.0f;
    Rope rope = MakeRope(settings);
    rope.masses[1].position.x = x;
    rope.Simulate(0.001f);
    return rope.masses[1].velocity.x;
}

TEST(RopeForces, SpringWithinTenthOfAMillionthOfRestIsIgnored) {
    // Rest length 0.25: neighbouring floats above it are 3e-8 apart, below it 1.5e-8.
    EXPECT_EQ(VelocityAfterSpringAt(StretchedBy(0.25f, 3), 0.5f), 0.0f) << "stretched by 9e-8";
    EXPECT_EQ(VelocityAfterSpringAt(StretchedBy(0.25f, -6), 0.5f), 0.0f) << "compressed by 9e-8";
    EXPECT_LT(VelocityAfterSpringAt(StretchedBy(0.25f, 4), 0.5f), 0.0f) << "stretched by 1.2e-7";
    EXPECT_GT(VelocityAfterSpringAt(StretchedBy(0.25f, -8), 0.5f), 0.0f) << "compressed by 1.2e-7";

    // The float nearest 1e-7 lies just above it, and the tolerance is not rounded to float.
    EXPECT_LT(VelocityAfterSpringAt(1e-7f, 0.0f), 0.0f);
    EXPECT_EQ(VelocityAfterSpringAt(0.99e-7f, 0.0f), 0.0f);
}

TEST(RopeForces, AirDragIsQuadraticAndOpposesMotion) {
    QuietRopeSettings settings;
    settings.totalMass = 1.0f;  // masses of 0.5
    settings.airFriction = 1.0f;
    Rope rope = MakeRope(settings);
    rope.masses[1].velocity = D3DXVECTOR3(3.0f, 0.0f, 4.0f);
    rope.Simulate(0.001f);
    // Speed 5: a drag of 25 along (-0.6, 0, -0.8).
    ExpectVelocity(rope.masses[1], 2.97f, 0.0f, 3.96f);

    Rope resting = MakeRope(settings);
    resting.Simulate(0.1f);
    EXPECT_EQ(resting.masses[1].velocity, D3DXVECTOR3(0.0f, 0.0f, 0.0f)) << "no motion, no drag";
    EXPECT_EQ(resting.masses[1].position, D3DXVECTOR3(1.0f, 0.0f, 0.0f));
}

TEST(RopeForces, GroundActsOnMassesAtOrBelowItsHeight) {
    QuietRopeSettings settings;
    settings.groundHeight = 5.0f;

    Rope touching = MakeRope(settings);
    touching.masses[1].position.y = 5.0f;
    touching.masses[1].velocity = D3DXVECTOR3(1.0f, -1.0f, 2.0f);
    touching.Simulate(0.001f);
    // Friction 0.2 on x and z, absorption 2 on y, no repulsion at zero depth.
    ExpectVelocity(touching.masses[1], 0.9998f, -0.998f, 1.9996f);

    Rope rising = MakeRope(settings);
    rising.masses[1].position.y = 4.9f;
    rising.masses[1].velocity = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    rising.Simulate(0.001f);
    // Repulsion 1000 * 0.1 up, and absorption damps upward motion too.
    ExpectVelocity(rising.masses[1], 0.0f, 1.0f + (100.0f - 2.0f) * 0.001f, 0.0f);

    Rope above = MakeRope(settings);
    above.masses[1].position.y = std::nextafter(5.0f, 6.0f);
    above.masses[1].velocity = D3DXVECTOR3(1.0f, -1.0f, 2.0f);
    above.Simulate(0.001f);
    EXPECT_EQ(above.masses[1].velocity, D3DXVECTOR3(1.0f, -1.0f, 2.0f));
}

TEST(RopeHeldEnd, NeverMovesByItselfButDragsTheChain) {
    Rope rope = rope_test::MakeProgramRope();
    rope.masses[0].position = D3DXVECTOR3(0.0f, -3.0f, 0.0f);  // under the ground, stretched
    for (int frame = 0; frame < 20; ++frame) rope.Simulate(0.05f);
    EXPECT_EQ(rope.masses[0].position, D3DXVECTOR3(0.0f, -3.0f, 0.0f));
    EXPECT_EQ(rope.masses[0].velocity, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    EXPECT_LT(rope.masses[1].position.y, -1.0f) << "the chain follows the held end";

    QuietRopeSettings settings;
    settings.stiffness = 100.0f;
    Rope pulled = MakeRope(settings);
    pulled.masses[0].position.x = -1.0f;
    pulled.Simulate(0.001f);
    ExpectVelocity(pulled.masses[1], -0.1f, 0.0f, 0.0f);
}

TEST(RopeHeldEnd, OneMassRopeNeverMoves) {
    QuietRopeSettings settings;
    settings.count = 1;
    settings.gravity = D3DXVECTOR3(0.0f, -9.81f, 0.0f);
    settings.airFriction = 1.0f;
    settings.groundHeight = 0.0f;
    Rope rope = MakeRope(settings);
    EXPECT_TRUE(rope.springs.empty());
    rope.masses[0].position.y = -2.0f;
    rope.Simulate(1.0f);
    EXPECT_EQ(rope.masses[0].position, D3DXVECTOR3(0.0f, -2.0f, 0.0f));
    EXPECT_EQ(rope.masses[0].velocity, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
}

}  // namespace
