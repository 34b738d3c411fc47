// Rendered glyphs packed into A8R8G8B8 textures (white, coverage in alpha), created through
// the device like any other texture. Pages fill shelf by shelf; a full page starts another.
#pragma once

#include <d3d9.h>

#include "d3dx/font_face.h"

#include <map>
#include <memory>
#include <vector>

namespace platform::d3dx {

struct AtlasGlyph {
    GlyphMetrics metrics;
    size_t page = 0;
    // Texture coordinates of the glyph's bitmap in its page.
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
};

class GlyphAtlas {
public:
    GlyphAtlas(IDirect3DDevice9* device, FontFace* face);
    ~GlyphAtlas();
    GlyphAtlas(const GlyphAtlas&) = delete;
    GlyphAtlas& operator=(const GlyphAtlas&) = delete;

    // The glyph, rendered and packed on first use.
    const AtlasGlyph& Glyph(char32_t code);
    // Copies the pages changed since the last call into their textures.
    HRESULT Upload();
    // The texture of a page; null when it could not be created.
    IDirect3DTexture9* Texture(size_t page) const;

private:
    struct Page {
        uint32_t side = 0;
        std::vector<uint32_t> pixels;
        IDirect3DTexture9* texture = nullptr;
        uint32_t shelfTop = 0, shelfHeight = 0, penX = 0;
        bool dirty = false;
    };

    bool Place(Page& page, uint32_t width, uint32_t height, uint32_t* x, uint32_t* y);
    Page& NewPage(uint32_t minimumSide);

    IDirect3DDevice9* device_;
    FontFace* face_;
    std::vector<std::unique_ptr<Page>> pages_;
    std::map<char32_t, AtlasGlyph> glyphs_;
};

}  // namespace platform::d3dx
