// The X-mesh tests' fixture: a trace device, a folder for the files the tests write, a loader
// that keeps the mesh and its materials, readers of its buffers, and the pentagon file (text
// and binary tokens) with the mesh it must give.
#pragma once

#include <d3dx9.h>
#include <host.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/x_binary_writer.h"

namespace x_mesh_test {

using namespace demo_test;

// A pentagon and a triangle in the plane z = 0, the triangle (vertices 0, 2, 4) with the
// second material; texture coordinates (0.1, 0.2), (0.3, 0.4), ... by vertex.
inline const D3DXVECTOR3 kPentagon[5] = {{0, 0, 0}, {1, 0, 0}, {1.5f, 1, 0}, {0.5f, 1.5f, 0}, {-0.5f, 1, 0}};

inline constexpr char kPentagonText[] = R"(xof 0303txt 0032
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

inline std::vector<uint8_t> PentagonBinary() {
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

inline std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

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

inline void ExpectColour(const D3DCOLORVALUE& c, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}

// The triangle (material 0) comes first, then the pentagon's fan (v0, vi, vi+1).
inline void XMeshTest::ExpectPentagon() {
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


}  // namespace x_mesh_test
