#include "terrain/heightmap.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <host.h>

#include "tests/terrain/terrain_files.h"

using namespace terrain_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class HeightmapTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::SetMessageBoxListener([this](const std::wstring& caption, const std::wstring& text) {
            EXPECT_EQ(caption, L"");
            messages.push_back(text);
        });
        GridScale = 8;
    }
    void TearDown() override { host::SetMessageBoxListener(nullptr); }

    bool Read(const std::string& path) { return ReadHeightmap(Wide(path).c_str()); }
    float HeightAt(int row, int column) { return TerrainVertices[GridIndex(row, column)].position.y; }

    std::vector<std::wstring> messages;
};

std::vector<uint8_t> Ramp(int width, int height) {
    std::vector<uint8_t> rows(size_t(width) * height);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = uint8_t(i * 7);
    return rows;
}

// The byte at `offset` of a little-endian 32-bit field.
void Put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = uint8_t(value >> (8 * i));
}

}  // namespace

TEST_F(HeightmapTest, ReadsRawBytesAsHeightsWithPaddedRows) {
    // Width 5 is stored with 3 padding bytes per row.
    const std::vector<uint8_t> rows = Ramp(5, 3);
    ASSERT_TRUE(Read(WriteHeightmap("ramp.bmp", 5, 3, rows)));
    EXPECT_THAT(messages, IsEmpty());
    EXPECT_EQ(GridWidth, 5);
    EXPECT_EQ(GridHeight, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c) EXPECT_EQ(HeightAt(r, c), float(rows[r * 5 + c])) << r << "," << c;
    const TerrainVertex& v = TerrainVertices[GridIndex(2, 4)];
    EXPECT_EQ(v.position.x, 32.0f);
    EXPECT_EQ(v.position.z, 16.0f);
    EXPECT_FLOAT_EQ(v.tu, 0.4f);
    EXPECT_FLOAT_EQ(v.tv, 0.2f);
}

TEST_F(HeightmapTest, FlatMapHasUpwardNormalsAndWhiteIs255Up) {
    ASSERT_TRUE(Read(WriteHeightmap("flat.bmp", 8, 8, std::vector<uint8_t>(64, 255))));
    for (const TerrainVertex& v : TerrainVertices) {
        EXPECT_EQ(v.normal.x, 0.0f);
        EXPECT_EQ(v.normal.y, 1.0f);
        EXPECT_EQ(v.normal.z, 0.0f);
        EXPECT_EQ(v.position.y, 255.0f);
    }
}

TEST_F(HeightmapTest, SlopeTiltsNormalsAwayFromTheRise) {
    // Heights rise by 8 per column (along +x) at scale 8: a 45 degree slope.
    std::vector<uint8_t> rows(16);
    for (int i = 0; i < 16; ++i) rows[i] = uint8_t((i % 4) * 8);
    ASSERT_TRUE(Read(WriteHeightmap("slope.bmp", 4, 4, rows)));
    const D3DXVECTOR3 n = TerrainVertices[GridIndex(1, 1)].normal;
    EXPECT_NEAR(n.x, -0.70710677f, 1e-6);
    EXPECT_NEAR(n.y, 0.70710677f, 1e-6);
    EXPECT_NEAR(n.z, 0.0f, 1e-6);
}

TEST_F(HeightmapTest, RecomputedNormalsForgetTheHeightsBefore) {
    std::vector<uint8_t> rows(16);
    for (int i = 0; i < 16; ++i) rows[i] = uint8_t((i % 4) * 8);
    ASSERT_TRUE(Read(WriteHeightmap("slope_then_flat.bmp", 4, 4, rows)));
    for (TerrainVertex& v : TerrainVertices) v.position.y = 0;
    ComputeNormals();
    for (const TerrainVertex& v : TerrainVertices) {
        EXPECT_EQ(v.normal.x, 0.0f) << "the slope's normals are not summed in again";
        EXPECT_EQ(v.normal.y, 1.0f);
        EXPECT_EQ(v.normal.z, 0.0f);
    }
}

TEST_F(HeightmapTest, ReportsEachProblemWithItsMessage) {
    EXPECT_FALSE(Read(TempFolder() + "/missing.bmp"));
    EXPECT_EQ(GridWidth, 0);

    std::vector<uint8_t> bytes = ReadBytes(WriteHeightmap("good.bmp", 4, 4, Ramp(4, 4)));
    std::vector<uint8_t> wrongType = bytes;
    wrongType[0] = 'X';
    // A wrong type is reported but a sound header is still read.
    EXPECT_TRUE(Read(WriteBytes("type.bmp", wrongType)));
    EXPECT_EQ(GridWidth, 4);

    std::vector<uint8_t> deep = bytes;
    deep[28] = 24;
    EXPECT_FALSE(Read(WriteBytes("deep.bmp", deep)));
    EXPECT_EQ(GridWidth, 0);

    EXPECT_THAT(messages, ElementsAre(L"灰度图文件不存在", L"灰度图非位图文件", L"非8位位图"));
}

TEST_F(HeightmapTest, RejectsWhatWouldBecomeGarbage) {
    std::vector<uint8_t> bytes = ReadBytes(WriteHeightmap("base.bmp", 4, 4, Ramp(4, 4)));
    std::vector<uint8_t> bitfields = bytes;
    Put32(bitfields, 30, 3);  // BI_BITFIELDS means nothing for 8-bit pixels
    EXPECT_FALSE(Read(WriteBytes("bitfields.bmp", bitfields)));

    std::vector<uint8_t> huge = bytes;
    Put32(huge, 18, 257);
    Put32(huge, 22, 256);
    EXPECT_FALSE(Read(WriteBytes("huge.bmp", huge)));

    std::vector<uint8_t> header(20, 0);
    header[0] = 'B';
    header[1] = 'M';
    EXPECT_FALSE(Read(WriteBytes("stub.bmp", header)));

    EXPECT_THAT(messages, ElementsAre(L"灰度图非位图文件", L"灰度图过大", L"灰度图非位图文件"));
    EXPECT_EQ(GridWidth, 0);
    EXPECT_TRUE(TerrainVertices.empty());
}

TEST_F(HeightmapTest, LargestGridIsAccepted) {
    ASSERT_TRUE(Read(WriteHeightmap("max.bmp", 256, 256, std::vector<uint8_t>(65536, 9))));
    EXPECT_EQ(TerrainVertices.size(), 65536u);
}

TEST_F(HeightmapTest, TopDownBitmapKeepsItsBottomRowAtZ0) {
    std::vector<uint8_t> bytes = ReadBytes(WriteHeightmap("up.bmp", 4, 2, {1, 2, 3, 4, 5, 6, 7, 8}));
    Put32(bytes, 22, uint32_t(-2));  // the same rows, now declared top-down
    ASSERT_TRUE(Read(WriteBytes("down.bmp", bytes)));
    EXPECT_EQ(GridHeight, 2);
    EXPECT_EQ(HeightAt(0, 0), 5.0f);  // the second stored row is the bottom one
    EXPECT_EQ(HeightAt(1, 0), 1.0f);
}

TEST_F(HeightmapTest, ShortFileLeavesMissingSamplesAtZero) {
    std::vector<uint8_t> bytes = ReadBytes(WriteHeightmap("full.bmp", 4, 4, std::vector<uint8_t>(16, 200)));
    bytes.resize(bytes.size() - 6);  // the last row and a half are gone
    ASSERT_TRUE(Read(WriteBytes("short.bmp", bytes)));
    EXPECT_EQ(HeightAt(2, 1), 200.0f);
    EXPECT_EQ(HeightAt(2, 2), 0.0f);
    EXPECT_EQ(HeightAt(3, 3), 0.0f);
}

namespace {

// An 8-bit bitmap whose pixels are the given RLE8 stream, written field by field: 14-byte
// file header, 40-byte info header with compression 1, a grey palette, then the stream.
std::vector<uint8_t> RunLengthBitmap(int width, int height, const std::vector<uint8_t>& stream) {
    std::vector<uint8_t> bytes(14 + 40 + 1024, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, uint32_t(bytes.size() + stream.size()));
    Put32(bytes, 10, 14 + 40 + 1024);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, uint32_t(width));
    Put32(bytes, 22, uint32_t(height));
    bytes[26] = 1;   // planes
    bytes[28] = 8;   // bits per pixel
    Put32(bytes, 30, 1);
    Put32(bytes, 34, uint32_t(stream.size()));
    for (int i = 0; i < 256; ++i) Put32(bytes, 54 + 4 * i, uint32_t(i * 0x010101));
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    return bytes;
}

}  // namespace

TEST_F(HeightmapTest, RunLengthBitmapGivesTheSameTerrainAsThePlainOne) {
    const std::vector<uint8_t> stream = {
        2, 10, 0, 3, 20, 21, 22, 0,  // row 0: a run, then three literal samples padded to four
        0, 0,                        // end of row
        0, 2, 1, 0, 4, 7,            // row 1: skip one sample, then a run to the row's end
        0, 0,                        //
        0, 2, 2, 1,                  // move past the last row: row 2 stays 0
        0, 1,                        // end of bitmap
    };
    ASSERT_TRUE(Read(WriteBytes("rle.bmp", RunLengthBitmap(5, 3, stream))));
    EXPECT_THAT(messages, IsEmpty());
    const std::vector<TerrainVertex> fromRuns = TerrainVertices;

    const std::vector<uint8_t> rows = {10, 10, 20, 21, 22, 0, 7, 7, 7, 7, 0, 0, 0, 0, 0};
    ASSERT_TRUE(Read(WriteHeightmap("plain.bmp", 5, 3, rows)));
    ASSERT_EQ(fromRuns.size(), TerrainVertices.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(fromRuns[i].position, TerrainVertices[i].position) << i;
        EXPECT_EQ(fromRuns[i].normal, TerrainVertices[i].normal) << i;
        EXPECT_EQ(fromRuns[i].position.y, float(rows[i])) << i;
    }
}

TEST_F(HeightmapTest, MalformedRunStreamIsNoBitmap) {
    const std::vector<std::vector<uint8_t>> streams = {
        {6, 1, 0, 1},                      // a run past the end of the row
        {0, 3, 1, 2, 3, 0, 0, 3, 1, 2, 3, 0, 0, 1},  // literal samples past the end of the row
        {0, 2, 0, 3, 1, 1, 0, 1},          // a move to above the last row, then a sample there
        {0, 2, 5, 0, 0, 1},                // a move past the end of the row
        {2, 10, 0, 0},                     // no end marker before the file ends
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 1},    // more row ends than the bitmap has rows
    };
    for (size_t i = 0; i < streams.size(); ++i) {
        messages.clear();
        EXPECT_FALSE(Read(WriteBytes("bad.bmp", RunLengthBitmap(4, 3, streams[i])))) << i;
        EXPECT_THAT(messages, ElementsAre(L"灰度图非位图文件")) << i;
        EXPECT_EQ(GridWidth, 0) << i;
        EXPECT_TRUE(TerrainVertices.empty()) << i;
    }
    std::vector<uint8_t> topDown = RunLengthBitmap(4, 3, {4, 1, 0, 1});
    Put32(topDown, 22, uint32_t(-3));
    messages.clear();
    EXPECT_FALSE(Read(WriteBytes("down.bmp", topDown)));
    EXPECT_THAT(messages, ElementsAre(L"灰度图非位图文件"));
}
