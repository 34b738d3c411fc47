// DirectDraw Surface files: A8R8G8B8, X8R8G8B8 and DXT1/DXT3/DXT5 with the mip levels the
// file stores. Compressed levels stay compressed.
#pragma once

#include "d3dx/image.h"

namespace platform::d3dx {

// Empty when the data is not a DDS of a supported format or a declared level is cut short.
std::optional<Image> DecodeDds(Bytes file);

}  // namespace platform::d3dx
