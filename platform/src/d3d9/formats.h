// Facts about the surface formats the layer stores: which ones textures may use and how
// their bytes are laid out in system memory.
#pragma once

#include <d3d9types.h>

namespace platform {

// Formats CreateTexture accepts: A8R8G8B8, X8R8G8B8, L8 and DXT1/3/5.
bool IsTextureFormat(D3DFORMAT format);
// DXTn formats store 4x4 pixel blocks.
bool IsBlockCompressed(D3DFORMAT format);
// Bytes of one pixel, or of one 4x4 block for DXTn formats.
UINT FormatUnitBytes(D3DFORMAT format);
// Bytes per row of pixels (per row of blocks for DXTn).
UINT FormatRowPitch(D3DFORMAT format, UINT width);
// Bytes of a whole width x height image.
UINT FormatImageBytes(D3DFORMAT format, UINT width, UINT height);
// Number of levels of a complete mip chain down to 1 x 1.
UINT FullMipCount(UINT width, UINT height);

}  // namespace platform
