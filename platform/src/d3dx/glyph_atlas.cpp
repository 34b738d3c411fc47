#include "d3dx/glyph_atlas.h"

#include "d3dx/mip_chain.h"

#include <algorithm>
#include <cstring>

namespace platform::d3dx {
namespace {

constexpr uint32_t kPageSide = 512;
constexpr uint32_t kPadding = 1;  // keeps filtering from reaching a neighbour

}  // namespace

GlyphAtlas::GlyphAtlas(IDirect3DDevice9* device, FontFace* face) : device_(device), face_(face) {}

GlyphAtlas::~GlyphAtlas() {
    for (auto& page : pages_) {
        if (page->texture != nullptr) page->texture->Release();
    }
}

GlyphAtlas::Page& GlyphAtlas::NewPage(uint32_t minimumSide) {
    auto page = std::make_unique<Page>();
    page->side = std::max(kPageSide, NextPowerOfTwo(minimumSide));
    page->pixels.assign(static_cast<size_t>(page->side) * page->side, 0x00ffffff);
    device_->CreateTexture(page->side, page->side, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &page->texture, nullptr);
    pages_.push_back(std::move(page));
    return *pages_.back();
}

bool GlyphAtlas::Place(Page& page, uint32_t width, uint32_t height, uint32_t* x, uint32_t* y) {
    if (page.penX + width > page.side) {
        page.shelfTop += page.shelfHeight;
        page.shelfHeight = 0;
        page.penX = 0;
    }
    if (page.penX + width > page.side || page.shelfTop + height > page.side) return false;
    *x = page.penX;
    *y = page.shelfTop;
    page.penX += width;
    page.shelfHeight = std::max(page.shelfHeight, height);
    return true;
}

const AtlasGlyph& GlyphAtlas::Glyph(char32_t code) {
    auto found = glyphs_.find(code);
    if (found != glyphs_.end()) return found->second;
    GlyphBitmap bitmap = face_->Render(code);
    AtlasGlyph glyph{bitmap.metrics};
    uint32_t width = static_cast<uint32_t>(bitmap.metrics.width), height = static_cast<uint32_t>(bitmap.metrics.height);
    if (width > 0 && height > 0) {
        uint32_t x = 0, y = 0;
        if (pages_.empty() || !Place(*pages_.back(), width + kPadding, height + kPadding, &x, &y)) {
            Place(NewPage(std::max(width, height) + kPadding), width + kPadding, height + kPadding, &x, &y);
        }
        Page& page = *pages_.back();
        for (uint32_t row = 0; row < height; ++row) {
            for (uint32_t column = 0; column < width; ++column) {
                uint32_t coverage = bitmap.coverage[static_cast<size_t>(row) * width + column];
                page.pixels[static_cast<size_t>(y + row) * page.side + x + column] = (coverage << 24) | 0x00ffffff;
            }
        }
        page.dirty = true;
        float side = static_cast<float>(page.side);
        glyph.page = pages_.size() - 1;
        glyph.u0 = x / side;
        glyph.v0 = y / side;
        glyph.u1 = (x + width) / side;
        glyph.v1 = (y + height) / side;
    }
    return glyphs_.emplace(code, glyph).first->second;
}

HRESULT GlyphAtlas::Upload() {
    for (auto& page : pages_) {
        if (!page->dirty || page->texture == nullptr) continue;
        D3DLOCKED_RECT locked{};
        HRESULT hr = page->texture->LockRect(0, &locked, nullptr, 0);
        if (FAILED(hr)) return hr;
        for (uint32_t row = 0; row < page->side; ++row) {
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(row) * locked.Pitch,
                        page->pixels.data() + static_cast<size_t>(row) * page->side, page->side * 4);
        }
        page->texture->UnlockRect(0);
        page->dirty = false;
    }
    return D3D_OK;
}

IDirect3DTexture9* GlyphAtlas::Texture(size_t page) const {
    return page < pages_.size() ? pages_[page]->texture : nullptr;
}

}  // namespace platform::d3dx
