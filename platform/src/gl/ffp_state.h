// The fixed-function state the emulation shader needs, packed by pure functions into two
// plain structs: FfpShape, the choices that pick the shader's code paths, and FfpUniforms,
// the values, laid out as the std140 uniform block FfpBlock of the shader.
#pragma once

#include "d3d9/device_state.h"
#include "d3d9/fvf_layout.h"

#include <cstdint>

namespace platform {

// One enabled light in view space. Mirrors struct FfpLight in the shader.
struct FfpLight {
    float diffuse[4];
    float specular[4];
    float ambient[4];
    float position[4];     // xyz view-space position; w the D3DLIGHTTYPE
    float direction[4];    // directional: unit vector towards the light; spot: unit spot axis; w range
    float attenuation[4];  // Attenuation0, 1, 2, Falloff
    float spot[4];         // cos(Theta / 2), cos(Phi / 2)
};

// Stage operations after the null-texture rule: a stage that reads a missing texture
// passes the current colour through.
struct FfpStage {
    int32_t color[4];  // COLOROP, COLORARG1, COLORARG2, unused
    int32_t alpha[4];  // ALPHAOP, ALPHAARG1, ALPHAARG2, sprite coordinates (1) or not (0)
};

// Compiled into the shader as constants rather than read from the uniform block, so that
// the compiler removes every path the state does not take: a software rasteriser runs
// every instruction of a shader for each pixel, taken branch or not.
struct FfpShape {
    int32_t vertex[4];          // has normal, has diffuse, has specular, has point size
    int32_t lighting[4];        // lighting on, normalize normals, local viewer, light count
    int32_t materialSource[4];  // diffuse, ambient, specular, emissive: 0 material, 1 COLOR1, 2 COLOR2
    int32_t pixel[4];           // pretransformed, specular enable, flat shading, D3DCMPFUNC of the alpha test
    FfpStage stages[2];
    bool operator==(const FfpShape& other) const;
    bool operator<(const FfpShape& other) const;
};

struct FfpUniforms {
    float worldView[16];     // D3D row-vector matrices, stored as D3D stores them
    float projection[16];
    float normalMatrix[16];  // inverse transpose of worldView
    float materialDiffuse[4];
    float materialAmbient[4];
    float materialSpecular[4];
    float materialEmissive[4];
    float materialPower[4];  // Power, then unused
    float globalAmbient[4];
    float viewport[4];       // D3D viewport x, y, width, height in pixels
    float pointSize[4];      // size, minimum, maximum (already capped by the device), unused
    float pointScale[4];     // POINTSCALE_A, B, C, scaling on (1) or off (0)
    float textureFactor[4];
    float alphaReference[4];  // ALPHAREF on the 0..255 scale, then unused
    float guardBandScale[4];  // x, y: the viewport's share of the GL viewport (see PointGuardBand)
    FfpLight lights[kMaxActiveLights];
};

struct FfpInputs {
    const DeviceState* state = nullptr;
    FvfLayout layout;
    bool textureBound[2] = {false, false};
    bool drawingPoints = false;
    bool flatShading = false;
    float maxPointSize = 64.0f;  // D3DCAPS9::MaxPointSize
};

// GL drops a point whose centre leaves the clip volume, where Direct3D draws the part of a
// large point that is inside the viewport. A point draw therefore widens the GL viewport by
// this many pixels on every side (half the largest point), scales clip-space x and y by
// guardBandScale so that everything lands on the same pixels, and scissors to the viewport.
// Other draws keep the viewport as it is: 0.
int PointGuardBand(const FfpInputs& inputs);

FfpShape PackFfpShape(const FfpInputs& inputs);
FfpUniforms PackFfpUniforms(const FfpInputs& inputs);

// D3D row-vector matrix product a * b.
D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b);
// Inverse transpose of the upper 3x3 part (identity when singular), as a 4x4 matrix.
D3DMATRIX NormalMatrixOf(const D3DMATRIX& worldView);

}  // namespace platform
