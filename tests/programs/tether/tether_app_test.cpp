// The tether program's hooks on the trace device: what Init sets up and what one frame
// does with the rope, the keys and the text.
#include "programs/tether/tether_app.h"

#include <dinput.h>
#include <host.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/app_shell.h"
#include "framework/input_devices.h"
#include "framework/text_font.h"
#include "tests/rope/rope_test_support.h"

namespace {

struct DrawnText {
    int x, y;
    std::wstring text;
};

class TetherAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        host::SetTextListener([this](int x, int y, const std::wstring& text) { texts.push_back({x, y, text}); });
        app.device = host::CreateTraceDevice();
    }
    void TearDown() override {
        app.Cleanup();
        ReleaseFonts();
        app.device->Release();
        app.device = nullptr;
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        host::Reset();
    }

    // Position of the first call starting with prefix, or -1.
    int IndexOf(const std::string& prefix) const {
        const std::vector<std::string>& calls = host::TraceCalls(app.device);
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        }
        return -1;
    }

    TetherApp app{nullptr};
    std::vector<DrawnText> texts;
};

TEST_F(TetherAppTest, InitTurnsLightingOffFillsTheFloorAndLiftsTheHeldEnd) {
    app.Init();
    const std::vector<std::string>& calls = host::TraceCalls(app.device);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "SetRenderState(D3DRS_LIGHTING, 0)");
    EXPECT_EQ(calls[1], "SetRenderState(D3DRS_CULLMODE, 3)");
    EXPECT_EQ(calls[2], "CreateVertexBuffer(96, 0, 66, D3DPOOL_DEFAULT, ptr, null)");
    ASSERT_NE(app.floorBuffer, nullptr);

    ASSERT_NE(app.rope, nullptr);
    EXPECT_EQ(app.rope->count, 80);
    EXPECT_EQ(app.rope->masses[0].position, D3DXVECTOR3(0.0f, 10.0f, 0.0f));
    EXPECT_EQ(app.rope->masses[79].position, D3DXVECTOR3(19.75f, 0.0f, 0.0f));
    EXPECT_EQ(app.camera.position, D3DXVECTOR3(-10.0f, 20.0f, -20.0f));
    EXPECT_EQ(app.overlayFont.height, 18);
    EXPECT_EQ(app.overlayFont.colour, 0xFFFFFFFFu);
    for (const D3DXVECTOR3& shadow : app.shadowPoints) EXPECT_EQ(shadow.y, -0.05f);
}

// A jump of 48 units tears the rope apart (its drag is quadratic), so the held end's move and
// the rope's one simulated second are watched in two frames.
TEST_F(TetherAppTest, StalledFrameMovesTheHeldEndFullyButSimulatesOneSecond) {
    app.Init();
    ElapsedTime = 4.0;
    app.Frame();

    Rope reference = rope_test::MakeProgramRope();
    reference.masses[0].position.y = 10.0f;
    reference.Simulate(1.0f);
    for (int i = 0; i < 80; ++i) {
        const D3DXVECTOR3& expected = reference.masses[i].position;
        EXPECT_EQ(app.rope->masses[i].position, expected) << "mass " << i;
        EXPECT_EQ(app.ropePoints[i], expected) << "mass " << i;
        EXPECT_EQ(app.shadowPoints[i], D3DXVECTOR3(expected.x, -0.05f, expected.z)) << "mass " << i;
    }

    KeyboardState[DIK_UP] = 0x80;
    app.Frame();
    EXPECT_EQ(app.rope->masses[0].position, D3DXVECTOR3(48.0f, 10.0f, 0.0f));
}

TEST_F(TetherAppTest, FrameDrawsFloorThenTextOfTheSecondPoint) {
    app.Init();
    host::ClearTrace(app.device);
    ElapsedTime = 0.016;
    app.Frame();

    const std::vector<std::string>& calls = host::TraceCalls(app.device);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "Clear(0, null, 3, 0xff7f7f7f, 1, 0)");
    EXPECT_EQ(calls.back(), "Present(null, null, null, null)");
    int begin = IndexOf("BeginScene(");
    int view = IndexOf("SetTransform(D3DTS_VIEW");
    int stream = IndexOf("SetStreamSource(0, ptr, 0, 16)");
    int fvf = IndexOf("SetFVF(66)");
    int draw = IndexOf("DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2)");
    int end = IndexOf("EndScene(");
    EXPECT_TRUE(0 < begin && begin < view && view < stream && stream < fvf && fvf < draw && draw < end)
        << begin << " " << view << " " << stream << " " << fvf << " " << draw << " " << end;
    // The shadow and the rope: 79 segments each, two triangles a segment.
    int lines = std::count_if(calls.begin(), calls.end(),
                              [](const std::string& call) { return call.rfind("DrawPrimitiveUP(D3DPT_TRIANGLELIST, 158,", 0) == 0; });
    EXPECT_EQ(lines, 2);

    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].x, 0);
    EXPECT_EQ(texts[0].y, 0);
    wchar_t expected[128];
    FormatRopePoint(app.rope->masses[1].position, expected, 128);
    EXPECT_EQ(texts[0].text, expected);
    EXPECT_NE(app.rope->masses[1].position, D3DXVECTOR3(0.25f, 0.0f, 0.0f)) << "the rope moved";
}

}  // namespace
