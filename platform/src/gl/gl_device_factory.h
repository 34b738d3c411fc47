// How Direct3DCreate9 reaches the GL device.
#pragma once

#include <d3d9.h>

namespace platform {

// A GL device drawing into the window's GL context; D3DERR_NOTAVAILABLE when no OpenGL 3.3
// core context can be made on the window.
HRESULT CreateGlDevice(HWND window, const D3DPRESENT_PARAMETERS& parameters, IDirect3DDevice9** device);

}  // namespace platform
