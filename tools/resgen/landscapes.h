// The terrain's data: the heightmap and the ground texture.
#pragma once

#include <cstdint>
#include <vector>

namespace resgen {

// Heights, row 0 first, of a landscape of ridged mountains, rolling hills, valleys with flat
// floors and a few plateaus, rising towards the far corner so that ridges overlap in depth when
// seen from the near corner. Uses most of the range 0 to 255.
std::vector<uint8_t> MakeHeightmap(int size);

// A ground texture (r, g, b per pixel, top row first) of grass with patches of soil and rock
// that tiles seamlessly. `size` must be a multiple of 64.
std::vector<uint8_t> MakeGroundTexture(int size);

}  // namespace resgen
