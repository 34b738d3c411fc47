// Picking and placement: the ray under the cursor, the triangles gathered for the BSP tree,
// where a dragged or planted thing lands, and the per-frame step that selects, drags,
// resizes, drops, saves and plants.
#include "scene/picking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/scene/scene_fixture.h"

namespace {

using namespace scene_test;

constexpr const wchar_t* kObjectFile = L"..\\Resource\\3DResource.ini";
constexpr const wchar_t* kTreeFile = L"..//Resource//tree.ini";

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tolerance, const std::string& what = "") {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

// A box that stands in the world from low to high once the scene has stood it up: the X
// file's z becomes the world's y and its y the world's -z.
Box Standing(const D3DXVECTOR3& low, const D3DXVECTOR3& high) {
    return {D3DXVECTOR3(low.x, -high.z, low.y), D3DXVECTOR3(high.x, -low.z, high.y)};
}

// One object section of the object file: its mesh in Things/, size 1, at the origin.
std::string ObjectSection(int number, const std::string& mesh) {
    return "[3DS" + std::to_string(number) + "]\npath=..\\Resource\\Things\\\nname=" + mesh + "\nsize=1\n";
}

class PickingTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        D3DXMATRIX projection;
        // A quarter turn from top to bottom; 0.75 across for every unit up.
        D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 4.0f / 3.0f, 1.0f, 5000.0f);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        Look(D3DXVECTOR3(0, 10, -100), D3DXVECTOR3(0, 10, 0));
    }
    void ReleaseDeviceObjects() override {
        scene.Release();
        bsp.Clear();
    }

    void Look(const D3DXVECTOR3& from, const D3DXVECTOR3& at) {
        eye = from;
        D3DXMATRIX view;
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &from, &at, &up);
        device->SetTransform(D3DTS_VIEW, &view);
    }

    // The scene from the object file's sections and the tree file's text.
    void Load(const std::vector<std::string>& objectSections, const std::string& treeFile = "") {
        std::string objects = "[3DSNumber]\nnum=" + std::to_string(objectSections.size()) + "\n";
        for (const std::string& section : objectSections) objects += section;
        folder->Write("3DResource.ini", objects);
        if (!treeFile.empty()) folder->Write("tree.ini", treeFile);
        scene.Init(device, kStandUpTurn);
        scene.LoadObjects(kObjectFile);
        scene.LoadTrees(kTreeFile, 1.0f);
        ASSERT_TRUE(boxes.empty()) << "every mesh loads";
    }

    // One frame of the user's work with the cursor at a client position.
    void Frame(int x, int y) {
        SetCursorPos(x, y);
        scene.UpdateSelection(eye, &bsp);
    }
    // A frame with the left button down, then one with it up again.
    void Click(int x, int y) {
        MouseButtons[0] = 1;
        Frame(x, y);
        MouseButtons[0] = 0;
        Frame(x, y);
    }

    Box ModelBox(const MeshModel& model) {
        D3DXVECTOR3 low, high;
        void* data = nullptr;
        EXPECT_EQ(model.mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        D3DXComputeBoundingBox(static_cast<const D3DXVECTOR3*>(data), model.mesh->GetNumVertices(),
                               model.mesh->GetNumBytesPerVertex(), &low, &high);
        model.mesh->UnlockVertexBuffer();
        return {low, high};
    }

    D3DXVECTOR3 TreeVertex(int index) {
        void* data = nullptr;
        EXPECT_EQ(scene.treeMesh.mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const float* v = static_cast<const float*>(data) + 5 * index;
        const D3DXVECTOR3 position(v[0], v[1], v[2]);
        scene.treeMesh.mesh->UnlockVertexBuffer();
        return position;
    }

    Scene scene;
    BspTree bsp;
    D3DXVECTOR3 eye;
};

// ---- the ray and the placement point ----------------------------------------------------

TEST_F(PickingTest, RayThroughTheMiddleIsTheViewDirection) {
    Look(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(11, 2, 3));
    const Ray middle = PickRay(device, 400, 300);
    ExpectNear(middle.origin, D3DXVECTOR3(1, 2, 3), 1e-5f);
    ExpectNear(middle.direction, D3DXVECTOR3(1, 0, 0), 1e-6f);

    // The right edge is 1 / 0.75 across for 1 along: (4/3, 0, 1) normalised is (0.8, 0, 0.6);
    // looking along +x, the camera's right is -z.
    const Ray right = PickRay(device, 800, 300);
    ExpectNear(right.direction, D3DXVECTOR3(0.6f, 0, -0.8f), 1e-6f);
    // The top edge is one up for one along.
    const Ray top = PickRay(device, 400, 0);
    ExpectNear(top.direction, D3DXVECTOR3(std::sqrt(0.5f), std::sqrt(0.5f), 0), 1e-6f);

    // With a world matrix the ray is in the world matrix's own space.
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 10, 0, 0);
    device->SetTransform(D3DTS_WORLD, &world);
    ExpectNear(PickRay(device, 400, 300).origin, D3DXVECTOR3(-9, 2, 3), 1e-5f);
}

TEST_F(PickingTest, PlacePointIsOnTheGroundWithin1024AndOnTheSkyBeyond) {
    const D3DXVECTOR3 camera(0, 10, 0);
    auto place = [&](const D3DXVECTOR3& direction, const D3DXVECTOR3& from) {
        D3DXVECTOR3 unit;
        D3DXVec3Normalize(&unit, &direction);
        return PlacePoint(Ray{from, unit}, from, 1024.0f, 2048.0f);
    };
    ExpectNear(place(D3DXVECTOR3(0, -1, 1), camera), D3DXVECTOR3(0, 0, 10), 1e-4f);
    ExpectNear(place(D3DXVECTOR3(1000, -10, 0), camera), D3DXVECTOR3(1000, 0, 0), 1e-2f);
    // Past the ground's edge at 1100: on to the sky face x = 2048, 2048 / 1100 of the way down.
    ExpectNear(place(D3DXVECTOR3(1100, -10, 0), camera), D3DXVECTOR3(2048, 10 - 10 * 2048.0f / 1100, 0), 1e-2f);
    // Up into the sky, which travels with the camera.
    const D3DXVECTOR3 away(100, 50, -30);
    ExpectNear(place(D3DXVECTOR3(0, 1, 0), away), D3DXVECTOR3(100, 2098, -30), 1e-2f);
    ExpectNear(place(D3DXVECTOR3(-1, 0, 0), away), D3DXVECTOR3(-1948, 50, -30), 1e-2f);
    // Below the ground, looking up at it from under the square.
    ExpectNear(place(D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(5, -20, 6)), D3DXVECTOR3(5, 0, 6), 1e-4f);
}

// ---- gathering ----------------------------------------------------------------------------

TEST_F(PickingTest, GatheringRunsBackwardsSkipsDegenerateFacesAndTakesTheFirstSubsetOfEachTree) {
    // Object 1 has one face with two equal corners (vertices 0 and 3 share a place).
    folder->Write("Things/flat.x",
                  "xof 0303txt 0032\nMesh Flat {\n 4;\n 0.0;0.0;0.0;,\n 1.0;0.0;0.0;,\n 0.0;1.0;0.0;,\n"
                  " 0.0;0.0;0.0;;\n 3;\n 3;0,1,2;,\n 3;3,1,0;,\n 3;1,2,3;;\n"
                  " MeshMaterialList {\n  1;\n  3;\n  0,0,0;;\n  Material {\n   1.0;1.0;1.0;1.0;;\n   10.0;\n"
                  "   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n  }\n }\n}\n");
    folder->Write("Things/box.x", BoxXFile(D3DXVECTOR3(-10, -20, 0), D3DXVECTOR3(10, 20, 30)));
    folder->Write("tree.mesh", SmallTree().Text());
    Load({ObjectSection(0, "box.x"), ObjectSection(1, "flat.x")},
         "[TreeNumber]\nnum=2\n[Tree0]\nposx=100\n[Tree1]\nposz=50\n");

    const std::vector<BspTriangle> triangles = GatherTriangles(scene);
    // 12 box faces, 2 of the flat object's 3, 3 of the tree's 4 at each of two trees.
    ASSERT_EQ(triangles.size(), 20u);
    // The last gathered comes first: tree 1's third face (corners 0, 3, 4) at (0, 0, 50).
    ExpectNear(triangles[0].p1, D3DXVECTOR3(0, 0, 50), 1e-5f);
    ExpectNear(triangles[0].p2, D3DXVECTOR3(0, 0, 53), 1e-5f);
    ExpectNear(triangles[0].p3, D3DXVECTOR3(4, 5, 56), 1e-5f);
    // Tree 0's first face (corners 0, 1, 2) at (100, 0, 0).
    ExpectNear(triangles[5].p1, D3DXVECTOR3(100, 0, 0), 1e-5f);
    ExpectNear(triangles[5].p3, D3DXVECTOR3(100, 2, 0), 1e-5f);
    // The flat object's faces 2 and 0; turned, its (0, 1, 0) stands at (0, 0, -1).
    ExpectNear(triangles[6].p1, D3DXVECTOR3(1, 0, 0), 1e-5f);
    ExpectNear(triangles[7].p3, D3DXVECTOR3(0, 0, -1), 1e-5f);
    // The box's first face comes last: file corners 0, 2, 1 turned from (x, y, z) to (x, z, -y).
    ExpectNear(triangles[19].p1, D3DXVECTOR3(-10, 0, 20), 1e-4f);
    ExpectNear(triangles[19].p2, D3DXVECTOR3(-10, 0, -20), 1e-4f);
    ExpectNear(triangles[19].p3, D3DXVECTOR3(10, 0, 20), 1e-4f);
    // The shared mesh is back at tree 0.
    EXPECT_EQ(scene.treeMesh.position, D3DXVECTOR3(100, 0, 0));
    ExpectNear(TreeVertex(4), D3DXVECTOR3(104, 5, 6), 1e-5f);
}

TEST_F(PickingTest, DrawingTheTreesFrameAfterFrameLeavesTheSharedMeshWhereItStood) {
    folder->Write("tree.mesh", SmallTree().Text());
    std::string trees = "[TreeNumber]\nnum=20\n";
    for (int i = 0; i < 20; ++i) {
        trees += "[Tree" + std::to_string(i) + "]\nposx=" + std::to_string(-437.3 + 41.7 * i) +
                 "\nposz=" + std::to_string(311.9 - 29.3 * i) + "\n";
    }
    Load({}, trees);
    scene.DrawTrees();
    std::vector<D3DXVECTOR3> first;
    for (int v = 0; v < 6; ++v) first.push_back(TreeVertex(v));
    host::SetTraceRecording(device, false);
    for (int frame = 0; frame < 2000; ++frame) scene.DrawTrees();
    for (int v = 0; v < 6; ++v) ExpectNear(TreeVertex(v), first[v], 1e-4f, "vertex " + std::to_string(v));
}

// ---- the per-frame step -------------------------------------------------------------------

TEST_F(PickingTest, ClickOnAnObjectSelectsItAndOnBareGroundSelectsNothing) {
    folder->Write("Things/box.x", BoxesXFile({Standing(D3DXVECTOR3(-5, 0, -5), D3DXVECTOR3(5, 20, 5))}));
    Load({ObjectSection(0, "box.x")});
    // Below the middle the ray meets the ground at z = -80, far in front of the box.
    Click(400, 450);
    EXPECT_EQ(scene.selectedObject, -1);
    EXPECT_EQ(scene.selectedTree, -1);
    ASSERT_NE(bsp.root, nullptr) << "the tree is built from the scene at each click";

    Click(400, 300);
    EXPECT_EQ(scene.selectedObject, 0);
    EXPECT_EQ(scene.selectedTree, -1);
}

// Random triangles crossing each other split without end (500 of them made millions of
// nodes): the click stops at its node budget, leaves the tree empty and keeps the selection.
TEST_F(PickingTest, ClickOnTangledGeometryStopsAtItsNodeBudgetAndKeepsTheSelection) {
    folder->Write("Things/box.x", BoxesXFile({Standing(D3DXVECTOR3(-5, 0, -5), D3DXVECTOR3(5, 20, 5))}));
    constexpr int kTriangles = 200;
    std::mt19937 random(19);
    std::uniform_real_distribution<float> place(-50.0f, 50.0f);
    std::string mesh = "xof 0303txt 0032\nMesh Tangle {\n " + std::to_string(3 * kTriangles) + ";\n";
    for (int v = 0; v < 3 * kTriangles; ++v) {
        mesh += " " + std::to_string(place(random)) + ";" + std::to_string(place(random)) + ";" +
                std::to_string(place(random) + 50.0f) + (v + 1 < 3 * kTriangles ? ";,\n" : ";;\n");
    }
    mesh += " " + std::to_string(kTriangles) + ";\n";
    for (int f = 0; f < kTriangles; ++f) {
        mesh += " 3;" + std::to_string(3 * f) + "," + std::to_string(3 * f + 1) + "," + std::to_string(3 * f + 2) +
                (f + 1 < kTriangles ? ";,\n" : ";;\n");
    }
    folder->Write("Things/tangle.x", mesh + "}\n");
    Load({ObjectSection(0, "box.x"), ObjectSection(1, "tangle.x")});
    scene.selectedObject = 0;
    Click(400, 300);
    EXPECT_EQ(bsp.root, nullptr);
    EXPECT_EQ(scene.selectedObject, 0);
}

TEST_F(PickingTest, OverlappingBoxesPickTheEarlierObjectEvenWhenTheOtherWasHit) {
    // Object 0 is two posts either side of the middle: its box spans the gap where object 1,
    // the one the ray meets, stands.
    folder->Write("Things/posts.x", BoxesXFile({Standing(D3DXVECTOR3(-30, 0, -10), D3DXVECTOR3(-20, 20, 10)),
                                                Standing(D3DXVECTOR3(20, 0, -10), D3DXVECTOR3(30, 20, 10))}));
    folder->Write("Things/far_posts.x", BoxesXFile({Standing(D3DXVECTOR3(20, 0, -10), D3DXVECTOR3(30, 20, 10)),
                                                    Standing(D3DXVECTOR3(40, 0, -10), D3DXVECTOR3(50, 20, 10))}));
    folder->Write("Things/box.x", BoxesXFile({Standing(D3DXVECTOR3(-5, 0, -5), D3DXVECTOR3(5, 20, 5))}));
    Load({ObjectSection(0, "posts.x"), ObjectSection(1, "box.x")});
    Click(400, 300);
    EXPECT_EQ(scene.selectedObject, 0);

    scene.Release();
    Load({ObjectSection(0, "far_posts.x"), ObjectSection(1, "box.x")});
    Click(400, 300);
    EXPECT_EQ(scene.selectedObject, 1) << "posts whose box leaves the middle free";
}

TEST_F(PickingTest, SelectedObjectFollowsTheCursorOnTheGroundAndOnTheSkyBeyondIt) {
    folder->Write("Things/box.x", BoxesXFile({Standing(D3DXVECTOR3(-5, 0, -5), D3DXVECTOR3(5, 20, 5))}));
    Load({ObjectSection(0, "box.x")});
    Click(400, 300);
    ASSERT_EQ(scene.selectedObject, 0);
    const SceneObject& object = *scene.objects[0];

    // Half way down the lower half: down 1 for every 2 along, so the ground at 20 along.
    Frame(400, 450);
    ExpectNear(object.position, D3DXVECTOR3(0, 0, -80), 1e-3f);
    Box box = ModelBox(object.model);
    ExpectNear(box.low, D3DXVECTOR3(-5, 0, -85), 1e-3f);
    ExpectNear(box.high, D3DXVECTOR3(5, 20, -75), 1e-3f);

    // One pixel below the middle: the ground is met 3000 along, past its edge at 1024, so the
    // object goes to the sky's face 2048 in front of the camera.
    Frame(400, 301);
    ExpectNear(object.position, D3DXVECTOR3(0, 10 - 2048.0f / 300, 1948), 2e-2f);

    // The right button drops it where it is.
    MouseButtons[1] = 1;
    Frame(400, 450);
    MouseButtons[1] = 0;
    EXPECT_EQ(scene.selectedObject, -1);
    Frame(400, 400);
    ExpectNear(object.position, D3DXVECTOR3(0, 10 - 2048.0f / 300, 1948), 2e-2f);
}

TEST_F(PickingTest, KeypadPlusAndMinusResizeByAHundredthEveryFrame) {
    folder->Write("Things/box.x", BoxesXFile({Standing(D3DXVECTOR3(-5, 0, -5), D3DXVECTOR3(5, 20, 5))}));
    Load({ObjectSection(0, "box.x")});
    Click(400, 300);
    ASSERT_EQ(scene.selectedObject, 0);
    SceneObject& object = *scene.objects[0];

    KeyTable[VK_ADD] = 1;
    for (int frame = 0; frame < 3; ++frame) Frame(400, 450);
    KeyTable[VK_ADD] = 0;
    EXPECT_NEAR(object.size, 1.03f, 1e-6f);
    Box box = ModelBox(object.model);
    // Scaled about where it stands, (0, 0, -80).
    ExpectNear(box.low, D3DXVECTOR3(-5.15f, 0, -85.15f), 1e-3f);
    ExpectNear(box.high, D3DXVECTOR3(5.15f, 20.6f, -74.85f), 1e-3f);

    KeyTable[VK_SUBTRACT] = 1;
    for (int frame = 0; frame < 5; ++frame) Frame(400, 450);
    KeyTable[VK_SUBTRACT] = 0;
    EXPECT_NEAR(object.size, 0.98f, 1e-6f);
    box = ModelBox(object.model);
    ExpectNear(box.high, D3DXVECTOR3(4.9f, 19.6f, -75.1f), 1e-3f);
}

TEST_F(PickingTest, ShrinkingThroughZeroDoesNotCollapseTheObjectForGood) {
    folder->Write("Things/box.x", BoxesXFile({Standing(D3DXVECTOR3(-5, 0, -5), D3DXVECTOR3(5, 20, 5))}));
    Load({"[3DS0]\npath=..\\Resource\\Things\\\nname=box.x\nsize=0.02\n"});
    Look(D3DXVECTOR3(0, 0.2f, -100), D3DXVECTOR3(0, 0.2f, 0));  // at the box, 0.4 high
    Click(400, 300);
    ASSERT_EQ(scene.selectedObject, 0);
    SceneObject& object = *scene.objects[0];

    KeyTable[VK_SUBTRACT] = 1;
    for (int frame = 0; frame < 3; ++frame) Frame(400, 450);  // 0.01, 0, -0.01
    KeyTable[VK_SUBTRACT] = 0;
    EXPECT_NEAR(object.size, -0.01f, 1e-6f);
    KeyTable[VK_ADD] = 1;
    for (int frame = 0; frame < 5; ++frame) Frame(400, 450);  // 0, 0.01, 0.02, 0.03, 0.04
    KeyTable[VK_ADD] = 0;
    EXPECT_NEAR(object.size, 0.04f, 1e-6f);
    const Box box = ModelBox(object.model);
    ExpectNear(box.high - box.low, D3DXVECTOR3(0.4f, 0.8f, 0.4f), 1e-4f);
}

TEST_F(PickingTest, ClickOnATreeSelectsItAndTheSharedMeshGoesBackToTheFirstTree) {
    folder->Write("tree.mesh", SmallTree().Text());
    Load({}, "[TreeNumber]\nnum=2\n[Tree0]\nposx=100\n[Tree1]\nposx=0\n");
    // Along +x at the tree's second face, which lies in the plane x = 0 at tree 1.
    Look(D3DXVECTOR3(-100, 0.5f, 0.5f), D3DXVECTOR3(0, 0.5f, 0.5f));
    Click(400, 300);
    EXPECT_EQ(scene.selectedObject, -1);
    EXPECT_EQ(scene.selectedTree, 1);
    // Dragged at once: the ray level with the ground goes on to the sky.
    ExpectNear(scene.trees[1].position, D3DXVECTOR3(1948, 0.5f, 0.5f), 1e-2f);
    EXPECT_EQ(scene.trees[0].position, D3DXVECTOR3(100, 0, 0));
    EXPECT_EQ(scene.treeMesh.position, D3DXVECTOR3(100, 0, 0));
    ExpectNear(TreeVertex(4), D3DXVECTOR3(104, 5, 6), 1e-5f);
}

TEST_F(PickingTest, TPlantsATreeWhereTheRayMeetsTheGroundOncePerPress) {
    folder->Write("tree.mesh", SmallTree().Text());
    Load({}, "[TreeNumber]\nnum=1\n[Tree0]\nposx=100\nposz=7\n");
    KeyTable['T'] = 1;
    Frame(400, 450);
    Frame(500, 450);
    ASSERT_EQ(scene.trees.size(), 2u) << "one tree for one press";
    ExpectNear(scene.trees[1].position, D3DXVECTOR3(0, 0, -80), 1e-3f);
    EXPECT_EQ(scene.trees[1].scale, 1.0f);
    EXPECT_EQ(scene.trees[0].position, D3DXVECTOR3(100, 0, 7));
    KeyTable['T'] = 0;
    Frame(500, 450);
    KeyTable['T'] = 1;
    Frame(500, 450);
    KeyTable['T'] = 0;
    ASSERT_EQ(scene.trees.size(), 3u);
    // (500, 450) is a quarter of the way right: 0.25 / 0.75 across for every unit along.
    ExpectNear(scene.trees[2].position, D3DXVECTOR3(20.0f / 3, 0, -80), 1e-3f);
    EXPECT_EQ(scene.treeMesh.position, D3DXVECTOR3(100, 0, 7));
}

TEST_F(PickingTest, TreePlantedIntoASceneWithoutTreesBringsTheMeshAndIsDrawn) {
    folder->Write("tree.mesh", SmallTree().Text());
    Load({});
    ASSERT_EQ(scene.treeMesh.mesh, nullptr);
    KeyTable['T'] = 1;
    Frame(400, 450);
    ASSERT_EQ(scene.trees.size(), 1u);
    ASSERT_NE(scene.treeMesh.mesh, nullptr);
    ExpectNear(TreeVertex(4), D3DXVECTOR3(4, 5, -74), 1e-3f);
    host::ClearTrace(device);
    scene.DrawTrees();
    EXPECT_EQ(CountOf("DrawIndexedPrimitive("), 2) << "both subsets of the one tree";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PickingTest, F5SavesOncePerPress) {
    Load({});
    KeyTable[VK_F5] = 1;
    for (int frame = 0; frame < 3; ++frame) Frame(400, 300);
    EXPECT_EQ(boxes, std::vector<std::wstring>{L"保存成功"});
    KeyTable[VK_F5] = 0;
    Frame(400, 300);
    KeyTable[VK_F5] = 1;
    Frame(400, 300);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(folder->Read("tree.ini"), "[TreeNumber]\r\nnum=0\r\n");
}

}  // namespace
