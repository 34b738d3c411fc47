// The GL device: draws the Direct3D 9 calls with OpenGL 3.3 core into an off-screen back
// buffer, which Present stretches to the window's client area.
#pragma once

#include "d3d9/device_base.h"
#include "gl/ffp_program.h"
#include "gl/gl_state_cache.h"

#include <memory>
#include <vector>

namespace platform {

namespace window {
struct NativeWindow;
}

class GlDevice final : public DeviceBase {
public:
    // Takes over a current GL context made on the window.
    GlDevice(HWND window, window::NativeWindow* native, void* context, const D3DPRESENT_PARAMETERS& parameters,
             const D3DCAPS9& caps);
    ~GlDevice() override;

    // Compiles the shaders and makes the back buffer; false when GL refuses.
    bool initialise();
    // The back buffer as ARGB pixels, top row first.
    void readBackBuffer(std::vector<uint32_t>* argb);

protected:
    void onClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    void onPresent() override;
    HRESULT onDraw(const DrawCall& call) override;

private:
    void clearArea(GLint x, GLint y, GLsizei width, GLsizei height, GLbitfield mask);
    // False when the driver refused the program the state needs: nothing is drawn then.
    bool prepareDraw(const DrawCall& call);
    FfpInputs ffpInputs(D3DPRIMITIVETYPE type) const;
    void applyRenderStates();
    void applyViewport(const FfpInputs& inputs);
    void applyStencil();
    void bindTextures();
    void applySamplers();
    bool textureBound(int stage) const;
    void bindVertexInput(const DrawCall& call);
    void setAttributes(GLuint buffer, uintptr_t base, UINT stride);
    void issueDraw(const DrawCall& call);
    bool separatesPrimitives(const DrawCall& call, const FfpInputs& inputs) const;
    void drawSeparatePrimitives(const DrawCall& call, bool edges);

    HWND window_;
    window::NativeWindow* native_;
    void* context_;
    bool lockable_;
    std::shared_ptr<GlStateCache> cache_;
    std::unique_ptr<FfpProgram> program_;
    GLuint framebuffer_ = 0;
    GLuint colorBuffer_ = 0;
    GLuint depthBuffer_ = 0;
    GLuint vertexArray_ = 0;
    GLuint streamVertices_ = 0;
    GLuint streamIndices_ = 0;
    GLuint edgeCorners_ = 0;      // (1,0,0), (0,1,0), (0,0,1) over and over
    size_t edgeCornerFloats_ = 0;  // how many it holds
    std::vector<uint8_t> separated_;  // the vertices of separated primitives
    GLuint samplers_[2] = {0, 0};
    float maxPointSize_ = 64.0f;
    // What the vertex attributes point at, to skip re-pointing them.
    struct AttributeKey {
        GLuint buffer = 0;
        uintptr_t base = 0;
        UINT stride = 0;
        DWORD fvf = 0;
        int sets[2] = {-1, -1};
        unsigned generation = 0;
        bool operator==(const AttributeKey&) const = default;
    } attributes_;
    bool attributesValid_ = false;
    bool samplersApplied_ = false;
    GLuint shaderProgram_ = 0;      // the program of the last draw
    FfpInputs lastShaderInputs_{};  // what it was chosen and filled for
};

}  // namespace platform
