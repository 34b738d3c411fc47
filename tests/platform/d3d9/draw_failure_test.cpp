// A draw that the drawing device could not carry out returns its failure to the program,
// from each of the four draw methods, instead of D3D_OK with nothing drawn.
#include "d3d9/device_base.h"
#include "d3d9/device_caps.h"

#include <gtest/gtest.h>

namespace {

class RefusingDevice final : public platform::DeviceBase {
public:
    RefusingDevice() : DeviceBase(64, 64, D3DFMT_D24S8, platform::DefaultDeviceCaps()) {}

protected:
    void onClear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override {}
    void onPresent() override {}
    HRESULT onDraw(const platform::DrawCall&) override { return D3DERR_DRIVERINTERNALERROR; }
};

struct Vertex {
    float x, y, z;
};

TEST(DrawFailure, EveryDrawMethodReturnsTheDevicesFailure) {
    auto* device = new RefusingDevice;
    const Vertex triangle[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const WORD indices[3] = {0, 1, 2};
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(sizeof triangle, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &vertices, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(sizeof indices, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indexBuffer, nullptr),
              D3D_OK);
    device->SetFVF(D3DFVF_XYZ);
    device->SetStreamSource(0, vertices, 0, sizeof(Vertex));
    device->SetIndices(indexBuffer);
    device->BeginScene();
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_DRIVERINTERNALERROR);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3DERR_DRIVERINTERNALERROR);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(Vertex)), D3DERR_DRIVERINTERNALERROR);
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices, D3DFMT_INDEX16, triangle,
                                             sizeof(Vertex)),
              D3DERR_DRIVERINTERNALERROR);
    // Nothing to draw is no failure.
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 0, triangle, sizeof(Vertex)), D3D_OK);
    device->EndScene();
    vertices->Release();
    indexBuffer->Release();
    device->Release();
}

}  // namespace
