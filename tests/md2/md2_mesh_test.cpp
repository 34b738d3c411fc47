// Drawing one MD2 mesh on the trace device: each strip and fan goes out through the vertex
// buffer on its own, blended between two key frames, with key frame A's normals (turned round
// for fans) and v = 1 - t.
#include "md2/md2_mesh.h"

#include <host.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/md2/md2_test_files.h"
#include "tools/resgen/bitmap_writer.h"

namespace fs = std::filesystem;

namespace {

using namespace md2_test;

struct Box {
    std::wstring caption, text;
};

class Md2MeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        folder = fs::temp_directory_path() / ("md2_mesh_test_" + std::to_string(getpid()));
        fs::create_directories(folder);
        host::SetMessageBoxListener([this](const std::wstring& caption, const std::wstring& text) {
            boxes.push_back({caption, text});
        });
        device = host::CreateTraceDevice();
    }
    void TearDown() override {
        mesh.reset();
        device->Release();
        fs::remove_all(folder);
        host::Reset();
    }

    // Loads the model with a 4 × 4 skin beside it, and starts a fresh trace.
    void Load(const Model& model) {
        WriteFile(Path("mesh.md2"), Bytes(model));
        resgen::WriteColourBitmap(Path("mesh.bmp"), 4, 4, std::vector<uint8_t>(4 * 4 * 3, 200));
        mesh = std::make_unique<Md2Mesh>(device);
        ASSERT_TRUE(mesh->Load(Wide("mesh.md2").c_str(), Wide("mesh.bmp").c_str(), 0.1f));
        host::ClearTrace(device);
    }
    std::string Path(const std::string& name) const { return (folder / name).string(); }
    std::wstring Wide(const std::string& name) const { return (folder / name).wstring(); }

    // What the last command left in the vertex buffer.
    std::vector<Md2DrawVertex> LastCommand(size_t vertices) {
        std::vector<Md2DrawVertex> out(vertices);
        void* data = nullptr;
        EXPECT_EQ(mesh->vertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        std::memcpy(out.data(), data, vertices * sizeof(Md2DrawVertex));
        mesh->vertexBuffer->Unlock();
        return out;
    }

    fs::path folder;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<Md2Mesh> mesh;
    std::vector<Box> boxes;
};

TEST_F(Md2MeshTest, SendsEachStripAndFanThroughTheVertexBuffer) {
    Model model;
    Frame frame;
    frame.vertices.assign(4, {1, 2, 3, 7});
    model.frames = {frame};
    model.commandWords =
        Commands({{4, {{0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 0, 3}}}, {-3, {{0, 0, 3}, {0, 0, 2}, {0, 0, 1}}}});
    Load(model);
    EXPECT_EQ(mesh->frameCount, 1);
    EXPECT_EQ(mesh->vertexCount, 4);
    EXPECT_EQ(mesh->frameSize, 56);
    EXPECT_EQ(mesh->commandWords, 1 + 12 + 1 + 9 + 1);
    EXPECT_EQ(mesh->drawVertices.size(), 4u);

    mesh->Draw(0, 0, 0, true);
    const std::vector<std::string> expected = {
        "SetTexture(0, ptr)",
        "SetStreamSource(0, ptr, 0, 32)",
        "SetFVF(274)",
        "DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2)",
        "SetStreamSource(0, ptr, 0, 32)",
        "SetFVF(274)",
        "DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 1)",
        "SetTexture(0, null)",
    };
    EXPECT_EQ(host::TraceCalls(device), expected);

    host::ClearTrace(device);
    mesh->Draw(0, 0, 0, false);
    EXPECT_EQ(host::TraceCalls(device).front(), "SetTexture(0, null)") << "untextured";
}

TEST_F(Md2MeshTest, BlendsPositionsButTakesKeyFrameANormalsTurnedRoundForFans) {
    Model model;
    Frame first, second;
    first.vertices = {{0, 0, 0, 0}, {10, 20, 30, 0}, {0, 0, 0, 0}};
    second.vertices = {{0, 0, 0, 5}, {50, 60, 70, 5}, {0, 0, 0, 5}};
    model.frames = {first, second};
    model.commandWords = Commands({{-3, {{0.5f, 0.25f, 1}, {0, 0, 0}, {1, 1, 2}}}});
    Load(model);
    mesh->Draw(0, 1, 0.25f, true);
    const Md2DrawVertex v = LastCommand(3)[0];
    // (1, 3, 2) blended a quarter of the way to (5, 7, 6).
    EXPECT_FLOAT_EQ(v.x, 2.0f);
    EXPECT_FLOAT_EQ(v.y, 4.0f);
    EXPECT_FLOAT_EQ(v.z, 3.0f);
    // Table entry 0 is (-0.525731, 0, 0.850651), without exchanging its axes.
    EXPECT_FLOAT_EQ(v.nx, 0.525731f);
    EXPECT_FLOAT_EQ(v.ny, 0.0f);
    EXPECT_FLOAT_EQ(v.nz, -0.850651f);
    EXPECT_FLOAT_EQ(v.u, 0.5f);
    EXPECT_FLOAT_EQ(v.v, 0.75f);
    const Md2DrawVertex last = LastCommand(3)[2];
    EXPECT_FLOAT_EQ(last.u, 1.0f);
    EXPECT_FLOAT_EQ(last.v, 0.0f) << "t = 1 maps to v = 0";

    mesh->Draw(1, 0, 0, true);
    EXPECT_FLOAT_EQ(LastCommand(3)[0].x, 5.0f) << "weight 0 is key frame a";
}

TEST_F(Md2MeshTest, StripsKeepTheTableNormal) {
    Model model = Triangle(1);
    model.frames[0].vertices[0].normal = 161;
    Load(model);
    mesh->Draw(0, 0, 0, true);
    const Md2DrawVertex v = LastCommand(3)[0];
    EXPECT_FLOAT_EQ(v.nx, -0.688191f);
    EXPECT_FLOAT_EQ(v.ny, -0.587785f);
    EXPECT_FLOAT_EQ(v.nz, -0.425325f);
    EXPECT_FLOAT_EQ(v.v, 1.0f) << "t = 0 maps to v = 1";
}

TEST_F(Md2MeshTest, EmptyCommandListStillSetsAndClearsTheTexture) {
    Model model = Triangle(1);
    model.commandWords = Commands({});
    Load(model);
    mesh->Draw(0, 0, 0.5f, true);
    EXPECT_EQ(host::TraceCalls(device), (std::vector<std::string>{"SetTexture(0, ptr)", "SetTexture(0, null)"}));
}

TEST_F(Md2MeshTest, FramesTheMeshDoesNotHaveDrawNothing) {
    Load(Triangle(2));
    mesh->Draw(2, 0, 0, true);
    mesh->Draw(0, -1, 0, true);
    EXPECT_TRUE(host::TraceCalls(device).empty());
}

TEST_F(Md2MeshTest, SkinTurnsOnLinearFilteringAndAMissingSkinSaysSo) {
    WriteFile(Path("mesh.md2"), Bytes(Triangle(1)));
    resgen::WriteColourBitmap(Path("mesh.bmp"), 4, 4, std::vector<uint8_t>(48, 9));
    mesh = std::make_unique<Md2Mesh>(device);
    ASSERT_TRUE(mesh->LoadGeometry(Wide("mesh.md2").c_str()));
    host::ClearTrace(device);
    ASSERT_TRUE(mesh->LoadSkin(Wide("mesh.bmp").c_str()));
    std::vector<std::string> samplers;
    for (const std::string& call : host::TraceCalls(device))
        if (call.rfind("SetSamplerState", 0) == 0) samplers.push_back(call);
    const std::vector<std::string> expected = {"SetSamplerState(0, D3DSAMP_MINFILTER, 2)",
                                               "SetSamplerState(0, D3DSAMP_MAGFILTER, 2)",
                                               "SetSamplerState(0, D3DSAMP_MIPFILTER, 2)"};
    EXPECT_EQ(samplers, expected);

    EXPECT_FALSE(mesh->LoadSkin(Wide("missing.bmp").c_str()));
    EXPECT_EQ(mesh->skin, nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"");
    EXPECT_EQ(boxes[0].text, L"载入" + Wide("missing.bmp") + L"纹理失败");
}

TEST_F(Md2MeshTest, LoadNeedsBothPathsAndTriesNoSkinAfterBadGeometry) {
    mesh = std::make_unique<Md2Mesh>(device);
    EXPECT_FALSE(mesh->Load(nullptr, L"x.bmp", 0.5f));
    EXPECT_FLOAT_EQ(mesh->scale, 0.5f);
    EXPECT_FALSE(mesh->Load(Wide("absent.md2").c_str(), Wide("absent.bmp").c_str(), 0.1f));
    EXPECT_TRUE(boxes.empty()) << "the skin is not tried";
    EXPECT_FALSE(mesh->HasGeometry());
    EXPECT_EQ(mesh->vertexBuffer, nullptr);
}

}  // namespace
