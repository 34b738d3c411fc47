#include "platform/src/d3dx/dds_decoder.h"
#include "platform/src/d3dx/dxt_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "tests/platform/d3dx/image_files.h"

using namespace d3dx_test;
using platform::d3dx::DecodeDds;
using platform::d3dx::DecodeDxtLevel;

namespace {

void ExpectEveryPrefixRejected(const Bytes& file) {
    for (size_t size = 0; size < file.size(); ++size) {
        EXPECT_FALSE(DecodeDds(Bytes(file.begin(), file.begin() + size))) << "prefix of " << size << " bytes";
    }
}

// One DXT1 block: red and blue end points; row 0 uses indices 0, 1, 2, 3, the rest index 0.
const Bytes kRedBlueDxt1 = {0x00, 0xf8, 0x1f, 0x00, 0xe4, 0x00, 0x00, 0x00};

}  // namespace

TEST(DdsDecoder, ArgbLevelsAreReadFromTheFile) {
    Bytes data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, /* 1x1: */ 0xaa, 0xbb, 0xcc, 0xdd};
    Bytes file = DdsFile(D3DFMT_A8R8G8B8, 2, 2, 2, data);
    auto image = DecodeDds(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, D3DFMT_A8R8G8B8);
    ASSERT_EQ(image->levels.size(), 2u);
    EXPECT_EQ(TexelAt(image->levels[0].bytes, 2, 1, 1), 0x100f0e0du);
    EXPECT_EQ(TexelAt(image->levels[1].bytes, 1, 0, 0), 0xddccbbaau);
    ExpectEveryPrefixRejected(file);
}

TEST(DdsDecoder, XrgbTexelsReadAsOpaque) {
    auto image = DecodeDds(DdsFile(D3DFMT_X8R8G8B8, 1, 1, 1, {1, 2, 3, 0}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(TexelAt(image->levels[0].bytes, 1, 0, 0), 0xff030201u);
}

TEST(DdsDecoder, Dxt1StaysCompressedAndDecodesToItsPalette) {
    Bytes file = DdsFile(D3DFMT_DXT1, 4, 4, 1, kRedBlueDxt1);
    auto image = DecodeDds(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, D3DFMT_DXT1);
    EXPECT_EQ(image->levels[0].bytes, kRedBlueDxt1);
    auto texels = DecodeDxtLevel(D3DFMT_DXT1, 4, 4, image->levels[0].bytes);
    EXPECT_EQ(TexelAt(texels, 4, 0, 0), 0xffff0000u);
    EXPECT_EQ(TexelAt(texels, 4, 1, 0), 0xff0000ffu);
    EXPECT_EQ(TexelAt(texels, 4, 2, 0), 0xffaa0055u);  // 2/3 red + 1/3 blue
    EXPECT_EQ(TexelAt(texels, 4, 3, 0), 0xff5500aau);
    EXPECT_EQ(TexelAt(texels, 4, 3, 3), 0xffff0000u);
    ExpectEveryPrefixRejected(file);
}

TEST(DdsDecoder, Dxt1WithSwappedEndPointsHasTransparentBlack) {
    Bytes block = {0x1f, 0x00, 0x00, 0xf8, 0xe4, 0x00, 0x00, 0x00};  // blue <= red: three colours
    auto texels = DecodeDxtLevel(D3DFMT_DXT1, 4, 4, block);
    EXPECT_EQ(TexelAt(texels, 4, 2, 0), 0xff7f007fu);  // halfway
    EXPECT_EQ(TexelAt(texels, 4, 3, 0), 0x00000000u);
}

TEST(DdsDecoder, Dxt5InterpolatesAlpha) {
    // Alpha end points 255 and 0; texels 0..3 use alpha indices 0, 1, 2, 7.
    Bytes block = {255, 0, 0x88, 0x0e, 0, 0, 0, 0};
    block.insert(block.end(), {0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0});  // white colour block
    Bytes file = DdsFile(D3DFMT_DXT5, 4, 4, 1, block);
    auto image = DecodeDds(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, D3DFMT_DXT5);
    auto texels = DecodeDxtLevel(D3DFMT_DXT5, 4, 4, image->levels[0].bytes);
    EXPECT_EQ(TexelAt(texels, 4, 0, 0), 0xffffffffu);
    EXPECT_EQ(TexelAt(texels, 4, 1, 0), 0x00ffffffu);
    EXPECT_EQ(TexelAt(texels, 4, 2, 0), 0xdaffffffu);  // (6 * 255 + 0) / 7
    EXPECT_EQ(TexelAt(texels, 4, 3, 0), 0x24ffffffu);  // (1 * 255 + 6 * 0) / 7
    ExpectEveryPrefixRejected(file);
}

TEST(DdsDecoder, Dxt3CarriesFourBitAlpha) {
    Bytes block = {0x8f, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0};
    auto texels = DecodeDxtLevel(D3DFMT_DXT3, 4, 4, block);
    EXPECT_EQ(TexelAt(texels, 4, 0, 0), 0xffffffffu);
    EXPECT_EQ(TexelAt(texels, 4, 1, 0), 0x88ffffffu);
    EXPECT_EQ(TexelAt(texels, 4, 2, 0), 0x00ffffffu);
}

TEST(DdsDecoder, MipCountBeyondTheChainIsClamped) {
    // A 2x1 level and a 1x1 level, though the header claims nine.
    auto image = DecodeDds(DdsFile(D3DFMT_A8R8G8B8, 2, 1, 9, Bytes(12, 0x40)));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->levels.size(), 2u);
}

TEST(DdsDecoder, UnsupportedOrBrokenHeadersAreRejected) {
    EXPECT_FALSE(DecodeDds(DdsFile(static_cast<D3DFORMAT>(MAKEFOURCC('A', 'T', 'I', '2')), 4, 4, 1, Bytes(16))));
    EXPECT_FALSE(DecodeDds(DdsFile(D3DFMT_DXT1, 0, 4, 1, Bytes(8))));
    EXPECT_FALSE(DecodeDds(DdsFile(D3DFMT_DXT1, 4, 100000, 1, Bytes(8))));
    Bytes wrongSize = DdsFile(D3DFMT_DXT1, 4, 4, 1, Bytes(8));
    wrongSize[4] = 100;
    EXPECT_FALSE(DecodeDds(wrongSize));
    // A four-character code with the top bit set ("\xbb\xa7\x83\xab" from a fuzzed file).
    Bytes highFourCc = DdsFile(D3DFMT_DXT1, 4, 4, 1, Bytes(8));
    const uint8_t code[] = {0xbb, 0xa7, 0x83, 0xab};
    std::copy(std::begin(code), std::end(code), highFourCc.begin() + 84);
    EXPECT_FALSE(DecodeDds(highFourCc));
}
