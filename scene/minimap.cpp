#include "scene/minimap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/app_shell.h"
#include "framework/input_devices.h"

namespace {

// Radii as shares of the window's height, and the margin to the top and right edges.
constexpr float kSmallShare = 0.14285715f;  // one seventh
constexpr float kLargeShare = 0.2f;         // one fifth
constexpr float kMargin = 10.0f;
// The radius covers this share of the distance to its target per second.
constexpr float kGlidePerSecond = 2.0f;
constexpr float kEighthTurn = 0.7853982f;
constexpr float kQuarterTurn = 1.5707964f;
constexpr float kHalfTurn = 3.1415927f;
// The marker's corners lie this far from the middle.
constexpr float kMarkerReach = 16.968f;
// The map picture covers the ground square -512 ... 512 in x and z.
constexpr float kMapHalfSize = 512.0f;
constexpr float kMapSize = 1024.0f;
constexpr float kOverlayDepth = 1.0f;

// Constant texture coordinates of the two quads, vertices 0 to 3.
constexpr float kQuadTexCoords[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};

void Fill(IDirect3DVertexBuffer9* buffer, const TexturedVertex* vertices, int count) {
    void* data = nullptr;
    if (buffer == nullptr || FAILED(buffer->Lock(0, 0, &data, 0))) return;
    std::memcpy(data, vertices, sizeof(TexturedVertex) * count);
    buffer->Unlock();
}

}  // namespace

Minimap::~Minimap() { Release(); }

void Minimap::Create(IDirect3DDevice9* targetDevice, IDirect3DTexture9* map, const wchar_t* framePath,
                     const wchar_t* markerPath) {
    Release();
    device = targetDevice;
    mapTexture = map;
    radius = targetRadius = GetClientHeight() * kSmallShare;
    // Where the first frame will put it, so a click in that frame is judged against the disc.
    PlaceCentre(GetClientWidth(), GetClientHeight());
    if (FAILED(D3DXCreateTextureFromFileW(device, framePath, &frameTexture))) frameTexture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileW(device, markerPath, &markerTexture))) markerTexture = nullptr;
    device->CreateVertexBuffer(kDiscVertexCount * sizeof(TexturedVertex), 0, kTexturedVertexFormat, D3DPOOL_DEFAULT,
                               &discBuffer, nullptr);
    device->CreateVertexBuffer(4 * sizeof(TexturedVertex), 0, kTexturedVertexFormat, D3DPOOL_DEFAULT, &frameBuffer, nullptr);
    device->CreateVertexBuffer(4 * sizeof(TexturedVertex), 0, kTexturedVertexFormat, D3DPOOL_DEFAULT, &markerBuffer, nullptr);
}

// The toggle reads the DirectInput mouse; the cursor is turned into overlay coordinates:
// x to the right and y up, (0, 0) at the middle of the window.
void Minimap::Toggle(int width, int height) {
    if (!IsMouseButtonDown(0)) {
        clickLatch = true;
        return;
    }
    if (!clickLatch) return;
    clickLatch = false;
    int x = 0, y = 0;
    GetCursorClientPos(&x, &y);
    const float overlayX = static_cast<float>(x - width / 2);
    const float overlayY = static_cast<float>(height / 2 - y);
    if (overlayX < centreX - radius || overlayX > centreX + radius || overlayY < centreY - radius ||
        overlayY > centreY + radius) {
        return;
    }
    targetRadius = height * (nextIsLarge ? kLargeShare : kSmallShare);
    nextIsLarge = !nextIsLarge;
}

void Minimap::FillDisc(const D3DXVECTOR3& camera) {
    TexturedVertex disc[kDiscVertexCount];
    auto texCoord = [&](float x, float z) {
        return std::pair<float, float>((x + camera.x + kMapHalfSize) / kMapSize,
                                       (z + camera.z + kMapHalfSize) / kMapSize);
    };
    auto [u0, v0] = texCoord(0.0f, 0.0f);
    disc[0] = {centreX, centreY, kOverlayDepth, u0, v0};
    for (int k = 1; k < kDiscVertexCount; ++k) {
        const float angle = -k * kEighthTurn;
        const float dx = radius * std::cos(angle), dy = radius * std::sin(angle);
        auto [u, v] = texCoord(dx, dy);
        disc[k] = {centreX + dx, centreY + dy, kOverlayDepth, u, v};
    }
    Fill(discBuffer, disc, kDiscVertexCount);
}

void Minimap::FillQuads(float yaw) {
    const float frameCorners[4][2] = {{centreX - radius, centreY - radius},
                                      {centreX - radius, centreY + radius},
                                      {centreX + radius, centreY - radius},
                                      {centreX + radius, centreY + radius}};
    const float markerAngles[4] = {yaw - kQuarterTurn, yaw, yaw + kHalfTurn, yaw + kQuarterTurn};
    TexturedVertex frame[4], marker[4];
    for (int i = 0; i < 4; ++i) {
        frame[i] = {frameCorners[i][0], frameCorners[i][1], kOverlayDepth, kQuadTexCoords[i][0], kQuadTexCoords[i][1]};
        marker[i] = {centreX + kMarkerReach * std::sin(markerAngles[i]), centreY + kMarkerReach * std::cos(markerAngles[i]),
                     kOverlayDepth, kQuadTexCoords[i][0], kQuadTexCoords[i][1]};
    }
    Fill(frameBuffer, frame, 4);
    Fill(markerBuffer, marker, 4);
}

// The disc keeps a margin from the top and right edges.
void Minimap::PlaceCentre(int width, int height) {
    centreX = width / 2 - radius - kMargin;
    centreY = height / 2 - radius - kMargin;
}

void Minimap::Update(const FreeCamera& camera) {
    const int width = GetClientWidth(), height = GetClientHeight();
    Toggle(width, height);
    // A long frame covers the whole way, never more.
    radius += (targetRadius - radius) * std::min(static_cast<float>(ElapsedTime) * kGlidePerSecond, 1.0f);
    PlaceCentre(width, height);
    FillDisc(camera.position);
    FillQuads(camera.yaw);
}

void Minimap::Draw(const FreeCamera& camera) {
    Update(camera);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    D3DXMATRIX projection, world, view, pixels, identity;
    device->GetTransform(D3DTS_PROJECTION, &projection);
    device->GetTransform(D3DTS_WORLD, &world);
    device->GetTransform(D3DTS_VIEW, &view);
    D3DXMatrixOrthoLH(&pixels, static_cast<float>(GetClientWidth()), static_cast<float>(GetClientHeight()), 0.0f, 1.0f);
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_PROJECTION, &pixels);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);

    device->SetStreamSource(0, discBuffer, 0, sizeof(TexturedVertex));
    device->SetTexture(0, mapTexture);
    device->SetFVF(kTexturedVertexFormat);
    device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, kDiscVertexCount - 2);
    device->SetStreamSource(0, frameBuffer, 0, sizeof(TexturedVertex));
    device->SetTexture(0, frameTexture);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    device->SetStreamSource(0, markerBuffer, 0, sizeof(TexturedVertex));
    device->SetTexture(0, markerTexture);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);

    device->SetTexture(0, nullptr);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTransform(D3DTS_VIEW, &view);
}

void Minimap::Release() {
    for (IDirect3DTexture9** texture : {&frameTexture, &markerTexture}) {
        if (*texture != nullptr) (*texture)->Release();
        *texture = nullptr;
    }
    for (IDirect3DVertexBuffer9** buffer : {&discBuffer, &frameBuffer, &markerBuffer}) {
        if (*buffer != nullptr) (*buffer)->Release();
        *buffer = nullptr;
    }
    mapTexture = nullptr;
}
