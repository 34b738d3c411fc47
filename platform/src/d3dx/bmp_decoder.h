// Windows bitmap files: 8-bit palettised (plain or RLE8), 24-bit and 32-bit, bottom-up or
// top-down. 8- and 24-bit images become X8R8G8B8; a 32-bit image becomes A8R8G8B8 when any
// alpha byte is non-zero and X8R8G8B8 otherwise, as D3DX does.
#pragma once

#include "d3dx/image.h"

namespace platform::d3dx {

// Empty when the data is not a bitmap of a supported kind or any part lies outside the data.
// A bitmap larger than the limits is decoded straight to the sides that fit, each texel the
// stored pixel nearest to its centre.
std::optional<Image> DecodeBmp(Bytes file, TextureLimits limits = {});

}  // namespace platform::d3dx
