// Each render state the fixed-function shader reads, changed alone between two draws of the
// same scene, changes what is drawn: the device must notice the change and rebuild the
// shader or its uniforms, not draw again with the last ones.
#include "d3d9/enum_names.h"
#include "d3d9/shader_render_states.h"
#include "gl/ffp_state.h"
#include "gl_fixture.h"

#include <functional>
#include <set>

namespace {

struct ColouredLitVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR diffuse, specular;
};
constexpr DWORD kColouredLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR;

struct PointVertex {  // D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kPointFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

enum class Scene { kLit, kScreen, kPoint };

// One state, two values that must draw differently, and the scene that shows it.
struct StateCase {
    D3DRENDERSTATETYPE state;
    DWORD first;
    DWORD second;
    Scene scene;
    std::function<void(IDirect3DDevice9*)> prepare = [](IDirect3DDevice9*) {};
};

void PrintTo(const StateCase& test, std::ostream* out) {
    *out << platform::RenderStateName(test.state) << " " << test.first << " then " << test.second;
}

void AlphaTest(IDirect3DDevice9* device) {
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHAREF, 0x40);
}

void ScaledPoints(IDirect3DDevice9* device) {
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE, FloatBits(0.25f));
    device->SetRenderState(D3DRS_POINTSCALE_A, FloatBits(1.0f));
    device->SetRenderState(D3DRS_POINTSCALE_B, FloatBits(1.0f));
    device->SetRenderState(D3DRS_POINTSCALE_C, FloatBits(1.0f));
}

std::vector<StateCase> Cases() {
    auto vertexColours = [](IDirect3DDevice9* device) { device->SetRenderState(D3DRS_COLORVERTEX, TRUE); };
    auto specular = [](IDirect3DDevice9* device) { device->SetRenderState(D3DRS_SPECULARENABLE, TRUE); };
    return {
        {D3DRS_LIGHTING, TRUE, FALSE, Scene::kLit},
        {D3DRS_AMBIENT, 0, D3DCOLOR_XRGB(64, 64, 64), Scene::kLit},
        {D3DRS_COLORVERTEX, TRUE, FALSE, Scene::kLit},
        {D3DRS_LOCALVIEWER, TRUE, FALSE, Scene::kLit, specular},
        {D3DRS_NORMALIZENORMALS, FALSE, TRUE, Scene::kLit},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1, D3DMCS_MATERIAL, Scene::kLit, vertexColours},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2, D3DMCS_MATERIAL, Scene::kLit, specular},
        {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_COLOR1, D3DMCS_MATERIAL, Scene::kLit,
         [](IDirect3DDevice9* device) { device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(128, 128, 128)); }},
        {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL, D3DMCS_COLOR1, Scene::kLit},
        {D3DRS_SPECULARENABLE, FALSE, TRUE, Scene::kLit},
        {D3DRS_ALPHATESTENABLE, FALSE, TRUE, Scene::kScreen,
         [](IDirect3DDevice9* device) { AlphaTest(device), device->SetRenderState(D3DRS_ALPHAREF, 0xC0); }},
        {D3DRS_ALPHAFUNC, D3DCMP_GREATER, D3DCMP_LESS, Scene::kScreen, AlphaTest},
        {D3DRS_ALPHAREF, 0x40, 0xC0, Scene::kScreen, AlphaTest},
        {D3DRS_TEXTUREFACTOR, D3DCOLOR_XRGB(255, 0, 0), D3DCOLOR_XRGB(0, 255, 0), Scene::kScreen,
         [](IDirect3DDevice9* device) {
             device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
             device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
         }},
        {D3DRS_SHADEMODE, D3DSHADE_GOURAUD, D3DSHADE_FLAT, Scene::kScreen},
        {D3DRS_FILLMODE, D3DFILL_SOLID, D3DFILL_WIREFRAME, Scene::kScreen},
        {D3DRS_POINTSIZE, FloatBits(4.0f), FloatBits(16.0f), Scene::kPoint},
        {D3DRS_POINTSIZE_MIN, FloatBits(0.0f), FloatBits(12.0f), Scene::kPoint},
        {D3DRS_POINTSIZE_MAX, FloatBits(64.0f), FloatBits(2.0f), Scene::kPoint},
        {D3DRS_POINTSPRITEENABLE, FALSE, TRUE, Scene::kPoint},
        {D3DRS_POINTSCALEENABLE, FALSE, TRUE, Scene::kPoint},
        {D3DRS_POINTSCALE_A, FloatBits(1.0f), FloatBits(16.0f), Scene::kPoint, ScaledPoints},
        {D3DRS_POINTSCALE_B, FloatBits(1.0f), FloatBits(16.0f), Scene::kPoint, ScaledPoints},
        {D3DRS_POINTSCALE_C, FloatBits(1.0f), FloatBits(16.0f), Scene::kPoint, ScaledPoints},
    };
}

class GlShaderStateTest : public GlDeviceTest {
protected:
    // A lit quad facing the viewer: red diffuse and green specular vertex colours, normals of
    // half length, a white material with a little of everything, one light from the viewer.
    void PrepareLit() {
        D3DMATERIAL9 material{};
        material.Diffuse = {0.5f, 0.5f, 0.5f, 1};
        material.Ambient = {0, 0, 1, 1};
        material.Specular = {1, 1, 1, 1};
        material.Emissive = {0, 0, 0, 1};
        material.Power = 4.0f;
        device_->SetMaterial(&material);
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Direction = {0.3f, -0.3f, 1.0f};
        light.Diffuse = {0.8f, 0.8f, 0.8f, 1};
        light.Specular = {0.6f, 0.6f, 0.6f, 1};
        device_->SetLight(0, &light);
        device_->LightEnable(0, TRUE);
        device_->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
        const D3DCOLOR red = D3DCOLOR_XRGB(255, 0, 0), green = D3DCOLOR_XRGB(0, 255, 0);
        const ColouredLitVertex quad[4] = {
            {-1, 1, 0.5f, 0, 0, -0.5f, red, green}, {1, 1, 0.5f, 0, 0, -0.5f, red, green},
            {-1, -1, 0.5f, 0, 0, -0.5f, red, green}, {1, -1, 0.5f, 0, 0, -0.5f, red, green}};
        Bind(quad, sizeof quad, sizeof quad[0], kColouredLitFvf);
    }

    // Half-transparent corners of three colours, so flat and smooth shading differ too.
    void PrepareScreen() {
        const ScreenVertex triangle[3] = {{0, 0, 0.5f, 1, D3DCOLOR_ARGB(0x80, 255, 0, 0), 0, 0},
                                          {kSize, 0, 0.5f, 1, D3DCOLOR_ARGB(0x80, 0, 255, 0), 1, 0},
                                          {0, kSize, 0.5f, 1, D3DCOLOR_ARGB(0x80, 0, 0, 255), 0, 1}};
        Bind(triangle, sizeof triangle, sizeof triangle[0], kScreenFvf);
    }

    // The vertices go into a buffer bound once: user-pointer draws unbind their stream, which
    // would make every draw look at the whole state again and hide a missed change.
    void Bind(const void* vertices, UINT size, UINT stride, DWORD fvf) {
        ASSERT_EQ(device_->CreateVertexBuffer(size, 0, fvf, D3DPOOL_MANAGED, &buffer_, nullptr), D3D_OK);
        void* data = nullptr;
        ASSERT_EQ(buffer_->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, vertices, size);
        buffer_->Unlock();
        device_->SetFVF(fvf);
        device_->SetStreamSource(0, buffer_, 0, stride);
    }

    // A texture whose left half is white and right half black, so that sprite coordinates
    // show where the vertex coordinate (0.1, 0.1) does not.
    void PreparePoint() {
        ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture_, nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture_->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int row = 0; row < 2; ++row) {
            auto* texels = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + row * locked.Pitch);
            texels[0] = 0xFFFFFFFF;
            texels[1] = 0xFF000000;
        }
        texture_->UnlockRect(0);
        device_->SetTexture(0, texture_);
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(8.0f));
        const PointVertex point = {0, 0, 0.5f, D3DCOLOR_XRGB(255, 255, 0), 0.1f, 0.1f};
        Bind(&point, sizeof point, sizeof point, kPointFvf);
    }

    std::vector<uint32_t> Frame(Scene scene) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        switch (scene) {
            case Scene::kLit: EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK); break;
            case Scene::kScreen: EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK); break;
            case Scene::kPoint: EXPECT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, 0, 1), D3D_OK); break;
        }
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(host::ReadBackBuffer(device_, &width, &height, &pixels));
        return pixels;
    }

    void TearDown() override {
        if (texture_ != nullptr) texture_->Release();
        if (buffer_ != nullptr) buffer_->Release();
        GlDeviceTest::TearDown();
    }

    IDirect3DTexture9* texture_ = nullptr;
    IDirect3DVertexBuffer9* buffer_ = nullptr;
};

// One device per state, so that each starts from the defaults.
class EachShaderState : public GlShaderStateTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(EachShaderState, ChangingItAloneChangesTheFrame) {
    const StateCase& test = GetParam();
    if (test.scene == Scene::kLit) PrepareLit();
    if (test.scene == Scene::kScreen) PrepareScreen();
    if (test.scene == Scene::kPoint) PreparePoint();
    test.prepare(device_);
    device_->SetRenderState(test.state, test.first);
    const std::vector<uint32_t> first = Frame(test.scene);
    device_->SetRenderState(test.state, test.second);
    const std::vector<uint32_t> second = Frame(test.scene);
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
}

INSTANTIATE_TEST_SUITE_P(ShaderRenderStates, EachShaderState, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<StateCase>& info) {
                             return platform::RenderStateName(info.param.state);
                         });

// Every state the shader reads has its case above, and no other state does.
TEST(ShaderRenderStates, EveryStateHasItsCase) {
    std::set<DWORD> cased;
    for (const StateCase& test : Cases()) cased.insert(test.state);
    const std::set<DWORD> read(platform::kShaderRenderStates.begin(), platform::kShaderRenderStates.end());
    EXPECT_EQ(cased, read);
}

}  // namespace

namespace {

// An operation the shader draws as MODULATE is said once, however often it is drawn.
TEST(TextureStageOperations, OneTheShaderLacksIsSaidOnce) {
    platform::DeviceState state;
    state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_LERP;
    state.stageStates[0][D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
    state.stageStates[1][D3DTSS_COLOROP] = D3DTOP_DISABLE;
    state.stageStates[1][D3DTSS_ALPHAOP] = D3DTOP_DISABLE;
    platform::FfpInputs inputs;
    inputs.state = &state;
    inputs.textureBound[0] = true;
    testing::internal::CaptureStderr();
    platform::PackFfpShape(inputs);
    platform::PackFfpShape(inputs);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("operation 26 "), std::string::npos) << said;
    EXPECT_EQ(said.find("operation", said.find("operation") + 1), std::string::npos) << "said once: " << said;
}

}  // namespace
