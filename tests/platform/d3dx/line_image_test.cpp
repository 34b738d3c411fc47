// ID3DXLine on the GL device against a viewport that is not the whole target.
#include "tests/platform/d3dx/gl_fixture.h"

namespace {

constexpr uint32_t kBlack = 0x000000, kRed = 0xff0000;

class LineImageTest : public D3dxImageTest {
protected:
    void SetUp() override {
        D3dxImageTest::SetUp();
        ASSERT_EQ(D3DXCreateLine(device_, &line_), D3D_OK);
        line_->SetWidth(4);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000, 1.0f, 0);
        device_->BeginScene();
    }
    void TearDown() override {
        if (line_ != nullptr) line_->Release();
        D3dxImageTest::TearDown();
    }

    // Rows of column x in the line's colour.
    int RedRows(int x) const {
        int rows = 0;
        for (int y = 0; y < static_cast<int>(kHeight); ++y) rows += ColourNear(Pixel(x, y), kRed) ? 1 : 0;
        return rows;
    }

    ID3DXLine* line_ = nullptr;
};

TEST_F(LineImageTest, ScreenPointsAreRelativeToTheViewport) {
    D3DVIEWPORT9 rightHalf{64, 0, 64, 64, 0, 1};
    ASSERT_EQ(device_->SetViewport(&rightHalf), D3D_OK);
    D3DXVECTOR2 strip[2] = {{10, 20}, {50, 20}};  // columns 74..113 of the target
    EXPECT_EQ(line_->Draw(strip, 2, 0xffff0000), D3D_OK);
    device_->EndScene();
    Capture();

    EXPECT_EQ(RedRows(80), 4);
    EXPECT_EQ(RedRows(110), 4);
    EXPECT_TRUE(ColourNear(Pixel(80, 20), kRed));
    EXPECT_TRUE(ColourNear(Pixel(30, 20), kBlack));
    EXPECT_TRUE(ColourNear(Pixel(70, 20), kBlack));
    EXPECT_TRUE(ColourNear(Pixel(118, 20), kBlack));
}

TEST_F(LineImageTest, DepthFollowsTheViewportRangeOnce) {
    D3DVIEWPORT9 farHalf{0, 0, kWidth, kHeight, 0.5f, 1.0f};
    ASSERT_EQ(device_->SetViewport(&farHalf), D3D_OK);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    // Clip z 0.2 lands at depth 0.5 + 0.2 * 0.5 = 0.6.
    D3DXVECTOR3 across[2] = {{-0.5f, 0, 0.2f}, {0.5f, 0, 0.2f}};

    device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.55f, 0);
    EXPECT_EQ(line_->DrawTransform(across, 2, &identity, 0xffff0000), D3D_OK);
    device_->EndScene();
    Capture();
    EXPECT_EQ(RedRows(64), 0) << "behind the depth buffer's 0.55";

    device_->BeginScene();
    device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.65f, 0);
    EXPECT_EQ(line_->DrawTransform(across, 2, &identity, 0xffff0000), D3D_OK);
    device_->EndScene();
    Capture();
    EXPECT_EQ(RedRows(64), 4) << "in front of the depth buffer's 0.65";

    // Screen-space lines lie at depth 0 of the viewport: 0.5 here.
    device_->BeginScene();
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000, 0.45f, 0);
    D3DXVECTOR2 strip[2] = {{10, 20}, {50, 20}};
    EXPECT_EQ(line_->Draw(strip, 2, 0xffff0000), D3D_OK);
    device_->EndScene();
    Capture();
    EXPECT_EQ(RedRows(30), 0) << "behind the depth buffer's 0.45";
}

}  // namespace
