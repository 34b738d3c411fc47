#include <d3dx9.h>
#include <host.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct DrawnText {
    int x, y;
    std::wstring text;
};

class FontOnTraceDevice : public ::testing::Test {
protected:
    void SetUp() override {
        device_ = host::CreateTraceDevice(800, 600);
        ASSERT_NE(device_, nullptr);
        D3DXFONT_DESCW desc{};
        desc.Height = 18;
        desc.Weight = FW_NORMAL;
        desc.CharSet = DEFAULT_CHARSET;
        std::wcscpy(desc.FaceName, L"宋体");
        ASSERT_EQ(D3DXCreateFontIndirectW(device_, &desc, &font_), D3D_OK);
        ASSERT_EQ(device_->BeginScene(), D3D_OK);
        host::SetTextListener([this](int x, int y, const std::wstring& text) { drawn_.push_back({x, y, text}); });
    }
    void TearDown() override {
        if (device_ != nullptr) device_->EndScene();
        host::SetTextListener(nullptr);
        if (font_ != nullptr) font_->Release();
        if (device_ != nullptr) device_->Release();
    }

    IDirect3DDevice9* device_ = nullptr;
    ID3DXFont* font_ = nullptr;
    std::vector<DrawnText> drawn_;
};

}  // namespace

TEST_F(FontOnTraceDevice, HeightIsTheCellHeightPerLine) {
    RECT rect{10, 20, 400, 300};
    EXPECT_EQ(font_->DrawTextW(nullptr, L"60fps", -1, &rect, 0, 0xffffff00), 18);
    EXPECT_EQ(font_->DrawTextW(nullptr, L"载入\n60fps", -1, &rect, 0, 0xffffff00), 36);
    EXPECT_EQ(font_->DrawTextW(nullptr, L"载入\n60fps", 2, &rect, 0, 0xffffff00), 18);  // count limits the text
    EXPECT_EQ(font_->DrawTextW(nullptr, L"", -1, &rect, 0, 0xffffff00), 0);
}

TEST_F(FontOnTraceDevice, ListenerHearsEveryDrawWithItsPosition) {
    RECT first{10, 20, 400, 300}, second{5, 580, 100, 600};
    font_->DrawTextW(nullptr, L"60fps", -1, &first, 0, 0xffffffff);
    font_->DrawTextW(nullptr, L"载入中", 2, &second, 0, 0xffffffff);
    ASSERT_EQ(drawn_.size(), 2u);
    EXPECT_EQ(drawn_[0].x, 10);
    EXPECT_EQ(drawn_[0].y, 20);
    EXPECT_EQ(drawn_[0].text, L"60fps");
    EXPECT_EQ(drawn_[1].x, 5);
    EXPECT_EQ(drawn_[1].y, 580);
    EXPECT_EQ(drawn_[1].text, L"载入");
}

TEST_F(FontOnTraceDevice, CalcRectMeasuresWithoutDrawing) {
    RECT rect{10, 20, 11, 21};
    host::ClearTrace(device_);
    EXPECT_EQ(font_->DrawTextW(nullptr, L"60fps\n载入", -1, &rect, DT_CALCRECT, 0xffffffff), 36);
    EXPECT_EQ(rect.bottom, 56);
    EXPECT_GT(rect.right, 10 + 5 * 6);  // five glyphs of at least six pixels
    EXPECT_LT(rect.right, 10 + 5 * 18);
    for (const std::string& call : host::TraceCalls(device_)) EXPECT_EQ(call.rfind("DrawPrimitiveUP", 0), std::string::npos);
    EXPECT_TRUE(drawn_.empty());
}

TEST_F(FontOnTraceDevice, DrawingLeavesTheDeviceStatesAsTheyWere) {
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device_->SetFVF(D3DFVF_XYZ);
    host::ClearTrace(device_);
    RECT rect{0, 0, 200, 50};
    font_->DrawTextW(nullptr, L"60fps", -1, &rect, 0, 0xffffffff);

    bool drew = false;
    for (const std::string& call : host::TraceCalls(device_)) drew |= call.rfind("DrawPrimitiveUP(D3DPT_TRIANGLELIST, 10,", 0) == 0;
    EXPECT_TRUE(drew) << "five glyphs, two triangles each";
    DWORD value = 0;
    device_->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_TRUE));
    device_->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    device_->GetRenderState(D3DRS_DESTBLEND, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DBLEND_ZERO));
    device_->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_SELECTARG2));
    device_->GetSamplerState(0, D3DSAMP_MAGFILTER, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTEXF_LINEAR));
    device_->GetFVF(&value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DFVF_XYZ));
    IDirect3DBaseTexture9* texture = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    device_->GetTexture(0, &texture);
    EXPECT_EQ(texture, nullptr);
}
