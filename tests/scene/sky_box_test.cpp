// The sky box: six quads of half-size a with the corners and pictures of their faces, drawn
// around the camera with the world matrix put back afterwards.
#include "scene/sky_box.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/scene/scene_fixture.h"

namespace {

using namespace scene_test;

struct Vertex {
    float x, y, z, u, v;
};

class SkyBoxTest : public SceneTest {
protected:
    void ReleaseDeviceObjects() override { sky.Release(); }

    Vertex Corner(int face, int corner) {
        void* data = nullptr;
        EXPECT_EQ(sky.buffers[face]->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        const Vertex vertex = static_cast<const Vertex*>(data)[corner];
        sky.buffers[face]->Unlock();
        return vertex;
    }

    void ExpectCorner(int face, int corner, const Vertex& expected) {
        const Vertex v = Corner(face, corner);
        EXPECT_EQ(v.x, expected.x) << "face " << face << " corner " << corner;
        EXPECT_EQ(v.y, expected.y) << "face " << face << " corner " << corner;
        EXPECT_EQ(v.z, expected.z) << "face " << face << " corner " << corner;
        EXPECT_EQ(v.u, expected.u) << "face " << face << " corner " << corner;
        EXPECT_EQ(v.v, expected.v) << "face " << face << " corner " << corner;
    }

    SkyBox sky;
};

TEST_F(SkyBoxTest, FacesStandOnTheirPlanesWithTheirCornersAndPictures) {
    // Two of the six pictures exist; the other faces stay untextured without a message.
    const std::vector<uint32_t> blue(16, 0xFF4080C0);
    fs::create_directories(folder->Path("sky2"));
    ASSERT_TRUE(host::WriteJpeg(folder->Path("sky2/+z.jpg").string(), 4, 4, blue, 90));
    ASSERT_TRUE(host::WriteJpeg(folder->Path("sky2/-y.jpg").string(), 4, 4, blue, 90));
    sky.Create(device, L"..\\Resource\\sky2", 2048.0f);
    const float a = 2048.0f;

    // Order of creation: +z, -z, -x, +x, +y, -y; the +z picture lies on z = -a.
    ExpectCorner(0, 0, {-a, -a, -a, 0, 1});
    ExpectCorner(0, 1, {a, -a, -a, 1, 1});
    ExpectCorner(0, 3, {a, a, -a, 1, 0});
    ExpectCorner(1, 1, {-a, a, a, 1, 0});
    ExpectCorner(1, 2, {a, -a, a, 0, 1});
    ExpectCorner(2, 2, {-a, -a, a, 0, 1});
    ExpectCorner(3, 1, {a, -a, a, 1, 1});
    ExpectCorner(4, 0, {-a, a, -a, 1, 0});
    ExpectCorner(4, 3, {a, a, a, 0, 1});
    ExpectCorner(5, 1, {-a, -a, a, 1, 0});
    ExpectCorner(5, 3, {a, -a, a, 0, 0});
    // Every corner of a face on its plane: z = -a, z = a, x = -a, x = a, y = a, y = -a.
    const int axis[6] = {2, 2, 0, 0, 1, 1};
    const float side[6] = {-a, a, -a, a, a, -a};
    for (int face = 0; face < 6; ++face) {
        for (int corner = 0; corner < 4; ++corner) {
            const Vertex v = Corner(face, corner);
            const float position[3] = {v.x, v.y, v.z};
            EXPECT_EQ(position[axis[face]], side[face]) << "face " << face << " corner " << corner;
        }
    }

    EXPECT_NE(sky.textures[0], nullptr);
    for (int face = 1; face < 5; ++face) EXPECT_EQ(sky.textures[face], nullptr) << face;
    EXPECT_NE(sky.textures[5], nullptr);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(CountOf("CreateVertexBuffer(80, 0, 258, D3DPOOL_DEFAULT"), 6);
}

TEST_F(SkyBoxTest, DrawCentresTheCubeOnTheCameraAndPutsTheWorldBack) {
    sky.Create(device, L"..\\Resource\\sky2", 2048.0f);
    D3DXMATRIX world;
    D3DXMatrixScaling(&world, 3, 3, 3);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    host::ClearTrace(device);
    sky.Draw(D3DXVECTOR3(10, -20, 30.5f));

    const int centred = IndexOf("SetTransform(D3DTS_WORLD, [1 0 0 0; 0 1 0 0; 0 0 1 0; 10 -20 30.5 1])");
    const int firstDraw = IndexOf("DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2)");
    ASSERT_GE(centred, 0);
    EXPECT_LT(centred, firstDraw);
    EXPECT_EQ(CountOf("DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2)"), 6);
    EXPECT_EQ(CountOf("SetStreamSource(0, ptr, 0, 20)"), 6);
    EXPECT_EQ(CountOf("SetRenderState"), 0) << "the sky changes no render state";
    EXPECT_EQ(CountOf("SetTransform(D3DTS_WORLD, [3 0 0 0; 0 3 0 0; 0 0 3 0; 0 0 0 1])"), 1);
    EXPECT_GT(IndexOf("SetTransform(D3DTS_WORLD, [3 0 0 0"), IndexOf("DrawPrimitive", firstDraw + 1));

    // The pictures are clamped at their edges while the faces are drawn, so no face blends in
    // its opposite edge; the addressing is put back afterwards.
    const int clampU = IndexOf("SetSamplerState(0, D3DSAMP_ADDRESSU, 3)");
    const int clampV = IndexOf("SetSamplerState(0, D3DSAMP_ADDRESSV, 3)");
    EXPECT_TRUE(0 <= clampU && clampU < firstDraw && 0 <= clampV && clampV < firstDraw) << clampU << " " << clampV;

    D3DXMATRIX after;
    device->GetTransform(D3DTS_WORLD, &after);
    EXPECT_TRUE(after == world);
    IDirect3DBaseTexture9* texture = nullptr;
    device->GetTexture(0, &texture);
    EXPECT_EQ(texture, nullptr);
    DWORD address = 0;
    device->GetSamplerState(0, D3DSAMP_ADDRESSU, &address);
    EXPECT_EQ(address, static_cast<DWORD>(D3DTADDRESS_MIRROR));
    device->GetSamplerState(0, D3DSAMP_ADDRESSV, &address);
    EXPECT_EQ(address, static_cast<DWORD>(D3DTADDRESS_WRAP));
}

}  // namespace
