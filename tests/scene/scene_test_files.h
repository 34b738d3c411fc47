// Scratch folders and files for the scene builder's tests: a folder that stands for the
// program's "..\Resource\", box meshes as text X files, and tree.mesh files written field by
// field.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace scene_test {

namespace fs = std::filesystem;

// A fresh folder for one test, with a Resource folder inside that the program's
// "..\Resource\" (in any spelling) stands for while the object lives.
class ResourceFolder {
public:
    ResourceFolder();
    ~ResourceFolder();
    ResourceFolder(const ResourceFolder&) = delete;
    ResourceFolder& operator=(const ResourceFolder&) = delete;

    fs::path Path(const std::string& name) const { return resource / name; }
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;

    fs::path root;
    fs::path resource;
};

void WriteBytes(const fs::path& path, const std::string& bytes);
std::string ReadBytes(const fs::path& path);

struct Box {
    D3DXVECTOR3 low, high;
};
// Axis-aligned boxes as one mesh in a text X file: 8 corners and 12 triangles a box, one
// white material without a texture.
std::string BoxesXFile(const std::vector<Box>& boxes);
inline std::string BoxXFile(const D3DXVECTOR3& low, const D3DXVECTOR3& high) { return BoxesXFile({{low, high}}); }

// A tree.mesh file built up field by field, little-endian.
class TreeMeshBytes {
public:
    TreeMeshBytes& U32(uint32_t value);
    TreeMeshBytes& U16(uint16_t value);
    TreeMeshBytes& F32(float value);
    // A length, then the UTF-16 code units.
    TreeMeshBytes& Name(const std::u16string& units);
    std::vector<uint8_t> bytes;
    std::string Text() const { return std::string(bytes.begin(), bytes.end()); }
};

// A small valid tree: 4 faces over 6 vertices, two subsets ("..\Resource\bark.bmp" with the
// first 3 faces, "..\Resource\leaf.bmp" with the last). Vertex i stands at
// kSmallTreeCorners[i] with texture coordinates (i / 8, 1 - i / 8); face f uses
// kSmallTreeIndices[3f ... 3f + 2].
constexpr float kSmallTreeCorners[6][3] = {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {0, 0, 3}, {4, 5, 6}, {-1, 7, 2}};
constexpr uint16_t kSmallTreeIndices[12] = {0, 1, 2, 0, 2, 3, 0, 3, 4, 1, 4, 5};
TreeMeshBytes SmallTree();

// A 2 × 2 24-bit bitmap, for textures that load.
std::string TinyBitmap();

}  // namespace scene_test
