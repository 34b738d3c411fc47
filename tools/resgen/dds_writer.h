// Writer for the DirectDraw Surface files the programs load as textures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace resgen {

// One level of uncompressed 32-bit A8R8G8B8 pixels. `argb` holds width x height values
// (0xAARRGGBB), top row first. False when the file cannot be written.
bool WriteArgbDds(const std::string& path, int width, int height, const std::vector<uint32_t>& argb);

}  // namespace resgen
