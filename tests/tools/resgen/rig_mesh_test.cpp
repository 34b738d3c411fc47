// The generated shapes: every triangle of every strip and fan faces outwards (winds clockwise
// seen from outside, as Direct3D's front faces do), and the commands stay inside their skin
// region.
#include "tools/resgen/rig_mesh.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace resgen;

struct Triangle {
    Vec3 a, b, c;
};

// The triangles as drawn: every second triangle of a strip has its last corners exchanged.
std::vector<Triangle> Triangles(const RigMesh& mesh) {
    std::vector<Triangle> out;
    for (const RigCommand& command : mesh.commands) {
        const auto& v = command.vertices;
        for (size_t k = 0; k + 2 < v.size(); ++k) {
            size_t i = command.fan ? 0 : k, j = k + 1, l = k + 2;
            if (!command.fan && k % 2 == 1) std::swap(j, l);
            out.push_back({mesh.vertices[v[i].vertex].position, mesh.vertices[v[j].vertex].position,
                           mesh.vertices[v[l].vertex].position});
        }
    }
    return out;
}

// In the left-handed space, a triangle is clockwise seen from outside when (b - a) × (c - a)
// points outwards. Degenerate triangles at the poles are skipped.
void ExpectFacingOutwards(const RigMesh& mesh, Vec3 centre) {
    int checked = 0;
    for (const Triangle& t : Triangles(mesh)) {
        const Vec3 n = Cross(t.b - t.a, t.c - t.a);
        if (Dot(n, n) < 1e-8f) continue;
        const Vec3 middle = (t.a + t.b + t.c) * (1.0f / 3);
        ASSERT_GT(Dot(n, middle - centre), 0) << "triangle " << checked;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

const SkinRect Region{32, 64, 32, 32};

TEST(RigMesh, BoxFacesOutwardWithStripSidesAndFanEnds) {
    RigMesh mesh;
    const Vec3 centre{3, -2, 1};
    AddBox(&mesh, {0, Translation(centre) * RotationY(30)}, {2, 1, 0.5f}, Region, Region);
    ExpectFacingOutwards(mesh, centre);
    int strips = 0, fans = 0;
    for (const RigCommand& command : mesh.commands) (command.fan ? fans : strips) += 1;
    EXPECT_EQ(strips, 4);
    EXPECT_EQ(fans, 2);
    EXPECT_EQ(mesh.vertices.size(), 24u) << "each face its own corners, for flat normals";
}

TEST(RigMesh, TubesAndBallsFaceOutwardAndStayInTheirRegion) {
    RigMesh mesh;
    AddCylinder(&mesh, {0, Transform{}}, 2, 1.5f, 4, 0.6f, 8, Region, Region);
    ExpectFacingOutwards(mesh, {0, 0, 0});
    RigMesh ball;
    AddEllipsoid(&ball, {0, RotationZ(90)}, {3, 2, 1}, 10, 6, Region);
    ExpectFacingOutwards(ball, {0, 0, 0});
    for (const RigMesh* m : {&mesh, &ball}) {
        for (const RigCommand& command : m->commands) {
            for (const CommandVertex& v : command.vertices) {
                EXPECT_GE(v.s, Region.x);
                EXPECT_LE(v.s, Region.x + Region.width);
                EXPECT_GE(v.t, Region.y);
                EXPECT_LE(v.t, Region.y + Region.height);
            }
        }
    }
    // 4 bands and 2 pole fans; the normals point away from the centre.
    EXPECT_EQ(ball.commands.size(), 6u);
    for (const RigVertex& v : ball.vertices) EXPECT_GT(Dot(v.normal, v.position), 0);
}

}  // namespace
