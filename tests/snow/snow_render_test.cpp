#include "snow/snow_system.h"

#include <gtest/gtest.h>
#include <host.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

const D3DXVECTOR3 BoxMinimum(-100, -20, -100);
const D3DXVECTOR3 BoxMaximum(100, 100, 100);

std::vector<std::string> CallsStartingWith(IDirect3DDevice9* device, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& call : host::TraceCalls(device))
        if (call.rfind(prefix, 0) == 0) found.push_back(call);
    return found;
}

// The point sizes set during the recorded frame, in order.
std::vector<float> PointSizes(IDirect3DDevice9* device) {
    std::vector<float> sizes;
    for (const std::string& call : CallsStartingWith(device, "SetRenderState(D3DRS_POINTSIZE, "))
        sizes.push_back(std::stof(call.substr(call.find(", ") + 2)));
    return sizes;
}

class SnowRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        device = host::CreateTraceDevice();
        srand(1);
    }
    void TearDown() override { device->Release(); }

    void RenderFrame(SnowSystem& snow, D3DXVECTOR3 camera = D3DXVECTOR3(0, 0, 0)) {
        host::ClearTrace(device);
        snow.Render(&camera);
    }

    IDirect3DDevice9* device = nullptr;
};

TEST_F(SnowRenderTest, FiveThousandFlakesDrawNineFullBatchesAndTheRest) {
    SnowSystem snow;
    snow.Create(device, BoxMinimum, BoxMaximum, 5000, nullptr);
    RenderFrame(snow);
    std::vector<std::string> expected;
    for (int start = 0; start < 4608; start += 512)
        expected.push_back("DrawPrimitive(D3DPT_POINTLIST, " + std::to_string(start) + ", 512)");
    expected.push_back("DrawPrimitive(D3DPT_POINTLIST, 4608, 392)");
    EXPECT_EQ(CallsStartingWith(device, "DrawPrimitive"), expected);

    // One size for the first batch and a new one after each full batch.
    const std::vector<float> sizes = PointSizes(device);
    ASSERT_EQ(sizes.size(), 10u);
    EXPECT_GE(sizes[0], 0.22f);
    EXPECT_LE(sizes[0], 0.27f);
    for (size_t i = 1; i < sizes.size(); ++i) {
        EXPECT_GE(sizes[i], 1.0f);
        EXPECT_LE(sizes[i], 1.25f);
    }
    // Drawn anew every frame.
    RenderFrame(snow);
    EXPECT_NE(PointSizes(device), sizes);
}

TEST_F(SnowRenderTest, MultipleOfTheBatchSizeDrawsNoEmptyBatch) {
    SnowSystem snow;
    snow.Create(device, BoxMinimum, BoxMaximum, 1024, nullptr);
    RenderFrame(snow);
    EXPECT_EQ(CallsStartingWith(device, "DrawPrimitive"),
              (std::vector<std::string>{"DrawPrimitive(D3DPT_POINTLIST, 0, 512)",
                                        "DrawPrimitive(D3DPT_POINTLIST, 512, 512)"}));
    EXPECT_EQ(PointSizes(device).size(), 3u);
    // Every flake reached the buffer: the last vertex holds the last flake.
    void* data = nullptr;
    ASSERT_EQ(snow.vertexBuffer->Lock(1023 * 16, 16, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<ParticleVertex*>(data)->position.x, snow.particles.back().position.x);
    snow.vertexBuffer->Unlock();
}

TEST_F(SnowRenderTest, WritesLiveFlakesAroundTheCamera) {
    SnowSystem snow;
    snow.Create(device, BoxMinimum, BoxMaximum, 3, nullptr);
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &snow.texture, nullptr), D3D_OK);
    auto p = snow.particles.begin();
    *p++ = Particle{{1, 2, 3}, {0, -1, 0}, {1.0f, 0.5f, 0.25f}, true};
    *p++ = Particle{{4, 5, 6}, {0, -1, 0}, {1, 1, 1}, false};
    *p++ = Particle{{-7, 8, -9}, {0, -1, 0}, {0, 0, 1}, true};
    RenderFrame(snow, D3DXVECTOR3(100, 200, 300));
    EXPECT_EQ(CallsStartingWith(device, "DrawPrimitive"),
              std::vector<std::string>{"DrawPrimitive(D3DPT_POINTLIST, 0, 2)"});

    // Textured, the alpha comes from the texture and the vertex alpha is 0.
    void* data = nullptr;
    ASSERT_EQ(snow.vertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const ParticleVertex* v = static_cast<const ParticleVertex*>(data);
    EXPECT_EQ(v[0].position, D3DXVECTOR3(101, 202, 303));
    EXPECT_EQ(v[0].colour, 0x00FF7F3Fu);
    EXPECT_EQ(v[1].position, D3DXVECTOR3(93, 208, 291));
    EXPECT_EQ(v[1].colour, 0x000000FFu);
    snow.vertexBuffer->Unlock();

    // Untextured, the vertex alpha is what the blend sees: opaque.
    snow.texture->Release();
    snow.texture = nullptr;
    RenderFrame(snow, D3DXVECTOR3(100, 200, 300));
    ASSERT_EQ(snow.vertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    v = static_cast<const ParticleVertex*>(data);
    EXPECT_EQ(v[0].colour, 0xFFFF7F3Fu);
    EXPECT_EQ(v[1].colour, 0xFF0000FFu);
    snow.vertexBuffer->Unlock();
}

TEST_F(SnowRenderTest, SetsSpriteStatesDrawsAndRestores) {
    SnowSystem snow;
    snow.Create(device, BoxMinimum, BoxMaximum, 1, nullptr);
    srand(1);  // the point size takes 41: 0.22 + 0.05 * 41 / 32767
    RenderFrame(snow);
    const std::vector<std::string> expected = {
        "SetRenderState(D3DRS_LIGHTING, 0)",
        "SetRenderState(D3DRS_POINTSPRITEENABLE, 1)",
        "SetRenderState(D3DRS_POINTSCALEENABLE, 1)",
        "SetRenderState(D3DRS_POINTSIZE_MIN, 0)",
        "SetRenderState(D3DRS_POINTSCALE_A, 0)",
        "SetRenderState(D3DRS_POINTSCALE_B, 0)",
        "SetRenderState(D3DRS_POINTSCALE_C, 1)",
        "SetTextureStageState(0, D3DTSS_ALPHAARG1, 2)",
        "SetTextureStageState(0, D3DTSS_ALPHAOP, 2)",
        "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)",
        "SetRenderState(D3DRS_SRCBLEND, 5)",
        "SetRenderState(D3DRS_DESTBLEND, 6)",
        "SetTexture(0, null)",
        "SetFVF(66)",
        "SetStreamSource(0, ptr, 0, 16)",
        "SetRenderState(D3DRS_POINTSIZE, 0.220063)",
        "DrawPrimitive(D3DPT_POINTLIST, 0, 1)",
        "SetTexture(0, null)",
        "SetRenderState(D3DRS_LIGHTING, 1)",
        "SetRenderState(D3DRS_POINTSPRITEENABLE, 0)",
        "SetRenderState(D3DRS_POINTSCALEENABLE, 0)",
        "SetRenderState(D3DRS_ALPHABLENDENABLE, 0)",
    };
    EXPECT_EQ(host::TraceCalls(device), expected);
}

TEST_F(SnowRenderTest, EmptySystemChangesNothing) {
    SnowSystem snow;
    snow.Create(device, BoxMinimum, BoxMaximum, 0, nullptr);
    RenderFrame(snow);
    EXPECT_TRUE(host::TraceCalls(device).empty());
    EXPECT_EQ(rand(), 41);  // not even a point size was drawn
}

}  // namespace
