#include "tests/bsp/bsp_test_support.h"

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <utility>

namespace bsp_test {

BspTriangle GroundTriangle() { return Tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}); }

std::vector<BspTriangle> RandomSoup(uint32_t seed, int count, float extent, float size) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> place(-extent / 2, extent / 2);
    std::uniform_real_distribution<float> offset(-size / 2, size / 2);
    std::vector<BspTriangle> soup;
    while (static_cast<int>(soup.size()) < count) {
        const D3DXVECTOR3 centre(place(random), place(random), place(random));
        auto corner = [&] { return centre + D3DXVECTOR3(offset(random), offset(random), offset(random)); };
        BspTriangle t{corner(), corner(), corner()};
        if (DoubleArea(t) > 1e-3) soup.push_back(t);
    }
    return soup;
}

Ray RandomRay(std::mt19937& random, float extent) {
    std::uniform_real_distribution<float> place(-extent / 2, extent / 2);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    Ray ray;
    ray.origin = D3DXVECTOR3(place(random), place(random), place(random));
    D3DXVECTOR3 direction;
    do {
        direction = D3DXVECTOR3(gauss(random), gauss(random), gauss(random));
    } while (D3DXVec3Length(&direction) < 1e-3f);
    D3DXVec3Normalize(&ray.direction, &direction);
    return ray;
}

double NearestByTestingAll(const std::vector<BspTriangle>& triangles, const Ray& ray) {
    double nearest = std::numeric_limits<double>::infinity();
    for (const BspTriangle& t : triangles) {
        double weights[3];
        nearest = std::min(nearest, RayTriangle(ray, t.p1, t.p2, t.p3, weights));
    }
    return nearest;
}

void ForEachNode(const BspTree& tree, const std::function<void(const BspNode&, const std::vector<Ancestor>&)>& visit) {
    std::vector<std::pair<const BspNode*, std::vector<Ancestor>>> pending;
    if (tree.root != nullptr) pending.push_back({tree.root, {}});
    while (!pending.empty()) {
        auto [node, path] = std::move(pending.back());
        pending.pop_back();
        visit(*node, path);
        if (node->front != nullptr) {
            std::vector<Ancestor> below = path;
            below.push_back({node, true});
            pending.push_back({node->front, std::move(below)});
        }
        if (node->back != nullptr) {
            path.push_back({node, false});
            pending.push_back({node->back, std::move(path)});
        }
    }
}

D3DXVECTOR3 Normal(const BspTriangle& t) {
    const D3DXVECTOR3 a = t.p2 - t.p1;
    const D3DXVECTOR3 b = t.p3 - t.p2;
    return D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

double DoubleArea(const BspTriangle& t) {
    const double a[3] = {double(t.p2.x) - t.p1.x, double(t.p2.y) - t.p1.y, double(t.p2.z) - t.p1.z};
    const double b[3] = {double(t.p3.x) - t.p1.x, double(t.p3.y) - t.p1.y, double(t.p3.z) - t.p1.z};
    const double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    return std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
}

void PutNode(std::vector<uint8_t>* bytes, const BspTriangle& t) {
    bytes->push_back(1);
    const float values[9] = {t.p1.x, t.p1.y, t.p1.z, t.p2.x, t.p2.y, t.p2.z, t.p3.x, t.p3.y, t.p3.z};
    for (float value : values) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        for (int shift = 0; shift < 32; shift += 8) bytes->push_back(static_cast<uint8_t>(bits >> shift));
    }
}

void PutEmpty(std::vector<uint8_t>* bytes) { bytes->push_back(0); }

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("bsp_test_" + std::to_string(getpid()) + "_" + name)).string();
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace bsp_test
