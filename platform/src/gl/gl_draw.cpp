// prepareDraw: turns the stored D3D state into GL state, uniforms and vertex attribute
// pointers, then issues the draw.
#include "d3d9/fvf_layout.h"
#include "d3d9/shader_render_states.h"
#include "gl/ffp_shader_source.h"
#include "gl/gl_device.h"
#include "gl/gl_profile.h"
#include "gl/gl_resources.h"
#include "gl/gl_translate.h"

#include <cstring>

namespace platform {
namespace {

bool IsTriangleType(D3DPRIMITIVETYPE type) {
    return type == D3DPT_TRIANGLELIST || type == D3DPT_TRIANGLESTRIP || type == D3DPT_TRIANGLEFAN;
}

bool IsLineType(D3DPRIMITIVETYPE type) { return type == D3DPT_LINELIST || type == D3DPT_LINESTRIP; }

// Element i of a draw (an index read from its index data, or i itself) as a vertex number
// counted from the start of its vertex data.
class ElementReader {
public:
    ElementReader(const DrawCall& call, IndexBuffer* indices) {
        if (!call.indexed) {
            first_ = call.userVertices == nullptr ? static_cast<int64_t>(call.startVertex) : 0;
            return;
        }
        if (call.userIndices != nullptr) {
            data_ = static_cast<const uint8_t*>(call.userIndices);
            wide_ = call.userIndexFormat == D3DFMT_INDEX32;
            available_ = call.elementCount;
            return;
        }
        wide_ = indices->format() == D3DFMT_INDEX32;
        const std::vector<uint8_t>& bytes = indices->storage().bytes();
        const size_t width = wide_ ? 4 : 2;
        const size_t skipped = static_cast<size_t>(call.startIndex) * width;
        data_ = bytes.data() + std::min(skipped, bytes.size());
        available_ = skipped < bytes.size() ? (bytes.size() - skipped) / width : 0;
        first_ = call.baseVertex;
    }
    // -1 past the end of the index data.
    int64_t operator()(size_t i) const {
        if (data_ == nullptr) return first_ + static_cast<int64_t>(i);
        if (i >= available_) return -1;
        uint32_t index = 0;
        if (wide_) std::memcpy(&index, data_ + i * 4, 4);
        else {
            uint16_t narrow = 0;
            std::memcpy(&narrow, data_ + i * 2, 2);
            index = narrow;
        }
        return first_ + index;
    }

private:
    const uint8_t* data_ = nullptr;
    size_t available_ = 0;
    bool wide_ = false;
    int64_t first_ = 0;
};

// The elements of a draw as separate primitives, each primitive's vertices rotated so that
// D3D's first vertex comes last: that is the vertex ES takes a flat colour from. Three per
// triangle (a strip's odd triangles swap two so that every triangle keeps its winding, and
// a rotation keeps it too), two per line.
std::vector<size_t> SeparatePrimitives(const DrawCall& call) {
    std::vector<size_t> order;
    const size_t count = call.primitiveCount;
    switch (call.type) {
        case D3DPT_TRIANGLELIST:
            for (size_t t = 0; t < count; ++t) order.insert(order.end(), {3 * t + 1, 3 * t + 2, 3 * t});
            break;
        case D3DPT_TRIANGLESTRIP:
            for (size_t t = 0; t < count; ++t) {
                if (t % 2 == 0) order.insert(order.end(), {t + 1, t + 2, t});
                else order.insert(order.end(), {t, t + 2, t + 1});
            }
            break;
        case D3DPT_TRIANGLEFAN:
            for (size_t t = 0; t < count; ++t) order.insert(order.end(), {t + 1, t + 2, 0});
            break;
        case D3DPT_LINELIST:
            for (size_t l = 0; l < count; ++l) order.insert(order.end(), {2 * l + 1, 2 * l});
            break;
        case D3DPT_LINESTRIP:
            for (size_t l = 0; l < count; ++l) order.insert(order.end(), {l + 1, l});
            break;
        default: break;
    }
    return order;
}

BlendState BlendStateOf(const DeviceState& state) {
    const auto& rs = state.renderStates;
    auto factors = [](DWORD source, DWORD dest, GLenum* glSource, GLenum* glDest) {
        // The two "both" factors set the source and the destination at once.
        if (source == D3DBLEND_BOTHSRCALPHA) {
            *glSource = GL_SRC_ALPHA;
            *glDest = GL_ONE_MINUS_SRC_ALPHA;
        } else if (source == D3DBLEND_BOTHINVSRCALPHA) {
            *glSource = GL_ONE_MINUS_SRC_ALPHA;
            *glDest = GL_SRC_ALPHA;
        } else {
            *glSource = toGlBlendFactor(source);
            *glDest = toGlBlendFactor(dest);
        }
    };
    BlendState blend;
    factors(rs[D3DRS_SRCBLEND], rs[D3DRS_DESTBLEND], &blend.sourceColor, &blend.destColor);
    blend.colorOp = toGlBlendOp(rs[D3DRS_BLENDOP]);
    if (rs[D3DRS_SEPARATEALPHABLENDENABLE]) {
        factors(rs[D3DRS_SRCBLENDALPHA], rs[D3DRS_DESTBLENDALPHA], &blend.sourceAlpha, &blend.destAlpha);
        blend.alphaOp = toGlBlendOp(rs[D3DRS_BLENDOPALPHA]);
    } else {
        blend.sourceAlpha = blend.sourceColor;
        blend.destAlpha = blend.destColor;
        blend.alphaOp = blend.colorOp;
    }
    return blend;
}

StencilFace StencilFaceOf(const DeviceState& state, D3DRENDERSTATETYPE func, D3DRENDERSTATETYPE fail,
                          D3DRENDERSTATETYPE depthFail, D3DRENDERSTATETYPE pass) {
    const auto& rs = state.renderStates;
    return StencilFace{toGlCompare(rs[func]),         static_cast<GLint>(rs[D3DRS_STENCILREF] & 0xff),
                       rs[D3DRS_STENCILMASK] & 0xff,  toGlStencilOp(rs[fail]),
                       toGlStencilOp(rs[depthFail]),  toGlStencilOp(rs[pass])};
}

int TexCoordSetOf(const DeviceState& state, const FvfLayout& layout, int stage) {
    int set = static_cast<int>(state.stageStates[stage][D3DTSS_TEXCOORDINDEX] & 0xffff);
    return set < layout.texCoordSetCount ? set : -1;
}

}  // namespace

void GlDevice::applyRenderStates() {
    const DeviceState& s = state();
    const auto& rs = s.renderStates;
    cache_->enable(GL_DEPTH_TEST, hasDepthStencil() && rs[D3DRS_ZENABLE] != D3DZB_FALSE);
    cache_->depthFunc(toGlCompare(rs[D3DRS_ZFUNC]));
    cache_->depthMask(rs[D3DRS_ZWRITEENABLE] != FALSE);
    cache_->enable(GL_BLEND, rs[D3DRS_ALPHABLENDENABLE] != FALSE);
    cache_->blend(BlendStateOf(s));
    cache_->blendColor(toGlColor(rs[D3DRS_BLENDFACTOR]));
    cache_->colorMask(rs[D3DRS_COLORWRITEENABLE]);
    // With glFrontFace(GL_CW), D3D's clockwise faces are GL's front faces.
    cache_->enable(GL_CULL_FACE, rs[D3DRS_CULLMODE] != D3DCULL_NONE);
    cache_->cullFace(rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_FRONT : GL_BACK);
    if (!EsProfile()) cache_->polygonMode(toGlPolygonMode(rs[D3DRS_FILLMODE]));
    applyStencil();
}

void GlDevice::applyStencil() {
    const DeviceState& s = state();
    const auto& rs = s.renderStates;
    cache_->enable(GL_STENCIL_TEST, hasStencil() && rs[D3DRS_STENCILENABLE] != FALSE);
    StencilFace clockwise =
        StencilFaceOf(s, D3DRS_STENCILFUNC, D3DRS_STENCILFAIL, D3DRS_STENCILZFAIL, D3DRS_STENCILPASS);
    StencilFace counterClockwise =
        rs[D3DRS_TWOSIDEDSTENCILMODE]
            ? StencilFaceOf(s, D3DRS_CCW_STENCILFUNC, D3DRS_CCW_STENCILFAIL, D3DRS_CCW_STENCILZFAIL,
                            D3DRS_CCW_STENCILPASS)
            : clockwise;
    cache_->stencil(GL_FRONT, clockwise);
    cache_->stencil(GL_BACK, counterClockwise);
    cache_->stencilWriteMask(rs[D3DRS_STENCILWRITEMASK] & 0xff);
}

void GlDevice::applyViewport(const FfpInputs& inputs) {
    // D3D's viewport origin is the top-left corner; GL's the bottom-left.
    const D3DVIEWPORT9& vp = state().viewport;
    GLint x = static_cast<GLint>(vp.X);
    GLint y = static_cast<GLint>(backBufferHeight()) - static_cast<GLint>(vp.Y + vp.Height);
    GLsizei width = static_cast<GLsizei>(vp.Width), height = static_cast<GLsizei>(vp.Height);
    GLint guard = PointGuardBand(inputs);
    cache_->viewport(x - guard, y - guard, width + 2 * guard, height + 2 * guard);
    // The widened viewport would let large points spill past the real one.
    cache_->enable(GL_SCISSOR_TEST, guard > 0);
    if (guard > 0) cache_->scissor(x, y, width, height);
    // Pre-transformed vertices skip the viewport transform: their z is the depth as it is.
    if (inputs.layout.pretransformed) cache_->depthRange(0.0f, 1.0f);
    else cache_->depthRange(vp.MinZ, vp.MaxZ);
}

bool GlDevice::textureBound(int stage) const { return state().textures[stage] != nullptr; }

void GlDevice::bindTextures() {
    for (int stage = 0; stage < 2; ++stage) {
        IDirect3DBaseTexture9* texture = state().textures[stage];
        if (texture == nullptr) {
            cache_->bindTexture(stage, 0);
            continue;
        }
        PrepareTexture(*static_cast<Texture*>(texture), stage, cache_);
    }
}

void GlDevice::applySamplers() {
    for (int stage = 0; stage < 2; ++stage) {
        const auto& ss = state().samplerStates[stage];
        GLuint sampler = samplers_[stage];
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, toGlMagFilter(ss[D3DSAMP_MAGFILTER]));
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                            toGlMinFilter(ss[D3DSAMP_MINFILTER], ss[D3DSAMP_MIPFILTER]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, toGlAddress(ss[D3DSAMP_ADDRESSU]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, toGlAddress(ss[D3DSAMP_ADDRESSV]));
        if (!EsProfile()) {
            std::array<float, 4> border = toGlColor(ss[D3DSAMP_BORDERCOLOR]);
            glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border.data());
        }
        cache_->bindSampler(stage, sampler);
    }
}

void GlDevice::setAttributes(GLuint buffer, uintptr_t base, UINT stride) {
    const DeviceState& s = state();
    FvfLayout layout = DescribeFvf(s.fvf);
    AttributeKey key{buffer, base, stride, s.fvf, {TexCoordSetOf(s, layout, 0), TexCoordSetOf(s, layout, 1)},
                     cache_->bufferGeneration()};
    if (attributesValid_ && key == attributes_) return;
    attributes_ = key;
    attributesValid_ = true;
    auto point = [&](GLuint location, int offset, GLint components, GLenum type, bool normalized,
                     float f0, float f1, float f2, float f3) {
        if (offset < 0) {
            glDisableVertexAttribArray(location);
            glVertexAttrib4f(location, f0, f1, f2, f3);
            return;
        }
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, components, type, normalized ? GL_TRUE : GL_FALSE,
                              static_cast<GLsizei>(stride), reinterpret_cast<const void*>(base + offset));
    };
    point(kAttributePosition, 0, layout.positionComponents, GL_FLOAT, false, 0, 0, 0, 1);
    point(kAttributeNormal, layout.normalOffset, 3, GL_FLOAT, false, 0, 0, 0, 0);
    point(kAttributePointSize, layout.pointSizeOffset, 1, GL_FLOAT, false, 1, 0, 0, 0);
    point(kAttributeDiffuse, layout.diffuseOffset, 4, GL_UNSIGNED_BYTE, true, 1, 1, 1, 1);
    point(kAttributeSpecular, layout.specularOffset, 4, GL_UNSIGNED_BYTE, true, 0, 0, 0, 0);
    for (int stage = 0; stage < 2; ++stage) {
        int set = key.sets[stage];
        int offset = set < 0 ? -1 : layout.texCoordOffset[set];
        GLint components = set < 0 ? 2 : layout.texCoordComponents[set];
        point(kAttributeTexCoord0 + stage, offset, components, GL_FLOAT, false, 0, 0, 0, 1);
    }
}

void GlDevice::bindVertexInput(const DrawCall& call) {
    if (call.userVertices == nullptr) {
        const StreamSource& stream = state().streams[0];
        GLuint buffer = PrepareVertexBuffer(*static_cast<VertexBuffer*>(stream.buffer), cache_);
        // ES has no base-vertex draws: the attributes start that many vertices further on.
        uintptr_t base = stream.offset;
        if (EsProfile() && call.indexed) base += static_cast<uintptr_t>(static_cast<intptr_t>(call.baseVertex) * stream.stride);
        setAttributes(buffer, base, stream.stride);
        return;
    }
    UINT vertices = call.indexed ? call.minIndex + call.numVertices : call.elementCount;
    cache_->bindArrayBuffer(streamVertices_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices) * call.userStride, call.userVertices,
                 GL_STREAM_DRAW);
    setAttributes(streamVertices_, 0, call.userStride);
}

FfpInputs GlDevice::ffpInputs(D3DPRIMITIVETYPE type) const {
    FfpInputs inputs;
    inputs.state = &state();
    inputs.layout = DescribeFvf(state().fvf);
    inputs.textureBound[0] = textureBound(0);
    inputs.textureBound[1] = textureBound(1);
    inputs.drawingPoints = type == D3DPT_POINTLIST;
    inputs.flatShading = ShaderRenderState<D3DRS_SHADEMODE>(state()) == D3DSHADE_FLAT;
    inputs.wireframeEdges =
        EsProfile() && IsTriangleType(type) && ShaderRenderState<D3DRS_FILLMODE>(state()) == D3DFILL_WIREFRAME;
    inputs.maxPointSize = maxPointSize_;
    return inputs;
}

bool GlDevice::prepareDraw(const DrawCall& call) {
    uint32_t dirty = takeDirty();
    FfpInputs inputs = ffpInputs(call.type);
    applyRenderStates();
    applyViewport(inputs);
    bindTextures();
    if (dirty & kDirtySamplers || !samplersApplied_) {
        applySamplers();
        samplersApplied_ = true;
    }
    // The shader and its uniforms follow only part of the state: a draw that changes none of
    // it (say, only a blend state or a texture for another) keeps the last program and values.
    const uint32_t shaderInputs = kDirtyShaderStates | kDirtyTransforms | kDirtyMaterial | kDirtyLights |
                                  kDirtyStageStates | kDirtyVertexInput | kDirtyViewport;
    const bool sameShader = shaderProgram_ != 0 && !(dirty & shaderInputs) &&
                            inputs.drawingPoints == lastShaderInputs_.drawingPoints &&
                            inputs.wireframeEdges == lastShaderInputs_.wireframeEdges &&
                            inputs.textureBound[0] == lastShaderInputs_.textureBound[0] &&
                            inputs.textureBound[1] == lastShaderInputs_.textureBound[1];
    if (!sameShader) {
        shaderProgram_ = program_->programFor(PackFfpShape(inputs));
        if (shaderProgram_ == 0) return false;
        cache_->useProgram(shaderProgram_);
        program_->upload(PackFfpUniforms(inputs));
        lastShaderInputs_ = inputs;
    }
    cache_->useProgram(shaderProgram_);
    if (!separatesPrimitives(call, inputs)) bindVertexInput(call);
    return true;
}

// ES lacks two things a primitive's own vertices give: polygon modes (wireframe triangles
// keep only the pixels at their edges, each vertex carrying its corner of the triangle, so
// culling still drops back faces as D3D does) and the first-vertex convention of flat
// shading. Such draws go out as separate primitives with their vertices copied.
bool GlDevice::separatesPrimitives(const DrawCall& call, const FfpInputs& inputs) const {
    if (!EsProfile()) return false;
    return inputs.wireframeEdges || (inputs.flatShading && (IsTriangleType(call.type) || IsLineType(call.type)));
}

void GlDevice::drawSeparatePrimitives(const DrawCall& call, bool edges) {
    const StreamSource& stream = state().streams[0];
    const uint8_t* vertices = static_cast<const uint8_t*>(call.userVertices);
    UINT stride = call.userStride;
    size_t available = 0;
    if (vertices == nullptr) {
        const std::vector<uint8_t>& bytes = static_cast<VertexBuffer*>(stream.buffer)->storage().bytes();
        stride = stream.stride;
        const size_t offset = std::min<size_t>(stream.offset, bytes.size());
        vertices = bytes.data() + offset;
        available = stride == 0 ? 0 : (bytes.size() - offset) / stride;
    } else {
        available = call.indexed ? call.minIndex + call.numVertices : call.elementCount;
    }
    const ElementReader element(call, static_cast<IndexBuffer*>(state().indices));
    const std::vector<size_t> order = SeparatePrimitives(call);
    const size_t corners = IsTriangleType(call.type) ? 3 : 2;
    separated_.resize(order.size() * stride);
    size_t kept = 0;  // primitives whose vertices all exist
    for (size_t first = 0; first + corners <= order.size(); first += corners) {
        bool whole = true;
        for (size_t c = 0; c < corners && whole; ++c) {
            const int64_t vertex = element(order[first + c]);
            whole = vertex >= 0 && static_cast<size_t>(vertex) < available;
        }
        if (!whole) continue;
        for (size_t c = 0; c < corners; ++c) {
            std::memcpy(separated_.data() + (kept * corners + c) * stride,
                        vertices + static_cast<size_t>(element(order[first + c])) * stride, stride);
        }
        ++kept;
    }
    const GLsizei count = static_cast<GLsizei>(kept * corners);
    cache_->bindArrayBuffer(streamVertices_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * stride, separated_.data(), GL_STREAM_DRAW);
    setAttributes(streamVertices_, 0, stride);
    if (edges) {
        // The corners repeat from triangle to triangle: the buffer grows, it is never rewritten.
        const size_t needed = static_cast<size_t>(count) * 3;
        cache_->bindArrayBuffer(edgeCorners_);
        if (edgeCornerFloats_ < needed) {
            std::vector<float> corners3(needed, 0.0f);
            for (size_t v = 0; v < static_cast<size_t>(count); ++v) corners3[v * 3 + v % 3] = 1.0f;
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(needed * sizeof(float)), corners3.data(),
                         GL_STATIC_DRAW);
            edgeCornerFloats_ = needed;
        }
        glEnableVertexAttribArray(kAttributeEdge);
        glVertexAttribPointer(kAttributeEdge, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    glDrawArrays(IsTriangleType(call.type) ? GL_TRIANGLES : GL_LINES, 0, count);
    if (edges) glDisableVertexAttribArray(kAttributeEdge);
}

void GlDevice::issueDraw(const DrawCall& call) {
    if (separatesPrimitives(call, lastShaderInputs_)) {
        drawSeparatePrimitives(call, lastShaderInputs_.wireframeEdges);
        return;
    }
    GLenum mode = toGlPrimitive(call.type);
    GLsizei count = static_cast<GLsizei>(call.elementCount);
    if (!call.indexed) {
        glDrawArrays(mode, call.userVertices == nullptr ? static_cast<GLint>(call.startVertex) : 0, count);
        return;
    }
    if (call.userIndices != nullptr) {
        GLenum type = call.userIndexFormat == D3DFMT_INDEX32 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
        GLsizeiptr size = static_cast<GLsizeiptr>(count) * (type == GL_UNSIGNED_INT ? 4 : 2);
        cache_->bindElementBuffer(streamIndices_);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, size, call.userIndices, GL_STREAM_DRAW);
        glDrawElements(mode, count, type, nullptr);
        return;
    }
    auto* indices = static_cast<IndexBuffer*>(state().indices);
    PrepareIndexBuffer(*indices, cache_);
    bool wide = indices->format() == D3DFMT_INDEX32;
    uintptr_t offset = static_cast<uintptr_t>(call.startIndex) * (wide ? 4 : 2);
    const GLenum type = wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
#if DEMO_DESKTOP_GL
    if (!EsProfile()) {
        glDrawElementsBaseVertex(mode, count, type, reinterpret_cast<const void*>(offset), call.baseVertex);
        return;
    }
#endif
    // The attributes already start baseVertex vertices on (bindVertexInput).
    glDrawElements(mode, count, type, reinterpret_cast<const void*>(offset));
}

// A draw whose fixed-function shader the driver refused draws nothing and says so; the
// refusal itself was reported once, when the shader failed.
HRESULT GlDevice::onDraw(const DrawCall& call) {
    if (!prepareDraw(call)) return D3DERR_DRIVERINTERNALERROR;
    issueDraw(call);
    return D3D_OK;
}

}  // namespace platform
