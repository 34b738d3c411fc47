// A program written only against the Windows API, as the demos are: it opens a window, runs
// a message loop, draws a frame with Direct3D 9 and checks the pixels it reads back through
// a lockable back buffer. Exit code 0 when every pixel is as expected.
#include <d3d9.h>
#include <windows.h>

namespace {

bool g_closing = false;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE || message == WM_DESTROY) {
        g_closing = true;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Vertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

bool NearlyEqual(DWORD pixel, DWORD expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        int a = (pixel >> shift) & 0xff;
        int b = (expected >> shift) & 0xff;
        if (a - b > 2 || b - a > 2) return false;
    }
    return true;
}

// Draws a red left half over a blue clear and checks two pixels of the back buffer.
int DrawAndCheck(IDirect3DDevice9* device) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0);
    device->BeginScene();
    Vertex quad[4] = {{0, 0, 0.5f, 1, 0xffff0000}, {80, 0, 0.5f, 1, 0xffff0000},
                      {0, 120, 0.5f, 1, 0xffff0000}, {80, 120, 0.5f, 1, 0xffff0000}};
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);

    IDirect3DSurface9* backBuffer = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) return 3;
    D3DLOCKED_RECT locked;
    if (FAILED(backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return 4;
    const BYTE* bits = static_cast<const BYTE*>(locked.pBits);
    DWORD left = reinterpret_cast<const DWORD*>(bits + 60 * locked.Pitch)[20];
    DWORD right = reinterpret_cast<const DWORD*>(bits + 60 * locked.Pitch)[140];
    backBuffer->UnlockRect();
    backBuffer->Release();
    if (!NearlyEqual(left, 0x00ff0000)) return 5;
    if (!NearlyEqual(right, 0x000000ff)) return 6;
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"WindowsProgram";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, L"WindowsProgram", L"Direct3D", WS_POPUP, 0, 0, 160, 120, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters = {};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.BackBufferFormat = D3DFMT_UNKNOWN;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    if (d3d == nullptr || FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                                   D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device))) {
        return 2;
    }
    // The back buffer took the client size, 160 x 120.
    int result = parameters.BackBufferWidth == 160 && parameters.BackBufferHeight == 120 ? -1 : 7;
    MSG msg = {};
    for (int frame = 0; frame < 3 && result == -1 && !g_closing; ++frame) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (frame == 2) result = DrawAndCheck(device);
    }
    device->Release();
    d3d->Release();
    DestroyWindow(window);
    return result;
}
