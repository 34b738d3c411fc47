#include "terrain/lod_terrain.h"

#include <d3dx9.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/device_steps.h"
#include "framework/free_camera.h"

FreeCamera* LodCamera = nullptr;
IDirect3DDevice9* TerrainDevice = nullptr;
IDirect3DVertexBuffer9* TerrainVertexBuffer = nullptr;
IDirect3DIndexBuffer9* TerrainIndexBuffer = nullptr;
IDirect3DTexture9* TerrainTexture = nullptr;
std::vector<TerrainTriangle> TriangleList;

namespace {

constexpr int TopBlockSize = 16;

WORD Index(int row, int column) { return static_cast<WORD>(GridIndex(row, column)); }

bool InsideGrid(int row, int column) { return row >= 0 && row < GridHeight && column >= 0 && column < GridWidth; }

void Emit(WORD a, WORD b, WORD c) { TriangleList.push_back({a, b, c}); }

template <typename T>
void Release(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

}  // namespace

bool NeedsSplit(int row, int column, int size) {
    const D3DXVECTOR3& corner = TerrainVertices[GridIndex(row, column)].position;
    const D3DXVECTOR3 offset = corner - LodCamera->position;
    const float distance = D3DXVec3Length(&offset);
    float lowest = corner.y, highest = corner.y;
    const int rowEnd = std::min(row + size, GridHeight), columnEnd = std::min(column + size, GridWidth);
    for (int r = row; r < rowEnd; ++r) {
        for (int c = column; c < columnEnd; ++c) {
            const float h = TerrainVertices[GridIndex(r, c)].position.y;
            lowest = std::min(lowest, h);
            highest = std::max(highest, h);
        }
    }
    // The allowed range is 4 units at the corner and grows by 4 for every 300 units of distance.
    return highest - lowest > (distance * 0.0033333334f + 1.0f) * 4.0f;
}

bool NeighboursSplit(int row, int column, int size, BYTE flags[4]) {
    const int h = size / 2;
    auto markAt = [](int r, int c) -> BYTE { return InsideGrid(r, c) ? SplitFlag(r, c) : 0; };
    flags[0] = markAt(row + size + h, column + h);
    flags[1] = row - size >= 0 ? SplitFlag(row - h, column + h) : 0;
    flags[2] = column - size >= 0 ? SplitFlag(row + h, column - h) : 0;
    flags[3] = markAt(row + h, column + size + h);
    return flags[0] && flags[1] && flags[2] && flags[3];
}

void EmitBlock(int r, int c, int s) {
    Emit(Index(r, c), Index(r + s, c), Index(r, c + s));
    Emit(Index(r + s, c), Index(r + s, c + s), Index(r, c + s));
}

void EmitFan(int r, int c, int s, const BYTE flags[4]) {
    const int h = s / 2;
    const WORD m = Index(r + h, c + h);
    if (flags[0]) {
        Emit(Index(r + s, c), Index(r + s, c + h), m);
        Emit(Index(r + s, c + h), Index(r + s, c + s), m);
    } else {
        Emit(m, Index(r + s, c), Index(r + s, c + s));
    }
    if (flags[1]) {
        Emit(Index(r, c), m, Index(r, c + h));
        Emit(m, Index(r, c + s), Index(r, c + h));
    } else {
        Emit(Index(r, c), m, Index(r, c + s));
    }
    if (flags[2]) {
        Emit(Index(r, c), Index(r + h, c), m);
        Emit(Index(r + h, c), Index(r + s, c), m);
    } else {
        Emit(Index(r, c), Index(r + s, c), m);
    }
    if (flags[3]) {
        Emit(Index(r, c + s), m, Index(r + h, c + s));
        Emit(m, Index(r + s, c + s), Index(r + h, c + s));
    } else {
        Emit(Index(r, c + s), m, Index(r + s, c + s));
    }
}

void BuildTriangleList() {
    struct Block { int row, column; };
    std::fill(SplitFlags.begin(), SplitFlags.end(), 0);
    std::vector<Block> current, next;
    for (int r = 0; r < GridHeight - TopBlockSize; r += TopBlockSize) {
        for (int c = 0; c < GridWidth - TopBlockSize; c += TopBlockSize) {
            if (NeedsSplit(r, c, TopBlockSize)) SplitFlag(r + TopBlockSize / 2, c + TopBlockSize / 2) = 1;
            current.push_back({r, c});
        }
    }
    TriangleList.clear();
    for (int size = TopBlockSize; !current.empty(); size /= 2) {
        const int h = size / 2;
        while (!current.empty()) {
            const Block block = current.back();  // last appended first
            current.pop_back();
            const int r = block.row, c = block.column;
            BYTE flags[4];
            if (size == 2 || !SplitFlag(r + h, c + h)) {
                EmitBlock(r, c, size);
            } else if (!NeighboursSplit(r, c, size, flags)) {
                EmitFan(r, c, size, flags);
            } else {
                for (const Block child : {Block{r, c}, Block{r + h, c}, Block{r, c + h}, Block{r + h, c + h}}) {
                    if (NeedsSplit(child.row, child.column, h)) SplitFlag(child.row + h / 2, child.column + h / 2) = 1;
                    next.push_back(child);
                }
            }
        }
        std::swap(current, next);
    }
}

void RebuildLod() {
    if (TerrainIndexBuffer == nullptr) return;
    BuildTriangleList();
    void* data = nullptr;
    const UINT bytes = UINT(TriangleList.size() * sizeof(TerrainTriangle));
    if (bytes > 0 && SUCCEEDED(TerrainIndexBuffer->Lock(0, bytes, &data, 0))) {
        std::memcpy(data, TriangleList.data(), bytes);
        TerrainIndexBuffer->Unlock();
    }
}

void LoadTerrain(IDirect3DDevice9* device, FreeCamera* camera, const wchar_t* heightmapPath,
                 const wchar_t* texturePath, int scale) {
    LodCamera = camera;
    GridScale = scale;
    TerrainDevice = device;
    if (!ReadHeightmap(heightmapPath) || GridWidth < 2 || GridHeight < 2) return;
    const UINT vertexBytes = UINT(TerrainVertices.size() * sizeof(TerrainVertex));
    // Room for four triangles per grid cell; a rebuild never needs more than half of one.
    const UINT indexBytes = UINT((GridHeight - 1) * (GridWidth - 1) * 24);
    if (FAILED(device->CreateVertexBuffer(vertexBytes, D3DUSAGE_DYNAMIC, TerrainVertexFormat, D3DPOOL_DEFAULT,
                                          &TerrainVertexBuffer, nullptr)) ||
        FAILED(device->CreateIndexBuffer(indexBytes, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                         D3DPOOL_DEFAULT, &TerrainIndexBuffer, nullptr))) {
        ReleaseTerrain();
        return;
    }
    LoadLinearTexture(device, texturePath, &TerrainTexture);
    void* data = nullptr;
    if (SUCCEEDED(TerrainVertexBuffer->Lock(0, vertexBytes, &data, 0))) {
        std::memcpy(data, TerrainVertices.data(), vertexBytes);
        TerrainVertexBuffer->Unlock();
    }
    RebuildLod();
}

int DrawTerrain() {
    if (TerrainVertexBuffer == nullptr || TerrainIndexBuffer == nullptr) return 0;
    const int count = int(TriangleList.size());
    TerrainDevice->SetTexture(0, TerrainTexture);
    TerrainDevice->SetStreamSource(0, TerrainVertexBuffer, 0, sizeof(TerrainVertex));
    TerrainDevice->SetFVF(TerrainVertexFormat);
    TerrainDevice->SetIndices(TerrainIndexBuffer);
    if (count > 0) {
        TerrainDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, GridWidth * GridHeight, 0, count);
    }
    TerrainDevice->SetTexture(0, nullptr);
    return count;
}

void ReleaseTerrain() {
    Release(TerrainVertexBuffer);
    Release(TerrainIndexBuffer);
    Release(TerrainTexture);
    TriangleList.clear();
    ClearHeightmap();
}
