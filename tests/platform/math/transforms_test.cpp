#include <d3dx9math.h>
#include <gtest/gtest.h>

#include "tests/platform/math/expect_math.h"

namespace {

D3DXVECTOR3 TransformPoint(const D3DXVECTOR3& point, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &point, &m);
    return out;
}

TEST(MatrixTransforms, TranslationAndScalingMovePoints) {
    D3DXMATRIX translation, scaling;
    D3DXMatrixTranslation(&translation, 1, -2, 3);
    D3DXMatrixScaling(&scaling, 2, 3, -1);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 1, 1), translation), 2, -1, 4);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 1, 1), scaling), 2, 3, -1);
    EXPECT_EQ(translation._41, 1.0f);
    EXPECT_EQ(translation._14, 0.0f);
}

TEST(MatrixTransforms, RotationsAtAThirdOfPi) {
    const float c = 0.5f, s = 0.8660254f;
    D3DXMATRIX m;
    D3DXMatrixRotationX(&m, D3DX_PI / 3);
    ExpectMatrixNear(m, {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1});
    D3DXMatrixRotationY(&m, D3DX_PI / 3);
    ExpectMatrixNear(m, {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1});
    D3DXMatrixRotationZ(&m, D3DX_PI / 3);
    ExpectMatrixNear(m, {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

TEST(MatrixTransforms, RotationsTurnClockwiseLookingTowardTheOrigin) {
    D3DXMATRIX m;
    D3DXMatrixRotationX(&m, D3DX_PI / 2);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(0, 1, 0), m), 0, 0, 1);
    D3DXMatrixRotationY(&m, D3DX_PI / 2);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(0, 0, 1), m), 1, 0, 0);
    D3DXMatrixRotationZ(&m, D3DX_PI / 2);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 0, 0), m), 0, 1, 0);
}

TEST(MatrixTransforms, RotationAxisNormalisesTheAxis) {
    D3DXMATRIX aroundAxis, aroundZ;
    D3DXVECTOR3 longZ(0, 0, 5);
    D3DXMatrixRotationAxis(&aroundAxis, &longZ, 0.7f);
    D3DXMatrixRotationZ(&aroundZ, 0.7f);
    ExpectMatrixNear(aroundAxis, {aroundZ._11, aroundZ._12, 0, 0, aroundZ._21, aroundZ._22, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});

    D3DXVECTOR3 diagonal(1, 1, 1);
    D3DXMatrixRotationAxis(&aroundAxis, &diagonal, 2 * D3DX_PI / 3);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 0, 0), aroundAxis), 0, 1, 0);
}

TEST(MatrixTransforms, YawPitchRollAppliesRollThenPitchThenYaw) {
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, D3DX_PI / 2, D3DX_PI / 2, 0);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(0, 0, 1), m), 0, -1, 0);
    D3DXMatrixRotationYawPitchRoll(&m, 0, D3DX_PI / 2, D3DX_PI / 2);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 0, 0), m), 0, 0, 1);
}

TEST(MatrixTransforms, PerspectiveFovWithNegativeNearPlane) {
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, D3DX_PI / 4, 2.270872f, -2.4f, 8.7f);
    ExpectMatrixNear(m, {1.063122f, 0, 0, 0, 0, 2.414214f, 0, 0, 0, 0, 0.783784f, 1, 0, 0, 1.881081f, 0});
}

TEST(MatrixTransforms, PerspectiveMapsNearAndFarToDepthZeroAndOne) {
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 1, 1), m), 1, 1, 0);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(0, -100, 100), m), 0, -1, 1);
}

TEST(MatrixTransforms, OrthographicVolumesMapToTheClipCube) {
    D3DXMATRIX m;
    D3DXMatrixOrthoLH(&m, 800, 600, 1, 11);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(400, -300, 1), m), 1, -1, 0);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(-400, 300, 11), m), -1, 1, 1);

    D3DXMatrixOrthoOffCenterLH(&m, 0, 800, 600, 0, 0, 1);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(0, 0, 0), m), -1, 1, 0);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(800, 600, 1), m), 1, -1, 1);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(200, 450, 0.5f), m), -0.5f, -0.5f, 0.5f);
}

TEST(MatrixTransforms, LookAtPutsTheEyeAtTheOriginLookingDownZ) {
    D3DXVECTOR3 eye(1, 2, 3), at(4, 2, 3), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectVectorNear(TransformPoint(eye, view), 0, 0, 0);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(5, 2, 3), view), 0, 0, 4);
    // Looking along +x with +y up, the left-handed camera's right is -z.
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(4, 3, 2), view), 1, 1, 3);
    EXPECT_NEAR(view._44, 1.0f, 0);
}

TEST(MatrixTransforms, ReflectNormalisesThePlane) {
    D3DXPLANE plane(-3, -1, 4, 7);
    D3DXMATRIX m;
    EXPECT_EQ(D3DXMatrixReflect(&m, &plane), &m);
    ExpectMatrixNear(m, {0.307692f, -0.230769f, 0.923077f, 0, -0.230769f, 0.923077f, 0.307692f, 0, 0.923077f,
                         0.307692f, -0.230769f, 0, 1.615385f, 0.538462f, -2.153846f, 1});

    D3DXPLANE unnormalisedFloor(0, 2, 0, -4);  // y = 2
    D3DXMatrixReflect(&m, &unnormalisedFloor);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 5, 3), m), 1, -1, 3);
}

TEST(MatrixTransforms, ShadowMatchesWindows) {
    D3DXPLANE plane(-3, -1, 4, 7);
    D3DXVECTOR4 light(9.6f, 8.5f, 7.4f, 6.3f);
    D3DXMATRIX m;
    EXPECT_EQ(D3DXMatrixShadow(&m, &light, &plane), &m);
    ExpectMatrixNear(m, {12.786773f, 5.000961f, 4.353778f, 3.706595f, 1.882715f, 8.805614f, 1.451259f, 1.235532f,
                         -7.530860f, -6.667949f, 1.333590f, -4.942127f, -13.179004f, -11.668910f, -10.158816f,
                         -1.510094f},
                     2e-5f);
}

TEST(MatrixTransforms, ShadowProjectsAlongRaysFromTheLight) {
    D3DXPLANE ground(0, 1, 0, 0);
    D3DXVECTOR4 pointLight(0, 10, 0, 1);
    D3DXMATRIX m;
    D3DXMatrixShadow(&m, &pointLight, &ground);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 5, 0), m), 2, 0, 0);

    D3DXVECTOR4 sunFromAbove(1, 1, 0, 0);  // toward the light
    D3DXMatrixShadow(&m, &sunFromAbove, &ground);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(3, 2, 1), m), 1, 0, 1);
    D3DXVECTOR4 clip;
    D3DXVECTOR3 vertex(3, 2, 1);
    D3DXVec3Transform(&clip, &vertex, &m);
    EXPECT_GT(clip.w, 0.0f);
}

}  // namespace
