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

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void SetUp() override {
        host::SetHeadless(true);
        host::Reset();
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"GlDeviceTest";
        ASSERT_NE(RegisterClassExW(&windowClass), 0);
        window_ = CreateWindowExW(0, L"GlDeviceTest", L"gl", WS_POPUP | WS_VISIBLE, 0, 0, kSize, kSize, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d_, nullptr);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = kSize;
        parameters.BackBufferHeight = kSize;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
        parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device_),
                  D3D_OK);
        ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL,
                                 D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0),
                  D3D_OK);
        ASSERT_EQ(device_->BeginScene(), D3D_OK);
    }

    void TearDown() override {
        if (device_ != nullptr) device_->Release();
        if (d3d_ != nullptr) d3d_->Release();
        host::Reset();
    }

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

    HWND window_ = nullptr;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
};

inline int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xff); }

// Red, green and blue each within 2/255 of the expected 0..255 values.
#define EXPECT_RGB_NEAR(pixel, r, g, b)                  \
    do {                                                 \
        uint32_t p_ = (pixel);                           \
        EXPECT_NEAR(Channel(p_, 16), (r), 2) << "red";   \
        EXPECT_NEAR(Channel(p_, 8), (g), 2) << "green";  \
        EXPECT_NEAR(Channel(p_, 0), (b), 2) << "blue";   \
    } while (0)
