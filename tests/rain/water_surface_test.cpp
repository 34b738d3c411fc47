// The water surface's step clock, its frame on the device and its splashes.
#include "rain/water_surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/rain/water_test_support.h"
#include "tools/resgen/bitmap_writer.h"

namespace {

using WaterSurfaceTest = WaterOnTraceDevice;

// The vertices as the device would draw them.
std::vector<WaterVertex> BufferContents(IDirect3DVertexBuffer9* buffer) {
    std::vector<WaterVertex> vertices(WaterVertexCount);
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, sizeof(WaterVertex) * WaterVertexCount, &data, D3DLOCK_READONLY), D3D_OK);
    std::memcpy(vertices.data(), data, sizeof(WaterVertex) * WaterVertexCount);
    buffer->Unlock();
    return vertices;
}

bool AllZero(const WaterHeights& heights) {
    for (const auto& row : heights)
        for (float value : row)
            if (value != 0) return false;
    return true;
}

}  // namespace

TEST_F(WaterSurfaceTest, StepsOnTheFirstFrame20MsAfterTheLastStep) {
    const std::vector<std::pair<uint32_t, bool>> frames = {
        {1000, false}, {1016, false}, {1032, true},  {1048, false}, {1051, false},
        {1052, true},  {1071, false}, {1090, true},  {1090, false}, {1109, false}};
    for (const auto& [time, steps] : frames) {
        FrameAt(time);
        EXPECT_EQ(water->stepTaken, steps) << "frame at " << time;
    }
}

TEST_F(WaterSurfaceTest, StepClockWrapsAround) {
    const std::vector<std::pair<uint32_t, bool>> frames = {
        {0xFFFFFFF0u, false}, {0xFFFFFFFFu, false}, {3, false}, {4, true}, {23, false}, {24, true}};
    for (const auto& [time, steps] : frames) {
        FrameAt(time);
        EXPECT_EQ(water->stepTaken, steps) << "frame at " << time;
    }
}

TEST_F(WaterSurfaceTest, LongFrameStepsOnce) {
    FrameAt(1000);
    water->Splash(40, 40);  // into the array the next step writes
    FrameAt(61000);
    EXPECT_TRUE(water->stepTaken);
    // One step flips the lone height and damps it; a second would have spread it instead.
    EXPECT_FLOAT_EQ(NewestHeights()[40][40], -1.2f * 0.96f);
    EXPECT_FLOAT_EQ(water->rain.drops[0].y, -2.5f);  // one fall, not two
    FrameAt(61001);
    EXPECT_FALSE(water->stepTaken);
}

TEST_F(WaterSurfaceTest, FirstFrameDrawsAFlatSurfaceWithZeroNormals) {
    FrameAt(1000);
    EXPECT_FALSE(water->stepTaken);
    const std::vector<WaterVertex> drawn = BufferContents(water->vertexBuffer);
    for (const WaterVertex& vertex : drawn) {
        EXPECT_EQ(vertex.position.y, 0.0f);
        EXPECT_EQ(vertex.normal, D3DXVECTOR3(0, 0, 0));
    }
    EXPECT_FLOAT_EQ(drawn.back().position.x, 39.5f);
    EXPECT_FLOAT_EQ(drawn.back().position.z, 39.5f);
    EXPECT_FLOAT_EQ(drawn.back().v, 0.9875f);
    // The first step lights it: a flat surface faces straight up.
    FrameAt(1020);
    for (const WaterVertex& vertex : BufferContents(water->vertexBuffer))
        EXPECT_EQ(vertex.normal, D3DXVECTOR3(0, 1, 0));
}

TEST_F(WaterSurfaceTest, StaysExactlyFlatUntilTheFirstDropLands) {
    // The drops need two steps to be born and at least 21 more to fall to the water.
    for (uint32_t time = 1000; time <= 1000 + 22 * 20; time += 20) FrameAt(time);
    EXPECT_TRUE(AllZero(water->heights[0]));
    EXPECT_TRUE(AllZero(water->heights[1]));
    for (const WaterVertex& vertex : BufferContents(water->vertexBuffer)) EXPECT_EQ(vertex.position.y, 0.0f);
}

TEST_F(WaterSurfaceTest, FrameDrawsTheGridThenTheRain) {
    ClearTrace();
    FrameAt(1000);
    const std::vector<std::string>& calls = host::TraceCalls(device);
    ASSERT_GE(calls.size(), 7u);
    const std::vector<std::string> grid = {
        "SetTexture(0, null)",  // no texture path was given
        "SetStreamSource(0, ptr, 0, 32)",
        "SetFVF(274)",
        "SetIndices(ptr)",
        "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6400, 0, 12482)",
        "SetTexture(0, null)",
        "GetTransform(D3DTS_WORLD, ptr)",
    };
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 7), grid);
    // Each drop reads the three transforms afresh for its own streak.
    int transformReads = 0;
    for (size_t i = 0; i + 2 < calls.size(); ++i) {
        transformReads += calls[i] == "GetTransform(D3DTS_WORLD, ptr)" &&
                          calls[i + 1] == "GetTransform(D3DTS_VIEW, ptr)" &&
                          calls[i + 2] == "GetTransform(D3DTS_PROJECTION, ptr)";
    }
    EXPECT_EQ(transformReads, 11);
}

TEST_F(WaterSurfaceTest, TextureIsFilteredLinearlyAndBoundOnlyForTheGrid) {
    const std::string folder = ::testing::TempDir() + "water_surface_texture";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(resgen::WriteColourBitmap(folder + "/water.bmp", 4, 4, std::vector<uint8_t>(48, 128)));
    host::SetResourceFolder(folder);
    ClearTrace();
    water->Create(device, L"..\\Resource\\water.bmp");
    EXPECT_NE(water->texture, nullptr);
    std::vector<std::string> samplers;
    for (const std::string& call : host::TraceCalls(device))
        if (call.starts_with("SetSamplerState")) samplers.push_back(call);
    const std::vector<std::string> linear = {"SetSamplerState(0, D3DSAMP_MINFILTER, 2)",
                                             "SetSamplerState(0, D3DSAMP_MAGFILTER, 2)",
                                             "SetSamplerState(0, D3DSAMP_MIPFILTER, 2)"};
    EXPECT_EQ(samplers, linear);
    ClearTrace();
    FrameAt(1000);
    const std::vector<std::string>& calls = host::TraceCalls(device);
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0], "SetTexture(0, ptr)");
    EXPECT_EQ(calls[5], "SetTexture(0, null)");

    // A missing file leaves the water untextured.
    water->Create(device, L"..\\Resource\\no_such_water.bmp");
    host::SetResourceFolder("");
    EXPECT_EQ(water->texture, nullptr);
    ClearTrace();
    FrameAt(1000);
    EXPECT_EQ(host::TraceCalls(device).at(0), "SetTexture(0, null)");
}

TEST_F(WaterSurfaceTest, SplashWritesColumnAndRowIntoTheNewestHeights) {
    water->Splash(10, 20);
    const WaterHeights& h = water->heights[water->current];
    EXPECT_EQ(h[20][10], 1.2f);
    EXPECT_EQ(h[19][10], 0.9f);
    EXPECT_EQ(h[21][10], 0.9f);
    EXPECT_EQ(h[20][9], 0.9f);
    EXPECT_EQ(h[20][11], 0.9f);
    EXPECT_EQ(h[19][9], 0.7f);
    EXPECT_EQ(h[21][11], 0.7f);
    EXPECT_EQ(h[10][20], 0.0f);
    // Written, not added: a second splash leaves the same values.
    water->Splash(10, 20);
    EXPECT_EQ(h[20][10], 1.2f);
    EXPECT_TRUE(AllZero(water->heights[water->previous]));
}

TEST_F(WaterSurfaceTest, SplashAtTheEdgeStaysInsideTheGrid) {
    water->Splash(78, 78);  // the largest position a drop can land on
    const WaterHeights& h = water->heights[water->current];
    EXPECT_EQ(h[79][79], 0.7f);
    EXPECT_EQ(h[79][78], 0.9f);
    EXPECT_EQ(h[78][79], 0.9f);
    EXPECT_EQ(h[77][77], 0.7f);

    // Positions the rain never produces: what would fall outside the grid is skipped
    // instead of running into the next row or the other array.
    auto surface = std::make_unique<WaterSurface>();
    const WaterHeights& edge = surface->heights[surface->current];
    surface->Splash(79, 40);
    EXPECT_EQ(edge[40][79], 1.2f);
    EXPECT_EQ(edge[41][0], 0.0f);  // the cell just past the end of row 40
    EXPECT_EQ(edge[40][0], 0.0f);
    surface->Splash(40, 79);
    surface->Splash(40, 0);
    surface->Splash(0, 40);
    EXPECT_EQ(edge[79][40], 1.2f);
    EXPECT_EQ(edge[0][40], 1.2f);
    EXPECT_EQ(edge[40][0], 1.2f);
    EXPECT_TRUE(AllZero(surface->heights[surface->previous]));
    EXPECT_EQ(surface->current, 1);
    EXPECT_EQ(surface->previous, 0);
}

TEST_F(WaterSurfaceTest, ReleaseDropsEveryResourceOnce) {
    FrameAt(1000);
    water->Release();
    EXPECT_EQ(water->vertexBuffer, nullptr);
    EXPECT_EQ(water->indexBuffer, nullptr);
    EXPECT_EQ(water->rain.line, nullptr);
    water->Release();
    FrameAt(1020);  // draws nothing from released buffers, and does not crash
    EXPECT_TRUE(water->stepTaken);
}
