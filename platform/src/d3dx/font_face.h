// A GDI-style font: a face chosen by its fontconfig pattern, sized as a LOGFONT height asks,
// rendering single glyphs as 8-bit coverage. Natively FreeType renders the face fontconfig
// finds (font_face.cpp); the browser build renders with stb_truetype from a fixed folder of
// font files (font_face_truetype.cpp). What both share is in font_face_common.cpp.
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

// The pattern FontPatternFor gives "宋体", and the one the face for glyphs that the requested
// face lacks is matched with.
inline constexpr char kSimSunPattern[] = "SimSun:lang=zh-cn";
inline constexpr char kFallbackPattern[] = "sans-serif:lang=zh-cn";

// The face name of a font description, up to its terminating null.
std::wstring FaceNameOf(const D3DXFONT_DESCW& desc);

// Whether a LOGFONT weight asks for a bold face; a face that is not bold is then emboldened.
bool IsBoldWeight(UINT weight);

// Pixels per em for a LOGFONT height: a positive height is the cell height (ascent plus
// descent of the face), a negative one the em height; 0 picks a 16-pixel cell.
double PixelsPerEm(int logfontHeight, int unitsPerEm, int cellUnits);

// A face sized for a LOGFONT height, from its cell (ascent, descent) in font units: the
// pixels per em, and the line's ascent and descent in pixels. A positive height is kept
// exactly as the line height.
struct FaceSize {
    double pixelsPerEm = 0;
    int ascent = 0;
    int descent = 0;
};
FaceSize SizeFor(int logfontHeight, int unitsPerEm, int ascentUnits, int descentUnits);

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
