#include "gl/ffp_shader_source.h"

#include "gl/gl_profile.h"

#include <sstream>
#include <string>

namespace platform {
namespace {

// The uniform block, laid out as struct FfpUniforms (std140).
const char* kUniformBlock = R"(
struct FfpLight {
    vec4 diffuse;
    vec4 specular;
    vec4 ambient;
    vec4 position;     // xyz view space, w the light type
    vec4 direction;    // xyz towards the light (directional) or the spot axis; w the range
    vec4 attenuation;  // Attenuation0, 1, 2, Falloff
    vec4 spot;         // cos(Theta / 2), cos(Phi / 2)
};
layout(std140) uniform FfpBlock {
    mat4 worldView;
    mat4 projection;
    mat4 normalMatrix;
    vec4 materialDiffuse;
    vec4 materialAmbient;
    vec4 materialSpecular;
    vec4 materialEmissive;
    vec4 materialPower;
    vec4 globalAmbient;
    vec4 viewport;
    vec4 pointSize;
    vec4 pointScale;
    vec4 textureFactor;
    vec4 alphaReference;
    vec4 guardBandScale;
    FfpLight lights[8];
};
)";

const char* kVertexShader = R"(
in vec4 inPosition;
in vec3 inNormal;
in float inPointSize;
in vec4 inDiffuse;   // D3DCOLOR bytes: b, g, r, a
in vec4 inSpecular;
in vec4 inTexCoord0;
in vec4 inTexCoord1;
in vec3 inEdge;
SHADE out vec4 vDiffuse;
SHADE out vec4 vSpecular;
out vec2 vTexCoord0;
out vec2 vTexCoord1;
out vec3 vEdge;

// diffuseSource, ambientSource, specularSource, emissiveSource: a D3DMATERIALCOLORSOURCE.
vec4 materialColor(int source, vec4 material, vec4 diffuse, vec4 specular) {
    if (source == D3DMCS_COLOR1) return diffuse;
    if (source == D3DMCS_COLOR2) return specular;
    return material;
}

// lights[i].spot: full inside the inner cone, none outside the outer one, falloff between.
float spotFactor(FfpLight light, vec3 toLight) {
    float rho = dot(-toLight, light.direction.xyz);
    if (rho > light.spot.x) return 1.0;
    if (rho <= light.spot.y) return 0.0;
    return pow((rho - light.spot.y) / (light.spot.x - light.spot.y), light.attenuation.w);
}

// lights[i]: adds one light's ambient, diffuse and specular terms (D3D lighting equation).
void addLight(FfpLight light, vec3 position, vec3 normal, bool hasNormal,
              inout vec3 ambient, inout vec3 diffuse, inout vec3 specular) {
    int type = int(light.position.w);
    vec3 toLight = light.direction.xyz;
    float scale = 1.0;
    if (type != D3DLIGHT_DIRECTIONAL) {
        vec3 offset = light.position.xyz - position;
        float distance = length(offset);
        if (distance > light.direction.w) return;  // out of range: not even ambient
        toLight = offset / max(distance, 1e-20);
        float denominator = light.attenuation.x + light.attenuation.y * distance +
                            light.attenuation.z * distance * distance;
        scale = denominator > 0.0 ? 1.0 / denominator : 1.0;
        if (type == D3DLIGHT_SPOT) scale *= spotFactor(light, toLight);
    }
    ambient += light.ambient.rgb * scale;
    if (!hasNormal) return;
    float nDotL = dot(normal, toLight);
    if (nDotL <= 0.0) return;
    diffuse += light.diffuse.rgb * min(nDotL, 1.0) * scale;
    vec3 toViewer = localViewer ? normalize(-position) : vec3(0.0, 0.0, -1.0);
    float nDotH = dot(normal, normalize(toViewer + toLight));
    if (nDotH > 0.0) specular += light.specular.rgb * pow(nDotH, materialPower.x) * scale;
}

// lighting, the material sources: the lit diffuse and specular colours of a vertex.
void lightVertex(vec3 position, vec4 vertexDiffuse, vec4 vertexSpecular) {
    vec4 ca = materialColor(ambientSource, materialAmbient, vertexDiffuse, vertexSpecular);
    vec4 cd = materialColor(diffuseSource, materialDiffuse, vertexDiffuse, vertexSpecular);
    vec4 cs = materialColor(specularSource, materialSpecular, vertexDiffuse, vertexSpecular);
    vec4 ce = materialColor(emissiveSource, materialEmissive, vertexDiffuse, vertexSpecular);
    vec3 normal = mat3(normalMatrix) * inNormal;
    if (normalizeNormals) normal = normalize(normal);
    vec3 ambient = vec3(0.0);
    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < 8; ++i) {
        if (i >= lightCount) break;
        addLight(lights[i], position, normal, hasNormal, ambient, diffuse, specular);
    }
    vec3 color = ca.rgb * (globalAmbient.rgb + ambient) + cd.rgb * diffuse + ce.rgb;
    vDiffuse = clamp(vec4(color, cd.a), 0.0, 1.0);
    vSpecular = clamp(vec4(cs.rgb * specular, 0.0), 0.0, 1.0);
}

// D3D pixel centres sit on integer coordinates, GL's half a pixel further on. GL rows run
// upwards, which mirrors the fill rule for edges through pixel centres; nudging everything
// 1/128 pixel towards the top keeps D3D's choice (top edge in, bottom edge out).
const float kEdgeNudge = 1.0 / 128.0;

// pretransformed: XYZRHW vertices are already in screen pixels of the render target.
vec4 pretransformedPosition(vec4 p) {
    vec2 ndc = vec2((p.x + 0.5 - viewport.x) / viewport.z * 2.0 - 1.0,
                    1.0 - (p.y + 0.5 - kEdgeNudge - viewport.y) / viewport.w * 2.0);
    float w = p.w > 0.0 ? 1.0 / p.w : 1.0;
    return vec4(ndc * w, (p.z * 2.0 - 1.0) * w, w);
}

// pointSize, pointScale: the D3D point size formula and its clamps.
float pointSizeOf(vec3 eye) {
    float size = hasPointSize ? inPointSize : pointSize.x;
    if (!pretransformed && pointScale.w > 0.5) {
        float distance = length(eye);
        size = viewport.w * size *
               sqrt(1.0 / (pointScale.x + pointScale.y * distance + pointScale.z * distance * distance));
    }
    if (size > pointSize.z) return pointSize.z;
    if (size < pointSize.y) return pointSize.y;
    return size;
}

void main() {
    vec4 vertexDiffuse = inDiffuse.zyxw;
    vec4 vertexSpecular = inSpecular.zyxw;
    vec3 eye = vec3(0.0);
    if (pretransformed) {
        gl_Position = pretransformedPosition(inPosition);
    } else {
        vec4 eyePosition = worldView * vec4(inPosition.xyz, 1.0);
        eye = eyePosition.xyz;
        vec4 clip = projection * eyePosition;
        clip.z = clip.z * 2.0 - clip.w;  // D3D depth is 0..1; GL wants -1..1
        clip.xy += vec2(1.0, 2.0 * kEdgeNudge - 1.0) / viewport.zw * clip.w;
        gl_Position = clip;
    }
    // guardBandScale: the same pixels inside a GL viewport widened for large points.
    gl_Position.xy *= guardBandScale.xy;
    if (lighting) {
        lightVertex(eye, vertexDiffuse, vertexSpecular);
    } else {
        vDiffuse = vertexDiffuse;
        vSpecular = vertexSpecular;
    }
    gl_PointSize = pointSizeOf(eye);
    vTexCoord0 = inTexCoord0.xy;
    vTexCoord1 = inTexCoord1.xy;
    vEdge = inEdge;
}
)";

// The fragment shader's inputs; its main() is written for each shape (FragmentMain).
const char* kFragmentDeclarations = R"(
uniform sampler2D texture0;
uniform sampler2D texture1;
SHADE in vec4 vDiffuse;
SHADE in vec4 vSpecular;
in vec2 vTexCoord0;
in vec2 vTexCoord1;
in vec3 vEdge;
out vec4 fragColor;
)";

// The texture stage operations the shader carries out, each a GLSL expression of its
// arguments a and b, the stage's texel and the current colour.
struct StageOperation {
    DWORD op;
    const char* glsl;
};
constexpr StageOperation kStageOperations[] = {
    {D3DTOP_SELECTARG1, "a"},
    {D3DTOP_SELECTARG2, "b"},
    {D3DTOP_MODULATE, "a * b"},
    {D3DTOP_MODULATE2X, "2.0 * a * b"},
    {D3DTOP_MODULATE4X, "4.0 * a * b"},
    {D3DTOP_ADD, "a + b"},
    {D3DTOP_ADDSIGNED, "a + b - 0.5"},
    {D3DTOP_ADDSIGNED2X, "2.0 * (a + b - 0.5)"},
    {D3DTOP_SUBTRACT, "a - b"},
    {D3DTOP_ADDSMOOTH, "a + b - a * b"},
    {D3DTOP_BLENDDIFFUSEALPHA, "mix(b, a, vDiffuse.a)"},
    {D3DTOP_BLENDTEXTUREALPHA, "mix(b, a, texel.a)"},
    {D3DTOP_BLENDFACTORALPHA, "mix(b, a, textureFactor.a)"},
    {D3DTOP_BLENDTEXTUREALPHAPM, "a + b * (1.0 - texel.a)"},
    {D3DTOP_BLENDCURRENTALPHA, "mix(b, a, current.a)"},
    {D3DTOP_MODULATEALPHA_ADDCOLOR, "vec4(a.rgb + a.a * b.rgb, a.a)"},
    {D3DTOP_MODULATECOLOR_ADDALPHA, "vec4(a.rgb * b.rgb + a.a, a.a)"},
    {D3DTOP_MODULATEINVALPHA_ADDCOLOR, "vec4(a.rgb + (1.0 - a.a) * b.rgb, a.a)"},
    {D3DTOP_MODULATEINVCOLOR_ADDALPHA, "vec4((1.0 - a.rgb) * b.rgb + a.a, a.a)"},
    {D3DTOP_DOTPRODUCT3, "vec4(clamp(4.0 * dot(a.rgb - 0.5, b.rgb - 0.5), 0.0, 1.0))"},
};

// The alpha test's comparisons of the pixel's alpha with ALPHAREF, both on the 0..255 scale.
struct AlphaComparison {
    DWORD func;
    const char* glsl;
};
constexpr AlphaComparison kAlphaComparisons[] = {
    {D3DCMP_LESS, "<"},    {D3DCMP_EQUAL, "=="},    {D3DCMP_LESSEQUAL, "<="},   {D3DCMP_GREATER, ">"},
    {D3DCMP_NOTEQUAL, "!="}, {D3DCMP_GREATEREQUAL, ">="},
};

// A D3DTA_ argument, with its D3DTA_COMPLEMENT and D3DTA_ALPHAREPLICATE bits, as GLSL.
std::string StageArgument(int32_t argument) {
    std::string value = "current";
    switch (static_cast<DWORD>(argument) & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE: value = "vDiffuse"; break;
        case D3DTA_TEXTURE: value = "texel"; break;
        case D3DTA_TFACTOR: value = "textureFactor"; break;
        case D3DTA_SPECULAR: value = "vSpecular"; break;
        default: break;
    }
    if ((argument & D3DTA_COMPLEMENT) != 0) value = "(vec4(1.0) - " + value + ")";
    if ((argument & D3DTA_ALPHAREPLICATE) != 0) value = "vec4(" + value + ".a)";
    return value;
}

// One operation of a stage on its two arguments, as a GLSL block that sets `result` (only the
// arguments the operation reads are written out).
std::string StageBlock(int32_t op, int32_t arg1, int32_t arg2, const char* result) {
    const char* glsl = FfpStageOperationGlsl(static_cast<DWORD>(op));
    if (glsl == nullptr) glsl = FfpStageOperationGlsl(D3DTOP_MODULATE);
    std::ostringstream out;
    out << "        {\n";
    if (op != D3DTOP_SELECTARG2) out << "            vec4 a = " << StageArgument(arg1) << ";\n";
    if (op != D3DTOP_SELECTARG1) out << "            vec4 b = " << StageArgument(arg2) << ";\n";
    out << "            " << result << " = " << glsl << ";\n        }\n";
    return out.str();
}

// main() of the fragment shader for a shape: the texture stages that run, the specular sum,
// the alpha test and the wireframe's edges, written out straight, with no branch on the
// shape left for the driver to fold.
std::string FragmentMain(const FfpShape& shape) {
    std::ostringstream out;
    out << "void main() {\n";
    if (shape.wireframeEdges) {
        // vEdge runs from 1 at a corner to 0 on the opposite edge; a pixel within half a pixel
        // of an edge is kept, so an edge shared by two triangles is one pixel wide. The
        // derivatives are taken before any discard, while every pixel still runs.
        out << "    bool edgePixel = any(lessThanEqual(vEdge, 0.5 * fwidth(vEdge)));\n";
    }
    out << "    vec4 current = vDiffuse;\n";
    for (int stage = 0; stage < 2; ++stage) {
        const FfpStageShape& s = shape.stages[stage];
        if (s.colorOp == D3DTOP_DISABLE) break;  // ends the cascade
        out << "    {  // stage " << stage << "\n";
        if (FfpStageReadsTexture(s)) {
            const char* coordinates = s.spriteCoordinates ? "gl_PointCoord" : stage == 0 ? "vTexCoord0" : "vTexCoord1";
            out << "        vec4 texel = texture(texture" << stage << ", " << coordinates << ");\n";
        }
        out << "        vec4 color;\n" << StageBlock(s.colorOp, s.colorArg1, s.colorArg2, "color");
        out << "        vec4 alpha = current;\n";
        if (s.alphaOp != D3DTOP_DISABLE) out << StageBlock(s.alphaOp, s.alphaArg1, s.alphaArg2, "alpha");
        out << "        current = clamp(vec4(color.rgb, alpha.a), 0.0, 1.0);\n    }\n";
    }
    if (shape.specularEnable) out << "    current.rgb = min(current.rgb + vSpecular.rgb, vec3(1.0));\n";
    const DWORD alphaFunc = static_cast<DWORD>(shape.alphaFunc);
    if (alphaFunc == D3DCMP_NEVER) out << "    discard;\n";
    for (const AlphaComparison& comparison : kAlphaComparisons) {
        if (comparison.func != alphaFunc) continue;
        out << "    if (!(floor(current.a * 255.0 + 0.5) " << comparison.glsl << " alphaReference.x)) discard;\n";
    }
    if (shape.wireframeEdges) out << "    if (!edgePixel) discard;\n";
    out << "    fragColor = current;\n}\n";
    return out.str();
}

// The D3D constants the shaders compare with, emitted into them by name from the headers'
// own values.
struct NamedConstant {
    const char* name;
    int value;
};
#define NAMED(constant) NamedConstant{#constant, static_cast<int>(constant)}
constexpr NamedConstant kD3dConstants[] = {
    NAMED(D3DLIGHT_SPOT), NAMED(D3DLIGHT_DIRECTIONAL),
    NAMED(D3DMCS_COLOR1), NAMED(D3DMCS_COLOR2),
};
#undef NAMED

std::string Bool(int32_t value) { return value != 0 ? "true" : "false"; }

// The version line, the D3D constants by name, and the FfpShape as constants named as its
// fields.
std::string Prologue(const FfpShape& shape) {
    std::ostringstream text;
    // GLSL ES 3.00 is GLSL 3.30 with stricter rules; the source keeps to what both accept.
    text << (EsProfile() ? "#version 300 es\n" : "#version 330 core\n");
    text << "precision highp float;\nprecision highp int;\n";
    for (const NamedConstant& constant : kD3dConstants) text << "const int " << constant.name << " = " << constant.value << ";\n";
    text << "#define SHADE " << (shape.flatShading ? "flat" : "") << "\n";
    auto flag = [&](const char* name, int32_t value) { text << "const bool " << name << " = " << Bool(value) << ";\n"; };
    auto number = [&](const char* name, int32_t value) { text << "const int " << name << " = " << value << ";\n"; };
    flag("hasNormal", shape.hasNormal);
    flag("hasDiffuse", shape.hasDiffuse);
    flag("hasSpecular", shape.hasSpecular);
    flag("hasPointSize", shape.hasPointSize);
    flag("lighting", shape.lighting);
    flag("normalizeNormals", shape.normalizeNormals);
    flag("localViewer", shape.localViewer);
    number("lightCount", shape.lightCount);
    number("diffuseSource", shape.diffuseSource);
    number("ambientSource", shape.ambientSource);
    number("specularSource", shape.specularSource);
    number("emissiveSource", shape.emissiveSource);
    flag("pretransformed", shape.pretransformed);
    return text.str();
}

}  // namespace

const char* FfpStageOperationGlsl(DWORD op) {
    for (const StageOperation& operation : kStageOperations) {
        if (operation.op == op) return operation.glsl;
    }
    return nullptr;
}

std::string FfpVertexShaderSource(const FfpShape& shape) { return Prologue(shape) + kUniformBlock + kVertexShader; }

std::string FfpFragmentShaderSource(const FfpShape& shape) {
    return Prologue(shape) + kUniformBlock + kFragmentDeclarations + FragmentMain(shape);
}

}  // namespace platform
