// Writers for the Windows bitmap files the programs read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace resgen {

// 8-bit, uncompressed, bottom-up, with a greyscale palette (index = grey). `rows` holds
// width x height bytes, row 0 first; row 0 is stored first, i.e. it is the bottom row.
bool WriteGreyBitmap(const std::string& path, int width, int height, const std::vector<uint8_t>& rows);

// 24-bit, uncompressed, bottom-up. `rgb` holds width x height x 3 bytes (r, g, b), top row first.
bool WriteColourBitmap(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace resgen
