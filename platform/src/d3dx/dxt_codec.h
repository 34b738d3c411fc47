// DXT1/DXT3/DXT5 block compression: decoding to A8R8G8B8 texels (for the mip levels a file
// leaves out, and for devices without compressed textures) and encoding generated levels.
#pragma once

#include "d3dx/image.h"

namespace platform::d3dx {

// A DXT level of width x height as A8R8G8B8 bytes (B, G, R, A per texel, rows top first).
// The level must hold LevelByteSize(format, width, height) bytes.
std::vector<uint8_t> DecodeDxtLevel(D3DFORMAT format, uint32_t width, uint32_t height, Bytes blocks);

// A8R8G8B8 texels of width x height compressed to the DXT format. DXT1 blocks are always
// opaque (four-colour mode).
std::vector<uint8_t> EncodeDxtLevel(D3DFORMAT format, uint32_t width, uint32_t height, Bytes texels);

}  // namespace platform::d3dx
