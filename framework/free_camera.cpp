#include "framework/free_camera.h"

#include <cmath>

#include "framework/app_shell.h"
#include "framework/input_devices.h"

D3DXMATRIX CameraFrame(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
POINT LookAnchor = {0, 0};
bool LookLatch = true;

namespace {

// Just short of a quarter turn, so the view never flips over the pole.
const float kPitchLimit = 1.5607964f;
const float kFullTurn = 6.2831855f;
const float kRadiansPerDegree = 0.017453292f;
const float kDegreesPerPixel = 0.5f;
const float kKeySpeedFactor = 10.0f;

}  // namespace

FreeCamera::FreeCamera() : position(0, 0, 0), pitch(0), yaw(0) {
    D3DXMatrixIdentity(&view);
    D3DXMatrixIdentity(&CameraFrame);
}

void FreeCamera::Update(float speed, bool rebuild) {
    if (IsKeyDown(DIK_W)) MoveForward(speed * kKeySpeedFactor);
    if (IsKeyDown(DIK_S)) MoveForward(speed * -kKeySpeedFactor);
    if (IsKeyDown(DIK_A)) MoveRight(speed * -kKeySpeedFactor);
    if (IsKeyDown(DIK_D)) MoveRight(speed * kKeySpeedFactor);
    Look();
    if (rebuild) RebuildView();
}

void FreeCamera::Look() {
    const bool dragging = IsMouseButtonDown(1) != 0;
    if (dragging && LookLatch) {
        LookLatch = false;
        GetCursorPos(&LookAnchor);
    } else if (dragging) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        // The cursor is pinned where the drag began; each frame turns by its offset.
        SetCursorPos(LookAnchor.x, LookAnchor.y);
        Rotate((cursor.y - LookAnchor.y) * kDegreesPerPixel, (cursor.x - LookAnchor.x) * kDegreesPerPixel);
    } else if (!LookLatch) {
        LookLatch = true;
    }
}

void FreeCamera::SetPosition(float x, float y, float z) { position = D3DXVECTOR3(x, y, z); }

void FreeCamera::SetAngles(float pitch, float yaw) {
    this->pitch = pitch;
    this->yaw = yaw;
}

void FreeCamera::MoveAlongColumn(int column, float amount) {
    const D3DXVECTOR3 direction(view.m[0][column], view.m[1][column], view.m[2][column]);
    position += direction * amount * static_cast<float>(ElapsedTime);
}

void FreeCamera::MoveForward(float amount) { MoveAlongColumn(2, amount); }

void FreeCamera::MoveRight(float amount) { MoveAlongColumn(0, amount); }

void FreeCamera::Rotate(float pitchDegrees, float yawDegrees) {
    pitch += pitchDegrees * kRadiansPerDegree;
    yaw += yawDegrees * kRadiansPerDegree;
    pitch = Clamp(pitch, -kPitchLimit, kPitchLimit);
    yaw = WrapAngle(yaw, kFullTurn);
}

void FreeCamera::GetLookDirection(D3DXVECTOR3* out) const {
    D3DXMATRIX framed;
    D3DXMatrixMultiply(&framed, &CameraFrame, &view);
    *out = D3DXVECTOR3(framed.m[0][2], framed.m[1][2], framed.m[2][2]);
}

void FreeCamera::SetCameraFrame(const D3DXVECTOR3& row0, const D3DXVECTOR3& row1, const D3DXVECTOR3& row2) {
    const D3DXVECTOR3* rows[3] = {&row0, &row1, &row2};
    for (int row = 0; row < 3; ++row) {
        CameraFrame.m[row][0] = rows[row]->x;
        CameraFrame.m[row][1] = rows[row]->y;
        CameraFrame.m[row][2] = rows[row]->z;
    }
}

FreeCamera& FreeCamera::RebuildView() {
    D3DXMatrixIdentity(&view);
    view.m[3][0] = -position.x;
    view.m[3][1] = -position.y;
    view.m[3][2] = -position.z;
    D3DXMATRIX rotation;
    D3DXMATRIX product;
    D3DXMatrixRotationY(&rotation, -yaw);
    D3DXMatrixMultiply(&product, &view, &rotation);
    D3DXMatrixRotationX(&rotation, -pitch);
    D3DXMatrixMultiply(&view, &product, &rotation);
    return *this;
}

float FreeCamera::Clamp(float value, float low, float high) {
    if (value > high) return high;
    if (value < low) return low;
    return value;
}

float FreeCamera::WrapAngle(float value, float period) {
    float wrapped = value;
    if (value > period) wrapped = value - std::trunc(value / period) * period;
    return value < 0 ? wrapped + period : wrapped;
}
