// BSP trees: ray casts into the generated mouse's tree against testing every one of its
// triangles, and building trees of the size a landscaper scene gathers on each click.
//   BM_RayCastMouse / BM_TestEveryTriangle: 1024 random rays through the mouse's bounding box,
//     one pass each iteration (time per ray = time / 1024); counters give the per-ray medians.
//   BM_BuildScene: 21,252 triangles, the posed mouse placed six times on a grid and shuffled (in
//     face order the curved shells are cut into hundreds of thousands of pieces: minutes).
//   BM_BuildMouse: the mouse's own faces in the order bspc chose; BM_ChooseMouseOrder: choosing it.
#include "bsp/bsp_tree.h"

#include <benchmark/benchmark.h>
#include <host.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tools/bspc/build_order.h"
#include "tools/bspc/posed_mesh.h"

namespace {

constexpr int kRays = 1024;
const std::string kResources = DEMO_RESOURCE_DIR;

struct MouseRays {
    BspTree tree;
    std::vector<BspTriangle> triangles;
    std::vector<Ray> rays;

    MouseRays() {
        tree.Load(std::wstring(kResources.begin(), kResources.end()).append(L"/mouse.bsp").c_str());
        triangles = tree.Triangles();
        D3DXVECTOR3 low = triangles[0].p1, high = low;
        for (const BspTriangle& t : triangles) {
            for (const D3DXVECTOR3* p : {&t.p1, &t.p2, &t.p3}) {
                D3DXVec3Minimize(&low, &low, p);
                D3DXVec3Maximize(&high, &high, p);
            }
        }
        // From points on a sphere around the box towards points inside it.
        const D3DXVECTOR3 centre = (low + high) * 0.5f, size = high - low;
        const float radius = D3DXVec3Length(&size);
        std::mt19937 random(17);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        std::normal_distribution<float> gauss;
        for (int i = 0; i < kRays; ++i) {
            D3DXVECTOR3 out(gauss(random), gauss(random), gauss(random));
            D3DXVec3Normalize(&out, &out);
            const D3DXVECTOR3 target(low.x + unit(random) * size.x, low.y + unit(random) * size.y,
                                     low.z + unit(random) * size.z);
            Ray ray;
            ray.origin = centre + out * radius;
            const D3DXVECTOR3 towards = target - ray.origin;
            D3DXVec3Normalize(&ray.direction, &towards);
            rays.push_back(ray);
        }
    }
};

MouseRays& Mouse() {
    static MouseRays mouse;
    return mouse;
}

double CastEveryTriangle(const std::vector<BspTriangle>& triangles, const Ray& ray) {
    double nearest = std::numeric_limits<double>::infinity();
    for (const BspTriangle& t : triangles) {
        double weights[3];
        nearest = std::min(nearest, RayTriangle(ray, t.p1, t.p2, t.p3, weights));
    }
    return nearest;
}

// The median over the rays of each ray's time, averaged over repeats.
template <typename Cast>
double MedianNanoseconds(const std::vector<Ray>& rays, Cast cast, int repeats) {
    std::vector<double> times;
    for (const Ray& ray : rays) {
        const auto start = std::chrono::steady_clock::now();
        for (int r = 0; r < repeats; ++r) benchmark::DoNotOptimize(cast(ray));
        times.push_back(std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() /
                        repeats);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

void BM_RayCastMouse(benchmark::State& state) {
    MouseRays& mouse = Mouse();
    auto cast = [&](const Ray& ray) {
        RayHit hit;
        return mouse.tree.RayCast(ray, &hit) ? hit.distance : -1.0;
    };
    int hits = 0;
    for (const Ray& ray : mouse.rays) hits += cast(ray) >= 0;
    for (auto _ : state) {
        for (const Ray& ray : mouse.rays) benchmark::DoNotOptimize(cast(ray));
    }
    state.SetItemsProcessed(state.iterations() * kRays);
    state.counters["hit_share"] = double(hits) / kRays;
    state.counters["median_ns"] = MedianNanoseconds(mouse.rays, cast, 50);
    state.counters["nodes"] = double(mouse.triangles.size());
}
BENCHMARK(BM_RayCastMouse)->Unit(benchmark::kMicrosecond);

void BM_TestEveryTriangle(benchmark::State& state) {
    MouseRays& mouse = Mouse();
    auto cast = [&](const Ray& ray) { return CastEveryTriangle(mouse.triangles, ray); };
    for (auto _ : state) {
        for (const Ray& ray : mouse.rays) benchmark::DoNotOptimize(cast(ray));
    }
    state.SetItemsProcessed(state.iterations() * kRays);
    state.counters["median_ns"] = MedianNanoseconds(mouse.rays, cast, 2);
}
BENCHMARK(BM_TestEveryTriangle)->Unit(benchmark::kMillisecond);

const std::vector<BspTriangle>& MouseFaces() {
    static const std::vector<BspTriangle> faces = [] {
        host::SetMessageBoxListener([](const std::wstring&, const std::wstring&) {});
        MeshPose pose;
        pose.scale = 0.01f;
        pose.rotateX = 1.5707964f;
        return PosedMeshTriangles(kResources + "/mouse.x", pose).value_or(std::vector<BspTriangle>{});
    }();
    return faces;
}

void Build(benchmark::State& state, const std::vector<BspTriangle>& triangles) {
    BspShape shape;
    for (auto _ : state) {
        BspTree tree;
        tree.Build(triangles);
        shape = tree.Shape();
    }
    state.counters["triangles"] = double(triangles.size());
    state.counters["nodes"] = double(shape.nodes);
    state.counters["depth"] = double(shape.depth);
}

// Six curved meshes side by side, the worst kind of scene for a tree built in list order,
// with their triangles shuffled (in face order a build takes minutes).
void BM_BuildScene(benchmark::State& state) {
    std::vector<BspTriangle> scene;
    for (int copy = 0; copy < 6; ++copy) {
        const D3DXVECTOR3 offset(float(copy % 3) * 4.0f, 0.0f, float(copy / 3) * 4.0f);
        for (const BspTriangle& t : MouseFaces()) scene.push_back({t.p1 + offset, t.p2 + offset, t.p3 + offset});
    }
    std::mt19937 random(5);
    for (size_t i = scene.size(); i > 1; --i) std::swap(scene[i - 1], scene[random() % i]);
    Build(state, scene);
}
BENCHMARK(BM_BuildScene)->Unit(benchmark::kMillisecond);

void BM_BuildMouse(benchmark::State& state) {
    static const BuildOrder chosen = ChooseBuildOrder(MouseFaces());
    Build(state, chosen.triangles);
    state.SetLabel(chosen.name);
}
BENCHMARK(BM_BuildMouse)->Unit(benchmark::kMillisecond);

void BM_ChooseMouseOrder(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ChooseBuildOrder(MouseFaces()));
}
BENCHMARK(BM_ChooseMouseOrder)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
