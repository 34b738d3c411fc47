// D3DXCreateSphere: counts, the poles, every ring vertex where the documented angles put
// it, faces turned outward, and the argument checks.
#include <d3dx9.h>
#include <host.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct SphereVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
};

class SphereTest : public ::testing::Test {
protected:
    void SetUp() override { device = host::CreateTraceDevice(); }
    void TearDown() override {
        if (sphere != nullptr) sphere->Release();
        device->Release();
    }

    std::vector<SphereVertex> Vertices() {
        void* data = nullptr;
        EXPECT_EQ(sphere->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const auto* first = static_cast<const SphereVertex*>(data);
        std::vector<SphereVertex> vertices(first, first + sphere->GetNumVertices());
        sphere->UnlockVertexBuffer();
        return vertices;
    }
    std::vector<WORD> Indices() {
        void* data = nullptr;
        EXPECT_EQ(sphere->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const auto* first = static_cast<const WORD*>(data);
        std::vector<WORD> indices(first, first + sphere->GetNumFaces() * 3);
        sphere->UnlockIndexBuffer();
        return indices;
    }

    IDirect3DDevice9* device = nullptr;
    ID3DXMesh* sphere = nullptr;
};

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
}

}  // namespace

TEST_F(SphereTest, CountsPolesAndRingsFollowTheSlicesAndStacks) {
    // 4 slices, 3 stacks: 2 poles and 2 rings of 4; 4 + 4 pole faces and 8 between the rings.
    ASSERT_EQ(D3DXCreateSphere(device, 2.0f, 4, 3, &sphere, nullptr), D3D_OK);
    EXPECT_EQ(sphere->GetNumVertices(), 10u);
    EXPECT_EQ(sphere->GetNumFaces(), 16u);
    EXPECT_EQ(sphere->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL));
    const std::vector<SphereVertex> v = Vertices();
    ExpectNear(v[0].position, {0, 0, 2});
    ExpectNear(v[0].normal, {0, 0, 1});
    ExpectNear(v[9].position, {0, 0, -2});
    ExpectNear(v[9].normal, {0, 0, -1});
    // Ring 0 at 60 degrees from the north pole starts at +y and goes clockwise seen from
    // above: +y, +x, -y, -x.
    const float s = std::sqrt(3.0f) / 2;
    ExpectNear(v[1].normal, {0, s, 0.5f});
    ExpectNear(v[2].normal, {s, 0, 0.5f});
    ExpectNear(v[3].normal, {0, -s, 0.5f});
    ExpectNear(v[4].normal, {-s, 0, 0.5f});
    ExpectNear(v[5].position, {0, 2 * s, -1});
    ExpectNear(v[8].position, {-2 * s, 0, -1});
    // The first face fans from the north pole to the second and first ring vertices.
    const std::vector<WORD> indices = Indices();
    EXPECT_EQ(indices[0], 0);
    EXPECT_EQ(indices[1], 2);
    EXPECT_EQ(indices[2], 1);
    // The last face closes the south fan.
    EXPECT_EQ(indices[47], 9);
}

TEST_F(SphereTest, TheBallSphereHasEveryVertexOnItAndEveryFaceTurnedOutward) {
    constexpr float kRadius = 0.05f;
    constexpr UINT kSlices = 100, kStacks = 100;
    ASSERT_EQ(D3DXCreateSphere(device, kRadius, kSlices, kStacks, &sphere, nullptr), D3D_OK);
    ASSERT_EQ(sphere->GetNumVertices(), 2 + kSlices * (kStacks - 1));
    ASSERT_EQ(sphere->GetNumFaces(), 2 * kSlices * (kStacks - 1));
    const std::vector<SphereVertex> v = Vertices();
    for (UINT ring = 0; ring + 1 < kStacks; ++ring) {
        const double theta = (ring + 1) * D3DX_PI / kStacks;
        for (UINT slice = 0; slice < kSlices; ++slice) {
            const double phi = D3DX_PI / 2 - slice * 2 * D3DX_PI / kSlices;
            const D3DXVECTOR3 n(float(std::sin(theta) * std::cos(phi)), float(std::sin(theta) * std::sin(phi)),
                                float(std::cos(theta)));
            const SphereVertex& vertex = v[ring * kSlices + slice + 1];
            ASSERT_NEAR(D3DXVec3Length(&vertex.normal), 1.0f, 1e-5f);
            ASSERT_NEAR(vertex.normal.x, n.x, 1e-5f) << ring << "," << slice;
            ASSERT_NEAR(vertex.normal.y, n.y, 1e-5f) << ring << "," << slice;
            ASSERT_NEAR(vertex.normal.z, n.z, 1e-5f) << ring << "," << slice;
            ASSERT_NEAR(vertex.position.x, kRadius * n.x, 1e-6f);
            ASSERT_NEAR(vertex.position.z, kRadius * n.z, 1e-6f);
        }
    }
    // (b - a) x (c - a) points away from the centre for every face, and each face is used.
    const std::vector<WORD> indices = Indices();
    for (size_t f = 0; f < indices.size(); f += 3) {
        const D3DXVECTOR3& a = v[indices[f]].position;
        const D3DXVECTOR3& b = v[indices[f + 1]].position;
        const D3DXVECTOR3& c = v[indices[f + 2]].position;
        D3DXVECTOR3 normal;
        const D3DXVECTOR3 ab = b - a, ac = c - a;
        D3DXVec3Cross(&normal, &ab, &ac);
        const D3DXVECTOR3 centre = (a + b + c) / 3.0f;
        ASSERT_GT(D3DXVec3Dot(&normal, &centre), 0.0f) << "face " << f / 3;
    }
    DWORD ranges = 0;
    ASSERT_EQ(sphere->GetAttributeTable(nullptr, &ranges), D3D_OK);
    ASSERT_EQ(ranges, 1u);
    D3DXATTRIBUTERANGE range{};
    sphere->GetAttributeTable(&range, &ranges);
    EXPECT_EQ(range.AttribId, 0u);
    EXPECT_EQ(range.FaceStart, 0u);
    EXPECT_EQ(range.FaceCount, sphere->GetNumFaces());
    EXPECT_EQ(range.VertexStart, 0u);
    EXPECT_EQ(range.VertexCount, sphere->GetNumVertices());
}

TEST_F(SphereTest, TooFewSlicesOrStacksANegativeRadiusOrNoDeviceAreRefused) {
    EXPECT_EQ(D3DXCreateSphere(device, 1.0f, 1, 5, &sphere, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(device, 1.0f, 5, 1, &sphere, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(device, -1.0f, 5, 5, &sphere, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(nullptr, 1.0f, 5, 5, &sphere, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSphere(device, 1.0f, 5, 5, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(sphere, nullptr);
    ASSERT_EQ(D3DXCreateSphere(device, 0.0f, 2, 2, &sphere, nullptr), D3D_OK);
    EXPECT_EQ(sphere->GetNumVertices(), 4u);
    EXPECT_EQ(sphere->GetNumFaces(), 4u);
}
