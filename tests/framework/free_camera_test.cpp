// The free-look camera on its own: keys and the right-button drag come from the input
// snapshots and the cursor, the frame time from ElapsedTime.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "framework/app_shell.h"
#include "framework/free_camera.h"
#include "framework/input_devices.h"

namespace {

const float kTolerance = 1e-5f;

class FreeCameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        std::memset(&MouseState, 0, sizeof(MouseState));
        LookLatch = true;
        ElapsedTime = 0.5;
    }
    void TearDown() override { SetUp(); }
};

void ExpectVector(const D3DXVECTOR3& actual, float x, float y, float z) {
    EXPECT_NEAR(actual.x, x, kTolerance);
    EXPECT_NEAR(actual.y, y, kTolerance);
    EXPECT_NEAR(actual.z, z, kTolerance);
}

POINT Cursor() {
    POINT point = {};
    GetCursorPos(&point);
    return point;
}

}  // namespace

TEST_F(FreeCameraTest, PitchStopsShortOfThePoles) {
    FreeCamera camera;
    camera.Rotate(200, 0);
    EXPECT_FLOAT_EQ(camera.pitch, 1.5607964f);
    camera.Rotate(-100, 0);
    EXPECT_NEAR(camera.pitch, 1.5607964f - 100 * 0.017453292f, kTolerance);
    camera.Rotate(-400, 0);
    EXPECT_FLOAT_EQ(camera.pitch, -1.5607964f);
    // SetAngles stores what it is given; only Rotate clamps.
    camera.SetAngles(3.0f, 0);
    EXPECT_FLOAT_EQ(camera.pitch, 3.0f);
    EXPECT_TRUE(std::isnan(FreeCamera::Clamp(NAN, -1, 1)));
}

TEST_F(FreeCameraTest, WrapAngleFoldsIntoOneTurn) {
    const float turn = 6.2831855f;
    EXPECT_NEAR(FreeCamera::WrapAngle(7.0f, turn), 0.7168145f, kTolerance);
    EXPECT_NEAR(FreeCamera::WrapAngle(13.0f, turn), 0.433629f, kTolerance);
    EXPECT_FLOAT_EQ(FreeCamera::WrapAngle(turn, turn), turn);
    EXPECT_FLOAT_EQ(FreeCamera::WrapAngle(1.0f, turn), 1.0f);
    EXPECT_NEAR(FreeCamera::WrapAngle(-1.0f, turn), 5.2831855f, kTolerance);
    // One fold only: far below zero stays negative.
    EXPECT_NEAR(FreeCamera::WrapAngle(-7.0f, turn), -0.7168145f, kTolerance);
    // Rotate folds yaw past a full turn.
    FreeCamera camera;
    camera.SetAngles(0, 6.0f);
    camera.Rotate(0, 30);
    EXPECT_NEAR(camera.yaw, 6.0f + 30 * 0.017453292f - turn, kTolerance);
}

TEST_F(FreeCameraTest, KeysMoveTenTimesSpeedPerSecond) {
    FreeCamera camera;
    KeyboardState[DIK_W] = 0x80;
    KeyboardState[DIK_S] = 0x80;
    camera.Update(2, true);
    ExpectVector(camera.position, 0, 0, 0);

    // W and D together: 10 units along each axis, √2 × 10 in all.
    KeyboardState[DIK_S] = 0;
    KeyboardState[DIK_D] = 0x80;
    camera.Update(2, true);
    ExpectVector(camera.position, 10, 0, 10);
    EXPECT_NEAR(D3DXVec3Length(&camera.position), 14.142136f, 1e-4f);

    KeyboardState[DIK_D] = 0;
    KeyboardState[DIK_A] = 0x80;
    KeyboardState[DIK_W] = 0;
    camera.Update(2, true);
    ExpectVector(camera.position, 0, 0, 10);

    ElapsedTime = 0;
    camera.Update(2, true);
    ExpectVector(camera.position, 0, 0, 10);
}

TEST_F(FreeCameraTest, ViewFollowsPitchAndYaw) {
    FreeCamera camera;
    // A quarter turn of yaw looks along +x; W then moves that way.
    camera.SetAngles(0, 1.5707964f);
    camera.RebuildView();
    D3DXVECTOR3 look;
    camera.GetLookDirection(&look);
    ExpectVector(look, 1, 0, 0);
    camera.MoveForward(4);
    ExpectVector(camera.position, 2, 0, 0);

    // Positive pitch looks down, and W follows the view downwards too.
    camera.SetPosition(0, 0, 0);
    camera.SetAngles(0.5235988f, 0);
    camera.RebuildView();
    camera.GetLookDirection(&look);
    ExpectVector(look, 0, -0.5f, 0.8660254f);
    camera.MoveForward(20);
    ExpectVector(camera.position, 0, -5, 8.660254f);

    // The view carries the translation: the eye maps to the origin.
    camera.SetPosition(3, 4, 5);
    camera.SetAngles(0, 0);
    camera.RebuildView();
    EXPECT_FLOAT_EQ(camera.view.m[3][0], -3);
    EXPECT_FLOAT_EQ(camera.view.m[3][1], -4);
    EXPECT_FLOAT_EQ(camera.view.m[3][2], -5);
}

TEST_F(FreeCameraTest, UpdateWithoutRebuildKeepsView) {
    FreeCamera camera;
    camera.SetAngles(0.3f, 0.7f);
    camera.RebuildView();
    const D3DXMATRIX before = camera.view;
    KeyboardState[DIK_W] = 0x80;
    camera.SetAngles(0, 0);
    camera.Update(1, false);
    EXPECT_TRUE(camera.view == before);
    EXPECT_NE(camera.position, D3DXVECTOR3(0, 0, 0));
}

TEST_F(FreeCameraTest, RightDragTurnsByHalfADegreePerPixel) {
    FreeCamera camera;
    SetCursorPos(300, 200);
    MouseState.rgbButtons[1] = 0x80;
    camera.Update(1, true);
    // The first update of a drag only anchors.
    EXPECT_FALSE(LookLatch);
    EXPECT_EQ(LookAnchor.x, 300);
    EXPECT_EQ(LookAnchor.y, 200);
    EXPECT_FLOAT_EQ(camera.yaw, 0);
    EXPECT_FLOAT_EQ(camera.pitch, 0);

    // Right by 20 pixels turns right 10°, down by 10 looks down 5°; the cursor is pinned.
    SetCursorPos(320, 210);
    camera.Update(1, true);
    EXPECT_NEAR(camera.yaw, 0.17453292f, kTolerance);
    EXPECT_NEAR(camera.pitch, 0.08726646f, kTolerance);
    EXPECT_EQ(Cursor().x, 300);
    EXPECT_EQ(Cursor().y, 200);
    D3DXVECTOR3 look;
    camera.GetLookDirection(&look);
    EXPECT_GT(look.x, 0);
    EXPECT_LT(look.y, 0);

    MouseState.rgbButtons[1] = 0;
    camera.Update(1, true);
    EXPECT_TRUE(LookLatch);
    SetCursorPos(500, 500);
    camera.Update(1, true);
    EXPECT_NEAR(camera.yaw, 0.17453292f, kTolerance);
}

TEST_F(FreeCameraTest, LookDirectionInTheCameraFrame) {
    CameraFrame.m[0][3] = 7;
    FreeCamera camera;
    // Every camera starts the shared frame over.
    EXPECT_TRUE(D3DXMatrixIsIdentity(&CameraFrame));

    camera.SetCameraFrame(D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(-1, 0, 0));
    CameraFrame.m[3][1] = 9;
    D3DXVECTOR3 look;
    camera.GetLookDirection(&look);
    ExpectVector(look, 1, 0, 0);

    // Yawed a quarter turn, the view's own direction (1, 0, 0) is taken through the frame.
    camera.SetAngles(0, 1.5707964f);
    camera.RebuildView();
    camera.GetLookDirection(&look);
    ExpectVector(look, 0, 0, -1);

    camera.SetCameraFrame(D3DXVECTOR3(2, 0, 0), D3DXVECTOR3(0, 2, 0), D3DXVECTOR3(0, 0, 2));
    EXPECT_FLOAT_EQ(CameraFrame.m[0][3], 0);
    EXPECT_FLOAT_EQ(CameraFrame.m[3][1], 9);
    EXPECT_FLOAT_EQ(CameraFrame.m[3][3], 1);
}
