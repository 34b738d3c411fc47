// Reads arbitrary bytes as a .bsp file, casts rays into the tree and writes it back. Rays come
// from fixed points in many directions and at the first nodes' centres, so they hit as well as
// miss. A hit must lie at a finite distance ahead, at a finite point, with a finite bounce; the
// tree written and read again must hold the same triangles in the same order.
#include "bsp/bsp_tree.h"

#include <host.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

using fuzz::Require;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string TempPath(const char* name) { return fuzz::ScratchFolder("bsp_fuzz") + "/" + name + ".bsp"; }

bool Finite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void Cast(const BspTree& tree, D3DXVECTOR3 origin, D3DXVECTOR3 direction) {
    Ray ray;
    ray.origin = origin;
    D3DXVec3Normalize(&ray.direction, &direction);
    RayHit hit;
    if (!tree.RayCast(ray, &hit)) {
        Require(hit.distance == std::numeric_limits<double>::infinity());
        return;
    }
    Require(std::isfinite(hit.distance) && hit.distance >= 0.0);
    Require(Finite(hit.point));
    Require(Finite(Reflect(ray.direction, BspTriangle{hit.p1, hit.p2, hit.p3})));
}

void CastAround(const BspTree& tree, const std::vector<BspTriangle>& triangles) {
    const D3DXVECTOR3 origins[] = {{0, 0, 0}, {0.3f, -1.7f, 5.1f}, {-40, 12, -3}};
    const D3DXVECTOR3 directions[] = {{0, 0, 1}, {0, -1, 0}, {1, 1, 1}, {-0.2f, 0.9f, -0.4f}, {1, 0, 0}};
    for (const D3DXVECTOR3& origin : origins) {
        for (const D3DXVECTOR3& direction : directions) Cast(tree, origin, direction);
    }
    for (size_t i = 0; i < triangles.size() && i < 8; ++i) {
        const BspTriangle& t = triangles[i];
        const D3DXVECTOR3 centre = (t.p1 + t.p2 + t.p3) / 3.0f;
        if (!Finite(centre)) continue;
        Cast(tree, D3DXVECTOR3(0.5f, 0.25f, -2.0f), centre - D3DXVECTOR3(0.5f, 0.25f, -2.0f));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    host::SetMessageBoxListener([](const std::wstring&, const std::wstring&) {});
    std::atexit([] {
        std::remove(TempPath("in").c_str());
        std::remove(TempPath("out").c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(TempPath("in").c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);

    BspTree tree;
    Require(tree.Load(Wide(TempPath("in")).c_str()));
    const BspShape shape = tree.Shape();
    Require(shape.nodes <= size / 37 && shape.depth <= shape.nodes);
    const std::vector<BspTriangle> triangles = tree.Triangles();
    Require(triangles.size() == shape.nodes);
    CastAround(tree, triangles);

    Require(tree.Save(Wide(TempPath("out")).c_str()));
    BspTree again;
    Require(again.Load(Wide(TempPath("out")).c_str()));
    const std::vector<BspTriangle> reread = again.Triangles();
    Require(reread.size() == triangles.size());
    Require(reread.empty() || std::memcmp(reread.data(), triangles.data(), reread.size() * sizeof(BspTriangle)) == 0);
    return 0;
}
