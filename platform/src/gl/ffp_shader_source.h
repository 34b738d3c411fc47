// The GLSL of the fixed-function emulation (GLSL 3.30; kept within what GLSL ES 3.00 also
// accepts). Each function names the FfpUniforms field it reads.
#pragma once

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
};

// flatShading selects D3DSHADE_FLAT: colours come from the first vertex of a primitive.
std::string FfpVertexShaderSource(bool flatShading);
std::string FfpFragmentShaderSource(bool flatShading);

}  // namespace platform
