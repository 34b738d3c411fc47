#include "tests/support/headless_device.h"

#include <host.h>

namespace demo_test {

D3DPRESENT_PARAMETERS HeadlessPresentParameters(HWND window, UINT width, UINT height) {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return parameters;
}

HeadlessDevice CreateHeadlessDevice(UINT width, UINT height) {
    host::SetHeadless(true);
    host::Reset();
    HeadlessDevice headless;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HeadlessDevice";
    RegisterClassExW(&windowClass);
    headless.window = CreateWindowExW(0, L"HeadlessDevice", L"test", WS_POPUP | WS_VISIBLE, 0, 0, int(width),
                                      int(height), nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    headless.d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (headless.window == nullptr || headless.d3d == nullptr) return headless;
    D3DPRESENT_PARAMETERS parameters = HeadlessPresentParameters(headless.window, width, height);
    headless.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, headless.window,
                               D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &headless.device);
    return headless;
}

void ReleaseHeadlessDevice(HeadlessDevice* headless) {
    if (headless->device != nullptr) headless->device->Release();
    if (headless->d3d != nullptr) headless->d3d->Release();
    *headless = HeadlessDevice{};
    host::Reset();
}

}  // namespace demo_test
