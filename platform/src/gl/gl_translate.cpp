#include "gl/gl_translate.h"

#include "gl/gl_profile.h"

namespace platform {

GLenum toGlCompare(DWORD d3dCompare) {
    switch (d3dCompare) {
        case D3DCMP_NEVER: return GL_NEVER;
        case D3DCMP_LESS: return GL_LESS;
        case D3DCMP_EQUAL: return GL_EQUAL;
        case D3DCMP_LESSEQUAL: return GL_LEQUAL;
        case D3DCMP_GREATER: return GL_GREATER;
        case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

GLenum toGlStencilOp(DWORD d3dStencilOp) {
    switch (d3dStencilOp) {
        case D3DSTENCILOP_ZERO: return GL_ZERO;
        case D3DSTENCILOP_REPLACE: return GL_REPLACE;
        case D3DSTENCILOP_INCRSAT: return GL_INCR;
        case D3DSTENCILOP_DECRSAT: return GL_DECR;
        case D3DSTENCILOP_INVERT: return GL_INVERT;
        case D3DSTENCILOP_INCR: return GL_INCR_WRAP;
        case D3DSTENCILOP_DECR: return GL_DECR_WRAP;
        default: return GL_KEEP;
    }
}

GLenum toGlBlendFactor(DWORD d3dBlend) {
    switch (d3dBlend) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
        case D3DBLEND_BLENDFACTOR: return GL_CONSTANT_COLOR;
        case D3DBLEND_INVBLENDFACTOR: return GL_ONE_MINUS_CONSTANT_COLOR;
        default: return GL_ONE;
    }
}

GLenum toGlBlendOp(DWORD d3dBlendOp) {
    switch (d3dBlendOp) {
        case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
        case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
        case D3DBLENDOP_MIN: return GL_MIN;
        case D3DBLENDOP_MAX: return GL_MAX;
        default: return GL_FUNC_ADD;
    }
}

GLenum toGlPrimitive(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST: return GL_POINTS;
        case D3DPT_LINELIST: return GL_LINES;
        case D3DPT_LINESTRIP: return GL_LINE_STRIP;
        case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
        default: return GL_TRIANGLES;
    }
}

GLenum toGlPolygonMode(DWORD d3dFillMode) {
    switch (d3dFillMode) {
        case D3DFILL_POINT: return GL_POINT;
        case D3DFILL_WIREFRAME: return GL_LINE;
        default: return GL_FILL;
    }
}

GLenum toGlAddress(DWORD d3dAddress) {
    switch (d3dAddress) {
        case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        // ES 3.0 has no border colour: the texture's edge stands in for it there.
        case D3DTADDRESS_BORDER: return EsProfile() ? GL_CLAMP_TO_EDGE : GL_CLAMP_TO_BORDER;
        // GL 3.3 has no mirror-once mode; mirrored repeat matches it over [-1, 1].
        case D3DTADDRESS_MIRRORONCE: return GL_MIRRORED_REPEAT;
        default: return GL_REPEAT;
    }
}

GLenum toGlMagFilter(DWORD d3dMagFilter) { return d3dMagFilter == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR; }

GLenum toGlMinFilter(DWORD d3dMinFilter, DWORD d3dMipFilter) {
    bool linear = d3dMinFilter != D3DTEXF_POINT && d3dMinFilter != D3DTEXF_NONE;
    switch (d3dMipFilter) {
        case D3DTEXF_NONE: return linear ? GL_LINEAR : GL_NEAREST;
        case D3DTEXF_POINT: return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        default: return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
}

std::array<float, 4> toGlColor(D3DCOLOR color) {
    return {((color >> 16) & 0xff) / 255.0f, ((color >> 8) & 0xff) / 255.0f, (color & 0xff) / 255.0f,
            ((color >> 24) & 0xff) / 255.0f};
}

}  // namespace platform
