// Where DrawTextW puts each glyph: lines, alignment and clipping to the rectangle, without
// any drawing, so the layout can be checked on its own.
#pragma once

#include <d3dx9.h>

#include "d3dx/font_face.h"

#include <functional>
#include <string>
#include <vector>

namespace platform::d3dx {

// A glyph's visible part in screen pixels, and the same part as fractions (0..1) of the
// glyph's bitmap, so that a glyph cut by the rectangle keeps matching texture coordinates.
struct GlyphQuad {
    char32_t code = 0;
    float left = 0, top = 0, right = 0, bottom = 0;
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

struct TextLayout {
    std::vector<GlyphQuad> quads;
    int height = 0;  // what DrawTextW returns
    int width = 0;   // of the widest line, for DT_CALCRECT
};

// Lays out the text in the rectangle: lines break at '\n' (unless DT_SINGLELINE), '\r' is
// dropped, DT_CENTER / DT_RIGHT align each line, DT_VCENTER / DT_BOTTOM move a single line.
// Unless DT_NOCLIP, glyphs are cut at the rectangle, those starting right of it are left out
// and no line starts below its bottom.
TextLayout LayOutText(const std::wstring& text, const RECT& rect, DWORD format, int lineHeight,
                      const std::function<GlyphMetrics(char32_t)>& metricsOf);

}  // namespace platform::d3dx
