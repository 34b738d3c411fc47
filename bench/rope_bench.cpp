// One second of the tether program's rope: 1000 sub-steps of 80 masses and 79 springs.
#include "rope/rope.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

Rope MakeHangingRope() {
    Rope rope(80, 20.0f, 20.0f, 10000.0f, 1.0f, D3DXVECTOR3(0.0f, -9.81f, 0.0f), 1000.0f, 2.0f, 0.2f, 0.0f);
    rope.masses[0].position.y = 10.0f;
    return rope;
}

void BM_RopeSimulateOneSecond(benchmark::State& state) {
    Rope rope = MakeHangingRope();
    for (auto _ : state) {
        rope.Simulate(1.0f);
        benchmark::DoNotOptimize(rope.masses[1].position);
    }
}
BENCHMARK(BM_RopeSimulateOneSecond)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
