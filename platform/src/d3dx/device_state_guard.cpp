#include "d3dx/device_state_guard.h"

#include <string>

#include "core/report.h"
#include "d3d9/enum_names.h"

namespace platform::d3dx {
namespace {

// The helper still makes its change; it only cannot promise to undo it.
void ReportUnsaved(const std::string& what) {
    ReportFailure("D3DX could not read " + what + " to put it back afterwards; it is changed all the same");
}

}  // namespace

DeviceStateGuard::DeviceStateGuard(IDirect3DDevice9* device) : device_(device) {}

DeviceStateGuard::~DeviceStateGuard() { Restore(); }

void DeviceStateGuard::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (!renderStates_.contains(state)) {
        DWORD old = 0;
        if (SUCCEEDED(device_->GetRenderState(state, &old))) renderStates_[state] = old;
        else ReportUnsaved("render state " + RenderStateName(state));
    }
    device_->SetRenderState(state, value);
}

void DeviceStateGuard::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    auto key = std::make_pair(stage, type);
    if (!stageStates_.contains(key)) {
        DWORD old = 0;
        if (SUCCEEDED(device_->GetTextureStageState(stage, type, &old))) stageStates_[key] = old;
        else ReportUnsaved("texture stage " + std::to_string(stage) + " state " + StageStateName(type));
    }
    device_->SetTextureStageState(stage, type, value);
}

void DeviceStateGuard::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    auto key = std::make_pair(sampler, type);
    if (!samplerStates_.contains(key)) {
        DWORD old = 0;
        if (SUCCEEDED(device_->GetSamplerState(sampler, type, &old))) samplerStates_[key] = old;
        else ReportUnsaved("sampler " + std::to_string(sampler) + " state " + SamplerStateName(type));
    }
    device_->SetSamplerState(sampler, type, value);
}

void DeviceStateGuard::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) {
    if (!transforms_.contains(state)) {
        D3DMATRIX old{};
        if (SUCCEEDED(device_->GetTransform(state, &old))) transforms_[state] = old;
        else ReportUnsaved("transform " + TransformName(state));
    }
    device_->SetTransform(state, &matrix);
}

void DeviceStateGuard::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (!textures_.contains(stage)) {
        IDirect3DBaseTexture9* old = nullptr;
        if (SUCCEEDED(device_->GetTexture(stage, &old))) textures_[stage] = old;  // with the reference GetTexture added
        else ReportUnsaved("the texture of stage " + std::to_string(stage));
    }
    device_->SetTexture(stage, texture);
}

void DeviceStateGuard::SetFVF(DWORD fvf) {
    if (!fvfSaved_) {
        if (SUCCEEDED(device_->GetFVF(&fvf_))) {
            if (FAILED(device_->GetStreamSource(0, &stream_.buffer, &stream_.offset, &stream_.stride))) {
                ReportUnsaved("stream source 0");
                stream_ = SavedStream{};
            }
            fvfSaved_ = true;
        } else {
            ReportUnsaved("the FVF");
        }
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
