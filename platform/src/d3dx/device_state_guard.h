// Changes device states for a D3DX drawing helper and puts back exactly what it changed.
// Direct3D 9 state blocks would do this on Windows; our device subset has none, so each
// setter here reads the current value first (once per state) and Restore writes it back.
#pragma once

#include <d3d9.h>

#include <map>
#include <utility>

namespace platform::d3dx {

class DeviceStateGuard {
public:
    explicit DeviceStateGuard(IDirect3DDevice9* device);
    ~DeviceStateGuard();
    DeviceStateGuard(const DeviceStateGuard&) = delete;
    DeviceStateGuard& operator=(const DeviceStateGuard&) = delete;

    void SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    void SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    void SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value);
    void SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix);
    void SetTexture(DWORD stage, IDirect3DBaseTexture9* texture);
    void SetFVF(DWORD fvf);

    // Writes back every saved value and forgets them; the destructor does it too.
    void Restore();

private:
    struct SavedStream {
        IDirect3DVertexBuffer9* buffer = nullptr;
        UINT offset = 0;
        UINT stride = 0;
    };

    IDirect3DDevice9* device_;
    std::map<D3DRENDERSTATETYPE, DWORD> renderStates_;
    std::map<std::pair<DWORD, D3DTEXTURESTAGESTATETYPE>, DWORD> stageStates_;
    std::map<std::pair<DWORD, D3DSAMPLERSTATETYPE>, DWORD> samplerStates_;
    std::map<D3DTRANSFORMSTATETYPE, D3DMATRIX> transforms_;
    std::map<DWORD, IDirect3DBaseTexture9*> textures_;  // holds a reference each
    bool fvfSaved_ = false;
    DWORD fvf_ = 0;
    // DrawPrimitiveUP leaves stream 0 unset, so the stream is saved along with the FVF.
    SavedStream stream_;
};

}  // namespace platform::d3dx
