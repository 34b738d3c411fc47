// The scene's two profile files: what a load makes of them (defaults, long values, counts),
// and what a save writes back (six decimals, every other line kept, the tree count raised by
// planting), through temporary files that leave the old ones alone when anything fails.
#include "scene/scene.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/scene/scene_fixture.h"

namespace {

using namespace scene_test;

constexpr const wchar_t* kObjectFile = L"..\\Resource\\3DResource.ini";
constexpr const wchar_t* kTreeFile = L"..//Resource//tree.ini";

class SceneFilesTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        // The X file's z is its up; standing up turns it into the world's y.
        folder->Write("Things/box.x", BoxXFile(D3DXVECTOR3(-10, -20, 0), D3DXVECTOR3(10, 20, 30)));
    }
    void ReleaseDeviceObjects() override {
        scene.Release();
        reloaded.Release();
    }

    void Load(Scene& target) {
        target.Init(device, kStandUpTurn);
        target.LoadObjects(kObjectFile);
        target.LoadTrees(kTreeFile, 1.0f);
    }

    // The box around a model's vertices, found by walking them here.
    static Box ModelBox(const MeshModel& model) {
        Box box = {D3DXVECTOR3(1e30f, 1e30f, 1e30f), D3DXVECTOR3(-1e30f, -1e30f, -1e30f)};
        void* data = nullptr;
        EXPECT_EQ(model.mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const DWORD stride = model.mesh->GetNumBytesPerVertex();
        for (DWORD v = 0; v < model.mesh->GetNumVertices(); ++v) {
            const auto* p = reinterpret_cast<const float*>(static_cast<const char*>(data) + v * stride);
            for (int axis = 0; axis < 3; ++axis) {
                box.low[axis] = std::min(box.low[axis], p[axis]);
                box.high[axis] = std::max(box.high[axis], p[axis]);
            }
        }
        model.mesh->UnlockVertexBuffer();
        return box;
    }

    static void ExpectBox(const MeshModel& model, const D3DXVECTOR3& low, const D3DXVECTOR3& high) {
        ASSERT_NE(model.mesh, nullptr);
        const Box box = ModelBox(model);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(box.low[axis], low[axis], 1e-4f) << "axis " << axis;
            EXPECT_NEAR(box.high[axis], high[axis], 1e-4f) << "axis " << axis;
        }
    }

    Scene scene;
    Scene reloaded;
};

TEST_F(SceneFilesTest, MissingFilesMakeAnEmptyScene) {
    Load(scene);
    EXPECT_TRUE(scene.objects.empty());
    EXPECT_TRUE(scene.trees.empty());
    EXPECT_EQ(scene.treeMesh.mesh, nullptr);
    EXPECT_EQ(scene.selectedObject, -1);
    EXPECT_EQ(scene.selectedTree, -1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SceneFilesTest, MissingValuesTakeTheirDefaultsAndNumbersStopAtTheirEnd) {
    folder->Write("3DResource.ini",
                  "[3DSNumber]\nnum= 3\n"
                  "[3DS0]\npath=..\\Resource\\Things\\\nname=box.x\n"
                  "[3ds1]\nPATH=..\\Resource\\Things\\\n name = box.x \nsize = 0.5f\nposx=100\nposz=-50.25abc\n"
                  "[3DS2]\npath=..\\Resource\\Things\\\nname=box.x\nsize=2\nposx=not a number\nposy=  7\n");
    folder->Write("tree.ini", "[TreeNumber]\nnum=3\n[Tree0]\nposx=1.5f\nposz=-2\n[Tree2]\n");
    Load(scene);
    ASSERT_EQ(scene.objects.size(), 3u);
    EXPECT_TRUE(boxes.empty());

    const SceneObject& plain = *scene.objects[0];
    EXPECT_EQ(plain.path, L"..\\Resource\\Things\\");
    EXPECT_EQ(plain.name, L"box.x");
    EXPECT_EQ(plain.size, 0.1f);
    EXPECT_EQ(plain.position, D3DXVECTOR3(0, 0, 0));
    // A tenth of (-10 ... 10, -20 ... 20, 0 ... 30), stood up: file z becomes y, file y becomes -z.
    ExpectBox(plain.model, D3DXVECTOR3(-1, 0, -2), D3DXVECTOR3(1, 3, 2));

    const SceneObject& half = *scene.objects[1];
    EXPECT_EQ(half.name, L"box.x");
    EXPECT_EQ(half.size, 0.5f);
    EXPECT_EQ(half.position, D3DXVECTOR3(100, 0, -50.25f));
    ExpectBox(half.model, D3DXVECTOR3(95, 0, -60.25f), D3DXVECTOR3(105, 15, -40.25f));

    const SceneObject& twice = *scene.objects[2];
    EXPECT_EQ(twice.position, D3DXVECTOR3(0, 7, 0));
    ExpectBox(twice.model, D3DXVECTOR3(-20, 7, -40), D3DXVECTOR3(20, 67, 40));

    // Three trees counted, the first and the last written: the one between stands at the origin.
    ASSERT_EQ(scene.trees.size(), 3u);
    EXPECT_EQ(scene.trees[0].position, D3DXVECTOR3(1.5f, 0, -2));
    EXPECT_EQ(scene.trees[1].position, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(scene.trees[2].position, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(scene.trees[1].scale, 1.0f);
}

// A mistyped count must not ask for billions of trees (an allocation that fails ends the
// program) nor for thousands of objects the file does not have, each failing with a box: it
// is cut to the scene limit and to the last numbered section (a gap below it still loads).
TEST_F(SceneFilesTest, HugeCountsAreCutToTheSectionsTheFileHolds) {
    folder->Write("tree.ini", "[TreeNumber]\nnum=2000000000\n[Tree1]\nposx=3\n[tree01]\n[Tree2x]\n");
    folder->Write("3DResource.ini", "[3DSNumber]\nnum=999999999999\n[3ds0]\npath=..\\Resource\\Things\\\nname=box.x\n");
    Load(scene);
    ASSERT_EQ(scene.objects.size(), 1u);
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(scene.trees.size(), 2u);
    EXPECT_EQ(scene.trees[0].position, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(scene.trees[1].position, D3DXVECTOR3(3, 0, 0));

    std::string many = "[TreeNumber]\nnum=2000000000\n";
    for (int i = 0; i <= kMaxSceneEntries; ++i) many += "[Tree" + std::to_string(i) + "]\n";
    folder->Write("tree.ini", many);
    folder->Write("3DResource.ini", "[3DSNumber]\nnum=-5\n[3DS0]\n");
    Load(reloaded);
    EXPECT_TRUE(reloaded.objects.empty());
    EXPECT_EQ(reloaded.trees.size(), static_cast<size_t>(kMaxSceneEntries));
}

// Planting stops at the count a scene file can hold, so every tree saved reads back.
TEST_F(SceneFilesTest, PlantingStopsAtTheSceneLimit) {
    Load(scene);
    for (int i = 0; i < kMaxSceneEntries + 2; ++i) scene.PlantTree(D3DXVECTOR3(static_cast<float>(i), 0, 0));
    ASSERT_EQ(scene.trees.size(), static_cast<size_t>(kMaxSceneEntries));
    EXPECT_EQ(scene.trees.back().position, D3DXVECTOR3(kMaxSceneEntries - 1.0f, 0, 0));
}

TEST_F(SceneFilesTest, ObjectWhoseMeshIsMissingSaysSoStaysAndIsSaved) {
    folder->Write("3DResource.ini", "[3DSNumber]\nnum=1\n[3DS0]\npath=..\\Resource\\Things\\\nname=gone.x\nposx=4\n");
    Load(scene);
    ASSERT_EQ(scene.objects.size(), 1u);
    EXPECT_EQ(scene.objects[0]->model.mesh, nullptr);
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"载入..\\Resource\\Things\\gone.x文件失败"});
    EXPECT_TRUE(scene.Save());
    EXPECT_EQ(folder->Read("3DResource.ini"),
              "[3DSNumber]\nnum=1\n[3DS0]\npath=..\\Resource\\Things\\\nname=gone.x\nposx=4.000000\n"
              "size=0.100000\nposy=0.000000\nposz=0.000000\n");
}

TEST_F(SceneFilesTest, SaveRewritesTheCountedValuesWithSixDecimalsAndKeepsEveryOtherLine) {
    folder->Write("3DResource.ini",
                  "; the village, by hand\r\n"
                  "[3DSNumber]\r\n"
                  "num=1\r\n"
                  "\r\n"
                  "[3DS0]\r\n"
                  "path=..\\Resource\\Things\\\r\n"
                  "name=box.x\r\n"
                  "size=0.1234567\r\n"
                  "posx=-3\r\n"
                  "posy=0\r\n"
                  "posz=2.5\r\n"
                  "colour=red\r\n"
                  "\r\n"
                  "; not counted, so neither read nor removed\r\n"
                  "[3DS1]\r\n"
                  "path=..\\Resource\\Things\\\r\n"
                  "name=missing.x\r\n"
                  "\r\n"
                  "[Notes]\r\n"
                  "author=someone\r\n");
    folder->Write("tree.ini",
                  "[TreeNumber]\r\nnum=1\r\n[Tree0]\r\nposx=1\r\nposy=2\r\nposz=3\r\n"
                  "; a tree taken out by lowering the count\r\n[Tree1]\r\nposx=99\r\n");
    Load(scene);
    ASSERT_EQ(scene.objects.size(), 1u);
    ASSERT_EQ(scene.trees.size(), 1u);
    EXPECT_TRUE(boxes.empty()) << "the uncounted section naming a missing mesh is not read";

    EXPECT_TRUE(scene.Save());
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"保存成功"});
    EXPECT_EQ(boxCaptions, std::vector<std::wstring>{L""});
    EXPECT_EQ(folder->Read("3DResource.ini"),
              "; the village, by hand\r\n"
              "[3DSNumber]\r\n"
              "num=1\r\n"
              "\r\n"
              "[3DS0]\r\n"
              "path=..\\Resource\\Things\\\r\n"
              "name=box.x\r\n"
              "size=0.123457\r\n"
              "posx=-3.000000\r\n"
              "posy=0.000000\r\n"
              "posz=2.500000\r\n"
              "colour=red\r\n"
              "\r\n"
              "; not counted, so neither read nor removed\r\n"
              "[3DS1]\r\n"
              "path=..\\Resource\\Things\\\r\n"
              "name=missing.x\r\n"
              "\r\n"
              "[Notes]\r\n"
              "author=someone\r\n");
    EXPECT_EQ(folder->Read("tree.ini"),
              "[TreeNumber]\r\nnum=1\r\n[Tree0]\r\nposx=1.000000\r\nposy=2.000000\r\nposz=3.000000\r\n"
              "; a tree taken out by lowering the count\r\n[Tree1]\r\nposx=99\r\n");
    EXPECT_FALSE(fs::exists(folder->Path("3DResource.ini.saving")));
    EXPECT_FALSE(fs::exists(folder->Path("tree.ini.saving")));
}

TEST_F(SceneFilesTest, SceneSavedAndLoadedBackIsTheSameScene) {
    folder->Write("3DResource.ini",
                  "[3DSNumber]\nnum=2\n"
                  "[3DS0]\npath=..\\Resource\\Things\\\nname=box.x\nsize=0.25\nposx=10\nposz=20\n"
                  "[3DS1]\npath=..\\Resource\\Things\\\nname=box.x\nsize=1\nposx=-300.5\nposy=1\nposz=400\n");
    folder->Write("tree.ini", "[TreeNumber]\nnum=2\n[Tree0]\nposx=5\nposz=6\n[Tree1]\nposx=-7\nposz=-8\n");
    Load(scene);
    scene.objects[0]->position = D3DXVECTOR3(-123.4567f, 0, 765.4321f);
    scene.objects[0]->model.Move(scene.objects[0]->position);
    scene.objects[1]->size = 1.37f;
    scene.objects[1]->model.Rescale(1.37f);
    scene.MoveTree(1, D3DXVECTOR3(33.25f, 0, -44.5f));
    scene.PlantTree(D3DXVECTOR3(1, 0, 2));
    ASSERT_TRUE(scene.Save());

    Load(reloaded);
    ASSERT_EQ(reloaded.objects.size(), scene.objects.size());
    for (size_t i = 0; i < scene.objects.size(); ++i) {
        const SceneObject& before = *scene.objects[i];
        const SceneObject& after = *reloaded.objects[i];
        EXPECT_EQ(after.path, before.path);
        EXPECT_EQ(after.name, before.name);
        EXPECT_NEAR(after.size, before.size, 5e-7f);
        for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(after.position[axis], before.position[axis], 5e-5f);
        // The same vertices, as the model is placed from what was saved.
        const Box a = ModelBox(after.model), b = ModelBox(before.model);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(a.low[axis], b.low[axis], 1e-3f);
            EXPECT_NEAR(a.high[axis], b.high[axis], 1e-3f);
        }
    }
    ASSERT_EQ(reloaded.trees.size(), 3u);
    EXPECT_EQ(reloaded.trees[0].position, D3DXVECTOR3(5, 0, 6));
    EXPECT_EQ(reloaded.trees[1].position, D3DXVECTOR3(33.25f, 0, -44.5f));
    EXPECT_EQ(reloaded.trees[2].position, D3DXVECTOR3(1, 0, 2));
}

TEST_F(SceneFilesTest, LongFolderAndFileNamesSurviveLoadAndSave) {
    std::string longFolder = "village_objects";
    while (longFolder.size() < 60) longFolder += "_x";
    longFolder.resize(60);
    const std::string longName = std::string(52, 'b') + "_box.x";  // 58 characters
    folder->Write(longFolder + "/" + longName, BoxXFile(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1)));
    const std::string pathLine = "path=..\\Resource\\" + longFolder + "\\\r\n";
    const std::string file = "[3DSNumber]\r\nnum=1\r\n[3DS0]\r\n" + pathLine + "name=" + longName + "\r\n" +
                             "size=1.000000\r\nposx=0.000000\r\nposy=0.000000\r\nposz=0.000000\r\n";
    folder->Write("3DResource.ini", file);
    Load(scene);
    ASSERT_EQ(scene.objects.size(), 1u);
    EXPECT_EQ(scene.objects[0]->path.size(), 73u);
    EXPECT_NE(scene.objects[0]->model.mesh, nullptr);
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(scene.Save());
    EXPECT_EQ(folder->Read("3DResource.ini"), file);
}

TEST_F(SceneFilesTest, PlantedTreesRaiseTheCountAndWriteEveryTreeSection) {
    folder->Write("tree.ini", "[TreeNumber]\r\nnum=1\r\n\r\n[Tree0]\r\nposx=1\r\nposy=0\r\nposz=2\r\n");
    Load(scene);
    scene.PlantTree(D3DXVECTOR3(10, 0, 20));
    scene.PlantTree(D3DXVECTOR3(-30.5f, 0, 40.125f));
    ASSERT_TRUE(scene.Save());
    EXPECT_EQ(folder->Read("tree.ini"),
              "[TreeNumber]\r\nnum=3\r\n\r\n[Tree0]\r\nposx=1.000000\r\nposy=0.000000\r\nposz=2.000000\r\n"
              "[Tree1]\r\nposx=10.000000\r\nposy=0.000000\r\nposz=20.000000\r\n"
              "[Tree2]\r\nposx=-30.500000\r\nposy=0.000000\r\nposz=40.125000\r\n");
    // A scene saved for the first time creates its object file.
    EXPECT_EQ(folder->Read("3DResource.ini"), "[3DSNumber]\r\nnum=0\r\n");
}

// A save whose temporary file cannot be made writes nothing: both old files stay as they
// were, nothing is left beside them, and the box says the save failed.
class FailedSaveTest : public SceneFilesTest {
protected:
    void SetUp() override {
        SceneFilesTest::SetUp();
        folder->Write("3DResource.ini", objects);
        folder->Write("tree.ini", trees);
        Load(scene);
        scene.objects[0]->size = 3.0f;
        scene.PlantTree(D3DXVECTOR3(9, 0, 9));
    }

    void ExpectNothingWritten(const std::string& blocked) {
        EXPECT_FALSE(scene.Save());
        EXPECT_EQ(boxes, std::vector<std::wstring>{L"保存失败"});
        EXPECT_EQ(folder->Read("3DResource.ini"), objects);
        EXPECT_EQ(folder->Read("tree.ini"), trees);
        for (const char* saving : {"3DResource.ini.saving", "tree.ini.saving"}) {
            if (saving != blocked) {
                EXPECT_FALSE(fs::exists(folder->Path(saving))) << saving;
            }
        }
    }

    const std::string objects = "; objects\n[3DSNumber]\nnum=1\n[3DS0]\npath=..\\Resource\\Things\\\nname=box.x\n";
    const std::string trees = "; trees\n[TreeNumber]\nnum=1\n[Tree0]\nposx=3\n";
};

TEST_F(FailedSaveTest, ObjectFileThatCannotBeCopiedLeavesBothFilesAlone) {
    fs::create_directories(folder->Path("3DResource.ini.saving"));
    ExpectNothingWritten("3DResource.ini.saving");
}

TEST_F(FailedSaveTest, TreeFileThatCannotBeCopiedLeavesTheObjectFileAloneToo) {
    fs::create_directories(folder->Path("tree.ini.saving"));
    ExpectNothingWritten("tree.ini.saving");
}

TEST_F(FailedSaveTest, FileInAFolderThatIsAFileCannotBeWrittenAndNothingElseIs) {
    folder->Write("plain", "a file, not a folder");
    scene.objectFile = L"..\\Resource\\plain\\3DResource.ini";
    ExpectNothingWritten("");
    EXPECT_EQ(folder->Read("plain"), "a file, not a folder");
}

// A read-only scene file is not replaced (Windows refuses to write one); the other is left
// alone too.
TEST_F(FailedSaveTest, ReadOnlyTreeFileIsNotReplaced) {
    fs::permissions(folder->Path("tree.ini"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ExpectNothingWritten("");
    fs::permissions(folder->Path("tree.ini"), fs::perms::owner_write, fs::perm_options::add);
}

// The second file's rename fails after the first one's succeeded: the first is put back.
TEST_F(FailedSaveTest, TreeFileThatCannotBeReplacedPutsTheObjectFileBack) {
    const std::string treeFile = folder->Path("tree.ini").string();
    if (std::system(("chattr +i '" + treeFile + "' 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "an immutable file needs chattr and the right to use it";
    }
    ExpectNothingWritten("");
    EXPECT_FALSE(fs::exists(folder->Path("3DResource.ini.undo")));
    std::system(("chattr -i '" + treeFile + "'").c_str());
}

// What a killed save, or a save of a read-only file on Windows, leaves behind (a read-only
// FILE.saving, the platform's hidden temporary of a writer that has ended) does not block
// the next save, which clears it.
TEST_F(SceneFilesTest, LeftoversOfAnEarlierSaveAreCleared) {
    folder->Write("tree.ini", "[TreeNumber]\nnum=0\n");
    folder->Write("tree.ini.saving", "stale");
    fs::permissions(folder->Path("tree.ini.saving"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    // No process has this number, so its writer has ended.
    folder->Write(".tree.ini.saving.2147483647-0.tmp", "abandoned");
    Load(scene);
    scene.PlantTree(D3DXVECTOR3(1, 0, 2));
    EXPECT_TRUE(scene.Save());
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"保存成功"});
    EXPECT_EQ(folder->Read("tree.ini"), "[TreeNumber]\nnum=1\n[Tree0]\nposx=1.000000\nposy=0.000000\nposz=2.000000\n");
    EXPECT_FALSE(fs::exists(folder->Path("tree.ini.saving")));
    EXPECT_FALSE(fs::exists(folder->Path(".tree.ini.saving.2147483647-0.tmp")));
}

// A scene file that is a link is saved into the file it names; the link stays a link.
TEST_F(SceneFilesTest, SaveThroughALinkReplacesTheFileItNames) {
    fs::create_directories(folder->Path("Elsewhere"));
    folder->Write("Elsewhere/trees.ini", "[TreeNumber]\nnum=0\n");
    fs::create_symlink(folder->Path("Elsewhere/trees.ini"), folder->Path("tree.ini"));
    Load(scene);
    scene.PlantTree(D3DXVECTOR3(4, 0, 5));
    EXPECT_TRUE(scene.Save());
    EXPECT_TRUE(fs::is_symlink(folder->Path("tree.ini")));
    EXPECT_EQ(folder->Read("Elsewhere/trees.ini"),
              "[TreeNumber]\nnum=1\n[Tree0]\nposx=4.000000\nposy=0.000000\nposz=5.000000\n");
}

}  // namespace
