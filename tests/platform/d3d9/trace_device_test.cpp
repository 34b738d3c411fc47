// The trace device: the lines it records and the results of invalid calls.
#include "d3d9/device_methods.h"

#include <d3d9.h>

#include <host.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Calls a device method with every argument zero (null pointers, zero counts, enumeration 0).
template <typename... Args>
void CallWithZeros(IDirect3DDevice9* device, HRESULT (STDMETHODCALLTYPE IDirect3DDevice9::*method)(Args...)) {
    (device->*method)(Args{}...);
}

template <typename... Args>
size_t ParameterCount(HRESULT (STDMETHODCALLTYPE IDirect3DDevice9::*)(Args...)) {
    return sizeof...(Args);
}

// The arguments of a recorded line "Name(a, b, c)"; zero arguments print no separator.
size_t RecordedArguments(const std::string& line) {
    const size_t open = line.find('(');
    if (open + 2 == line.size()) return 0;
    return 1 + std::count(line.begin() + open, line.end(), ',');
}

DWORD Bits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

class TraceDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { device_ = host::CreateTraceDevice(320, 240); }
    void TearDown() override { device_->Release(); }
    const std::vector<std::string>& Calls() { return host::TraceCalls(device_); }
    IDirect3DDevice9* device_ = nullptr;
};

TEST_F(TraceDeviceTest, RecordsCallsWithConstantNamesAndFormattedValues) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_ARGB(0x10, 0x20, 0x30, 0x40));
    device_->SetRenderState(D3DRS_POINTSIZE, Bits(2.5f));
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device_->SetTexture(0, nullptr);
    D3DMATRIX scale{};
    scale._11 = 2;
    scale._22 = 0.5f;
    scale._33 = 1;
    scale._44 = 1;
    device_->SetTransform(D3DTS_VIEW, &scale);
    device_->SetTransform(D3DTS_WORLDMATRIX(1), &scale);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000080, 1.0f, 0);
    std::vector<std::string> expected = {
        "SetRenderState(D3DRS_LIGHTING, 0)",
        "SetRenderState(D3DRS_AMBIENT, 0x10203040)",
        "SetRenderState(D3DRS_POINTSIZE, 2.5)",
        "SetTextureStageState(1, D3DTSS_COLOROP, 4)",
        "SetSamplerState(0, D3DSAMP_MINFILTER, 2)",
        "SetTexture(0, null)",
        "SetTransform(D3DTS_VIEW, [2 0 0 0; 0 0.5 0 0; 0 0 1 0; 0 0 0 1])",
        "SetTransform(D3DTS_WORLDMATRIX(1), [2 0 0 0; 0 0.5 0 0; 0 0 1 0; 0 0 0 1])",
        "Clear(0, null, 3, 0xff000080, 1, 0)",
    };
    EXPECT_EQ(Calls(), expected);
    host::ClearTrace(device_);
    EXPECT_TRUE(Calls().empty());
}

// Every method of the device list is recorded, by its name and with every argument, whether
// the call succeeds or not.
TEST_F(TraceDeviceTest, RecordsEveryDeviceMethod) {
    struct Method {
        std::string name;
        size_t parameters;
        std::function<void()> call;
    };
    const std::vector<Method> methods = {
#define DEVICE_METHOD(name, parameters, arguments, ...) \
    {#name, ParameterCount(&IDirect3DDevice9::name), [this] { CallWithZeros(device_, &IDirect3DDevice9::name); }},
        D3D9_DEVICE_METHODS(DEVICE_METHOD)
#undef DEVICE_METHOD
    };
    for (const Method& method : methods) {
        host::ClearTrace(device_);
        method.call();
        ASSERT_EQ(Calls().size(), 1u) << method.name;
        EXPECT_EQ(Calls()[0].rfind(method.name + "(", 0), 0u) << Calls()[0];
        EXPECT_EQ(RecordedArguments(Calls()[0]), method.parameters) << Calls()[0];
    }
}

TEST_F(TraceDeviceTest, UserPointerDrawsAreRecordedAndUnbindStreamZero) {
    float vertices[12] = {};
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(64, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    device_->SetStreamSource(0, buffer, 0, 12);
    device_->SetFVF(D3DFVF_XYZ);
    device_->BeginScene();
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 12), D3D_OK);
    device_->EndScene();
    IDirect3DVertexBuffer9* bound = buffer;
    UINT offset = 1;
    UINT stride = 1;
    device_->GetStreamSource(0, &bound, &offset, &stride);
    EXPECT_EQ(bound, nullptr);
    EXPECT_EQ(stride, 0u);
    const auto& calls = Calls();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[1], "SetStreamSource(0, ptr, 0, 12)");
    EXPECT_EQ(calls[2], "SetFVF(2)");
    EXPECT_EQ(calls[4], "DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, ptr, 12)");
    buffer->Release();
}

TEST_F(TraceDeviceTest, InvalidArgumentsFailAsOnWindows) {
    EXPECT_EQ(device_->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_DISABLE), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetSamplerState(16, D3DSAMP_MINFILTER, D3DTEXF_POINT), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(0), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(138), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetTransform(D3DTS_VIEW, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetTexture(16, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetMaterial(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->EndScene(), D3DERR_INVALIDCALL);
    D3DVIEWPORT9 tooWide{100, 0, 300, 240, 0, 1};
    EXPECT_EQ(device_->SetViewport(&tooWide), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->Clear(0, nullptr, 0, 0, 1, 0), D3DERR_INVALIDCALL);

    float vertices[9] = {};
    device_->SetFVF(D3DFVF_XYZ);
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 12), D3DERR_INVALIDCALL);  // no scene
    device_->BeginScene();
    EXPECT_EQ(device_->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // no stream
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(9), 1, vertices, 12), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 12), D3DERR_INVALIDCALL);

    IDirect3DVertexBuffer9* buffer = nullptr;
    device_->CreateVertexBuffer(36, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &buffer, nullptr);
    device_->SetStreamSource(0, buffer, 0, 12);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 1), D3DERR_INVALIDCALL);  // past the end
    device_->EndScene();
    buffer->Release();
    // Failed calls are recorded too.
    EXPECT_EQ(Calls().front(), "SetTextureStageState(8, D3DTSS_COLOROP, 1)");
}

TEST_F(TraceDeviceTest, LightsAreSparseAndEnablingAnUnsetLightCreatesTheDefault) {
    D3DLIGHT9 light{};
    EXPECT_EQ(device_->GetLight(3, &light), D3DERR_INVALIDCALL);
    BOOL enabled = TRUE;
    EXPECT_EQ(device_->GetLightEnable(3, &enabled), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->LightEnable(3, TRUE), D3D_OK);
    ASSERT_EQ(device_->GetLight(3, &light), D3D_OK);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Diffuse.r, 1.0f);
    EXPECT_EQ(light.Direction.z, 1.0f);
    EXPECT_EQ(device_->GetLightEnable(3, &enabled), D3D_OK);
    EXPECT_TRUE(enabled);

    D3DLIGHT9 badSpot{};
    badSpot.Type = D3DLIGHT_SPOT;
    badSpot.Range = 10;
    badSpot.Theta = 1.0f;
    badSpot.Phi = 0.5f;  // the outer cone inside the inner one
    EXPECT_EQ(device_->SetLight(0, &badSpot), D3DERR_INVALIDCALL);
    D3DLIGHT9 unknown{};
    unknown.Type = static_cast<D3DLIGHTTYPE>(7);
    EXPECT_EQ(device_->SetLight(0, &unknown), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetLight(1000, &light), D3D_OK);
}

TEST(TraceDevices, Direct3DCreate9HandsOutTraceDevicesOnRequest) {
    D3DCAPS9 caps{};
    caps.MaxPointSize = 7.0f;
    host::UseTraceDevices(true, &caps);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 200;
    parameters.BackBufferHeight = 100;
    parameters.BackBufferFormat = D3DFMT_UNKNOWN;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    IDirect3DDevice9* device = nullptr;
    HWND fakeWindow = reinterpret_cast<HWND>(0x1234);
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, fakeWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                &device),
              D3D_OK);
    EXPECT_EQ(parameters.BackBufferFormat, D3DFMT_X8R8G8B8);
    D3DCAPS9 reported{};
    device->GetDeviceCaps(&reported);
    EXPECT_EQ(reported.MaxPointSize, 7.0f);
    DWORD zEnable = 99;
    device->GetRenderState(D3DRS_ZENABLE, &zEnable);
    EXPECT_EQ(zEnable, static_cast<DWORD>(D3DZB_FALSE));  // no automatic depth buffer
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1, 0), D3DERR_INVALIDCALL);
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 200u);
    EXPECT_EQ(viewport.Height, 100u);
    EXPECT_EQ(host::TraceCalls(device).size(), 4u);
    device->Release();
    d3d->Release();
    host::UseTraceDevices(false);
}

TEST(Direct3D9, AdapterQueries) {
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceType(1, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT5), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_D24S8),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_P8),
              D3DERR_NOTAVAILABLE);
    D3DCAPS9 caps{};
    ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_NE(caps.VertexProcessingCaps, 0u);
    EXPECT_NE(caps.FVFCaps & D3DFVFCAPS_PSIZE, 0u);
    EXPECT_GE(caps.MaxPointSize, 64.0f);
    EXPECT_EQ(caps.MaxActiveLights, 8u);
    d3d->Release();
}

}  // namespace
