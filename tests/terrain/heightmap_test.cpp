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
    std::vector<uint8_t> rle = bytes;
    Put32(rle, 30, 1);  // BI_RLE8
    EXPECT_FALSE(Read(WriteBytes("rle.bmp", rle)));

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
