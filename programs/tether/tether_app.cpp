#include "programs/tether/tether_app.h"

#include <dinput.h>

#include <cstring>
#include <cwchar>

#include "framework/common_steps.h"
#include "framework/device_steps.h"
#include "framework/input_devices.h"

namespace {

struct FloorVertex {
    float x, y, z;
    D3DCOLOR colour;
};
constexpr DWORD kFloorFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
static_assert(sizeof(FloorVertex) == 16);

// Two triangles 100 units wide, two units under the rope's ground plane so the shadow
// (at -0.05) and the resting rope stay above it.
const FloorVertex kFloor[6] = {
    {50.0f, -2.0f, 50.0f, 0xFFFFFFFF},  {50.0f, -2.0f, -50.0f, 0xFFFFFFFF}, {-50.0f, -2.0f, 50.0f, 0xFFFFFFFF},
    {-50.0f, -2.0f, -50.0f, 0xFFFFFFFF}, {-50.0f, -2.0f, 50.0f, 0xFFFFFFFF}, {50.0f, -2.0f, -50.0f, 0xFFFFFFFF},
};

// Behind and beside the rope's start, looking 20 degrees down across it.
const D3DXVECTOR3 kStartPosition(-10.0f, 20.0f, -20.0f);
constexpr float kStartPitch = 0.34906587f;
constexpr float kCameraSpeed = 1.0f;
// The second point's coordinates, in the top-left corner.
constexpr int kPointTextLeft = 0, kPointTextTop = 0, kPointTextWidth = 400;

constexpr float kShadowHeight = -0.05f;
constexpr D3DCOLOR kBackground = 0xFF7F7F7F;
constexpr D3DCOLOR kShadowColour = 0xFF4C4C4C;
constexpr D3DCOLOR kRopeColour = 0xFF0000FF;

bool Down(const BYTE keyboard[256], int code) { return (keyboard[code] & 0x80) != 0; }

}  // namespace

void MoveHeldEnd(D3DXVECTOR3* heldEnd, const BYTE keyboard[256], double seconds) {
    // The step is worked out in double, as the frame time is, and rounded once per key.
    double step = kHeldEndSpeed * seconds;
    if (Down(keyboard, DIK_UP)) heldEnd->x = static_cast<float>(heldEnd->x + step);
    if (Down(keyboard, DIK_DOWN)) heldEnd->x = static_cast<float>(heldEnd->x - step);
    if (Down(keyboard, DIK_LEFT)) heldEnd->z = static_cast<float>(heldEnd->z + step);
    if (Down(keyboard, DIK_RIGHT)) heldEnd->z = static_cast<float>(heldEnd->z - step);
    if (Down(keyboard, DIK_HOME)) heldEnd->y = static_cast<float>(heldEnd->y + step);
    if (Down(keyboard, DIK_END)) {
        heldEnd->y = static_cast<float>(heldEnd->y - step);
        if (heldEnd->y < kHeldEndLowest) heldEnd->y = kHeldEndLowest;
    }
}

void FormatRopePoint(const D3DXVECTOR3& point, wchar_t* text, size_t capacity) {
    const int written = std::swprintf(text, capacity, L"%f,%f,%f", static_cast<double>(point.x),
                                      static_cast<double>(point.y), static_cast<double>(point.z));
    if (written < 0 && capacity > 0) text[0] = L'\0';  // too long: swprintf leaves no terminator
}

TetherApp::TetherApp(HINSTANCE instance) : AppShell(instance, "tether", false) {}

void TetherApp::Init() {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);

    device->CreateVertexBuffer(sizeof(kFloor), 0, kFloorFvf, D3DPOOL_DEFAULT, &floorBuffer, nullptr);
    void* vertices = nullptr;
    if (floorBuffer && SUCCEEDED(floorBuffer->Lock(0, 0, &vertices, 0)) && vertices) {
        std::memcpy(vertices, kFloor, sizeof(kFloor));
        floorBuffer->Unlock();
    }

    camera.SetPosition(kStartPosition.x, kStartPosition.y, kStartPosition.z);
    camera.SetAngles(kStartPitch, StartYaw);

    for (D3DXVECTOR3& point : shadowPoints) point.y = kShadowHeight;

    rope = std::make_unique<Rope>(kTetherRope);
    // The rope starts lying along +x; lifting its held end makes it swing down at once.
    rope->masses[0].position.y = kHeldEndStartHeight;

    overlayFont.Create(device, OverlayFontHeight, OverlayFontColour);
}

void TetherApp::Frame() {
    double seconds = ElapsedTime;
    MoveHeldEnd(&rope->masses[0].position, KeyboardState, seconds);

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    camera.Update(kCameraSpeed, true);
    device->BeginScene();
    device->SetTransform(D3DTS_VIEW, &camera.view);

    // A stall of more than three seconds moves the held end the whole way but simulates
    // only one second.
    rope->Simulate(static_cast<float>(seconds));
    for (int i = 0; i < kRopeMassCount; ++i) {
        ropePoints[i] = rope->masses[i].position;
        shadowPoints[i].x = ropePoints[i].x;
        shadowPoints[i].z = ropePoints[i].z;
    }

    DrawFloor();
    DrawRopeAndShadow();

    wchar_t text[160];  // three floats of up to 47 characters each with "%f"
    FormatRopePoint(ropePoints[1], text, sizeof(text) / sizeof(text[0]));
    overlayFont.Draw(text, kPointTextLeft, kPointTextTop, kPointTextWidth);

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void TetherApp::DrawFloor() {
    device->SetStreamSource(0, floorBuffer, 0, sizeof(FloorVertex));
    device->SetFVF(kFloorFvf);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
}

// The lines are drawn in screen space from points run through the full transform; the
// line object lives for this frame only. Shadow first, so the rope covers it.
void TetherApp::DrawRopeAndShadow() {
    const D3DXMATRIX transform = WorldViewProjection(device);

    ID3DXLine* line = nullptr;
    if (FAILED(D3DXCreateLine(device, &line)) || !line) return;
    line->SetWidth(4.0f);
    line->Begin();
    line->DrawTransform(shadowPoints, kRopeMassCount, &transform, kShadowColour);
    line->End();
    line->Begin();
    line->DrawTransform(ropePoints, kRopeMassCount, &transform, kRopeColour);
    line->End();
    line->Release();
}

void TetherApp::Cleanup() {
    if (floorBuffer) {
        floorBuffer->Release();
        floorBuffer = nullptr;
    }
    rope.reset();
}
