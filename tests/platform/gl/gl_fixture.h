// A headless window with a GL device on it, and helpers that draw simple shapes and read
// pixels back, for the image tests of the GL device.
#pragma once

#include <d3d9.h>
#include <windows.h>

#include <host.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/headless_device.h"

struct ScreenVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct LitVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL
    float x, y, z;
    float nx, ny, nz;
};
constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

class GlDeviceTest : public ::testing::Test {
protected:
    static constexpr int kSize = 64;

    void SetUp() override {
        headless_ = demo_test::CreateHeadlessDevice(kSize, kSize);
        device_ = headless_.device;
        ASSERT_NE(device_, nullptr);
        ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL,
                                 D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0),
                  D3D_OK);
        ASSERT_EQ(device_->BeginScene(), D3D_OK);
    }

    void TearDown() override { demo_test::ReleaseHeadlessDevice(&headless_); }

    // A screen-space rectangle from (left, top) to (right, bottom) in one colour, drawn as a
    // clockwise strip.
    void DrawRect(float left, float top, float right, float bottom, D3DCOLOR color, float z = 0.5f) {
        ScreenVertex quad[4] = {{left, top, z, 1, color, 0, 0},
                                {right, top, z, 1, color, 1, 0},
                                {left, bottom, z, 1, color, 0, 1},
                                {right, bottom, z, 1, color, 1, 1}};
        device_->SetFVF(kScreenFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
    }

    void DrawFullScreen(D3DCOLOR color) { DrawRect(0, 0, kSize, kSize, color); }

    uint32_t Pixel(int x, int y) {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(host::ReadBackBuffer(device_, &width, &height, &pixels));
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return pixels[static_cast<size_t>(y) * width + x];
    }

    // Counts the pixels of row y that differ from black.
    int LitPixelsInRow(int y) {
        int lit = 0;
        for (int x = 0; x < kSize; ++x) lit += (Pixel(x, y) & 0xffffff) != 0;
        return lit;
    }

    demo_test::HeadlessDevice headless_;
    IDirect3DDevice9* device_ = nullptr;
};

// A float render state's value: the bits of the float.
inline DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xff); }

// Red, green and blue each within 2/255 of the expected 0..255 values.
#define EXPECT_RGB_NEAR(pixel, r, g, b)                  \
    do {                                                 \
        uint32_t p_ = (pixel);                           \
        EXPECT_NEAR(Channel(p_, 16), (r), 2) << "red";   \
        EXPECT_NEAR(Channel(p_, 8), (g), 2) << "green";  \
        EXPECT_NEAR(Channel(p_, 0), (b), 2) << "blue";   \
    } while (0)
