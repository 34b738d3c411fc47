#include "d3d9/trace_format.h"

#include "d3d9/device_state.h"
#include "d3d9/enum_names.h"

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

std::string Vector(float x, float y, float z) {
    return "(" + TraceFloat(x) + ", " + TraceFloat(y) + ", " + TraceFloat(z) + ")";
}

std::string ColorValue(const D3DCOLORVALUE& c) {
    return "(" + TraceFloat(c.r) + ", " + TraceFloat(c.g) + ", " + TraceFloat(c.b) + ", " + TraceFloat(c.a) + ")";
}

}  // namespace

std::string TracePointer(const void* pointer) { return pointer == nullptr ? "null" : "ptr"; }

std::string TraceFloat(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string TraceColor(D3DCOLOR color) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", color);
    return text;
}

std::string TraceMatrix(const D3DMATRIX* matrix) {
    if (matrix == nullptr) return "null";
    std::string text = "[";
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            text += TraceFloat(matrix->m[row][column]);
            if (column < 3) text += " ";
        }
        text += row < 3 ? "; " : "]";
    }
    return text;
}

std::string TraceViewport(const D3DVIEWPORT9* v) {
    if (v == nullptr) return "null";
    return "{" + std::to_string(v->X) + ", " + std::to_string(v->Y) + ", " + std::to_string(v->Width) + ", " +
           std::to_string(v->Height) + ", " + TraceFloat(v->MinZ) + ", " + TraceFloat(v->MaxZ) + "}";
}

std::string TraceMaterial(const D3DMATERIAL9* m) {
    if (m == nullptr) return "null";
    return "{Diffuse " + ColorValue(m->Diffuse) + ", Ambient " + ColorValue(m->Ambient) + ", Specular " +
           ColorValue(m->Specular) + ", Emissive " + ColorValue(m->Emissive) + ", Power " + TraceFloat(m->Power) +
           "}";
}

std::string TraceLight(const D3DLIGHT9* l) {
    if (l == nullptr) return "null";
    return "{" + LightTypeName(l->Type) + ", Diffuse " + ColorValue(l->Diffuse) + ", Specular " +
           ColorValue(l->Specular) + ", Ambient " + ColorValue(l->Ambient) + ", Position " +
           Vector(l->Position.x, l->Position.y, l->Position.z) + ", Direction " +
           Vector(l->Direction.x, l->Direction.y, l->Direction.z) + ", Range " + TraceFloat(l->Range) +
           ", Falloff " + TraceFloat(l->Falloff) + ", Attenuation " +
           Vector(l->Attenuation0, l->Attenuation1, l->Attenuation2) + ", Theta " + TraceFloat(l->Theta) +
           ", Phi " + TraceFloat(l->Phi) + "}";
}

std::string TraceRenderStateValue(D3DRENDERSTATETYPE state, DWORD value) {
    if (IsColorRenderState(state)) return TraceColor(value);
    if (IsFloatRenderState(state)) {
        float number;
        std::memcpy(&number, &value, sizeof number);
        return TraceFloat(number);
    }
    return std::to_string(value);
}

std::string TraceInt(long long value) { return std::to_string(value); }

std::string TraceSamplerStateValue(D3DSAMPLERSTATETYPE type, DWORD value) {
    return type == D3DSAMP_BORDERCOLOR ? TraceColor(value) : TraceInt(value);
}

}  // namespace platform
