// One second of the tether program's rope: 1000 sub-steps of 80 masses and 79 springs.
#include "rope/rope.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

Rope MakeHangingRope() {
    Rope rope({.count = 80,
               .totalMass = 20.0f,
               .length = 20.0f,
               .stiffness = 10000.0f,
               .airFriction = 1.0f,
               .gravity = D3DXVECTOR3(0.0f, -9.81f, 0.0f),
               .groundRepulsion = 1000.0f,
               .groundAbsorption = 2.0f,
               .groundFriction = 0.2f,
               .groundHeight = 0.0f});
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
