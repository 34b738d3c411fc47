// The D3DX 9 subset that the demo programs call: maths, textures, fonts and lines.
#pragma once

#include <cmath>
#include <d3d9.h>

#include "d3dx9math.h"
#include "d3dx9mesh.h"

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_FROM_FILE ((UINT)-3)

#define D3DXERR_INVALIDDATA MAKE_HRESULT(1, 0x876, 2905)
#define D3DXERR_INVALIDMESH MAKE_HRESULT(1, 0x876, 2900)

// ---- textures ---------------------------------------------------------------------------
// BMP (8-bit palettised, RLE8, 24- and 32-bit), JPEG and DDS (A8R8G8B8, X8R8G8B8, DXT1/3/5),
// with a full mip chain. A missing or malformed file returns a failure code.
HRESULT WINAPI D3DXCreateTextureFromFileW(IDirect3DDevice9* device, LPCWSTR srcFile, IDirect3DTexture9** texture);
HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR srcFile, IDirect3DTexture9** texture);

// ---- fonts ------------------------------------------------------------------------------
#define LF_FACESIZE 32
#define DEFAULT_CHARSET 1
#define ANSI_CHARSET 0
#define GB2312_CHARSET 134
#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700
#define OUT_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0

#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400

typedef struct _D3DXFONT_DESCW {
    INT Height;
    UINT Width;
    UINT Weight;
    UINT MipLevels;
    BOOL Italic;
    BYTE CharSet;
    BYTE OutputPrecision;
    BYTE Quality;
    BYTE PitchAndFamily;
    WCHAR FaceName[LF_FACESIZE];
} D3DXFONT_DESCW;

struct ID3DXSprite;

struct ID3DXFont : public IUnknown {
    STDMETHOD(GetDevice)(IDirect3DDevice9** device) PURE;
    STDMETHOD(GetDescW)(D3DXFONT_DESCW* desc) PURE;
    // Returns the height of the drawn text in pixels, 0 on failure.
    STDMETHOD_(INT, DrawTextW)(ID3DXSprite* sprite, LPCWSTR text, INT count, LPRECT rect, DWORD format,
                               D3DCOLOR color) PURE;
    STDMETHOD(OnLostDevice)() PURE;
    STDMETHOD(OnResetDevice)() PURE;
};
typedef ID3DXFont* LPD3DXFONT;

HRESULT WINAPI D3DXCreateFontIndirectW(IDirect3DDevice9* device, const D3DXFONT_DESCW* desc, ID3DXFont** font);

// ---- lines ------------------------------------------------------------------------------
struct ID3DXLine : public IUnknown {
    STDMETHOD(GetDevice)(IDirect3DDevice9** device) PURE;
    STDMETHOD(Begin)() PURE;
    STDMETHOD(Draw)(const D3DXVECTOR2* vertices, DWORD count, D3DCOLOR color) PURE;
    STDMETHOD(DrawTransform)(const D3DXVECTOR3* vertices, DWORD count, const D3DXMATRIX* transform,
                             D3DCOLOR color) PURE;
    STDMETHOD(SetWidth)(float width) PURE;
    STDMETHOD_(float, GetWidth)() PURE;
    STDMETHOD(SetAntialias)(BOOL antialias) PURE;
    STDMETHOD_(BOOL, GetAntialias)() PURE;
    STDMETHOD(End)() PURE;
    STDMETHOD(OnLostDevice)() PURE;
    STDMETHOD(OnResetDevice)() PURE;
};
typedef ID3DXLine* LPD3DXLINE;

HRESULT WINAPI D3DXCreateLine(IDirect3DDevice9* device, ID3DXLine** line);
