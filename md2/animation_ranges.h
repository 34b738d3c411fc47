// The sixteen animations of an MD2 character as ranges of key frames, shared by the player
// (Md2Actor) and the resource generator that animates the characters to match.
#pragma once

struct AnimationRange {
    int start;  // first key frame
    int end;    // last key frame, inclusive
};
constexpr int AnimationCount = 16;
// Frames 0 to 198: a model needs 199 frames to play every range.
constexpr int FullAnimationFrames = 199;
extern const AnimationRange AnimationRanges[AnimationCount];
