// The held end under the keys, and the corner text, without a window.
#include "programs/tether/tether_app.h"

#include <dinput.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>

namespace {

struct Keys {
    BYTE state[256];
    Keys(std::initializer_list<int> down) {
        std::memset(state, 0, sizeof(state));
        for (int code : down) state[code] = 0x80;
    }
};

D3DXVECTOR3 Moved(D3DXVECTOR3 start, const Keys& keys, double seconds) {
    MoveHeldEnd(&start, keys.state, seconds);
    return start;
}

TEST(TetherKeys, ArrowsAndHomeMoveTwelveUnitsASecond) {
    const D3DXVECTOR3 start(1.0f, 10.0f, -2.0f);
    EXPECT_EQ(Moved(start, Keys{DIK_UP}, 0.5), D3DXVECTOR3(7.0f, 10.0f, -2.0f));
    EXPECT_EQ(Moved(start, Keys{DIK_DOWN}, 0.5), D3DXVECTOR3(-5.0f, 10.0f, -2.0f));
    EXPECT_EQ(Moved(start, Keys{DIK_LEFT}, 0.5), D3DXVECTOR3(1.0f, 10.0f, 4.0f));
    EXPECT_EQ(Moved(start, Keys{DIK_RIGHT}, 0.5), D3DXVECTOR3(1.0f, 10.0f, -8.0f));
    EXPECT_EQ(Moved(start, Keys{DIK_HOME}, 0.5), D3DXVECTOR3(1.0f, 16.0f, -2.0f));
    EXPECT_EQ(Moved(start, Keys{DIK_UP, DIK_LEFT, DIK_HOME}, 0.25), D3DXVECTOR3(4.0f, 13.0f, 1.0f));
    EXPECT_EQ(Moved(start, Keys{}, 0.5), start);
}

TEST(TetherKeys, OnlyTheHighBitMeansDown) {
    const D3DXVECTOR3 start(0.0f, 10.0f, 0.0f);
    Keys keys{};
    keys.state[DIK_UP] = 0x7F;
    keys.state[DIK_HOME] = 0xFF;
    EXPECT_EQ(Moved(start, keys, 1.0), D3DXVECTOR3(0.0f, 22.0f, 0.0f));
}

TEST(TetherKeys, EndStopsAtHalfAUnitAndHomeHasNoLimit) {
    EXPECT_EQ(Moved(D3DXVECTOR3(0.0f, 10.0f, 0.0f), Keys{DIK_END}, 0.5).y, 4.0f);
    EXPECT_EQ(Moved(D3DXVECTOR3(0.0f, 10.0f, 0.0f), Keys{DIK_END}, 1.0).y, 0.5f);
    // Below the limit already: End lifts it back to the limit, no End leaves it there.
    EXPECT_EQ(Moved(D3DXVECTOR3(0.0f, 0.2f, 0.0f), Keys{DIK_END}, 0.001).y, 0.5f);
    EXPECT_EQ(Moved(D3DXVECTOR3(0.0f, 0.2f, 0.0f), Keys{DIK_DOWN}, 0.001).y, 0.2f);
    EXPECT_EQ(Moved(D3DXVECTOR3(0.0f, 10.0f, 0.0f), Keys{DIK_HOME}, 100.0).y, 1210.0f);
    // Both: up first, then down and the limit.
    EXPECT_EQ(Moved(D3DXVECTOR3(0.0f, 1.0f, 0.0f), Keys{DIK_HOME, DIK_END}, 1.0).y, 1.0f);
}

TEST(TetherKeys, OppositeKeysCancel) {
    const D3DXVECTOR3 start(1.3f, 10.0f, -0.7f);
    D3DXVECTOR3 held = Moved(start, Keys{DIK_UP, DIK_DOWN, DIK_LEFT, DIK_RIGHT}, 0.016);
    EXPECT_NEAR(held.x, 1.3f, 1e-6f);
    EXPECT_NEAR(held.z, -0.7f, 1e-6f);
    EXPECT_EQ(held.y, 10.0f);
}

TEST(TetherKeys, LongFrameMovesTheWholeFrameTime) {
    EXPECT_EQ(Moved(D3DXVECTOR3(0.0f, 10.0f, 0.0f), Keys{DIK_UP}, 4.0).x, 48.0f);
}

std::wstring Formatted(const D3DXVECTOR3& point) {
    wchar_t text[128];
    FormatRopePoint(point, text, 128);
    return text;
}

TEST(TetherText, SixDecimalsSeparatedByCommas) {
    EXPECT_EQ(Formatted(D3DXVECTOR3(0.0f, 9.75f, 0.0f)), L"0.000000,9.750000,0.000000");
    EXPECT_EQ(Formatted(D3DXVECTOR3(-1.5f, 2.0f, -0.25f)), L"-1.500000,2.000000,-0.250000");
    EXPECT_EQ(Formatted(D3DXVECTOR3(0.0653389f, 123.456f, 1e-7f)), L"0.065339,123.456001,0.000000");
}

TEST(TetherText, RunawayCoordinatesNeverLeaveTheTextUnterminated) {
    // Each "%f" of FLT_MAX is 46 characters: three do not fit in 128.
    wchar_t text[128];
    std::fill(std::begin(text), std::end(text), L'x');
    FormatRopePoint(D3DXVECTOR3(FLT_MAX, -FLT_MAX, FLT_MAX), text, 128);
    EXPECT_EQ(std::wstring(text), L"");
    wchar_t wide[160];
    FormatRopePoint(D3DXVECTOR3(FLT_MAX, -FLT_MAX, FLT_MAX), wide, 160);
    EXPECT_EQ(std::wstring(wide).size(), 46u + 1 + 47 + 1 + 46);
}

}  // namespace
