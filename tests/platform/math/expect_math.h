// Comparisons with a tolerance for the D3DX maths tests.
#pragma once

#include <d3dx9math.h>
#include <gtest/gtest.h>

#include <initializer_list>

// Compares a matrix with 16 values given row by row.
inline void ExpectMatrixNear(const D3DXMATRIX& actual, std::initializer_list<float> expectedRows, float tolerance = 1e-5f) {
    ASSERT_EQ(expectedRows.size(), 16u);
    const float* expected = expectedRows.begin();
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            EXPECT_NEAR(actual.m[row][col], expected[row * 4 + col], tolerance) << "at [" << row << "][" << col << "]";
}

inline void ExpectVectorNear(const D3DXVECTOR3& actual, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
    EXPECT_NEAR(actual.z, z, tolerance);
}
