// The D3D lighting equation as the GL device evaluates it, against values worked by hand.
#include "gl_fixture.h"

namespace {

D3DCOLORVALUE Rgba(float r, float g, float b, float a = 1.0f) { return D3DCOLORVALUE{r, g, b, a}; }

class GlLightingTest : public GlDeviceTest {
protected:
    // A quad at z = 0.5 covering the whole view, facing the viewer, with identity transforms.
    void DrawLitQuad() {
        LitVertex quad[4] = {{-1, 1, 0.5f, 0, 0, -1}, {1, 1, 0.5f, 0, 0, -1},
                             {-1, -1, 0.5f, 0, 0, -1}, {1, -1, 0.5f, 0, 0, -1}};
        device_->SetFVF(kLitFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(LitVertex)), D3D_OK);
    }

    void SetDirectionalLight(D3DVECTOR direction, D3DCOLORVALUE diffuse, D3DCOLORVALUE specular,
                             D3DCOLORVALUE ambient) {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Direction = direction;
        light.Diffuse = diffuse;
        light.Specular = specular;
        light.Ambient = ambient;
        ASSERT_EQ(device_->SetLight(0, &light), D3D_OK);
        ASSERT_EQ(device_->LightEnable(0, TRUE), D3D_OK);
    }
};

TEST_F(GlLightingTest, DirectionalLightWithAmbientDiffuseAndSpecular) {
    D3DMATERIAL9 material{};
    material.Diffuse = Rgba(0.5f, 0.5f, 0.5f);
    material.Ambient = Rgba(1, 1, 1);
    material.Specular = Rgba(1, 1, 1);
    material.Power = 2.0f;
    device_->SetMaterial(&material);
    SetDirectionalLight({0, 0, 1}, Rgba(0.4f, 0.2f, 0.0f), Rgba(0.3f, 0.3f, 0.3f), Rgba(0.1f, 0.1f, 0.1f));
    device_->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(32, 32, 32));
    device_->SetRenderState(D3DRS_SPECULARENABLE, TRUE);

    // Every corner sees the viewer at the same angle: N.H = 2 / sqrt(6), so (N.H)^2 = 2/3.
    // colour = (32/255 + 0.1) + 0.5 * Ld + 0.3 * 2/3
    DrawLitQuad();
    EXPECT_RGB_NEAR(Pixel(32, 32), 159.5, 134.0, 108.5);
    EXPECT_RGB_NEAR(Pixel(5, 60), 159.5, 134.0, 108.5);

    // Without the local viewer the halfway vector is the light's: N.H = 1, specular 0.3.
    device_->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
    DrawLitQuad();
    EXPECT_RGB_NEAR(Pixel(32, 32), 185.0, 160.0, 134.5);

    // Specular off: only ambient and diffuse.
    device_->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    DrawLitQuad();
    EXPECT_RGB_NEAR(Pixel(32, 32), 108.5, 83.0, 57.5);

    // A light from behind the surface leaves only the ambient terms.
    SetDirectionalLight({0, 0, -1}, Rgba(0.4f, 0.2f, 0.0f), Rgba(0.3f, 0.3f, 0.3f), Rgba(0.1f, 0.1f, 0.1f));
    DrawLitQuad();
    EXPECT_RGB_NEAR(Pixel(32, 32), 57.5, 57.5, 57.5);
}

TEST_F(GlLightingTest, VertexColourIsTheDiffuseSourceByDefault) {
    struct ColouredVertex {
        float x, y, z, nx, ny, nz;
        D3DCOLOR color;
    } quad[4] = {{-1, 1, 0.5f, 0, 0, -1, 0xff00ff00},
                 {1, 1, 0.5f, 0, 0, -1, 0xff00ff00},
                 {-1, -1, 0.5f, 0, 0, -1, 0xff00ff00},
                 {1, -1, 0.5f, 0, 0, -1, 0xff00ff00}};
    D3DMATERIAL9 material{};
    material.Diffuse = Rgba(1, 0, 0);
    device_->SetMaterial(&material);
    SetDirectionalLight({0, 0, 1}, Rgba(1, 1, 1), Rgba(0, 0, 0), Rgba(0, 0, 0));
    device_->SetFVF(kLitFvf | D3DFVF_DIFFUSE);

    device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
    EXPECT_RGB_NEAR(Pixel(32, 32), 0, 255, 0);

    device_->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 0, 0);

    // COLORVERTEX FALSE ignores vertex colours whatever the sources say.
    device_->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    device_->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 0, 0);
}

TEST_F(GlLightingTest, UnlitVertexWithoutColourIsWhiteAndPointLightRangeCutsAmbient) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    DrawLitQuad();
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 255, 255);

    device_->SetRenderState(D3DRS_LIGHTING, TRUE);
    D3DMATERIAL9 material{};
    material.Ambient = Rgba(1, 1, 1);
    device_->SetMaterial(&material);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Position = {0, 0, 0};
    light.Ambient = Rgba(0.5f, 0.5f, 0.5f);
    light.Attenuation0 = 1.0f;
    light.Range = 0.2f;  // the quad is at least 0.5 away: no contribution at all
    device_->SetLight(0, &light);
    device_->LightEnable(0, TRUE);
    DrawLitQuad();
    EXPECT_RGB_NEAR(Pixel(32, 32), 0, 0, 0);

    light.Range = 10.0f;
    light.Attenuation0 = 2.0f;  // ambient 0.5 / 2
    device_->SetLight(0, &light);
    DrawLitQuad();
    EXPECT_RGB_NEAR(Pixel(32, 32), 63.75, 63.75, 63.75);
}

}  // namespace
