// The generated water texture that drizzle stretches over its grid.
#include "tools/resgen/water_texture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr int Size = 256;

int Channel(const std::vector<uint8_t>& rgb, int x, int y, int channel) {
    return rgb[(size_t(y) * Size + x) * 3 + channel];
}

// Mean difference, over all channels, between column a and column b (or rows, when `rows`).
double EdgeDifference(const std::vector<uint8_t>& rgb, int a, int b, bool rows) {
    long total = 0;
    for (int i = 0; i < Size; ++i) {
        for (int channel = 0; channel < 3; ++channel) {
            total += rows ? std::abs(Channel(rgb, i, a, channel) - Channel(rgb, i, b, channel))
                          : std::abs(Channel(rgb, a, i, channel) - Channel(rgb, b, i, channel));
        }
    }
    return double(total) / (Size * 3);
}

}  // namespace

TEST(WaterTexture, IsBlueGreenAndTilesWithoutASeam) {
    const std::vector<uint8_t> rgb = resgen::MakeWaterTexture(Size);
    ASSERT_EQ(rgb.size(), size_t(Size) * Size * 3);
    long red = 0, green = 0, blue = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        red += rgb[i];
        green += rgb[i + 1];
        blue += rgb[i + 2];
    }
    EXPECT_GT(blue, red * 2);
    EXPECT_GT(green, red * 2);
    // Across the wrap the texture changes no more than between neighbouring pixels inside.
    const double inside = (EdgeDifference(rgb, 100, 101, false) + EdgeDifference(rgb, 100, 101, true)) / 2;
    EXPECT_LT(EdgeDifference(rgb, Size - 1, 0, false), inside * 2);
    EXPECT_LT(EdgeDifference(rgb, Size - 1, 0, true), inside * 2);
    // The same every run: the resource generator is deterministic.
    EXPECT_EQ(resgen::MakeWaterTexture(Size), rgb);
}
