// The part of D3DXCreateTextureFromFile that works on bytes already read: format detection,
// decoding, completing the mip chain and uploading through the device's texture interface.
#pragma once

#include "d3dx/image.h"

namespace platform::d3dx {

// Decodes a BMP, JPEG or DDS file by its leading bytes, scaled down to fit the limits where
// it is larger (FitWithin). Empty for other or malformed data.
std::optional<Image> DecodeImageFile(Bytes file, TextureLimits limits = {});

// The texture sides a device takes, from its caps.
TextureLimits TextureLimitsOf(IDirect3DDevice9* device);

// Creates a managed texture with every level of the image (as CompleteForTexture returns it)
// and fills it. A device that refuses a compressed format gets the A8R8G8B8 expansion instead.
HRESULT UploadTexture(IDirect3DDevice9* device, const Image& image, IDirect3DTexture9** texture);

// The whole load from file bytes, within the device's texture limits; D3DXERR_INVALIDDATA
// when the data cannot be decoded.
HRESULT CreateTextureFromBytes(IDirect3DDevice9* device, Bytes file, IDirect3DTexture9** texture);

}  // namespace platform::d3dx
