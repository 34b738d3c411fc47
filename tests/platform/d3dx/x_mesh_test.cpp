// D3DXLoadMeshFromXW on X files written here, as text, as binary tokens and compressed: the
// merged mesh's vertices, faces, subsets and materials as D3DX builds them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/d3dx/x_mesh_fixture.h"

using namespace x_mesh_test;

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
    EXPECT_STREQ(Material(2).pTextureFilename, "sub\\\\blue.dds") << "spelt exactly as the file spells it";
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
    // Each failure says in one line which file and why.
    std::vector<std::string> lines;
    host::SetFailureListener([&](const std::string& line) { lines.push_back(line); });
    EXPECT_EQ(Load(Bytes("xof 0303txt 0032\nMesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,7;; }\n")),
              D3DXERR_INVALIDDATA);
    host::SetFailureListener(nullptr);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("mesh.x"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("no vertex"), std::string::npos) << lines[0];
    const std::vector<uint8_t> binary = PentagonBinary();
    EXPECT_TRUE(FAILED(Load(std::vector<uint8_t>(binary.begin(), binary.begin() + 60))));
    EXPECT_EQ(mesh, nullptr);
    const std::string path = (folder / "mesh.x").string();
    const std::wstring wide(path.begin(), path.end());
    EXPECT_EQ(D3DXLoadMeshFromXW(wide.c_str(), 0, nullptr, nullptr, nullptr, nullptr, nullptr, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadMeshFromXW(wide.c_str(), 0, device, nullptr, nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
}
