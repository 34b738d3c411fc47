#include "platform/src/d3dx/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/platform/d3dx/flat_jpeg.h"
#include "tests/platform/d3dx/image_files.h"

using namespace d3dx_test;
using platform::d3dx::DecodeJpeg;

TEST(JpegDecoder, FlatColourDecodesWithinTolerance) {
    auto image = DecodeJpeg(kFlatJpeg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    ASSERT_EQ(image->levels.size(), 1u);
    EXPECT_EQ(image->levels[0].width, 16u);
    EXPECT_EQ(image->levels[0].height, 8u);
    for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 16; ++x) {
            uint32_t texel = TexelAt(image->levels[0].bytes, 16, x, y);
            EXPECT_EQ(texel >> 24, 0xffu);
            EXPECT_NEAR(static_cast<int>((texel >> 16) & 255), 200, 3);
            EXPECT_NEAR(static_cast<int>((texel >> 8) & 255), 100, 3);
            EXPECT_NEAR(static_cast<int>(texel & 255), 50, 3);
        }
    }
}

TEST(JpegDecoder, EveryTruncationIsRejected) {
    for (size_t size = 0; size < kFlatJpeg.size(); ++size) {
        EXPECT_FALSE(DecodeJpeg(Bytes(kFlatJpeg.begin(), kFlatJpeg.begin() + size))) << "prefix of " << size;
    }
}

TEST(JpegDecoder, SegmentLengthPastTheEndIsRejected) {
    Bytes broken = kFlatJpeg;
    broken[4] = 0x7f;  // length of the first segment
    EXPECT_FALSE(DecodeJpeg(broken));
}
