// Large points that straddle the edge of the viewport: Direct3D clips them by their size and
// draws the part that is inside, where GL alone would drop any point whose centre is outside.
#include "gl_fixture.h"

namespace {

bool Lit(uint32_t argb) { return (argb & 0xffffff) != 0; }

class GlPointClip : public GlDeviceTest {
protected:
    void DrawScreenPoint(float x, float y, float size) {
        device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(size));
        ScreenVertex point = {x, y, 0.5f, 1, 0xffffffff, 0, 0};
        device_->SetFVF(kScreenFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), D3D_OK);
    }
};

TEST_F(GlPointClip, PointCentredPastTheRightEdgeDrawsItsVisiblePart) {
    device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    // 40 pixels wide around x = 69: columns 49..88, of which 49..63 are on the target.
    DrawScreenPoint(kSize + 5.0f, 32, 40);
    EXPECT_FALSE(Lit(Pixel(48, 32)));
    EXPECT_TRUE(Lit(Pixel(49, 32)));
    EXPECT_TRUE(Lit(Pixel(63, 32)));
    EXPECT_EQ(LitPixelsInRow(32), 15);
    EXPECT_TRUE(Lit(Pixel(56, 12)));  // rows 12..51
    EXPECT_FALSE(Lit(Pixel(56, 11)));
    EXPECT_TRUE(Lit(Pixel(56, 51)));
    EXPECT_FALSE(Lit(Pixel(56, 52)));
}

TEST_F(GlPointClip, PointsPastTheTopAndLeftEdgesDrawTheirVisibleParts) {
    DrawScreenPoint(-5, 20, 40);  // columns -25..14
    EXPECT_EQ(LitPixelsInRow(20), 15);
    EXPECT_TRUE(Lit(Pixel(14, 20)));
    EXPECT_FALSE(Lit(Pixel(15, 20)));

    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    DrawScreenPoint(40, -3, 10);  // rows -8..1, columns 35..44
    EXPECT_TRUE(Lit(Pixel(35, 0)));
    EXPECT_TRUE(Lit(Pixel(44, 1)));
    EXPECT_FALSE(Lit(Pixel(40, 2)));
    EXPECT_FALSE(Lit(Pixel(34, 0)));
    EXPECT_FALSE(Lit(Pixel(45, 0)));
}

TEST_F(GlPointClip, PointInsideLandsOnTheSamePixels) {
    DrawScreenPoint(20, 20, 40);  // columns and rows 0..39
    EXPECT_EQ(LitPixelsInRow(20), 40);
    EXPECT_TRUE(Lit(Pixel(0, 0)));
    EXPECT_TRUE(Lit(Pixel(39, 39)));
    EXPECT_FALSE(Lit(Pixel(40, 20)));
    EXPECT_FALSE(Lit(Pixel(20, 40)));

    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    DrawScreenPoint(32, 32, 15);  // odd size: columns 25..39, as the distance-scaled point
    EXPECT_EQ(LitPixelsInRow(32), 15);
    EXPECT_TRUE(Lit(Pixel(25, 32)));
    EXPECT_FALSE(Lit(Pixel(24, 32)));
}

TEST_F(GlPointClip, TransformedPointPastTheEdgeIsClippedToTheViewport) {
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1;
    device_->SetTransform(D3DTS_PROJECTION, &identity);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    D3DVIEWPORT9 viewport{16, 16, 32, 32, 0, 1};
    ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
    struct PointVertex {
        float x, y, z;
        D3DCOLOR color;
    } point = {1.125f, 0, 0.5f, 0xffffffff};  // x = 16 + 32 * 1.0625 = 50: 2 px right of the viewport
    device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(20.0f));
    device_->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), D3D_OK);
    // Columns 40..59 and rows 22..41, cut at the viewport's right edge (column 47).
    EXPECT_EQ(LitPixelsInRow(32), 8);
    EXPECT_TRUE(Lit(Pixel(40, 32)));
    EXPECT_TRUE(Lit(Pixel(47, 22)));
    EXPECT_FALSE(Lit(Pixel(48, 32)));
    EXPECT_FALSE(Lit(Pixel(44, 21)));
    EXPECT_FALSE(Lit(Pixel(44, 42)));

    // A triangle draw afterwards is not limited to the old viewport by what the point left behind.
    D3DVIEWPORT9 whole{0, 0, kSize, kSize, 0, 1};
    ASSERT_EQ(device_->SetViewport(&whole), D3D_OK);
    DrawRect(0, 0, 64, 64, 0xff00ff00);
    EXPECT_RGB_NEAR(Pixel(60, 60), 0, 255, 0);
    // And a point draw followed by a Clear still clears the whole viewport.
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), D3D_OK);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xffff0000, 1.0f, 0);
    EXPECT_RGB_NEAR(Pixel(2, 2), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(61, 61), 255, 0, 0);
}

}  // namespace
