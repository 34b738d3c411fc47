#include "platform/src/d3dx/dxt_codec.h"
#include "platform/src/d3dx/mip_chain.h"

#include <gtest/gtest.h>

#include "tests/platform/d3dx/image_files.h"

using namespace d3dx_test;
using namespace platform::d3dx;

namespace {

ImageLevel FlatLevel(uint32_t width, uint32_t height, uint32_t argb) {
    ImageLevel level{width, height, {}};
    for (uint32_t i = 0; i < width * height; ++i) {
        for (int c = 0; c < 4; ++c) level.bytes.push_back(static_cast<uint8_t>(argb >> (8 * c)));
    }
    return level;
}

}  // namespace

TEST(MipChain, SidesRoundUpToPowersOfTwo) {
    EXPECT_EQ(NextPowerOfTwo(1), 1u);
    EXPECT_EQ(NextPowerOfTwo(3), 4u);
    EXPECT_EQ(NextPowerOfTwo(4), 4u);
    EXPECT_EQ(NextPowerOfTwo(300), 512u);
    EXPECT_EQ(FullMipCount(1, 1), 1u);
    EXPECT_EQ(FullMipCount(256, 256), 9u);
    EXPECT_EQ(FullMipCount(4, 64), 7u);
}

TEST(MipChain, OddImageBecomesAPowerOfTwoChainToOneByOne) {
    Image image{D3DFMT_X8R8G8B8, {FlatLevel(3, 5, 0xff336699)}};
    Image complete = CompleteForTexture(image);
    EXPECT_EQ(complete.format, D3DFMT_X8R8G8B8);
    ASSERT_EQ(complete.levels.size(), 4u);
    const uint32_t expected[4][2] = {{4, 8}, {2, 4}, {1, 2}, {1, 1}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(complete.levels[i].width, expected[i][0]);
        EXPECT_EQ(complete.levels[i].height, expected[i][1]);
        EXPECT_EQ(complete.levels[i].bytes.size(), expected[i][0] * expected[i][1] * 4);
        EXPECT_EQ(TexelAt(complete.levels[i].bytes, expected[i][0], 0, 0), 0xff336699u) << "level " << i;
    }
}

TEST(MipChain, StretchInterpolatesBetweenTexelCentres) {
    ImageLevel source{2, 1, {0, 0, 0, 255, 255, 255, 255, 255}};
    std::vector<uint8_t> wide = ResampleTexels(source, 4, 1);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(wide[4], 64);
    EXPECT_EQ(wide[8], 191);
    EXPECT_EQ(wide[12], 255);
    EXPECT_EQ(wide[15], 255);
}

TEST(MipChain, BoxFilterAveragesAndRounds) {
    // 2x2 grey levels 0, 1, 2, 4 in blue: sum 7, average 1.75 rounds to 2.
    ImageLevel square{2, 2, {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0}};
    ImageLevel one = BoxDownsample(square);
    EXPECT_EQ(one.width, 1u);
    EXPECT_EQ(one.height, 1u);
    EXPECT_EQ(one.bytes[0], 2);
    // A 4x1 strip halves along x only: pairs (10, 20) and (30, 51).
    ImageLevel strip{4, 1, {10, 0, 0, 0, 20, 0, 0, 0, 30, 0, 0, 0, 51, 0, 0, 0}};
    ImageLevel half = BoxDownsample(strip);
    EXPECT_EQ(half.width, 2u);
    EXPECT_EQ(half.height, 1u);
    EXPECT_EQ(half.bytes[0], 15);
    EXPECT_EQ(half.bytes[4], 41);
}

TEST(MipChain, FileLevelsAreKeptAndTheRestGenerated) {
    Image image{D3DFMT_A8R8G8B8, {FlatLevel(4, 4, 0x80ff0000), FlatLevel(2, 2, 0x4000ff00)}};
    Image complete = CompleteForTexture(image);
    ASSERT_EQ(complete.levels.size(), 3u);
    EXPECT_EQ(TexelAt(complete.levels[1].bytes, 2, 0, 0), 0x4000ff00u);
    EXPECT_EQ(TexelAt(complete.levels[2].bytes, 1, 0, 0), 0x4000ff00u);  // from level 1, not level 0
}

TEST(MipChain, CompressedChainIsCompletedCompressed) {
    // An 8x8 DXT1 image of four red blocks: the generated levels must still decode to red.
    std::vector<uint8_t> blocks;
    for (int i = 0; i < 4; ++i) blocks.insert(blocks.end(), {0x00, 0xf8, 0x00, 0xf8, 0, 0, 0, 0});
    Image complete = CompleteForTexture(Image{D3DFMT_DXT1, {ImageLevel{8, 8, blocks}}});
    EXPECT_EQ(complete.format, D3DFMT_DXT1);
    ASSERT_EQ(complete.levels.size(), 4u);
    EXPECT_EQ(complete.levels[0].bytes, blocks);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(complete.levels[i].bytes.size(), 8u);
        auto texels = DecodeDxtLevel(D3DFMT_DXT1, complete.levels[i].width, complete.levels[i].height,
                                     complete.levels[i].bytes);
        EXPECT_EQ(TexelAt(texels, complete.levels[i].width, 0, 0), 0xffff0000u) << "level " << i;
    }
}

TEST(MipChain, CompressedImageOfOddSizeIsExpanded) {
    std::vector<uint8_t> blocks;
    for (int i = 0; i < 3; ++i) blocks.insert(blocks.end(), {0x1f, 0x00, 0x1f, 0x00, 0, 0, 0, 0});
    Image complete = CompleteForTexture(Image{D3DFMT_DXT1, {ImageLevel{4, 12, blocks}}});
    EXPECT_EQ(complete.format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(complete.levels[0].width, 4u);
    EXPECT_EQ(complete.levels[0].height, 16u);
    EXPECT_EQ(TexelAt(complete.levels[0].bytes, 4, 3, 15), 0xff0000ffu);
}

TEST(DxtCodec, EncodedBlocksDecodeBackToTheirColours) {
    ImageLevel level = FlatLevel(4, 4, 0xff00ff00);
    for (uint32_t i = 8; i < 16; ++i) {  // bottom half blue, half transparent
        level.bytes[i * 4 + 0] = 0xff;
        level.bytes[i * 4 + 1] = 0;
        level.bytes[i * 4 + 3] = 0x80;
    }
    auto dxt5 = EncodeDxtLevel(D3DFMT_DXT5, 4, 4, level.bytes);
    ASSERT_EQ(dxt5.size(), 16u);
    auto texels = DecodeDxtLevel(D3DFMT_DXT5, 4, 4, dxt5);
    EXPECT_EQ(TexelAt(texels, 4, 0, 0), 0xff00ff00u);
    EXPECT_NEAR(static_cast<int>(TexelAt(texels, 4, 3, 3) >> 24), 0x80, 2);
    EXPECT_EQ(TexelAt(texels, 4, 3, 3) & 0xffffff, 0x0000ffu);
    auto dxt3 = DecodeDxtLevel(D3DFMT_DXT3, 4, 4, EncodeDxtLevel(D3DFMT_DXT3, 4, 4, level.bytes));
    EXPECT_EQ(TexelAt(dxt3, 4, 0, 0), 0xff00ff00u);
    EXPECT_EQ(TexelAt(dxt3, 4, 3, 3), 0x880000ffu);  // 0x80 to four bits: 8, read back as 0x88
}
