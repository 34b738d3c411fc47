// The textures of halfspace's mouse: r, g, b per pixel, top row first, `size` square.
#pragma once

#include <cstdint>
#include <vector>

namespace resgen {

// Graphite plastic with a soft sheen and a small silver emblem on the palm rest.
std::vector<uint8_t> MakeShellTexture(int size);
// Slightly lighter plastic for the two buttons.
std::vector<uint8_t> MakeButtonTexture(int size);
// Black rubber with ridges, for the wheel.
std::vector<uint8_t> MakeRubberTexture(int size);
// Blue cloth with a fine weave, a stitched border and a faint emblem.
std::vector<uint8_t> MakePadTexture(int size);

}  // namespace resgen
