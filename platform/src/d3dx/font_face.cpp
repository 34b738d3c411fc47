#include "d3dx/font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>
#include <mutex>

namespace platform::d3dx {
namespace {

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library created = nullptr;
        if (FT_Init_FreeType(&created) != 0) created = nullptr;
        return created;
    }();
    return library;
}

std::mutex& FreeTypeMutex() {
    static std::mutex mutex;
    return mutex;
}

// Matches a fontconfig pattern string; returns the file and the face index in it.
bool MatchFont(const std::string& patternText, UINT weight, bool italic, std::string* file, int* index) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { FcInit(); });
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(patternText.c_str()));
    if (pattern == nullptr) return false;
    FcPatternAddInteger(pattern, FC_WEIGHT, IsBoldWeight(weight) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    if (italic) FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ITALIC);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;
    FcChar8* path = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) *file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
    FcPatternDestroy(match);
    return found;
}

// The face's cell (ascent, descent) in font units: the Windows metrics of the OS/2 table
// when present, as GDI uses them.
std::pair<int, int> CellUnits(FT_Face face) {
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) return {os2->usWinAscent, os2->usWinDescent};
    return {face->ascender, -face->descender};
}

}  // namespace

struct FontFace::Face {
    FT_Face face = nullptr;
    ~Face() {
        if (face != nullptr) FT_Done_Face(face);
    }
};

FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::Open(const D3DXFONT_DESCW& desc) {
    std::lock_guard lock(FreeTypeMutex());
    if (Library() == nullptr) return nullptr;
    std::string file;
    int index = 0;
    if (!MatchFont(FontPatternFor(FaceNameOf(desc)), desc.Weight, desc.Italic, &file, &index)) return nullptr;
    auto face = std::make_unique<Face>();
    if (FT_New_Face(Library(), file.c_str(), index, &face->face) != 0 || !FT_IS_SCALABLE(face->face)) return nullptr;

    std::unique_ptr<FontFace> font(new FontFace);
    font->desc_ = desc;
    auto [ascentUnits, descentUnits] = CellUnits(face->face);
    FaceSize size = SizeFor(desc.Height, face->face->units_per_EM, ascentUnits, descentUnits);
    FT_Set_Char_Size(face->face, 0, static_cast<FT_F26Dot6>(std::lround(size.pixelsPerEm * 64)), 72, 72);
    font->ascent_ = size.ascent;
    font->descent_ = size.descent;
    font->primary_ = std::move(face);
    return font;
}

FontFace::Face* FontFace::FaceFor(char32_t code) {
    if (FT_Get_Char_Index(primary_->face, code) != 0) return primary_.get();
    if (!fallbackTried_) {
        fallbackTried_ = true;
        std::string file;
        int index = 0;
        auto face = std::make_unique<Face>();
        if (MatchFont(kFallbackPattern, desc_.Weight, desc_.Italic, &file, &index) &&
            FT_New_Face(Library(), file.c_str(), index, &face->face) == 0 && FT_IS_SCALABLE(face->face)) {
            FT_Set_Char_Size(face->face, 0, primary_->face->size->metrics.x_ppem * 64, 72, 72);
            fallback_ = std::move(face);
        }
    }
    if (fallback_ != nullptr && FT_Get_Char_Index(fallback_->face, code) != 0) return fallback_.get();
    return primary_.get();
}

GlyphBitmap FontFace::Render(char32_t code) {
    std::lock_guard lock(FreeTypeMutex());
    GlyphBitmap glyph;
    FT_Face face = FaceFor(code)->face;
    if (FT_Load_Char(face, code, FT_LOAD_NO_BITMAP) != 0) return glyph;
    if (IsBoldWeight(desc_.Weight) && !(face->style_flags & FT_STYLE_FLAG_BOLD)) FT_GlyphSlot_Embolden(face->glyph);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return glyph;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyph.metrics.offsetX = face->glyph->bitmap_left;
    glyph.metrics.offsetY = ascent_ - face->glyph->bitmap_top;
    glyph.metrics.width = static_cast<int>(bitmap.width);
    glyph.metrics.height = static_cast<int>(bitmap.rows);
    glyph.metrics.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<size_t>(bitmap.width) * bitmap.rows);
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const uint8_t* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        for (unsigned column = 0; column < bitmap.width; ++column) {
            glyph.coverage[static_cast<size_t>(row) * bitmap.width + column] = source[column];
        }
    }
    return glyph;
}

}  // namespace platform::d3dx
