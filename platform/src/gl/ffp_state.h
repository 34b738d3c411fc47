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

// One texture stage after the null-texture rule: a stage that reads a missing texture passes
// the current colour through. Mirrors struct FfpStageShape in the shader.
struct FfpStageShape {
    int32_t colorOp;    // D3DTEXTUREOP
    int32_t colorArg1;  // D3DTA_ argument with its modifier bits
    int32_t colorArg2;
    int32_t alphaOp;
    int32_t alphaArg1;
    int32_t alphaArg2;
    int32_t spriteCoordinates;  // 1: the texture is sampled across the point sprite
};

// Compiled into the shader as constants of the same names rather than read from the uniform
// block, so that the compiler removes every path the state does not take: a software
// rasteriser runs every instruction of a shader for each pixel, taken branch or not. Plain
// 32-bit fields without padding, compared as bytes.
// Whether a stage operation reads its texture (an operation that reads an argument, or the
// texture's alpha, of D3DTA_TEXTURE).
bool StageReadsTexture(DWORD op, DWORD arg1, DWORD arg2);
bool FfpStageReadsTexture(const FfpStageShape& stage);

struct FfpShape {
    // What the vertex format carries.
    int32_t hasNormal;
    int32_t hasDiffuse;
    int32_t hasSpecular;
    int32_t hasPointSize;
    // Vertex lighting; everything below `lighting` stays 0 while it is off.
    int32_t lighting;
    int32_t normalizeNormals;
    int32_t localViewer;
    int32_t lightCount;
    int32_t diffuseSource;  // D3DMATERIALCOLORSOURCE, after the fallback to the material
    int32_t ambientSource;
    int32_t specularSource;
    int32_t emissiveSource;
    // Rasterisation and pixels.
    int32_t pretransformed;  // XYZRHW vertices
    int32_t specularEnable;
    int32_t flatShading;
    int32_t wireframeEdges;  // triangles keep only the pixels at their edges (ES wireframe)
    int32_t alphaFunc;  // D3DCMPFUNC of the alpha test; D3DCMP_ALWAYS while it is off
    FfpStageShape stages[2];
    bool operator==(const FfpShape& other) const;
    bool operator<(const FfpShape& other) const;
};
static_assert(sizeof(FfpShape) == (17 + 2 * 7) * sizeof(int32_t), "FfpShape is compared as bytes: no padding");

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
    bool wireframeEdges = false;  // a wireframe triangle draw where GL has no polygon modes
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
