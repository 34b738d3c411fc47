// What a device promises and refuses according to its depth-stencil format and capabilities.
#include <d3d9.h>

#include <host.h>

#include <gtest/gtest.h>

namespace {

// Creates a trace device through IDirect3D9, as a program would, with the given depth format
// (D3DFMT_UNKNOWN: none).
class DepthFormatDevice {
public:
    explicit DepthFormatDevice(D3DFORMAT depthFormat) {
        host::UseTraceDevices(true);
        d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 64;
        parameters.BackBufferHeight = 64;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = depthFormat != D3DFMT_UNKNOWN;
        parameters.AutoDepthStencilFormat = depthFormat;
        HWND fakeWindow = reinterpret_cast<HWND>(0x1234);
        if (d3d_ != nullptr) {
            d3d_->CreateDevice(0, D3DDEVTYPE_HAL, fakeWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                               &device_);
        }
    }
    ~DepthFormatDevice() {
        if (device_ != nullptr) device_->Release();
        if (d3d_ != nullptr) d3d_->Release();
        host::UseTraceDevices(false);
    }
    IDirect3DDevice9* get() const { return device_; }

private:
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
};

TEST(DepthStencilRules, StencilClearNeedsAStencilFormat) {
    for (D3DFORMAT withoutStencil : {D3DFMT_D16, D3DFMT_D24X8}) {
        DepthFormatDevice device(withoutStencil);
        ASSERT_NE(device.get(), nullptr);
        EXPECT_EQ(device.get()->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1, 0), D3DERR_INVALIDCALL) << withoutStencil;
        EXPECT_EQ(device.get()->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1, 0), D3DERR_INVALIDCALL);
        EXPECT_EQ(device.get()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1, 0), D3D_OK);
    }
    DepthFormatDevice withStencil(D3DFMT_D24S8);
    ASSERT_NE(withStencil.get(), nullptr);
    EXPECT_EQ(withStencil.get()->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1, 0), D3D_OK);

    DepthFormatDevice none(D3DFMT_UNKNOWN);
    ASSERT_NE(none.get(), nullptr);
    EXPECT_EQ(none.get()->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(none.get()->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3D_OK);
}

TEST(DepthStencilRules, ClearRectangleCountMustMatchTheArray) {
    IDirect3DDevice9* device = host::CreateTraceDevice(64, 64);
    D3DRECT rect{0, 0, 8, 8};
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, &rect, D3DCLEAR_TARGET, 0, 1, 0), D3D_OK);  // accepted, clears nothing
    EXPECT_EQ(device->Clear(1, &rect, D3DCLEAR_STENCIL, 0, 1, 0), D3D_OK);  // the trace device has D24S8
    device->Release();
}

TEST(DeviceCaps, TextureOpsAreThoseTheStagesCarryOut) {
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DCAPS9 caps{};
    ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    d3d->Release();
    // D3DTEXOPCAPS_ bits are 1 << (D3DTOP - 1).
    auto supports = [&](D3DTEXTUREOP op) { return (caps.TextureOpCaps & (1u << (op - 1))) != 0; };
    for (D3DTEXTUREOP op : {D3DTOP_DISABLE, D3DTOP_SELECTARG1, D3DTOP_MODULATE, D3DTOP_MODULATE4X,
                            D3DTOP_ADDSIGNED2X, D3DTOP_ADDSMOOTH, D3DTOP_BLENDCURRENTALPHA,
                            D3DTOP_MODULATEALPHA_ADDCOLOR, D3DTOP_MODULATEINVCOLOR_ADDALPHA, D3DTOP_DOTPRODUCT3}) {
        EXPECT_TRUE(supports(op)) << op;
    }
    for (D3DTEXTUREOP op : {D3DTOP_PREMODULATE, D3DTOP_BUMPENVMAP, D3DTOP_BUMPENVMAPLUMINANCE,
                            D3DTOP_MULTIPLYADD, D3DTOP_LERP}) {
        EXPECT_FALSE(supports(op)) << op;
    }
    EXPECT_EQ(caps.TextureOpCaps >> 26, 0u);  // no bits past D3DTOP_LERP
}

}  // namespace
