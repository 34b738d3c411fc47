#include "d3dx/device_state_guard.h"

namespace platform::d3dx {

DeviceStateGuard::DeviceStateGuard(IDirect3DDevice9* device) : device_(device) {}

DeviceStateGuard::~DeviceStateGuard() { Restore(); }

void DeviceStateGuard::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (!renderStates_.contains(state)) {
        DWORD old = 0;
        if (FAILED(device_->GetRenderState(state, &old))) return;
        renderStates_[state] = old;
    }
    device_->SetRenderState(state, value);
}

void DeviceStateGuard::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    auto key = std::make_pair(stage, type);
    if (!stageStates_.contains(key)) {
        DWORD old = 0;
        if (FAILED(device_->GetTextureStageState(stage, type, &old))) return;
        stageStates_[key] = old;
    }
    device_->SetTextureStageState(stage, type, value);
}

void DeviceStateGuard::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    auto key = std::make_pair(sampler, type);
    if (!samplerStates_.contains(key)) {
        DWORD old = 0;
        if (FAILED(device_->GetSamplerState(sampler, type, &old))) return;
        samplerStates_[key] = old;
    }
    device_->SetSamplerState(sampler, type, value);
}

void DeviceStateGuard::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) {
    if (!transforms_.contains(state)) {
        D3DMATRIX old{};
        if (FAILED(device_->GetTransform(state, &old))) return;
        transforms_[state] = old;
    }
    device_->SetTransform(state, &matrix);
}

void DeviceStateGuard::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (!textures_.contains(stage)) {
        IDirect3DBaseTexture9* old = nullptr;
        if (FAILED(device_->GetTexture(stage, &old))) return;
        textures_[stage] = old;  // GetTexture added the reference we keep
    }
    device_->SetTexture(stage, texture);
}

void DeviceStateGuard::SetFVF(DWORD fvf) {
    if (!fvfSaved_) {
        if (FAILED(device_->GetFVF(&fvf_))) return;
        if (FAILED(device_->GetStreamSource(0, &stream_.buffer, &stream_.offset, &stream_.stride))) {
            stream_ = SavedStream{};
        }
        fvfSaved_ = true;
    }
    device_->SetFVF(fvf);
}

void DeviceStateGuard::Restore() {
    for (const auto& [state, value] : renderStates_) device_->SetRenderState(state, value);
    for (const auto& [key, value] : stageStates_) device_->SetTextureStageState(key.first, key.second, value);
    for (const auto& [key, value] : samplerStates_) device_->SetSamplerState(key.first, key.second, value);
    for (const auto& [state, matrix] : transforms_) device_->SetTransform(state, &matrix);
    for (const auto& [stage, texture] : textures_) {
        device_->SetTexture(stage, texture);
        if (texture != nullptr) texture->Release();
    }
    if (fvfSaved_) {
        device_->SetFVF(fvf_);
        device_->SetStreamSource(0, stream_.buffer, stream_.offset, stream_.stride);
        if (stream_.buffer != nullptr) stream_.buffer->Release();
    }
    renderStates_.clear();
    stageStates_.clear();
    samplerStates_.clear();
    transforms_.clear();
    textures_.clear();
    fvfSaved_ = false;
    stream_ = SavedStream{};
}

}  // namespace platform::d3dx
