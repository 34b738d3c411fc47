// relief's level-of-detail rebuild on the generated heightmap, from the program's start pose:
// the quadtree pass over 256 x 256 samples and the upload of the index list.
#include <benchmark/benchmark.h>
#include <host.h>

#include <cstdio>
#include <string>

#include "framework/free_camera.h"
#include "terrain/lod_terrain.h"

namespace {

void BM_RebuildLodFromStartPose(benchmark::State& state) {
    host::SetResourceFolder(DEMO_RESOURCE_DIR);
    IDirect3DDevice9* device = host::CreateTraceDevice();
    FreeCamera camera;
    camera.SetPosition(0, 260, 0);
    LoadTerrain(device, &camera, L"..\\Resource\\2ter256.bmp", L"..\\Resource\\skin.bmp", 8);
    if (TerrainIndexBuffer == nullptr) {
        state.SkipWithError("the generated heightmap is missing: build the resources first");
    }
    for (auto _ : state) {
        RebuildLod();
        benchmark::DoNotOptimize(TriangleList.data());
    }
    state.counters["triangles"] = double(TriangleList.size());
    ReleaseTerrain();
    device->Release();
}
BENCHMARK(BM_RebuildLodFromStartPose)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
