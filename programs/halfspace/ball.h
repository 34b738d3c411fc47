// The projectile of halfspace: a small sphere that flies a set distance along its direction,
// then, when a bounce is waiting, turns to the bounce direction and flies on.
#pragma once

#include <d3dx9.h>

// How far a ball flies when nothing stops it, and again after its bounce.
constexpr float kBallFlight = 10000.0f;
constexpr UINT kBallSlices = 100;
constexpr UINT kBallStacks = 100;

class Ball {
public:
    Ball() = default;
    ~Ball();
    Ball(const Ball&) = delete;
    Ball& operator=(const Ball&) = delete;

    void Create(IDirect3DDevice9* targetDevice, float ballRadius);
    // A shot that hits nothing: flies kBallFlight less its radius, then rests.
    void Launch(const D3DXVECTOR3& origin, const D3DXVECTOR3& towards);
    // A shot that hits a surface at distance: stops with its surface touching it (within a
    // frame's step), then leaves along bounceTowards.
    void Launch(const D3DXVECTOR3& origin, const D3DXVECTOR3& towards, const D3DXVECTOR3& bounceTowards,
                float distance);
    // Moves by speed times the frame's seconds and draws the sphere with the caller's world
    // matrix and material.
    void Advance(float speed);
    void Release();

    // Where the ball rests before the first shot (the program places it).
    D3DXVECTOR3 position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    bool bouncePending = false;
    D3DXVECTOR3 direction = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    ID3DXMesh* sphere = nullptr;
    IDirect3DDevice9* device = nullptr;
    float radius = 0.0f;
    D3DXVECTOR3 bounceDirection = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    float remaining = 0.0f;  // distance left to fly; negative once at rest
};
