#include "tests/windows/wine_programs.h"

#include <algorithm>
#include <cstdlib>

namespace wine_check {

namespace {

// The overlay texts of the framework's 18-pixel font: the frame rate at (10, 10), a count
// beside it at (70, 10), and tether's rope point at the top-left corner. Each box is as wide
// as the program draws it.
constexpr Rect kFpsBox{10, 10, 110, 28};
constexpr Rect kCountBox{70, 10, 170, 28};
constexpr Rect kRopePointBox{0, 0, 400, 18};

// Darker than this in every channel: the black that relief, flurry and drizzle clear to.
constexpr int kClearedBlack = 24;

bool IsCleared(uint32_t pixel) { return std::max({Red(pixel), Green(pixel), Blue(pixel)}) < kClearedBlack; }

bool IsNeutralGrey(uint32_t pixel, int spread) {
    return std::max({Red(pixel), Green(pixel), Blue(pixel)}) - std::min({Red(pixel), Green(pixel), Blue(pixel)}) <=
           spread;
}

// relief: the textured terrain under a black sky.
Region LandUnderBlackSky(const Image& image, int x, int y) {
    return IsCleared(image.At(x, y)) ? Region::Background : Region::Ground;
}

// flurry: snowflakes fall everywhere and differ in every frame (the real clock, and the
// runtime's own rand() sequence), so a bright pixel in the sky is ignored when the sky shows
// a little further up and down: a flake is a few pixels high, the snowy ground never has
// black both above and below it.
constexpr int kFlakeReach = 12;
Region SnowUnderBlackSky(const Image& image, int x, int y) {
    if (IsCleared(image.At(x, y))) return Region::Background;
    const bool skyAbove = y >= kFlakeReach && IsCleared(image.At(x, y - kFlakeReach));
    const bool skyBelow = y + kFlakeReach < image.height && IsCleared(image.At(x, y + kFlakeReach));
    return skyAbove && skyBelow ? Region::Ignored : Region::Ground;
}

// drizzle: the bluish water under a black sky. The rain's grey streaks move with the real
// clock (and Wine does not draw them at all), so neutral grey is ignored.
constexpr int kGreySpread = 12;
Region WaterUnderBlackSky(const Image& image, int x, int y) {
    const uint32_t pixel = image.At(x, y);
    if (IsCleared(pixel)) return Region::Background;
    return IsNeutralGrey(pixel, kGreySpread) ? Region::Ignored : Region::Ground;
}

// tether: the white floor against the grey it clears to. The rope (blue) and its shadow
// (dark grey) swing with the real clock, and Wine draws neither, so both are ignored, with
// the blended edges of the lines.
constexpr int kClearGrey = 0x7F;
constexpr int kFloorWhite = 230;
constexpr int kColourSlack = 12;
Region FloorUnderGrey(const Image& image, int x, int y) {
    const uint32_t pixel = image.At(x, y);
    const bool grey = std::abs(Red(pixel) - kClearGrey) <= kColourSlack &&
                      std::abs(Green(pixel) - kClearGrey) <= kColourSlack &&
                      std::abs(Blue(pixel) - kClearGrey) <= kColourSlack;
    if (grey) return Region::Background;
    const bool white = Red(pixel) >= kFloorWhite && Green(pixel) >= kFloorWhite && Blue(pixel) >= kFloorWhite;
    return white ? Region::Ground : Region::Ignored;
}

}  // namespace

const std::vector<WineCheck>& WineChecks() {
    // One line per program of the Windows build (cmake/windows.cmake lists the same names).
    static const std::vector<WineCheck> checks = {
        {"relief", "DemoApplication", LandUnderBlackSky, {kFpsBox, kCountBox}, kCountBox, 6},
        {"flurry", "DemoApplication", SnowUnderBlackSky, {kFpsBox, kCountBox}, kCountBox, 6},
        {"drizzle", "DemoApplication", WaterUnderBlackSky, {kFpsBox}, {}, 6},
        {"tether", "tether", FloorUnderGrey, {kRopePointBox}, {}, 6},
    };
    return checks;
}

std::string ProgramName(const WineCheck& check) { return check.program; }

}  // namespace wine_check
