#include "d3dx/font_face.h"

#include "core/text.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace platform::d3dx {
namespace {

constexpr int kDefaultCellHeight = 16;
constexpr UINT kBoldWeight = 600;  // FW_SEMIBOLD

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(x) == std::towlower(y);
           });
}

}  // namespace

std::string FontPatternFor(const std::wstring& faceName) {
    if (faceName == L"宋体" || EqualsIgnoringCase(faceName, L"SimSun")) return kSimSunPattern;
    if (faceName.empty()) return "sans-serif";
    std::string escaped;
    // Characters with a meaning in fontconfig's pattern syntax are escaped.
    for (char c : Utf8FromWide(faceName)) {
        if (c == '\\' || c == '-' || c == ':' || c == ',') escaped.push_back('\\');
        escaped.push_back(c);
    }
    return escaped;
}

std::wstring FaceNameOf(const D3DXFONT_DESCW& desc) {
    return std::wstring(desc.FaceName, std::find(desc.FaceName, desc.FaceName + LF_FACESIZE, L'\0'));
}

bool IsBoldWeight(UINT weight) { return weight >= kBoldWeight; }

double PixelsPerEm(int logfontHeight, int unitsPerEm, int cellUnits) {
    if (logfontHeight < 0) return -static_cast<double>(logfontHeight);
    int cellHeight = logfontHeight == 0 ? kDefaultCellHeight : logfontHeight;
    if (cellUnits <= 0) return cellHeight;
    return static_cast<double>(cellHeight) * unitsPerEm / cellUnits;
}

FaceSize SizeFor(int logfontHeight, int unitsPerEm, int ascentUnits, int descentUnits) {
    FaceSize size;
    size.pixelsPerEm = PixelsPerEm(logfontHeight, unitsPerEm, ascentUnits + descentUnits);
    double scale = size.pixelsPerEm / unitsPerEm;
    size.ascent = static_cast<int>(std::lround(ascentUnits * scale));
    size.descent = logfontHeight > 0 ? logfontHeight - size.ascent : static_cast<int>(std::lround(descentUnits * scale));
    return size;
}

}  // namespace platform::d3dx
