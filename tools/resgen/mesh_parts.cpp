#include "tools/resgen/mesh_parts.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace resgen {

constexpr float kPi = 3.14159265f;

uint32_t MeshPart::AddVertex(Vec3 position, Vec3 normal, Vec2 texCoord) {
    positions.push_back(position);
    normals.push_back(normal);
    texCoords.push_back(texCoord);
    return static_cast<uint32_t>(positions.size() - 1);
}

void MeshPart::AddPolygon(std::vector<uint32_t> vertices, uint32_t material) {
    polygons.push_back(std::move(vertices));
    materials.push_back(material);
}

size_t MeshPart::TriangleCount() const {
    size_t count = 0;
    for (const auto& polygon : polygons) count += polygon.size() - 2;
    return count;
}

// In Direct3D's left-handed space a triangle (a, b, c) is clockwise seen from the side that
// (b - a) x (c - a) points to, which is how these quads are wound.
void AddSurface(MeshPart* part, int columns, int rows, const std::function<Vec3(float, float)>& point,
                uint32_t material, bool inward, const std::function<Vec2(float, float)>& texCoord) {
    const float ds = 1.0f / columns, dt = 1.0f / rows;
    const uint32_t first = static_cast<uint32_t>(part->positions.size());
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            const float s = c * ds, t = r * dt;
            // Tangents from samples just inside the surface, so edges get proper normals too.
            const float s0 = std::fmax(s - ds * 0.5f, 0.0f), s1 = std::fmin(s + ds * 0.5f, 1.0f);
            const float t0 = std::fmax(t - dt * 0.5f, 0.0f), t1 = std::fmin(t + dt * 0.5f, 1.0f);
            Vec3 normal = Normalised(Cross(point(s1, t) - point(s0, t), point(s, t1) - point(s, t0)));
            if (inward) normal = normal * -1.0f;
            part->AddVertex(point(s, t), normal, texCoord ? texCoord(s, t) : Vec2{s, t});
        }
    }
    auto at = [&](int c, int r) { return first + static_cast<uint32_t>(r * (columns + 1) + c); };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (inward) {
                part->AddPolygon({at(c, r), at(c, r + 1), at(c + 1, r + 1), at(c + 1, r)}, material);
            } else {
                part->AddPolygon({at(c, r), at(c + 1, r), at(c + 1, r + 1), at(c, r + 1)}, material);
            }
        }
    }
}

void AddCap(MeshPart* part, const std::vector<Vec3>& outline, Vec3 normal, uint32_t material,
            const std::function<Vec2(Vec3)>& texCoord) {
    std::vector<uint32_t> polygon;
    for (const Vec3& p : outline) polygon.push_back(part->AddVertex(p, normal, texCoord(p)));
    // Wind the fan so that its normal side is the front.
    const Vec3 facing = Cross(outline[1] - outline[0], outline[2] - outline[0]);
    if (Dot(facing, normal) < 0) std::reverse(polygon.begin(), polygon.end());
    for (size_t k = 1; k + 1 < polygon.size(); ++k) part->AddPolygon({polygon[0], polygon[k], polygon[k + 1]}, material);
}

void AddTube(MeshPart* part, const std::vector<Vec3>& path, float radius, int sides, uint32_t material) {
    const int rows = static_cast<int>(path.size()) - 1;
    auto centreAt = [&](float t) {
        const float f = t * rows;
        const int i = std::min(static_cast<int>(f), rows - 1);
        const float w = f - i;
        return path[i] + (path[i + 1] - path[i]) * w;
    };
    auto ring = [&](float s, float t) {
        const float f = t * rows;
        const int i = std::min(static_cast<int>(f), rows - 1);
        const Vec3 along = Normalised(path[i + 1] - path[i]);
        const Vec3 side = Normalised(std::fabs(along.y) < 0.9f ? Cross({0, 1, 0}, along) : Cross({1, 0, 0}, along));
        const Vec3 up = Cross(along, side);
        const float angle = s * 2 * kPi;
        return centreAt(t) + (side * std::cos(angle) + up * std::sin(angle)) * radius;
    };
    AddSurface(part, sides, rows, ring, material);
}

void TurnAndMove(MeshPart* part, float yaw, Vec3 offset) {
    const float c = std::cos(yaw), s = std::sin(yaw);
    auto turn = [&](Vec3 v) { return Vec3{v.x * c + v.z * s, v.y, -v.x * s + v.z * c}; };
    for (Vec3& position : part->positions) position = turn(position) + offset;
    for (Vec3& normal : part->normals) normal = turn(normal);
}

void AddBox(MeshPart* part, Vec3 low, Vec3 high, uint32_t material, float repeatsPerUnit) {
    const Vec3 corner[8] = {{low.x, low.y, low.z},  {high.x, low.y, low.z},  {low.x, high.y, low.z},
                            {high.x, high.y, low.z}, {low.x, low.y, high.z},  {high.x, low.y, high.z},
                            {low.x, high.y, high.z}, {high.x, high.y, high.z}};
    // Each face: four corners going round it, and its outward normal.
    struct Face {
        int corners[4];
        Vec3 normal;
    };
    const Face faces[6] = {{{0, 1, 3, 2}, {0, 0, -1}}, {{5, 4, 6, 7}, {0, 0, 1}}, {{4, 0, 2, 6}, {-1, 0, 0}},
                           {{1, 5, 7, 3}, {1, 0, 0}},  {{2, 3, 7, 6}, {0, 1, 0}},  {{4, 5, 1, 0}, {0, -1, 0}}};
    for (const Face& face : faces) {
        const Vec3 origin = corner[face.corners[0]];
        const Vec3 across = corner[face.corners[1]] - origin, up = corner[face.corners[3]] - origin;
        const float width = std::sqrt(Dot(across, across)), height = std::sqrt(Dot(up, up));
        std::vector<Vec3> outline;
        for (int i : face.corners) outline.push_back(corner[i]);
        AddCap(part, outline, face.normal, material, [&](Vec3 p) {
            const Vec3 d = p - origin;
            const float u = width > 0 ? Dot(d, across) / width : 0, v = height > 0 ? Dot(d, up) / height : 0;
            return Vec2{u * repeatsPerUnit, (height - v) * repeatsPerUnit};
        });
    }
}

void AddLathe(MeshPart* part, Vec3 base, float height, const std::function<float(float)>& radius, int sides,
              int rows, uint32_t material, float wraps, bool closed) {
    // The angle runs backwards so that the outside is the front of every face.
    auto point = [&](float s, float t) {
        const float angle = -2 * kPi * s;
        return base + Vec3{radius(t) * std::cos(angle), height * t, radius(t) * std::sin(angle)};
    };
    AddSurface(part, sides, rows, point, material, false, [&](float s, float t) { return Vec2{s * wraps, 1 - t}; });
    if (!closed || radius(1.0f) <= 0) return;
    std::vector<Vec3> top;
    for (int i = 0; i < sides; ++i) top.push_back(point(float(i) / sides, 1.0f));
    const float r = radius(1.0f);
    AddCap(part, top, {0, 1, 0}, material, [&](Vec3 p) {
        return Vec2{0.5f + (p.x - base.x) / (2 * r), 0.5f + (p.z - base.z) / (2 * r)};
    });
}

}  // namespace resgen
