// host::WritePng and host::WriteJpeg: captured frames for the runner and the image tests,
// and pictures for the resource generator.
#include <host.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include <algorithm>
#include <fstream>
#include <iterator>

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

bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* argb) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // stb_image here reads JPEG and PNG; only a PNG signature is let through.
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < sizeof kSignature || !std::equal(kSignature, kSignature + 8, bytes.begin())) return false;
    int w = 0, h = 0, channels = 0;
    stbi_uc* rgb = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 3);
    if (rgb == nullptr) return false;
    argb->resize(size_t(w) * size_t(h));
    for (size_t i = 0; i < argb->size(); ++i) {
        (*argb)[i] = 0xFF000000u | uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    }
    stbi_image_free(rgb);
    *width = w;
    *height = h;
    return true;
}

bool WriteJpeg(const std::string& path, int width, int height, const std::vector<uint32_t>& argb, int quality) {
    if (!ValidSize(width, height, argb.size()) || quality < 1 || quality > 100) return false;
    return stbi_write_jpg(path.c_str(), width, height, 3, RgbOf(argb).data(), quality) != 0;
}

}  // namespace host
