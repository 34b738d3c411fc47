// JPEG files (baseline and progressive, through stb_image), decoded to X8R8G8B8.
#pragma once

#include "d3dx/image.h"

namespace platform::d3dx {

// Empty when the data is not a complete JPEG: every segment must lie inside the data, every
// Huffman table must hold at most 256 codes, and the last scan must end with the end-of-image
// marker, so a cut-off download fails instead of showing grey rows.
std::optional<Image> DecodeJpeg(Bytes file);

}  // namespace platform::d3dx
