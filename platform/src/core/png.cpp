// host::WritePng and host::WriteJpeg: captured frames for the runner and the image tests,
// and pictures for the resource generator.
#include <host.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

bool ValidSize(int width, int height, size_t pixels) {
    return width > 0 && height > 0 && pixels == static_cast<size_t>(width) * static_cast<size_t>(height);
}

std::vector<unsigned char> RgbOf(const std::vector<uint32_t>& argb) {
    std::vector<unsigned char> rgb;
    rgb.reserve(argb.size() * 3);
    for (uint32_t pixel : argb) {
        rgb.push_back(static_cast<unsigned char>(pixel >> 16));
        rgb.push_back(static_cast<unsigned char>(pixel >> 8));
        rgb.push_back(static_cast<unsigned char>(pixel));
    }
    return rgb;
}

}  // namespace

namespace host {

bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb) {
    if (!ValidSize(width, height, argb.size())) return false;
    return stbi_write_png(path.c_str(), width, height, 3, RgbOf(argb).data(), width * 3) != 0;
}

bool WriteJpeg(const std::string& path, int width, int height, const std::vector<uint32_t>& argb, int quality) {
    if (!ValidSize(width, height, argb.size()) || quality < 1 || quality > 100) return false;
    return stbi_write_jpg(path.c_str(), width, height, 3, RgbOf(argb).data(), quality) != 0;
}

}  // namespace host
