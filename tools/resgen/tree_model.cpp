#include "tools/resgen/tree_model.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/resgen/bitmap_writer.h"
#include "tools/resgen/dds_writer.h"
#include "tools/resgen/noise.h"
#include "tools/resgen/texture_painter.h"

namespace resgen {
namespace {

constexpr float kPi = 3.14159265f;
constexpr uint32_t kTrunk = 0;
constexpr uint32_t kLeaves = 1;
constexpr int kBarkSize = 128;
constexpr int kLeafSize = 256;

// The textures are named as the program opens them, relative to its working folder.
const std::u16string kBarkName = u"..\\Resource\\bark.bmp";
const std::u16string kLeafName = u"..\\Resource\\leaves.dds";

void AddFace(TreeMeshData* tree, uint16_t a, uint16_t b, uint16_t c, uint32_t subset) {
    tree->indices.insert(tree->indices.end(), {a, b, c});
    tree->subsets.push_back(subset);
}

uint16_t AddVertex(TreeMeshData* tree, float x, float y, float z, float u, float v) {
    tree->vertices.push_back({x, y, z, u, v});
    return static_cast<uint16_t>(tree->vertices.size() - 1);
}

// A tapering tube from `from` along `axis` (unit) of the given length, `sides` around.
void AddLimb(TreeMeshData* tree, const float from[3], const float axis[3], float length, float r0, float r1,
             int sides) {
    // Two directions square to the axis.
    float side[3] = {axis[1], -axis[0], 0};
    if (std::fabs(axis[2]) > 0.9f) side[0] = 1, side[1] = 0;
    const float norm = std::sqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]);
    for (float& c : side) c /= norm;
    const float up[3] = {axis[1] * side[2] - axis[2] * side[1], axis[2] * side[0] - axis[0] * side[2],
                         axis[0] * side[1] - axis[1] * side[0]};
    const uint16_t first = static_cast<uint16_t>(tree->vertices.size());
    for (int ring = 0; ring < 2; ++ring) {
        const float r = ring ? r1 : r0, along = ring ? length : 0;
        for (int i = 0; i <= sides; ++i) {
            const float angle = -2 * kPi * i / sides, c = std::cos(angle), s = std::sin(angle);
            AddVertex(tree, from[0] + axis[0] * along + (side[0] * c + up[0] * s) * r,
                      from[1] + axis[1] * along + (side[1] * c + up[1] * s) * r,
                      from[2] + axis[2] * along + (side[2] * c + up[2] * s) * r, float(i) / sides * 2, ring ? 0.0f : 3.0f);
        }
    }
    const int stride = sides + 1;
    for (int i = 0; i < sides; ++i) {
        const uint16_t a = first + i, b = first + i + 1, c = first + stride + i, d = first + stride + i + 1;
        AddFace(tree, a, c, d, kTrunk);
        AddFace(tree, a, d, b, kTrunk);
    }
}

// A card of leaves standing upright through (x, y, z), turned by `angle` about the vertical.
void AddCard(TreeMeshData* tree, float x, float y, float z, float angle, float halfWidth, float height) {
    const float dx = std::cos(angle) * halfWidth, dz = std::sin(angle) * halfWidth;
    const uint16_t a = AddVertex(tree, x - dx, y, z - dz, 0, 1), b = AddVertex(tree, x + dx, y, z + dz, 1, 1);
    const uint16_t c = AddVertex(tree, x + dx, y + height, z + dz, 1, 0), d = AddVertex(tree, x - dx, y + height, z - dz, 0, 0);
    AddFace(tree, a, d, c, kLeaves);
    AddFace(tree, a, c, b, kLeaves);
}

std::vector<uint8_t> Bark() {
    const LatticeNoise ridges(501, 8);
    return PaintRgb(kBarkSize, kBarkSize, 502, [&](float u, float v, float grain) {
        const float furrow = Fractal(ridges, u * 8, v * 2, 3);
        return Grained(Mix({112, 84, 58}, {54, 38, 26}, furrow), grain, 16);
    });
}

// Clumps of leaves on a transparent ground: alpha 0 outside the clumps, so the alpha test
// cuts the card's outline out.
std::vector<uint32_t> Leaves() {
    const LatticeNoise clumps(511), tint(513);
    return PaintArgb(kLeafSize, kLeafSize, 512, [&](float u, float v, float grain) {
        const float du = (u - 0.5f) * 2, dv = (v - 0.55f) * 2;
        const float crown = 1 - std::sqrt(du * du + dv * dv * 0.8f);
        const float leafy = crown + 0.55f * (Fractal(clumps, u * 10, v * 10, 3) - 0.5f);
        Colour c = Mix({58, 110, 40}, {118, 160, 62}, Fractal(tint, u * 6, v * 6, 3) + grain * 0.3f);
        c.a = leafy > 0.12f ? 255.0f : 0.0f;
        return c;
    });
}

}  // namespace

TreeMeshData MakeTree() {
    TreeMeshData tree;
    tree.textures = {kBarkName, kLeafName};
    const float base[3] = {0, 0, 0}, upright[3] = {0, 1, 0};
    // A straight trunk: its faces stand upright, so picking's tree (built from trunks first)
    // cuts little of the rest of the scene.
    AddLimb(&tree, base, upright, 26, 1.5f, 1.5f, 6);
    // Three upright cards crossed in a star, in two layers, and a wide low crown.
    for (int layer = 0; layer < 2; ++layer) {
        for (int k = 0; k < 3; ++k) {
            AddCard(&tree, 0, 14 + layer * 9, 0, k * kPi / 3 + layer * 0.5f, 14 - layer * 3, 22 - layer * 5);
        }
    }
    return tree;
}

std::vector<uint8_t> TreeMeshBytes(const TreeMeshData& tree) {
    std::vector<uint8_t> bytes;
    auto u32 = [&](uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    auto f32 = [&](float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        u32(bits);
    };
    auto u16 = [&](uint16_t value) {
        bytes.push_back(static_cast<uint8_t>(value));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    };
    const uint32_t faces = static_cast<uint32_t>(tree.subsets.size());
    u32(faces);
    u32(static_cast<uint32_t>(tree.vertices.size()));
    u32(static_cast<uint32_t>(tree.textures.size()));
    for (uint32_t subset = 0; subset < tree.textures.size(); ++subset) {
        uint32_t count = 0;
        for (uint32_t s : tree.subsets) count += s == subset;
        u32(count);
    }
    for (const std::u16string& name : tree.textures) {
        u32(static_cast<uint32_t>(name.size()));
        for (char16_t unit : name) u16(unit);
    }
    for (const TreeMeshData::Vertex& v : tree.vertices) {
        for (float value : {v.u, v.v, v.x, v.y, v.z}) f32(value);
    }
    for (uint16_t index : tree.indices) u16(index);
    for (uint32_t subset : tree.subsets) u32(subset);
    return bytes;
}

bool WriteTreeFiles(const std::string& folder) {
    const std::vector<uint8_t> bytes = TreeMeshBytes(MakeTree());
    const std::string path = folder + "/tree.mesh";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "resgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written &&
           WriteColourBitmap(folder + "/bark.bmp", kBarkSize, kBarkSize, Bark()) &&
           WriteArgbDds(folder + "/leaves.dds", kLeafSize, kLeafSize, Leaves());
}

}  // namespace resgen
