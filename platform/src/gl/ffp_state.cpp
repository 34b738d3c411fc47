#include "gl/ffp_state.h"

#include "d3d9/shader_render_states.h"
#include "core/report.h"
#include "gl/ffp_shader_source.h"
#include "gl/gl_translate.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace platform {
namespace {

void StoreColor(float out[4], D3DCOLOR color) {
    const std::array<float, 4> rgba = toGlColor(color);
    std::copy(rgba.begin(), rgba.end(), out);
}

void StoreColor(float out[4], const D3DCOLORVALUE& color) {
    out[0] = color.r;
    out[1] = color.g;
    out[2] = color.b;
    out[3] = color.a;
}

void Store4(float out[4], float x, float y, float z, float w) {
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = w;
}

// (x, y, z, w) * matrix, row-vector convention.
void Transform(const D3DMATRIX& m, const float in[4], float out[4]) {
    for (int column = 0; column < 4; ++column) {
        out[column] = in[0] * m.m[0][column] + in[1] * m.m[1][column] + in[2] * m.m[2][column] +
                      in[3] * m.m[3][column];
    }
}

void Normalize3(float v[3]) {
    float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length <= 0.0f) return;
    for (int i = 0; i < 3; ++i) v[i] /= length;
}

FfpLight PackLight(const D3DLIGHT9& light, const D3DMATRIX& view) {
    FfpLight packed{};
    StoreColor(packed.diffuse, light.Diffuse);
    StoreColor(packed.specular, light.Specular);
    StoreColor(packed.ambient, light.Ambient);
    float position[4] = {light.Position.x, light.Position.y, light.Position.z, 1.0f};
    float direction[4] = {light.Direction.x, light.Direction.y, light.Direction.z, 0.0f};
    float viewPosition[4];
    float viewDirection[4];
    Transform(view, position, viewPosition);
    Transform(view, direction, viewDirection);
    Normalize3(viewDirection);
    Store4(packed.position, viewPosition[0], viewPosition[1], viewPosition[2], static_cast<float>(light.Type));
    // A directional light shines along Direction, so the way to the light is its negation.
    float sign = light.Type == D3DLIGHT_DIRECTIONAL ? -1.0f : 1.0f;
    Store4(packed.direction, sign * viewDirection[0], sign * viewDirection[1], sign * viewDirection[2], light.Range);
    Store4(packed.attenuation, light.Attenuation0, light.Attenuation1, light.Attenuation2, light.Falloff);
    Store4(packed.spot, std::cos(light.Theta / 2.0f), std::cos(light.Phi / 2.0f), 0.0f, 0.0f);
    return packed;
}

// An operation the shader does not carry out is said once per operation, then drawn as MODULATE.
DWORD OperationTheShaderCarriesOut(DWORD op) {
    if (op == D3DTOP_DISABLE || FfpStageOperationGlsl(op) != nullptr) return op;
    static std::mutex lock;
    static std::set<DWORD> reported;
    std::lock_guard<std::mutex> guard(lock);
    if (reported.insert(op).second) {
        ReportFailure("texture stage operation " + std::to_string(op) +
                      " is not offered by the fixed-function shader; it is drawn as D3DTOP_MODULATE");
    }
    return D3DTOP_MODULATE;
}

FfpStageShape PackStage(const FfpInputs& inputs, int stage) {
    const auto& ts = inputs.state->stageStates[stage];
    DWORD colorOp = ts[D3DTSS_COLOROP], colorArg1 = ts[D3DTSS_COLORARG1], colorArg2 = ts[D3DTSS_COLORARG2];
    DWORD alphaOp = ts[D3DTSS_ALPHAOP], alphaArg1 = ts[D3DTSS_ALPHAARG1], alphaArg2 = ts[D3DTSS_ALPHAARG2];
    if (!inputs.textureBound[stage]) {
        // A stage reading a missing texture passes the previous stage's result through.
        if (StageReadsTexture(colorOp, colorArg1, colorArg2)) {
            colorOp = D3DTOP_SELECTARG1;
            colorArg1 = D3DTA_CURRENT;
        }
        if (StageReadsTexture(alphaOp, alphaArg1, alphaArg2)) {
            alphaOp = D3DTOP_SELECTARG1;
            alphaArg1 = D3DTA_CURRENT;
        }
    }
    colorOp = OperationTheShaderCarriesOut(colorOp);
    alphaOp = OperationTheShaderCarriesOut(alphaOp);
    bool sprite = inputs.drawingPoints && ShaderRenderState<D3DRS_POINTSPRITEENABLE>(*inputs.state) != FALSE;
    return FfpStageShape{static_cast<int32_t>(colorOp),  static_cast<int32_t>(colorArg1),
                         static_cast<int32_t>(colorArg2), static_cast<int32_t>(alphaOp),
                         static_cast<int32_t>(alphaArg1), static_cast<int32_t>(alphaArg2),
                         sprite ? 1 : 0};
}

// COLOR1 / COLOR2 fall back to the material when the vertex lacks that colour.
template <D3DRENDERSTATETYPE Which>
int32_t MaterialSource(const DeviceState& state, const FvfLayout& layout) {
    if (!ShaderRenderState<D3DRS_COLORVERTEX>(state)) return D3DMCS_MATERIAL;
    DWORD source = ShaderRenderState<Which>(state);
    if (source == D3DMCS_COLOR1 && layout.diffuseOffset >= 0) return D3DMCS_COLOR1;
    if (source == D3DMCS_COLOR2 && layout.specularOffset >= 0) return D3DMCS_COLOR2;
    return D3DMCS_MATERIAL;
}

int ActiveLightCount(const DeviceState& state) {
    int count = 0;
    for (const auto& [index, slot] : state.lights) count += slot.enabled ? 1 : 0;
    return std::min(count, static_cast<int>(kMaxActiveLights));
}

void PackLighting(const FfpInputs& inputs, FfpUniforms* out) {
    const DeviceState& state = *inputs.state;
    int count = 0;
    for (const auto& [index, slot] : state.lights) {
        if (!slot.enabled || count == static_cast<int>(kMaxActiveLights)) continue;
        out->lights[count++] = PackLight(slot.light, state.view);
    }
    StoreColor(out->materialDiffuse, state.material.Diffuse);
    StoreColor(out->materialAmbient, state.material.Ambient);
    StoreColor(out->materialSpecular, state.material.Specular);
    StoreColor(out->materialEmissive, state.material.Emissive);
    out->materialPower[0] = state.material.Power;
    StoreColor(out->globalAmbient, ShaderRenderState<D3DRS_AMBIENT>(state));
}

void PackPoints(const FfpInputs& inputs, FfpUniforms* out) {
    const DeviceState& state = *inputs.state;
    float maximum = std::min(ShaderFloatRenderState<D3DRS_POINTSIZE_MAX>(state), inputs.maxPointSize);
    Store4(out->pointSize, ShaderFloatRenderState<D3DRS_POINTSIZE>(state), ShaderFloatRenderState<D3DRS_POINTSIZE_MIN>(state), maximum, 0.0f);
    Store4(out->pointScale, ShaderFloatRenderState<D3DRS_POINTSCALE_A>(state), ShaderFloatRenderState<D3DRS_POINTSCALE_B>(state),
           ShaderFloatRenderState<D3DRS_POINTSCALE_C>(state), ShaderRenderState<D3DRS_POINTSCALEENABLE>(state) ? 1.0f : 0.0f);
}

}  // namespace

D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX result{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[row][k] * b.m[k][column];
            result.m[row][column] = sum;
        }
    }
    return result;
}

D3DMATRIX NormalMatrixOf(const D3DMATRIX& m) {
    // The inverse transpose of a 3x3 matrix is its cofactor matrix divided by the determinant.
    float c[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            int r1 = (row + 1) % 3, r2 = (row + 2) % 3, c1 = (column + 1) % 3, c2 = (column + 2) % 3;
            c[row][column] = m.m[r1][c1] * m.m[r2][c2] - m.m[r1][c2] * m.m[r2][c1];
        }
    }
    float determinant = m.m[0][0] * c[0][0] + m.m[0][1] * c[0][1] + m.m[0][2] * c[0][2];
    D3DMATRIX result{};
    result._11 = result._22 = result._33 = result._44 = 1.0f;
    if (std::fabs(determinant) < 1e-30f) return result;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) result.m[row][column] = c[row][column] / determinant;
    }
    return result;
}

int PointGuardBand(const FfpInputs& inputs) {
    if (!inputs.drawingPoints) return 0;
    return static_cast<int>(std::ceil(std::max(inputs.maxPointSize, 1.0f) / 2.0f));
}

bool StageReadsTexture(DWORD op, DWORD arg1, DWORD arg2) {
    if (op == D3DTOP_DISABLE) return false;
    if (op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM) return true;
    return ((arg1 & D3DTA_SELECTMASK) == D3DTA_TEXTURE && op != D3DTOP_SELECTARG2) ||
           ((arg2 & D3DTA_SELECTMASK) == D3DTA_TEXTURE && op != D3DTOP_SELECTARG1);
}

bool FfpStageReadsTexture(const FfpStageShape& stage) {
    return StageReadsTexture(static_cast<DWORD>(stage.colorOp), static_cast<DWORD>(stage.colorArg1),
                             static_cast<DWORD>(stage.colorArg2)) ||
           StageReadsTexture(static_cast<DWORD>(stage.alphaOp), static_cast<DWORD>(stage.alphaArg1),
                             static_cast<DWORD>(stage.alphaArg2));
}

bool FfpShape::operator==(const FfpShape& other) const { return std::memcmp(this, &other, sizeof other) == 0; }

bool FfpShape::operator<(const FfpShape& other) const { return std::memcmp(this, &other, sizeof other) < 0; }

FfpShape PackFfpShape(const FfpInputs& inputs) {
    const DeviceState& state = *inputs.state;
    const FvfLayout& layout = inputs.layout;
    FfpShape out{};
    out.hasNormal = layout.normalOffset >= 0;
    out.hasDiffuse = layout.diffuseOffset >= 0;
    out.hasSpecular = layout.specularOffset >= 0;
    out.hasPointSize = layout.pointSizeOffset >= 0;
    out.lighting = ShaderRenderState<D3DRS_LIGHTING>(state) != FALSE && !layout.pretransformed;
    // Unlit vertices ignore the rest, which then need no program of their own.
    if (out.lighting) {
        out.normalizeNormals = ShaderRenderState<D3DRS_NORMALIZENORMALS>(state) != FALSE;
        out.localViewer = ShaderRenderState<D3DRS_LOCALVIEWER>(state) != FALSE;
        out.lightCount = ActiveLightCount(state);
        out.diffuseSource = MaterialSource<D3DRS_DIFFUSEMATERIALSOURCE>(state, layout);
        out.ambientSource = MaterialSource<D3DRS_AMBIENTMATERIALSOURCE>(state, layout);
        out.specularSource = MaterialSource<D3DRS_SPECULARMATERIALSOURCE>(state, layout);
        out.emissiveSource = MaterialSource<D3DRS_EMISSIVEMATERIALSOURCE>(state, layout);
    }
    out.pretransformed = layout.pretransformed;
    out.specularEnable = ShaderRenderState<D3DRS_SPECULARENABLE>(state) != FALSE;
    out.flatShading = inputs.flatShading;
    out.wireframeEdges = inputs.wireframeEdges;
    out.alphaFunc = static_cast<int32_t>(ShaderRenderState<D3DRS_ALPHATESTENABLE>(state)
                                             ? ShaderRenderState<D3DRS_ALPHAFUNC>(state)
                                             : DWORD{D3DCMP_ALWAYS});
    out.stages[0] = PackStage(inputs, 0);
    // A disabled stage ends the cascade: what follows it does not matter.
    if (out.stages[0].colorOp != D3DTOP_DISABLE) out.stages[1] = PackStage(inputs, 1);
    else out.stages[1].colorOp = D3DTOP_DISABLE;
    return out;
}

FfpUniforms PackFfpUniforms(const FfpInputs& inputs) {
    const DeviceState& state = *inputs.state;
    FfpUniforms out{};
    D3DMATRIX worldView = MultiplyMatrices(state.world[0], state.view);
    D3DMATRIX normal = NormalMatrixOf(worldView);
    std::memcpy(out.worldView, &worldView, sizeof out.worldView);
    std::memcpy(out.projection, &state.projection, sizeof out.projection);
    std::memcpy(out.normalMatrix, &normal, sizeof out.normalMatrix);
    PackLighting(inputs, &out);
    PackPoints(inputs, &out);
    const D3DVIEWPORT9& vp = state.viewport;
    Store4(out.viewport, static_cast<float>(vp.X), static_cast<float>(vp.Y), static_cast<float>(vp.Width),
           static_cast<float>(vp.Height));
    float guard = 2.0f * static_cast<float>(PointGuardBand(inputs));
    float width = static_cast<float>(vp.Width), height = static_cast<float>(vp.Height);
    float scaleX = guard > 0.0f ? width / (width + guard) : 1.0f;
    float scaleY = guard > 0.0f ? height / (height + guard) : 1.0f;
    Store4(out.guardBandScale, scaleX, scaleY, 1.0f, 1.0f);
    StoreColor(out.textureFactor, ShaderRenderState<D3DRS_TEXTUREFACTOR>(state));
    out.alphaReference[0] = static_cast<float>(ShaderRenderState<D3DRS_ALPHAREF>(state) & 0xff);
    return out;
}

}  // namespace platform
