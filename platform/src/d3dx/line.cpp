// ID3DXLine: line strips drawn as screen-space quads of the set width.
#include <d3dx9.h>

#include "core/com.h"
#include "d3dx/device_state_guard.h"
#include "d3dx/line_geometry.h"

#include <memory>

namespace platform::d3dx {
namespace {

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// The orthographic projection of the viewport in pixels, top row first, depth 0..1: what
// Windows sets while a line is begun, so a program reading the transforms sees the same.
D3DMATRIX PixelProjection(const D3DVIEWPORT9& viewport) {
    D3DMATRIX m = Identity();
    m._11 = 2.0f / viewport.Width;
    m._22 = -2.0f / viewport.Height;
    m._41 = -1.0f;
    m._42 = 1.0f;
    return m;
}

D3DXVECTOR4 Transform(const D3DXVECTOR3& v, const D3DMATRIX& m) {
    return D3DXVECTOR4(v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41, v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42,
                       v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43, v.x * m._14 + v.y * m._24 + v.z * m._34 + m._44);
}

class Line final : public RefCounted<ID3DXLine> {
public:
    explicit Line(IDirect3DDevice9* device) : device_(device) { device_->AddRef(); }
    ~Line() override {
        guard_.reset();
        device_->Release();
    }

    HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override {
        if (device == nullptr) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }
    HRESULT STDMETHODCALLTYPE Begin() override;
    HRESULT STDMETHODCALLTYPE Draw(const D3DXVECTOR2* vertices, DWORD count, D3DCOLOR color) override;
    HRESULT STDMETHODCALLTYPE DrawTransform(const D3DXVECTOR3* vertices, DWORD count, const D3DXMATRIX* transform,
                                            D3DCOLOR color) override;
    HRESULT STDMETHODCALLTYPE SetWidth(float width) override {
        if (!(width > 0.0f)) return D3DERR_INVALIDCALL;
        width_ = width;
        return D3D_OK;
    }
    float STDMETHODCALLTYPE GetWidth() override { return width_; }
    HRESULT STDMETHODCALLTYPE SetAntialias(BOOL antialias) override {
        antialias_ = antialias;
        return D3D_OK;
    }
    BOOL STDMETHODCALLTYPE GetAntialias() override { return antialias_; }
    HRESULT STDMETHODCALLTYPE End() override;
    HRESULT STDMETHODCALLTYPE OnLostDevice() override { return D3D_OK; }
    HRESULT STDMETHODCALLTYPE OnResetDevice() override { return D3D_OK; }

private:
    // Draws with Begin/End around it unless the caller has begun already.
    HRESULT DrawQuads(const std::vector<LineVertex>& vertices);

    IDirect3DDevice9* device_;
    std::unique_ptr<DeviceStateGuard> guard_;  // set between Begin and End
    float width_ = 1.0f;
    BOOL antialias_ = FALSE;
};

// The Z states stay as the program set them: lines are depth-tested against the scene.
HRESULT Line::Begin() {
    if (guard_ != nullptr) return D3DERR_INVALIDCALL;
    D3DVIEWPORT9 viewport{};
    if (FAILED(device_->GetViewport(&viewport)) || viewport.Width == 0 || viewport.Height == 0) {
        return D3DERR_INVALIDCALL;
    }
    guard_ = std::make_unique<DeviceStateGuard>(device_);
    guard_->SetTransform(D3DTS_WORLD, Identity());
    guard_->SetTransform(D3DTS_VIEW, Identity());
    guard_->SetTransform(D3DTS_PROJECTION, PixelProjection(viewport));
    guard_->SetRenderState(D3DRS_LIGHTING, FALSE);
    guard_->SetRenderState(D3DRS_FOGENABLE, FALSE);
    guard_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    guard_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    guard_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    guard_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    guard_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    guard_->SetTexture(0, nullptr);
    guard_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    guard_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    guard_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    guard_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    guard_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    guard_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    guard_->SetFVF(kLineVertexFormat);
    return D3D_OK;
}

HRESULT Line::End() {
    if (guard_ == nullptr) return D3DERR_INVALIDCALL;
    guard_.reset();  // restores every state Begin changed
    return D3D_OK;
}

HRESULT Line::DrawQuads(const std::vector<LineVertex>& vertices) {
    bool begunHere = guard_ == nullptr;
    if (begunHere) {
        HRESULT hr = Begin();
        if (FAILED(hr)) return hr;
    }
    HRESULT hr = D3D_OK;
    if (!vertices.empty()) {
        hr = device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(vertices.size() / 3), vertices.data(),
                                      sizeof(LineVertex));
    }
    if (begunHere) End();
    return hr;
}

// The points are pixels of the viewport at depth 0: Begin's projection covers the viewport,
// and the viewport transform then moves it to its place on the target and its depth range.
HRESULT Line::Draw(const D3DXVECTOR2* vertices, DWORD count, D3DCOLOR color) {
    if (vertices == nullptr || count < 2) return D3DERR_INVALIDCALL;
    D3DVIEWPORT9 viewport{};
    if (FAILED(device_->GetViewport(&viewport))) return D3DERR_INVALIDCALL;
    float left = static_cast<float>(viewport.X), top = static_cast<float>(viewport.Y), z = viewport.MinZ;
    std::vector<LineVertex> quads;
    for (DWORD i = 0; i + 1 < count; ++i) {
        AppendSegmentQuad(quads, {left + vertices[i].x, top + vertices[i].y, z, 1},
                          {left + vertices[i + 1].x, top + vertices[i + 1].y, z, 1}, width_, color);
    }
    return DrawQuads(quads);
}

HRESULT Line::DrawTransform(const D3DXVECTOR3* vertices, DWORD count, const D3DXMATRIX* transform, D3DCOLOR color) {
    if (vertices == nullptr || transform == nullptr || count < 2) return D3DERR_INVALIDCALL;
    D3DVIEWPORT9 viewport{};
    if (FAILED(device_->GetViewport(&viewport))) return D3DERR_INVALIDCALL;
    std::vector<LineVertex> quads;
    for (DWORD i = 0; i + 1 < count; ++i) {
        std::optional<ClipSegment> visible =
            ClipToNearPlane(Transform(vertices[i], *transform), Transform(vertices[i + 1], *transform));
        if (!visible) continue;
        AppendSegmentQuad(quads, ToScreen(visible->a, viewport), ToScreen(visible->b, viewport), width_, color);
    }
    return DrawQuads(quads);
}

}  // namespace
}  // namespace platform::d3dx

HRESULT WINAPI D3DXCreateLine(IDirect3DDevice9* device, ID3DXLine** line) {
    if (device == nullptr || line == nullptr) return D3DERR_INVALIDCALL;
    *line = new platform::d3dx::Line(device);
    return D3D_OK;
}
