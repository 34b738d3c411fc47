#include "tests/windows/scene_comparison.h"

#include <algorithm>
#include <cmath>

namespace wine_check {

const char* RegionName(Region region) {
    switch (region) {
    case Region::Ignored: return "ignored";
    case Region::Background: return "background";
    case Region::Ground: return "ground";
    case Region::Object: return "objects";
    }
    return "?";
}

Picture PictureOf(const Image& frame, const Image& later, Classifier classify, int margin) {
    Picture picture{frame, std::vector<bool>(frame.pixels.size(), false)};
    if (later.width != frame.width || later.height != frame.height) return picture;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (classify(frame.At(x, y)) == classify(later.At(x, y))) continue;
            for (int my = std::max(y - margin, 0); my <= std::min(y + margin, frame.height - 1); ++my)
                for (int mx = std::max(x - margin, 0); mx <= std::min(x + margin, frame.width - 1); ++mx)
                    picture.moving[size_t(my) * frame.width + mx] = true;
        }
    }
    return picture;
}

RegionMap Classify(const Picture& picture, Classifier classify, const std::vector<Rect>& leftOut) {
    const Image& image = picture.frame;
    RegionMap map;
    map.width = image.width;
    map.height = image.height;
    map.regions.resize(image.pixels.size());
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const size_t i = size_t(y) * image.width + x;
            const bool kept = !picture.moving[i] && std::none_of(leftOut.begin(), leftOut.end(), [&](const Rect& box) {
                return box.Contains(x, y);
            });
            map.regions[i] = kept ? classify(image.pixels[i]) : Region::Ignored;
        }
    }
    return map;
}

namespace {

void Add(MeanColour* mean, uint32_t pixel) {
    mean->red += Red(pixel);
    mean->green += Green(pixel);
    mean->blue += Blue(pixel);
    ++mean->pixels;
}

void Finish(MeanColour* mean) {
    if (mean->pixels == 0) return;
    mean->red /= mean->pixels;
    mean->green /= mean->pixels;
    mean->blue /= mean->pixels;
}

}  // namespace

SceneComparison CompareScenes(const Picture& ourPicture, const Picture& theirPicture, Classifier classify,
                              const std::vector<Rect>& leftOut) {
    SceneComparison comparison;
    const Image& ours = ourPicture.frame;
    const Image& theirs = theirPicture.frame;
    if (ours.width != theirs.width || ours.height != theirs.height) return comparison;
    const RegionMap ourMap = Classify(ourPicture, classify, leftOut);
    const RegionMap theirMap = Classify(theirPicture, classify, leftOut);
    long agreeing = 0;
    for (size_t i = 0; i < ours.pixels.size(); ++i) {
        const Region ourRegion = ourMap.regions[i], theirRegion = theirMap.regions[i];
        if (ourRegion == Region::Ignored || theirRegion == Region::Ignored) continue;
        ++comparison.compared;
        if (ourRegion != theirRegion) continue;
        ++agreeing;
        Add(&comparison.ours[int(ourRegion)], ours.pixels[i]);
        Add(&comparison.theirs[int(ourRegion)], theirs.pixels[i]);
    }
    for (MeanColour& mean : comparison.ours) Finish(&mean);
    for (MeanColour& mean : comparison.theirs) Finish(&mean);
    comparison.agreement = comparison.compared > 0 ? double(agreeing) / comparison.compared : 0.0;
    return comparison;
}

double LargestMeanDifference(const SceneComparison& comparison, Region region) {
    const MeanColour& a = comparison.ours[int(region)];
    const MeanColour& b = comparison.theirs[int(region)];
    return std::max({std::fabs(a.red - b.red), std::fabs(a.green - b.green), std::fabs(a.blue - b.blue)});
}

int BrightPixelsIn(const Image& image, const Rect& box, int threshold) {
    int count = 0;
    for (int y = std::max(box.top, 0); y < std::min(box.bottom, image.height); ++y) {
        for (int x = std::max(box.left, 0); x < std::min(box.right, image.width); ++x) {
            const uint32_t pixel = image.At(x, y);
            if (Red(pixel) > threshold && Green(pixel) > threshold && Blue(pixel) > threshold) ++count;
        }
    }
    return count;
}

}  // namespace wine_check
