#include "d3d9/device_base.h"

#include "d3d9/shader_render_states.h"

#include <cmath>

namespace platform {
namespace {

// The transform slots a device stores: WORLD(0..255), VIEW, PROJECTION and TEXTURE0..7.
D3DMATRIX* TransformSlot(DeviceState& state, D3DTRANSFORMSTATETYPE type) {
    DWORD value = type;
    if (value == D3DTS_VIEW) return &state.view;
    if (value == D3DTS_PROJECTION) return &state.projection;
    if (value >= D3DTS_TEXTURE0 && value <= D3DTS_TEXTURE7) return &state.textureTransforms[value - D3DTS_TEXTURE0];
    if (value >= 256 && value < 256 + kWorldMatrices) return &state.world[value - 256];
    return nullptr;
}

bool IsValidLight(const D3DLIGHT9& light) {
    if (light.Type != D3DLIGHT_POINT && light.Type != D3DLIGHT_SPOT && light.Type != D3DLIGHT_DIRECTIONAL) {
        return false;
    }
    if (light.Type != D3DLIGHT_DIRECTIONAL && (light.Range < 0.0f || std::isnan(light.Range))) return false;
    if (light.Type == D3DLIGHT_SPOT) {
        const float pi = 3.14159265358979f;
        if (light.Theta < 0.0f || light.Phi < light.Theta || light.Phi > pi) return false;
    }
    return true;
}

}  // namespace

DeviceBase::DeviceBase(UINT width, UINT height, D3DFORMAT depthStencilFormat, const D3DCAPS9& caps)
    : caps_(caps), width_(width), height_(height), depthStencilFormat_(depthStencilFormat) {
    SetDefaultState(&state_, width, height, hasDepthStencil());
}

bool DeviceBase::hasStencil() const {
    return depthStencilFormat_ == D3DFMT_D24S8 || depthStencilFormat_ == D3DFMT_D24X4S4 ||
           depthStencilFormat_ == D3DFMT_D15S1;
}

D3DFORMAT DepthStencilFormatOf(const D3DPRESENT_PARAMETERS& parameters) {
    return parameters.EnableAutoDepthStencil ? parameters.AutoDepthStencilFormat : D3DFMT_UNKNOWN;
}

DeviceBase::~DeviceBase() {
    releaseBindings();
    if (backBuffer_ != nullptr) backBuffer_->Release();
}

void DeviceBase::releaseBindings() {
    for (auto*& texture : state_.textures) {
        if (texture != nullptr) texture->Release();
        texture = nullptr;
    }
    for (auto& stream : state_.streams) {
        if (stream.buffer != nullptr) stream.buffer->Release();
        stream.buffer = nullptr;
    }
    if (state_.indices != nullptr) state_.indices->Release();
    state_.indices = nullptr;
}

HRESULT DeviceBase::QueryInterface(REFIID riid, void** object) {
    if (object != nullptr && riid == IID_IDirect3DDevice9) {
        AddRef();
        *object = static_cast<IDirect3DDevice9*>(this);
        return S_OK;
    }
    return RefCounted<IDirect3DDevice9>::QueryInterface(riid, object);
}

void DeviceBase::setBackBuffer(Surface* surface) {
    if (backBuffer_ != nullptr) backBuffer_->Release();
    backBuffer_ = surface;
}

uint32_t DeviceBase::takeDirty() {
    uint32_t dirty = dirty_;
    dirty_ = 0;
    return dirty;
}

HRESULT DeviceBase::GetDeviceCaps(D3DCAPS9* caps) {
    if (caps == nullptr) return D3DERR_INVALIDCALL;
    *caps = caps_;
    return D3D_OK;
}

HRESULT DeviceBase::GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface9** surface) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    if (swapChain != 0 || backBuffer != 0 || backBuffer_ == nullptr) {
        *surface = nullptr;
        return D3DERR_INVALIDCALL;
    }
    backBuffer_->AddRef();
    *surface = backBuffer_;
    return D3D_OK;
}

// ---- transforms, viewport, material, lights ----------------------------------------------

HRESULT DeviceBase::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = TransformSlot(state_, state);
    if (matrix == nullptr || slot == nullptr) return D3DERR_INVALIDCALL;
    *slot = *matrix;
    dirty_ |= kDirtyTransforms | kDirtyLights;  // lights live in view space
    return D3D_OK;
}

HRESULT DeviceBase::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    D3DMATRIX* slot = TransformSlot(state_, state);
    if (matrix == nullptr || slot == nullptr) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

HRESULT DeviceBase::SetViewport(const D3DVIEWPORT9* viewport) {
    if (viewport == nullptr) return D3DERR_INVALIDCALL;
    // The viewport must lie inside the render target.
    if (viewport->X > width_ || viewport->Width > width_ - viewport->X || viewport->Y > height_ ||
        viewport->Height > height_ - viewport->Y) {
        return D3DERR_INVALIDCALL;
    }
    state_.viewport = *viewport;
    dirty_ |= kDirtyViewport;
    return D3D_OK;
}

HRESULT DeviceBase::GetViewport(D3DVIEWPORT9* viewport) {
    if (viewport == nullptr) return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT DeviceBase::SetMaterial(const D3DMATERIAL9* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    state_.material = *material;
    dirty_ |= kDirtyMaterial;
    return D3D_OK;
}

HRESULT DeviceBase::GetMaterial(D3DMATERIAL9* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    *material = state_.material;
    return D3D_OK;
}

HRESULT DeviceBase::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (light == nullptr || !IsValidLight(*light)) return D3DERR_INVALIDCALL;
    state_.lights[index].light = *light;
    dirty_ |= kDirtyLights;
    return D3D_OK;
}

HRESULT DeviceBase::GetLight(DWORD index, D3DLIGHT9* light) {
    auto found = state_.lights.find(index);
    if (light == nullptr || found == state_.lights.end()) return D3DERR_INVALIDCALL;
    *light = found->second.light;
    return D3D_OK;
}

HRESULT DeviceBase::LightEnable(DWORD index, BOOL enable) {
    auto found = state_.lights.find(index);
    if (found == state_.lights.end()) {
        // Enabling a light that was never set creates the default light first.
        found = state_.lights.emplace(index, LightSlot{DefaultLight(), false}).first;
    }
    found->second.enabled = enable != FALSE;
    dirty_ |= kDirtyLights;
    return D3D_OK;
}

HRESULT DeviceBase::GetLightEnable(DWORD index, BOOL* enable) {
    auto found = state_.lights.find(index);
    if (enable == nullptr || found == state_.lights.end()) return D3DERR_INVALIDCALL;
    *enable = found->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

// ---- render, stage and sampler states ------------------------------------------------------

HRESULT DeviceBase::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (!IsValidRenderState(state)) return D3DERR_INVALIDCALL;
    if (state_.renderStates[state] != value) {
        state_.renderStates[state] = value;
        dirty_ |= kDirtyRenderStates;
        if (IsShaderRenderState(state)) dirty_ |= kDirtyShaderStates;
    }
    return D3D_OK;
}

HRESULT DeviceBase::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (value == nullptr || !IsValidRenderState(state)) return D3DERR_INVALIDCALL;
    *value = state_.renderStates[state];
    return D3D_OK;
}

HRESULT DeviceBase::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (texture == nullptr || stage >= kSamplers) return D3DERR_INVALIDCALL;
    *texture = state_.textures[stage];
    if (*texture != nullptr) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT DeviceBase::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= kSamplers) return D3DERR_INVALIDCALL;
    IDirect3DBaseTexture9*& slot = state_.textures[stage];
    if (slot == texture) return D3D_OK;
    if (texture != nullptr) texture->AddRef();
    if (slot != nullptr) slot->Release();
    slot = texture;
    dirty_ |= kDirtyTextures;
    return D3D_OK;
}

HRESULT DeviceBase::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (value == nullptr || stage >= kTextureStages || !IsValidStageState(type)) return D3DERR_INVALIDCALL;
    *value = state_.stageStates[stage][type];
    return D3D_OK;
}

HRESULT DeviceBase::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= kTextureStages || !IsValidStageState(type)) return D3DERR_INVALIDCALL;
    if (state_.stageStates[stage][type] != value) {
        state_.stageStates[stage][type] = value;
        dirty_ |= kDirtyStageStates;
    }
    return D3D_OK;
}

HRESULT DeviceBase::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (value == nullptr || sampler >= kSamplers || !IsValidSamplerState(type)) return D3DERR_INVALIDCALL;
    *value = state_.samplerStates[sampler][type];
    return D3D_OK;
}

HRESULT DeviceBase::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= kSamplers || !IsValidSamplerState(type)) return D3DERR_INVALIDCALL;
    if (state_.samplerStates[sampler][type] != value) {
        state_.samplerStates[sampler][type] = value;
        dirty_ |= kDirtySamplers;
    }
    return D3D_OK;
}

// ---- vertex input -------------------------------------------------------------------------

HRESULT DeviceBase::SetFVF(DWORD fvf) {
    if (state_.fvf != fvf) {
        state_.fvf = fvf;
        dirty_ |= kDirtyVertexInput;
    }
    return D3D_OK;
}

HRESULT DeviceBase::GetFVF(DWORD* fvf) {
    if (fvf == nullptr) return D3DERR_INVALIDCALL;
    *fvf = state_.fvf;
    return D3D_OK;
}

HRESULT DeviceBase::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes,
                                    UINT stride) {
    if (streamNumber >= kStreams) return D3DERR_INVALIDCALL;
    StreamSource& stream = state_.streams[streamNumber];
    if (streamData != nullptr) streamData->AddRef();
    if (stream.buffer != nullptr) stream.buffer->Release();
    stream = StreamSource{streamData, offsetInBytes, stride};
    dirty_ |= kDirtyVertexInput;
    return D3D_OK;
}

HRESULT DeviceBase::GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9** streamData, UINT* offsetInBytes,
                                    UINT* stride) {
    if (streamNumber >= kStreams || streamData == nullptr || offsetInBytes == nullptr || stride == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const StreamSource& stream = state_.streams[streamNumber];
    *streamData = stream.buffer;
    if (stream.buffer != nullptr) stream.buffer->AddRef();
    *offsetInBytes = stream.offset;
    *stride = stream.stride;
    return D3D_OK;
}

HRESULT DeviceBase::SetIndices(IDirect3DIndexBuffer9* indexData) {
    if (indexData != nullptr) indexData->AddRef();
    if (state_.indices != nullptr) state_.indices->Release();
    state_.indices = indexData;
    dirty_ |= kDirtyIndices;
    return D3D_OK;
}

HRESULT DeviceBase::GetIndices(IDirect3DIndexBuffer9** indexData) {
    if (indexData == nullptr) return D3DERR_INVALIDCALL;
    *indexData = state_.indices;
    if (state_.indices != nullptr) state_.indices->AddRef();
    return D3D_OK;
}

}  // namespace platform
