#include "d3dx/text_layout.h"

#include <algorithm>

namespace platform::d3dx {
namespace {

std::vector<std::wstring> SplitLines(const std::wstring& text, DWORD format) {
    std::vector<std::wstring> lines(1);
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        if (c == L'\n') {
            if (!(format & DT_SINGLELINE)) lines.emplace_back();
            continue;
        }
        lines.back().push_back(c);
    }
    return lines;
}

// Cuts the quad to the rectangle, moving its texture fractions with it. False when nothing
// is left.
bool ClipQuad(GlyphQuad& quad, const RECT& rect) {
    float width = quad.right - quad.left, height = quad.bottom - quad.top;
    float left = std::max(quad.left, static_cast<float>(rect.left));
    float top = std::max(quad.top, static_cast<float>(rect.top));
    float right = std::min(quad.right, static_cast<float>(rect.right));
    float bottom = std::min(quad.bottom, static_cast<float>(rect.bottom));
    if (left >= right || top >= bottom) return false;
    quad.u0 = (left - quad.left) / width;
    quad.u1 = (right - quad.left) / width;
    quad.v0 = (top - quad.top) / height;
    quad.v1 = (bottom - quad.top) / height;
    quad.left = left;
    quad.top = top;
    quad.right = right;
    quad.bottom = bottom;
    return true;
}

int LineWidth(const std::wstring& line, const std::function<GlyphMetrics(char32_t)>& metricsOf) {
    int width = 0;
    for (wchar_t c : line) width += metricsOf(static_cast<char32_t>(c)).advance;
    return width;
}

int FirstLineTop(const RECT& rect, DWORD format, int lineHeight) {
    if (!(format & DT_SINGLELINE)) return rect.top;
    if (format & DT_BOTTOM) return rect.bottom - lineHeight;
    if (format & DT_VCENTER) return rect.top + (rect.bottom - rect.top - lineHeight) / 2;
    return rect.top;
}

}  // namespace

TextLayout LayOutText(const std::wstring& text, const RECT& rect, DWORD format, int lineHeight,
                      const std::function<GlyphMetrics(char32_t)>& metricsOf) {
    TextLayout layout;
    if (text.empty()) return layout;
    bool clip = !(format & DT_NOCLIP);
    int y = FirstLineTop(rect, format, lineHeight);
    for (const std::wstring& line : SplitLines(text, format)) {
        int lineWidth = LineWidth(line, metricsOf);
        layout.width = std::max(layout.width, lineWidth);
        int x = rect.left;
        if (format & DT_RIGHT) x = rect.right - lineWidth;
        else if (format & DT_CENTER) x = rect.left + (rect.right - rect.left - lineWidth) / 2;
        for (wchar_t c : line) {
            GlyphMetrics metrics = metricsOf(static_cast<char32_t>(c));
            bool startsOutside = clip && x >= rect.right;
            GlyphQuad quad{static_cast<char32_t>(c),
                           static_cast<float>(x + metrics.offsetX),
                           static_cast<float>(y + metrics.offsetY),
                           static_cast<float>(x + metrics.offsetX + metrics.width),
                           static_cast<float>(y + metrics.offsetY + metrics.height)};
            x += metrics.advance;
            if (metrics.width <= 0 || metrics.height <= 0 || startsOutside) continue;
            if (clip && !ClipQuad(quad, rect)) continue;
            layout.quads.push_back(quad);
        }
        y += lineHeight;
        if (clip && y >= rect.bottom) break;
    }
    layout.height = y - rect.top;
    return layout;
}

}  // namespace platform::d3dx
