// Remembers the GL state last set so that redundant GL calls are skipped. Everything the
// GL device changes goes through here; invalidate() forgets all after foreign GL work.
#pragma once

#include "gl/gl_api.h"

#include <array>

namespace platform {

struct StencilFace {
    GLenum func = GL_ALWAYS;
    GLint ref = 0;
    GLuint mask = ~0u;
    GLenum fail = GL_KEEP;
    GLenum depthFail = GL_KEEP;
    GLenum pass = GL_KEEP;
    bool operator==(const StencilFace&) const = default;
};

struct BlendState {
    GLenum sourceColor = GL_ONE, destColor = GL_ZERO, sourceAlpha = GL_ONE, destAlpha = GL_ZERO;
    GLenum colorOp = GL_FUNC_ADD, alphaOp = GL_FUNC_ADD;
    bool operator==(const BlendState&) const = default;
};

class GlStateCache {
public:
    GlStateCache();
    void invalidate();
    // A GL object is about to be deleted: its name may come back for a new object.
    void forgetTexture(GLuint texture);
    void forgetBuffer(GLuint buffer);
    // Changes whenever a buffer was deleted, so that attribute pointers are set again.
    unsigned bufferGeneration() const { return bufferGeneration_; }

    void enable(GLenum capability, bool on);
    void depthFunc(GLenum func);
    void depthMask(bool write);
    void colorMask(unsigned rgbaBits);  // bit 0 red ... bit 3 alpha, as D3DRS_COLORWRITEENABLE
    void blend(const BlendState& state);
    void blendColor(const std::array<float, 4>& color);
    void stencil(GLenum face, const StencilFace& state);  // GL_FRONT or GL_BACK
    void stencilWriteMask(GLuint mask);
    void cullFace(GLenum face);
    void polygonMode(GLenum mode);
    void viewport(GLint x, GLint y, GLsizei width, GLsizei height);
    void scissor(GLint x, GLint y, GLsizei width, GLsizei height);
    void depthRange(float nearZ, float farZ);
    void useProgram(GLuint program);
    void bindTexture(GLuint unit, GLuint texture);
    void bindSampler(GLuint unit, GLuint sampler);
    void bindArrayBuffer(GLuint buffer);
    void bindElementBuffer(GLuint buffer);  // part of the one vertex array object

private:
    static constexpr int kCapabilities = 5;
    static int capabilityIndex(GLenum capability);

    bool valid_ = false;
    std::array<int, kCapabilities> enabled_{};  // -1 unknown, 0 off, 1 on
    GLenum depthFunc_ = 0;
    int depthMask_ = -1;
    unsigned colorMask_ = ~0u;
    BlendState blend_{};
    bool blendKnown_ = false;
    std::array<float, 4> blendColor_{-1, -1, -1, -1};
    std::array<StencilFace, 2> stencil_{};
    std::array<bool, 2> stencilKnown_{};
    GLuint stencilWriteMask_ = 0;
    bool stencilWriteMaskKnown_ = false;
    GLenum cullFace_ = 0;
    GLenum polygonMode_ = 0;
    std::array<GLint, 4> viewport_{-1, -1, -1, -1};
    std::array<GLint, 4> scissor_{-1, -1, -1, -1};
    std::array<float, 2> depthRange_{-1, -1};
    GLuint program_ = ~0u;
    std::array<GLuint, 8> textures_{};
    std::array<GLuint, 8> samplers_{};
    GLuint activeUnit_ = ~0u;
    GLuint arrayBuffer_ = ~0u;
    GLuint elementBuffer_ = ~0u;
    unsigned bufferGeneration_ = 0;
};

}  // namespace platform
