#include "programs/landscaper/landscaper_app.h"

#include "framework/common_steps.h"

namespace {

constexpr D3DCOLOR kBackground = 0xFF000000;
constexpr D3DCOLOR kAmbientLight = 0xFF191919;
constexpr float kCameraSpeed = 10.0f;
constexpr float kShininess = 10.0f;
constexpr D3DCOLORVALUE kWhite = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr D3DCOLORVALUE kNone = {0.0f, 0.0f, 0.0f, 0.0f};
// Texels with alpha 0 are cut out (the trees' leaves); the rest blend by their alpha.
constexpr DWORD kAlphaReference = 1;

}  // namespace

LandscaperApp::LandscaperApp(HINSTANCE instance) : AppShell(instance, "DemoApplication", false) {}

void LandscaperApp::Init() {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    scene.Init(device, kStandUpTurn);
    scene.LoadObjects(L"..\\Resource\\3DResource.ini");
    sky.Create(device, L"..\\Resource\\sky2", kSkyHalfSize);
    scene.CreateGround(L"..\\Resource\\MASK.BMP");
    minimap.Create(device, scene.mapTexture, L"..//Resource//V-1-1.dds", L"..//Resource//cur.dds");
    scene.LoadTrees(L"..//Resource//tree.ini", 1.0f);

    overlayFont.Create(device, 18, 0xFFFFFFFF);
    SetFpsFont(&overlayFont);
    device->SetRenderState(D3DRS_AMBIENT, kAmbientLight);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    light = MakeDirectionalLight(D3DXVECTOR3(1.0f, -1.0f, 0.0f), kWhite, {0.2f, 0.2f, 0.2f, 1.0f},
                                 {1.0f, 1.0f, 1.0f, 0.0f});
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetLight(0, &light);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);

    tree.Load(L"..//Resource//ini.bsp");
    SetBlendStates();
}

void LandscaperApp::SetBlendStates() {
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHAREF, kAlphaReference);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
}

void LandscaperApp::Frame() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    camera.Update(kCameraSpeed, true);
    device->BeginScene();
    material = MakeMaterial(kWhite, kWhite, kWhite, kNone, kShininess);
    UseMaterial(device, material);
    device->SetTransform(D3DTS_VIEW, &camera.view);
    DrawFps();

    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    scene.UpdateSelection(camera.position, &tree);
    sky.Draw(camera.position);
    scene.DrawGround();
    scene.DrawObjects();
    scene.DrawTrees();
    minimap.Draw(camera);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

// The scene's device objects go before the device does.
void LandscaperApp::Cleanup() {
    minimap.Release();
    sky.Release();
    scene.Release();
    tree.Clear();
}
