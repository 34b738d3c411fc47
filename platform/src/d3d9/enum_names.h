// The Direct3D constant names of enumeration values, for the trace device's call lines.
// An unknown value prints as its decimal number.
#pragma once

#include <d3d9types.h>

#include <string>

namespace platform {

std::string RenderStateName(D3DRENDERSTATETYPE state);
std::string StageStateName(D3DTEXTURESTAGESTATETYPE type);
std::string SamplerStateName(D3DSAMPLERSTATETYPE type);
std::string TransformName(D3DTRANSFORMSTATETYPE type);
std::string PrimitiveName(D3DPRIMITIVETYPE type);
std::string FormatName(D3DFORMAT format);
std::string PoolName(D3DPOOL pool);
std::string LightTypeName(D3DLIGHTTYPE type);

}  // namespace platform
