// D3DX drawing on the GL device, checked on the read-back frame.
#include "tests/platform/d3dx/gl_fixture.h"

namespace {

constexpr uint32_t kBlack = 0x000000, kBlue = 0x0000ff, kRed = 0xff0000;

bool IsLit(uint32_t rgb) { return ((rgb >> 16) & 255) > 96 && ((rgb >> 8) & 255) > 96; }

ID3DXFont* CreateSongFont(IDirect3DDevice9* device, int height) {
    D3DXFONT_DESCW desc{};
    desc.Height = height;
    desc.Weight = FW_NORMAL;
    desc.CharSet = DEFAULT_CHARSET;
    std::wcscpy(desc.FaceName, L"宋体");
    ID3DXFont* font = nullptr;
    EXPECT_EQ(D3DXCreateFontIndirectW(device, &desc, &font), D3D_OK);
    return font;
}

struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

}  // namespace

TEST_F(D3dxImageTest, TextIsDrawnInsideItsRectangles) {
    ID3DXFont* font = CreateSongFont(device_, 18);
    ASSERT_NE(font, nullptr);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000, 1.0f, 0);
    device_->BeginScene();
    RECT fps{4, 4, 124, 28}, loading{4, 30, 60, 60}, narrow{80, 40, 92, 50};
    EXPECT_EQ(font->DrawTextW(nullptr, L"60fps", -1, &fps, 0, 0xffffff00), 18);
    EXPECT_EQ(font->DrawTextW(nullptr, L"载入", -1, &loading, 0, 0xffffff00), 18);
    font->DrawTextW(nullptr, L"60fps", -1, &narrow, 0, 0xffffff00);
    device_->EndScene();
    Capture();
    SavePng("d3dx_text.png");

    int litInFps = 0, litInLoading = 0, litInNarrow = 0, strong = 0;
    for (int y = 0; y < static_cast<int>(kHeight); ++y) {
        for (int x = 0; x < static_cast<int>(kWidth); ++x) {
            uint32_t pixel = Pixel(x, y);
            if (!IsLit(pixel)) continue;
            EXPECT_EQ(pixel & 0xff, 0u) << "yellow text has no blue, at " << x << "," << y;
            strong += ((pixel >> 16) & 255) >= 200 && ((pixel >> 8) & 255) >= 200;
            if (x >= 4 && y >= 4 && y < 22) ++litInFps;  // one 18-pixel line
            else if (x >= 4 && x < 60 && y >= 30 && y < 48) ++litInLoading;
            else if (x >= 80 && x < 92 && y >= 40 && y < 50) ++litInNarrow;
            else ADD_FAILURE() << "text outside its rectangle at " << x << "," << y;
        }
    }
    EXPECT_GT(litInFps, 40);
    EXPECT_GT(litInLoading, 60);  // two dense Chinese glyphs
    EXPECT_GT(litInNarrow, 5);
    EXPECT_GT(strong, 10);  // glyph cores take nearly the full colour
    font->Release();
}

TEST_F(D3dxImageTest, TextColourAlphaBlendsOverTheScene) {
    ID3DXFont* font = CreateSongFont(device_, 18);
    ASSERT_NE(font, nullptr);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xffffffff, 1.0f, 0);
    device_->BeginScene();
    RECT rect{4, 4, 124, 60};
    font->DrawTextW(nullptr, L"载入", -1, &rect, 0, 0x80ff0000);
    device_->EndScene();
    Capture();
    bool halfRed = false;
    for (uint32_t pixel : pixels_) halfRed |= ColourNear(pixel & 0xffffff, 0xff7f7f, 2);
    EXPECT_TRUE(halfRed) << "a fully covered texel blends half red over white";
    font->Release();
}

TEST_F(D3dxImageTest, WideLineIsHiddenBehindANearerTriangle) {
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000, 1.0f, 0);
    device_->BeginScene();
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // The left half of the screen at depth 0.2, nearer than the line at 0.5.
    ScreenVertex wall[6] = {{-0.5f, -0.5f, 0.2f, 1, 0xff0000ff}, {63.5f, -0.5f, 0.2f, 1, 0xff0000ff},
                            {-0.5f, 63.5f, 0.2f, 1, 0xff0000ff}, {-0.5f, 63.5f, 0.2f, 1, 0xff0000ff},
                            {63.5f, -0.5f, 0.2f, 1, 0xff0000ff}, {63.5f, 63.5f, 0.2f, 1, 0xff0000ff}};
    device_->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, wall, sizeof(ScreenVertex));

    ID3DXLine* line = nullptr;
    ASSERT_EQ(D3DXCreateLine(device_, &line), D3D_OK);
    line->SetWidth(4);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVECTOR3 across[2] = {{-1, 0, 0.5f}, {1, 0, 0.5f}};  // clip space: the middle row of the screen
    EXPECT_EQ(line->DrawTransform(across, 2, &identity, 0xffff0000), D3D_OK);
    device_->EndScene();
    Capture();
    SavePng("d3dx_line.png");

    // Four rows centred on row 32; which side of the two edge rows lies on a pixel centre is
    // up to the rasteriser, so only the count and the inner rows are fixed.
    int redRows = 0;
    for (int y = 0; y < static_cast<int>(kHeight); ++y) {
        redRows += ColourNear(Pixel(100, y), kRed) ? 1 : 0;
        EXPECT_TRUE(ColourNear(Pixel(32, y), kBlue)) << "the wall hides the line, row " << y;
    }
    EXPECT_EQ(redRows, 4);
    for (int y = 31; y < 34; ++y) EXPECT_TRUE(ColourNear(Pixel(100, y), kRed)) << "line row " << y;
    EXPECT_TRUE(ColourNear(Pixel(100, 28), kBlack));
    EXPECT_TRUE(ColourNear(Pixel(100, 36), kBlack));
    line->Release();
}
