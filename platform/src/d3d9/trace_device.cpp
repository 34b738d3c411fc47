#include "d3d9/trace_device.h"

#include "d3d9/device_caps.h"
#include "d3d9/enum_names.h"
#include "d3d9/trace_format.h"

#include <host.h>

#include <initializer_list>

namespace platform {
namespace {

std::string Call(const char* name, std::initializer_list<std::string> arguments) {
    std::string line = name;
    line += "(";
    bool first = true;
    for (const std::string& argument : arguments) {
        if (!first) line += ", ";
        line += argument;
        first = false;
    }
    return line + ")";
}

std::string Int(long long value) { return std::to_string(value); }

bool g_useTraceDevices = false;
bool g_hasTraceCaps = false;
D3DCAPS9 g_traceCaps{};

}  // namespace

TraceDevice::TraceDevice(UINT width, UINT height, D3DFORMAT depthStencilFormat, const D3DCAPS9& caps)
    : DeviceBase(width, height, depthStencilFormat, caps) {
    setBackBuffer(new Surface(this, width, height, D3DFMT_X8R8G8B8, true, nullptr));
}

HRESULT TraceDevice::GetDeviceCaps(D3DCAPS9* caps) {
    if (recording_) record(Call("GetDeviceCaps", {TracePointer(caps)}));
    return DeviceBase::GetDeviceCaps(caps);
}

HRESULT TraceDevice::GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                   IDirect3DSurface9** surface) {
    if (recording_) record(Call("GetBackBuffer", {Int(swapChain), Int(backBuffer), Int(type), TracePointer(surface)}));
    return DeviceBase::GetBackBuffer(swapChain, backBuffer, type, surface);
}

HRESULT TraceDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                   D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) {
    if (recording_) record(Call("CreateTexture", {Int(width), Int(height), Int(levels), Int(usage), FormatName(format),
                                  PoolName(pool), TracePointer(texture), TracePointer(shared)}));
    return DeviceBase::CreateTexture(width, height, levels, usage, format, pool, texture, shared);
}

HRESULT TraceDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                        IDirect3DVertexBuffer9** vertexBuffer, HANDLE* shared) {
    if (recording_) record(Call("CreateVertexBuffer", {Int(length), Int(usage), Int(fvf), PoolName(pool),
                                       TracePointer(vertexBuffer), TracePointer(shared)}));
    return DeviceBase::CreateVertexBuffer(length, usage, fvf, pool, vertexBuffer, shared);
}

HRESULT TraceDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                       IDirect3DIndexBuffer9** indexBuffer, HANDLE* shared) {
    if (recording_) record(Call("CreateIndexBuffer", {Int(length), Int(usage), FormatName(format), PoolName(pool),
                                      TracePointer(indexBuffer), TracePointer(shared)}));
    return DeviceBase::CreateIndexBuffer(length, usage, format, pool, indexBuffer, shared);
}

HRESULT TraceDevice::BeginScene() {
    if (recording_) record("BeginScene()");
    return DeviceBase::BeginScene();
}

HRESULT TraceDevice::EndScene() {
    if (recording_) record("EndScene()");
    return DeviceBase::EndScene();
}

HRESULT TraceDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    if (recording_) record(Call("Clear", {Int(count), TracePointer(rects), Int(flags), TraceColor(color), TraceFloat(z),
                          Int(stencil)}));
    return DeviceBase::Clear(count, rects, flags, color, z, stencil);
}

HRESULT TraceDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                             const RGNDATA* dirtyRegion) {
    if (recording_) record(Call("Present", {TracePointer(sourceRect), TracePointer(destRect), TracePointer(destWindowOverride),
                            TracePointer(dirtyRegion)}));
    return DeviceBase::Present(sourceRect, destRect, destWindowOverride, dirtyRegion);
}

HRESULT TraceDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (recording_) record(Call("SetTransform", {TransformName(state), TraceMatrix(matrix)}));
    return DeviceBase::SetTransform(state, matrix);
}

HRESULT TraceDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    if (recording_) record(Call("GetTransform", {TransformName(state), TracePointer(matrix)}));
    return DeviceBase::GetTransform(state, matrix);
}

HRESULT TraceDevice::SetViewport(const D3DVIEWPORT9* viewport) {
    if (recording_) record(Call("SetViewport", {TraceViewport(viewport)}));
    return DeviceBase::SetViewport(viewport);
}

HRESULT TraceDevice::GetViewport(D3DVIEWPORT9* viewport) {
    if (recording_) record(Call("GetViewport", {TracePointer(viewport)}));
    return DeviceBase::GetViewport(viewport);
}

HRESULT TraceDevice::SetMaterial(const D3DMATERIAL9* material) {
    if (recording_) record(Call("SetMaterial", {TraceMaterial(material)}));
    return DeviceBase::SetMaterial(material);
}

HRESULT TraceDevice::GetMaterial(D3DMATERIAL9* material) {
    if (recording_) record(Call("GetMaterial", {TracePointer(material)}));
    return DeviceBase::GetMaterial(material);
}

HRESULT TraceDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (recording_) record(Call("SetLight", {Int(index), TraceLight(light)}));
    return DeviceBase::SetLight(index, light);
}

HRESULT TraceDevice::GetLight(DWORD index, D3DLIGHT9* light) {
    if (recording_) record(Call("GetLight", {Int(index), TracePointer(light)}));
    return DeviceBase::GetLight(index, light);
}

HRESULT TraceDevice::LightEnable(DWORD index, BOOL enable) {
    if (recording_) record(Call("LightEnable", {Int(index), Int(enable)}));
    return DeviceBase::LightEnable(index, enable);
}

HRESULT TraceDevice::GetLightEnable(DWORD index, BOOL* enable) {
    if (recording_) record(Call("GetLightEnable", {Int(index), TracePointer(enable)}));
    return DeviceBase::GetLightEnable(index, enable);
}

HRESULT TraceDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (recording_) record(Call("SetRenderState", {RenderStateName(state), TraceRenderStateValue(state, value)}));
    return DeviceBase::SetRenderState(state, value);
}

HRESULT TraceDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (recording_) record(Call("GetRenderState", {RenderStateName(state), TracePointer(value)}));
    return DeviceBase::GetRenderState(state, value);
}

HRESULT TraceDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (recording_) record(Call("GetTexture", {Int(stage), TracePointer(texture)}));
    return DeviceBase::GetTexture(stage, texture);
}

HRESULT TraceDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (recording_) record(Call("SetTexture", {Int(stage), TracePointer(texture)}));
    return DeviceBase::SetTexture(stage, texture);
}

HRESULT TraceDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (recording_) record(Call("GetTextureStageState", {Int(stage), StageStateName(type), TracePointer(value)}));
    return DeviceBase::GetTextureStageState(stage, type, value);
}

HRESULT TraceDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (recording_) record(Call("SetTextureStageState", {Int(stage), StageStateName(type), Int(value)}));
    return DeviceBase::SetTextureStageState(stage, type, value);
}

HRESULT TraceDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (recording_) record(Call("GetSamplerState", {Int(sampler), SamplerStateName(type), TracePointer(value)}));
    return DeviceBase::GetSamplerState(sampler, type, value);
}

HRESULT TraceDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    std::string shown = type == D3DSAMP_BORDERCOLOR ? TraceColor(value) : Int(value);
    if (recording_) record(Call("SetSamplerState", {Int(sampler), SamplerStateName(type), shown}));
    return DeviceBase::SetSamplerState(sampler, type, value);
}

HRESULT TraceDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    if (recording_) record(Call("DrawPrimitive", {PrimitiveName(type), Int(startVertex), Int(primitiveCount)}));
    return DeviceBase::DrawPrimitive(type, startVertex, primitiveCount);
}

HRESULT TraceDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                          UINT numVertices, UINT startIndex, UINT primitiveCount) {
    if (recording_) record(Call("DrawIndexedPrimitive", {PrimitiveName(type), Int(baseVertexIndex), Int(minVertexIndex),
                                         Int(numVertices), Int(startIndex), Int(primitiveCount)}));
    return DeviceBase::DrawIndexedPrimitive(type, baseVertexIndex, minVertexIndex, numVertices, startIndex,
                                            primitiveCount);
}

HRESULT TraceDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                     UINT vertexStride) {
    if (recording_) record(Call("DrawPrimitiveUP", {PrimitiveName(type), Int(primitiveCount), TracePointer(vertexData),
                                    Int(vertexStride)}));
    return DeviceBase::DrawPrimitiveUP(type, primitiveCount, vertexData, vertexStride);
}

HRESULT TraceDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                            UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                            const void* vertexData, UINT vertexStride) {
    if (recording_) record(Call("DrawIndexedPrimitiveUP",
                {PrimitiveName(type), Int(minVertexIndex), Int(numVertices), Int(primitiveCount),
                 TracePointer(indexData), FormatName(indexFormat), TracePointer(vertexData), Int(vertexStride)}));
    return DeviceBase::DrawIndexedPrimitiveUP(type, minVertexIndex, numVertices, primitiveCount, indexData,
                                              indexFormat, vertexData, vertexStride);
}

HRESULT TraceDevice::SetFVF(DWORD fvf) {
    if (recording_) record(Call("SetFVF", {Int(fvf)}));
    return DeviceBase::SetFVF(fvf);
}

HRESULT TraceDevice::GetFVF(DWORD* fvf) {
    if (recording_) record(Call("GetFVF", {TracePointer(fvf)}));
    return DeviceBase::GetFVF(fvf);
}

HRESULT TraceDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes,
                                     UINT stride) {
    if (recording_) record(Call("SetStreamSource", {Int(streamNumber), TracePointer(streamData), Int(offsetInBytes), Int(stride)}));
    return DeviceBase::SetStreamSource(streamNumber, streamData, offsetInBytes, stride);
}

HRESULT TraceDevice::GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9** streamData, UINT* offsetInBytes,
                                     UINT* stride) {
    if (recording_) record(Call("GetStreamSource", {Int(streamNumber), TracePointer(streamData), TracePointer(offsetInBytes),
                                    TracePointer(stride)}));
    return DeviceBase::GetStreamSource(streamNumber, streamData, offsetInBytes, stride);
}

HRESULT TraceDevice::SetIndices(IDirect3DIndexBuffer9* indexData) {
    if (recording_) record(Call("SetIndices", {TracePointer(indexData)}));
    return DeviceBase::SetIndices(indexData);
}

HRESULT TraceDevice::GetIndices(IDirect3DIndexBuffer9** indexData) {
    if (recording_) record(Call("GetIndices", {TracePointer(indexData)}));
    return DeviceBase::GetIndices(indexData);
}

bool TraceDevicesRequested(D3DCAPS9* caps) {
    if (g_useTraceDevices && caps != nullptr) *caps = g_hasTraceCaps ? g_traceCaps : DefaultDeviceCaps();
    return g_useTraceDevices;
}

}  // namespace platform

namespace host {

IDirect3DDevice9* CreateTraceDevice(UINT backBufferWidth, UINT backBufferHeight, const D3DCAPS9* caps) {
    D3DCAPS9 chosen = caps != nullptr ? *caps : platform::DefaultDeviceCaps();
    return new platform::TraceDevice(backBufferWidth, backBufferHeight, D3DFMT_D24S8, chosen);
}

const std::vector<std::string>& TraceCalls(IDirect3DDevice9* traceDevice) {
    static const std::vector<std::string> kNone;
    auto* trace = dynamic_cast<platform::TraceDevice*>(traceDevice);
    return trace != nullptr ? trace->calls() : kNone;
}

void ClearTrace(IDirect3DDevice9* traceDevice) {
    if (auto* trace = dynamic_cast<platform::TraceDevice*>(traceDevice)) trace->clearCalls();
}

void SetTraceRecording(IDirect3DDevice9* traceDevice, bool recording) {
    if (auto* trace = dynamic_cast<platform::TraceDevice*>(traceDevice)) trace->setRecording(recording);
}

void UseTraceDevices(bool enable, const D3DCAPS9* caps) {
    platform::g_useTraceDevices = enable;
    platform::g_hasTraceCaps = caps != nullptr;
    if (caps != nullptr) platform::g_traceCaps = *caps;
}

}  // namespace host
