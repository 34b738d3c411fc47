// Geometry for the generated X meshes: a mesh part of polygons with per-vertex normals and
// texture coordinates, and builders for the shapes the models are made of.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tools/resgen/vec3.h"

namespace resgen {

// Vertices and polygons of one mesh; each polygon lists vertex numbers clockwise seen from
// its front (Direct3D's winding) and names its material.
struct MeshPart {
    explicit MeshPart(std::string partName) : name(std::move(partName)) {}

    std::string name;
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords;
    std::vector<std::vector<uint32_t>> polygons;
    std::vector<uint32_t> materials;  // one per polygon, an index into the file's materials

    uint32_t AddVertex(Vec3 position, Vec3 normal, Vec2 texCoord);
    void AddPolygon(std::vector<uint32_t> vertices, uint32_t material);
    size_t TriangleCount() const;
};

// A surface sampled on a grid: point(s, t) for s, t in [0, 1] over columns x rows cells,
// with normals from the neighbouring samples (flipped when `inward`) and (s, t) as texture
// coordinates unless a texCoord function is given. Quads wind so the normal side is front.
void AddSurface(MeshPart* part, int columns, int rows, const std::function<Vec3(float s, float t)>& point,
                uint32_t material, bool inward = false,
                const std::function<Vec2(float s, float t)>& texCoord = nullptr);

// A flat polygon over the given outline (convex, in order), facing `normal`, as one fan of
// triangles from its first point; texture coordinates from texCoord.
void AddCap(MeshPart* part, const std::vector<Vec3>& outline, Vec3 normal, uint32_t material,
            const std::function<Vec2(Vec3)>& texCoord);

// A closed tube of the given radius along a path of points, `sides` around.
void AddTube(MeshPart* part, const std::vector<Vec3>& path, float radius, int sides, uint32_t material);

// Turns the part about the vertical axis (+z towards +x for a positive angle) and then moves
// it by `offset`, normals included.
void TurnAndMove(MeshPart* part, float yaw, Vec3 offset);

// An axis-aligned box from `low` to `high`; each face's texture spans `texelsPerUnit`
// repeats per unit of its width and height.
void AddBox(MeshPart* part, Vec3 low, Vec3 high, uint32_t material, float repeatsPerUnit);

// A surface of revolution about the vertical axis through `base`: radius(t) at height
// t * height for t in [0, 1], `sides` around, closed by a disc at the top when `closed`.
// The texture wraps `wraps` times around.
void AddLathe(MeshPart* part, Vec3 base, float height, const std::function<float(float t)>& radius, int sides,
              int rows, uint32_t material, float wraps = 1.0f, bool closed = true);

}  // namespace resgen
