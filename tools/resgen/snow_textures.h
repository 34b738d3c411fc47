// The textures of the snowfall: the flake sprite and the snow-covered ground.
#pragma once

#include <cstdint>
#include <vector>

namespace resgen {

// A white flake on a transparent background as 0xAARRGGBB, top row first: a soft round core
// with six faint arms fading towards the edge. Every pixel is white so that filtering never
// darkens the rim; only the alpha varies, and it is 0 along the border.
std::vector<uint32_t> MakeSnowflake(int size);

// Snow-covered ground (r, g, b per pixel, top row first): near-white with faint blue-grey
// drifts and a little sparkle, tiling seamlessly. `size` must be a multiple of 16.
std::vector<uint8_t> MakeSnowGround(int size);

}  // namespace resgen
