#include <d3dx9math.h>
#include <gtest/gtest.h>

#include "tests/platform/math/expect_math.h"

namespace {

const D3DXMATRIX kCounting(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
const D3DXMATRIX kInvertible(2, 0, 1, 3, 1, -1, 0, 2, 4, 1, -2, 0, 3, 5, 1, -1);

TEST(MatrixBasics, IdentityIsRecognisedAndAnyChangeBreaksIt) {
    D3DXMATRIX m;
    EXPECT_EQ(D3DXMatrixIdentity(&m), &m);
    ExpectMatrixNear(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, 0);
    EXPECT_TRUE(D3DXMatrixIsIdentity(&m));
    m._43 = 0.001f;
    EXPECT_FALSE(D3DXMatrixIsIdentity(&m));
}

TEST(MatrixBasics, MultiplyIsRowTimesColumn) {
    D3DXMATRIX product;
    EXPECT_EQ(D3DXMatrixMultiply(&product, &kCounting, &kInvertible), &product);
    ExpectMatrixNear(product, {28, 21, -1, 3, 68, 41, -1, 19, 108, 61, -1, 35, 148, 81, -1, 51}, 0);
    EXPECT_EQ(kCounting * kInvertible, product);
}

TEST(MatrixBasics, MultiplyMayWriteOverEitherInput) {
    D3DXMATRIX expected;
    D3DXMatrixMultiply(&expected, &kCounting, &kInvertible);

    D3DXMATRIX left = kCounting;
    D3DXMatrixMultiply(&left, &left, &kInvertible);
    EXPECT_EQ(left, expected);

    D3DXMATRIX right = kInvertible;
    D3DXMatrixMultiply(&right, &kCounting, &right);
    EXPECT_EQ(right, expected);

    D3DXMATRIX accumulated = kCounting;
    accumulated *= kInvertible;
    EXPECT_EQ(accumulated, expected);

    D3DXMATRIX squared = kInvertible, square;
    D3DXMatrixMultiply(&square, &kInvertible, &kInvertible);
    D3DXMatrixMultiply(&squared, &squared, &squared);
    EXPECT_EQ(squared, square);
}

TEST(MatrixBasics, TransposeSwapsRowsAndColumnsInPlaceToo) {
    D3DXMATRIX m = kCounting;
    D3DXMatrixTranspose(&m, &m);
    ExpectMatrixNear(m, {1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16}, 0);
}

TEST(MatrixBasics, ArithmeticOperatorsWorkElementwise) {
    const float values[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(D3DXMATRIX(values), kCounting);
    EXPECT_EQ(kCounting(2, 1), 10.0f);

    D3DXMATRIX doubled = kCounting * 2.0f;
    EXPECT_EQ(doubled._32, 20.0f);
    EXPECT_EQ(2.0f * kCounting, doubled);
    EXPECT_EQ(doubled / 2.0f, kCounting);
    EXPECT_EQ(doubled - kCounting, kCounting);
    EXPECT_EQ(kCounting + kCounting, doubled);
    EXPECT_EQ((-kCounting)._44, -16.0f);
    EXPECT_NE(doubled, kCounting);
}

TEST(MatrixInverse, DeterminantAndInverseOfAGeneralMatrix) {
    EXPECT_NEAR(D3DXMatrixDeterminant(&kInvertible), 6.0f, 1e-5f);
    EXPECT_NEAR(D3DXMatrixDeterminant(&kCounting), 0.0f, 1e-5f);

    D3DXMATRIX inverse;
    float determinant = 0;
    EXPECT_EQ(D3DXMatrixInverse(&inverse, &determinant, &kInvertible), &inverse);
    EXPECT_NEAR(determinant, 6.0f, 1e-5f);
    ExpectMatrixNear(inverse, {10.0f / 3, -17.0f / 3, 1, -4.0f / 3, -11.0f / 3, 19.0f / 3, -1, 5.0f / 3,
                               29.0f / 6, -49.0f / 6, 1, -11.0f / 6, -3.5f, 6.5f, -1, 1.5f});

    D3DXMATRIX inPlace = kInvertible;
    EXPECT_EQ(D3DXMatrixInverse(&inPlace, nullptr, &inPlace), &inPlace);
    ExpectMatrixNear(inPlace * kInvertible, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

TEST(MatrixInverse, SingularMatrixFailsAndLeavesOutputsUntouched) {
    D3DXMATRIX singular(1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1);
    D3DXMATRIX output(kInvertible);
    float determinant = 5.0f;
    EXPECT_EQ(D3DXMatrixInverse(&output, &determinant, &singular), nullptr);
    EXPECT_EQ(output, kInvertible);
    EXPECT_EQ(determinant, 5.0f);
}

}  // namespace
