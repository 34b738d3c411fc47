// The landscaper program's hooks on the trace device, with the generated village: the order in
// which Init sets things up, and the order in which one frame draws.
#include "programs/landscaper/landscaper_app.h"

#include <host.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/app_shell.h"
#include "framework/input_devices.h"
#include "framework/text_font.h"

namespace {

class LandscaperAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        host::SetResourceFolder(DEMO_RESOURCE_DIR);
        host::SetMessageBoxListener([this](const std::wstring&, const std::wstring& text) { boxes.push_back(text); });
        host::SetTextListener([this](int x, int y, const std::wstring& text) {
            texts.push_back(std::to_string(x) + "," + std::to_string(y) + " " + std::string(text.begin(), text.end()));
            textAt.push_back(static_cast<int>(host::TraceCalls(app.device).size()));
        });
        std::memset(KeyTable, 0, sizeof(KeyTable));
        std::memset(MouseButtons, 0, sizeof(MouseButtons));
        ElapsedTime = 0.016;
        app.device = host::CreateTraceDevice();
        app.Init();
    }
    void TearDown() override {
        app.Cleanup();
        ReleaseFonts();
        app.device->Release();
        app.device = nullptr;
        host::SetResourceFolder("");
        host::Reset();
    }

    const std::vector<std::string>& Calls() const { return host::TraceCalls(app.device); }
    // Positions of every call starting with prefix.
    std::vector<int> All(const std::string& prefix) const {
        std::vector<int> found;
        for (size_t i = 0; i < Calls().size(); ++i) {
            if (Calls()[i].rfind(prefix, 0) == 0) found.push_back(static_cast<int>(i));
        }
        return found;
    }
    int First(const std::string& prefix) const {
        const std::vector<int> found = All(prefix);
        return found.empty() ? -1 : found.front();
    }
    int Last(const std::string& prefix) const {
        const std::vector<int> found = All(prefix);
        return found.empty() ? -1 : found.back();
    }

    LandscaperApp app{nullptr};
    std::vector<std::wstring> boxes;
    std::vector<std::string> texts;
    std::vector<int> textAt;
};

TEST_F(LandscaperAppTest, InitLoadsTheVillageThenTheSkyGroundMinimapAndTrees) {
    EXPECT_TRUE(boxes.empty());
    ASSERT_FALSE(Calls().empty());
    EXPECT_EQ(Calls()[0], "SetRenderState(D3DRS_CULLMODE, 1)") << "culling off before anything else";
    EXPECT_EQ(app.scene.objects.size(), 8u);
    EXPECT_EQ(app.scene.trees.size(), 20u);
    EXPECT_NE(app.scene.treeMesh.mesh, nullptr);
    EXPECT_EQ(app.scene.objectTurn, 1.5707964f);
    EXPECT_EQ(app.scene.selectedObject, -1);
    EXPECT_NE(app.tree.root, nullptr) << "ini.bsp was read";

    // The objects' meshes (system-memory buffers) come first; then the six sky faces, the
    // ground, the minimap's disc and quads, and last the tree mesh (managed buffers).
    const std::vector<int> quads = All("CreateVertexBuffer(80, 0, 258, D3DPOOL_DEFAULT");
    ASSERT_EQ(quads.size(), 9u) << "six sky faces, the ground, the minimap's frame and marker";
    int objectBuffers = 0, lastObject = -1;
    for (size_t i = 0; i < Calls().size(); ++i) {
        if (Calls()[i].find("D3DPOOL_SYSTEMMEM") != std::string::npos) {
            ++objectBuffers;
            lastObject = static_cast<int>(i);
        }
    }
    EXPECT_EQ(objectBuffers, 16) << "a vertex and an index buffer for each of the 8 objects";
    EXPECT_LT(lastObject, quads[0]);
    const std::vector<int> filters = All("SetSamplerState(0, D3DSAMP_MINFILTER, 2)");
    ASSERT_EQ(filters.size(), 3u) << "after the sky, after the ground, and on their own";
    EXPECT_TRUE(quads[5] < filters[0] && filters[0] < quads[6] && quads[6] < filters[1]);
    const int disc = First("CreateVertexBuffer(200, 0, 258, D3DPOOL_DEFAULT");
    const int treeMesh = First("CreateVertexBuffer(760, 0, 258, D3DPOOL_MANAGED");
    EXPECT_TRUE(filters[1] < disc && disc < quads[7] && quads[8] < treeMesh) << disc << " " << treeMesh;

    // Then the light and the blending for the cut-out leaves, which are the last calls.
    const int ambient = First("SetRenderState(D3DRS_AMBIENT, 0xff191919)");
    EXPECT_LT(treeMesh, ambient);
    const std::vector<int> lights = All("SetLight(0, {D3DLIGHT_DIRECTIONAL, Diffuse (1, 1, 1, 1), Specular (0.2, 0.2, "
                                        "0.2, 1), Ambient (1, 1, 1, 0), Position (0, 0, 0), Direction (0.707107, "
                                        "-0.707107, 0)");
    ASSERT_EQ(lights.size(), 2u);
    EXPECT_EQ(First("LightEnable(0, 1)"), lights[0] + 1);
    EXPECT_EQ(lights[1], lights[0] + 2);
    EXPECT_LT(ambient, lights[0]);
    EXPECT_LT(lights[1], filters[2]);
    const std::vector<std::string> tail(Calls().end() - 6, Calls().end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "SetTextureStageState(0, D3DTSS_ALPHAARG1, 2)", "SetTextureStageState(0, D3DTSS_ALPHAOP, 2)",
                        "SetRenderState(D3DRS_SRCBLEND, 5)", "SetRenderState(D3DRS_DESTBLEND, 6)",
                        "SetRenderState(D3DRS_ALPHAREF, 1)", "SetRenderState(D3DRS_ALPHAFUNC, 7)"}));
    EXPECT_EQ(app.overlayFont.height, 18);
    EXPECT_EQ(app.overlayFont.colour, 0xFFFFFFFFu);
}

TEST_F(LandscaperAppTest, FrameDrawsTextThenSkyGroundObjectsTreesAndMinimapWithBlending) {
    app.camera.position = D3DXVECTOR3(5, 6, 7);
    host::ClearTrace(app.device);
    app.Frame();

    EXPECT_EQ(Calls().front(), "Clear(0, null, 3, 0xff000000, 1, 0)");
    EXPECT_EQ(Calls().back(), "Present(null, null, null, null)");
    EXPECT_EQ(Calls()[Calls().size() - 2], "EndScene()");
    const int begin = First("BeginScene()");
    const int material = First("SetMaterial({Diffuse (1, 1, 1, 1), Ambient (1, 1, 1, 1), Specular (1, 1, 1, 1), "
                               "Emissive (0, 0, 0, 0), Power 10})");
    const int view = First("SetTransform(D3DTS_VIEW, ");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].substr(0, 6), "10,10 ");
    const int sky = First("SetTransform(D3DTS_WORLD, [1 0 0 0; 0 1 0 0; 0 0 1 0; 5 6 7 1])");
    // Blending and the alpha test go on after the text (whose font sets its own) and before the sky.
    EXPECT_EQ(Calls()[sky - 3], "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)");
    EXPECT_EQ(Calls()[sky - 2], "SetRenderState(D3DRS_ALPHATESTENABLE, 1)");
    EXPECT_EQ(Calls()[sky - 1], "GetTransform(D3DTS_WORLD, ptr)");
    EXPECT_TRUE(0 < begin && begin < material && material < view && view < textAt[0] && textAt[0] < sky)
        << begin << " " << material << " " << view << " " << textAt[0] << " " << sky;

    // The sky and the ground: seven strips; the first object after them.
    const std::vector<int> strips = All("DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2)");
    ASSERT_GE(strips.size(), 9u);
    EXPECT_LT(sky, strips[0]);
    const int firstMesh = First("DrawIndexedPrimitive(");
    EXPECT_LT(strips[6], firstMesh);
    // Twenty trees of two subsets each, then the minimap's disc, frame and marker.
    const std::vector<int> meshes = All("DrawIndexedPrimitive(");
    const int fan = First("DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 8)");
    ASSERT_GE(meshes.size(), 40u);
    EXPECT_LT(meshes.back(), fan);
    EXPECT_EQ(strips.size(), 9u);
    EXPECT_TRUE(fan < strips[7] && strips[8] < Last("SetRenderState(D3DRS_ALPHATESTENABLE, 0)"));
    const std::vector<std::string> end(Calls().end() - 4, Calls().end());
    EXPECT_EQ(end, (std::vector<std::string>{"SetRenderState(D3DRS_ALPHABLENDENABLE, 0)",
                                             "SetRenderState(D3DRS_ALPHATESTENABLE, 0)", "EndScene()",
                                             "Present(null, null, null, null)"}));
    // The shared tree mesh ends where the first tree stands.
    EXPECT_EQ(app.scene.treeMesh.position, app.scene.trees[0].position);
}

}  // namespace
