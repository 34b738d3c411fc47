#include "platform/src/d3dx/line_geometry.h"

#include <gtest/gtest.h>

using namespace platform::d3dx;

TEST(LineGeometry, SegmentThroughTheEyeKeepsOnlyItsFrontPart) {
    // a is in front (w = 2, z = 1); b behind (w = -2, z = -3). Along the segment w reaches 0
    // halfway and z reaches 0 a quarter of the way.
    D3DXVECTOR4 a(0, 0, 1, 2), b(4, 8, -3, -2);
    auto visible = ClipToNearPlane(a, b);
    ASSERT_TRUE(visible);
    EXPECT_FLOAT_EQ(visible->a.x, 0);
    EXPECT_FLOAT_EQ(visible->a.w, 2);
    EXPECT_NEAR(visible->b.x, 1, 1e-4);
    EXPECT_NEAR(visible->b.y, 2, 1e-4);
    EXPECT_NEAR(visible->b.z, 0, 1e-4);
    EXPECT_NEAR(visible->b.w, 1, 1e-4);
    EXPECT_GT(visible->b.w, kNearW);

    auto reversed = ClipToNearPlane(b, a);
    ASSERT_TRUE(reversed);
    EXPECT_NEAR(reversed->a.x, 1, 1e-4);
    EXPECT_FLOAT_EQ(reversed->b.w, 2);
}

TEST(LineGeometry, SegmentsEntirelyBehindAreDroppedAndFrontOnesKept) {
    EXPECT_FALSE(ClipToNearPlane(D3DXVECTOR4(0, 0, -1, -1), D3DXVECTOR4(5, 5, -2, -3)));
    EXPECT_FALSE(ClipToNearPlane(D3DXVECTOR4(0, 0, 0.5f, 0), D3DXVECTOR4(1, 0, 0.5f, 0)));  // on the eye plane
    auto front = ClipToNearPlane(D3DXVECTOR4(1, 2, 0.5f, 1), D3DXVECTOR4(3, 4, 0.7f, 3));
    ASSERT_TRUE(front);
    EXPECT_EQ(front->a, D3DXVECTOR4(1, 2, 0.5f, 1));
    EXPECT_EQ(front->b, D3DXVECTOR4(3, 4, 0.7f, 3));
}

TEST(LineGeometry, ClipSpaceMapsThroughTheViewport) {
    D3DVIEWPORT9 viewport{10, 20, 200, 100, 0.0f, 1.0f};
    ScreenPoint centre = ToScreen(D3DXVECTOR4(0, 0, 0.5f, 1), viewport);
    EXPECT_FLOAT_EQ(centre.x, 110);
    EXPECT_FLOAT_EQ(centre.y, 70);
    EXPECT_FLOAT_EQ(centre.z, 0.5f);
    ScreenPoint corner = ToScreen(D3DXVECTOR4(2, 2, 1, 2), viewport);  // top right after the divide
    EXPECT_FLOAT_EQ(corner.x, 210);
    EXPECT_FLOAT_EQ(corner.y, 20);
    EXPECT_FLOAT_EQ(corner.z, 0.5f);
    EXPECT_FLOAT_EQ(corner.rhw, 0.5f);
}

TEST(LineGeometry, SegmentWidensEquallyOnBothSides) {
    std::vector<LineVertex> vertices;
    AppendSegmentQuad(vertices, {0, 10, 0.25f, 1}, {10, 10, 0.75f, 0.5f}, 4, 0xff102030);
    ASSERT_EQ(vertices.size(), 6u);
    float minY = 100, maxY = -100;
    for (const LineVertex& v : vertices) {
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
        EXPECT_EQ(v.color, 0xff102030u);
        EXPECT_FLOAT_EQ(v.z, v.x == 0 ? 0.25f : 0.75f);
        EXPECT_FLOAT_EQ(v.rhw, v.x == 0 ? 1.0f : 0.5f);
    }
    EXPECT_FLOAT_EQ(minY, 8);
    EXPECT_FLOAT_EQ(maxY, 12);

    vertices.clear();
    AppendSegmentQuad(vertices, {5, 5, 0, 1}, {5, 5, 0, 1}, 4, 0);
    EXPECT_TRUE(vertices.empty());
}
