// The mirror and shadow passes on the trace device: every render state in its order, the
// depth-only clear of the reflection and the reflected and flattened world matrices.
#include "md2/planar_passes.h"

#include <host.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class PlanarPasses : public ::testing::Test {
protected:
    void SetUp() override { device = host::CreateTraceDevice(); }
    void TearDown() override { device->Release(); }
    const std::vector<std::string>& Calls() const { return host::TraceCalls(device); }
    IDirect3DDevice9* device = nullptr;
};

// Values by their Direct3D 9 numbers: D3DCMP_ALWAYS 8, D3DCMP_EQUAL 3, D3DSTENCILOP_KEEP 1,
// REPLACE 3, INCR 7, D3DBLEND_ZERO 1, ONE 2, SRCALPHA 5, INVSRCALPHA 6, D3DCULL_CW 2, CCW 3.
TEST_F(PlanarPasses, MirrorMaskMarksTheStencilWithoutWritingDepth) {
    BeginMirrorMask(device);
    const std::vector<std::string> expected = {
        "SetRenderState(D3DRS_STENCILENABLE, 1)",
        "SetRenderState(D3DRS_STENCILFUNC, 8)",
        "SetRenderState(D3DRS_STENCILREF, 1)",
        "SetRenderState(D3DRS_STENCILMASK, 4294967295)",
        "SetRenderState(D3DRS_STENCILWRITEMASK, 4294967295)",
        "SetRenderState(D3DRS_STENCILZFAIL, 1)",
        "SetRenderState(D3DRS_STENCILFAIL, 1)",
        "SetRenderState(D3DRS_STENCILPASS, 3)",
        "SetRenderState(D3DRS_ZWRITEENABLE, 0)",
        "SetRenderState(D3DRS_SRCBLEND, 1)",
        "SetRenderState(D3DRS_DESTBLEND, 2)",
    };
    EXPECT_EQ(Calls(), expected);
}

TEST_F(PlanarPasses, ReflectionDrawsInsideTheMaskMirroredInThePlane) {
    const D3DXPLANE mirror(-1, 0, 0, 10);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 1, 2, 3);
    BeginReflection(device, &mirror, &world);
    EndReflection(device);
    // x = 1 mirrored in x = 10 lands at 19.
    const std::vector<std::string> expected = {
        "SetRenderState(D3DRS_ZWRITEENABLE, 1)",
        "SetRenderState(D3DRS_STENCILFUNC, 3)",
        "SetRenderState(D3DRS_STENCILPASS, 1)",
        "Clear(0, null, 2, 0x00000000, 1, 0)",
        "SetTransform(D3DTS_WORLD, [-1 0 0 0; 0 1 0 0; 0 0 1 0; 19 2 3 1])",
        "SetRenderState(D3DRS_CULLMODE, 2)",
        "SetRenderState(D3DRS_STENCILENABLE, 0)",
        "SetRenderState(D3DRS_CULLMODE, 3)",
    };
    EXPECT_EQ(Calls(), expected);
}

TEST_F(PlanarPasses, ShadowFlattensOntoTheFloorAndDarkensEachPixelOnce) {
    const D3DXVECTOR4 light(1, -1, -1, 0);
    const D3DXPLANE ground(0, -1, 0, -2.5f);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    BeginShadow(device, &light, &ground, &world);
    EndShadow(device);
    // A point h above the floor lands h further along x and h back along z, on y = -2.5.
    const std::vector<std::string> expected = {
        "SetRenderState(D3DRS_STENCILENABLE, 1)",
        "SetRenderState(D3DRS_STENCILFUNC, 3)",
        "SetRenderState(D3DRS_STENCILREF, 0)",
        "SetRenderState(D3DRS_STENCILMASK, 4294967295)",
        "SetRenderState(D3DRS_STENCILWRITEMASK, 4294967295)",
        "SetRenderState(D3DRS_STENCILZFAIL, 1)",
        "SetRenderState(D3DRS_STENCILFAIL, 1)",
        "SetRenderState(D3DRS_STENCILPASS, 7)",
        "SetTransform(D3DTS_WORLD, [1 0 0 0; 1 0 -1 0; 0 0 1 0; 2.5 -2.5 -2.5 1])",
        "SetRenderState(D3DRS_ZENABLE, 0)",
        "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)",
        "SetRenderState(D3DRS_SRCBLEND, 5)",
        "SetRenderState(D3DRS_DESTBLEND, 6)",
        "SetRenderState(D3DRS_ZENABLE, 1)",
        "SetRenderState(D3DRS_ALPHABLENDENABLE, 0)",
        "SetRenderState(D3DRS_STENCILENABLE, 0)",
    };
    EXPECT_EQ(Calls(), expected);
}

}  // namespace
