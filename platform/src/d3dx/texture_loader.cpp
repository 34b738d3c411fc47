#include "d3dx/texture_loader.h"

#include <d3dx9.h>

#include "core/paths.h"
#include "core/text.h"
#include "d3dx/bmp_decoder.h"
#include "d3dx/dds_decoder.h"
#include "d3dx/dxt_codec.h"
#include "d3dx/jpeg_decoder.h"
#include "d3dx/mip_chain.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform::d3dx {
namespace {

HRESULT FillLevel(IDirect3DTexture9* texture, UINT index, D3DFORMAT format, const ImageLevel& level) {
    D3DLOCKED_RECT locked{};
    HRESULT hr = texture->LockRect(index, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    uint32_t rowBytes = RowBytes(format, level.width);
    for (uint32_t row = 0; row < RowCount(format, level.height); ++row) {
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(row) * locked.Pitch,
                    level.bytes.data() + static_cast<size_t>(row) * rowBytes, rowBytes);
    }
    return texture->UnlockRect(index);
}

Image ExpandToArgb(const Image& image) {
    Image expanded;
    expanded.format = D3DFMT_A8R8G8B8;
    for (const ImageLevel& level : image.levels) {
        expanded.levels.push_back(
            {level.width, level.height, DecodeDxtLevel(image.format, level.width, level.height, level.bytes)});
    }
    return expanded;
}

}  // namespace

std::optional<Image> DecodeImageFile(Bytes file, TextureLimits limits) {
    std::optional<Image> image;
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') {
        image = DecodeBmp(file, limits);
    } else if (file.size() >= 4 && std::memcmp(file.data(), "DDS ", 4) == 0) {
        image = DecodeDds(file);
    } else if (file.size() >= 2 && file[0] == 0xff && file[1] == 0xd8) {
        image = DecodeJpeg(file);
    }
    if (!image) return std::nullopt;
    return FitWithin(std::move(*image), limits);
}

TextureLimits TextureLimitsOf(IDirect3DDevice9* device) {
    D3DCAPS9 caps{};
    TextureLimits limits;
    if (SUCCEEDED(device->GetDeviceCaps(&caps)) && caps.MaxTextureWidth > 0 && caps.MaxTextureHeight > 0) {
        limits.maxWidth = std::min<uint32_t>(caps.MaxTextureWidth, kMaxImageSide);
        limits.maxHeight = std::min<uint32_t>(caps.MaxTextureHeight, kMaxImageSide);
    }
    return limits;
}

HRESULT UploadTexture(IDirect3DDevice9* device, const Image& image, IDirect3DTexture9** texture) {
    const ImageLevel& top = image.levels.front();
    IDirect3DTexture9* created = nullptr;
    HRESULT hr = device->CreateTexture(top.width, top.height, static_cast<UINT>(image.levels.size()), 0, image.format,
                                       D3DPOOL_MANAGED, &created, nullptr);
    if (FAILED(hr) && IsBlockCompressed(image.format)) return UploadTexture(device, ExpandToArgb(image), texture);
    if (FAILED(hr)) return hr;
    for (UINT level = 0; level < image.levels.size(); ++level) {
        hr = FillLevel(created, level, image.format, image.levels[level]);
        if (FAILED(hr)) {
            created->Release();
            return hr;
        }
    }
    *texture = created;
    return D3D_OK;
}

HRESULT CreateTextureFromBytes(IDirect3DDevice9* device, Bytes file, IDirect3DTexture9** texture) {
    std::optional<Image> image = DecodeImageFile(file, TextureLimitsOf(device));
    if (!image) return D3DXERR_INVALIDDATA;
    return UploadTexture(device, CompleteForTexture(std::move(*image)), texture);
}

}  // namespace platform::d3dx

using platform::d3dx::CreateTextureFromBytes;

// A file that cannot be opened is reported as D3DXERR_INVALIDDATA, the code D3DX gives when
// it cannot read a source file.
HRESULT WINAPI D3DXCreateTextureFromFileW(IDirect3DDevice9* device, LPCWSTR srcFile, IDirect3DTexture9** texture) {
    if (device == nullptr || srcFile == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;
    std::optional<std::vector<uint8_t>> bytes = platform::ReadWholeFile(std::wstring(srcFile), platform::d3dx::kMaxTextureFileBytes);
    if (!bytes) return D3DXERR_INVALIDDATA;
    return CreateTextureFromBytes(device, *bytes, texture);
}

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR srcFile, IDirect3DTexture9** texture) {
    if (srcFile == nullptr) return D3DERR_INVALIDCALL;
    return D3DXCreateTextureFromFileW(device, platform::WideFromUtf8(srcFile).c_str(), texture);
}
