// The comparison of two frames of the same pose: each pixel is sorted into a region of the
// scene (background, ground, objects) by the program's own rule, then the two region maps
// must agree and each region must have about the same mean colour in both frames.
#pragma once

#include <array>
#include <vector>

#include "tests/windows/screen_image.h"

namespace wine_check {

// Ignored: left out of the comparison (text, moving things, what one renderer lacks).
enum class Region : uint8_t { Ignored, Background, Ground, Object };
constexpr int kRegionCount = 4;
const char* RegionName(Region region);

// Sorts one pixel of a frame into its region by its colour.
using Classifier = Region (*)(uint32_t pixel);

// A frame, and which of its pixels move: those in another region in a later frame of the
// same run (a snowflake in the sky, a swinging rope). Both renderers run their own clock and
// their own rand(), so what moves is in different places and is left out; what changes
// within its region (rippling water) stays in.
struct Picture {
    Image frame;
    std::vector<bool> moving;
};

// `frame` with the pixels whose region differs in `later` marked moving, widened by `margin`
// pixels to take in the soft edges of what moved.
Picture PictureOf(const Image& frame, const Image& later, Classifier classify, int margin);

struct RegionMap {
    int width = 0;
    int height = 0;
    std::vector<Region> regions;

    Region At(int x, int y) const { return regions[size_t(y) * width + x]; }
};

// The regions of every pixel; moving pixels and those inside `leftOut` are Ignored.
RegionMap Classify(const Picture& picture, Classifier classify, const std::vector<Rect>& leftOut);

struct MeanColour {
    double red = 0;
    double green = 0;
    double blue = 0;
    long pixels = 0;
};

struct SceneComparison {
    long compared = 0;     // pixels that neither map ignores
    double agreement = 0;  // the fraction of them in the same region in both maps
    // Per region, over the pixels that both maps put in it.
    std::array<MeanColour, kRegionCount> ours;
    std::array<MeanColour, kRegionCount> theirs;
};

// Compares two pictures of the same size.
SceneComparison CompareScenes(const Picture& ours, const Picture& theirs, Classifier classify,
                              const std::vector<Rect>& leftOut);

// The largest difference of one channel's mean in one region, in 1/255 steps.
double LargestMeanDifference(const SceneComparison& comparison, Region region);

// Pixels inside `box` brighter than `threshold` in every channel (the ink of white text).
int BrightPixelsIn(const Image& image, const Rect& box, int threshold);

}  // namespace wine_check
