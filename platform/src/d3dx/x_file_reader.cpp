// Reads prepared X files with assimp and flattens their frame hierarchy into world-space
// polygons.
#include "d3dx/x_file.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <pthread.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

namespace platform::d3dx {
namespace {

// assimp's X parser, its scene conversion and the scene's destructor each recurse once per
// level of frame nesting, some 200 bytes of stack a level. The import runs on a stack with
// room for the deepest nesting the file can hold; past kMaxFrames a file is refused.
constexpr size_t kImportStack = size_t(8) << 20;
constexpr size_t kStackPerFrame = 1024;
constexpr size_t kFramesOnAnyStack = 256;
constexpr size_t kMaxFrames = 1000000;

D3DCOLORVALUE Colour(float r, float g, float b, float a) { return D3DCOLORVALUE{r, g, b, a}; }

// What D3DX gives a mesh without a material list.
XMaterial DefaultMaterial() {
    XMaterial material;
    material.material.Diffuse = Colour(0.5f, 0.5f, 0.5f, 0.0f);
    material.material.Specular = Colour(0.5f, 0.5f, 0.5f, 0.0f);
    return material;
}

XMaterial ConvertMaterial(const aiMaterial& source) {
    // assimp names every material the file names; the one it adds for meshes without a
    // material list has no name.
    aiString name;
    if (source.Get(AI_MATKEY_NAME, name) != AI_SUCCESS) return DefaultMaterial();
    XMaterial material;
    aiColor4D diffuse(0.0f, 0.0f, 0.0f, 1.0f);
    aiColor4D specular(0.0f, 0.0f, 0.0f, 1.0f);
    aiColor4D emissive(0.0f, 0.0f, 0.0f, 1.0f);
    float power = 0.0f;
    source.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
    source.Get(AI_MATKEY_COLOR_SPECULAR, specular);
    source.Get(AI_MATKEY_COLOR_EMISSIVE, emissive);
    source.Get(AI_MATKEY_SHININESS, power);
    // X materials have no ambient colour: D3DX leaves it black.
    material.material.Diffuse = Colour(diffuse.r, diffuse.g, diffuse.b, diffuse.a);
    material.material.Ambient = Colour(0.0f, 0.0f, 0.0f, 1.0f);
    material.material.Specular = Colour(specular.r, specular.g, specular.b, 1.0f);
    material.material.Emissive = Colour(emissive.r, emissive.g, emissive.b, 1.0f);
    material.material.Power = power;
    aiString texture;
    if (source.GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS && texture.length > 0) {
        material.textureFile = std::string(texture.C_Str(), texture.length);
    }
    return material;
}

// assimp keeps column-vector matrices; D3DX's row-vector form is the transpose.
D3DXMATRIX ToD3dx(const aiMatrix4x4& m) {
    return D3DXMATRIX(m.a1, m.b1, m.c1, m.d1, m.a2, m.b2, m.c2, m.d2, m.a3, m.b3, m.c3, m.d3, m.a4, m.b4, m.c4, m.d4);
}

BYTE ColourByte(float value) { return static_cast<BYTE>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f); }

struct Placement {
    D3DXMATRIX positions;  // the frame's transform to world space
    D3DXMATRIX normals;    // its inverse transpose, for directions
};

Placement PlacementOf(const D3DXMATRIX& world) {
    Placement placement{world, world};
    D3DXMATRIX inverse;
    if (D3DXMatrixInverse(&inverse, nullptr, &world) != nullptr) D3DXMatrixTranspose(&placement.normals, &inverse);
    return placement;
}

XVertex CornerOf(const aiMesh& mesh, unsigned index, const Placement& placement) {
    XVertex vertex;
    const aiVector3D& p = mesh.mVertices[index];
    D3DXVECTOR3 local(p.x, p.y, p.z);
    D3DXVec3TransformCoord(&vertex.position, &local, &placement.positions);
    if (mesh.HasNormals()) {
        const aiVector3D& n = mesh.mNormals[index];
        D3DXVECTOR3 normal(n.x, n.y, n.z);
        D3DXVec3TransformNormal(&normal, &normal, &placement.normals);
        D3DXVec3Normalize(&vertex.normal, &normal);
    }
    if (mesh.HasTextureCoords(0)) {
        vertex.texCoord = D3DXVECTOR2(mesh.mTextureCoords[0][index].x, mesh.mTextureCoords[0][index].y);
    }
    if (mesh.HasVertexColors(0)) {
        const aiColor4D& c = mesh.mColors[0][index];
        vertex.colour = D3DCOLOR_ARGB(ColourByte(c.a), ColourByte(c.r), ColourByte(c.g), ColourByte(c.b));
    } else {
        vertex.colour = kNoVertexColour;
    }
    return vertex;
}

// Appends the mesh's polygons; false when the mesh refers to vertices or materials it lacks.
bool AddMesh(const aiMesh& mesh, const Placement& placement, XScene* scene) {
    if (mesh.mMaterialIndex >= scene->materials.size()) return false;
    scene->hasNormals |= mesh.HasNormals();
    scene->hasTexCoords |= mesh.HasTextureCoords(0);
    scene->hasColours |= mesh.HasVertexColors(0);
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices < 3) continue;  // points and lines make no triangle
        XPolygon polygon;
        polygon.material = mesh.mMaterialIndex;
        polygon.corners.reserve(face.mNumIndices);
        for (unsigned k = 0; k < face.mNumIndices; ++k) {
            if (face.mIndices[k] >= mesh.mNumVertices) return false;
            polygon.corners.push_back(CornerOf(mesh, face.mIndices[k], placement));
        }
        scene->polygons.push_back(std::move(polygon));
    }
    return true;
}

// Walks the frames depth first in file order; each frame's transform applies below its
// parent's (v * child * parent).
bool CollectPolygons(const aiScene& source, XScene* scene) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    std::vector<std::pair<const aiNode*, D3DXMATRIX>> pending = {{source.mRootNode, identity}};
    while (!pending.empty()) {
        auto [node, parent] = pending.back();
        pending.pop_back();
        D3DXMATRIX local = ToD3dx(node->mTransformation);
        D3DXMATRIX world;
        D3DXMatrixMultiply(&world, &local, &parent);
        const Placement placement = PlacementOf(world);
        for (unsigned i = 0; i < node->mNumMeshes; ++i) {
            if (node->mMeshes[i] >= source.mNumMeshes) return false;
            if (!AddMesh(*source.mMeshes[node->mMeshes[i]], placement, scene)) return false;
        }
        for (unsigned i = node->mNumChildren; i > 0; --i) pending.emplace_back(node->mChildren[i - 1], world);
    }
    return true;
}

std::optional<XScene> Import(Bytes file) {
    Assimp::Importer importer;
    // Left-handed as the file is written: assimp would otherwise mirror z and the winding.
    const aiScene* source = importer.ReadFileFromMemory(file.data(), file.size(), aiProcess_ConvertToLeftHanded, "x");
    if (source == nullptr || source->mRootNode == nullptr) return std::nullopt;

    XScene scene;
    for (unsigned i = 0; i < source->mNumMaterials; ++i) scene.materials.push_back(ConvertMaterial(*source->mMaterials[i]));
    if (!CollectPolygons(*source, &scene) || scene.polygons.empty()) return std::nullopt;
    return scene;
}

// Runs work on a thread of its own with a stack of stackSize bytes; false when no such thread
// can be made.
bool RunOnStack(size_t stackSize, const std::function<void()>& work) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attributes, stackSize) == 0 &&
                         pthread_create(&thread, &attributes, [](void* job) -> void* {
                             (*static_cast<const std::function<void()>*>(job))();
                             return nullptr;
                         }, const_cast<std::function<void()>*>(&work)) == 0;
    pthread_attr_destroy(&attributes);
    if (started) pthread_join(thread, nullptr);
    return started;
}

}  // namespace

size_t ImportStackSize(Bytes prepared) { return kImportStack + FrameNamesIn(prepared) * kStackPerFrame; }

std::optional<XScene> ImportXScene(Bytes prepared) {
    const size_t frames = FrameNamesIn(prepared);
    if (frames <= kFramesOnAnyStack) return Import(prepared);
    if (frames > kMaxFrames) {
        std::fprintf(stderr, "D3DXLoadMeshFromXW: the file names more than %zu frames\n", kMaxFrames);
        return std::nullopt;
    }
    std::optional<XScene> scene;
    if (!RunOnStack(kImportStack + frames * kStackPerFrame, [&] { scene = Import(prepared); })) {
        std::fprintf(stderr, "D3DXLoadMeshFromXW: no thread to read a file of %zu frames\n", frames);
    }
    return scene;
}

}  // namespace platform::d3dx
