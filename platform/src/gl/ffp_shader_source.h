// The GLSL of the fixed-function emulation (GLSL 3.30; kept within what GLSL ES 3.00 also
// accepts). Each function names the FfpUniforms or FfpShape field it reads.
#pragma once

#include "gl/ffp_state.h"

#include <string>

namespace platform {

// Vertex attribute locations, bound before linking.
enum FfpAttribute : unsigned {
    kAttributePosition = 0,
    kAttributeNormal = 1,
    kAttributePointSize = 2,
    kAttributeDiffuse = 3,
    kAttributeSpecular = 4,
    kAttributeTexCoord0 = 5,
    kAttributeTexCoord1 = 6,
    kAttributeEdge = 7,  // the vertex's corner of its triangle, for wireframe edges
};

// The shaders for one shape of the state. Flat shading (D3DSHADE_FLAT) takes the colours
// from the first vertex of a primitive.
std::string FfpVertexShaderSource(const FfpShape& shape);
// The fragment shader is written out for the shape's stages, alpha test and edges, so that no
// branch on the state is left for a driver to fold: a software rasteriser that does not fold
// them runs every instruction of a shader for each pixel, taken branch or not.
std::string FfpFragmentShaderSource(const FfpShape& shape);

// The GLSL expression of a texture stage operation of arguments a and b, or null for an
// operation the shader does not carry out.
const char* FfpStageOperationGlsl(DWORD op);

}  // namespace platform
