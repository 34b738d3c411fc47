// Every IDirect3DDevice9 method after IUnknown's, once: name, parameter list, argument list
// and how the trace device prints each argument. The shared device declares its methods from
// this list and the trace device records every one of them, so a method cannot be added to
// one and forgotten by the other; trace_device.cpp makes sure that the list names every
// method of the interface.
//
//   X(Name, (parameters), (arguments), formatted argument, ...)
#pragma once

#define D3D9_DEVICE_METHODS(X)                                                                                  \
    X(GetDeviceCaps, (D3DCAPS9* caps), (caps), TracePointer(caps))                                          \
    X(GetBackBuffer, (UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface), \
      (swapChain, backBuffer, type, surface), TraceInt(swapChain), TraceInt(backBuffer), TraceInt(type),       \
      TracePointer(surface))                                                                                    \
    X(CreateTexture,                                                                                            \
      (UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,                      \
       IDirect3DTexture9** texture, HANDLE* shared),                                                            \
      (width, height, levels, usage, format, pool, texture, shared), TraceInt(width), TraceInt(height),         \
      TraceInt(levels), TraceInt(usage), FormatName(format), PoolName(pool), TracePointer(texture),            \
      TracePointer(shared))                                                                                     \
    X(CreateVertexBuffer,                                                                                       \
      (UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** vertexBuffer, HANDLE* shared), \
      (length, usage, fvf, pool, vertexBuffer, shared), TraceInt(length), TraceInt(usage), TraceInt(fvf),      \
      PoolName(pool), TracePointer(vertexBuffer), TracePointer(shared))                                         \
    X(CreateIndexBuffer,                                                                                        \
      (UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** indexBuffer,          \
       HANDLE* shared),                                                                                         \
      (length, usage, format, pool, indexBuffer, shared), TraceInt(length), TraceInt(usage), FormatName(format), \
      PoolName(pool), TracePointer(indexBuffer), TracePointer(shared))                                          \
    X(BeginScene, (), ())                                                                                       \
    X(EndScene, (), ())                                                                                         \
    X(Clear, (DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil),          \
      (count, rects, flags, color, z, stencil), TraceInt(count), TracePointer(rects), TraceInt(flags),         \
      TraceColor(color), TraceFloat(z), TraceInt(stencil))                                                      \
    X(Present, (const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride, const RGNDATA* dirtyRegion), \
      (sourceRect, destRect, destWindowOverride, dirtyRegion), TracePointer(sourceRect), TracePointer(destRect), \
      TracePointer(destWindowOverride), TracePointer(dirtyRegion))                                              \
    X(SetTransform, (D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix), (state, matrix), TransformName(state), \
      TraceMatrix(matrix))                                                                                      \
    X(GetTransform, (D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix), (state, matrix), TransformName(state),    \
      TracePointer(matrix))                                                                                     \
    X(SetViewport, (const D3DVIEWPORT9* viewport), (viewport), TraceViewport(viewport))                         \
    X(GetViewport, (D3DVIEWPORT9* viewport), (viewport), TracePointer(viewport))                               \
    X(SetMaterial, (const D3DMATERIAL9* material), (material), TraceMaterial(material))                         \
    X(GetMaterial, (D3DMATERIAL9* material), (material), TracePointer(material))                               \
    X(SetLight, (DWORD index, const D3DLIGHT9* light), (index, light), TraceInt(index), TraceLight(light))      \
    X(GetLight, (DWORD index, D3DLIGHT9* light), (index, light), TraceInt(index), TracePointer(light))          \
    X(LightEnable, (DWORD index, BOOL enable), (index, enable), TraceInt(index), TraceInt(enable))              \
    X(GetLightEnable, (DWORD index, BOOL* enable), (index, enable), TraceInt(index), TracePointer(enable))      \
    X(SetRenderState, (D3DRENDERSTATETYPE state, DWORD value), (state, value), RenderStateName(state),           \
      TraceRenderStateValue(state, value))                                                                      \
    X(GetRenderState, (D3DRENDERSTATETYPE state, DWORD* value), (state, value), RenderStateName(state),         \
      TracePointer(value))                                                                                      \
    X(GetTexture, (DWORD stage, IDirect3DBaseTexture9** texture), (stage, texture), TraceInt(stage),            \
      TracePointer(texture))                                                                                    \
    X(SetTexture, (DWORD stage, IDirect3DBaseTexture9* texture), (stage, texture), TraceInt(stage),             \
      TracePointer(texture))                                                                                    \
    X(GetTextureStageState, (DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value), (stage, type, value),  \
      TraceInt(stage), StageStateName(type), TracePointer(value))                                               \
    X(SetTextureStageState, (DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value), (stage, type, value),   \
      TraceInt(stage), StageStateName(type), TraceInt(value))                                                   \
    X(GetSamplerState, (DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value), (sampler, type, value),        \
      TraceInt(sampler), SamplerStateName(type), TracePointer(value))                                           \
    X(SetSamplerState, (DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value), (sampler, type, value),         \
      TraceInt(sampler), SamplerStateName(type), TraceSamplerStateValue(type, value))                           \
    X(DrawPrimitive, (D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount),                            \
      (type, startVertex, primitiveCount), PrimitiveName(type), TraceInt(startVertex), TraceInt(primitiveCount)) \
    X(DrawIndexedPrimitive,                                                                                     \
      (D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices, UINT startIndex,     \
       UINT primitiveCount),                                                                                    \
      (type, baseVertexIndex, minVertexIndex, numVertices, startIndex, primitiveCount), PrimitiveName(type),   \
      TraceInt(baseVertexIndex), TraceInt(minVertexIndex), TraceInt(numVertices), TraceInt(startIndex),        \
      TraceInt(primitiveCount))                                                                                 \
    X(DrawPrimitiveUP, (D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData, UINT vertexStride), \
      (type, primitiveCount, vertexData, vertexStride), PrimitiveName(type), TraceInt(primitiveCount),         \
      TracePointer(vertexData), TraceInt(vertexStride))                                                         \
    X(DrawIndexedPrimitiveUP,                                                                                   \
      (D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices, UINT primitiveCount, const void* indexData, \
       D3DFORMAT indexFormat, const void* vertexData, UINT vertexStride),                                       \
      (type, minVertexIndex, numVertices, primitiveCount, indexData, indexFormat, vertexData, vertexStride),   \
      PrimitiveName(type), TraceInt(minVertexIndex), TraceInt(numVertices), TraceInt(primitiveCount),          \
      TracePointer(indexData), FormatName(indexFormat), TracePointer(vertexData), TraceInt(vertexStride))      \
    X(SetFVF, (DWORD fvf), (fvf), TraceInt(fvf))                                                                \
    X(GetFVF, (DWORD* fvf), (fvf), TracePointer(fvf))                                                          \
    X(SetStreamSource, (UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes, UINT stride), \
      (streamNumber, streamData, offsetInBytes, stride), TraceInt(streamNumber), TracePointer(streamData),     \
      TraceInt(offsetInBytes), TraceInt(stride))                                                                \
    X(GetStreamSource,                                                                                          \
      (UINT streamNumber, IDirect3DVertexBuffer9** streamData, UINT* offsetInBytes, UINT* stride),             \
      (streamNumber, streamData, offsetInBytes, stride), TraceInt(streamNumber), TracePointer(streamData),     \
      TracePointer(offsetInBytes), TracePointer(stride))                                                        \
    X(SetIndices, (IDirect3DIndexBuffer9* indexData), (indexData), TracePointer(indexData))                    \
    X(GetIndices, (IDirect3DIndexBuffer9** indexData), (indexData), TracePointer(indexData))
