#include "platform/src/d3dx/bmp_decoder.h"

#include <gtest/gtest.h>

#include "tests/platform/d3dx/image_files.h"

using namespace d3dx_test;
using platform::d3dx::DecodeBmp;
using platform::d3dx::Image;

namespace {

const std::vector<uint32_t> kPalette = {0x000000, 0xff0000, 0x00ff00, 0x102030};

uint32_t Texel(const Image& image, uint32_t x, uint32_t y) {
    return TexelAt(image.levels[0].bytes, image.levels[0].width, x, y);
}

void ExpectEveryPrefixRejected(const Bytes& file) {
    for (size_t size = 0; size < file.size(); ++size) {
        EXPECT_FALSE(DecodeBmp(Bytes(file.begin(), file.begin() + size))) << "prefix of " << size << " bytes";
    }
}

}  // namespace

TEST(BmpDecoder, PalettisedRowsAreFlippedAndOpaque) {
    // 3x2, bottom row stored first, each row padded to 4 bytes.
    Bytes file = BmpFile(3, 2, 8, 0, kPalette, {1, 2, 3, 0, /* top: */ 3, 0, 1, 0});
    auto image = DecodeBmp(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    ASSERT_EQ(image->levels.size(), 1u);
    EXPECT_EQ(image->levels[0].width, 3u);
    EXPECT_EQ(image->levels[0].height, 2u);
    EXPECT_EQ(Texel(*image, 0, 0), 0xff102030u);
    EXPECT_EQ(Texel(*image, 1, 0), 0xff000000u);
    EXPECT_EQ(Texel(*image, 2, 0), 0xffff0000u);
    EXPECT_EQ(Texel(*image, 0, 1), 0xffff0000u);
    EXPECT_EQ(Texel(*image, 2, 1), 0xff102030u);
    ExpectEveryPrefixRejected(file);
}

TEST(BmpDecoder, Rle8RunsLiteralsAndDeltas) {
    Bytes stream = {
        3, 1,              // bottom row: three of index 1
        0, 3, 2, 0, 1, 0,  // three literal indices, padded to an even count
        0, 0,              // end of line
        0, 2, 2, 0,        // top row: skip two pixels
        2, 2,              // two of index 2
        0, 1,              // end of bitmap
    };
    Bytes file = BmpFile(6, 2, 8, 1, kPalette, stream);
    auto image = DecodeBmp(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    const uint32_t red = 0xffff0000, green = 0xff00ff00, black = 0xff000000;
    uint32_t expectedTop[6] = {black, black, green, green, black, black};
    uint32_t expectedBottom[6] = {red, red, red, green, black, red};
    for (uint32_t x = 0; x < 6; ++x) {
        EXPECT_EQ(Texel(*image, x, 0), expectedTop[x]) << "top x=" << x;
        EXPECT_EQ(Texel(*image, x, 1), expectedBottom[x]) << "bottom x=" << x;
    }
    ExpectEveryPrefixRejected(file);
}

TEST(BmpDecoder, Rle8DeltaPastTheImageIsRejected) {
    EXPECT_FALSE(DecodeBmp(BmpFile(2, 2, 8, 1, kPalette, {0, 2, 0, 9, 0, 1})));
}

TEST(BmpDecoder, TwentyFourBitRowsSkipTheirPadding) {
    // Width 3: 9 bytes of pixels and 3 of padding per row; B, G, R order.
    Bytes file = BmpFile(3, 2, 24, 0, {},
                         {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xee, 0xee, 0xee,
                          10, 20, 30, 40, 50, 60, 70, 80, 90, 0xee, 0xee, 0xee});
    auto image = DecodeBmp(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Texel(*image, 0, 0), 0xff1e140au);
    EXPECT_EQ(Texel(*image, 2, 0), 0xff5a5046u);
    EXPECT_EQ(Texel(*image, 0, 1), 0xff030201u);
    EXPECT_EQ(Texel(*image, 2, 1), 0xff090807u);
    ExpectEveryPrefixRejected(file);
}

TEST(BmpDecoder, TopDownFilesKeepTheirRowOrder) {
    Bytes file = BmpFile(1, -2, 24, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0});
    auto image = DecodeBmp(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(Texel(*image, 0, 0), 0xff030201u);
    EXPECT_EQ(Texel(*image, 0, 1), 0xff060504u);
}

TEST(BmpDecoder, ThirtyTwoBitUsesAlphaOnlyWhenPresent) {
    auto withAlpha = DecodeBmp(BmpFile(2, 1, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0x80}));
    ASSERT_TRUE(withAlpha);
    EXPECT_EQ(withAlpha->format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(Texel(*withAlpha, 0, 0), 0x00030201u);
    EXPECT_EQ(Texel(*withAlpha, 1, 0), 0x80060504u);

    Bytes opaqueFile = BmpFile(2, 1, 32, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0});
    auto opaque = DecodeBmp(opaqueFile);
    ASSERT_TRUE(opaque);
    EXPECT_EQ(opaque->format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Texel(*opaque, 0, 0), 0xff030201u);
    ExpectEveryPrefixRejected(opaqueFile);
}

TEST(BmpDecoder, MalformedHeadersAreRejected) {
    EXPECT_FALSE(DecodeBmp(BmpFile(0, 1, 24, 0, {}, {0, 0, 0, 0})));           // no width
    EXPECT_FALSE(DecodeBmp(BmpFile(1, 0, 24, 0, {}, {0, 0, 0, 0})));           // no height
    EXPECT_FALSE(DecodeBmp(BmpFile(1, 1, 4, 0, {0, 0}, {0, 0, 0, 0})));        // 4-bit
    EXPECT_FALSE(DecodeBmp(BmpFile(1, 1, 24, 2, {}, {0, 0, 0, 0})));           // RLE4
    EXPECT_FALSE(DecodeBmp(BmpFile(1, 1 << 30, 24, 0, {}, {0, 0, 0, 0})));     // huge
    EXPECT_FALSE(DecodeBmp(BmpFile(1, -1, 8, 1, kPalette, {1, 1, 0, 1})));     // top-down RLE
    Bytes badOffset = BmpFile(1, 1, 24, 0, {}, {0, 0, 0, 0});
    badOffset[10] = 0xff;
    badOffset[11] = 0xff;
    EXPECT_FALSE(DecodeBmp(badOffset));
}

// A bitmap larger than the device takes is decoded straight to the size that fits, each texel
// the stored pixel nearest its centre: a few bytes declaring 16384 x 16384 cost 64 x 64.
TEST(BmpDecoder, HugeRunLengthBitmapDecodesOnlyWhatFits) {
    // Up 127 rows from the bottom, 256 pixels of index 1 (in runs of 128), then the bitmap
    // ends; everything else keeps index 0.
    const Bytes stream = {0, 2, 0, 127, 128, 1, 128, 1, 0, 1};
    auto image = DecodeBmp(BmpFile(16384, 16384, 8, 1, kPalette, stream), {64, 64});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->levels[0].width, 64u);
    ASSERT_EQ(image->levels[0].height, 64u);
    // Texel column c samples stored column (2c + 1) * 16384 / 128 = 256c + 128, and texel row
    // r (from the top) the stored row 16384 - 1 - 128 (2r + 1) from the bottom: the bottom
    // texel row samples row 127, and of it only column 128 lies in the red run.
    EXPECT_EQ(Texel(*image, 0, 63), 0xffff0000u);
    EXPECT_EQ(Texel(*image, 1, 63), 0xff000000u);
    EXPECT_EQ(Texel(*image, 0, 62), 0xff000000u);
}

TEST(BmpDecoder, LargePlainBitmapTakesTheNearestPixels) {
    // 8x2 palettised: index = column in the top row, 7 - column in the bottom row.
    Bytes pixels = {7, 6, 5, 4, 3, 2, 1, 0, /* top: */ 0, 1, 2, 3, 4, 5, 6, 7};
    std::vector<uint32_t> palette;
    for (uint32_t i = 0; i < 8; ++i) palette.push_back(i * 0x10);
    auto image = DecodeBmp(BmpFile(8, 2, 8, 0, palette, pixels), {3, 1});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->levels[0].width, 3u);
    ASSERT_EQ(image->levels[0].height, 1u);
    // Columns (2c + 1) * 8 / 6 = 1, 4, 6 of the stored row (2 * 0 + 1) * 2 / 2 = 1, the bottom.
    EXPECT_EQ(Texel(*image, 0, 0), 0xff000060u);
    EXPECT_EQ(Texel(*image, 1, 0), 0xff000030u);
    EXPECT_EQ(Texel(*image, 2, 0), 0xff000010u);
}
