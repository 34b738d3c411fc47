#include "programs/glasshall/glasshall_app.h"

#include <dinput.h>

#include <cstring>

#include "framework/common_steps.h"
#include "framework/input_devices.h"
#include "md2/planar_passes.h"

bool NextModelLatch = true;

// The floor, 20 × 20 at height -2.5, and the wall at x = 10 from the floor up to 5.5: two
// strips that wind clockwise seen from the room. The wall's normal lies in its own plane and
// only changes how the wall itself is lit.
const SceneVertex SceneVertices[SceneVertexCount] = {
    {-10, -2.5f, -10, 0, 1, 0}, {-10, -2.5f, 10, 0, 1, 0}, {10, -2.5f, -10, 0, 1, 0},  {10, -2.5f, 10, 0, 1, 0},
    {10, -2.5f, -10, 0, 0, -1}, {10, -2.5f, 10, 0, 0, -1}, {10, 5.5f, -10, 0, 0, -1}, {10, 5.5f, 10, 0, 0, -1},
};
const D3DXPLANE MirrorPlane(-1, 0, 0, 10);
const D3DXPLANE GroundPlane(0, -1, 0, -2.5f);

namespace {

constexpr int FloorStart = 0;
constexpr int WallStart = 4;
constexpr UINT QuadTriangles = 2;
constexpr float ModelScale = 0.1f;
constexpr float LightStep = 0.1f;
constexpr D3DCOLOR Background = 0xFF7F7F7F;
constexpr D3DCOLOR SceneAmbient = 0xFF191919;

const wchar_t* const ModelFolders[ModelCount] = {
    L"..\\Resource\\MD2Model\\alita3\\",   L"..\\Resource\\MD2Model\\ddz\\",    L"..\\Resource\\MD2Model\\droid\\",
    L"..\\Resource\\MD2Model\\lordmaul\\", L"..\\Resource\\MD2Model\\regult\\", L"..\\Resource\\MD2Model\\unit00\\",
    L"..\\Resource\\MD2Model\\yoshi\\",    L"..\\Resource\\MD2Model\\man\\",    L"..\\Resource\\MD2Model\\witchblade\\",
};

// The animation keys in the order they are read: when several are down, the last one wins.
const BYTE AnimationKeys[AnimationCount] = {
    DIK_1, DIK_2, DIK_3, DIK_4, DIK_5, DIK_6, DIK_7, DIK_8, DIK_9, DIK_Z, DIK_X, DIK_C, DIK_V, DIK_B, DIK_O, DIK_P,
};

D3DMATERIAL9 SceneMaterial() {
    return MakeMaterial({1, 1, 1, 1}, {0.7f, 0.7f, 0.7f, 1}, {0.5f, 0.5f, 0.5f, 1}, {0, 0, 0, 0}, 10.0f);
}

// Lit, every shadow vertex comes out black with alpha 0.5.
D3DMATERIAL9 ShadowMaterial() { return MakeMaterial({0, 0, 0, 0.5f}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 0}, 0); }

}  // namespace

GlasshallApp::GlasshallApp(HINSTANCE instance) : AppShell(instance, "DemoApplication", false) {}

void GlasshallApp::Init() {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    CreateScene();
    current = StartModel;
    LoadModels();
    font.Create(device, 18, 0xFFFFFFFF);
    SetFpsFont(&font);
    device->SetRenderState(D3DRS_AMBIENT, SceneAmbient);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    lightVector = D3DXVECTOR4(1, -1, -1, 0);
    AimLight();
    device->LightEnable(0, TRUE);
    camera.Rotate(0, 90);  // from the origin, where the model stands, towards the mirror
}

void GlasshallApp::CreateScene() {
    device->CreateVertexBuffer(sizeof(SceneVertices), 0, SceneVertexFormat, D3DPOOL_DEFAULT, &sceneBuffer, nullptr);
    void* vertices = nullptr;
    if (sceneBuffer && SUCCEEDED(sceneBuffer->Lock(0, sizeof(SceneVertices), &vertices, 0)) && vertices) {
        std::memcpy(vertices, SceneVertices, sizeof(SceneVertices));
        sceneBuffer->Unlock();
    }
}

void GlasshallApp::LoadModels() {
    for (std::unique_ptr<Md2Model>& model : models) model = std::make_unique<Md2Model>(device);
    for (int i = 0; i < ModelCount; ++i) models[i]->LoadFolder(ModelFolders[i], ModelScale);
    for (int i = 0; i < ModelCount; ++i) actors[i].Attach(models[i].get());
}

// The light shines along lightVector, normalised as a four-vector (w = 0 leaves it a direction).
void GlasshallApp::AimLight() {
    D3DXVECTOR4 direction;
    D3DXVec4Normalize(&direction, &lightVector);
    light = MakeDirectionalLight(D3DXVECTOR3(direction.x, direction.y, direction.z), {1, 1, 1, 1},
                                 {0.2f, 0.2f, 0.2f, 1}, {1, 1, 1, 0});
    device->SetLight(0, &light);
}

void GlasshallApp::HandleKeys() {
    if (IsKeyDown(DIK_N) && NextModelLatch) {
        current = (current + 1) % ModelCount;
        NextModelLatch = false;
    } else if (!IsKeyDown(DIK_N) && !NextModelLatch) {
        NextModelLatch = true;
    }
    for (int index = 0; index < AnimationCount; ++index) {
        if (IsKeyDown(AnimationKeys[index])) actors[current].SetAnimation(index);
    }
    if (IsKeyDown(DIK_L)) {
        lightVector.x -= LightStep;
        AimLight();
    }
    if (IsKeyDown(DIK_K)) {
        lightVector.x += LightStep;
        AimLight();
    }
}

void GlasshallApp::Frame() {
    HandleKeys();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, Background, 1.0f, 0);
    camera.Update(1.0f, true);
    device->BeginScene();
    ShowClickPosition();

    material = SceneMaterial();
    ApplyMaterial(device, material);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    Md2Actor& actor = actors[current];
    D3DXMatrixIdentity(&actor.world);
    device->SetTransform(D3DTS_WORLD, &actor.world);
    device->SetTransform(D3DTS_VIEW, &camera.view);
    // The previous frame's length: DrawFps below is what measures this one.
    actor.Advance(FrameMilliseconds / 1000.0f);
    DrawFps();

    DrawMirror();
    DrawShadow();
    device->SetMaterial(&material);
    device->SetTransform(D3DTS_WORLD, &actor.world);
    actor.Draw(true);

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void GlasshallApp::DrawMirror() {
    device->SetStreamSource(0, sceneBuffer, 0, sizeof(SceneVertex));
    device->SetFVF(SceneVertexFormat);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, FloorStart, QuadTriangles);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, WallStart, QuadTriangles);

    BeginMirrorMask(device);
    device->SetStreamSource(0, sceneBuffer, 0, sizeof(SceneVertex));
    device->SetFVF(SceneVertexFormat);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, WallStart, QuadTriangles);

    BeginReflection(device, &MirrorPlane, &actors[current].world);
    actors[current].Draw(true);
    EndReflection(device);
}

void GlasshallApp::DrawShadow() {
    shadowMaterial = ShadowMaterial();
    device->SetMaterial(&shadowMaterial);
    BeginShadow(device, &lightVector, &GroundPlane, &actors[current].world);
    actors[current].Draw(false);
    EndShadow(device);
}

// The models' meshes take their skins and vertex buffers with them; the shell releases the
// font next, and then the device.
void GlasshallApp::Cleanup() {
    if (sceneBuffer) {
        sceneBuffer->Release();
        sceneBuffer = nullptr;
    }
    for (int i = 0; i < ModelCount; ++i) {
        actors[i].model = nullptr;
        models[i].reset();
    }
}
