// Direct3D enumeration values to their OpenGL counterparts: pure functions, one per kind.
#pragma once

#include "gl/gl_api.h"

#include <d3d9types.h>

#include <array>
#include <cstdint>

namespace platform {

GLenum toGlCompare(DWORD d3dCompare);
GLenum toGlStencilOp(DWORD d3dStencilOp);
GLenum toGlBlendFactor(DWORD d3dBlend);
GLenum toGlBlendOp(DWORD d3dBlendOp);
GLenum toGlPrimitive(D3DPRIMITIVETYPE type);
GLenum toGlPolygonMode(DWORD d3dFillMode);
GLenum toGlAddress(DWORD d3dAddress);
GLenum toGlMagFilter(DWORD d3dMagFilter);
// GL folds the mip filter into the minification filter.
GLenum toGlMinFilter(DWORD d3dMinFilter, DWORD d3dMipFilter);
// A D3DCOLOR (0xAARRGGBB) as GL's red, green, blue, alpha from 0 to 1.
std::array<float, 4> toGlColor(D3DCOLOR color);
// Four bytes B, G, R, A (D3D's A8R8G8B8 in memory) as R, G, B, A, and back.
inline uint32_t SwapRedBlue(uint32_t pixel) {
    return (pixel & 0xff00ff00u) | ((pixel >> 16) & 0xffu) | ((pixel & 0xffu) << 16);
}

}  // namespace platform
