// One second of the tether program's rope: 1000 sub-steps of 80 masses and 79 springs.
#include "programs/tether/tether_rope.h"
#include "rope/rope.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

Rope MakeHangingRope() {
    Rope rope(kTetherRope);
    rope.masses[0].position.y = kHeldEndStartHeight;
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
