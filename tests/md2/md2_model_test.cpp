// Loading a folder of MD2 files as one model: one mesh per file, skins by file name, the
// model's frames the fewest any loaded mesh has, and failures shown without stopping.
#include "md2/md2_model.h"

#include <host.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
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

class Md2ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        root = fs::temp_directory_path() / ("md2_model_test_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "Hero");
        host::SetResourceFolder(root.string());
        host::SetMessageBoxListener([this](const std::wstring& caption, const std::wstring& text) {
            boxes.push_back({caption, text});
        });
        device = host::CreateTraceDevice();
        model = std::make_unique<Md2Model>(device);
    }
    void TearDown() override {
        model.reset();
        device->Release();
        fs::remove_all(root);
        host::Reset();
    }
    void Put(const std::string& relative, const Model& md2) { WriteFile((root / relative).string(), Bytes(md2)); }
    void PutSkin(const std::string& relative) {
        resgen::WriteColourBitmap((root / relative).string(), 2, 2, std::vector<uint8_t>(12, 90));
    }
    int Draws() const {
        const std::vector<std::string>& calls = host::TraceCalls(device);
        return int(std::count_if(calls.begin(), calls.end(),
                                 [](const std::string& c) { return c.rfind("DrawPrimitive(", 0) == 0; }));
    }

    fs::path root;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<Md2Model> model;
    std::vector<Box> boxes;
};

TEST_F(Md2ModelTest, TwoMeshesAnimateTogetherOverTheFramesBothHave) {
    Put("Hero/weapon.md2", Triangle(3));
    Put("Hero/body.md2", Triangle(5));
    PutSkin("Hero/weapon.bmp");
    PutSkin("Hero/body.bmp");
    model->LoadFolder(L"..\\Resource\\Hero\\", 0.1f);
    ASSERT_EQ(model->meshes.size(), 2u);
    EXPECT_EQ(model->meshes[0]->frameCount, 5) << "body.md2 comes first";
    EXPECT_EQ(model->meshes[1]->frameCount, 3);
    EXPECT_EQ(model->frameCount, 3);
    EXPECT_FALSE(model->firstMesh);
    EXPECT_TRUE(boxes.empty());
    for (const auto& mesh : model->meshes) EXPECT_NE(mesh->skin, nullptr);

    host::ClearTrace(device);
    model->Draw(2, 0, 0.5f, true);
    EXPECT_EQ(Draws(), 2);
}

TEST_F(Md2ModelTest, SkinIsTheFileNameWithBmpAndNoOtherExtension) {
    Put("Hero/PART2.MD2", Triangle(2));
    PutSkin("Hero/part2.jpg");
    model->LoadFolder(L"..\\Resource\\Hero\\", 0.1f);
    ASSERT_EQ(model->meshes.size(), 1u) << "the extension is matched in any case";
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, L"");
    EXPECT_EQ(boxes[0].text, L"载入..\\Resource\\Hero\\PART2.bmp纹理失败");
    EXPECT_EQ(boxes[1].caption, L"读取失败");
    EXPECT_EQ(boxes[1].text, L"..\\Resource\\Hero\\PART2.MD2");
    // Without its skin the mesh still has its frames and is drawn untextured.
    EXPECT_EQ(model->frameCount, 2);
    host::ClearTrace(device);
    model->Draw(0, 1, 0, true);
    EXPECT_EQ(host::TraceCalls(device).front(), "SetTexture(0, null)");
    EXPECT_EQ(Draws(), 1);
}

TEST_F(Md2ModelTest, BrokenFileIsReportedNeverDrawnAndLeavesTheFramesAlone) {
    Model old = Triangle(2);
    old.version = 7;
    Put("Hero/a_old.md2", old);
    Put("Hero/b_good.md2", Triangle(4));
    PutSkin("Hero/a_old.bmp");
    PutSkin("Hero/b_good.bmp");
    model->LoadFolder(L"..\\Resource\\Hero\\", 0.1f);
    ASSERT_EQ(boxes.size(), 1u) << "the skin of a broken file is not tried";
    EXPECT_EQ(boxes[0].caption, L"读取失败");
    EXPECT_EQ(boxes[0].text, L"..\\Resource\\Hero\\a_old.md2");
    ASSERT_EQ(model->meshes.size(), 2u);
    EXPECT_FALSE(model->meshes[0]->HasGeometry());
    EXPECT_EQ(model->frameCount, 4);

    host::ClearTrace(device);
    model->Draw(3, 0, 0, true);
    EXPECT_EQ(Draws(), 1);
}

TEST_F(Md2ModelTest, MissingOrEmptyFolderAddsNothingQuietly) {
    model->LoadFolder(L"..\\Resource\\Nobody\\", 0.1f);
    model->LoadFolder(L"..\\Resource\\Hero\\", 0.1f);
    EXPECT_TRUE(model->meshes.empty());
    EXPECT_EQ(model->frameCount, 0);
    EXPECT_TRUE(model->firstMesh);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Md2ModelTest, PathsLongerThanAHundredCharactersLoad) {
    const std::string deep = "Hero/" + std::string(120, 'd');
    fs::create_directories(root / deep);
    Put(deep + "/" + std::string(60, 'm') + ".md2", Triangle(2));
    PutSkin(deep + "/" + std::string(60, 'm') + ".bmp");
    const std::wstring folder = L"..\\Resource\\Hero\\" + std::wstring(120, L'd') + L"\\";
    model->LoadFolder(folder.c_str(), 0.1f);
    ASSERT_EQ(model->meshes.size(), 1u);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(model->frameCount, 2);
    EXPECT_NE(model->meshes[0]->skin, nullptr);
}

}  // namespace
