// ID3DXMesh made with D3DXCreateMeshFVF: argument checks, the buffers it asks the device for,
// subsets from the attribute buffer or table drawn on the trace device, and the helpers
// D3DXComputeBoundingBox and D3DXGetFVFVertexSize.
#include <d3dx9.h>
#include <host.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class MeshObjectTest : public ::testing::Test {
protected:
    void SetUp() override { device = host::CreateTraceDevice(); }
    void TearDown() override {
        if (mesh != nullptr) mesh->Release();
        device->Release();
    }

    // The draw calls recorded since the last ClearTrace.
    std::vector<std::string> Draws() const {
        std::vector<std::string> draws;
        for (const std::string& call : host::TraceCalls(device)) {
            if (call.rfind("DrawIndexedPrimitive(", 0) == 0) draws.push_back(call);
        }
        return draws;
    }

    IDirect3DDevice9* device = nullptr;
    ID3DXMesh* mesh = nullptr;
};

}  // namespace

TEST_F(MeshObjectTest, CreateMeshChecksItsArguments) {
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL;
    EXPECT_EQ(D3DXCreateMeshFVF(4, 6, D3DXMESH_MANAGED, fvf, nullptr, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(4, 6, D3DXMESH_MANAGED, fvf, device, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(0, 6, D3DXMESH_MANAGED, fvf, device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(4, 0, D3DXMESH_MANAGED, fvf, device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(4, 65536, D3DXMESH_MANAGED, fvf, device, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    ASSERT_EQ(D3DXCreateMeshFVF(4, 65536, D3DXMESH_MANAGED | D3DXMESH_32BIT, fvf, device, &mesh), D3D_OK);
    mesh->Release();
    mesh = nullptr;
    ASSERT_EQ(D3DXCreateMeshFVF(4, 65535, D3DXMESH_MANAGED, fvf, device, &mesh), D3D_OK);
}

TEST_F(MeshObjectTest, TheMeshHoldsBuffersOfItsSizeInThePoolItsOptionsName) {
    host::ClearTrace(device);
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    ASSERT_EQ(D3DXCreateMeshFVF(4, 6, D3DXMESH_MANAGED, fvf, device, &mesh), D3D_OK);
    const std::vector<std::string>& calls = host::TraceCalls(device);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "CreateVertexBuffer(192, 0, 274, D3DPOOL_MANAGED, ptr, null)");
    EXPECT_EQ(calls[1], "CreateIndexBuffer(24, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, ptr, null)");
    EXPECT_EQ(mesh->GetNumFaces(), 4u);
    EXPECT_EQ(mesh->GetNumVertices(), 6u);
    EXPECT_EQ(mesh->GetFVF(), fvf);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(mesh->GetOptions(), static_cast<DWORD>(D3DXMESH_MANAGED));
    mesh->Release();
    mesh = nullptr;

    host::ClearTrace(device);
    ASSERT_EQ(D3DXCreateMeshFVF(2, 3, D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT, D3DFVF_XYZ, device, &mesh), D3D_OK);
    EXPECT_EQ(calls[0], "CreateVertexBuffer(36, 0, 2, D3DPOOL_SYSTEMMEM, ptr, null)");
    EXPECT_EQ(calls[1], "CreateIndexBuffer(24, 0, D3DFMT_INDEX32, D3DPOOL_SYSTEMMEM, ptr, null)");
    IDirect3DDevice9* owner = nullptr;
    ASSERT_EQ(mesh->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device);
    owner->Release();
}

TEST_F(MeshObjectTest, DrawSubsetDrawsEachRunOfItsAttributeId) {
    ASSERT_EQ(D3DXCreateMeshFVF(5, 6, D3DXMESH_MANAGED, D3DFVF_XYZ, device, &mesh), D3D_OK);
    DWORD* ids = nullptr;
    ASSERT_EQ(mesh->LockAttributeBuffer(0, &ids), D3D_OK);
    EXPECT_EQ(mesh->LockAttributeBuffer(0, &ids), D3DERR_INVALIDCALL) << "locked twice";
    const DWORD attributes[5] = {0, 0, 1, 0, 2};
    std::copy(attributes, attributes + 5, ids);
    ASSERT_EQ(mesh->UnlockAttributeBuffer(), D3D_OK);
    EXPECT_EQ(mesh->UnlockAttributeBuffer(), D3DERR_INVALIDCALL) << "not locked";

    device->BeginScene();
    host::ClearTrace(device);
    ASSERT_EQ(mesh->DrawSubset(0), D3D_OK);
    const std::vector<std::string>& calls = host::TraceCalls(device);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "SetFVF(2)");
    EXPECT_EQ(calls[1], "SetStreamSource(0, ptr, 0, 12)");
    EXPECT_EQ(calls[2], "SetIndices(ptr)");
    // Faces 0-1 and face 3: two draws, from index 0 and from index 9.
    EXPECT_EQ(Draws(), (std::vector<std::string>{"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 0, 2)",
                                                 "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 9, 1)"}));
    host::ClearTrace(device);
    mesh->DrawSubset(2);
    EXPECT_EQ(Draws(), std::vector<std::string>{"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 12, 1)"});
    host::ClearTrace(device);
    mesh->DrawSubset(7);
    EXPECT_TRUE(Draws().empty());

    // An attribute table takes over, with its own vertex ranges; writing ids drops it again.
    const D3DXATTRIBUTERANGE table[2] = {{0, 0, 3, 0, 4}, {1, 3, 2, 2, 4}};
    ASSERT_EQ(mesh->SetAttributeTable(table, 2), D3D_OK);
    host::ClearTrace(device);
    mesh->DrawSubset(1);
    EXPECT_EQ(Draws(), std::vector<std::string>{"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 2, 4, 9, 2)"});
    const D3DXATTRIBUTERANGE tooLong = {0, 4, 2, 0, 6};
    EXPECT_EQ(mesh->SetAttributeTable(&tooLong, 1), D3DERR_INVALIDCALL);
    ASSERT_EQ(mesh->LockAttributeBuffer(0, &ids), D3D_OK);
    ids[3] = 1;
    mesh->UnlockAttributeBuffer();
    DWORD size = 9;
    mesh->GetAttributeTable(nullptr, &size);
    EXPECT_EQ(size, 0u);
    host::ClearTrace(device);
    mesh->DrawSubset(1);
    EXPECT_EQ(Draws(), (std::vector<std::string>{"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 6, 2)"}));
    device->EndScene();
}

TEST(MeshHelpersTest, BoundingBoxStepsByTheStride) {
    struct Vertex {
        D3DXVECTOR3 position;
        D3DXVECTOR3 normal;
    };
    const Vertex vertices[4] = {{{1, 2, 3}, {100, 100, 100}},
                                {{-4, 5, 0}, {-100, -100, -100}},
                                {{2, -1, 7}, {0, 0, 0}},
                                {{0, 0, -9}, {0, 0, 0}}};
    D3DXVECTOR3 low, high;
    ASSERT_EQ(D3DXComputeBoundingBox(&vertices[0].position, 4, sizeof(Vertex), &low, &high), D3D_OK);
    EXPECT_EQ(low, D3DXVECTOR3(-4, -1, -9));
    EXPECT_EQ(high, D3DXVECTOR3(2, 5, 7));
    ASSERT_EQ(D3DXComputeBoundingBox(&vertices[2].position, 1, sizeof(Vertex), &low, &high), D3D_OK);
    EXPECT_EQ(low, D3DXVECTOR3(2, -1, 7));
    EXPECT_EQ(high, D3DXVECTOR3(2, -1, 7));
    EXPECT_EQ(D3DXComputeBoundingBox(nullptr, 4, sizeof(Vertex), &low, &high), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXComputeBoundingBox(&vertices[0].position, 4, sizeof(Vertex), nullptr, &high), D3DERR_INVALIDCALL);
}

TEST(MeshHelpersTest, VertexSizeAddsUpTheFormatsParts) {
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ), 12u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL), 24u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), 20u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1), 32u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2), 36u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_PSIZE), 16u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZB3), 24u);
    // Texture sets of 3 and 1 floats.
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE3(0) | D3DFVF_TEXCOORDSIZE1(1)), 28u);
}
