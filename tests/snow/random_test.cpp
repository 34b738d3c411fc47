#include "snow/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

namespace {

// The seed whose first rand() comes from the generator state `next`: inverts
// next = seed * 214013 + 2531011 (mod 2^32) with the inverse of 214013, found by Newton's
// iteration for odd numbers modulo a power of two.
unsigned SeedBefore(uint32_t next) {
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    return (next - 2531011u) * inverse;
}

TEST(Random, FollowsTheWindowsRuntimeSequence) {
    srand(1);
    EXPECT_EQ(rand(), 41);
    EXPECT_EQ(rand(), 18467);
    EXPECT_EQ(rand(), 6334);
    EXPECT_EQ(rand(), 26500);
    EXPECT_EQ(rand(), 19169);
    // Restarting gives the same numbers again: one generator, no hidden reseeding.
    srand(1);
    EXPECT_EQ(rand(), 41);
    // Only bits 16 to 30 of the state reach the caller.
    srand(SeedBefore(0xFFFFFFFFu));
    EXPECT_EQ(rand(), 0x7FFF);
}

TEST(Random, FloatReachesBothEndsExactly) {
    srand(SeedBefore(0x00000000u));  // rand() = 0
    EXPECT_EQ(RandomFloat(0.2, 1.0), 0.2f);
    srand(SeedBefore(0x7FFF0000u));  // rand() = 32767
    EXPECT_EQ(RandomFloat(0.2, 1.0), 1.0f);
    srand(SeedBefore(0x7FFF0000u));
    EXPECT_EQ(RandomFloat(-100, 100), 100.0f);
    srand(SeedBefore(0x00000000u));
    EXPECT_EQ(RandomFloat(-100, 100), -100.0f);
}

TEST(Random, VectorDrawsXThenYThenZ) {
    srand(1);
    D3DXVECTOR3 out;
    RandomVector(&out, D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(32767, 32767, 32767));
    EXPECT_EQ(out.x, 41.0f);
    EXPECT_EQ(out.y, 18467.0f);
    EXPECT_EQ(out.z, 6334.0f);
    RandomVector(&out, D3DXVECTOR3(0, -32767, 5), D3DXVECTOR3(32767, 0, 5));
    EXPECT_EQ(out.x, 26500.0f);
    EXPECT_EQ(out.y, 19169.0f - 32767.0f);
    EXPECT_EQ(out.z, 5.0f);
}

}  // namespace
