// One frame of drizzle's water that takes a step: the ripple, the normals and the vertex
// copy, the grid drawn and the eleven streaks on the trace device, with the trace's recording
// off (the frame's own work) and on (what the tests pay for it); and the step's own work
// without any device.
#include "rain/water_surface.h"

#include <benchmark/benchmark.h>
#include <host.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

uint32_t Now = 1000;

class WaterBench {
public:
    explicit WaterBench(bool recording) : device(host::CreateTraceDevice()), water(std::make_unique<WaterSurface>()) {
        host::SetVirtualClock([] { return Now; });
        host::SetTraceRecording(device, recording);
        water->Create(device, nullptr);
        water->Splash(40, 40);
        water->UpdateAndDraw();  // starts the step clock
    }
    ~WaterBench() {
        water.reset();
        device->Release();
        host::SetVirtualClock({});
    }

    // Every frame begins 20 ms after the last, so every frame steps. A recording trace device
    // keeps every call; forgetting them each frame keeps memory flat.
    void SteppingFrame() {
        Now += WaterSurface::StepMilliseconds;
        host::ClearTrace(device);
        water->UpdateAndDraw();
    }

    IDirect3DDevice9* device;
    std::unique_ptr<WaterSurface> water;
};

void BM_WaterStepFrame(benchmark::State& state) {
    WaterBench bench(false);
    for (auto _ : state) bench.SteppingFrame();
}
BENCHMARK(BM_WaterStepFrame)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

void BM_WaterStepFrameRecorded(benchmark::State& state) {
    WaterBench bench(true);
    for (auto _ : state) bench.SteppingFrame();
}
BENCHMARK(BM_WaterStepFrameRecorded)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

// The ripple, the normals and the copy of the heights and the vertices, as a step frame
// does them, into plain memory. A splash every third step, about as often as the rain lands,
// keeps the heights from decaying into denormal numbers, which are far slower to compute.
void BM_WaterStepWork(benchmark::State& state) {
    auto water = std::make_unique<WaterSurface>();
    std::vector<WaterVertex> buffer(WaterVertexCount);
    int step = 0;
    for (auto _ : state) {
        if (step++ % 3 == 0) water->Splash(2 + step * 37 % 77, 2 + step * 53 % 77);
        WaterHeights& heights = water->heights[water->current];
        RippleStep(heights, water->heights[water->previous]);
        ComputeNormals(heights, water->vertices);
        for (int r = 0; r < WaterGridSize; ++r)
            for (int c = 0; c < WaterGridSize; ++c) water->vertices[r * WaterGridSize + c].position.y = heights[r][c];
        std::copy(water->vertices, water->vertices + WaterVertexCount, buffer.begin());
        benchmark::DoNotOptimize(buffer.data());
        std::swap(water->current, water->previous);
    }
}
BENCHMARK(BM_WaterStepWork)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
