#include "scene/picking.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "framework/app_shell.h"
#include "framework/input_devices.h"

namespace {

// How much a selected object's size changes in each frame a keypad key is held.
constexpr float kSizeStep = 0.01f;
constexpr int kPlantKey = 'T';

bool HasEqualCorners(const BspTriangle& t) { return t.p1 == t.p2 || t.p2 == t.p3 || t.p3 == t.p1; }

bool Contains(const D3DXVECTOR3& minimum, const D3DXVECTOR3& maximum, const D3DXVECTOR3& point) {
    return minimum.x <= point.x && point.x <= maximum.x && minimum.y <= point.y && point.y <= maximum.y &&
           minimum.z <= point.z && point.z <= maximum.z;
}

// The box around every vertex of a mesh; false when its vertices cannot be read.
bool MeshBox(ID3DXMesh* mesh, D3DXVECTOR3* minimum, D3DXVECTOR3* maximum) {
    void* vertices = nullptr;
    if (mesh == nullptr || FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices))) return false;
    D3DXComputeBoundingBox(static_cast<const D3DXVECTOR3*>(vertices), mesh->GetNumVertices(),
                           D3DXGetFVFVertexSize(mesh->GetFVF()), minimum, maximum);
    mesh->UnlockVertexBuffer();
    return true;
}

}  // namespace

Ray PickRay(IDirect3DDevice9* device, int cursorX, int cursorY) {
    D3DVIEWPORT9 viewport;
    D3DXMATRIX projection, view, world, worldView, inverse;
    device->GetViewport(&viewport);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    const D3DXVECTOR3 direction((2.0f * cursorX / static_cast<float>(viewport.Width) - 1.0f) / projection._11,
                                (-2.0f * cursorY / static_cast<float>(viewport.Height) + 1.0f) / projection._22, 1.0f);
    const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_WORLD, &world);
    D3DXMatrixMultiply(&worldView, &world, &view);
    D3DXMatrixInverse(&inverse, nullptr, &worldView);
    Ray ray;
    D3DXVec3TransformCoord(&ray.origin, &origin, &inverse);
    D3DXVec3TransformNormal(&ray.direction, &direction, &inverse);
    D3DXVec3Normalize(&ray.direction, &ray.direction);
    return ray;
}

std::vector<BspTriangle> GatherTriangles(Scene& scene) {
    std::vector<BspTriangle> gathered;
    auto take = [&](const BspTriangle& triangle) {
        if (!HasEqualCorners(triangle)) gathered.push_back(triangle);
    };
    for (const std::unique_ptr<SceneObject>& object : scene.objects) {
        if (!object->model.Lock()) continue;
        for (DWORD face = 0; face < object->model.FaceCount(); ++face) take(object->model.Face(face));
        object->model.Unlock();
    }
    TreeMesh& shared = scene.treeMesh;
    if (!scene.trees.empty() && shared.mesh != nullptr && !shared.facesPerTexture.empty()) {
        for (const TreeInstance& tree : scene.trees) {
            shared.Move(tree.position);
            if (!shared.Lock()) continue;
            for (DWORD face = 0; face < shared.facesPerTexture[0]; ++face) take(shared.Face(face));
            shared.Unlock();
        }
        shared.Move(scene.trees[0].position);
    }
    std::reverse(gathered.begin(), gathered.end());
    return gathered;
}

D3DXVECTOR3 PlacePoint(const Ray& ray, const D3DXVECTOR3& camera, float groundHalfSize, float skyHalfSize) {
    const float g = groundHalfSize;
    std::vector<BspTriangle> targets = {
        {D3DXVECTOR3(-g, 0, -g), D3DXVECTOR3(-g, 0, g), D3DXVECTOR3(g, 0, -g)},
        {D3DXVECTOR3(g, 0, -g), D3DXVECTOR3(-g, 0, g), D3DXVECTOR3(g, 0, g)},
    };
    // The sky cube's faces, two triangles each.
    for (int axis = 0; axis < 3; ++axis) {
        for (float side : {-1.0f, 1.0f}) {
            D3DXVECTOR3 corners[4];
            for (int i = 0; i < 4; ++i) {
                float c[3];
                c[axis] = side;
                c[(axis + 1) % 3] = (i & 1) ? 1.0f : -1.0f;
                c[(axis + 2) % 3] = (i & 2) ? 1.0f : -1.0f;
                corners[i] = camera + skyHalfSize * D3DXVECTOR3(c[0], c[1], c[2]);
            }
            targets.push_back({corners[0], corners[1], corners[2]});
            targets.push_back({corners[1], corners[3], corners[2]});
        }
    }
    double nearest = std::numeric_limits<double>::infinity();
    for (const BspTriangle& target : targets) {
        double weights[3];
        nearest = std::min(nearest, RayTriangle(ray, target.p1, target.p2, target.p3, weights));
    }
    // The ray starts inside the cube, so some face is always met.
    if (nearest == std::numeric_limits<double>::infinity()) return ray.origin;
    return ray.origin + static_cast<float>(nearest) * ray.direction;
}

// Splits multiply the nodes of a tree: the village's 1,244 triangles make 4,762 nodes and
// sixteen villages about 4.3 per triangle, but random, crossing triangles make millions from
// a few hundred. A click stops building past this many nodes a triangle.
constexpr size_t kPickNodesPerTriangle = 64;

void Scene::SelectUnderCursor(BspTree* tree) {
    int x = 0, y = 0;
    GetCursorClientPos(&x, &y);
    pickRay = PickRay(device, x, y);
    tree->Clear();
    const std::vector<BspTriangle> triangles = GatherTriangles(*this);
    const size_t nodeBudget = kPickNodesPerTriangle * triangles.size();
    if (!tree->Build(triangles, nodeBudget)) {
        tree->Clear();
        std::fprintf(stderr, "scene: selection kept: the picking tree of %zu triangles grew past %zu nodes\n",
                     triangles.size(), nodeBudget);
        return;
    }
    RayHit hit;
    if (!tree->RayCast(pickRay, &hit)) return;
    D3DXVECTOR3 minimum, maximum;
    for (size_t i = 0; i < objects.size(); ++i) {
        if (MeshBox(objects[i]->model.mesh, &minimum, &maximum) && Contains(minimum, maximum, hit.point)) {
            selectedObject = static_cast<int>(i);
            selectedTree = -1;
            return;
        }
    }
    if (trees.empty()) return;
    for (size_t j = 0; j < trees.size(); ++j) {
        treeMesh.Move(trees[j].position);
        if (MeshBox(treeMesh.mesh, &minimum, &maximum) && Contains(minimum, maximum, hit.point)) {
            selectedObject = -1;
            selectedTree = static_cast<int>(j);
            break;
        }
    }
    treeMesh.Move(trees[0].position);
}

void Scene::UpdateSelection(const D3DXVECTOR3& camera, BspTree* tree) {
    int x = 0, y = 0;
    if (MouseButtons[0] && selectLatch) {
        selectLatch = false;
        SelectUnderCursor(tree);
    } else if (!MouseButtons[0]) {
        selectLatch = true;
    }
    if (MouseButtons[1]) selectedObject = selectedTree = -1;

    if (selectedObject >= 0) {
        SceneObject& object = *objects[selectedObject];
        GetCursorClientPos(&x, &y);
        pickRay = PickRay(device, x, y);
        object.position = PlacePoint(pickRay, camera, groundHalfSize, skyHalfSize);
        object.model.Move(object.position);
        if (KeyTable[VK_ADD]) {
            object.size += kSizeStep;
            object.model.Rescale(object.size);
        }
        if (KeyTable[VK_SUBTRACT]) {
            object.size -= kSizeStep;
            object.model.Rescale(object.size);
        }
    }
    if (selectedTree >= 0) {
        GetCursorClientPos(&x, &y);
        pickRay = PickRay(device, x, y);
        MoveTree(selectedTree, PlacePoint(pickRay, camera, groundHalfSize, skyHalfSize));
    }

    if (KeyTable[VK_F5] && saveLatch) {
        saveLatch = false;
        Save();
    } else if (!KeyTable[VK_F5]) {
        saveLatch = true;
    }

    if (KeyTable[kPlantKey] && plantLatch) {
        plantLatch = false;
        GetCursorClientPos(&x, &y);
        pickRay = PickRay(device, x, y);
        PlantTree(PlacePoint(pickRay, camera, groundHalfSize, skyHalfSize));
    } else if (!KeyTable[kPlantKey]) {
        plantLatch = true;
    }
}
