#include "md2/md2_actor.h"

#include <cstdlib>

namespace {

constexpr int RestartOffsets = 5;  // a restart lands on one of the range's first five frames
constexpr float StandingFramesPerSecond = 4;
constexpr float MovingFramesPerSecond = 8;

}  // namespace

void Md2Actor::Attach(Md2Model* model) {
    blend = 0;
    this->model = model;
    frameCount = model ? model->frameCount : 0;
    StartRange(0);
}

void Md2Actor::SetAnimation(int index) {
    if (index == animation || index < 0 || index >= AnimationCount) return;
    StartRange(index);
}

void Md2Actor::StartRange(int index) {
    animation = index;
    startFrame = AnimationRanges[index].start;
    endFrame = AnimationRanges[index].end;
    Restart();
}

void Md2Actor::Restart() {
    currentFrame = startFrame + rand() % RestartOffsets;
    nextFrame = currentFrame + 1;
    const int lastFrame = frameCount - 1;
    if (endFrame > lastFrame) {
        startFrame = 0;
        endFrame = AnimationRanges[0].end;
        currentFrame = 0;
        nextFrame = 1;
        // A model too short even for range 0 plays what it has.
        if (endFrame > lastFrame) endFrame = lastFrame > 0 ? lastFrame : 0;
    }
    // Range 14 with the largest offset blends one frame past its end; that frame must exist.
    if (nextFrame > lastFrame) nextFrame = startFrame;
}

void Md2Actor::Advance(float seconds) {
    blend += seconds * (animation == 0 ? StandingFramesPerSecond : MovingFramesPerSecond);
    if (blend > 1) {
        blend = 0;  // the excess is dropped: a long pause steps one key frame only
        ++currentFrame;
        ++nextFrame;
        if (currentFrame > endFrame) currentFrame = startFrame;
        if (nextFrame > endFrame) nextFrame = startFrame;
    }
}

void Md2Actor::Draw(bool textured) {
    if (model) model->Draw(currentFrame, nextFrame, blend, textured);
}
