// D3DXLoadMeshFromX's view of an X file: every Mesh, at the top level or in a frame, placed by
// the frame transforms above it and merged into one list of vertices, triangles and materials.
// Frames are walked in file order with a stack of their own; within a frame a
// FrameTransformMatrix applies to what follows it, below the transforms before it.
#include "d3dx/x_document.h"
#include "d3dx/x_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace platform::d3dx {
namespace {

// Bounds on the merged mesh: far beyond any real X model, and small enough that a file
// whose references repeat one mesh many times cannot take the memory.
constexpr size_t kMaxMergedVertices = size_t(1) << 22;
constexpr size_t kMaxMergedTriangles = size_t(1) << 23;
// A file without references visits each object once; references may add this many visits.
constexpr size_t kMaxReferenceVisits = 1000000;
// faceColor (4), power, specularColor (3), emissiveColor (3).
constexpr uint32_t kMaterialFloats = 11;
constexpr uint32_t kMatrixFloats = 16;
constexpr uint32_t kValuesPerPosition = 3;
constexpr uint32_t kValuesPerTexCoord = 2;
constexpr uint32_t kValuesPerColour = 5;  // index, red, green, blue, alpha
constexpr uint32_t kMinimumValuesPerFace = 4;  // its corner count and three corners
constexpr uint32_t kMinimumCorners = 3;

// The member values of one object, taken in order.
class Values {
public:
    Values(const XDocument& document, uint32_t object)
        : document_(document), at_(document.objects[object].firstValue),
          end_(at_ + document.objects[object].valueCount) {}

    size_t Left() const { return end_ - at_; }
    bool Integer(uint32_t* out) {
        if (at_ == end_ || document_.valueKinds[at_] != XValueKind::Integer) return false;
        *out = document_.valueBits[at_++];
        return true;
    }
    // A FLOAT member: a float or an integer.
    bool Float(float* out) {
        if (at_ == end_ || document_.valueKinds[at_] == XValueKind::String) return false;
        const uint32_t bits = document_.valueBits[at_];
        if (document_.valueKinds[at_++] == XValueKind::Integer) {
            *out = static_cast<float>(bits);
        } else {
            std::memcpy(out, &bits, sizeof(float));
        }
        return true;
    }
    bool String(std::string_view* out) {
        if (at_ == end_ || document_.valueKinds[at_] != XValueKind::String) return false;
        *out = document_.strings[document_.valueBits[at_++]];
        return true;
    }
    // A count of items that take at least `valuesEach` values each: never more than are left.
    bool Count(uint32_t* count, uint32_t valuesEach) {
        return Integer(count) && uint64_t(*count) * valuesEach <= Left();
    }
    bool Vector(D3DXVECTOR3* out) { return Float(&out->x) && Float(&out->y) && Float(&out->z); }

private:
    const XDocument& document_;
    uint32_t at_;
    uint32_t end_;
};

// A normal compared by value, as D3DX compares the normals a position is used with.
struct NormalUse {
    DWORD vertex;
    float x, y, z;
    bool operator==(const NormalUse& other) const {
        return vertex == other.vertex && x == other.x && y == other.y && z == other.z;
    }
};
struct NormalUseHash {
    size_t operator()(const NormalUse& use) const {
        // +0.0f turns -0 into 0, which compares equal to it.
        const float parts[3] = {use.x + 0.0f, use.y + 0.0f, use.z + 0.0f};
        uint32_t bits[3];
        std::memcpy(bits, parts, sizeof(bits));
        return std::hash<uint64_t>()(uint64_t(use.vertex) << 32 ^ bits[0] ^ uint64_t(bits[1]) << 11 ^ uint64_t(bits[2]) << 23);
    }
};

D3DCOLORVALUE Colour(float r, float g, float b, float a) { return D3DCOLORVALUE{r, g, b, a}; }

BYTE ColourByte(float value) {
    return static_cast<BYTE>(std::clamp(std::isnan(value) ? 0.0f : value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// What D3DX gives a mesh without a material list.
XMaterial DefaultMaterial() {
    XMaterial material;
    material.material.Diffuse = Colour(0.5f, 0.5f, 0.5f, 0.0f);
    material.material.Specular = Colour(0.5f, 0.5f, 0.5f, 0.0f);
    return material;
}

bool IsIdentity(const D3DXMATRIX& m) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return std::memcmp(&m, &identity, sizeof(D3DXMATRIX)) == 0;
}

class SceneReader {
public:
    explicit SceneReader(const XDocument& document) : document_(document) {}

    bool Read(XScene* scene);
    const std::string& Error() const { return error_; }

private:
    struct Polygon {
        uint32_t firstCorner;
        uint32_t corners;
    };
    // One Mesh object as read from the file, before it is placed.
    struct MeshData {
        std::vector<XVertex> vertices;
        std::vector<Polygon> polygons;
        std::vector<DWORD> corners;  // vertex indices, polygon after polygon
        std::vector<DWORD> polygonMaterials;
        std::vector<XMaterial> materials;  // empty: no material list
        bool hasNormals = false;
        bool hasTexCoords = false;
        bool hasColours = false;
    };

    bool Fail(uint32_t object, const std::string& why) {
        error_ = document_.Describe(object) + ": " + why;
        return false;
    }
    bool WalkFrame(uint32_t frame, const D3DXMATRIX& parent);
    bool AddMesh(uint32_t mesh, const D3DXMATRIX& world);
    bool ReadGeometry(uint32_t mesh, MeshData* data);
    bool ReadNormals(uint32_t object, MeshData* data);
    bool ReadTexCoords(uint32_t object, MeshData* data);
    bool ReadColours(uint32_t object, MeshData* data);
    bool ReadMaterialList(uint32_t object, MeshData* data);
    bool ReadMaterial(uint32_t object, XMaterial* material);
    void Place(MeshData& data, const D3DXMATRIX& world);
    // The object a child entry stands for; kNone (and the error set) for a reference to nothing.
    uint32_t Child(uint32_t parent, uint32_t index);

    const XDocument& document_;
    XScene* scene_ = nullptr;
    std::string error_;
    size_t visitsLeft_ = 0;
    std::vector<bool> framesOnPath_;  // the frames being walked, outermost to innermost
    DWORD defaultMaterial_ = kNone;  // shared by every mesh without a material list
};

uint32_t SceneReader::Child(uint32_t parent, uint32_t index) {
    const XObject& object = document_.objects[parent];
    std::string why;
    const uint32_t child = document_.Resolve(document_.children[object.firstChild + index], &why);
    if (child == kNone) Fail(parent, why);
    return child;
}

bool SceneReader::Read(XScene* scene) {
    scene_ = scene;
    visitsLeft_ = document_.objects.size() + kMaxReferenceVisits;
    framesOnPath_.assign(document_.objects.size(), false);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    for (uint32_t object : document_.topLevel) {
        const XKind kind = document_.KindOf(object);
        if (kind == XKind::Mesh && !AddMesh(object, identity)) return false;
        if (kind == XKind::Frame && !WalkFrame(object, identity)) return false;
    }
    if (scene->attributes.empty()) {
        error_ = "the file holds no mesh with faces";
        return false;
    }
    return true;
}

bool SceneReader::WalkFrame(uint32_t root, const D3DXMATRIX& parent) {
    struct Pending {
        uint32_t frame;
        uint32_t nextChild;
        D3DXMATRIX transform;  // the frame's place so far: its transforms, then its parents'
    };
    std::vector<Pending> pending = {{root, 0, parent}};
    std::vector<bool>& onPath = framesOnPath_;
    onPath[root] = true;
    while (!pending.empty()) {
        Pending& top = pending.back();
        if (top.nextChild == document_.objects[top.frame].childCount) {
            onPath[top.frame] = false;
            pending.pop_back();
            continue;
        }
        if (visitsLeft_-- == 0) return Fail(root, "its references repeat more than " + std::to_string(kMaxReferenceVisits) + " objects");
        const uint32_t child = Child(top.frame, top.nextChild++);
        if (child == kNone) return false;
        switch (document_.KindOf(child)) {
            case XKind::FrameTransformMatrix: {
                Values values(document_, child);
                D3DXMATRIX local;
                for (uint32_t i = 0; i < kMatrixFloats; ++i) {
                    if (!values.Float(&local.m[i / 4][i % 4])) {
                        return Fail(child, "fewer than " + std::to_string(kMatrixFloats) + " numbers");
                    }
                }
                D3DXMatrixMultiply(&top.transform, &local, &top.transform);
                break;
            }
            case XKind::Mesh:
                if (!AddMesh(child, top.transform)) return false;
                break;
            case XKind::Frame: {
                if (onPath[child]) return Fail(child, "a reference makes it contain itself");
                onPath[child] = true;
                const D3DXMATRIX transform = top.transform;
                pending.push_back(Pending{child, 0, transform});
                break;
            }
            default:
                break;  // D3DX reads only transforms, meshes and frames in a frame
        }
    }
    return true;
}

bool SceneReader::AddMesh(uint32_t mesh, const D3DXMATRIX& world) {
    MeshData data;
    if (!ReadGeometry(mesh, &data)) return false;
    if (data.vertices.empty()) return true;  // D3DX drops a mesh without vertices
    // The last child of each kind counts. Colours and texture coordinates belong to the
    // vertices before the normals split them, so that the copies carry them too.
    uint32_t last[4] = {kNone, kNone, kNone, kNone};
    constexpr XKind kOrder[4] = {XKind::MeshVertexColors, XKind::MeshTextureCoords, XKind::MeshMaterialList,
                                 XKind::MeshNormals};
    for (uint32_t i = 0; i < document_.objects[mesh].childCount; ++i) {
        const uint32_t child = Child(mesh, i);
        if (child == kNone) return false;
        for (int k = 0; k < 4; ++k) {
            if (document_.KindOf(child) == kOrder[k]) last[k] = child;
        }
    }
    if ((last[0] != kNone && !ReadColours(last[0], &data)) || (last[1] != kNone && !ReadTexCoords(last[1], &data)) ||
        (last[2] != kNone && !ReadMaterialList(last[2], &data)) || (last[3] != kNone && !ReadNormals(last[3], &data))) {
        return false;
    }
    size_t triangles = 0;
    for (const Polygon& polygon : data.polygons) triangles += polygon.corners - 2;
    if (scene_->vertices.size() + data.vertices.size() > kMaxMergedVertices ||
        scene_->attributes.size() + triangles > kMaxMergedTriangles) {
        return Fail(mesh, "the merged mesh would have more than " + std::to_string(kMaxMergedVertices) +
                              " vertices or " + std::to_string(kMaxMergedTriangles) + " triangles");
    }
    Place(data, world);
    return true;
}

// nVertices, the positions, nFaces, then each face's corner count and corners.
bool SceneReader::ReadGeometry(uint32_t mesh, MeshData* data) {
    Values values(document_, mesh);
    uint32_t vertexCount = 0;
    if (!values.Count(&vertexCount, kValuesPerPosition)) return Fail(mesh, "a vertex count beyond its numbers");
    if (vertexCount == 0) return true;
    data->vertices.resize(vertexCount);
    for (XVertex& vertex : data->vertices) {
        if (!values.Vector(&vertex.position)) return Fail(mesh, "a vertex that is not three numbers");
        vertex.colour = kNoVertexColour;
    }
    uint32_t faceCount = 0;
    if (!values.Count(&faceCount, kMinimumValuesPerFace)) return Fail(mesh, "a face count beyond its numbers");
    data->polygons.resize(faceCount);
    for (Polygon& polygon : data->polygons) {
        polygon.firstCorner = static_cast<uint32_t>(data->corners.size());
        if (!values.Count(&polygon.corners, 1)) return Fail(mesh, "a face whose corners are missing");
        if (polygon.corners < kMinimumCorners) return Fail(mesh, "a face of fewer than three corners");
        for (uint32_t k = 0; k < polygon.corners; ++k) {
            uint32_t corner = 0;
            if (!values.Integer(&corner) || corner >= vertexCount) return Fail(mesh, "a face corner that is no vertex");
            data->corners.push_back(corner);
        }
    }
    data->polygonMaterials.assign(faceCount, 0);
    return true;
}

// Normals of their own with one normal index per face corner. A vertex takes the normal of
// its first corner; a corner with another normal uses the first copy of the vertex that has
// it, or a new copy appended after the vertices.
bool SceneReader::ReadNormals(uint32_t object, MeshData* data) {
    Values values(document_, object);
    uint32_t normalCount = 0;
    if (!values.Count(&normalCount, kValuesPerPosition)) return Fail(object, "a normal count beyond its numbers");
    std::vector<D3DXVECTOR3> normals(normalCount);
    for (D3DXVECTOR3& normal : normals) {
        if (!values.Vector(&normal)) return Fail(object, "a normal that is not three numbers");
        D3DXVec3Normalize(&normal, &normal);
    }
    uint32_t faceCount = 0;
    if (!values.Count(&faceCount, kMinimumValuesPerFace) || faceCount != data->polygons.size()) {
        return Fail(object, "not one face of normals for each face of the mesh");
    }
    std::vector<bool> assigned(data->vertices.size(), false);
    std::unordered_map<NormalUse, DWORD, NormalUseHash> uses;
    for (Polygon& polygon : data->polygons) {
        uint32_t corners = 0;
        if (!values.Integer(&corners) || corners != polygon.corners) {
            return Fail(object, "a face of normals with another corner count than its face");
        }
        for (uint32_t k = 0; k < corners; ++k) {
            uint32_t index = 0;
            if (!values.Integer(&index) || index >= normalCount) return Fail(object, "a normal index that is no normal");
            const D3DXVECTOR3& normal = normals[index];
            DWORD& vertex = data->corners[polygon.firstCorner + k];
            if (!assigned[vertex]) {
                assigned[vertex] = true;
                data->vertices[vertex].normal = normal;
                uses.emplace(NormalUse{vertex, normal.x, normal.y, normal.z}, vertex);
                continue;
            }
            const NormalUse use{vertex, normal.x, normal.y, normal.z};
            const auto found = uses.find(use);
            if (found != uses.end()) {
                vertex = found->second;
                continue;
            }
            XVertex copy = data->vertices[vertex];
            copy.normal = normal;
            const auto copyIndex = static_cast<DWORD>(data->vertices.size());
            data->vertices.push_back(copy);
            uses.emplace(use, copyIndex);
            vertex = copyIndex;
        }
    }
    data->hasNormals = true;
    return true;
}

// One pair per vertex, in vertex order.
bool SceneReader::ReadTexCoords(uint32_t object, MeshData* data) {
    Values values(document_, object);
    uint32_t count = 0;
    if (!values.Count(&count, kValuesPerTexCoord) || count != data->vertices.size()) {
        return Fail(object, "not one texture coordinate for each vertex");
    }
    for (XVertex& vertex : data->vertices) {
        if (!values.Float(&vertex.texCoord.x) || !values.Float(&vertex.texCoord.y)) {
            return Fail(object, "a texture coordinate that is not two numbers");
        }
    }
    data->hasTexCoords = true;
    return true;
}

// Colours for the vertices they name; the others stay white with alpha 0.
bool SceneReader::ReadColours(uint32_t object, MeshData* data) {
    Values values(document_, object);
    uint32_t count = 0;
    if (!values.Count(&count, kValuesPerColour)) return Fail(object, "a colour count beyond its numbers");
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t vertex = 0;
        float r = 0, g = 0, b = 0, a = 0;
        if (!values.Integer(&vertex) || !values.Float(&r) || !values.Float(&g) || !values.Float(&b) ||
            !values.Float(&a)) {
            return Fail(object, "a malformed colour");
        }
        if (vertex >= data->vertices.size()) return Fail(object, "a colour for a vertex the mesh lacks");
        data->vertices[vertex].colour = D3DCOLOR_ARGB(ColourByte(a), ColourByte(r), ColourByte(g), ColourByte(b));
    }
    data->hasColours = true;
    return true;
}

// nMaterials, nFaceIndexes, a material for each face (the last one given serves the faces
// after it), then the materials, inline or referenced, in child order.
bool SceneReader::ReadMaterialList(uint32_t object, MeshData* data) {
    Values values(document_, object);
    uint32_t materialCount = 0;
    uint32_t indexCount = 0;
    if (!values.Integer(&materialCount) || !values.Count(&indexCount, 1)) {
        return Fail(object, "a material count or face count beyond its numbers");
    }
    if (materialCount == 0) return true;  // no list
    DWORD material = 0;
    for (uint32_t face = 0; face < indexCount; ++face) {
        if (!values.Integer(&material) || material >= materialCount) return Fail(object, "a face material that is no material");
        if (face < data->polygonMaterials.size()) data->polygonMaterials[face] = material;
    }
    for (size_t face = indexCount; face < data->polygonMaterials.size(); ++face) data->polygonMaterials[face] = material;
    data->materials.clear();
    const XObject& list = document_.objects[object];
    for (uint32_t i = 0; i < list.childCount && data->materials.size() < materialCount; ++i) {
        const uint32_t child = Child(object, i);
        if (child == kNone) return false;
        if (document_.KindOf(child) != XKind::Material) continue;
        data->materials.emplace_back();
        if (!ReadMaterial(child, &data->materials.back())) return false;
    }
    if (data->materials.size() < materialCount) {
        return Fail(object, std::to_string(materialCount) + " materials declared, " +
                                std::to_string(data->materials.size()) + " given");
    }
    return true;
}

bool SceneReader::ReadMaterial(uint32_t object, XMaterial* material) {
    Values values(document_, object);
    float f[kMaterialFloats];
    for (float& value : f) {
        if (!values.Float(&value)) return Fail(object, "fewer than " + std::to_string(kMaterialFloats) + " numbers");
    }
    D3DMATERIAL9& m = material->material;
    m.Diffuse = Colour(f[0], f[1], f[2], f[3]);
    m.Power = f[4];
    m.Specular = Colour(f[5], f[6], f[7], 1.0f);
    m.Emissive = Colour(f[8], f[9], f[10], 1.0f);
    m.Ambient = Colour(0.0f, 0.0f, 0.0f, 1.0f);  // X materials have none: D3DX leaves it black
    const XObject& entry = document_.objects[object];
    for (uint32_t i = 0; i < entry.childCount; ++i) {
        const uint32_t child = Child(object, i);
        if (child == kNone) return false;
        if (document_.KindOf(child) != XKind::TextureFilename) continue;
        Values name(document_, child);
        std::string_view file;
        if (!name.String(&file)) return Fail(child, "no file name");
        material->textureFile = std::string(file);
    }
    return true;
}

// Appends the mesh in world space: positions through the whole transform, normals through
// its inverse transpose and made unit length again; polygons fanned from their first corner.
void SceneReader::Place(MeshData& data, const D3DXMATRIX& world) {
    if (!IsIdentity(world)) {
        D3DXMATRIX normals = world;
        D3DXMATRIX inverse;
        if (D3DXMatrixInverse(&inverse, nullptr, &world) != nullptr) D3DXMatrixTranspose(&normals, &inverse);
        for (XVertex& vertex : data.vertices) {
            D3DXVec3TransformCoord(&vertex.position, &vertex.position, &world);
            if (!data.hasNormals) continue;
            D3DXVec3TransformNormal(&vertex.normal, &vertex.normal, &normals);
            D3DXVec3Normalize(&vertex.normal, &vertex.normal);
        }
    }
    DWORD materialBase = static_cast<DWORD>(scene_->materials.size());
    if (data.materials.empty()) {
        if (defaultMaterial_ == kNone) {
            defaultMaterial_ = materialBase;
            scene_->materials.push_back(DefaultMaterial());
        }
        materialBase = defaultMaterial_;
    }
    for (XMaterial& material : data.materials) scene_->materials.push_back(std::move(material));

    const auto vertexBase = static_cast<DWORD>(scene_->vertices.size());
    scene_->vertices.insert(scene_->vertices.end(), data.vertices.begin(), data.vertices.end());
    for (size_t p = 0; p < data.polygons.size(); ++p) {
        const DWORD* corners = data.corners.data() + data.polygons[p].firstCorner;
        for (uint32_t k = 1; k + 1 < data.polygons[p].corners; ++k) {
            scene_->indices.insert(scene_->indices.end(),
                                   {vertexBase + corners[0], vertexBase + corners[k], vertexBase + corners[k + 1]});
            scene_->attributes.push_back(materialBase + data.polygonMaterials[p]);
        }
    }
    scene_->hasNormals |= data.hasNormals;
    scene_->hasTexCoords |= data.hasTexCoords;
    scene_->hasColours |= data.hasColours;
}

}  // namespace

XReadResult ReadXFile(Bytes file) {
    XReadResult result;
    XBody body;
    if (!OpenXBody(file, &body, &result.error)) return result;
    XDocument document;
    if (!document.Parse(body, &result.error)) return result;
    XScene scene;
    SceneReader reader(document);
    if (!reader.Read(&scene)) {
        result.error = reader.Error();
        return result;
    }
    result.scene = std::move(scene);
    return result;
}

}  // namespace platform::d3dx
