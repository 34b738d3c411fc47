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

// Mean colours of textured regions differ a little because Wine point-samples mip levels
// where D3DX box-filters them (docs/fidelity.md); untextured ones match to rounding.
constexpr double kTexturedTolerance = 4;
constexpr double kFlatTolerance = 1;

// Darker than this in every channel: the black that relief, flurry and drizzle clear to.
constexpr int kClearedBlack = 24;

bool IsCleared(uint32_t pixel) { return std::max({Red(pixel), Green(pixel), Blue(pixel)}) < kClearedBlack; }

// relief and flurry: the terrain under a black sky. flurry's snowflakes move and so are
// left out before this rule sees them.
Region LandUnderBlackSky(uint32_t pixel) { return IsCleared(pixel) ? Region::Background : Region::Ground; }

// drizzle: the bluish water under a black sky. Wine draws no raindrops (their grey streaks
// come from ID3DXLine::DrawTransform), so neutral grey is ignored even where it stands still.
constexpr int kGreySpread = 12;
Region WaterUnderBlackSky(uint32_t pixel) {
    if (IsCleared(pixel)) return Region::Background;
    const int spread = std::max({Red(pixel), Green(pixel), Blue(pixel)}) - std::min({Red(pixel), Green(pixel), Blue(pixel)});
    return spread <= kGreySpread ? Region::Ignored : Region::Ground;
}

// tether: the white floor against the grey it clears to. Wine draws neither the rope (blue)
// nor its shadow (dark grey), both ID3DXLine::DrawTransform lines, so every other colour,
// the blended edges of the lines included, is ignored even once the rope hangs still.
constexpr int kClearGrey = 0x7F;
constexpr int kFloorWhite = 230;
constexpr int kColourSlack = 12;
Region FloorUnderGrey(uint32_t pixel) {
    const bool grey = std::abs(Red(pixel) - kClearGrey) <= kColourSlack &&
                      std::abs(Green(pixel) - kClearGrey) <= kColourSlack &&
                      std::abs(Blue(pixel) - kClearGrey) <= kColourSlack;
    if (grey) return Region::Background;
    const bool white = Red(pixel) >= kFloorWhite && Green(pixel) >= kFloorWhite && Blue(pixel) >= kFloorWhite;
    return white ? Region::Ground : Region::Ignored;
}

// glasshall: the lit mirror wall (grey) and the white floor; the character, its reflection
// and its shadow move with the animation and are left out before this rule sees them.
constexpr int kWallLow = 150;
Region WallOverFloor(uint32_t pixel) {
    const int low = std::min({Red(pixel), Green(pixel), Blue(pixel)});
    const int spread = std::max({Red(pixel), Green(pixel), Blue(pixel)}) - low;
    if (spread > kColourSlack) return Region::Ignored;
    if (low >= kFloorWhite) return Region::Ground;
    return low >= kWallLow ? Region::Background : Region::Ignored;
}

// landscaper: the blue sky against everything standing on the ground; white clouds count
// with the ground's side, the same in both pictures.
constexpr int kSkyBlueLead = 20;
Region GroundUnderBlueSky(uint32_t pixel) {
    const bool blue = Blue(pixel) >= Red(pixel) + kSkyBlueLead && Blue(pixel) >= Green(pixel);
    return blue ? Region::Background : Region::Ground;
}

}  // namespace

const std::vector<WineCheck>& WineChecks() {
    // One line per program of the Windows build (cmake/windows_programs.cmake lists the same
    // names).
    static const std::vector<WineCheck> checks = {
        {"relief", "DemoApplication", LandUnderBlackSky, {kFpsBox, kCountBox}, kCountBox, kTexturedTolerance},
        {"flurry", "DemoApplication", LandUnderBlackSky, {kFpsBox, kCountBox}, kCountBox, kTexturedTolerance},
        {"drizzle", "DemoApplication", WaterUnderBlackSky, {kFpsBox}, {}, kTexturedTolerance},
        {"tether", "tether", FloorUnderGrey, {kRopePointBox}, {}, kFlatTolerance},
        {"halfspace", "DemoApplication", LandUnderBlackSky, {kFpsBox}, {}, kTexturedTolerance, true,
         "Wine's ID3DXMesh::DrawSubset draws only the first subset of the loaded mouse mesh"},
        {"glasshall", "DemoApplication", WallOverFloor, {kFpsBox}, {}, kFlatTolerance, false},
        {"landscaper", "DemoApplication", GroundUnderBlueSky, {kFpsBox}, {}, kTexturedTolerance, false},
    };
    return checks;
}

std::string ProgramName(const WineCheck& check) { return check.program; }

}  // namespace wine_check
