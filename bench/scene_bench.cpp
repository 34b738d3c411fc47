// One selection click in landscaper's generated village, as the program makes it: every
// triangle of the scene gathered, the BSP tree rebuilt from them, the ray under the cursor
// cast into it and the objects' boxes computed. The camera stands where the README's fly-up
// leaves it, the cursor on the well. Also the gathering and the build on their own, and the
// build of a scene of 20,000 triangles: sixteen villages side by side.
#include <benchmark/benchmark.h>
#include <host.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/app_shell.h"
#include "framework/free_camera.h"
#include "framework/input_devices.h"
#include "scene/picking.h"
#include "scene/scene.h"

namespace {

// The program's client area and projection.
constexpr UINT kWidth = 784, kHeight = 561;
constexpr int kWellX = 310, kWellY = 120;

class Village {
public:
    Village() : device(host::CreateTraceDevice(kWidth, kHeight)) {
        host::SetResourceFolder(DEMO_RESOURCE_DIR);
        host::SetMessageBoxListener([this](const std::wstring&, const std::wstring&) { ++boxes; });
        host::SetTraceRecording(device, false);
        scene.Init(device, kStandUpTurn);
        scene.LoadObjects(L"..\\Resource\\3DResource.ini");
        scene.LoadTrees(L"..//Resource//tree.ini", 1.0f);

        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, 0.78539819f, static_cast<float>(kWidth) / kHeight, 0.1f, 5000.0f);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        // Looking 20 degrees down from 99.2 units back along that view from the origin.
        camera.SetAngles(20.0f * D3DX_PI / 180.0f, 0.0f);
        camera.position = D3DXVECTOR3(0.0f, 99.2f * std::sin(camera.pitch), -99.2f * std::cos(camera.pitch));
        camera.RebuildView();
        device->SetTransform(D3DTS_VIEW, &camera.view);
        MainWindow = nullptr;  // the cursor's client position is its screen position
        SetCursorPos(kWellX, kWellY);
    }
    ~Village() {
        scene.Release();
        tree.Clear();
        device->Release();
        host::SetResourceFolder("");
        host::SetMessageBoxListener(nullptr);
    }

    // A left click with the right button held too: the click selects, and the right button
    // drops the selection before it is dragged, so every click finds the same scene.
    void Click() {
        MouseButtons[0] = 1;
        MouseButtons[1] = 1;
        scene.selectLatch = true;
        scene.UpdateSelection(camera.position, &tree);
    }

    IDirect3DDevice9* device;
    Scene scene;
    BspTree tree;
    FreeCamera camera;
    int boxes = 0;
};

bool Ready(Village& village, benchmark::State& state) {
    if (village.scene.objects.size() != 8 || village.boxes != 0) {
        state.SkipWithError("the generated village is missing");
        return false;
    }
    return true;
}

void BM_SelectionClick(benchmark::State& state) {
    Village village;
    if (!Ready(village, state)) return;
    // The click must reach the well: cast once here and check the hit's object.
    village.tree.Build(GatherTriangles(village.scene));
    RayHit hit;
    const Ray ray = PickRay(village.device, kWellX, kWellY);
    if (!village.tree.RayCast(ray, &hit) || std::fabs(hit.point.x + 30.0f) > 5.0f) {
        state.SkipWithError("the cursor is not on the well");
        return;
    }
    for (auto _ : state) village.Click();
    const BspShape shape = village.tree.Shape();
    state.counters["triangles"] = static_cast<double>(GatherTriangles(village.scene).size());
    state.counters["nodes"] = static_cast<double>(shape.nodes);
    state.counters["depth"] = static_cast<double>(shape.depth);
}
BENCHMARK(BM_SelectionClick)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_GatherTriangles(benchmark::State& state) {
    Village village;
    if (!Ready(village, state)) return;
    for (auto _ : state) benchmark::DoNotOptimize(GatherTriangles(village.scene));
}
BENCHMARK(BM_GatherTriangles)->Unit(benchmark::kMillisecond);

void BM_BuildTree(benchmark::State& state) {
    Village village;
    if (!Ready(village, state)) return;
    const std::vector<BspTriangle> triangles = GatherTriangles(village.scene);
    for (auto _ : state) {
        village.tree.Clear();
        village.tree.Build(triangles);
    }
}
BENCHMARK(BM_BuildTree)->Unit(benchmark::kMillisecond);

// A scene sixteen times the village's size: the village gathered as a click gathers it, laid
// out four by four, 1100 units apart, village after village.
void BM_BuildSixteenVillages(benchmark::State& state) {
    Village village;
    if (!Ready(village, state)) return;
    constexpr int kSide = 4;
    constexpr float kSpacing = 1100.0f;
    const std::vector<BspTriangle> one = GatherTriangles(village.scene);
    std::vector<BspTriangle> triangles;
    for (int copy = 0; copy < kSide * kSide; ++copy) {
        const D3DXVECTOR3 offset(float(copy % kSide) * kSpacing, 0.0f, float(copy / kSide) * kSpacing);
        for (const BspTriangle& t : one) triangles.push_back({t.p1 + offset, t.p2 + offset, t.p3 + offset});
    }
    for (auto _ : state) {
        village.tree.Clear();
        village.tree.Build(triangles);
    }
    const BspShape shape = village.tree.Shape();
    state.counters["triangles"] = static_cast<double>(triangles.size());
    state.counters["nodes"] = static_cast<double>(shape.nodes);
    state.counters["depth"] = static_cast<double>(shape.depth);
}
BENCHMARK(BM_BuildSixteenVillages)->Unit(benchmark::kMillisecond);


// Loading a tree file of the most trees a scene holds, with the generated tree mesh: every
// value is looked up by name, 30,000 lookups in one file of some 700 kB.
void BM_LoadTenThousandTrees(benchmark::State& state) {
    const std::string folder = std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp") +
                               "/scene_bench_trees_" + std::to_string(kMaxSceneEntries);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(std::string(DEMO_RESOURCE_DIR) + "/tree.mesh", folder + "/tree.mesh",
                               std::filesystem::copy_options::overwrite_existing);
    {
        std::FILE* file = std::fopen((folder + "/tree.ini").c_str(), "wb");
        std::fprintf(file, "[TreeNumber]\r\nnum=%d\r\n", kMaxSceneEntries);
        for (int i = 0; i < kMaxSceneEntries; ++i) {
            std::fprintf(file, "[Tree%d]\r\nposx=%f\r\nposy=0.000000\r\nposz=%f\r\n", i, i * 0.25, i * -0.5);
        }
        std::fclose(file);
    }
    host::SetResourceFolder(folder);
    IDirect3DDevice9* device = host::CreateTraceDevice(kWidth, kHeight);
    host::SetTraceRecording(device, false);
    for (auto _ : state) {
        Scene scene;
        scene.Init(device, kStandUpTurn);
        scene.LoadTrees(L"..//Resource//tree.ini", 1.0f);
        if (scene.trees.size() != static_cast<size_t>(kMaxSceneEntries)) state.SkipWithError("trees missing");
    }
    device->Release();
    host::SetResourceFolder("");
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadTenThousandTrees)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
