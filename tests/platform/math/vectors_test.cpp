#include <d3dx9math.h>
#include <gtest/gtest.h>

#include "tests/platform/math/expect_math.h"

namespace {

TEST(VectorMaths, CrossFollowsTheLeftHandedAxes) {
    D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), out;
    EXPECT_EQ(D3DXVec3Cross(&out, &x, &y), &out);
    ExpectVectorNear(out, 0, 0, 1);
    D3DXVECTOR3 a(1, 2, 3), b(-4, 5, 0.5f);
    D3DXVec3Cross(&a, &a, &b);  // output aliases an input
    ExpectVectorNear(a, -14, -12.5f, 13);
}

TEST(VectorMaths, AddSubtractScaleLerp) {
    D3DXVECTOR3 a(1, 2, 3), b(5, -2, 0), out;
    ExpectVectorNear(*D3DXVec3Add(&out, &a, &b), 6, 0, 3);
    ExpectVectorNear(*D3DXVec3Subtract(&out, &a, &b), -4, 4, 3);
    ExpectVectorNear(*D3DXVec3Scale(&out, &a, -2), -2, -4, -6);
    ExpectVectorNear(*D3DXVec3Lerp(&out, &a, &b, 0.25f), 2, 1, 2.25f);
    ExpectVectorNear(*D3DXVec3Lerp(&out, &a, &b, 2.0f), 9, -6, -3);
}

TEST(VectorMaths, NormalizeGivesUnitLengthAndZeroStaysZero) {
    D3DXVECTOR3 v(3, 0, -4), out;
    ExpectVectorNear(*D3DXVec3Normalize(&out, &v), 0.6f, 0, -0.8f);
    D3DXVECTOR3 zero(0, 0, 0), result(7, 7, 7);
    EXPECT_EQ(D3DXVec3Normalize(&result, &zero), &result);
    EXPECT_EQ(result, D3DXVECTOR3(0, 0, 0));

    D3DXVECTOR4 v4(1, 1, 1, 1), out4;
    D3DXVec4Normalize(&out4, &v4);
    EXPECT_NEAR(out4.w, 0.5f, 1e-6f);
    D3DXVECTOR4 zero4(0, 0, 0, 0);
    D3DXVec4Normalize(&out4, &zero4);
    EXPECT_EQ(out4, zero4);
}

TEST(VectorMaths, TransformsOfPointsDirectionsAndFourVectors) {
    D3DXMATRIX m(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 1, 10, 20, 30, 2);
    D3DXVECTOR3 v(1, 1, 1), out;
    // (x, y, z, 1) * m = (12, 23, 34, 3), then divided by w.
    ExpectVectorNear(*D3DXVec3TransformCoord(&out, &v, &m), 4, 23.0f / 3, 34.0f / 3);
    // Directions ignore the translation row and the w column.
    ExpectVectorNear(*D3DXVec3TransformNormal(&out, &v, &m), 2, 3, 4);

    D3DXVECTOR4 out4;
    D3DXVec3Transform(&out4, &v, &m);
    EXPECT_EQ(out4, D3DXVECTOR4(12, 23, 34, 3));
    D3DXVECTOR4 v4(1, 1, 1, 0);
    D3DXVec4Transform(&v4, &v4, &m);
    EXPECT_EQ(v4, D3DXVECTOR4(2, 3, 4, 1));
}

TEST(PlaneMaths, NormalizeDividesAllFourByTheNormalLength) {
    D3DXPLANE p(0, 3, 4, 10), out;
    EXPECT_EQ(D3DXPlaneNormalize(&out, &p), &out);
    EXPECT_NEAR(out.b, 0.6f, 1e-6f);
    EXPECT_NEAR(out.c, 0.8f, 1e-6f);
    EXPECT_NEAR(out.d, 2.0f, 1e-6f);
    D3DXPLANE degenerate(0, 0, 0, 5);
    D3DXPlaneNormalize(&out, &degenerate);
    EXPECT_EQ(out, D3DXPLANE(0, 0, 0, 0));
}

TEST(PlaneMaths, PlanesFromPointsAndNormals) {
    D3DXVECTOR3 point(1, 3, -2), up(0, 1, 0);
    D3DXPLANE p;
    D3DXPlaneFromPointNormal(&p, &point, &up);
    EXPECT_EQ(p, D3DXPLANE(0, 1, 0, -3));

    D3DXVECTOR3 a(0, 3, 0), b(0, 3, 2), c(2, 3, 0);
    D3DXPlaneFromPoints(&p, &a, &b, &c);
    EXPECT_NEAR(p.a, 0, 1e-6f);
    EXPECT_NEAR(p.b, 1, 1e-6f);
    EXPECT_NEAR(p.c, 0, 1e-6f);
    EXPECT_NEAR(p.d, -3, 1e-6f);
    D3DXVECTOR3 above(5, 4, 5);
    EXPECT_NEAR(D3DXPlaneDotCoord(&p, &above), 1.0f, 1e-6f);
}

TEST(PlaneMaths, IntersectLineExtendsTheLineAndRejectsParallels) {
    D3DXPLANE p(0, 1, 0, -3);
    D3DXVECTOR3 a(1, 0, 1), b(2, 1, 1), out;
    EXPECT_EQ(D3DXPlaneIntersectLine(&out, &p, &a, &b), &out);
    ExpectVectorNear(out, 4, 3, 1);

    D3DXVECTOR3 flatEnd(5, 0, 1), untouched(9, 9, 9);
    EXPECT_EQ(D3DXPlaneIntersectLine(&untouched, &p, &a, &flatEnd), nullptr);
    EXPECT_EQ(untouched, D3DXVECTOR3(9, 9, 9));
}

TEST(ColorMaths, ConvertsBetweenArgbAndFloatsWithClampingAndRounding) {
    D3DXCOLOR color(0x80FF4000u);
    EXPECT_NEAR(color.a, 128.0f / 255, 1e-6f);
    EXPECT_EQ(color.r, 1.0f);
    EXPECT_NEAR(color.g, 64.0f / 255, 1e-6f);
    EXPECT_EQ(color.b, 0.0f);
    EXPECT_EQ(static_cast<D3DCOLOR>(color), 0x80FF4000u);

    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(2.0f, -1.0f, 0.5f, 1.0f)), 0xFFFF0080u);
    EXPECT_EQ(static_cast<D3DCOLOR>(D3DXCOLOR(0.2f, 0.0f, 0.0f, 0.0f)), 0x00330000u);
    D3DCOLORVALUE value = D3DXCOLOR(0.25f, 0.5f, 0.75f, 1.0f);
    EXPECT_EQ(value.b, 0.75f);
}

TEST(ColorMaths, ArithmeticOperatorsWorkPerChannel) {
    D3DXCOLOR a(0.5f, 0.25f, 1.0f, 1.0f), b(0.25f, 0.25f, 0.5f, 0.0f);
    EXPECT_EQ(a + b, D3DXCOLOR(0.75f, 0.5f, 1.5f, 1.0f));
    EXPECT_EQ(a - b, D3DXCOLOR(0.25f, 0.0f, 0.5f, 1.0f));
    EXPECT_EQ(2.0f * b, D3DXCOLOR(0.5f, 0.5f, 1.0f, 0.0f));
    EXPECT_EQ(a / 2.0f, D3DXCOLOR(0.25f, 0.125f, 0.5f, 0.5f));
}

TEST(VectorMaths, MinimizeMaximizeAndFourVectorOperators) {
    D3DXVECTOR3 a(1, -2, 3), b(-1, 5, 3), out;
    EXPECT_EQ(*D3DXVec3Minimize(&out, &a, &b), D3DXVECTOR3(-1, -2, 3));
    EXPECT_EQ(*D3DXVec3Maximize(&out, &a, &b), D3DXVECTOR3(1, 5, 3));
    EXPECT_EQ(D3DXVECTOR4(2, 4, 6, 8) / 2.0f, D3DXVECTOR4(1, 2, 3, 4));
    D3DXPLANE p(0, 1, 0, -3);
    D3DXVECTOR4 direction(0, 2, 0, 0);
    EXPECT_EQ(D3DXPlaneDot(&p, &direction), 2.0f);
    EXPECT_EQ(p * 2.0f, D3DXPLANE(0, 2, 0, -6));
}

}  // namespace
