#include "gl/gl_state_cache.h"

namespace platform {

GlStateCache::GlStateCache() {
    enabled_.fill(-1);
    textures_.fill(~0u);
    samplers_.fill(~0u);
}

void GlStateCache::invalidate() {
    unsigned generation = bufferGeneration_;
    *this = GlStateCache();
    bufferGeneration_ = generation + 1;
}

void GlStateCache::forgetTexture(GLuint texture) {
    for (GLuint& bound : textures_) {
        if (bound == texture) bound = ~0u;
    }
}

void GlStateCache::forgetBuffer(GLuint buffer) {
    if (arrayBuffer_ == buffer) arrayBuffer_ = ~0u;
    if (elementBuffer_ == buffer) elementBuffer_ = ~0u;
    ++bufferGeneration_;
}

int GlStateCache::capabilityIndex(GLenum capability) {
    switch (capability) {
        case GL_DEPTH_TEST: return 0;
        case GL_BLEND: return 1;
        case GL_STENCIL_TEST: return 2;
        case GL_CULL_FACE: return 3;
        case GL_SCISSOR_TEST: return 4;
        default: return -1;
    }
}

void GlStateCache::enable(GLenum capability, bool on) {
    int index = capabilityIndex(capability);
    if (index >= 0 && enabled_[index] == static_cast<int>(on)) return;
    if (on) glEnable(capability);
    else glDisable(capability);
    if (index >= 0) enabled_[index] = on;
}

void GlStateCache::depthFunc(GLenum func) {
    if (depthFunc_ == func) return;
    glDepthFunc(func);
    depthFunc_ = func;
}

void GlStateCache::depthMask(bool write) {
    if (depthMask_ == static_cast<int>(write)) return;
    glDepthMask(write ? GL_TRUE : GL_FALSE);
    depthMask_ = write;
}

void GlStateCache::colorMask(unsigned rgbaBits) {
    rgbaBits &= 0xf;
    if (colorMask_ == rgbaBits) return;
    glColorMask(rgbaBits & 1, (rgbaBits >> 1) & 1, (rgbaBits >> 2) & 1, (rgbaBits >> 3) & 1);
    colorMask_ = rgbaBits;
}

void GlStateCache::blend(const BlendState& state) {
    if (blendKnown_ && blend_ == state) return;
    glBlendFuncSeparate(state.sourceColor, state.destColor, state.sourceAlpha, state.destAlpha);
    glBlendEquationSeparate(state.colorOp, state.alphaOp);
    blend_ = state;
    blendKnown_ = true;
}

void GlStateCache::blendColor(const std::array<float, 4>& color) {
    if (blendColor_ == color) return;
    glBlendColor(color[0], color[1], color[2], color[3]);
    blendColor_ = color;
}

void GlStateCache::stencil(GLenum face, const StencilFace& state) {
    int index = face == GL_FRONT ? 0 : 1;
    if (stencilKnown_[index] && stencil_[index] == state) return;
    glStencilFuncSeparate(face, state.func, state.ref, state.mask);
    glStencilOpSeparate(face, state.fail, state.depthFail, state.pass);
    stencil_[index] = state;
    stencilKnown_[index] = true;
}

void GlStateCache::stencilWriteMask(GLuint mask) {
    if (stencilWriteMaskKnown_ && stencilWriteMask_ == mask) return;
    glStencilMask(mask);
    stencilWriteMask_ = mask;
    stencilWriteMaskKnown_ = true;
}

void GlStateCache::cullFace(GLenum face) {
    if (cullFace_ == face) return;
    glCullFace(face);
    cullFace_ = face;
}

void GlStateCache::polygonMode(GLenum mode) {
    if (polygonMode_ == mode) return;
#if DEMO_DESKTOP_GL
    glPolygonMode(GL_FRONT_AND_BACK, mode);
#endif
    polygonMode_ = mode;
}

void GlStateCache::viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    std::array<GLint, 4> wanted{x, y, width, height};
    if (viewport_ == wanted) return;
    glViewport(x, y, width, height);
    viewport_ = wanted;
}

void GlStateCache::scissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    std::array<GLint, 4> wanted{x, y, width, height};
    if (scissor_ == wanted) return;
    glScissor(x, y, width, height);
    scissor_ = wanted;
}

void GlStateCache::depthRange(float nearZ, float farZ) {
    std::array<float, 2> wanted{nearZ, farZ};
    if (depthRange_ == wanted) return;
    glDepthRangef(nearZ, farZ);
    depthRange_ = wanted;
}

void GlStateCache::useProgram(GLuint program) {
    if (program_ == program) return;
    glUseProgram(program);
    program_ = program;
}

void GlStateCache::bindTexture(GLuint unit, GLuint texture) {
    // The unit is made active even when the binding is current: callers upload into the
    // texture right after binding it.
    if (activeUnit_ != unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        activeUnit_ = unit;
    }
    if (unit < textures_.size() && textures_[unit] == texture) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (unit < textures_.size()) textures_[unit] = texture;
}

void GlStateCache::bindSampler(GLuint unit, GLuint sampler) {
    if (unit < samplers_.size() && samplers_[unit] == sampler) return;
    glBindSampler(unit, sampler);
    if (unit < samplers_.size()) samplers_[unit] = sampler;
}

void GlStateCache::bindArrayBuffer(GLuint buffer) {
    if (arrayBuffer_ == buffer) return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    arrayBuffer_ = buffer;
}

void GlStateCache::bindElementBuffer(GLuint buffer) {
    if (elementBuffer_ == buffer) return;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    elementBuffer_ = buffer;
}

}  // namespace platform
