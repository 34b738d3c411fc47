// The flying first-person camera every program embeds: W/S move along the view, A/D
// strafe, dragging with the right mouse button turns it. It only computes `view`; the
// program hands that to the device itself.
#pragma once

#include <windows.h>

#include <d3dx9.h>

class FreeCamera {
public:
    // Identity view at the origin; also resets CameraFrame to the identity.
    FreeCamera();

    // Moves with the keys (ten times speed per second), turns with the right-button drag,
    // and rebuilds view when rebuild is true. Called once per frame.
    void Update(float speed, bool rebuild);
    void SetPosition(float x, float y, float z);
    // Radians, stored as given.
    void SetAngles(float pitch, float yaw);
    // Along the current viewing direction / right vector, scaled by ElapsedTime.
    void MoveForward(float amount);
    void MoveRight(float amount);
    // Degrees; pitch is kept short of straight up and down, yaw folded into one turn.
    void Rotate(float pitchDegrees, float yawDegrees);
    // The viewing direction of CameraFrame × view (not normalised).
    void GetLookDirection(D3DXVECTOR3* out) const;
    // Writes the three vectors into the upper-left 3×3 of CameraFrame, row by row.
    void SetCameraFrame(const D3DXVECTOR3& row0, const D3DXVECTOR3& row1, const D3DXVECTOR3& row2);
    // view from position, pitch and yaw, without reading input.
    FreeCamera& RebuildView();

    static float Clamp(float value, float low, float high);
    static float WrapAngle(float value, float period);

    D3DXMATRIX view;
    D3DXVECTOR3 position;
    float pitch;
    float yaw;

private:
    void MoveAlongColumn(int column, float amount);
    void Look();
};

// Shared by every camera in the process: the frame GetLookDirection works in, and the
// right-button drag state (latch set while idle, anchor = where the drag began).
extern D3DXMATRIX CameraFrame;
extern POINT LookAnchor;
extern bool LookLatch;
