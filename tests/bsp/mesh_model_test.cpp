// MeshModel on the trace device: what Load keeps and reports, what Draw asks of the device,
// and the vertex rewrites that place the model (scale, quarter turn, move).
#include "bsp/mesh_model.h"

#include <gtest/gtest.h>
#include <host.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/x_binary_writer.h"
#include "tools/resgen/bitmap_writer.h"

namespace {

// Four positions, three faces with a material each: a texture that exists, one that is
// missing, and none.
const char kModel[] = R"(xof 0303txt 0032
Mesh Model {
 4; 0.0;1.0;0.0;, 1.0;2.0;3.0;, 2.0;0.0;0.0;, 0.0;0.0;2.0;;
 3; 3;0,1,2;, 3;0,2,3;, 3;1,2,3;;
 MeshMaterialList { 3; 3; 0, 1, 2;;
  Material Red { 1.0;0.0;0.0;1.0;; 8.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; TextureFilename { "skin.bmp"; } }
  Material Green { 0.0;1.0;0.0;0.5;; 8.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; TextureFilename { "missing.bmp"; } }
  Material Blue { 0.0;0.0;1.0;1.0;; 8.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; }
 }
}
)";

class MeshModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("mesh_model_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        folder = Wide(dir.string() + "/");
        device = host::CreateTraceDevice();
        host::SetMessageBoxListener([this](const std::wstring& caption, const std::wstring& text) {
            EXPECT_EQ(caption, L"");
            messages.push_back(text);
        });
        ASSERT_TRUE(resgen::WriteColourBitmap((dir / "skin.bmp").string(), 2, 2, std::vector<uint8_t>(12, 200)));
        ASSERT_TRUE(demo_test::WriteText((dir / "model.x").string(), kModel));
    }
    void TearDown() override {
        model.Release();
        device->Release();
        host::SetMessageBoxListener(nullptr);
        std::filesystem::remove_all(dir);
    }

    static std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }
    D3DXVECTOR3 Vertex(DWORD face, int corner) {
        EXPECT_TRUE(model.Lock());
        const BspTriangle t = model.Face(face);
        model.Unlock();
        return corner == 0 ? t.p1 : corner == 1 ? t.p2 : t.p3;
    }
    size_t Count(const std::string& prefix) const {
        size_t n = 0;
        for (const std::string& call : host::TraceCalls(device)) n += call.rfind(prefix, 0) == 0;
        return n;
    }

    std::filesystem::path dir;
    std::wstring folder;
    IDirect3DDevice9* device = nullptr;
    MeshModel model;
    std::vector<std::wstring> messages;
};

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
}

}  // namespace

TEST_F(MeshModelTest, LoadKeepsMaterialsLitByTheirDiffuseAndTexturesFromTheSameFolder) {
    model.Load(device, folder.c_str(), L"model.x");
    ASSERT_EQ(model.materialCount, 3u);
    ASSERT_NE(model.mesh, nullptr);
    EXPECT_EQ(model.device, device);
    EXPECT_EQ(model.indexSize, 16);
    EXPECT_EQ(model.scale, 1.0f);
    EXPECT_EQ(model.position, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(model.FaceCount(), 3u);
    const D3DMATERIAL9& green = model.materials[1];
    EXPECT_EQ(green.Diffuse.g, 1.0f);
    EXPECT_EQ(green.Ambient.g, 1.0f);
    EXPECT_EQ(green.Ambient.a, 0.5f);
    EXPECT_EQ(green.Ambient.r, 0.0f);
    EXPECT_EQ(model.materials[0].Ambient.r, 1.0f);
    EXPECT_NE(model.textures[0], nullptr);
    EXPECT_EQ(model.textures[1], nullptr);
    EXPECT_EQ(model.textures[2], nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"载入" + folder + L"missing.bmp纹理失败");
    ExpectNear(Vertex(1, 2), {0, 0, 2});
}

TEST_F(MeshModelTest, DrawSetsEachSubsetsTextureAndTheMaterialOnlyWhenAsked) {
    model.Load(device, folder.c_str(), L"model.x");
    device->BeginScene();
    host::ClearTrace(device);
    model.Draw(false);
    const std::vector<std::string>& calls = host::TraceCalls(device);
    EXPECT_EQ(Count("SetMaterial("), 0u);
    EXPECT_EQ(Count("DrawIndexedPrimitive("), 3u);
    // Subset by subset: its texture (none for the missing one), then its faces.
    std::vector<std::string> textures;
    for (const std::string& call : calls) {
        if (call.rfind("SetTexture(", 0) == 0) textures.push_back(call);
        if (call.rfind("DrawIndexedPrimitive(", 0) == 0) textures.push_back("draw");
    }
    EXPECT_EQ(textures, (std::vector<std::string>{"SetTexture(0, ptr)", "draw", "SetTexture(0, null)", "draw",
                                                  "SetTexture(0, null)", "draw", "SetTexture(0, null)"}));
    host::ClearTrace(device);
    model.Draw(true);
    EXPECT_EQ(Count("SetMaterial("), 3u);
    EXPECT_EQ(Count("DrawIndexedPrimitive("), 3u);
    device->EndScene();
}

TEST_F(MeshModelTest, AMissingFileIsReportedWithItsPathAndLeavesNothingToDraw) {
    model.Load(device, folder.c_str(), L"nothing.x");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"载入" + folder + L"nothing.x文件失败");
    EXPECT_EQ(model.materialCount, 0u);
    EXPECT_EQ(model.mesh, nullptr);
    EXPECT_EQ(model.FaceCount(), 0u);
    EXPECT_FALSE(model.Lock());
    host::ClearTrace(device);
    model.Draw(true);
    model.Rescale(0.01f);
    model.RotateX(1.0f);
    model.Move(D3DXVECTOR3(1, 2, 3));
    EXPECT_TRUE(host::TraceCalls(device).empty());
}

TEST_F(MeshModelTest, AFileWithMoreVerticesThanSixteenBitIndicesIsReported) {
    constexpr uint32_t kTriangles = 21846;  // 65538 vertices
    std::vector<float> positions;
    std::vector<uint32_t> faces = {kTriangles};
    for (uint32_t t = 0; t < kTriangles; ++t) {
        positions.insert(positions.end(), {float(t), 0, 0, float(t), 1, 0, float(t), 0, 1});
        faces.insert(faces.end(), {3, 3 * t, 3 * t + 1, 3 * t + 2});
    }
    demo_test::XBinaryWriter x;
    x.Begin("Mesh").Integers({kTriangles * 3}).Floats(positions).Integers(faces).Close();
    ASSERT_TRUE(demo_test::WriteBytes((dir / "big.x").string(), x.Bytes()));
    model.Load(device, folder.c_str(), L"big.x");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"载入" + folder + L"big.x文件失败");
    EXPECT_EQ(model.materialCount, 0u);
    EXPECT_EQ(model.mesh, nullptr);
}

TEST_F(MeshModelTest, AQuarterTurnAboutXTakesUpToMinusZ) {
    model.Load(device, folder.c_str(), L"model.x");
    model.RotateX(1.5707964f);
    // (x, y, z) -> (x, z, -y): (0, 1, 0) -> (0, 0, -1), (1, 2, 3) -> (1, 3, -2).
    ExpectNear(Vertex(0, 0), {0, 0, -1});
    ExpectNear(Vertex(0, 1), {1, 3, -2});
    ExpectNear(Vertex(1, 2), {0, 2, 0});
    // About the world's origin, whatever the position.
    model.Move(D3DXVECTOR3(0, 0, 5));
    model.RotateX(-1.5707964f);
    ExpectNear(Vertex(0, 0), {0, -4, 0});
}

TEST_F(MeshModelTest, RescaleWorksAboutThePositionFromTheCurrentScale) {
    model.Load(device, folder.c_str(), L"model.x");
    model.Move(D3DXVECTOR3(10, 0, 0));
    EXPECT_EQ(model.position, D3DXVECTOR3(10, 0, 0));
    ExpectNear(Vertex(0, 1), {11, 2, 3});
    model.Rescale(2.0f);
    EXPECT_EQ(model.scale, 2.0f);
    ExpectNear(Vertex(0, 1), {12, 4, 6});
    ExpectNear(Vertex(0, 0), {10, 2, 0});
    model.Rescale(0.5f);
    ExpectNear(Vertex(0, 1), {10.5f, 1, 1.5f});
    // A move carries the scaled model along.
    model.Move(D3DXVECTOR3(0, -1, 0));
    ExpectNear(Vertex(0, 1), {0.5f, 0, 1.5f});
    model.Rescale(1.0f);
    ExpectNear(Vertex(0, 1), {1, 1, 3});
}
