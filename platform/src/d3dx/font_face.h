// A GDI-style font on FreeType: the face found through fontconfig, sized as a LOGFONT height
// asks, rendering single glyphs as 8-bit coverage.
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::d3dx {

// Placement of a glyph relative to the pen: its bitmap's top-left corner is offsetX pixels
// right of the pen and offsetY pixels below the top of the line.
struct GlyphMetrics {
    int offsetX = 0;
    int offsetY = 0;
    int width = 0;
    int height = 0;
    int advance = 0;
};

struct GlyphBitmap {
    GlyphMetrics metrics;
    std::vector<uint8_t> coverage;  // width * height bytes, rows top first
};

// The fontconfig pattern a face name is matched with. "宋体" and "SimSun" ask for a Song
// style face for simplified Chinese, because fontconfig does not know the Chinese name.
std::string FontPatternFor(const std::wstring& faceName);

// Pixels per em for a LOGFONT height: a positive height is the cell height (ascent plus
// descent of the face), a negative one the em height; 0 picks a 16-pixel cell.
double PixelsPerEm(int logfontHeight, int unitsPerEm, int cellUnits);

class FontFace {
public:
    // Null when no usable face is installed.
    static std::unique_ptr<FontFace> Open(const D3DXFONT_DESCW& desc);
    ~FontFace();

    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    int LineHeight() const { return ascent_ + descent_; }

    // Renders the glyph, from the fallback CJK face when the requested face lacks it.
    GlyphBitmap Render(char32_t code);

private:
    struct Face;
    FontFace() = default;
    Face* FaceFor(char32_t code);

    std::unique_ptr<Face> primary_;
    std::unique_ptr<Face> fallback_;
    bool fallbackTried_ = false;
    D3DXFONT_DESCW desc_{};
    int ascent_ = 0;
    int descent_ = 0;
};

}  // namespace platform::d3dx
