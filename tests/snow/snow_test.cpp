#include "snow/snow_system.h"

#include <gtest/gtest.h>
#include <host.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const D3DXVECTOR3 BoxMinimum(-100, -20, -100);
const D3DXVECTOR3 BoxMaximum(100, 100, 100);

Particle Flake(D3DXVECTOR3 position, D3DXVECTOR3 velocity) {
    return Particle{position, velocity, {1, 1, 1}, true};
}

void ExpectBornOnTopFace(const Particle& p) {
    EXPECT_TRUE(p.alive);
    EXPECT_EQ(p.position.y, 100.0f);
    EXPECT_GE(p.position.x, -100.0f);
    EXPECT_LE(p.position.x, 100.0f);
    EXPECT_GE(p.position.z, -100.0f);
    EXPECT_LE(p.position.z, 100.0f);
    EXPECT_GE(p.velocity.x, -3.0f);
    EXPECT_LE(p.velocity.x, -0.6f);
    EXPECT_GE(p.velocity.y, -10.0f);
    EXPECT_LE(p.velocity.y, -2.0f);
    EXPECT_EQ(p.velocity.z, 0.0f);
    EXPECT_EQ(PackParticleColour(p.colour), 0x00FFFFFFu);
}

class SnowTest : public ::testing::Test {
protected:
    void SetUp() override {
        device = host::CreateTraceDevice();
        srand(1);
    }
    void TearDown() override { device->Release(); }
    IDirect3DDevice9* device = nullptr;
};

TEST_F(SnowTest, CreateStartsEveryFlakeOnTheTopFace) {
    SnowSystem snow;
    snow.Create(device, BoxMinimum, BoxMaximum, 300, nullptr);
    ASSERT_EQ(snow.particles.size(), 300u);
    EXPECT_EQ(snow.particleCount, 300);
    EXPECT_EQ(snow.batchSize, 512);
    EXPECT_EQ(snow.texture, nullptr);
    for (const Particle& p : snow.particles) ExpectBornOnTopFace(p);

    // The first flake takes the first five numbers 41, 18467 (the discarded height), 6334,
    // 26500 and 19169: x = -100 + 200 * 41 / 32767, and so on.
    const Particle& first = snow.particles.front();
    EXPECT_NEAR(first.position.x, -99.749748, 1e-4);
    EXPECT_NEAR(first.position.z, -61.339152, 1e-4);
    EXPECT_NEAR(first.velocity.x, -2.5409772, 1e-5);
    EXPECT_NEAR(first.velocity.y, -6.6800745, 1e-5);
}

TEST_F(SnowTest, CreateMakesOneWriteOnlyDynamicPointBuffer) {
    SnowSystem snow;
    snow.Create(device, BoxMinimum, BoxMaximum, 5000, nullptr);
    const std::vector<std::string>& calls = host::TraceCalls(device);
    // 5000 vertices of 16 bytes; usage dynamic | points | write-only (0x248); FVF 0x42.
    EXPECT_EQ(std::count(calls.begin(), calls.end(),
                         "CreateVertexBuffer(80000, 584, 66, D3DPOOL_DEFAULT, ptr, null)"),
              1);
}

TEST_F(SnowTest, UpdateMovesByVelocityTimesSeconds) {
    SnowSystem snow;
    snow.boxMinimum = BoxMinimum;
    snow.boxMaximum = BoxMaximum;
    snow.particles.push_back(Flake({10, 50, -30}, {-2, -8, 0}));
    snow.Update(0.5f);
    const Particle& p = snow.particles.front();
    EXPECT_EQ(p.position.x, 9.0f);
    EXPECT_EQ(p.position.y, 46.0f);
    EXPECT_EQ(p.position.z, -30.0f);
    EXPECT_EQ(p.velocity.y, -8.0f);
}

TEST_F(SnowTest, FlakeOnTheBottomFaceStaysOneBelowIsReborn) {
    SnowSystem snow;
    snow.boxMinimum = BoxMinimum;
    snow.boxMaximum = BoxMaximum;
    snow.particles.push_back(Flake({5, -10, 7}, {0, -10, 0}));    // lands exactly on y = -20
    snow.particles.push_back(Flake({5, -10, 7}, {0, -10.5f, 0}));  // ends half a unit below
    snow.particles.push_back(Flake({-99, 0, 7}, {-1, 0, 0}));     // lands exactly on x = -100
    snow.Update(1.0f);

    auto p = snow.particles.begin();
    EXPECT_EQ(p->position.y, -20.0f);
    EXPECT_EQ(p->velocity.y, -10.0f);
    ++p;
    ExpectBornOnTopFace(*p);
    EXPECT_NEAR(p->position.x, -99.749748, 1e-4);  // a fresh draw, not the old x of 5
    EXPECT_NEAR(p->position.z, -61.339152, 1e-4);
    ++p;
    EXPECT_EQ(p->position.x, -100.0f);
    EXPECT_EQ(p->position.y, 0.0f);
}

TEST_F(SnowTest, FlakesLeavingAnyFaceAreReborn) {
    const D3DXVECTOR3 escapes[] = {{-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
    for (const D3DXVECTOR3& direction : escapes) {
        SnowSystem snow;
        snow.boxMinimum = BoxMinimum;
        snow.boxMaximum = BoxMaximum;
        snow.particles.push_back(Flake({0, 40, 0}, direction * 150));
        snow.Update(1.0f);
        ExpectBornOnTopFace(snow.particles.front());
    }
}

TEST(ParticleColour, PacksTruncatedBytesWithoutAlpha) {
    EXPECT_EQ(PackParticleColour({1.0f, 0.5f, 0.25f}), 0x00FF7F3Fu);  // 127.5 and 63.75 truncate
    EXPECT_EQ(PackParticleColour({0.0f, 0.999f, 0.0f}), 0x0000FE00u);
    EXPECT_EQ(PackParticleColour({0.0f, 0.0f, 0.1f}), 0x00000019u);
}

TEST_F(SnowTest, DeviceWithoutPointSizeIsReportedAndSnowCarriesOn) {
    std::vector<std::wstring> boxes;
    host::SetMessageBoxListener([&](const std::wstring& caption, const std::wstring& text) {
        boxes.push_back(L"[" + caption + L"] " + text);
    });
    {
        SnowSystem snow;
        snow.Create(device, BoxMinimum, BoxMaximum, 10, nullptr);
    }
    EXPECT_TRUE(boxes.empty());

    D3DCAPS9 caps{};
    device->GetDeviceCaps(&caps);
    caps.FVFCaps &= ~DWORD(D3DFVFCAPS_PSIZE);
    IDirect3DDevice9* limited = host::CreateTraceDevice(800, 600, &caps);
    {
        SnowSystem snow;
        snow.Create(limited, BoxMinimum, BoxMaximum, 10, nullptr);
        EXPECT_EQ(snow.particles.size(), 10u);  // and the system carries on
        EXPECT_NE(snow.vertexBuffer, nullptr);
    }
    limited->Release();
    host::SetMessageBoxListener(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"[] 显卡不支持D3DFVFCAPS_PSIZE");
}

TEST_F(SnowTest, DestructionReleasesTheBuffer) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    {
        SnowSystem snow;
        snow.Create(device, BoxMinimum, BoxMaximum, 10, nullptr);
        buffer = snow.vertexBuffer;
        buffer->AddRef();
    }
    EXPECT_EQ(buffer->Release(), 0u);
}

}  // namespace
