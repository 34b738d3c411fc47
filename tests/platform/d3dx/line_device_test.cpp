#include <d3dx9.h>
#include <host.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class LineOnTraceDevice : public ::testing::Test {
protected:
    void SetUp() override {
        device_ = host::CreateTraceDevice(800, 600);
        ASSERT_NE(device_, nullptr);
        ASSERT_EQ(D3DXCreateLine(device_, &line_), D3D_OK);
        ASSERT_EQ(device_->BeginScene(), D3D_OK);
    }
    void TearDown() override {
        if (device_ != nullptr) device_->EndScene();
        if (line_ != nullptr) line_->Release();
        if (device_ != nullptr) device_->Release();
    }

    // Primitive counts of the DrawPrimitiveUP calls recorded since the last ClearTrace.
    std::vector<int> DrawnPrimitiveCounts() {
        std::vector<int> counts;
        const std::string prefix = "DrawPrimitiveUP(D3DPT_TRIANGLELIST, ";
        for (const std::string& call : host::TraceCalls(device_)) {
            if (call.rfind(prefix, 0) == 0) counts.push_back(std::stoi(call.substr(prefix.size())));
        }
        return counts;
    }

    IDirect3DDevice9* device_ = nullptr;
    ID3DXLine* line_ = nullptr;
};

// Perspective-like: w = z, so points with z < 0 lie behind the eye.
D3DXMATRIX EyeSpaceProjection() {
    D3DXMATRIX m;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) m.m[r][c] = 0;
    }
    m._11 = m._22 = m._33 = m._34 = 1;
    return m;
}

}  // namespace

TEST_F(LineOnTraceDevice, WidthMustBePositive) {
    EXPECT_FLOAT_EQ(line_->GetWidth(), 1.0f);
    EXPECT_EQ(line_->SetWidth(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(line_->SetWidth(-1), D3DERR_INVALIDCALL);
    EXPECT_FLOAT_EQ(line_->GetWidth(), 1.0f);
    EXPECT_EQ(line_->SetWidth(10), D3D_OK);
    EXPECT_FLOAT_EQ(line_->GetWidth(), 10.0f);
}

TEST_F(LineOnTraceDevice, BeginAndEndMustPair) {
    EXPECT_EQ(line_->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(line_->Begin(), D3D_OK);
    EXPECT_EQ(line_->Begin(), D3DERR_INVALIDCALL);
    EXPECT_EQ(line_->End(), D3D_OK);
    EXPECT_EQ(line_->End(), D3DERR_INVALIDCALL);
}

TEST_F(LineOnTraceDevice, EndRestoresEveryStateBeginChanged) {
    D3DMATRIX world{};
    world._11 = world._22 = world._33 = world._44 = 2;
    world._41 = 7;
    device_->SetTransform(D3DTS_WORLD, &world);
    device_->SetRenderState(D3DRS_LIGHTING, TRUE);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    device_->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);

    ASSERT_EQ(line_->Begin(), D3D_OK);
    D3DMATRIX during{};
    device_->GetTransform(D3DTS_WORLD, &during);
    EXPECT_FLOAT_EQ(during._11, 1);
    EXPECT_FLOAT_EQ(during._41, 0);
    DWORD value = 0;
    device_->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    device_->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_TRUE));  // lines are depth-tested against the scene
    D3DXVECTOR2 strip[3] = {{10, 10}, {100, 10}, {100, 80}};
    EXPECT_EQ(line_->Draw(strip, 3, 0xffffffff), D3D_OK);
    ASSERT_EQ(line_->End(), D3D_OK);

    D3DMATRIX after{};
    device_->GetTransform(D3DTS_WORLD, &after);
    EXPECT_FLOAT_EQ(after._11, 2);
    EXPECT_FLOAT_EQ(after._41, 7);
    device_->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, static_cast<DWORD>(TRUE));
    device_->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    device_->GetRenderState(D3DRS_SRCBLEND, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DBLEND_ONE));
    device_->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CW));
    device_->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_ADD));
    device_->GetFVF(&value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL));
}

TEST_F(LineOnTraceDevice, DrawOutsideBeginBeginsAndEndsItself) {
    DWORD lighting = 0;
    device_->SetRenderState(D3DRS_LIGHTING, TRUE);
    host::ClearTrace(device_);
    D3DXVECTOR2 strip[3] = {{10, 10}, {100, 10}, {100, 80}};
    EXPECT_EQ(line_->Draw(strip, 3, 0xffff0000), D3D_OK);
    EXPECT_EQ(DrawnPrimitiveCounts(), std::vector<int>{4});  // two segments, two triangles each
    device_->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(lighting, static_cast<DWORD>(TRUE));
    EXPECT_EQ(line_->End(), D3DERR_INVALIDCALL);  // nothing left begun
}

TEST_F(LineOnTraceDevice, DrawTransformSkipsWhatIsBehindTheEye) {
    D3DXMATRIX projection = EyeSpaceProjection();
    host::ClearTrace(device_);
    D3DXVECTOR3 crossing[2] = {{0, 0, 1}, {0.5f, 0, -1}};
    EXPECT_EQ(line_->DrawTransform(crossing, 2, &projection, 0xffffffff), D3D_OK);
    EXPECT_EQ(DrawnPrimitiveCounts(), std::vector<int>{2});

    host::ClearTrace(device_);
    D3DXVECTOR3 behind[3] = {{0, 0, -1}, {1, 0, -2}, {1, 1, -3}};
    EXPECT_EQ(line_->DrawTransform(behind, 3, &projection, 0xffffffff), D3D_OK);
    EXPECT_TRUE(DrawnPrimitiveCounts().empty());

    host::ClearTrace(device_);
    D3DXVECTOR3 mixed[3] = {{0, 0, 2}, {0.5f, 0.5f, 3}, {1, 1, -3}};  // second segment crosses
    EXPECT_EQ(line_->DrawTransform(mixed, 3, &projection, 0xffffffff), D3D_OK);
    EXPECT_EQ(DrawnPrimitiveCounts(), std::vector<int>{4});
}

TEST_F(LineOnTraceDevice, TooFewPointsAreRejected) {
    D3DXVECTOR2 one[1] = {{0, 0}};
    EXPECT_EQ(line_->Draw(one, 1, 0xffffffff), D3DERR_INVALIDCALL);
    EXPECT_EQ(line_->Draw(nullptr, 2, 0xffffffff), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateLine(nullptr, &line_), D3DERR_INVALIDCALL);
}
