// Playing an MD2 model's animations: ranges, the random restart, the blend clock at four and
// eight key frames a second, loops, and the fallbacks that keep every frame inside the model.
#include "md2/md2_actor.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The Windows runtime's first numbers after srand(1) are 41, 18467, 6334, 26500, 19169:
// restart offsets 1, 2, 4, 0, 4.
class Md2ActorTest : public ::testing::Test {
protected:
    void SetUp() override { srand(1); }
    // A model with the frame count alone; the actor needs nothing else to play.
    void AttachTo(int frames) {
        model.frameCount = frames;
        actor.Attach(&model);
    }
    Md2Model model{nullptr};
    Md2Actor actor;
};

TEST_F(Md2ActorTest, StartsStandingAtOneOfTheFirstFiveFrames) {
    EXPECT_EQ(actor.world, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    EXPECT_EQ(&actor.world, &actor.view) << "the camera's matrix is the world matrix";
    AttachTo(199);
    EXPECT_EQ(actor.frameCount, 199);
    EXPECT_EQ(actor.animation, 0);
    EXPECT_EQ(actor.startFrame, 0);
    EXPECT_EQ(actor.endFrame, 39);
    EXPECT_EQ(actor.currentFrame, 1);
    EXPECT_EQ(actor.nextFrame, 2);
    EXPECT_EQ(actor.blend, 0.0f);

    actor.SetAnimation(5);
    EXPECT_EQ(actor.startFrame, 74);
    EXPECT_EQ(actor.endFrame, 95);
    EXPECT_EQ(actor.currentFrame, 76);
    EXPECT_EQ(actor.nextFrame, 77);
}

TEST_F(Md2ActorTest, StandingStepsFourKeyFramesASecondTheOthersEight) {
    AttachTo(199);
    actor.Advance(0.125f);
    EXPECT_FLOAT_EQ(actor.blend, 0.5f);
    actor.Advance(0.125f);
    EXPECT_FLOAT_EQ(actor.blend, 1.0f);
    EXPECT_EQ(actor.currentFrame, 1) << "only more than 1 steps";
    actor.Advance(0.125f);
    EXPECT_EQ(actor.blend, 0.0f);
    EXPECT_EQ(actor.currentFrame, 2);
    EXPECT_EQ(actor.nextFrame, 3);

    actor.SetAnimation(2);
    const int from = actor.currentFrame;
    actor.Advance(0.125f);
    EXPECT_FLOAT_EQ(actor.blend, 1.0f);
    actor.Advance(0.125f);
    EXPECT_EQ(actor.blend, 0.0f);
    EXPECT_EQ(actor.currentFrame, from + 1);
}

TEST_F(Md2ActorTest, LongPauseStepsOneKeyFrame) {
    AttachTo(199);
    actor.Advance(7.5f);
    EXPECT_EQ(actor.blend, 0.0f);
    EXPECT_EQ(actor.currentFrame, 2);
    EXPECT_EQ(actor.nextFrame, 3);
}

TEST_F(Md2ActorTest, RangesLoop) {
    AttachTo(199);
    actor.SetAnimation(1);
    actor.currentFrame = 45;
    actor.nextFrame = 40;
    actor.Advance(0.2f);
    EXPECT_EQ(actor.currentFrame, 40);
    EXPECT_EQ(actor.nextFrame, 41);
}

TEST_F(Md2ActorTest, RangePastTheLastFrameFallsBackToStandingAtItsOwnPace) {
    AttachTo(198);
    actor.SetAnimation(15);
    EXPECT_EQ(actor.animation, 15);
    EXPECT_EQ(actor.startFrame, 0);
    EXPECT_EQ(actor.endFrame, 39);
    EXPECT_EQ(actor.currentFrame, 0);
    EXPECT_EQ(actor.nextFrame, 1);
    actor.Advance(0.125f);
    EXPECT_FLOAT_EQ(actor.blend, 1.0f) << "eight key frames a second";
    actor.Advance(0.125f);
    actor.SetAnimation(15);
    EXPECT_EQ(actor.currentFrame, 1) << "the same key again changes nothing";

    actor.SetAnimation(0);
    EXPECT_EQ(actor.currentFrame, 4) << "a new offset: 6334 % 5";
    actor.Advance(0.125f);
    EXPECT_FLOAT_EQ(actor.blend, 0.5f);
}

TEST_F(Md2ActorTest, ShortRangeWithTheLastOffsetPlaysWithoutBlending) {
    AttachTo(199);
    rand();  // Attach drew 41, this 18467; the next restart draws 6334: offset 4
    actor.SetAnimation(14);
    EXPECT_EQ(actor.currentFrame, 190);
    EXPECT_EQ(actor.nextFrame, 191) << "one past the range, still inside the model";
    actor.Advance(0.2f);
    EXPECT_EQ(actor.currentFrame, 186);
    EXPECT_EQ(actor.nextFrame, 186);
    actor.Advance(0.2f);
    EXPECT_EQ(actor.currentFrame, 187);
    EXPECT_EQ(actor.nextFrame, 187);
}

TEST_F(Md2ActorTest, NextFrameStaysInsideAModelThatEndsWithTheRange) {
    AttachTo(191);
    rand();
    actor.SetAnimation(14);
    EXPECT_EQ(actor.currentFrame, 190);
    EXPECT_EQ(actor.nextFrame, 186);
}

TEST_F(Md2ActorTest, ShortModelPlaysTheFramesItHas) {
    AttachTo(10);
    EXPECT_EQ(actor.endFrame, 9);
    for (int step = 0; step < 30; ++step) {
        actor.Advance(0.3f);
        ASSERT_LT(actor.currentFrame, 10);
        ASSERT_LT(actor.nextFrame, 10);
    }
    AttachTo(1);
    EXPECT_EQ(actor.currentFrame, 0);
    EXPECT_EQ(actor.nextFrame, 0);
    actor.Advance(0.3f);
    EXPECT_EQ(actor.nextFrame, 0);
}

TEST_F(Md2ActorTest, AnimationIndicesOutsideTheTableAreIgnored) {
    AttachTo(199);
    actor.SetAnimation(16);
    actor.SetAnimation(-1);
    EXPECT_EQ(actor.animation, 0);
    EXPECT_EQ(actor.currentFrame, 1);
}

}  // namespace
