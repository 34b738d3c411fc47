// Where each element of a flexible-vertex-format vertex lives: pure functions over the FVF
// bits, shared by the GL device (attribute pointers) and the validation of the base device.
#pragma once

#include <d3d9types.h>

namespace platform {

constexpr int kMaxFvfTexCoordSets = 8;

struct FvfLayout {
    bool valid = false;
    UINT stride = 0;
    bool pretransformed = false;  // XYZRHW: screen-space x, y, z and 1/w
    int positionComponents = 0;   // 3 (XYZ and blended forms) or 4 (XYZRHW, XYZW)
    int normalOffset = -1;        // -1: the vertex has no such element
    int pointSizeOffset = -1;
    int diffuseOffset = -1;
    int specularOffset = -1;
    int texCoordSetCount = 0;
    int texCoordOffset[kMaxFvfTexCoordSets] = {};
    int texCoordComponents[kMaxFvfTexCoordSets] = {};
};

// The layout of an FVF; valid is false for bit patterns Direct3D rejects (no position,
// more than eight texture coordinate sets).
FvfLayout DescribeFvf(DWORD fvf);

// Bytes per vertex (0 for an invalid FVF), as D3DXGetFVFVertexSize computes it.
UINT FvfVertexSize(DWORD fvf);

}  // namespace platform
