// One frame of the flurry program's snow: 5000 flakes updated by a 16 ms frame (five times
// faster, as flurry runs it) and written into the point-sprite buffer on the trace device.
// Update and Render are also timed alone, to separate the simulation from the buffer fill.
#include "snow/snow_system.h"

#include <benchmark/benchmark.h>
#include <host.h>

namespace {

const float FrameSeconds = 0.016f * 5.0f;

class SnowBench {
public:
    SnowBench() : device(host::CreateTraceDevice()) {
        snow.Create(device, D3DXVECTOR3(-100, -20, -100), D3DXVECTOR3(100, 100, 100), 5000, nullptr);
    }
    ~SnowBench() { device->Release(); }

    // The trace device keeps every call; forgetting them each frame keeps memory flat.
    void Render() {
        host::ClearTrace(device);
        snow.Render(&camera);
    }

    IDirect3DDevice9* device;
    SnowSystem snow;
    D3DXVECTOR3 camera{100, 260, 100};
};

void BM_SnowFrame(benchmark::State& state) {
    SnowBench bench;
    for (auto _ : state) {
        bench.snow.Update(FrameSeconds);
        bench.Render();
    }
}
BENCHMARK(BM_SnowFrame)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

void BM_SnowUpdate(benchmark::State& state) {
    SnowBench bench;
    for (auto _ : state) {
        bench.snow.Update(FrameSeconds);
        benchmark::DoNotOptimize(bench.snow.particles.front().position);
    }
}
BENCHMARK(BM_SnowUpdate)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

void BM_SnowRender(benchmark::State& state) {
    SnowBench bench;
    for (auto _ : state) bench.Render();
}
BENCHMARK(BM_SnowRender)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
