// The GL device's life cycle, back buffer, Clear and Present. Drawing is in gl_draw.cpp.
#include "gl/gl_device.h"

#include "core/report.h"
#include "d3d9/device_caps.h"
#include "gl/gl_device_factory.h"
#include "gl/gl_profile.h"
#include "gl/gl_translate.h"
#include "gl/present_hooks.h"
#include "window/backend.h"
#include "window/window_internal.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform {

GlDevice::GlDevice(HWND window, window::NativeWindow* native, void* context, const D3DPRESENT_PARAMETERS& parameters,
                   const D3DCAPS9& caps)
    : DeviceBase(parameters.BackBufferWidth, parameters.BackBufferHeight, DepthStencilFormatOf(parameters), caps),
      window_(window),
      native_(native),
      context_(context),
      lockable_((parameters.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0),
      cache_(std::make_shared<GlStateCache>()),
      maxPointSize_(caps.MaxPointSize) {
    auto refresh = [this](ImageLevel& image) {
        std::vector<uint32_t> pixels;
        readBackBuffer(&pixels);
        std::memcpy(image.bytes.data(), pixels.data(), std::min(image.bytes.size(), pixels.size() * 4));
    };
    setBackBuffer(new Surface(this, backBufferWidth(), backBufferHeight(), D3DFMT_X8R8G8B8, lockable_, refresh));
}

GlDevice::~GlDevice() {
    window::MakeGlContextCurrent(native_, context_);
    releaseBindings();  // while the context that owns their GL mirrors still exists
    cache_.reset();
    glDeleteSamplers(2, samplers_);
    glDeleteBuffers(1, &streamVertices_);
    glDeleteBuffers(1, &streamIndices_);
    glDeleteBuffers(1, &edgeCorners_);
    glDeleteVertexArrays(1, &vertexArray_);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &colorBuffer_);
    glDeleteRenderbuffers(1, &depthBuffer_);
    program_.reset();
    window::DeleteGlContext(context_);
}

// Mesa's software rasteriser allocates and frees a 64 KB state block for every draw that
// changes a texture. With glibc's default trim threshold the freed top of the heap goes back
// to the kernel and is faulted in again on the next draw, which makes a draw several times
// dearer; keeping a generous top of heap avoids that at no cost on other drivers.
static void KeepFreedHeapMapped() {
#if defined(__GLIBC__)
    static const bool once = mallopt(M_TRIM_THRESHOLD, 256 << 20) != 0;
    (void)once;
#endif
}

bool GlDevice::initialise() {
    KeepFreedHeapMapped();
    program_ = std::make_unique<FfpProgram>();
    if (!program_->build(PackFfpShape(ffpInputs(D3DPT_TRIANGLELIST)))) return false;
    GLsizei width = static_cast<GLsizei>(backBufferWidth());
    GLsizei height = static_cast<GLsizei>(backBufferHeight());
    glGenRenderbuffers(1, &colorBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer_);
    // X8R8G8B8 has no alpha to keep: blending reads the destination's alpha as one.
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    glGenRenderbuffers(1, &depthBuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        char reason[160];
        std::snprintf(reason, sizeof reason, "no device: GL cannot make a %dx%d back buffer (framebuffer status 0x%04x)",
                      width, height, status);
        ReportFailure(reason);
        return false;
    }

    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glGenBuffers(1, &streamVertices_);
    glGenBuffers(1, &streamIndices_);
    glGenBuffers(1, &edgeCorners_);
    glGenSamplers(2, samplers_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glFrontFace(GL_CW);  // D3D front faces are clockwise on screen
#if DEMO_DESKTOP_GL
    // ES always takes point sizes from the shader, and flat shading from the last vertex of
    // a primitive (D3DX lines, the one flat-shaded draw, give both ends one colour).
    if (!EsProfile()) {
        glEnable(GL_PROGRAM_POINT_SIZE);
        glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);  // D3D flat shading uses the first vertex
    }
#endif
    cache_->invalidate();
    // A new back buffer holds black, as the first Clear would leave it.
    glClearColor(0, 0, 0, 1);
    glClearDepthf(1.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    return true;
}

void GlDevice::clearArea(GLint x, GLint y, GLsizei width, GLsizei height, GLbitfield mask) {
    if (width <= 0 || height <= 0) return;
    cache_->scissor(x, y, width, height);
    glClear(mask);
}

void GlDevice::onClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        mask |= GL_COLOR_BUFFER_BIT;
        const std::array<float, 4> rgba = toGlColor(color);
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        cache_->colorMask(0xf);
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        mask |= GL_DEPTH_BUFFER_BIT;
        glClearDepthf(z);
        cache_->depthMask(true);
    }
    if (flags & D3DCLEAR_STENCIL) {
        mask |= GL_STENCIL_BUFFER_BIT;
        glClearStencil(static_cast<GLint>(stencil & 0xff));
        cache_->stencilWriteMask(0xff);
    }
    // Clear touches only the viewport, and within it only the given rectangles.
    const D3DVIEWPORT9& vp = state().viewport;
    LONG left = vp.X, top = vp.Y, right = vp.X + vp.Width, bottom = vp.Y + vp.Height;
    GLint targetHeight = static_cast<GLint>(backBufferHeight());
    cache_->enable(GL_SCISSOR_TEST, true);
    if (count == 0) {
        clearArea(left, targetHeight - bottom, right - left, bottom - top, mask);
        return;
    }
    for (DWORD i = 0; i < count; ++i) {
        LONG x1 = std::max(rects[i].x1, left), y1 = std::max(rects[i].y1, top);
        LONG x2 = std::min(rects[i].x2, right), y2 = std::min(rects[i].y2, bottom);
        clearArea(x1, targetHeight - y2, x2 - x1, y2 - y1, mask);
    }
}

void GlDevice::onPresent() {
    int clientWidth = 0;
    int clientHeight = 0;
    ClientSizeOf(window_, &clientWidth, &clientHeight);
    if (clientWidth > 0 && clientHeight > 0) {
        // Windowed D3D stretches the back buffer over the whole client area.
        cache_->enable(GL_SCISSOR_TEST, false);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, static_cast<GLint>(backBufferWidth()), static_cast<GLint>(backBufferHeight()), 0, 0,
                          clientWidth, clientHeight, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        window::SwapGlWindow(native_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    }
    if (FinishOnPresent()) glFinish();
    RunPresentHook(this);
}

void GlDevice::readBackBuffer(std::vector<uint32_t>* argb) {
    GLsizei width = static_cast<GLsizei>(backBufferWidth());
    GLsizei height = static_cast<GLsizei>(backBufferHeight());
    std::vector<uint32_t> rows(static_cast<size_t>(width) * height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    // ES reads back only RGBA bytes, whose red and blue sit the other way round from D3D's
    // B, G, R, A memory order.
    const bool rgba = EsProfile();
    glReadPixels(0, 0, width, height, rgba ? GL_RGBA : GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    // GL rows run bottom-up; D3D surfaces top-down. The back buffer is X8R8G8B8: opaque.
    argb->resize(rows.size());
    for (GLsizei y = 0; y < height; ++y) {
        const uint32_t* from = rows.data() + static_cast<size_t>(height - 1 - y) * width;
        uint32_t* to = argb->data() + static_cast<size_t>(y) * width;
        for (GLsizei x = 0; x < width; ++x) to[x] = (rgba ? SwapRedBlue(from[x]) : from[x]) | 0xff000000u;
    }
}

HRESULT CreateGlDevice(HWND window, const D3DPRESENT_PARAMETERS& parameters, IDirect3DDevice9** device) {
    window::NativeWindow* native = NativeWindowOf(window);
    if (native == nullptr) return D3DERR_INVALIDCALL;
    void* context = window::CreateGlContext(native);
    if (context == nullptr) return D3DERR_NOTAVAILABLE;
    GLfloat pointSizes[2] = {1.0f, 64.0f};
    glGetFloatv(EsProfile() ? GL_ALIASED_POINT_SIZE_RANGE : GL_POINT_SIZE_RANGE, pointSizes);
    RecordGlPointSizeLimit(pointSizes[1]);
    auto* created = new GlDevice(window, native, context, parameters, DefaultDeviceCaps());
    if (!created->initialise()) {
        created->Release();
        return D3DERR_NOTAVAILABLE;
    }
    *device = created;
    return D3D_OK;
}

}  // namespace platform
