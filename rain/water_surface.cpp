#include "rain/water_surface.h"

#include "framework/device_steps.h"

#include <d3dx9.h>

#include <cstring>
#include <utility>

namespace {

constexpr UINT VertexBufferBytes = sizeof(WaterVertex) * WaterVertexCount;
constexpr UINT IndexBufferBytes = sizeof(WORD) * WaterIndexCount;

template <typename Interface>
void ReleaseAndClear(Interface** object) {
    if (*object) (*object)->Release();
    *object = nullptr;
}

}  // namespace

WaterSurface::WaterSurface()
    : current(1), previous(0), texture(nullptr), vertexBuffer(nullptr), indexBuffer(nullptr),
      device(nullptr), lastStepTime(0), stepTaken(false), clockStarted(false) {
    std::memset(heights, 0, sizeof heights);
    FillGridVertices(vertices);
    FillGridIndices(indices);
}

WaterSurface::~WaterSurface() { Release(); }

void WaterSurface::Create(IDirect3DDevice9* newDevice, const wchar_t* texturePath) {
    Release();
    if (texturePath) {
        LoadLinearTexture(newDevice, texturePath, &texture);
    }
    std::memset(heights, 0, sizeof heights);
    current = 1;
    previous = 0;
    clockStarted = false;
    stepTaken = false;
    if (FAILED(newDevice->CreateVertexBuffer(VertexBufferBytes, 0, WaterFvf, D3DPOOL_DEFAULT, &vertexBuffer,
                                             nullptr))) {
        vertexBuffer = nullptr;
    }
    FillGridVertices(vertices);
    if (FAILED(newDevice->CreateIndexBuffer(IndexBufferBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                            D3DPOOL_DEFAULT, &indexBuffer, nullptr))) {
        indexBuffer = nullptr;
    }
    FillGridIndices(indices);
    UploadIndices();
    rain.Create(newDevice, this);
    device = newDevice;
}

void WaterSurface::Release() {
    ReleaseAndClear(&texture);
    ReleaseAndClear(&vertexBuffer);
    ReleaseAndClear(&indexBuffer);
    rain.Release();
}

void WaterSurface::UpdateAndDraw() {
    if (!device) return;
    RunStepClock();
    device->SetTexture(0, texture);
    if (stepTaken) {
        RippleStep(heights[current], heights[previous]);
        ComputeNormals(heights[current], vertices);
    }
    UploadVertices();
    DrawGrid();
    device->SetTexture(0, nullptr);
    rain.UpdateAndDraw(stepTaken);
    if (stepTaken) std::swap(current, previous);
}

void WaterSurface::Splash(int column, int row) {
    WaterHeights& h = heights[current];
    auto put = [&h](int r, int c, float value) {
        if (r >= 0 && r < WaterGridSize && c >= 0 && c < WaterGridSize) h[r][c] = value;
    };
    put(row, column, 1.2f);
    put(row - 1, column, 0.9f);
    put(row + 1, column, 0.9f);
    put(row, column - 1, 0.9f);
    put(row, column + 1, 0.9f);
    put(row - 1, column - 1, 0.7f);
    put(row - 1, column + 1, 0.7f);
    put(row + 1, column - 1, 0.7f);
    put(row + 1, column + 1, 0.7f);
}

// The first call only starts the clock, so the first frame never steps; later a step runs on
// the first frame that begins 20 ms or more after the last one (wrapping 32-bit arithmetic).
void WaterSurface::RunStepClock() {
    if (!clockStarted) {
        lastStepTime = timeGetTime();
        clockStarted = true;
    }
    const DWORD now = timeGetTime();
    stepTaken = now - lastStepTime >= StepMilliseconds;
    if (stepTaken) lastStepTime = now;
}

// Between steps this copies the heights of the step before the latest (the arrays have
// swapped roles), while the normals stay those of the latest step.
void WaterSurface::UploadVertices() {
    const WaterHeights& h = heights[current];
    for (int r = 0; r < WaterGridSize; ++r) {
        for (int c = 0; c < WaterGridSize; ++c) vertices[r * WaterGridSize + c].position.y = h[r][c];
    }
    void* data = nullptr;
    if (!vertexBuffer || FAILED(vertexBuffer->Lock(0, VertexBufferBytes, &data, 0)) || !data) return;
    std::memcpy(data, vertices, VertexBufferBytes);
    vertexBuffer->Unlock();
}

void WaterSurface::UploadIndices() {
    void* data = nullptr;
    if (!indexBuffer || FAILED(indexBuffer->Lock(0, IndexBufferBytes, &data, 0)) || !data) return;
    std::memcpy(data, indices, IndexBufferBytes);
    indexBuffer->Unlock();
}

void WaterSurface::DrawGrid() {
    if (!vertexBuffer || !indexBuffer) return;
    device->SetStreamSource(0, vertexBuffer, 0, sizeof(WaterVertex));
    device->SetFVF(WaterFvf);
    device->SetIndices(indexBuffer);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, WaterVertexCount, 0, WaterTriangleCount);
}
