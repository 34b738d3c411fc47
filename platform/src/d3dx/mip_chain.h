// Turns a decoded file into what D3DXCreateTextureFromFile uploads: sides rounded up to
// powers of two (the image stretched over the larger texture, so texture coordinates 0..1
// still cover all of it) and a complete mip chain down to 1x1, box filtered.
#pragma once

#include "d3dx/image.h"

namespace platform::d3dx {

uint32_t NextPowerOfTwo(uint32_t value);

// Bilinear stretch of B, G, R, A texels to a new size, sampling at texel centres.
std::vector<uint8_t> ResampleTexels(const ImageLevel& source, uint32_t width, uint32_t height);

// The next smaller level: each output texel averages the 2x2 (or 2x1 at a side of 1) texels
// it covers, rounding to nearest.
ImageLevel BoxDownsample(const ImageLevel& source);

// Sides within the limits, as D3DX scales a file that is too large for the device: the
// file's first level that fits (a DDS may carry one), or else level 0 stretched down to the
// limits (expanded to A8R8G8B8 first when compressed). An image that fits is kept as it is.
Image FitWithin(Image image, TextureLimits limits);

// Power-of-two sides and all levels present. Levels the file provided are kept (compressed
// ones stay compressed); the missing ones are generated from the last provided level. A
// compressed image whose sides are not powers of two is expanded to A8R8G8B8 first.
Image CompleteForTexture(Image image);

}  // namespace platform::d3dx
