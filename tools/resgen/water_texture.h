// The water's surface texture.
#pragma once

#include <cstdint>
#include <vector>

namespace resgen {

// Blue-green water with a soft network of bright caustic lines (r, g, b per pixel, top row
// first) that tiles seamlessly. `size` must be a multiple of 32.
std::vector<uint8_t> MakeWaterTexture(int size);

}  // namespace resgen
