#include "tools/resgen/rig_mesh.h"

#include <cmath>

namespace resgen {
namespace {

constexpr float TwoPi = 6.28318530718f;
constexpr float Pi = 3.14159265359f;

int AddVertex(RigMesh* mesh, const Placement& place, Vec3 position, Vec3 normal) {
    mesh->vertices.push_back(
        {place.joint, place.transform.Apply(position), Normalised(place.transform.Rotate(normal))});
    return static_cast<int>(mesh->vertices.size()) - 1;
}

int Lerp(int from, int length, float fraction) { return from + static_cast<int>(std::lround(length * fraction)); }

// One flat face of a box seen from outside: normal n, `up` along the face and
// right = n × up, so that (top left, top right, bottom left, bottom right) as a strip, or
// (top left, top right, bottom right, bottom left) as a fan, winds clockwise.
void AddFace(RigMesh* mesh, const Placement& place, Vec3 n, Vec3 up, Vec3 halfSize, SkinRect skin, bool fan) {
    const Vec3 right = Cross(n, up);
    auto scaled = [&](Vec3 v) { return Vec3{v.x * halfSize.x, v.y * halfSize.y, v.z * halfSize.z}; };
    const Vec3 centre = scaled(n), u = scaled(right), v = scaled(up);
    const int topLeft = AddVertex(mesh, place, centre - u + v, n);
    const int topRight = AddVertex(mesh, place, centre + u + v, n);
    const int bottomLeft = AddVertex(mesh, place, centre - u - v, n);
    const int bottomRight = AddVertex(mesh, place, centre + u - v, n);
    const int left = skin.x, rightS = skin.x + skin.width, top = skin.y, bottom = skin.y + skin.height;
    RigCommand command{fan, {}};
    command.vertices.push_back({topLeft, left, top});
    command.vertices.push_back({topRight, rightS, top});
    if (fan) {
        command.vertices.push_back({bottomRight, rightS, bottom});
        command.vertices.push_back({bottomLeft, left, bottom});
    } else {
        command.vertices.push_back({bottomLeft, left, bottom});
        command.vertices.push_back({bottomRight, rightS, bottom});
    }
    mesh->commands.push_back(command);
}

// Direction round the y axis for step i of n: from the back (-x) through the character's
// right (-z) to the front (+x), so the skin reads left to right seen from the front.
Vec3 Around(int i, int n) {
    const float angle = TwoPi * i / n;
    return {-std::cos(angle), 0, -std::sin(angle)};
}

// A fan closing a ring: the centre, then the ring in the order that winds clockwise seen
// from the side the normal points to.
void AddCap(RigMesh* mesh, const Placement& place, Vec3 centre, Vec3 normal, const std::vector<Vec3>& ring,
            SkinRect caps, bool descending) {
    const int n = static_cast<int>(ring.size()) - 1;
    RigCommand fan{true, {}};
    fan.vertices.push_back({AddVertex(mesh, place, centre, normal), Lerp(caps.x, caps.width, 0.5f),
                            Lerp(caps.y, caps.height, 0.5f)});
    for (int k = 0; k <= n; ++k) {
        const int i = descending ? n - k : k;
        const Vec3 direction = Around(i, n);
        fan.vertices.push_back({AddVertex(mesh, place, ring[i], normal),
                                Lerp(caps.x, caps.width, 0.5f + 0.5f * direction.x),
                                Lerp(caps.y, caps.height, 0.5f + 0.5f * direction.z)});
    }
    mesh->commands.push_back(fan);
}

}  // namespace

void AddBox(RigMesh* mesh, const Placement& place, Vec3 halfSize, SkinRect skin, SkinRect front) {
    const Vec3 up{0, 1, 0}, forward{1, 0, 0};
    AddFace(mesh, place, {1, 0, 0}, up, halfSize, front, false);
    AddFace(mesh, place, {0, 0, -1}, up, halfSize, skin, false);
    AddFace(mesh, place, {-1, 0, 0}, up, halfSize, skin, false);
    AddFace(mesh, place, {0, 0, 1}, up, halfSize, skin, false);
    AddFace(mesh, place, {0, 1, 0}, forward, halfSize, skin, true);
    AddFace(mesh, place, {0, -1, 0}, forward, halfSize, skin, true);
}

void AddCylinder(RigMesh* mesh, const Placement& place, float radiusX, float radiusZ, float halfLength, float topScale,
                 int segments, SkinRect side, SkinRect caps) {
    // The side's normals lean towards the narrow end by the slope of the side.
    const float slope = (1 - topScale) * 0.5f * (radiusX + radiusZ) / (2 * halfLength);
    std::vector<Vec3> topRing, bottomRing;
    RigCommand strip{false, {}};
    for (int i = 0; i <= segments; ++i) {
        const Vec3 d = Around(i, segments);
        const Vec3 bottom{d.x * radiusX, -halfLength, d.z * radiusZ};
        const Vec3 top{d.x * radiusX * topScale, halfLength, d.z * radiusZ * topScale};
        const Vec3 normal = Normalised({d.x / radiusX, slope, d.z / radiusZ});
        const int s = Lerp(side.x, side.width, float(i) / segments);
        strip.vertices.push_back({AddVertex(mesh, place, bottom, normal), s, side.y + side.height});
        strip.vertices.push_back({AddVertex(mesh, place, top, normal), s, side.y});
        topRing.push_back(top);
        bottomRing.push_back(bottom);
    }
    mesh->commands.push_back(strip);
    AddCap(mesh, place, {0, halfLength, 0}, {0, 1, 0}, topRing, caps, true);
    AddCap(mesh, place, {0, -halfLength, 0}, {0, -1, 0}, bottomRing, caps, false);
}

void AddEllipsoid(RigMesh* mesh, const Placement& place, Vec3 radii, int segments, int rings, SkinRect skin) {
    // rings + 1 latitudes from the top pole (0) to the bottom pole (rings).
    std::vector<std::vector<int>> latitude(rings + 1);
    auto point = [&](int i, int j) {
        const float polar = Pi * j / rings;
        const Vec3 d = Around(i, segments);
        return Vec3{d.x * std::sin(polar) * radii.x, std::cos(polar) * radii.y, d.z * std::sin(polar) * radii.z};
    };
    auto normalAt = [&](Vec3 p) {
        return Normalised({p.x / (radii.x * radii.x), p.y / (radii.y * radii.y), p.z / (radii.z * radii.z)});
    };
    for (int j = 1; j < rings; ++j) {
        for (int i = 0; i <= segments; ++i) {
            const Vec3 p = point(i, j);
            latitude[j].push_back(AddVertex(mesh, place, p, normalAt(p)));
        }
    }
    auto s = [&](int i) { return Lerp(skin.x, skin.width, float(i) / segments); };
    auto t = [&](int j) { return Lerp(skin.y, skin.height, float(j) / rings); };
    for (int j = 1; j + 1 < rings; ++j) {
        RigCommand band{false, {}};
        for (int i = 0; i <= segments; ++i) {
            band.vertices.push_back({latitude[j + 1][i], s(i), t(j + 1)});
            band.vertices.push_back({latitude[j][i], s(i), t(j)});
        }
        mesh->commands.push_back(band);
    }
    const int top = AddVertex(mesh, place, {0, radii.y, 0}, {0, 1, 0});
    const int bottom = AddVertex(mesh, place, {0, -radii.y, 0}, {0, -1, 0});
    RigCommand topFan{true, {{top, Lerp(skin.x, skin.width, 0.5f), skin.y}}};
    RigCommand bottomFan{true, {{bottom, Lerp(skin.x, skin.width, 0.5f), skin.y + skin.height}}};
    for (int k = 0; k <= segments; ++k) {
        const int down = segments - k;
        topFan.vertices.push_back({latitude[1][down], s(down), t(1)});
        bottomFan.vertices.push_back({latitude[rings - 1][k], s(k), t(rings - 1)});
    }
    mesh->commands.push_back(topFan);
    mesh->commands.push_back(bottomFan);
}

}  // namespace resgen
