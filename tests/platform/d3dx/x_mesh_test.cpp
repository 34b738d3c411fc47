// D3DXLoadMeshFromXW on X files written here, as text, as binary tokens and compressed: the
// merged mesh's vertices, faces, subsets and materials as D3DX builds them.
#include <d3dx9.h>
#include <host.h>

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "d3dx/x_file.h"
#include "tests/support/x_binary_writer.h"

using namespace demo_test;

namespace {

struct Corner {
    D3DXVECTOR3 position;
    D3DXVECTOR2 texCoord;
};

// A pentagon and a triangle in the plane z = 0, the triangle (vertices 0, 2, 4) with the
// second material; texture coordinates (0.1, 0.2), (0.3, 0.4), ... by vertex.
const D3DXVECTOR3 kPentagon[5] = {{0, 0, 0}, {1, 0, 0}, {1.5f, 1, 0}, {0.5f, 1.5f, 0}, {-0.5f, 1, 0}};

const char kPentagonText[] = R"(xof 0303txt 0032
// Comments and a template are skipped.
template Unused { <11111111-2222-3333-4444-555555555555> DWORD x; }
Mesh Pentagon {
 5;
 0.0; 0.0; 0.0;,
 1.0; 0.0; 0.0;,
 1.5; 1.0; 0.0;,
 0.5; 1.5; 0.0;,
 -0.5; 1.0; 0.0;;
 2;
 5; 0, 1, 2, 3, 4;,
 3; 0, 2, 4;;
 MeshMaterialList {
  2;
  2;
  1,
  0;;
  Material Red {
   1.0; 0.0; 0.0; 0.5;;
   20.0;
   0.25; 0.5; 0.75;;
   0.1; 0.2; 0.3;;
   TextureFilename { "Wood Grain.BMP"; }
  }
  Material Blue {
   0.0; 0.0; 1.0; 1.0;;
   5.0;
   0.0; 0.0; 0.0;;
   0.0; 0.0; 0.0;;
  }
 }
 MeshTextureCoords {
  5;
  0.1; 0.2;,
  0.3; 0.4;,
  0.5; 0.6;,
  0.7; 0.8;,
  0.9; 1.0;;
 }
}
)";

std::vector<uint8_t> PentagonBinary() {
    XBinaryWriter x;
    x.Begin("Mesh", "Pentagon").Integers({5}).Floats({0, 0, 0, 1, 0, 0, 1.5f, 1, 0, 0.5f, 1.5f, 0, -0.5f, 1, 0});
    x.Integers({2, 5, 0, 1, 2, 3, 4, 3, 0, 2, 4});
    x.Begin("MeshMaterialList").Integers({2, 2, 1, 0});
    x.Begin("Material", "Red").Floats({1, 0, 0, 0.5f, 20, 0.25f, 0.5f, 0.75f, 0.1f, 0.2f, 0.3f});
    x.Begin("TextureFilename").String("Wood Grain.BMP").Close();
    x.Close();
    x.Begin("Material", "Blue").Floats({0, 0, 1, 1, 5, 0, 0, 0, 0, 0, 0}).Close();
    x.Close();
    x.Begin("MeshTextureCoords").Integers({5}).Floats({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f});
    x.Close();
    x.Close();
    return x.Bytes();
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

class XMeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("x_mesh_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        device = host::CreateTraceDevice();
    }
    void TearDown() override {
        Release();
        device->Release();
        std::filesystem::remove_all(folder);
    }
    void Release() {
        if (mesh != nullptr) mesh->Release();
        if (materials != nullptr) materials->Release();
        mesh = nullptr;
        materials = nullptr;
        count = 0;
    }

    HRESULT Load(const std::vector<uint8_t>& file, DWORD options = D3DXMESH_SYSTEMMEM) {
        Release();
        const std::string path = (folder / "mesh.x").string();
        EXPECT_TRUE(WriteBytes(path, file));
        return D3DXLoadMeshFromXW(std::wstring(path.begin(), path.end()).c_str(), options, device, nullptr, &materials,
                                  nullptr, &count, &mesh);
    }

    std::vector<DWORD> Indices() {
        std::vector<DWORD> indices(mesh->GetNumFaces() * 3);
        void* data = nullptr;
        EXPECT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const bool wide = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
        for (size_t i = 0; i < indices.size(); ++i) {
            indices[i] = wide ? static_cast<const uint32_t*>(data)[i] : static_cast<const uint16_t*>(data)[i];
        }
        mesh->UnlockIndexBuffer();
        return indices;
    }
    // The floats of vertex i (its whole stride).
    std::vector<float> Vertex(DWORD i) {
        void* data = nullptr;
        EXPECT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const DWORD stride = mesh->GetNumBytesPerVertex();
        std::vector<float> floats(stride / sizeof(float));
        std::memcpy(floats.data(), static_cast<const uint8_t*>(data) + size_t(i) * stride, stride);
        mesh->UnlockVertexBuffer();
        return floats;
    }
    D3DXVECTOR3 Position(DWORD i) {
        const std::vector<float> v = Vertex(i);
        return D3DXVECTOR3(v[0], v[1], v[2]);
    }
    std::vector<DWORD> Attributes() {
        DWORD* data = nullptr;
        EXPECT_EQ(mesh->LockAttributeBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        std::vector<DWORD> ids(data, data + mesh->GetNumFaces());
        mesh->UnlockAttributeBuffer();
        return ids;
    }
    std::vector<D3DXATTRIBUTERANGE> Ranges() {
        DWORD size = 0;
        mesh->GetAttributeTable(nullptr, &size);
        std::vector<D3DXATTRIBUTERANGE> ranges(size);
        if (size > 0) mesh->GetAttributeTable(ranges.data(), &size);
        return ranges;
    }
    const D3DXMATERIAL& Material(DWORD i) { return static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer())[i]; }

    void ExpectPentagon();

    std::filesystem::path folder;
    IDirect3DDevice9* device = nullptr;
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
};

void ExpectColour(const D3DCOLORVALUE& c, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}

// The triangle (material 0) comes first, then the pentagon's fan (v0, vi, vi+1).
void XMeshTest::ExpectPentagon() {
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_TEX1));
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 20u);
    EXPECT_EQ(mesh->GetNumVertices(), 5u);
    ASSERT_EQ(mesh->GetNumFaces(), 4u);
    const int expectedCorners[4][3] = {{0, 2, 4}, {0, 1, 2}, {0, 2, 3}, {0, 3, 4}};
    const std::vector<DWORD> indices = Indices();
    for (int face = 0; face < 4; ++face) {
        for (int corner = 0; corner < 3; ++corner) {
            SCOPED_TRACE(testing::Message() << "face " << face << " corner " << corner);
            const int fileVertex = expectedCorners[face][corner];
            const std::vector<float> v = Vertex(indices[face * 3 + corner]);
            EXPECT_EQ(D3DXVECTOR3(v[0], v[1], v[2]), kPentagon[fileVertex]);
            EXPECT_FLOAT_EQ(v[3], 0.1f + 0.2f * fileVertex);
            EXPECT_FLOAT_EQ(v[4], 0.2f + 0.2f * fileVertex);
        }
    }
    EXPECT_EQ(Attributes(), (std::vector<DWORD>{0, 1, 1, 1}));
    const std::vector<D3DXATTRIBUTERANGE> ranges = Ranges();
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0].AttribId, 0u);
    EXPECT_EQ(ranges[0].FaceStart, 0u);
    EXPECT_EQ(ranges[0].FaceCount, 1u);
    EXPECT_EQ(ranges[1].AttribId, 1u);
    EXPECT_EQ(ranges[1].FaceStart, 1u);
    EXPECT_EQ(ranges[1].FaceCount, 3u);
    for (const D3DXATTRIBUTERANGE& range : ranges) {
        for (DWORD i = range.FaceStart * 3; i < (range.FaceStart + range.FaceCount) * 3; ++i) {
            EXPECT_GE(indices[i], range.VertexStart);
            EXPECT_LT(indices[i], range.VertexStart + range.VertexCount);
        }
    }
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    ASSERT_EQ(mesh->GetIndexBuffer(&indexBuffer), D3D_OK);
    D3DINDEXBUFFER_DESC description{};
    indexBuffer->GetDesc(&description);
    EXPECT_EQ(description.Format, D3DFMT_INDEX16);
    indexBuffer->Release();

    ASSERT_EQ(count, 2u);
    ASSERT_NE(materials, nullptr);
    const D3DMATERIAL9& red = Material(0).MatD3D;
    ExpectColour(red.Diffuse, 1, 0, 0, 0.5f);
    ExpectColour(red.Ambient, 0, 0, 0, 1);
    ExpectColour(red.Specular, 0.25f, 0.5f, 0.75f, 1);
    ExpectColour(red.Emissive, 0.1f, 0.2f, 0.3f, 1);
    EXPECT_FLOAT_EQ(red.Power, 20.0f);
    ASSERT_NE(Material(0).pTextureFilename, nullptr);
    EXPECT_STREQ(Material(0).pTextureFilename, "Wood Grain.BMP");
    const D3DMATERIAL9& blue = Material(1).MatD3D;
    ExpectColour(blue.Diffuse, 0, 0, 1, 1);
    ExpectColour(blue.Ambient, 0, 0, 0, 1);
    EXPECT_FLOAT_EQ(blue.Power, 5.0f);
    EXPECT_EQ(Material(1).pTextureFilename, nullptr);
}

}  // namespace

TEST_F(XMeshTest, TextFilesFanPolygonsAndSortFacesByMaterial) {
    ASSERT_EQ(Load(Bytes(kPentagonText)), D3D_OK);
    ExpectPentagon();
}

TEST_F(XMeshTest, BinaryFilesGiveTheSameMesh) {
    ASSERT_EQ(Load(PentagonBinary()), D3D_OK);
    ExpectPentagon();
}

TEST_F(XMeshTest, CompressedTextAndBinaryFilesGiveTheSameMesh) {
    ASSERT_EQ(Load(CompressedX(Bytes(kPentagonText))), D3D_OK);
    ExpectPentagon();
    ASSERT_EQ(Load(CompressedX(PentagonBinary())), D3D_OK);
    ExpectPentagon();
}

// Outer moves by (10, 0, 0); Inner, inside it, turns a quarter about z ((x, y) -> (-y, x)).
// Each vertex goes through its own frame's transform first: v * inner * outer.
TEST_F(XMeshTest, FrameTransformsApplyFromTheInnermostFrameOut) {
    const char text[] = R"(xof 0303txt 0032
Frame Outer {
 FrameTransformMatrix {
  1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 10.0,0.0,0.0,1.0;;
 }
 Mesh Moved {
  3; 1.0;0.0;-1.0;, 0.0;2.0;-1.0;, 0.0;0.0;-4.0;;
  1; 3;0,1,2;;
 }
 Frame Inner {
  FrameTransformMatrix {
   0.0,1.0,0.0,0.0, -1.0,0.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,0.0,1.0;;
  }
  Mesh Turned {
   3; 1.0;0.0;5.0;, 0.0;2.0;5.0;, 0.0;0.0;8.0;;
   1; 3;0,1,2;;
   MeshNormals { 1; 2.0;0.0;0.0;; 1; 3;0,0,0;; }
  }
 }
}
)";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    ASSERT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL));
    const D3DXVECTOR3 expected[2][3] = {{{11, 0, -1}, {10, 2, -1}, {10, 0, -4}}, {{10, 1, 5}, {8, 0, 5}, {10, 0, 8}}};
    const std::vector<DWORD> indices = Indices();
    for (int face = 0; face < 2; ++face) {
        for (int corner = 0; corner < 3; ++corner) {
            const D3DXVECTOR3 p = Position(indices[face * 3 + corner]);
            EXPECT_NEAR(p.x, expected[face][corner].x, 1e-5f) << face << "," << corner;
            EXPECT_NEAR(p.y, expected[face][corner].y, 1e-5f) << face << "," << corner;
            EXPECT_NEAR(p.z, expected[face][corner].z, 1e-5f) << face << "," << corner;
        }
    }
    // The normal (2, 0, 0) turns with its frame and comes out of unit length.
    const std::vector<float> turned = Vertex(indices[3]);
    EXPECT_NEAR(turned[3], 0.0f, 1e-6f);
    EXPECT_NEAR(turned[4], 1.0f, 1e-6f);
    EXPECT_NEAR(turned[5], 0.0f, 1e-6f);
}

TEST_F(XMeshTest, APositionWithAnotherNormalGetsACopyAfterAllPositions) {
    // A square folded along its diagonal 0-2: face 0 (0, 1, 2) with normal A, face 1 (0, 2, 3)
    // with normal B. Vertices 0 and 2 are used with both.
    const char text[] = R"(xof 0303txt 0032
Mesh Folded {
 4; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;1.0;;
 2; 3;0,1,2;, 3;0,2,3;;
 MeshNormals {
  2; 0.0;0.0;-3.0;, 0.6;-0.6;0.0;;
  2; 3;0,0,0;, 3;1,1,1;;
 }
}
)";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 6u);
    const std::vector<DWORD> indices = Indices();
    // The first four vertices are the four positions with the normal of their first face.
    for (DWORD i = 0; i < 4; ++i) {
        const std::vector<float> v = Vertex(i);
        const bool firstFaceB = i == 3;
        EXPECT_NEAR(v[5], firstFaceB ? 0.0f : -1.0f, 1e-6f) << i;
    }
    // Face 1 uses copies of positions 0 and 2, in that order, carrying normal B.
    EXPECT_EQ(indices[3], 4u);
    EXPECT_EQ(indices[4], 5u);
    EXPECT_EQ(Position(4), D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Position(5), D3DXVECTOR3(1, 1, 0));
    const std::vector<float> copy = Vertex(5);
    EXPECT_NEAR(copy[3], 0.70710678f, 1e-6f);
    EXPECT_NEAR(copy[4], -0.70710678f, 1e-6f);
    EXPECT_NEAR(copy[5], 0.0f, 1e-6f);
    EXPECT_EQ(Position(indices[0]), D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(indices[0], 0u);
}

TEST_F(XMeshTest, WithoutAMaterialListOneDefaultMaterialServesEveryFace) {
    const char text[] = R"(xof 0303txt 0032
Mesh Plain {
 4; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;
 1; 4;0,1,2,3;;
}
)";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    EXPECT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ));
    EXPECT_EQ(Attributes(), (std::vector<DWORD>{0, 0}));
    ASSERT_EQ(count, 1u);
    const D3DMATERIAL9& m = Material(0).MatD3D;
    ExpectColour(m.Diffuse, 0.5f, 0.5f, 0.5f, 0);
    ExpectColour(m.Specular, 0.5f, 0.5f, 0.5f, 0);
    ExpectColour(m.Ambient, 0, 0, 0, 0);
    ExpectColour(m.Emissive, 0, 0, 0, 0);
    EXPECT_EQ(m.Power, 0.0f);
    EXPECT_EQ(Material(0).pTextureFilename, nullptr);
}

TEST_F(XMeshTest, EachMeshBringsItsOwnMaterialsAfterThoseBefore) {
    const char text[] = R"(xof 0303txt 0032
Mesh First {
 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;
 1; 3;0,1,2;;
 MeshMaterialList { 1; 1; 0;;
  Material { 1.0;0.0;0.0;1.0;; 1.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
 }
}
Mesh Second {
 3; 0.0;0.0;2.0;, 1.0;0.0;2.0;, 0.0;1.0;2.0;;
 2; 3;0,1,2;, 3;0,2,1;;
 MeshMaterialList { 2; 2; 1, 0;;
  Material { 0.0;1.0;0.0;1.0;; 1.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  Material { 0.0;0.0;1.0;1.0;; 1.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "sub\\blue.dds"; } }
 }
}
)";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    ASSERT_EQ(count, 3u);
    ExpectColour(Material(0).MatD3D.Diffuse, 1, 0, 0, 1);
    ExpectColour(Material(1).MatD3D.Diffuse, 0, 1, 0, 1);
    ExpectColour(Material(2).MatD3D.Diffuse, 0, 0, 1, 1);
    ASSERT_NE(Material(2).pTextureFilename, nullptr);
    EXPECT_STREQ(Material(2).pTextureFilename, "sub\\blue.dds");
    ASSERT_EQ(mesh->GetNumFaces(), 3u);
    EXPECT_EQ(Attributes(), (std::vector<DWORD>{0, 1, 2}));
    // Material 1 is the second mesh's first, used by its second face (0, 2, 1).
    const std::vector<DWORD> indices = Indices();
    EXPECT_EQ(Position(indices[4]), D3DXVECTOR3(0, 1, 2));
    EXPECT_EQ(Ranges().size(), 3u);
}

TEST_F(XMeshTest, VertexColoursBecomeClampedDiffuseColours) {
    const char text[] = R"(xof 0303txt 0032
Mesh Coloured {
 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;
 1; 3;0,1,2;;
 MeshVertexColors { 3;
  0; 1.0;0.0;0.0;1.0;;,
  1; 0.5;0.25;2.0;0.5;;,
  2; 0.0;0.0;0.0;0.0;;;
 }
}
)";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    EXPECT_EQ(mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_DIFFUSE));
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 16u);
    const std::vector<DWORD> indices = Indices();
    auto colour = [&](DWORD vertex) {
        DWORD c;
        const std::vector<float> v = Vertex(vertex);
        std::memcpy(&c, &v[3], sizeof(c));
        return c;
    };
    // Each channel x * 255 + 0.5, cut to a byte after clamping to [0, 1].
    EXPECT_EQ(colour(indices[0]), 0xFFFF0000u);
    EXPECT_EQ(colour(indices[1]), 0x808040FFu);
    EXPECT_EQ(colour(indices[2]), 0x00000000u);
}

TEST_F(XMeshTest, ThirtyTwoBitIndicesWhenAskedFor) {
    ASSERT_EQ(Load(Bytes(kPentagonText), D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT), D3D_OK);
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    ASSERT_EQ(mesh->GetIndexBuffer(&indexBuffer), D3D_OK);
    D3DINDEXBUFFER_DESC description{};
    indexBuffer->GetDesc(&description);
    EXPECT_EQ(description.Format, D3DFMT_INDEX32);
    indexBuffer->Release();
    EXPECT_EQ(Position(Indices()[5]), kPentagon[2]);
}

TEST_F(XMeshTest, MoreVerticesThanSixteenBitIndicesReachFailUnlessThirtyTwoBit) {
    // 21846 separate triangles: 65538 vertices.
    constexpr uint32_t kTriangles = 21846;
    std::vector<float> positions;
    std::vector<uint32_t> faces = {kTriangles};
    for (uint32_t t = 0; t < kTriangles; ++t) {
        const float x = static_cast<float>(t);
        positions.insert(positions.end(), {x, 0, 0, x, 1, 0, x, 0, 1});
        faces.insert(faces.end(), {3, 3 * t, 3 * t + 1, 3 * t + 2});
    }
    XBinaryWriter x;
    x.Begin("Mesh").Integers({kTriangles * 3}).Floats(positions).Integers(faces).Close();
    EXPECT_EQ(Load(x.Bytes()), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    ASSERT_EQ(Load(x.Bytes(), D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT), D3D_OK);
    EXPECT_EQ(mesh->GetNumVertices(), 65538u);
}

TEST_F(XMeshTest, FilesThatAreNotMeshesFailWithoutAMesh) {
    const std::string missing = (folder / "missing.x").string();
    EXPECT_TRUE(FAILED(D3DXLoadMeshFromXW(std::wstring(missing.begin(), missing.end()).c_str(), 0, device, nullptr,
                                     &materials, nullptr, &count, &mesh)));
    EXPECT_EQ(mesh, nullptr);
    for (const std::string& text :
         {std::string(), std::string("hello"), std::string("xof 0303txt 0032\n"),
          std::string("xof 0303txt 0032\nMesh { 3; 0.0;0.0;0.0;, 1.0;0.0;"),
          std::string("xof 0303txt 0032\nMesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,7;; }\n"),
          std::string(kPentagonText).substr(0, 200)}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Load(Bytes(text)), D3DXERR_INVALIDDATA);
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(materials, nullptr);
    }
    const std::vector<uint8_t> binary = PentagonBinary();
    EXPECT_TRUE(FAILED(Load(std::vector<uint8_t>(binary.begin(), binary.begin() + 60))));
    EXPECT_EQ(mesh, nullptr);
    const std::string path = (folder / "mesh.x").string();
    const std::wstring wide(path.begin(), path.end());
    EXPECT_EQ(D3DXLoadMeshFromXW(wide.c_str(), 0, nullptr, nullptr, nullptr, nullptr, nullptr, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadMeshFromXW(wide.c_str(), 0, device, nullptr, nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
}

namespace {

// Compresses as D3DX does, with real deflate data: one raw deflate stream, flushed at the end
// of every 32 KiB block so each block starts on a boundary but may refer back to the one
// before it.
std::vector<uint8_t> DeflatedX(const std::vector<uint8_t>& plain) {
    std::vector<uint8_t> out(plain.begin(), plain.begin() + 16);
    std::memcpy(out.data() + 8, "tzip", 4);
    auto put = [&](size_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    put(plain.size(), 4);
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    for (size_t start = 16; start < plain.size(); start += 32768) {
        const size_t length = std::min<size_t>(32768, plain.size() - start);
        std::vector<uint8_t> packed(length + 1024);
        stream.next_in = const_cast<Bytef*>(plain.data() + start);
        stream.avail_in = static_cast<uInt>(length);
        stream.next_out = packed.data();
        stream.avail_out = static_cast<uInt>(packed.size());
        deflate(&stream, start + length == plain.size() ? Z_FINISH : Z_SYNC_FLUSH);
        packed.resize(packed.size() - stream.avail_out);
        put(length, 2);
        put(packed.size() + 2, 2);
        out.push_back('C');
        out.push_back('K');
        out.insert(out.end(), packed.begin(), packed.end());
    }
    deflateEnd(&stream);
    return out;
}

// The pentagon file with a long, repetitive comment before the mesh.
std::vector<uint8_t> PaddedPentagon(size_t commentLines) {
    std::string text = kPentagonText;
    std::string comment;
    for (size_t i = 0; i < commentLines; ++i) comment += "// the same comment line, " + std::to_string(i % 7) + "\n";
    text.insert(text.find("Mesh Pentagon"), comment);
    return Bytes(text);
}

}  // namespace

TEST_F(XMeshTest, CompressedBlocksMayReachBackIntoTheBlockBefore) {
    const std::vector<uint8_t> plain = PaddedPentagon(4000);
    ASSERT_GT(plain.size(), 3u * 32768);
    const std::vector<uint8_t> packed = DeflatedX(plain);
    ASSERT_LT(packed.size(), plain.size() / 10) << "really compressed";
    ASSERT_EQ(Load(packed), D3D_OK);
    ExpectPentagon();
    // Several stored blocks.
    ASSERT_EQ(Load(CompressedX(plain)), D3D_OK);
    ExpectPentagon();
}

TEST_F(XMeshTest, BrokenCompressedFilesFailCleanly) {
    const std::vector<uint8_t> good = DeflatedX(PaddedPentagon(2000));
    std::vector<uint8_t> bad = good;
    bad[16 + 4 + 4] = 'X';  // the first block's signature
    EXPECT_EQ(Load(bad), D3DXERR_INVALIDDATA);
    bad = good;
    bad.resize(bad.size() - 10);  // the last block cut short
    EXPECT_EQ(Load(bad), D3DXERR_INVALIDDATA);
    bad = good;
    for (size_t i = 16 + 4 + 6; i < 16 + 4 + 6 + 40; ++i) bad[i] ^= 0x5A;  // deflate data spoiled
    EXPECT_TRUE(FAILED(Load(bad)));
    EXPECT_EQ(mesh, nullptr);
}

// A number written without a decimal point and directly followed by ",digit" must not take the
// comma for a decimal point: this matrix row reads 1, 0, 0, 0.
TEST_F(XMeshTest, IntegerMatrixEntriesSeparatedByBareCommasReadAsNumbers) {
    const char text[] = R"(xof 0303txt 0032
Frame Moved {
 FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,3,4,5,1;; }
 Mesh Tri {
  3; 0;0;0;, 1;0;0;, 0;1;0;;
  1; 3;0,1,2;;
  MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "a,1.bmp"; } } }
 }
}
)";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    const std::vector<DWORD> indices = Indices();
    EXPECT_EQ(Position(indices[0]), D3DXVECTOR3(3, 4, 5));
    EXPECT_EQ(Position(indices[1]), D3DXVECTOR3(4, 4, 5));
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(Material(0).pTextureFilename, "a,1.bmp") << "strings keep their commas";
}

// assimp reads nested frames recursively; a file nesting them a hundred thousand deep is read
// on a stack made for it instead of overflowing the caller's.
TEST_F(XMeshTest, FramesNestedAHundredThousandDeepLoad) {
    constexpr int kDepth = 100000;
    std::string text = "xof 0303txt 0032\n";
    for (int i = 0; i < kDepth; ++i) text += "Frame{\n";
    text += "Mesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; }\n";
    text += std::string(kDepth, '}');
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    EXPECT_EQ(mesh->GetNumFaces(), 1u);

    demo_test::XBinaryWriter x;
    for (int i = 0; i < kDepth; ++i) x.Begin("Frame");
    x.Begin("Mesh").Integers({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Integers({1, 3, 0, 1, 2}).Close();
    for (int i = 0; i < kDepth; ++i) x.Close();
    ASSERT_EQ(Load(x.Bytes()), D3D_OK);
    EXPECT_EQ(mesh->GetNumFaces(), 1u);
    // Unclosed, the same nesting fails without harm.
    text.resize(text.size() - kDepth);
    EXPECT_EQ(Load(Bytes(text)), D3DXERR_INVALIDDATA);
}

TEST_F(XMeshTest, AFileNamingMoreThanAMillionFramesIsRefusedUnread) {
    std::string text = kPentagonText;
    std::string names = "// ";
    for (int i = 0; i <= 1000000; ++i) names += "Frame";
    text.insert(text.find("Mesh Pentagon"), names + "\n");
    EXPECT_EQ(Load(Bytes(text)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(mesh, nullptr);
}

// assimp sizes its arrays by the counts a file declares before it finds the numbers missing:
// read in a child process with bounded memory, a tiny file declaring a billion vertices (12 GB
// of them) or a face of four million corners fails at once instead of taking the memory.
TEST_F(XMeshTest, CountsFarBeyondTheFileFailWithoutTakingTheirMemory) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Load(Bytes("xof 0303txt 0032\nMesh { 1000000000; }\n")), D3DXERR_INVALIDDATA);
    demo_test::XBinaryWriter x;
    x.Begin("Mesh").Integers({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Integers({1, 4000000, 0, 1, 2}).Close();
    EXPECT_EQ(Load(x.Bytes()), D3DXERR_INVALIDDATA);
    demo_test::XBinaryWriter y;
    y.Begin("Mesh").Integers({300000000}).Close();
    EXPECT_EQ(Load(y.Bytes()), D3DXERR_INVALIDDATA);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10.0) << "read in this process, these took over 40 s and 12 GB";
    EXPECT_EQ(mesh, nullptr);
}

TEST_F(XMeshTest, ReadingInThisProcessGivesTheSameMesh) {
    platform::d3dx::IsolateXReader = false;
    EXPECT_EQ(Load(Bytes(kPentagonText)), D3D_OK);
    platform::d3dx::IsolateXReader = true;
    ExpectPentagon();
}

// Found by the fuzzer: assimp dereferences a null pointer in this file's material list. Read
// in a child process, the crash ends the child and the file simply fails to load.
TEST_F(XMeshTest, AFileThatCrashesAssimpFailsToLoad) {
    const char text[] =
        "xof 0303txt 0032\n"
        "Fy {; }Mesh Pe{5;0;0;0, 1.;1;0, .5;0;0; 2,2,3,4;2; 1,0;MeshMaterialList { 2; 1,0;\n"
        "}}";
    EXPECT_EQ(Load(Bytes(text)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(mesh, nullptr);
    ASSERT_EQ(Load(Bytes(kPentagonText)), D3D_OK) << "and the next file loads";
    ExpectPentagon();
}
