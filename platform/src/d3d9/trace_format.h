// How the trace device writes arguments.
#pragma once

#include <d3d9.h>

#include <string>

namespace platform {

std::string TracePointer(const void* pointer);
// Integers and enumeration values without a name, in decimal.
std::string TraceInt(long long value);
std::string TraceFloat(float value);
std::string TraceColor(D3DCOLOR color);
std::string TraceMatrix(const D3DMATRIX* matrix);
std::string TraceViewport(const D3DVIEWPORT9* viewport);
std::string TraceMaterial(const D3DMATERIAL9* material);
std::string TraceLight(const D3DLIGHT9* light);
// A render state value: colour states in hex, float states as floats, others in decimal.
std::string TraceRenderStateValue(D3DRENDERSTATETYPE state, DWORD value);
// A sampler state value: the border colour in hex, others in decimal.
std::string TraceSamplerStateValue(D3DSAMPLERSTATETYPE type, DWORD value);

}  // namespace platform
