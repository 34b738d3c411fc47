// landscaper's tree: tree.mesh (a trunk, then crossed cards of leaves, as two
// subsets) with its bark and leaf pictures; the leaves' alpha cuts their outline out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace resgen {

// The tree file's contents, as the program's tree mesh reader expects them.
struct TreeMeshData {
    struct Vertex {
        float x, y, z, u, v;
    };
    std::vector<Vertex> vertices;
    std::vector<uint16_t> indices;           // three per face
    std::vector<uint32_t> subsets;           // one per face
    std::vector<std::u16string> textures;    // one per subset
};

// The faces of each subset, in subset order (the trunk's first).
TreeMeshData MakeTree();
// The file bytes: counts, faces per subset, names, vertices (u, v first), indices, subsets.
std::vector<uint8_t> TreeMeshBytes(const TreeMeshData& tree);

// Writes tree.mesh, bark.bmp and leaves.dds.
bool WriteTreeFiles(const std::string& folder);

}  // namespace resgen
