// D3DXLoadMeshFromXW on the generated X files: halfspace's mouse and each object of
// landscaper's village, loaded onto the trace device with their materials. Besides the time,
// each benchmark reports the bytes its load allocates (every operator new in this process,
// added up) over the file's size.
#include <benchmark/benchmark.h>
#include <d3dx9.h>
#include <host.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<size_t> allocatedBytes{0};

}  // namespace

void* operator new(size_t size) {
    allocatedBytes += size;
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }

namespace {

void BM_LoadXMesh(benchmark::State& state, const std::string& relativePath) {
    const std::filesystem::path path = std::filesystem::path(DEMO_RESOURCE_DIR) / relativePath;
    IDirect3DDevice9* device = host::CreateTraceDevice();
    host::SetTraceRecording(device, false);
    size_t perLoad = 0;
    for (auto _ : state) {
        const size_t before = allocatedBytes;
        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* materials = nullptr;
        DWORD count = 0;
        if (FAILED(D3DXLoadMeshFromXW(path.wstring().c_str(), D3DXMESH_MANAGED, device, nullptr, &materials, nullptr,
                                      &count, &mesh))) {
            state.SkipWithError(("cannot load " + path.string()).c_str());
            break;
        }
        perLoad = allocatedBytes - before;
        mesh->Release();
        materials->Release();
    }
    device->Release();
    std::error_code error;
    const auto fileSize = std::filesystem::file_size(path, error);
    if (!error && fileSize > 0) {
        state.counters["file_bytes"] = static_cast<double>(fileSize);
        state.counters["allocated_per_file_byte"] = static_cast<double>(perLoad) / static_cast<double>(fileSize);
    }
}

// The mouse, then every X file of the village in name order.
int RegisterLoads() {
    benchmark::RegisterBenchmark("BM_LoadXMesh/mouse.x", BM_LoadXMesh, std::string("mouse.x"))
        ->Unit(benchmark::kMillisecond);
    std::error_code error;
    std::vector<std::string> scenery;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(DEMO_RESOURCE_DIR) / "Scenery", error)) {
        if (entry.path().extension() == ".x") scenery.push_back(entry.path().filename().string());
    }
    std::sort(scenery.begin(), scenery.end());
    for (const std::string& name : scenery) {
        benchmark::RegisterBenchmark(("BM_LoadXMesh/Scenery/" + name).c_str(), BM_LoadXMesh, "Scenery/" + name)
            ->Unit(benchmark::kMillisecond);
    }
    return 0;
}
const int registered = RegisterLoads();

}  // namespace

BENCHMARK_MAIN();
