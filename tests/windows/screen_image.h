// Pixels as the Wine checks see them: a window grabbed from the X server, or a frame the
// runner saved as PNG. Pixels are 0xRRGGBB (the top byte is ignored), top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wine_check {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

inline int Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
inline int Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
inline int Blue(uint32_t pixel) { return pixel & 0xFF; }

// A rectangle of pixels, right and bottom exclusive (the RECT convention of the programs'
// text boxes).
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Empty() const { return right <= left || bottom <= top; }
};

// Reads an 8-bit RGB or RGBA PNG. False with a one-line reason in *error.
bool LoadPng(const std::string& path, Image* image, std::string* error);
// Writes the image as a PNG (kept beside the test output for a look when a check fails).
bool SavePng(const std::string& path, const Image& image);

// The image resampled to width x height, each pixel taken from the nearest source pixel.
Image ScaledTo(const Image& image, int width, int height);

}  // namespace wine_check
