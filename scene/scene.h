// The scene of the scene builder: mesh objects and trees standing on a textured ground,
// read from two profile files and written back to them, with the selection the user works
// on. Objects and trees are placed by rewriting their vertices, never by world matrices.
#pragma once

#include <d3dx9.h>

#include <memory>
#include <string>
#include <vector>

#include "bsp/bsp_tree.h"
#include "bsp/mesh_model.h"
#include "scene/tree_mesh.h"

struct SceneObject {
    MeshModel model;
    std::wstring path;  // folder of the X file, ending with a separator
    std::wstring name;  // the X file's name in that folder
    float size = 0.0f;
    D3DXVECTOR3 position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
};

struct TreeInstance {
    D3DXVECTOR3 position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    float scale = 1.0f;
};

// Objects are stored lying down, with their up along the file's z axis; this turn about x
// stands them up.
constexpr float kStandUpTurn = 1.5707964f;
// Where the shared tree mesh is read from.
constexpr const wchar_t* kTreeMeshPath = L"..//Resource//tree.mesh";
// The most objects, and the most trees, a scene file may list; a larger count is read as
// this many, and planting stops there.
constexpr int kMaxSceneEntries = 10000;
// The drawn ground square spans -512 ... 512 in x and z at y = 0.
constexpr float kGroundHalfSize = 512.0f;

class Scene {
public:
    Scene() = default;
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // An empty scene on the device; every object loaded later is turned by objectTurn about x.
    void Init(IDirect3DDevice9* targetDevice, float turn);
    // Appends the objects the object file lists: each loaded, scaled, turned and moved into
    // place. The file is remembered for Save.
    void LoadObjects(const wchar_t* file);
    // The ground square's vertices and its map picture (mapPath), with linear filtering.
    void CreateGround(const wchar_t* mapPath);
    // Replaces the trees with those the tree file lists, each of the given scale; the shared
    // tree mesh is loaded when there is at least one. The file is remembered for Save.
    void LoadTrees(const wchar_t* file, float treeScale);
    // Writes both files, each through a temporary file beside it, and replaces both or
    // neither (a link is saved through, into the file it names; a read-only file is not
    // replaced), then says "保存成功" or, when anything failed, "保存失败".
    bool Save();

    void DrawGround();
    void DrawObjects();
    // Each tree in turn, by moving the shared mesh there; it ends where it started.
    void DrawTrees();

    // One frame of the user's work: selecting with a left click, dropping the selection with
    // the right button, dragging and resizing, saving with F5 and planting with T. The tree is
    // rebuilt from the scene's triangles at each click.
    void UpdateSelection(const D3DXVECTOR3& camera, BspTree* tree);

    // Puts tree j at a place; tree 0 carries the shared mesh with it.
    void MoveTree(int tree, const D3DXVECTOR3& place);
    // A new tree at a place; the shared mesh is loaded if the scene had none. At
    // kMaxSceneEntries trees nothing is planted (said once, on standard error).
    void PlantTree(const D3DXVECTOR3& place);
    void Release();

    IDirect3DDevice9* device = nullptr;
    std::vector<std::unique_ptr<SceneObject>> objects;
    std::vector<TreeInstance> trees;
    // The one mesh every tree shares; it stands at the first tree's place between frames.
    TreeMesh treeMesh;
    float objectTurn = 0.0f;

    int selectedObject = -1;
    int selectedTree = -1;
    Ray pickRay = {D3DXVECTOR3(0.0f, 0.0f, 0.0f), D3DXVECTOR3(0.0f, 0.0f, 1.0f)};
    float groundHalfSize = 1024.0f;  // the placement ground, twice the drawn one
    float skyHalfSize = 2048.0f;
    // Each action fires once per press: the latch is cleared when it fires and set again in a
    // frame in which the key is up.
    bool selectLatch = true;
    bool saveLatch = true;
    bool plantLatch = true;
    bool plantLimitReported = false;

    IDirect3DVertexBuffer9* groundBuffer = nullptr;
    IDirect3DTexture9* mapTexture = nullptr;
    std::wstring objectFile;
    std::wstring treeFile;

private:
    void SelectUnderCursor(BspTree* tree);
    bool WriteObjects(const std::wstring& file) const;
    bool WriteTrees(const std::wstring& file) const;
};
