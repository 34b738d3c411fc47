#include "programs/halfspace/ball.h"

#include "framework/app_shell.h"

Ball::~Ball() { Release(); }

void Ball::Create(IDirect3DDevice9* targetDevice, float ballRadius) {
    device = targetDevice;
    radius = ballRadius;
    remaining = 0.0f;
    bouncePending = false;
    Release();
    D3DXCreateSphere(device, radius, kBallSlices, kBallStacks, &sphere, nullptr);
}

void Ball::Launch(const D3DXVECTOR3& origin, const D3DXVECTOR3& towards) {
    position = origin;
    remaining = kBallFlight - radius;
    bouncePending = false;
    D3DXVec3Normalize(&direction, &towards);
}

void Ball::Launch(const D3DXVECTOR3& origin, const D3DXVECTOR3& towards, const D3DXVECTOR3& bounceTowards,
                  float distance) {
    position = origin;
    remaining = distance - radius;
    bouncePending = true;
    bounceDirection = bounceTowards;
    D3DXVec3Normalize(&direction, &towards);
}

void Ball::Advance(float speed) {
    if (remaining >= 0.0f) {
        const float step = static_cast<float>(speed * ElapsedTime);
        remaining -= step;
        if (remaining > 0.0f) position += step * direction;
        if (remaining < 0.0f && bouncePending) {
            D3DXVec3Normalize(&direction, &bounceDirection);
            remaining = kBallFlight;
        }
    }
    if (sphere == nullptr) return;
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    sphere->DrawSubset(0);
}

void Ball::Release() {
    if (sphere != nullptr) sphere->Release();
    sphere = nullptr;
}
