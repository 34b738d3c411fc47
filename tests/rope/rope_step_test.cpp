// How a frame's time is split into sub-steps, and what a frame of a given length does.
#include "rope/rope.h"
#include "tests/rope/rope_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<float> SubSteps(float seconds) {
    std::vector<float> steps;
    ForEachSubStep(seconds, [&](float dt) { steps.push_back(dt); });
    return steps;
}

int CountOfWholeMilliseconds(const std::vector<float>& steps) {
    int whole = 0;
    for (float dt : steps) whole += dt == 0.001f;
    return whole;
}

TEST(RopeSubSteps, LongFramesAreCutToOneSecondWithASinglePrecisionRemainder) {
    std::vector<float> stall = SubSteps(5.0f);
    ASSERT_EQ(stall.size(), 1001u);
    EXPECT_EQ(CountOfWholeMilliseconds(stall), 1000);
    EXPECT_NEAR(stall.back(), 0.0000093f, 0.0000001f);

    EXPECT_EQ(SubSteps(3.0001f).size(), 1001u) << "anything over three seconds counts as one";

    std::vector<float> three = SubSteps(3.0f);
    ASSERT_EQ(three.size(), 3001u) << "exactly three seconds is not cut";
    EXPECT_EQ(CountOfWholeMilliseconds(three), 3000);
    EXPECT_NEAR(three.back(), 0.000035f, 0.000001f);
}

TEST(RopeSubSteps, ShortFramesRunOneOrTwoSteps) {
    std::vector<float> oneAndHalf = SubSteps(0.0015f);
    ASSERT_EQ(oneAndHalf.size(), 2u);
    EXPECT_EQ(oneAndHalf[0], 0.001f);
    EXPECT_NEAR(oneAndHalf[1], 0.0005f, 1e-9f);

    EXPECT_EQ(SubSteps(0.001f), std::vector<float>{0.001f});
    EXPECT_EQ(SubSteps(0.0005f), std::vector<float>{0.0005f});
    EXPECT_TRUE(SubSteps(0.0f).empty());
    EXPECT_TRUE(SubSteps(-0.5f).empty());
}

// A free mass under gravity g, integrated velocity first: after steps h1, h2 its velocity is
// g (h1 + h2) and its drop g h1 h1 + g (h1 + h2) h2, which tells one step of 0.0015 from two.
TEST(RopeSimulate, FreeFallFollowsTheSubSteps) {
    rope_test::QuietRopeSettings settings;
    settings.gravity = D3DXVECTOR3(0.0f, -9.81f, 0.0f);

    Rope oneStep = rope_test::MakeRope(settings);
    oneStep.Simulate(0.001f);
    EXPECT_NEAR(oneStep.masses[1].velocity.y, -0.00981f, 1e-9f);
    EXPECT_NEAR(oneStep.masses[1].position.y, -0.00000981f, 1e-11f);
    EXPECT_EQ(oneStep.masses[1].position.x, 1.0f);

    Rope twoSteps = rope_test::MakeRope(settings);
    twoSteps.Simulate(0.0015f);
    EXPECT_NEAR(twoSteps.masses[1].velocity.y, -0.014715f, 1e-8f) << "forces are cleared between steps";
    EXPECT_NEAR(twoSteps.masses[1].position.y, -0.0000171675f, 1e-11f);

    Rope stalled = rope_test::MakeRope(settings);
    stalled.Simulate(5.0f);
    EXPECT_NEAR(stalled.masses[1].velocity.y, -9.81f, 0.005f);

    Rope threeSeconds = rope_test::MakeRope(settings);
    threeSeconds.Simulate(3.0f);
    EXPECT_NEAR(threeSeconds.masses[1].velocity.y, -29.43f, 0.01f);
}

TEST(RopeSimulate, NoTimeChangesNothing) {
    rope_test::QuietRopeSettings settings;
    settings.gravity = D3DXVECTOR3(0.0f, -9.81f, 0.0f);
    for (float seconds : {0.0f, -1.0f}) {
        Rope rope = rope_test::MakeRope(settings);
        rope.masses[1].velocity = D3DXVECTOR3(1.0f, 2.0f, 3.0f);
        rope.Simulate(seconds);
        EXPECT_EQ(rope.masses[1].position, D3DXVECTOR3(1.0f, 0.0f, 0.0f)) << seconds;
        EXPECT_EQ(rope.masses[1].velocity, D3DXVECTOR3(1.0f, 2.0f, 3.0f)) << seconds;
    }
}

// After 300 frames of 16 ms the hanging part has stopped swinging; what lies on the ground
// still creeps towards the held end, slowly.
TEST(RopeSimulate, ProgramRopeHangsFromItsHeldEndAndSettles) {
    Rope rope = rope_test::MakeProgramRope();
    rope.masses[0].position.y = 10.0f;
    for (int frame = 0; frame < 299; ++frame) rope.Simulate(0.016f);
    D3DXVECTOR3 before = rope.masses[1].position;
    rope.Simulate(0.016f);

    EXPECT_EQ(rope.masses[0].position, D3DXVECTOR3(0.0f, 10.0f, 0.0f));
    EXPECT_EQ(rope.masses[0].velocity, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    EXPECT_NEAR(rope.masses[1].position.x, 0.0f, 0.1f);
    EXPECT_NEAR(rope.masses[1].position.y, 9.75f, 0.02f);
    EXPECT_EQ(rope.masses[1].position.z, 0.0f);
    D3DXVECTOR3 lastFrameMove = rope.masses[1].position - before;
    EXPECT_LT(D3DXVec3Length(&lastFrameMove), 0.001f);
    for (int i = 1; i < rope.count; ++i) {
        EXPECT_LT(D3DXVec3Length(&rope.masses[i].velocity), 1.0f) << "mass " << i;
        EXPECT_GT(rope.masses[i].position.y, -0.01f) << "mass " << i << " sank into the ground";
    }
    EXPECT_NEAR(rope.masses[rope.count - 1].position.y, 0.0f, 0.01f) << "the free end lies on the ground";
}

}  // namespace

namespace {

bool AllFinite(const Rope& rope) {
    for (const RopeMass& m : rope.masses) {
        for (float value : {m.position.x, m.position.y, m.position.z, m.velocity.x, m.velocity.y, m.velocity.z})
            if (!std::isfinite(value)) return false;
    }
    return true;
}

// A key held through a stall of five seconds moves the held end 60 units at once; the
// springs then throw the chain so hard that the drag overshoots and the numbers blow up.
// The rope starts again, straight along +x from where the held end now is, at rest.
TEST(RopeSimulate, RopeThatBlewUpStartsAgainFromItsHeldEnd) {
    Rope rope = rope_test::MakeProgramRope();
    rope.masses[0].position = D3DXVECTOR3(60.0f, 10.0f, 0.0f);
    rope.Simulate(5.0f);
    ASSERT_TRUE(AllFinite(rope));
    for (int i = 0; i < rope.count; ++i) {
        EXPECT_EQ(rope.masses[i].position, D3DXVECTOR3(60.0f + i * 0.25f, 10.0f, 0.0f)) << "mass " << i;
        EXPECT_EQ(rope.masses[i].velocity, D3DXVECTOR3(0.0f, 0.0f, 0.0f)) << "mass " << i;
    }
    // From there it simply falls again.
    rope.Simulate(0.016f);
    EXPECT_LT(rope.masses[rope.count - 1].position.y, 10.0f);
    EXPECT_TRUE(AllFinite(rope));
}

TEST(RopeSimulate, HeldEndThatIsNoNumberTakesTheRopeBackToTheOrigin) {
    Rope rope = rope_test::MakeProgramRope();
    rope.masses[0].position.x = std::numeric_limits<float>::quiet_NaN();
    rope.Simulate(0.001f);
    ASSERT_TRUE(AllFinite(rope));
    EXPECT_EQ(rope.masses[0].position, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(rope.masses[79].position, D3DXVECTOR3(79 * 0.25f, 0.0f, 0.0f));
}

}  // namespace
