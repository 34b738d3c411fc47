// A headless window with a GL device on it, for the image tests: back buffer of the given
// size, X8R8G8B8 with D24S8 depth and stencil, lockable so frames can be read back.
#pragma once

#include <d3d9.h>
#include <windows.h>

namespace demo_test {

struct HeadlessDevice {
    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// The presentation parameters of these devices: windowed, lockable back buffer.
D3DPRESENT_PARAMETERS HeadlessPresentParameters(HWND window, UINT width, UINT height);

// Switches the platform to headless mode, forgets earlier windows and creates a new window
// and device; whatever failed stays null.
HeadlessDevice CreateHeadlessDevice(UINT width, UINT height);
// Releases the device and the Direct3D object and forgets the window.
void ReleaseHeadlessDevice(HeadlessDevice* headless);

}  // namespace demo_test
