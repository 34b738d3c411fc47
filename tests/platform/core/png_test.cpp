#include <host.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

// Read back with stb_image, compiled privately into this test.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace {

TEST(WritePng, StoresArgbPixelsAsRgbTopRowFirst) {
    std::string path = (std::filesystem::temp_directory_path() / ("png_test_" + std::to_string(getpid()) + ".png")).string();
    const std::vector<uint32_t> argb = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFF123456, 0xFFFFFFFF, 0xFF000000};
    ASSERT_TRUE(host::WritePng(path, 3, 2, argb));

    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = stbi_load(path.c_str(), &width, &height, &channels, 0);
    std::filesystem::remove(path);
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(channels, 3);
    const unsigned char expected[18] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0x12, 0x34, 0x56, 0xFF, 0xFF, 0xFF, 0, 0, 0};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(rgb[i], expected[i]) << "byte " << i;
    stbi_image_free(rgb);
}

TEST(WritePng, RejectsMismatchedSizesAndUnwritablePaths) {
    std::vector<uint32_t> four(4, 0xFF000000);
    EXPECT_FALSE(host::WritePng("/tmp/never_written.png", 3, 2, four));
    EXPECT_FALSE(host::WritePng("/tmp/never_written.png", 0, 0, {}));
    EXPECT_FALSE(host::WritePng("/nonexistent-folder/x.png", 2, 2, four));
}

}  // namespace
