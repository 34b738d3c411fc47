// The render states the fixed-function shader reads: changing one changes the shader's shape
// or its uniforms, so the device marks kDirtyShaderStates for it; every other render state
// only changes GL's fixed state. The packing of the shader (gl/ffp_state.cpp) reads render
// states through ShaderRenderState alone, which refuses at compile time any state missing
// from this list, so the list and the packing cannot disagree.
#pragma once

#include "d3d9/device_state.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {

inline constexpr std::array kShaderRenderStates = {
    D3DRS_LIGHTING,          D3DRS_AMBIENT,                D3DRS_COLORVERTEX,
    D3DRS_LOCALVIEWER,       D3DRS_NORMALIZENORMALS,       D3DRS_DIFFUSEMATERIALSOURCE,
    D3DRS_SPECULARMATERIALSOURCE, D3DRS_AMBIENTMATERIALSOURCE, D3DRS_EMISSIVEMATERIALSOURCE,
    D3DRS_SPECULARENABLE,    D3DRS_ALPHATESTENABLE,        D3DRS_ALPHAFUNC,
    D3DRS_ALPHAREF,          D3DRS_TEXTUREFACTOR,          D3DRS_SHADEMODE,
    D3DRS_POINTSIZE,         D3DRS_POINTSIZE_MIN,          D3DRS_POINTSIZE_MAX,
    D3DRS_POINTSPRITEENABLE, D3DRS_POINTSCALEENABLE,       D3DRS_POINTSCALE_A,
    D3DRS_POINTSCALE_B,      D3DRS_POINTSCALE_C,           D3DRS_FILLMODE,
};

constexpr bool IsShaderRenderState(D3DRENDERSTATETYPE state) {
    return std::find(kShaderRenderStates.begin(), kShaderRenderStates.end(), state) != kShaderRenderStates.end();
}

// A render state as the shader's packing reads it.
template <D3DRENDERSTATETYPE State>
DWORD ShaderRenderState(const DeviceState& state) {
    static_assert(IsShaderRenderState(State), "the fixed-function shader reads only the states of kShaderRenderStates");
    return state.renderStates[State];
}

// The same for a state holding a float in its bits (point sizes and scales).
template <D3DRENDERSTATETYPE State>
float ShaderFloatRenderState(const DeviceState& state) {
    const DWORD bits = ShaderRenderState<State>(state);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace platform
