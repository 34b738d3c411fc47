#include "tests/windows/screen_image.h"

#include <host.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG

namespace wine_check {

bool LoadPng(const std::string& path, Image* image, std::string* error) {
    std::vector<uint32_t> argb;
    if (!host::ReadPng(path, &image->width, &image->height, &argb)) {
        *error = "cannot read " + path + " as a PNG file";
        return false;
    }
    // The comparison keeps red, green and blue only.
    image->pixels.resize(argb.size());
    for (size_t i = 0; i < argb.size(); ++i) image->pixels[i] = argb[i] & 0x00FFFFFF;
    return true;
}

bool SavePng(const std::string& path, const Image& image) {
    std::vector<uint32_t> argb(image.pixels.size());
    for (size_t i = 0; i < argb.size(); ++i) argb[i] = 0xFF000000 | image.pixels[i];
    return host::WritePng(path, image.width, image.height, argb);
}

Image ScaledTo(const Image& image, int width, int height) {
    if (image.width == width && image.height == height) return image;
    Image scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.pixels.resize(size_t(width) * height);
    if (image.width <= 0 || image.height <= 0) return scaled;
    for (int y = 0; y < height; ++y) {
        // The source pixel whose centre is nearest to this pixel's centre.
        const int sourceY = int((y + 0.5) * image.height / height);
        for (int x = 0; x < width; ++x) {
            const int sourceX = int((x + 0.5) * image.width / width);
            scaled.pixels[size_t(y) * width + x] = image.At(sourceX, sourceY);
        }
    }
    return scaled;
}

}  // namespace wine_check
