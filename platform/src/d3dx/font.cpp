// ID3DXFont: GDI-style text drawn as textured quads from a glyph atlas.
#include <d3dx9.h>

#include "core/com.h"
#include "d3dx/device_state_guard.h"
#include "d3dx/glyph_atlas.h"
#include "d3dx/text_layout.h"
#include "d3dx/text_listener.h"

#include <cwchar>
#include <memory>

namespace platform::d3dx {
namespace {

struct TextVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kTextVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Two triangles per glyph. Direct3D 9 samples pixel centres at integer coordinates, so the
// quad moves half a pixel up and left to lay each texel exactly on one pixel.
void AppendQuad(std::vector<TextVertex>& vertices, const GlyphQuad& quad, const AtlasGlyph& glyph, D3DCOLOR color) {
    float u0 = glyph.u0 + (glyph.u1 - glyph.u0) * quad.u0, u1 = glyph.u0 + (glyph.u1 - glyph.u0) * quad.u1;
    float v0 = glyph.v0 + (glyph.v1 - glyph.v0) * quad.v0, v1 = glyph.v0 + (glyph.v1 - glyph.v0) * quad.v1;
    float left = quad.left - 0.5f, right = quad.right - 0.5f, top = quad.top - 0.5f, bottom = quad.bottom - 0.5f;
    TextVertex topLeft{left, top, 0, 1, color, u0, v0}, topRight{right, top, 0, 1, color, u1, v0};
    TextVertex bottomLeft{left, bottom, 0, 1, color, u0, v1}, bottomRight{right, bottom, 0, 1, color, u1, v1};
    vertices.insert(vertices.end(), {topLeft, topRight, bottomLeft, bottomLeft, topRight, bottomRight});
}

// Alpha-blended, untested by depth, texture alpha times the colour's alpha.
void SetTextStates(DeviceStateGuard& guard) {
    guard.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    guard.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    guard.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    guard.SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    guard.SetRenderState(D3DRS_ZENABLE, FALSE);
    guard.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    guard.SetRenderState(D3DRS_STENCILENABLE, FALSE);
    guard.SetRenderState(D3DRS_LIGHTING, FALSE);
    guard.SetRenderState(D3DRS_FOGENABLE, FALSE);
    guard.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    guard.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    guard.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    guard.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    guard.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    guard.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    guard.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    guard.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    guard.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    guard.SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    guard.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    guard.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    guard.SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    guard.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    guard.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    guard.SetFVF(kTextVertexFormat);
}

class Font final : public RefCounted<ID3DXFont> {
public:
    Font(IDirect3DDevice9* device, const D3DXFONT_DESCW& desc, std::unique_ptr<FontFace> face)
        : device_(device), desc_(desc), face_(std::move(face)), atlas_(device, face_.get()) {
        device_->AddRef();
    }
    ~Font() override { device_->Release(); }

    HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override {
        if (device == nullptr) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDescW(D3DXFONT_DESCW* desc) override {
        if (desc == nullptr) return D3DERR_INVALIDCALL;
        *desc = desc_;
        return D3D_OK;
    }
    INT STDMETHODCALLTYPE DrawTextW(ID3DXSprite* sprite, LPCWSTR text, INT count, LPRECT rect, DWORD format,
                                    D3DCOLOR color) override;
    HRESULT STDMETHODCALLTYPE OnLostDevice() override { return D3D_OK; }
    HRESULT STDMETHODCALLTYPE OnResetDevice() override { return D3D_OK; }

private:
    void Draw(const TextLayout& layout, D3DCOLOR color);

    IDirect3DDevice9* device_;
    D3DXFONT_DESCW desc_;
    std::unique_ptr<FontFace> face_;
    GlyphAtlas atlas_;
};

INT Font::DrawTextW(ID3DXSprite*, LPCWSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) {
    if (text == nullptr || count == 0) return 0;
    std::wstring string = count < 0 ? std::wstring(text) : std::wstring(text, wcsnlen(text, static_cast<size_t>(count)));
    RECT area = rect != nullptr ? *rect : RECT{0, 0, 0, 0};
    if (rect == nullptr) format |= DT_NOCLIP;
    auto metricsOf = [this](char32_t code) { return atlas_.Glyph(code).metrics; };
    if (format & DT_CALCRECT) {
        TextLayout layout = LayOutText(string, area, format | DT_NOCLIP, face_->LineHeight(), metricsOf);
        if (rect != nullptr) {
            rect->right = rect->left + layout.width;
            rect->bottom = rect->top + layout.height;
        }
        return layout.height;
    }
    TextLayout layout = LayOutText(string, area, format, face_->LineHeight(), metricsOf);
    NotifyTextDrawn(area.left, area.top, string);
    Draw(layout, color);
    return layout.height;
}

void Font::Draw(const TextLayout& layout, D3DCOLOR color) {
    if (layout.quads.empty() || FAILED(atlas_.Upload())) return;
    std::vector<std::vector<TextVertex>> verticesByPage;
    for (const GlyphQuad& quad : layout.quads) {
        const AtlasGlyph& glyph = atlas_.Glyph(quad.code);
        if (verticesByPage.size() <= glyph.page) verticesByPage.resize(glyph.page + 1);
        AppendQuad(verticesByPage[glyph.page], quad, glyph, color);
    }
    DeviceStateGuard guard(device_);
    SetTextStates(guard);
    for (size_t page = 0; page < verticesByPage.size(); ++page) {
        const std::vector<TextVertex>& vertices = verticesByPage[page];
        if (vertices.empty() || atlas_.Texture(page) == nullptr) continue;
        guard.SetTexture(0, atlas_.Texture(page));
        device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(vertices.size() / 3), vertices.data(),
                                 sizeof(TextVertex));
    }
}

}  // namespace
}  // namespace platform::d3dx

HRESULT WINAPI D3DXCreateFontIndirectW(IDirect3DDevice9* device, const D3DXFONT_DESCW* desc, ID3DXFont** font) {
    if (device == nullptr || desc == nullptr || font == nullptr) return D3DERR_INVALIDCALL;
    std::unique_ptr<platform::d3dx::FontFace> face = platform::d3dx::FontFace::Open(*desc);
    if (face == nullptr) return D3DXERR_INVALIDDATA;
    *font = new platform::d3dx::Font(device, *desc, std::move(face));
    return D3D_OK;
}
