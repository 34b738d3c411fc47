#include "gl/ffp_shader_source.h"

#include <sstream>

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
SHADE out vec4 vDiffuse;
SHADE out vec4 vSpecular;
out vec2 vTexCoord0;
out vec2 vTexCoord1;

// materialSource: 0 the material, 1 the vertex diffuse colour, 2 the vertex specular colour.
vec4 materialColor(int source, vec4 material, vec4 diffuse, vec4 specular) {
    if (source == 1) return diffuse;
    if (source == 2) return specular;
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
    if (type != 3) {
        vec3 offset = light.position.xyz - position;
        float distance = length(offset);
        if (distance > light.direction.w) return;  // out of range: not even ambient
        toLight = offset / max(distance, 1e-20);
        float denominator = light.attenuation.x + light.attenuation.y * distance +
                            light.attenuation.z * distance * distance;
        scale = denominator > 0.0 ? 1.0 / denominator : 1.0;
        if (type == 2) scale *= spotFactor(light, toLight);
    }
    ambient += light.ambient.rgb * scale;
    if (!hasNormal) return;
    float nDotL = dot(normal, toLight);
    if (nDotL <= 0.0) return;
    diffuse += light.diffuse.rgb * min(nDotL, 1.0) * scale;
    vec3 toViewer = lighting.z != 0 ? normalize(-position) : vec3(0.0, 0.0, -1.0);
    float nDotH = dot(normal, normalize(toViewer + toLight));
    if (nDotH > 0.0) specular += light.specular.rgb * pow(nDotH, materialPower.x) * scale;
}

// lighting, materialSource: the lit diffuse and specular colours of a vertex.
void lightVertex(vec3 position, vec4 vertexDiffuse, vec4 vertexSpecular) {
    vec4 ca = materialColor(materialSource.y, materialAmbient, vertexDiffuse, vertexSpecular);
    vec4 cd = materialColor(materialSource.x, materialDiffuse, vertexDiffuse, vertexSpecular);
    vec4 cs = materialColor(materialSource.z, materialSpecular, vertexDiffuse, vertexSpecular);
    vec4 ce = materialColor(materialSource.w, materialEmissive, vertexDiffuse, vertexSpecular);
    bool hasNormal = vertexElements.x != 0;
    vec3 normal = mat3(normalMatrix) * inNormal;
    if (lighting.y != 0) normal = normalize(normal);
    vec3 ambient = vec3(0.0);
    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < 8; ++i) {
        if (i >= lighting.w) break;
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

// pixel.x: XYZRHW vertices are already in screen pixels of the render target.
vec4 pretransformedPosition(vec4 p) {
    vec2 ndc = vec2((p.x + 0.5 - viewport.x) / viewport.z * 2.0 - 1.0,
                    1.0 - (p.y + 0.5 - kEdgeNudge - viewport.y) / viewport.w * 2.0);
    float w = p.w > 0.0 ? 1.0 / p.w : 1.0;
    return vec4(ndc * w, (p.z * 2.0 - 1.0) * w, w);
}

// pointSize, pointScale: the D3D point size formula and its clamps.
float pointSizeOf(vec3 eye) {
    float size = vertexElements.w != 0 ? inPointSize : pointSize.x;
    if (pixel.x == 0 && pointScale.w > 0.5) {
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
    if (pixel.x != 0) {
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
    if (lighting.x != 0) {
        lightVertex(eye, vertexDiffuse, vertexSpecular);
    } else {
        vDiffuse = vertexDiffuse;
        vSpecular = vertexSpecular;
    }
    gl_PointSize = pointSizeOf(eye);
    vTexCoord0 = inTexCoord0.xy;
    vTexCoord1 = inTexCoord1.xy;
}
)";

const char* kFragmentShader = R"(
uniform sampler2D texture0;
uniform sampler2D texture1;
SHADE in vec4 vDiffuse;
SHADE in vec4 vSpecular;
in vec2 vTexCoord0;
in vec2 vTexCoord1;
out vec4 fragColor;

// stages[i].color.yz / alpha.yz: a D3DTA_ argument with its COMPLEMENT and ALPHAREPLICATE bits.
vec4 stageArgument(int argument, vec4 current, vec4 texel) {
    int select = argument & 15;
    vec4 value = current;
    if (select == 0) value = vDiffuse;
    else if (select == 2) value = texel;
    else if (select == 3) value = textureFactor;
    else if (select == 4) value = vSpecular;
    if ((argument & 16) != 0) value = vec4(1.0) - value;
    if ((argument & 32) != 0) value = vec4(value.a);
    return value;
}

// stages[i].color.x / alpha.x: a D3DTEXTUREOP.
vec4 stageOperation(int op, vec4 a, vec4 b, vec4 current, vec4 texel) {
    if (op == 2) return a;
    if (op == 3) return b;
    if (op == 4) return a * b;
    if (op == 5) return 2.0 * a * b;
    if (op == 6) return 4.0 * a * b;
    if (op == 7) return a + b;
    if (op == 8) return a + b - 0.5;
    if (op == 9) return 2.0 * (a + b - 0.5);
    if (op == 10) return a - b;
    if (op == 11) return a + b - a * b;
    if (op == 12) return mix(b, a, vDiffuse.a);
    if (op == 13) return mix(b, a, texel.a);
    if (op == 14) return mix(b, a, textureFactor.a);
    if (op == 15) return a + b * (1.0 - texel.a);
    if (op == 16) return mix(b, a, current.a);
    if (op == 18) return vec4(a.rgb + a.a * b.rgb, a.a);
    if (op == 19) return vec4(a.rgb * b.rgb + a.a, a.a);
    if (op == 20) return vec4(a.rgb + (1.0 - a.a) * b.rgb, a.a);
    if (op == 21) return vec4((1.0 - a.rgb) * b.rgb + a.a, a.a);
    if (op == 24) return vec4(clamp(4.0 * dot(a.rgb - 0.5, b.rgb - 0.5), 0.0, 1.0));
    return a * b;
}

// pixel.w: D3DCMPFUNC against ALPHAREF, both on the 0..255 scale.
bool alphaTestPasses(float alpha) {
    int func = pixel.w;
    float value = floor(alpha * 255.0 + 0.5);
    float reference = alphaReference.x;
    if (func == 1) return false;
    if (func == 2) return value < reference;
    if (func == 3) return value == reference;
    if (func == 4) return value <= reference;
    if (func == 5) return value > reference;
    if (func == 6) return value != reference;
    if (func == 7) return value >= reference;
    return true;
}

vec4 sampleStage(int stage, vec2 coordinates) {
    if (stage == 0) return texture(texture0, coordinates);
    return texture(texture1, coordinates);
}

void main() {
    vec4 current = vDiffuse;
    for (int stage = 0; stage < 2; ++stage) {
        FfpStage s = stages[stage];
        if (s.color.x == 1) break;  // D3DTOP_DISABLE ends the cascade
        vec2 coordinates = stage == 0 ? vTexCoord0 : vTexCoord1;
        if (s.alpha.w != 0) coordinates = gl_PointCoord;
        vec4 texel = sampleStage(stage, coordinates);
        vec4 color = stageOperation(s.color.x, stageArgument(s.color.y, current, texel),
                                    stageArgument(s.color.z, current, texel), current, texel);
        float alpha = current.a;
        if (s.alpha.x != 1) {
            alpha = stageOperation(s.alpha.x, stageArgument(s.alpha.y, current, texel),
                                   stageArgument(s.alpha.z, current, texel), current, texel).a;
        }
        current = clamp(vec4(color.rgb, alpha), 0.0, 1.0);
    }
    if (pixel.y != 0) current.rgb = min(current.rgb + vSpecular.rgb, vec3(1.0));
    if (!alphaTestPasses(current.a)) discard;
    fragColor = current;
}
)";

std::string IntVector(const int32_t v[4]) {
    std::ostringstream out;
    out << "ivec4(" << v[0] << ", " << v[1] << ", " << v[2] << ", " << v[3] << ")";
    return out.str();
}

std::string StageConstant(const FfpStage& stage) {
    return "FfpStage(" + IntVector(stage.color) + ", " + IntVector(stage.alpha) + ")";
}

// The version line, and the FfpShape as constants named as the fields of FfpShape.
std::string Prologue(const FfpShape& shape) {
    std::string text = "#version 330 core\nprecision highp float;\nprecision highp int;\n";
    text += std::string("#define SHADE ") + (shape.pixel[2] ? "flat" : "") + "\n";
    text += "struct FfpStage {\n    ivec4 color;  // op, arg1, arg2, unused\n"
            "    ivec4 alpha;  // op, arg1, arg2, sprite coordinates\n};\n";
    text += "const ivec4 vertexElements = " + IntVector(shape.vertex) + ";\n";
    text += "const ivec4 lighting = " + IntVector(shape.lighting) + ";\n";
    text += "const ivec4 materialSource = " + IntVector(shape.materialSource) + ";\n";
    text += "const ivec4 pixel = " + IntVector(shape.pixel) + ";\n";
    text += "const FfpStage stages[2] = FfpStage[2](" + StageConstant(shape.stages[0]) + ", " +
            StageConstant(shape.stages[1]) + ");\n";
    return text;
}

}  // namespace

std::string FfpVertexShaderSource(const FfpShape& shape) { return Prologue(shape) + kUniformBlock + kVertexShader; }

std::string FfpFragmentShaderSource(const FfpShape& shape) {
    return Prologue(shape) + kUniformBlock + kFragmentShader;
}

}  // namespace platform
