#include "programs/halfspace/halfspace_app.h"

#include <dinput.h>

#include "framework/common_steps.h"
#include "framework/input_devices.h"

namespace {

constexpr D3DCOLOR kBackground = 0xFF000000;
constexpr D3DCOLOR kAmbientLight = 0xFF191919;
constexpr float kCameraSpeed = 1.0f;
constexpr float kShininess = 10.0f;
constexpr D3DCOLORVALUE kWhite = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr D3DCOLORVALUE kYellow = {1.0f, 1.0f, 0.0f, 1.0f};
constexpr D3DCOLORVALUE kNone = {0.0f, 0.0f, 0.0f, 0.0f};
// Where the resting ball is dropped onto the mesh, as shares of its box across (x) and
// along (z, away from the camera).
constexpr float kRestAcross = 0.1f;
constexpr float kRestAlong = 0.12f;

}  // namespace

HalfspaceApp::HalfspaceApp(HINSTANCE instance) : AppShell(instance, "DemoApplication", false) {}

void HalfspaceApp::Init() {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    mouse.Load(device, L"..//Resource//", L"mouse.x");
    mouse.Rescale(kMouseScale);
    mouse.RotateX(kQuarterTurn);

    ball.Create(device, kBallRadius);

    overlayFont.Create(device, 18, 0xFFFFFFFF);
    SetFpsFont(&overlayFont);

    device->SetRenderState(D3DRS_AMBIENT, kAmbientLight);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    light = MakeDirectionalLight(D3DXVECTOR3(1.0f, -1.0f, -1.0f), kWhite, {0.2f, 0.2f, 0.2f, 1.0f},
                                 {0.5f, 0.5f, 0.5f, 1.0f});
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetLight(0, &light);

    tree.Load(L"..//Resource//mouse.bsp");
    PlaceBallAtRest();
}

// Until the first shot the ball rests on the mesh, near its front left corner where the
// start view shows it: dropped straight down through the tree onto whatever lies there.
// Without a mesh or a tree it waits at the origin.
void HalfspaceApp::PlaceBallAtRest() {
    if (mouse.mesh == nullptr) return;
    void* vertices = nullptr;
    if (FAILED(mouse.mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices))) return;
    D3DXVECTOR3 low, high;
    D3DXComputeBoundingBox(static_cast<const D3DXVECTOR3*>(vertices), mouse.mesh->GetNumVertices(),
                           mouse.mesh->GetNumBytesPerVertex(), &low, &high);
    mouse.mesh->UnlockVertexBuffer();
    Ray drop;
    drop.origin = D3DXVECTOR3(low.x + (high.x - low.x) * kRestAcross, high.y + 1.0f, low.z + (high.z - low.z) * kRestAlong);
    drop.direction = D3DXVECTOR3(0.0f, -1.0f, 0.0f);
    RayHit hit;
    if (tree.RayCast(drop, &hit)) ball.position = hit.point + D3DXVECTOR3(0.0f, ball.radius, 0.0f);
}

void HalfspaceApp::Fire() {
    Ray ray;
    ray.origin = camera.position;
    D3DXVECTOR3 look;
    camera.GetLookDirection(&look);
    D3DXVec3Normalize(&ray.direction, &look);
    RayHit hit;
    if (tree.RayCast(ray, &hit)) {
        lastHit = {hit.p1, hit.p2, hit.p3};
        const D3DXVECTOR3 bounce = Reflect(ray.direction, lastHit);
        ball.Launch(ray.origin, ray.direction, bounce, static_cast<float>(hit.distance));
    } else {
        ball.Launch(ray.origin, ray.direction);
    }
}

void HalfspaceApp::Frame() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    camera.Update(kCameraSpeed, true);
    // No latch: holding Space fires again every frame, keeping the ball at the camera.
    if (IsKeyDown(DIK_SPACE)) Fire();

    device->BeginScene();
    ShowClickPosition();

    material = MakeMaterial(kWhite, kWhite, kWhite, kNone, kShininess);
    UseMaterial(device, material);
    device->SetTransform(D3DTS_VIEW, &camera.view);
    mouse.Draw(false);
    DrawFps();

    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, ball.position.x, ball.position.y, ball.position.z);
    device->SetTransform(D3DTS_WORLD, &world);
    material.Diffuse = material.Ambient = material.Specular = kYellow;
    ApplyMaterial(device, material);
    ball.Advance(kBallSpeed);
    D3DXMatrixIdentity(&world);
    device->SetTransform(D3DTS_WORLD, &world);

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void HalfspaceApp::Cleanup() {
    tree.Clear();
    mouse.Release();
    ball.Release();
}
