// A headless window with a GL device, for the D3DX image tests: draw, present, read pixels.
#pragma once

#include <d3dx9.h>
#include <host.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/headless_device.h"

class D3dxImageTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 128;
    static constexpr UINT kHeight = 64;

    void SetUp() override {
        headless_ = demo_test::CreateHeadlessDevice(kWidth, kHeight);
        device_ = headless_.device;
        ASSERT_NE(device_, nullptr);
    }

    void TearDown() override { demo_test::ReleaseHeadlessDevice(&headless_); }

    // Presents the frame and keeps its pixels (ARGB, top row first).
    void Capture() {
        device_->Present(nullptr, nullptr, nullptr, nullptr);
        int width = 0, height = 0;
        ASSERT_TRUE(host::ReadBackBuffer(device_, &width, &height, &pixels_));
        ASSERT_EQ(width, static_cast<int>(kWidth));
        ASSERT_EQ(height, static_cast<int>(kHeight));
    }

    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * kWidth + x] & 0x00ffffff; }

    // Saves the captured frame beside the build, for a person to look at.
    void SavePng(const std::string& name) const {
        const char* buildDir = std::getenv("DEMO_BUILD_DIR");
        std::string path = std::string(buildDir != nullptr ? buildDir : ".") + "/" + name;
        EXPECT_TRUE(host::WritePng(path, kWidth, kHeight, pixels_)) << path;
    }

    demo_test::HeadlessDevice headless_;
    IDirect3DDevice9* device_ = nullptr;
    std::vector<uint32_t> pixels_;
};

// Each channel within `tolerance` of the expected 0x00RRGGBB.
inline ::testing::AssertionResult ColourNear(uint32_t actual, uint32_t expected, int tolerance = 2) {
    for (int shift = 0; shift < 24; shift += 8) {
        int a = static_cast<int>((actual >> shift) & 255), e = static_cast<int>((expected >> shift) & 255);
        if (std::abs(a - e) > tolerance) {
            char message[64];
            std::snprintf(message, sizeof message, "0x%06x is not near 0x%06x", actual & 0xffffffu, expected);
            return ::testing::AssertionFailure() << message;
        }
    }
    return ::testing::AssertionSuccess();
}
