// One glasshall frame's three draws of the starting character (reflected, shadow, itself) on
// the trace device: the command walk, the blend of two key frames and the copies into the
// vertex buffer, with the trace's recording off (the frame's own work) and on. Also the load
// of all nine generated characters.
#include "md2/md2_actor.h"
#include "md2/md2_model.h"

#include <benchmark/benchmark.h>
#include <host.h>

#include <memory>
#include <string>

namespace {

const wchar_t* const StartFolder = L"..\\Resource\\MD2Model\\yoshi\\";

class ActorBench {
public:
    explicit ActorBench(bool recording) : device(host::CreateTraceDevice()) {
        host::SetResourceFolder(DEMO_RESOURCE_DIR);
        host::SetTraceRecording(device, recording);
        model = std::make_unique<Md2Model>(device);
        model->LoadFolder(StartFolder, 0.1f);
        actor.Attach(model.get());
    }
    ~ActorBench() {
        model.reset();
        device->Release();
        host::SetResourceFolder("");
    }
    void Frame() {
        host::ClearTrace(device);
        actor.Advance(0.016f);
        actor.Draw(true);
        actor.Draw(false);
        actor.Draw(true);
    }

    IDirect3DDevice9* device;
    std::unique_ptr<Md2Model> model;
    Md2Actor actor;
};

void BM_ThreeDrawsOfTheStartModel(benchmark::State& state) {
    ActorBench bench(false);
    if (bench.model->frameCount == 0) state.SkipWithError("the generated characters are missing");
    for (auto _ : state) bench.Frame();
}
BENCHMARK(BM_ThreeDrawsOfTheStartModel)->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);

void BM_ThreeDrawsOfTheStartModelRecorded(benchmark::State& state) {
    ActorBench bench(true);
    for (auto _ : state) bench.Frame();
}
BENCHMARK(BM_ThreeDrawsOfTheStartModelRecorded)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

void BM_LoadNineCharacters(benchmark::State& state) {
    IDirect3DDevice9* device = host::CreateTraceDevice();
    host::SetResourceFolder(DEMO_RESOURCE_DIR);
    host::SetTraceRecording(device, false);
    const wchar_t* const folders[] = {L"alita3", L"ddz",   L"droid", L"lordmaul",  L"regult",
                                      L"unit00", L"yoshi", L"man",   L"witchblade"};
    for (auto _ : state) {
        for (const wchar_t* name : folders) {
            Md2Model model(device);
            model.LoadFolder((std::wstring(L"..\\Resource\\MD2Model\\") + name + L"\\").c_str(), 0.1f);
            benchmark::DoNotOptimize(model.frameCount);
        }
    }
    host::SetResourceFolder("");
    device->Release();
}
BENCHMARK(BM_LoadNineCharacters)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
