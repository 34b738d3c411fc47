#include "framework/app_shell.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include <d3dx9.h>

#include "framework/input_devices.h"
#include "framework/text_font.h"

int ClientWidth = 0;
int ClientHeight = 0;
HWND MainWindow = nullptr;
bool InputReady = false;
MessageHookFunction MessageHook = nullptr;
double CurrentTime = 0;
double PreviousTime = 0;
double ElapsedTime = 0;
bool WireframeLatch = true;
bool StartFailed = false;

namespace {

const wchar_t kClassName[] = L"ZK3D";

bool RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconW(instance, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
}

std::vector<wchar_t> WideCaption(const char* caption) {
    const int length = static_cast<int>(std::strlen(caption)) + 1;
    std::vector<wchar_t> wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, caption, length, wide.data(), length);
    wide.back() = L'\0';
    return wide;
}

}  // namespace

AppShell::AppShell(HINSTANCE instance, const char* caption, bool fullscreen)
    : fullscreen(fullscreen), caption(), instance(instance), d3d(nullptr), device(nullptr), wireframe(false) {
    if (caption != nullptr) std::snprintf(this->caption, sizeof(this->caption), "%s", caption);
    ClientWidth = 800;
    ClientHeight = 600;
    MainWindow = nullptr;
}

void AppShell::Run() {
    StartFailed = false;
    if (!RegisterWindowClass(instance)) {
        std::fprintf(stderr, "%s: cannot register the window class\n", caption);
        StartFailed = true;
        return;
    }
    const DWORD style = fullscreen ? (WS_POPUP | WS_VISIBLE | WS_SYSMENU) : (WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    MainWindow = CreateWindowExW(0, kClassName, WideCaption(caption).data(), style, 0, 0, ClientWidth,
                                 ClientHeight, nullptr, nullptr, instance, nullptr);
    if (MainWindow == nullptr) {
        std::fprintf(stderr, "%s: cannot create the window\n", caption);
        StartFailed = true;
        return;
    }
    // Without a device no frame could render: the program ends instead of running blind.
    if (!CreateDevice()) {
        std::fprintf(stderr, "%s: cannot create the Direct3D 9 device\n", caption);
        StartFailed = true;
        ShutDown();
        return;
    }
    InitInput(instance);
    InputReady = true;
    ShowWindow(MainWindow, SW_SHOW);
    UpdateWindow(MainWindow);
    RunLoop();
    ReleaseInput();
    Cleanup();
    ReleaseFonts();
    ShutDown();
}

bool AppShell::CreateDevice() {
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d == nullptr) return false;
    if (FAILED(d3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, FALSE)))
        return false;
    if (FAILED(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                      D3DRTYPE_SURFACE, D3DFMT_D16)))
        return false;
    D3DCAPS9 caps = {};
    if (FAILED(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps))) return false;
    const DWORD vertexProcessing =
        caps.VertexProcessingCaps != 0 ? D3DCREATE_HARDWARE_VERTEXPROCESSING : D3DCREATE_SOFTWARE_VERTEXPROCESSING;

    D3DPRESENT_PARAMETERS parameters = {};
    parameters.BackBufferWidth = ClientWidth;
    parameters.BackBufferHeight = ClientHeight;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = !fullscreen;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* created = nullptr;
    if (FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, MainWindow, vertexProcessing, &parameters,
                                 &created)) ||
        created == nullptr) {
        return false;
    }
    device = created;

    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 0.78539819f, static_cast<float>(ClientWidth) / ClientHeight, 0.1f,
                               5000.0f);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    Init();
    return true;
}

void AppShell::RunLoop() {
    MSG message = {};
    while (message.message != WM_QUIT) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            AdvanceClock();
            ToggleWireframe();
            Frame();
        }
        if (IsKeyDown(DIK_ESCAPE)) break;
    }
}

void AppShell::AdvanceClock() {
    PreviousTime = CurrentTime;
    // timeGetTime is unsigned: a count past 2^31 ms is still a positive time.
    CurrentTime = static_cast<double>(static_cast<DWORD>(timeGetTime())) * 0.001;
    ElapsedTime = CurrentTime - PreviousTime;
}

void AppShell::ToggleWireframe() {
    const bool pressed = IsKeyDown(DIK_F1) != 0;
    if (pressed && WireframeLatch) {
        wireframe = !wireframe;
        WireframeLatch = false;
        device->SetRenderState(D3DRS_FILLMODE, wireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    } else if (!pressed && !WireframeLatch) {
        WireframeLatch = true;
    }
}

void AppShell::ShutDown() {
    if (device != nullptr) {
        device->Release();
        device = nullptr;
    }
    if (d3d != nullptr) {
        d3d->Release();
        d3d = nullptr;
    }
    UnregisterClassW(kClassName, instance);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (MessageHook != nullptr && MessageHook(window, message, wParam, lParam)) return 0;
    switch (message) {
    case WM_SIZE:
        ClientWidth = LOWORD(lParam);
        ClientHeight = HIWORD(lParam);
        if (ClientHeight == 0) ClientHeight = 1;
        break;
    case WM_CLOSE:
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) PostQuitMessage(0);
        KeyTable[wParam & 0xFF] = 1;
        break;
    case WM_KEYUP:
        KeyTable[wParam & 0xFF] = 0;
        break;
    case WM_LBUTTONDOWN:
        MouseButtons[0] = 1;
        break;
    case WM_LBUTTONUP:
        MouseButtons[0] = 0;
        break;
    case WM_RBUTTONDOWN:
        MouseButtons[1] = 1;
        break;
    case WM_RBUTTONUP:
        MouseButtons[1] = 0;
        break;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (InputReady) ReadInput();
    return 0;
}

void GetCursorClientPos(int* x, int* y) {
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(MainWindow, &point);
    *x = point.x;
    *y = point.y;
}

int GetClientWidth() { return ClientWidth; }

int GetClientHeight() { return ClientHeight; }
