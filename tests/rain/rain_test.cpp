// The raindrops: when they fall, land and respawn, and the streaks they draw.
#include "rain/rain.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "rain/water_surface.h"
#include "tests/rain/water_test_support.h"

namespace {

// Stands in for the D3DX line so a test can see each streak the rain draws.
class RecordingLine : public ID3DXLine {
public:
    struct Streak {
        D3DXVECTOR3 bottom, top;
        D3DXMATRIX transform;
        D3DCOLOR colour;
        DWORD count;
    };

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Begin() override { return Note("Begin"); }
    HRESULT STDMETHODCALLTYPE Draw(const D3DXVECTOR2*, DWORD, D3DCOLOR) override { return Note("Draw"); }
    HRESULT STDMETHODCALLTYPE DrawTransform(const D3DXVECTOR3* vertices, DWORD count, const D3DXMATRIX* transform,
                                            D3DCOLOR colour) override {
        streaks.push_back({vertices[0], vertices[1], *transform, colour, count});
        return Note("DrawTransform");
    }
    HRESULT STDMETHODCALLTYPE SetWidth(float) override { return D3D_OK; }
    float STDMETHODCALLTYPE GetWidth() override { return 2.0f; }
    HRESULT STDMETHODCALLTYPE SetAntialias(BOOL) override { return D3D_OK; }
    BOOL STDMETHODCALLTYPE GetAntialias() override { return FALSE; }
    HRESULT STDMETHODCALLTYPE End() override { return Note("End"); }
    HRESULT STDMETHODCALLTYPE OnLostDevice() override { return D3D_OK; }
    HRESULT STDMETHODCALLTYPE OnResetDevice() override { return D3D_OK; }

    std::vector<std::string> calls;
    std::vector<Streak> streaks;

private:
    HRESULT Note(const char* call) {
        calls.push_back(call);
        return D3D_OK;
    }
};

class RainTest : public WaterOnTraceDevice {
protected:
    void SetUp() override {
        WaterOnTraceDevice::SetUp();
        water->rain.line->Release();
        water->rain.line = &line;
        FrameAt(now);  // starts the step clock
    }

    void TearDown() override {
        water->rain.line = nullptr;
        WaterOnTraceDevice::TearDown();
    }

    void StepFrame() { FrameAt(now + 20); }
    void QuietFrame() { FrameAt(now + 5); }
    RainDrop& Drop(int i) { return water->rain.drops[i]; }

    RecordingLine line;
};

// The seed after which rand() returns `value` (0 to 32767) first, from the Windows runtime's
// generator: state = state * 214013 + 2531011, result = bits 16 to 30 of the state.
unsigned SeedForFirstRand(uint32_t value) {
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    return ((value << 16) - 2531011u) * inverse;
}

}  // namespace

TEST_F(RainTest, DropsHoldStillBetweenSteps) {
    Drop(0) = {10.5f, -5.0f, 12.5f};  // already below the water
    Drop(1) = {20.0f, 30.0f, 40.0f};
    line.streaks.clear();
    for (int frame = 0; frame < 3; ++frame) QuietFrame();
    EXPECT_FALSE(water->stepTaken);
    EXPECT_EQ(Drop(0).y, -5.0f);
    EXPECT_EQ(Drop(0).x, 10.5f);
    EXPECT_EQ(Drop(1).y, 30.0f);
    EXPECT_EQ(water->heights[0][12][10], 0.0f);
    EXPECT_EQ(water->heights[1][12][10], 0.0f);
    // Drawn every frame all the same.
    EXPECT_EQ(line.streaks.size(), 3u * Rain::ActiveDrops);
}

TEST_F(RainTest, DropAtMinusOneLandsOnTheStep) {
    Drop(0) = {20.7f, -1.0f, 30.2f};
    Drop(1) = {50.0f, -0.99f, 60.0f};
    srand(1);  // the next three numbers are 41, 18467 and 6334
    StepFrame();
    // The splash went into the newest heights, which the swap made the older field.
    EXPECT_EQ(NewestHeights()[30][20], 1.2f);
    EXPECT_EQ(NewestHeights()[29][21], 0.7f);
    EXPECT_EQ(NewestHeights()[60][50], 0.0f);
    // Reborn at 2 + 76 × 41 / 32767, 2 + 76 × 18467 / 32767 and 50 + 50 × 6334 / 32767, then
    // it falls with this step like every other drop.
    EXPECT_NEAR(Drop(0).x, 2.0950957f, 1e-5f);
    EXPECT_NEAR(Drop(0).z, 44.832484f, 1e-4f);
    EXPECT_NEAR(Drop(0).y, 59.665212f - 2.5f, 1e-4f);
    EXPECT_FLOAT_EQ(Drop(1).y, -3.49f);
    EXPECT_EQ(Drop(1).x, 50.0f);
}

TEST_F(RainTest, FirstLandingsMakeNoSplash) {
    StepFrame();  // every drop falls from the origin to -2.5
    for (int i = 0; i < Rain::ActiveDrops; ++i) EXPECT_EQ(Drop(i).y, -2.5f);
    StepFrame();  // and is reborn without a splash
    for (int i = 0; i < Rain::ActiveDrops; ++i) {
        EXPECT_GE(Drop(i).x, 2.0f);
        EXPECT_LE(Drop(i).z, 78.0f);
        EXPECT_GE(Drop(i).y, 47.5f);
    }
    for (int i = Rain::ActiveDrops; i < Rain::MaxDrops; ++i) EXPECT_EQ(Drop(i).y, 0.0f);
    for (const auto& array : water->heights)
        for (const auto& row : array)
            for (float value : row) ASSERT_EQ(value, 0.0f);
}

TEST_F(RainTest, DropRespawnedAt78SplashesTheBorderSafely) {
    Drop(0) = {30.0f, -1.0f, 30.0f};
    srand(SeedForFirstRand(32767));  // RandomFloat(2, 78) gives exactly 78
    StepFrame();
    ASSERT_EQ(Drop(0).x, 78.0f);
    Drop(0).y = -1.0f;
    Drop(0).z = 78.0f;
    StepFrame();
    const WaterHeights& h = NewestHeights();
    EXPECT_EQ(h[78][78], 1.2f);
    EXPECT_EQ(h[79][79], 0.7f);
    EXPECT_EQ(h[78][79], 0.9f);
    EXPECT_EQ(h[79][78], 0.9f);
    // The border keeps the splash through the next steps; the interior carries it on.
    StepFrame();
    StepFrame();
    EXPECT_EQ(NewestHeights()[79][79], 0.7f);
    EXPECT_NE(NewestHeights()[77][77], 0.0f);
}

TEST_F(RainTest, StreaksAreDrawnBeforeTheDropsFall) {
    D3DXMATRIX world, view, projection;
    D3DXMatrixTranslation(&world, 1, 2, 3);
    D3DXMatrixScaling(&view, 2, 2, 2);
    D3DXMatrixTranslation(&projection, 10, 0, 0);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    Drop(3) = {8.0f, 10.0f, 6.0f};
    line.streaks.clear();
    line.calls.clear();
    StepFrame();

    ASSERT_EQ(line.streaks.size(), size_t(Rain::ActiveDrops));
    const RecordingLine::Streak& streak = line.streaks[3];
    EXPECT_EQ(streak.bottom, D3DXVECTOR3(4, 5, 3));  // half a world unit per grid unit
    EXPECT_EQ(streak.top, D3DXVECTOR3(4, 9, 3));     // four world units above it
    EXPECT_EQ(streak.count, 2u);
    EXPECT_EQ(streak.colour, 0xFF666666u);
    // world × view × projection: scaled by 2, moved by (1, 2, 3) × 2 + (10, 0, 0).
    EXPECT_EQ(streak.transform._11, 2.0f);
    EXPECT_EQ(streak.transform._41, 12.0f);
    EXPECT_EQ(streak.transform._42, 4.0f);
    EXPECT_EQ(streak.transform._43, 6.0f);
    EXPECT_EQ(Drop(3).y, 7.5f);
    for (size_t i = 0; i < line.calls.size(); i += 3) {
        EXPECT_EQ(line.calls[i], "Begin");
        EXPECT_EQ(line.calls[i + 1], "DrawTransform");
        EXPECT_EQ(line.calls[i + 2], "End");
    }
}
