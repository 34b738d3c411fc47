// How the trace device writes arguments.
#pragma once

#include <d3d9.h>

#include <string>

namespace platform {

std::string TracePointer(const void* pointer);
std::string TraceFloat(float value);
std::string TraceColor(D3DCOLOR color);
std::string TraceMatrix(const D3DMATRIX* matrix);
std::string TraceViewport(const D3DVIEWPORT9* viewport);
std::string TraceMaterial(const D3DMATERIAL9* material);
std::string TraceLight(const D3DLIGHT9* light);
// A render state value: colour states in hex, float states as floats, others in decimal.
std::string TraceRenderStateValue(D3DRENDERSTATETYPE state, DWORD value);

}  // namespace platform
