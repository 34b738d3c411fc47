// The font face of the browser build: stb_truetype renders faces from a fixed folder of font
// files, as scripts/web-fonts.sh writes them. It follows what font_face.cpp does with
// FreeType, short of hinting: the same sizes, integer pixels per em where the face asks for
// them, and FreeType's emboldening for bold weights of a face that is not bold.
#include "d3dx/font_face.h"

#include "core/report.h"

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace platform::d3dx {
namespace {

// Where the font files are: DEMO_FONT_FOLDER when set (for running natively), otherwise the
// folder the web page preloads them to.
constexpr char kFontFolderVariable[] = "DEMO_FONT_FOLDER";
constexpr char kDefaultFontFolder[] = "/fonts/";

// Which file serves a FontPatternFor result; the same faces fontconfig picks on Debian, cut
// down by scripts/web-fonts.sh, which writes these names.
struct FaceFile {
    const char* pattern;
    const char* file;
    int index;  // the face in a collection
};
constexpr char kCjkFile[] = "uming-cn.ttf";   // AR PL UMing CN, from uming.ttc
constexpr char kLatinFile[] = "DejaVuSans.ttf";  // what fontconfig gives sans-serif and unknown names
constexpr FaceFile kFaceFiles[] = {
    {kSimSunPattern, kCjkFile, 0},
    {kFallbackPattern, kCjkFile, 0},
};
constexpr FaceFile kOtherNames = {"", kLatinFile, 0};

// Offsets into the sfnt tables read here, which stb_truetype has no call for.
constexpr int kHeadFlags = 16;
constexpr int kHeadUnitsPerEm = 18;
constexpr int kHeadMacStyle = 44;
constexpr int kOs2Selection = 62;
constexpr int kOs2WinAscent = 74;
constexpr int kOs2WinDescent = 76;
constexpr int kHeadFlagIntegerPpem = 1 << 3;
constexpr int kMacStyleBold = 1 << 0;
constexpr int kSelectionBold = 1 << 5;

// FreeType's emboldening moves an outline's edges out by an em / 24 in all, and leaves
// corners alone that turn back by more than about 160 degrees (cosine below -0.9375).
constexpr double kEmboldenEmFraction = 1.0 / 24;
constexpr double kSharpestShiftedTurn = -0.9375;

// stb_truetype's own tolerance for flattening curves, in pixels.
constexpr float kFlatness = 0.35f;

struct Point {
    double x = 0, y = 0;
};

std::string FontFolder() {
    const char* folder = std::getenv(kFontFolderVariable);
    std::string path = folder != nullptr && *folder != '\0' ? folder : kDefaultFontFolder;
    if (path.back() != '/') path.push_back('/');
    return path;
}

const FaceFile& FaceFileFor(const std::string& pattern) {
    for (const FaceFile& face : kFaceFiles) {
        if (pattern == face.pattern) return face;
    }
    return kOtherNames;
}

int ReadUnsigned16(const stbtt_fontinfo& info, int table, int offset) {
    const unsigned char* at = info.data + table + offset;
    return at[0] << 8 | at[1];
}

// The contours of a glyph shape as rings of points: every point of stb_truetype's vertices,
// control points included, as FreeType's outline holds them. A contour that closes on its
// first point holds that point once; `slots` says where each point goes back to.
struct Contour {
    std::vector<Point> points;
    std::vector<std::vector<std::pair<short*, short*>>> slots;
};

std::vector<Contour> ContoursOf(std::vector<stbtt_vertex>& shape) {
    std::vector<Contour> contours;
    auto add = [&contours](short* x, short* y) {
        Contour& contour = contours.back();
        contour.points.push_back({static_cast<double>(*x), static_cast<double>(*y)});
        contour.slots.push_back({{x, y}});
    };
    for (stbtt_vertex& vertex : shape) {
        if (vertex.type == STBTT_vmove) contours.emplace_back();
        if (contours.empty()) continue;
        if (vertex.type == STBTT_vcurve || vertex.type == STBTT_vcubic) add(&vertex.cx, &vertex.cy);
        if (vertex.type == STBTT_vcubic) add(&vertex.cx1, &vertex.cy1);
        add(&vertex.x, &vertex.y);
    }
    for (Contour& contour : contours) {
        size_t last = contour.points.size() - 1;
        if (last > 0 && contour.points[last].x == contour.points[0].x && contour.points[last].y == contour.points[0].y) {
            contour.slots[0].push_back(contour.slots[last][0]);
            contour.points.pop_back();
            contour.slots.pop_back();
        }
    }
    return contours;
}

// Twice the signed area of the outline: negative when the outer contours run clockwise, as
// TrueType's do.
double SignedArea(const std::vector<Contour>& contours) {
    double area = 0;
    for (const Contour& contour : contours) {
        const std::vector<Point>& points = contour.points;
        for (size_t i = 0, previous = points.size() - 1; i < points.size(); previous = i++) {
            area += points[previous].x * points[i].y - points[i].x * points[previous].y;
        }
    }
    return area;
}

// FT_Outline_EmboldenXY with equal strengths, in font units: each point moves out along the
// bisector of its corner so that both edges move by half the strength, then the outline moves
// up and right by half the strength, so it grows by the strength to the right and upwards.
void Embolden(std::vector<stbtt_vertex>& shape, double strength) {
    std::vector<Contour> contours = ContoursOf(shape);
    bool clockwise = SignedArea(contours) < 0;
    double half = strength / 2;
    for (Contour& contour : contours) {
        const std::vector<Point>& points = contour.points;
        size_t count = points.size();
        std::vector<Point> moved(points);
        for (size_t i = 0; i < count; ++i) {
            // The nearest distinct neighbours; a contour of one point stays where it is.
            size_t before = (i + count - 1) % count, after = (i + 1) % count;
            auto same = [&](size_t j) { return points[j].x == points[i].x && points[j].y == points[i].y; };
            while (before != i && same(before)) before = (before + count - 1) % count;
            while (after != i && same(after)) after = (after + 1) % count;
            if (before == i || after == i) continue;
            Point in{points[i].x - points[before].x, points[i].y - points[before].y};
            Point out{points[after].x - points[i].x, points[after].y - points[i].y};
            double lengthIn = std::hypot(in.x, in.y), lengthOut = std::hypot(out.x, out.y);
            in = {in.x / lengthIn, in.y / lengthIn};
            out = {out.x / lengthOut, out.y / lengthOut};
            double turn = in.x * out.x + in.y * out.y;
            Point shift{};
            if (turn > kSharpestShiftedTurn) {
                shift = clockwise ? Point{-(in.y + out.y), in.x + out.x} : Point{in.y + out.y, -(in.x + out.x)};
                // Short edges limit the shift, so that a collapsing corner does not overshoot.
                double cross = out.x * in.y - out.y * in.x;
                if (clockwise) cross = -cross;
                double shortest = std::min(lengthIn, lengthOut);
                double factor = half * cross <= shortest * (turn + 1) ? half / (turn + 1) : shortest / cross;
                shift = {shift.x * factor, shift.y * factor};
            }
            moved[i] = {points[i].x + half + shift.x, points[i].y + half + shift.y};
        }
        for (size_t i = 0; i < count; ++i) {
            for (auto [x, y] : contour.slots[i]) {
                *x = static_cast<short>(std::lround(moved[i].x));
                *y = static_cast<short>(std::lround(moved[i].y));
            }
        }
    }
}

}  // namespace

struct FontFace::Face {
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
    int unitsPerEm = 0;
    int ascentUnits = 0;
    int descentUnits = 0;
    bool integerPpem = false;
    bool bold = false;
    double pixelsPerEm = 0;  // as rendered

    // Sized the way FT_Set_Char_Size sizes a face: to 1/64 pixel, or to whole pixels when
    // the face's header asks for integer sizes.
    void SetPixelsPerEm(double requested) {
        pixelsPerEm = integerPpem ? std::round(requested) : std::round(requested * 64) / 64;
    }
    float Scale() const { return static_cast<float>(pixelsPerEm / unitsPerEm); }

    // Null, and a report of which file, when the file cannot be read or holds no such face.
    static std::unique_ptr<Face> Load(const FaceFile& faceFile);
};

std::unique_ptr<FontFace::Face> FontFace::Face::Load(const FaceFile& faceFile) {
    std::string path = FontFolder() + faceFile.file;
    std::ifstream stream(path, std::ios::binary);
    auto face = std::make_unique<Face>();
    face->data.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    if (!stream || face->data.empty()) {
        ReportFailure("font file " + path + " cannot be read");
        return nullptr;
    }
    int offset = stbtt_GetFontOffsetForIndex(face->data.data(), faceFile.index);
    if (offset < 0 || stbtt_InitFont(&face->info, face->data.data(), offset) == 0 || face->info.glyf == 0) {
        ReportFailure("font file " + path + " holds no TrueType face " + std::to_string(faceFile.index));
        return nullptr;
    }
    const stbtt_fontinfo& info = face->info;
    int head = info.head;
    face->unitsPerEm = ReadUnsigned16(info, head, kHeadUnitsPerEm);
    face->integerPpem = (ReadUnsigned16(info, head, kHeadFlags) & kHeadFlagIntegerPpem) != 0;
    // The cell is the Windows metrics of the OS/2 table when present, as GDI uses them, and
    // the face is bold as FreeType reads it: from the OS/2 selection, else the Mac style.
    int os2 = static_cast<int>(stbtt__find_table(info.data, info.fontstart, "OS/2"));
    int winAscent = os2 != 0 ? ReadUnsigned16(info, os2, kOs2WinAscent) : 0;
    int winDescent = os2 != 0 ? ReadUnsigned16(info, os2, kOs2WinDescent) : 0;
    if (winAscent + winDescent > 0) {
        face->ascentUnits = winAscent;
        face->descentUnits = winDescent;
    } else {
        int lineGap = 0;
        stbtt_GetFontVMetrics(&info, &face->ascentUnits, &face->descentUnits, &lineGap);
        face->descentUnits = -face->descentUnits;
    }
    face->bold = os2 != 0 ? (ReadUnsigned16(info, os2, kOs2Selection) & kSelectionBold) != 0
                          : (ReadUnsigned16(info, head, kHeadMacStyle) & kMacStyleBold) != 0;
    return face;
}

FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::Open(const D3DXFONT_DESCW& desc) {
    std::unique_ptr<Face> face = Face::Load(FaceFileFor(FontPatternFor(FaceNameOf(desc))));
    if (face == nullptr) return nullptr;
    std::unique_ptr<FontFace> font(new FontFace);
    font->desc_ = desc;
    FaceSize size = SizeFor(desc.Height, face->unitsPerEm, face->ascentUnits, face->descentUnits);
    face->SetPixelsPerEm(size.pixelsPerEm);
    font->ascent_ = size.ascent;
    font->descent_ = size.descent;
    font->primary_ = std::move(face);
    return font;
}

FontFace::Face* FontFace::FaceFor(char32_t code) {
    int codepoint = static_cast<int>(code);
    if (stbtt_FindGlyphIndex(&primary_->info, codepoint) != 0) return primary_.get();
    if (!fallbackTried_) {
        fallbackTried_ = true;
        fallback_ = Face::Load(FaceFileFor(kFallbackPattern));
        // Sized to the primary face's whole pixels per em, as the FreeType face does.
        if (fallback_ != nullptr) fallback_->pixelsPerEm = std::round(primary_->pixelsPerEm);
    }
    if (fallback_ != nullptr && stbtt_FindGlyphIndex(&fallback_->info, codepoint) != 0) return fallback_.get();
    return primary_.get();
}

GlyphBitmap FontFace::Render(char32_t code) {
    GlyphBitmap glyph;
    Face& face = *FaceFor(code);
    int index = stbtt_FindGlyphIndex(&face.info, static_cast<int>(code));
    float scale = face.Scale();
    int advanceUnits = 0, leftBearing = 0;
    stbtt_GetGlyphHMetrics(&face.info, index, &advanceUnits, &leftBearing);
    // FreeType rounds the advance to whole pixels, then emboldening widens it.
    double advance = std::round(advanceUnits * scale);

    stbtt_vertex* vertices = nullptr;
    int vertexCount = stbtt_GetGlyphShape(&face.info, index, &vertices);
    std::vector<stbtt_vertex> shape(vertices, vertices + vertexCount);
    stbtt_FreeShape(&face.info, vertices);
    if (IsBoldWeight(desc_.Weight) && !face.bold) {
        double strength = face.unitsPerEm * kEmboldenEmFraction;
        Embolden(shape, strength);
        advance += strength * scale;
    }
    glyph.metrics.advance = static_cast<int>(std::lround(advance));
    // An empty glyph (a space) sits on the top of its bitmap at the baseline, as FreeType's.
    glyph.metrics.offsetY = ascent_;
    if (shape.empty()) return glyph;

    // The bitmap covers every point of the outline, control points included, as FreeType's
    // control box does; rows run down from the top.
    int left = shape[0].x, right = left, bottom = shape[0].y, top = bottom;
    auto cover = [&](int x, int y) {
        left = std::min(left, x), right = std::max(right, x);
        bottom = std::min(bottom, y), top = std::max(top, y);
    };
    for (const stbtt_vertex& vertex : shape) {
        cover(vertex.x, vertex.y);
        if (vertex.type == STBTT_vcurve || vertex.type == STBTT_vcubic) cover(vertex.cx, vertex.cy);
        if (vertex.type == STBTT_vcubic) cover(vertex.cx1, vertex.cy1);
    }
    int x0 = static_cast<int>(std::floor(left * scale)), x1 = static_cast<int>(std::ceil(right * scale));
    int y0 = static_cast<int>(std::floor(-top * scale)), y1 = static_cast<int>(std::ceil(-bottom * scale));
    glyph.metrics.offsetX = x0;
    glyph.metrics.offsetY = ascent_ + y0;
    glyph.metrics.width = x1 - x0;
    glyph.metrics.height = y1 - y0;
    glyph.coverage.assign(static_cast<size_t>(glyph.metrics.width) * glyph.metrics.height, 0);
    if (glyph.coverage.empty()) return glyph;
    stbtt__bitmap bitmap{glyph.metrics.width, glyph.metrics.height, glyph.metrics.width, glyph.coverage.data()};
    stbtt_Rasterize(&bitmap, kFlatness, shape.data(), static_cast<int>(shape.size()), scale, scale, 0, 0, x0, y0, 1,
                    nullptr);
    return glyph;
}

}  // namespace platform::d3dx
