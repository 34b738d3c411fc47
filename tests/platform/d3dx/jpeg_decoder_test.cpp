#include "platform/src/d3dx/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
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

namespace {

// kFlatJpeg with one more DC table (slot 0, replaced by the file's own table right after it)
// whose code counts are `counts`, followed by as many symbols as they add up to.
Bytes WithExtraHuffmanTable(const std::vector<uint8_t>& counts) {
    size_t symbols = 0;
    for (uint8_t count : counts) symbols += count;
    const size_t length = 2 + 1 + 16 + symbols;
    Bytes segment{0xff, 0xc4, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length), 0x00};
    segment.insert(segment.end(), counts.begin(), counts.end());
    segment.resize(segment.size() + symbols, 0x05);
    Bytes file = kFlatJpeg;
    const size_t at = std::search(file.begin(), file.end(), segment.begin(), segment.begin() + 2) - file.begin();
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), segment.begin(), segment.end());
    return file;
}

}  // namespace

TEST(JpegDecoder, HuffmanTableWithMoreThan256SymbolsIsRejected) {
    std::vector<uint8_t> fine(16, 0), tooMany(16, 0);
    fine[1] = 3;  // three codes of length 2
    tooMany[8] = 255;
    tooMany[9] = 2;  // 257 codes of lengths 9 and 10
    EXPECT_TRUE(DecodeJpeg(WithExtraHuffmanTable(fine)));
    EXPECT_FALSE(DecodeJpeg(WithExtraHuffmanTable(tooMany)));
}

TEST(JpegDecoder, ScanUsingAnUndefinedHuffmanTableIsRejected) {
    Bytes file = kFlatJpeg;
    ASSERT_EQ(file[206], 0x10);  // the second table of the file's DHT segment: AC, slot 0
    file[206] = 0x11;            // now AC slot 1, leaving the slot the scans use undefined
    EXPECT_FALSE(DecodeJpeg(file));
}

// The 16x8 file with a frame header claiming 4096 x 4096: 262144 blocks need at least as
// many bits of scan data, and the file holds a few hundred bytes, so it cannot be whole.
TEST(JpegDecoder, FrameLargerThanItsScanDataIsRejected) {
    Bytes claimed = kFlatJpeg;
    const uint8_t frameHeader[] = {0xff, 0xc0};
    const auto frame = std::search(claimed.begin(), claimed.end(), std::begin(frameHeader), std::end(frameHeader));
    ASSERT_NE(frame, claimed.end());
    const size_t at = static_cast<size_t>(frame - claimed.begin());
    // Marker, length (2), precision (1), then height and width, big-endian.
    claimed[at + 5] = 0x10;
    claimed[at + 6] = 0x00;
    claimed[at + 7] = 0x10;
    claimed[at + 8] = 0x00;
    EXPECT_FALSE(DecodeJpeg(claimed));
}
